#include "plot/profile_drawing.h"

#include <QCoreApplication>
#include <QDate>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_set>

#include "plot/axis_ticks.h"

namespace quarrow {

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("ProfilePicture", text); }

// The canvas, top to bottom: title and summary, the elevation panel with its
// key above it, the balance panel with its key, the distance axis.
constexpr double kLeft = 118;
constexpr double kRight = kCanvasWidth - 40;
const QRectF kElevationPanel(kLeft, 150, kRight - kLeft, 470);
const QRectF kBalancePanel(kLeft, 682, kRight - kLeft, 220);

const QColor kInk(0x21, 0x21, 0x21);
const QColor kMutedInk(0x5f, 0x63, 0x68);
const QColor kGrid(0xe4, 0xe6, 0xe9);
const QColor kFrame(0xa0, 0xa4, 0xa8);
const QColor kRunLine(0x1f, 0x4e, 0x79);
const QColor kSideShot(0xd9, 0x6c, 0x1e);
const QColor kBar(0x8f, 0xa9, 0xc4);
const QColor kOver(0xc6, 0x28, 0x28);
const QColor kMeets(0x2e, 0x7d, 0x32);
const QColor kBand(0x2e, 0x7d, 0x32, 0x22);
const QColor kCumulative(0x26, 0x32, 0x38);

QFont Font(int pixels, bool bold = false) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// Data values to canvas coordinates along one axis. Far outside the canvas
// a coordinate is held at a distance the painter can still clip.
struct Scale {
  double low = 0, high = 1;  // data
  double from = 0, to = 1;   // canvas
  double operator()(double value) const {
    return std::clamp(from + (value - low) * (to - from) / (high - low), -1e6, 1e6);
  }
};

// The range of the finite values added, or none (Empty).
struct Range {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Add(double value) {
    if (!std::isfinite(value)) return;
    // Deliberate: beyond this no run goes, and the width of the range must
    // stay finite for the scales.
    value = std::clamp(value, -1e300, 1e300);
    low = std::min(low, value);
    high = std::max(high, value);
  }
  bool Empty() const { return low > high; }
};

// The ticks of RoundTicks that fall inside [low, high].
AxisTicks TicksInside(double low, double high, int wanted) {
  AxisTicks ticks = RoundTicks(low, high, wanted);
  const double slack = ticks.step * 1e-6;
  std::erase_if(ticks.values,
                [&](double value) { return value < low - slack || value > high + slack; });
  return ticks;
}

// The line through the points, thinned to the canvas: where more points fall
// in one unit-wide column than could be told apart, the column keeps its
// first, lowest, highest and last point, which draws the same picture.
template <typename XAt, typename YAt>
QPolygonF ThinnedLine(std::size_t count, XAt x_at, YAt y_at, const Scale& sx, const Scale& sy) {
  QPolygonF line;
  const double width = std::fabs(sx.to - sx.from);
  if (count <= static_cast<std::size_t>(4 * width)) {
    for (std::size_t i = 0; i < count; ++i) {
      if (Finite(x_at(i), y_at(i))) line << QPointF(sx(x_at(i)), sy(y_at(i)));
    }
    return line;
  }
  bool open = false;
  double column = 0, first = 0, last = 0, lowest = 0, highest = 0;
  auto close = [&] {
    if (!open) return;
    const double x = column + 0.5;
    line << QPointF(x, sy(first));
    if (lowest != first && lowest != last) line << QPointF(x, sy(lowest));
    if (highest != first && highest != last) line << QPointF(x, sy(highest));
    if (last != first) line << QPointF(x, sy(last));
  };
  for (std::size_t i = 0; i < count; ++i) {
    const double x = x_at(i), y = y_at(i);
    if (!Finite(x, y)) continue;
    const double at = std::floor(sx(x));
    if (!open || at != column) {
      close();
      open = true;
      column = at;
      first = last = lowest = highest = y;
    } else {
      last = y;
      lowest = std::min(lowest, y);
      highest = std::max(highest, y);
    }
  }
  close();
  return line;
}

void DrawTriangle(QPainter& painter, QPointF at, double size, bool down = false) {
  const double h = size * 0.9;
  const double sign = down ? -1 : 1;
  const QPointF corners[3] = {QPointF(at.x(), at.y() - sign * h * 0.6),
                              QPointF(at.x() - size * 0.6, at.y() + sign * h * 0.45),
                              QPointF(at.x() + size * 0.6, at.y() + sign * h * 0.45)};
  painter.drawPolygon(corners, 3);
}

void DrawDiamond(QPainter& painter, QPointF at, double size) {
  const QPointF corners[4] = {QPointF(at.x(), at.y() - size), QPointF(at.x() + size, at.y()),
                              QPointF(at.x(), at.y() + size), QPointF(at.x() - size, at.y())};
  painter.drawPolygon(corners, 4);
}

// The symbols of the keys and of the panels share these.
void BenchMarkStyle(QPainter& painter) {
  painter.setPen(QPen(Qt::white, 1.2));
  painter.setBrush(kRunLine);
}
void TurningPointStyle(QPainter& painter) {
  painter.setPen(QPen(kRunLine, 1.6));
  painter.setBrush(Qt::white);
}
void SideShotStyle(QPainter& painter) {
  painter.setPen(QPen(kSideShot, 1.6));
  painter.setBrush(QColor(0xfd, 0xe8, 0xd7));
}

QString Number(const QLocale& locale, double value, int decimals) {
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;  // no "-0.000"
  return locale.toString(value, 'f', decimals);
}

// A row of keys: a symbol drawn by `symbol` in a 26-wide box, then its text.
class KeyRow {
 public:
  KeyRow(QPainter& painter, QPointF start) : painter_(painter), at_(start) {}
  template <typename Symbol>
  void Add(const QString& text, Symbol symbol) {
    painter_.save();
    symbol(QRectF(at_.x(), at_.y() - 8, 26, 16));
    painter_.restore();
    painter_.setPen(kMutedInk);
    painter_.setFont(Font(14));
    const QRectF box(at_.x() + 32, at_.y() - 10, 400, 20);
    QRectF used;
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text, &used);
    at_.rx() = used.right() + 26;
  }

 private:
  QPainter& painter_;
  QPointF at_;
};

void DrawGrid(QPainter& painter, const QRectF& panel, const AxisTicks& x_ticks, const Scale& sx,
              const AxisTicks& y_ticks, const Scale& sy) {
  painter.setPen(QPen(kGrid, 1));
  for (const double x : x_ticks.values) {
    painter.drawLine(QPointF(sx(x), panel.top()), QPointF(sx(x), panel.bottom()));
  }
  for (const double y : y_ticks.values) {
    painter.drawLine(QPointF(panel.left(), sy(y)), QPointF(panel.right(), sy(y)));
  }
}

void DrawFrame(QPainter& painter, const QRectF& panel) {
  painter.setPen(QPen(kFrame, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(panel);
}

void DrawYAxis(QPainter& painter, const QRectF& panel, const AxisTicks& ticks, const Scale& sy,
               const QString& title, const QLocale& locale) {
  painter.setFont(Font(14));
  painter.setPen(kMutedInk);
  for (const double y : ticks.values) {
    painter.drawText(QRectF(panel.left() - 108, sy(y) - 10, 100, 20),
                     Qt::AlignRight | Qt::AlignVCenter, Number(locale, y, ticks.decimals));
  }
  painter.save();
  painter.translate(22, panel.center().y());
  painter.rotate(-90);
  painter.setFont(Font(15, true));
  painter.setPen(kInk);
  painter.drawText(QRectF(-panel.height() / 2, -12, panel.height(), 24), Qt::AlignCenter, title);
  painter.restore();
}

struct DistanceAxis {
  Scale scale;
  AxisTicks ticks;
};

// The distance axis both panels share, from the beginning mark to the end of
// the run with a little room either side for the marks' symbols.
DistanceAxis MakeDistanceAxis(const ProfileData& data) {
  Range distance;
  distance.Add(0);
  for (const double d : data.mark_distance) distance.Add(d);
  for (const double d : data.side_distance) distance.Add(d);
  for (const double d : data.setup_end) distance.Add(d);
  if (distance.high - distance.low <= 0) distance.high = distance.low + 1;
  const double x_pad = (distance.high - distance.low) * 0.015;
  const Scale sx{distance.low - x_pad, distance.high + x_pad, kElevationPanel.left(),
                 kElevationPanel.right()};

  return {sx, TicksInside(distance.low, distance.high, 10)};
}

// True when the segment from `a` to `b` touches `box` (Liang-Barsky clipping).
bool SegmentTouches(QPointF a, QPointF b, const QRectF& box) {
  double enter = 0, leave = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                       box.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
    if (enter > leave) return false;
  }
  return true;
}

// True when the run's line passes through `box`. The line runs left to right
// in any real run; a broken one is searched from end to end.
bool LineCrosses(const QPolygonF& line, bool left_to_right, const QRectF& box) {
  std::size_t from = 0;
  if (left_to_right) {
    const auto first = std::lower_bound(line.begin(), line.end(), box.left(),
                                        [](const QPointF& p, double x) { return p.x() < x; });
    from = static_cast<std::size_t>(std::max<qsizetype>(0, (first - line.begin()) - 1));
  }
  for (std::size_t i = from; i + 1 < static_cast<std::size_t>(line.size()); ++i) {
    const QPointF a = line[static_cast<qsizetype>(i)], b = line[static_cast<qsizetype>(i + 1)];
    if (left_to_right && a.x() > box.right()) break;
    if (SegmentTouches(a, b, box)) return true;
  }
  return false;
}

// Where labels stand. A label that would cover one already placed, or leave
// its panel, gives way; the bench marks are placed first so they always show.
std::vector<PlacedName> PlaceLabels(const std::vector<ProfileLabel>& labels, const QRectF& panel,
                                    const Scale& sx, const Scale& sy, const QPolygonF& line,
                                    bool upright, std::size_t& left_out) {
  const bool left_to_right = std::is_sorted(
      line.begin(), line.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
  std::vector<const ProfileLabel*> order;
  for (const ProfileLabel& label : labels) {
    if (Finite(label.distance, label.elevation)) order.push_back(&label);
  }
  auto rank = [](PointRole role) {
    switch (role) {
      case PointRole::kBegin:
      case PointRole::kEnd:
        return 0;
      case PointRole::kTurn:
        return 1;
      case PointRole::kSide:
        return 2;
    }
    return 3;
  };
  std::stable_sort(order.begin(), order.end(), [&](const ProfileLabel* a, const ProfileLabel* b) {
    return rank(a->role) < rank(b->role);
  });

  const QFontMetricsF plain(Font(13));
  const QFontMetricsF bold(Font(13, true));
  const QRectF room = panel.adjusted(3, 3, -3, -3);
  std::vector<PlacedName> placed;
  left_out = 0;
  for (const ProfileLabel* label : order) {
    const bool bench = rank(label->role) == 0;
    const QFontMetricsF& metrics = bench ? bold : plain;
    PlacedName candidate{QRectF(), QPointF(), upright, bench,
                         metrics.elidedText(ShownText(label->name), Qt::ElideRight, 260)};
    const double length = metrics.horizontalAdvance(candidate.text) + 6;
    const double thickness = metrics.height() + 2;
    const QPointF point(sx(label->distance), sy(label->elevation));
    const double gap = label->role == PointRole::kSide ? 8 : 10;
    const QSizeF size = upright ? QSizeF(thickness, length) : QSizeF(length, thickness);
    // Above the point, else below; clear of the run's line if it can be.
    // Upright labels keep wider gaps, so that a long run stays readable.
    const double apart = upright ? 9 : 3;
    bool fits = false;
    for (const bool clear_of_line : {true, false}) {
      for (const bool above : {true, false}) {
        QRectF box(QPointF(point.x() - size.width() / 2,
                           above ? point.y() - gap - size.height() : point.y() + gap),
                   size);
        // Labels at the ends of the run lean inwards rather than leave the panel.
        if (box.left() < room.left()) box.moveLeft(room.left());
        if (box.right() > room.right()) box.moveRight(room.right());
        if (!room.contains(box)) continue;
        const QRectF spaced = box.adjusted(-apart, -2, apart, 2);
        if (std::any_of(placed.begin(), placed.end(),
                        [&](const PlacedName& other) { return other.box.intersects(spaced); })) {
          continue;
        }
        if (clear_of_line && LineCrosses(line, left_to_right, box)) continue;
        candidate.box = box;
        fits = true;
        break;
      }
      if (fits) break;
    }
    if (!fits) {
      ++left_out;
      continue;
    }
    if (upright) {
      candidate.anchor =
          QPointF(candidate.box.center().x() + metrics.ascent() / 2 - metrics.descent() / 2,
                  candidate.box.bottom() - 3);
    } else {
      candidate.anchor =
          QPointF(candidate.box.left() + 3,
                  candidate.box.center().y() + (metrics.ascent() - metrics.descent()) / 2);
    }
    placed.push_back(std::move(candidate));
  }
  return placed;
}

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

void DrawHeader(QPainter& painter, const ProfileData& data, const QLocale& locale,
                const QString& unit) {
  // Title and subtitle end short of the summary box; a long name loses its
  // middle.
  constexpr double kTitleWidth = 920;
  painter.setPen(kInk);
  painter.setFont(Font(28, true));
  const QString file = data.field_file.empty() ? Tr("Level run") : ShownText(data.field_file);
  painter.drawText(QRectF(kLeft - 80, 22, kTitleWidth, 40), Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(painter.font())
                       .elidedText(Tr("Profile of %1").arg(file), Qt::ElideMiddle, kTitleWidth));
  QStringList subtitle{Tr("Adjusted trigonometric level run"),
                       data.feet ? Tr("feet") : Tr("metres")};
  const QDate date(data.date.year, data.date.month, data.date.day);
  if (date.isValid()) subtitle << locale.toString(date, QLocale::ShortFormat);
  painter.setFont(Font(17));
  painter.setPen(kMutedInk);
  painter.drawText(QRectF(kLeft - 80, 64, kTitleWidth, 26), Qt::AlignLeft | Qt::AlignVCenter,
                   subtitle.join(QStringLiteral("  \u00b7  ")));

  // The summary: what the report's box says, at a glance.
  const QRectF box(kRight - 540, 16, 540, 92);
  painter.setPen(QPen(kFrame, 1));
  painter.setBrush(QColor(0xf7, 0xf8, 0xf9));
  painter.drawRoundedRect(box, 6, 6);
  const QColor verdict_colour = data.meets ? kMeets : kOver;
  const QRectF badge(box.left() + 14, box.top() + 14, 236, box.height() - 28);
  painter.setPen(Qt::NoPen);
  painter.setBrush(verdict_colour);
  painter.drawRoundedRect(badge, 5, 5);
  painter.setPen(Qt::white);
  painter.setFont(Font(16, true));
  painter.drawText(badge, Qt::AlignCenter,
                   data.meets ? Tr("Meets third order") : Tr("Does not meet third order"));

  const double text_left = badge.right() + 16;
  const QRectF line1(text_left, box.top() + 14, box.right() - text_left - 12, 22);
  const QRectF line2 = line1.translated(0, 22);
  const QRectF line3 = line2.translated(0, 22);
  painter.setFont(Font(15));
  auto row = [&](const QRectF& where, const QString& label, const QString& value, QColor colour) {
    painter.setPen(kMutedInk);
    painter.drawText(where, Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.setPen(colour);
    painter.drawText(where, Qt::AlignRight | Qt::AlignVCenter, value);
  };
  row(line1, Tr("Run length"), Number(locale, data.run_length, 3) + QChar(' ') + unit, kInk);
  const bool closes = std::fabs(data.misclosure) <= data.allowed_error;
  row(line2, Tr("Misclosure"), Number(locale, data.misclosure, 3) + QChar(' ') + unit,
      closes ? kInk : kOver);
  row(line3, Tr("Allowed"),
      QStringLiteral("\u00b1") + Number(locale, data.allowed_error, 3) + QChar(' ') + unit, kInk);
}

QPolygonF RunLine(const ProfileData& data, const Scale& sx, const Scale& sy) {
  const std::size_t marks = std::min(data.mark_distance.size(), data.mark_elevation.size());
  return ThinnedLine(
      marks, [&](std::size_t i) { return data.mark_distance[i]; },
      [&](std::size_t i) { return data.mark_elevation[i]; }, sx, sy);
}

// Names read best level; upright ones fit where level ones would not.
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

// The elevation axis: the run's spread with room above the highest point
// for its name.
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

// The upper panel: the adjusted elevations along the run, with the marks'
// and side shots' symbols and as many names as find room.
void DrawElevationPanel(QPainter& painter, const ProfileData& data, const Scale& sx,
                        const AxisTicks& x_ticks, const QLocale& locale, const QString& unit) {
  const Scale sy = ElevationScale(data);
  const AxisTicks y_ticks = TicksInside(sy.low, sy.high, 8);

  DrawGrid(painter, kElevationPanel, x_ticks, sx, y_ticks, sy);
  DrawYAxis(painter, kElevationPanel, y_ticks, sy, Tr("Adjusted elevation (%1)").arg(unit), locale);

  painter.save();
  painter.setClipRect(kElevationPanel);
  const std::size_t marks = std::min(data.mark_distance.size(), data.mark_elevation.size());
  const QPolygonF run = RunLine(data, sx, sy);
  painter.setPen(QPen(kRunLine, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(run);

  // Side shots, one symbol per spot where symbols could be told apart; where
  // they crowd, small dots that let the line show through.
  const std::size_t sides = std::min(data.side_distance.size(), data.side_elevation.size());
  const bool crowded = static_cast<double>(sides) > kElevationPanel.width() / 12;
  SideShotStyle(painter);
  if (crowded) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kSideShot.red(), kSideShot.green(), kSideShot.blue(), 150));
  }
  const double cell_size = crowded ? 2 : 3;
  std::unordered_set<std::int64_t> drawn;
  for (std::size_t i = 0; i < sides; ++i) {
    if (!Finite(data.side_distance[i], data.side_elevation[i])) continue;
    const QPointF at(sx(data.side_distance[i]), sy(data.side_elevation[i]));
    if (!kElevationPanel.contains(at)) continue;
    const auto cell = (static_cast<std::int64_t>(at.x() / cell_size) << 20) +
                      static_cast<std::int64_t>(at.y() / cell_size);
    if (!drawn.insert(cell).second) continue;
    if (crowded) {
      painter.drawEllipse(at, 1.8, 1.8);
    } else {
      DrawDiamond(painter, at, 5);
    }
  }

  // Turning points get a symbol while they stand apart.
  const bool turn_symbols = marks > 2 && static_cast<double>(marks) <= kElevationPanel.width() / 9;
  if (turn_symbols) {
    TurningPointStyle(painter);
    for (std::size_t i = 1; i + 1 < marks; ++i) {
      if (!Finite(data.mark_distance[i], data.mark_elevation[i])) continue;
      painter.drawEllipse(QPointF(sx(data.mark_distance[i]), sy(data.mark_elevation[i])), 4, 4);
    }
  }
  BenchMarkStyle(painter);
  for (const std::size_t i : {std::size_t{0}, marks - 1}) {
    if (marks == 0 || !Finite(data.mark_distance[i], data.mark_elevation[i])) continue;
    DrawTriangle(painter, QPointF(sx(data.mark_distance[i]), sy(data.mark_elevation[i])), 14);
  }

  DrawLabels(painter, ChooseNames(data, sx, sy, run));
  painter.restore();
  DrawFrame(painter, kElevationPanel);

  KeyRow elevation_key(painter, QPointF(kElevationPanel.left(), kElevationPanel.top() - 18));
  elevation_key.Add(Tr("Adjusted elevation"), [&](QRectF r) {
    painter.setPen(QPen(kRunLine, 2.2));
    painter.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
  });
  elevation_key.Add(Tr("Bench mark"), [&](QRectF r) {
    BenchMarkStyle(painter);
    DrawTriangle(painter, r.center(), 14);
  });
  if (turn_symbols) {
    elevation_key.Add(Tr("Turning point"), [&](QRectF r) {
      TurningPointStyle(painter);
      painter.drawEllipse(r.center(), 4, 4);
    });
  }
  if (sides > 0) {
    elevation_key.Add(Tr("Side shot, at its setup"), [&](QRectF r) {
      SideShotStyle(painter);
      DrawDiamond(painter, r.center(), 5);
    });
  }
}

// The lower panel: each setup's BS - FS and the sum so far, against the
// limit both must keep within.
void DrawBalancePanel(QPainter& painter, const ProfileData& data, const Scale& sx,
                      const AxisTicks& x_ticks, const QLocale& locale, const QString& unit) {
  // The balance of sight lengths: each setup's BS - FS, and the sum so far.
  const std::size_t setups = std::min(data.setup_end.size(), data.setup_difference.size());
  std::vector<double> cumulative(setups);
  double sum = 0;
  Range balance;
  balance.Add(data.max_diff * 1.25);
  std::size_t over_count = 0;
  for (std::size_t i = 0; i < setups; ++i) {
    const double difference = data.setup_difference[i];
    if (std::isfinite(difference)) sum += difference;
    cumulative[i] = sum;
    balance.Add(std::fabs(difference) * 1.08);
    balance.Add(std::fabs(sum) * 1.08);
    if (std::fabs(difference) > data.max_diff) ++over_count;
  }
  const double reach = balance.Empty() || balance.high <= 0 ? 1 : balance.high;
  Scale sb{-reach, reach, kBalancePanel.bottom(), kBalancePanel.top()};
  const AxisTicks b_ticks = TicksInside(-reach, reach, 4);
  DrawGrid(painter, kBalancePanel, x_ticks, sx, b_ticks, sb);
  DrawYAxis(painter, kBalancePanel, b_ticks, sb, Tr("BS \u2212 FS (%1)").arg(unit), locale);

  painter.save();
  painter.setClipRect(kBalancePanel);
  const double limit = std::isfinite(data.max_diff) ? std::fabs(data.max_diff) : 0;
  const QRectF band(QPointF(kBalancePanel.left(), sb(limit)),
                    QPointF(kBalancePanel.right(), sb(-limit)));
  painter.fillRect(band, kBand);
  painter.setPen(QPen(kMeets, 1.2, Qt::DashLine));
  painter.drawLine(band.topLeft(), band.topRight());
  painter.drawLine(band.bottomLeft(), band.bottomRight());
  painter.setPen(QPen(kFrame, 1));
  painter.drawLine(QPointF(kBalancePanel.left(), sb(0)), QPointF(kBalancePanel.right(), sb(0)));

  auto start_of = [&](std::size_t i) { return i == 0 ? 0.0 : data.setup_end[i - 1]; };
  const double panel_width = kBalancePanel.width();
  if (static_cast<double>(setups) <= panel_width / 3) {
    for (std::size_t i = 0; i < setups; ++i) {
      const double difference = data.setup_difference[i];
      if (!Finite(start_of(i), data.setup_end[i]) || !std::isfinite(difference)) continue;
      const double left = sx(start_of(i)), right = sx(data.setup_end[i]);
      const double width = std::clamp(std::fabs(right - left) * 0.7, 1.5, 46.0);
      const double middle = (left + right) / 2;
      const QRectF bar(QPointF(middle - width / 2, sb(std::max(difference, 0.0))),
                       QPointF(middle + width / 2, sb(std::min(difference, 0.0))));
      painter.fillRect(bar, std::fabs(difference) > limit ? kOver : kBar);
    }
  } else {
    // Thinned to the canvas: each unit-wide column shows the extremes of the
    // setups centred in it, in red when any of them is over the limit.
    const auto columns = static_cast<std::size_t>(std::ceil(panel_width)) + 1;
    std::vector<float> lowest(columns, 0), highest(columns, 0);
    std::vector<std::uint8_t> state(columns, 0);  // 1 in use, 2 over the limit
    for (std::size_t i = 0; i < setups; ++i) {
      const double difference = data.setup_difference[i];
      const double end = data.setup_end[i];
      if (!Finite(end, difference)) continue;
      const double at = sx((start_of(i) + end) / 2) - kBalancePanel.left();
      if (!(at >= 0 && at < static_cast<double>(columns))) continue;
      const auto column = static_cast<std::size_t>(at);
      lowest[column] = std::min(lowest[column], static_cast<float>(difference));
      highest[column] = std::max(highest[column], static_cast<float>(difference));
      state[column] |= std::fabs(difference) > limit ? 3 : 1;
    }
    for (std::size_t column = 0; column < columns; ++column) {
      if (state[column] == 0) continue;
      const double x = kBalancePanel.left() + static_cast<double>(column);
      painter.fillRect(QRectF(QPointF(x, sb(highest[column])), QPointF(x + 1, sb(lowest[column]))),
                       state[column] & 2 ? kOver : kBar);
    }
  }

  const QPolygonF running = ThinnedLine(
      setups + 1, [&](std::size_t i) { return start_of(i); },
      [&](std::size_t i) { return i == 0 ? 0.0 : cumulative[i - 1]; }, sx, sb);
  painter.setPen(QPen(kCumulative, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(running);
  if (setups > 0 && static_cast<double>(setups) <= panel_width / 9) {
    painter.setBrush(kCumulative);
    painter.setPen(Qt::NoPen);
    for (const QPointF& p : running) painter.drawEllipse(p, 2.6, 2.6);
  }
  // The whole run's balance, at its end, in red when over the limit.
  if (setups > 0 && !running.isEmpty()) {
    painter.setBrush(std::fabs(sum) > limit ? kOver : kCumulative);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.drawEllipse(running.back(), 5, 5);
  }

  // Setups over the limit are flagged along the top edge as well, so that a
  // short red bar is not missed.
  painter.setBrush(kOver);
  painter.setPen(Qt::NoPen);
  std::int64_t last_flag = std::numeric_limits<std::int64_t>::min();
  for (std::size_t i = 0; i < setups && over_count > 0; ++i) {
    if (!(std::fabs(data.setup_difference[i]) > limit)) continue;
    const double x = sx((start_of(i) + data.setup_end[i]) / 2);
    if (!(x >= kBalancePanel.left() && x <= kBalancePanel.right())) continue;
    const auto cell = static_cast<std::int64_t>(std::floor(x / 7));
    if (cell == last_flag) continue;
    last_flag = cell;
    DrawTriangle(painter, QPointF(x, kBalancePanel.top() + 7), 10, true);
  }
  painter.restore();
  DrawFrame(painter, kBalancePanel);

  KeyRow balance_key(painter, QPointF(kBalancePanel.left(), kBalancePanel.top() - 18));
  balance_key.Add(Tr("BS \u2212 FS of each setup"),
                  [&](QRectF r) { painter.fillRect(r.adjusted(6, 0, -6, 0), kBar); });
  if (over_count > 0) {
    balance_key.Add(over_count == 1
                        ? Tr("1 setup over the limit")
                        : Tr("%1 setups over the limit")
                              .arg(locale.toString(static_cast<qulonglong>(over_count))),
                    [&](QRectF r) { painter.fillRect(r.adjusted(6, 0, -6, 0), kOver); });
  }
  balance_key.Add(Tr("\u03a3BS \u2212 \u03a3FS so far"), [&](QRectF r) {
    painter.setPen(QPen(kCumulative, 2));
    painter.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
  });
  balance_key.Add(
      Tr("Limit \u00b1%1 %2").arg(Number(locale, limit, limit == std::floor(limit) ? 0 : 1), unit),
      [&](QRectF r) {
        painter.fillRect(r, kBand);
        painter.setPen(QPen(kMeets, 1.2, Qt::DashLine));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.bottomLeft(), r.bottomRight());
      });
}

void DrawDistanceAxis(QPainter& painter, const Scale& sx, const AxisTicks& x_ticks,
                      const QLocale& locale, const QString& unit) {
  painter.setFont(Font(14));
  painter.setPen(kMutedInk);
  for (const double x : x_ticks.values) {
    painter.drawText(QRectF(sx(x) - 60, kBalancePanel.bottom() + 6, 120, 20),
                     Qt::AlignHCenter | Qt::AlignTop, Number(locale, x, x_ticks.decimals));
  }
  painter.setFont(Font(15, true));
  painter.setPen(kInk);
  painter.drawText(
      QRectF(kBalancePanel.left(), kBalancePanel.bottom() + 34, kBalancePanel.width(), 24),
      Qt::AlignCenter, Tr("Run distance (%1)").arg(unit));
}

}  // namespace

QString ShownText(const std::string& bytes) {
  QString text = QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
  for (QChar& c : text) {
    // Deliberate: no markup may hold them, and no reader could tell them apart.
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QChar::ReplacementCharacter;
  }
  return text;
}

std::vector<PlacedName> PlaceNames(const ProfileData& data) {
  const Scale sx = MakeDistanceAxis(data).scale;
  const Scale sy = ElevationScale(data);
  return ChooseNames(data, sx, sy, RunLine(data, sx, sy));
}

void DrawProfile(QPainter& painter, const ProfileData& data, const QLocale& locale) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(QRectF(0, 0, kCanvasWidth, kCanvasHeight), Qt::white);
  const QString unit = data.feet ? Tr("ft") : Tr("m");
  DrawHeader(painter, data, locale, unit);

  const DistanceAxis axis = MakeDistanceAxis(data);
  const Scale& sx = axis.scale;
  const AxisTicks& x_ticks = axis.ticks;

  DrawElevationPanel(painter, data, sx, x_ticks, locale, unit);
  DrawBalancePanel(painter, data, sx, x_ticks, locale, unit);
  // The distance axis under both panels.
  DrawDistanceAxis(painter, sx, x_ticks, locale, unit);
}

}  // namespace quarrow
