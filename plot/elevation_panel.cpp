#include "plot/elevation_panel.h"

#include <cstdint>
#include <unordered_set>

#include "plot/chart_parts.h"

namespace quarrow {

namespace {

void DrawLabels(QPainter& painter, const std::vector<PlacedName>& labels) {
  for (const PlacedName& label : labels) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRoundedRect(label.box, 3, 3);
    painter.setFont(Font(13, label.bench));
    painter.setPen(label.bench ? kInk : kMutedInk);
    if (label.upright) {
      painter.save();
      painter.translate(label.anchor);
      painter.rotate(-90);
      painter.drawText(QPointF(0, 0), label.text);
      painter.restore();
    } else {
      painter.drawText(label.anchor, label.text);
    }
  }
}

}  // namespace

Scale ElevationScale(const ProfileData& data) {
  Range elevation;
  for (const double e : data.mark_elevation) elevation.Add(e);
  for (const double e : data.side_elevation) elevation.Add(e);
  if (elevation.Empty()) elevation = Range{0, 1};
  // A flat run gets a centimetre or so of axis, wider where the numbers are
  // too large to tell a centimetre apart.
  const double middle = elevation.low / 2 + elevation.high / 2;
  const double least = std::max(0.01, std::fabs(middle) * 1e-9);
  if (elevation.high - elevation.low < least) {
    elevation = Range{middle - least / 2, middle + least / 2};
  }
  const double spread = elevation.high - elevation.low;
  return Scale{elevation.low - spread * 0.12, elevation.high + spread * 0.30,
               kElevationPanel.bottom(), kElevationPanel.top()};
}

QPolygonF RunLine(const ProfileData& data, const Scale& sx, const Scale& sy) {
  const std::size_t marks = std::min(data.mark_distance.size(), data.mark_elevation.size());
  return ThinnedLine(
      marks, [&](std::size_t i) { return data.mark_distance[i]; },
      [&](std::size_t i) { return data.mark_elevation[i]; }, sx, sy);
}

std::vector<PlacedName> ChooseNames(const ProfileData& data, const Scale& sx, const Scale& sy,
                                    const QPolygonF& run) {
  std::size_t left_out = 0;
  std::vector<PlacedName> labels =
      PlaceLabels(data.labels, kElevationPanel, sx, sy, run, false, left_out);
  if (left_out > 0) {
    std::size_t upright_left_out = 0;
    std::vector<PlacedName> upright =
        PlaceLabels(data.labels, kElevationPanel, sx, sy, run, true, upright_left_out);
    if (upright_left_out < left_out) labels = std::move(upright);
  }
  return labels;
}

ElevationPanel ComputeElevationPanel(const ProfileData& data, const Scale& sx) {
  ElevationPanel panel;
  panel.scale = ElevationScale(data);
  const Scale& sy = panel.scale;
  panel.ticks = TicksInside(sy.low, sy.high, 8);
  panel.run = RunLine(data, sx, sy);

  // Side shots, one symbol per spot where symbols could be told apart; where
  // they crowd, small dots that let the line show through.
  const std::size_t sides = std::min(data.side_distance.size(), data.side_elevation.size());
  panel.has_side_shots = sides > 0;
  panel.crowded_side_shots = static_cast<double>(sides) > kElevationPanel.width() / 12;
  const double cell_size = panel.crowded_side_shots ? 2 : 3;
  std::unordered_set<std::int64_t> drawn;
  for (std::size_t i = 0; i < sides; ++i) {
    if (!Finite(data.side_distance[i], data.side_elevation[i])) continue;
    const QPointF at(sx(data.side_distance[i]), sy(data.side_elevation[i]));
    if (!kElevationPanel.contains(at)) continue;
    const auto cell = (static_cast<std::int64_t>(at.x() / cell_size) << 20) +
                      static_cast<std::int64_t>(at.y() / cell_size);
    if (drawn.insert(cell).second) panel.side_shots.push_back(at);
  }

  // Turning points get a symbol while they stand apart.
  const std::size_t marks = std::min(data.mark_distance.size(), data.mark_elevation.size());
  panel.turn_symbols = marks > 2 && static_cast<double>(marks) <= kElevationPanel.width() / 9;
  for (std::size_t i = 1; panel.turn_symbols && i + 1 < marks; ++i) {
    if (!Finite(data.mark_distance[i], data.mark_elevation[i])) continue;
    panel.turning_points.emplace_back(sx(data.mark_distance[i]), sy(data.mark_elevation[i]));
  }
  // Deliberate: a run of one mark draws its bench mark twice, one upon the other.
  for (const std::size_t i : {std::size_t{0}, marks - 1}) {
    if (marks == 0 || !Finite(data.mark_distance[i], data.mark_elevation[i])) continue;
    panel.bench_marks.emplace_back(sx(data.mark_distance[i]), sy(data.mark_elevation[i]));
  }
  panel.names = ChooseNames(data, sx, sy, panel.run);
  return panel;
}

void DrawElevationPanel(QPainter& painter, const ElevationPanel& panel, const Scale& sx,
                        const AxisTicks& x_ticks, const QLocale& locale, const QString& unit) {
  DrawGrid(painter, kElevationPanel, x_ticks, sx, panel.ticks, panel.scale);
  DrawYAxis(painter, kElevationPanel, panel.ticks, panel.scale,
            ProfileTr("Adjusted elevation (%1)").arg(unit), locale);

  painter.save();
  painter.setClipRect(kElevationPanel);
  painter.setPen(QPen(kRunLine, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(panel.run);

  SideShotStyle(painter);
  if (panel.crowded_side_shots) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kSideShot.red(), kSideShot.green(), kSideShot.blue(), 150));
  }
  for (const QPointF& at : panel.side_shots) {
    if (panel.crowded_side_shots) {
      painter.drawEllipse(at, 1.8, 1.8);
    } else {
      DrawDiamond(painter, at, 5);
    }
  }
  if (panel.turn_symbols) {
    TurningPointStyle(painter);
    for (const QPointF& at : panel.turning_points) painter.drawEllipse(at, 4, 4);
  }
  BenchMarkStyle(painter);
  for (const QPointF& at : panel.bench_marks) DrawTriangle(painter, at, 14);

  DrawLabels(painter, panel.names);
  painter.restore();
  DrawFrame(painter, kElevationPanel);

  KeyRow key(painter, QPointF(kElevationPanel.left(), kElevationPanel.top() - 18));
  key.Add(ProfileTr("Adjusted elevation"), [&](QRectF r) {
    painter.setPen(QPen(kRunLine, 2.2));
    painter.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
  });
  key.Add(ProfileTr("Bench mark"), [&](QRectF r) {
    BenchMarkStyle(painter);
    DrawTriangle(painter, r.center(), 14);
  });
  if (panel.turn_symbols) {
    key.Add(ProfileTr("Turning point"), [&](QRectF r) {
      TurningPointStyle(painter);
      painter.drawEllipse(r.center(), 4, 4);
    });
  }
  if (panel.has_side_shots) {
    key.Add(ProfileTr("Side shot, at its setup"), [&](QRectF r) {
      SideShotStyle(painter);
      DrawDiamond(painter, r.center(), 5);
    });
  }
}

}  // namespace quarrow
