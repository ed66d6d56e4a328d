#include "office/network_drawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <numbers>

#include "office/display.h"

namespace quarrow {

namespace {

constexpr double kWidth = 1000;     // the scene's extent for positions, in its units
constexpr double kSpacing = 56;     // between neighbours on the circle
constexpr double kSymbol = 8;       // half the size of a mark's symbol
constexpr double kParallel = 26;    // between runs joining the same two marks
constexpr double kLoopRadius = 20;  // a run from a mark back to it
constexpr double kMargin = 36;

QFont LabelFont() {
  QFont font;
  font.setPixelSize(13);
  return font;
}

// Marks in the order the runs reach them from the first, part after part:
// neighbours stand side by side on the circle, so few runs cross it.
std::vector<int> CircleOrder(const DiagramData& data, const std::vector<bool>& placed) {
  const std::size_t count = data.marks.size();
  std::vector<std::vector<int>> neighbours(count);
  for (const DiagramRun& run : data.runs) {
    neighbours[static_cast<std::size_t>(run.from)].push_back(run.to);
    neighbours[static_cast<std::size_t>(run.to)].push_back(run.from);
  }
  std::vector<bool> seen(count, false);
  std::vector<int> order;
  for (std::size_t start = 0; start < count; ++start) {
    if (seen[start]) continue;
    std::deque<int> queue{static_cast<int>(start)};
    seen[start] = true;
    while (!queue.empty()) {
      const int mark = queue.front();
      queue.pop_front();
      if (!placed[static_cast<std::size_t>(mark)]) order.push_back(mark);
      for (const int next : neighbours[static_cast<std::size_t>(mark)]) {
        if (seen[static_cast<std::size_t>(next)]) continue;
        seen[static_cast<std::size_t>(next)] = true;
        queue.push_back(next);
      }
    }
  }
  return order;
}

}  // namespace

QColor RunColor(const DiagramRun& run) {
  if (!run.adjusted) return QColor(96, 125, 139);
  return VerdictColor(run.verdict);
}

DiagramLayout SimpleNetworkDrawing::Layout(const DiagramData& data) {
  DiagramLayout layout;
  const std::size_t count = data.marks.size();
  layout.marks.assign(count, QPointF());
  std::vector<bool> placed(count, false);

  // Marks with both coordinates where they stand, north up.
  QRectF extent;
  bool any = false;
  for (const DiagramMark& mark : data.marks) {
    if (!mark.position) continue;
    extent = any ? extent.united(QRectF(*mark.position, QSizeF(0, 0)))
                 : QRectF(*mark.position, QSizeF(0, 0));
    any = true;
  }
  const double range = std::max(extent.width(), extent.height());
  const double scale = range > 0 ? kWidth / range : 1;
  for (std::size_t m = 0; m < count; ++m) {
    const std::optional<QPointF>& position = data.marks[m].position;
    if (!position) continue;
    layout.marks[m] =
        QPointF((position->x() - extent.left()) * scale, (extent.bottom() - position->y()) * scale);
    placed[m] = true;
  }

  // The others on a circle: around the placed ones, or alone.
  const std::vector<int> order = CircleOrder(data, placed);
  const QRectF box = any ? QRectF(0, 0, extent.width() * scale, extent.height() * scale)
                         : QRectF(0, 0, kWidth, kWidth);
  const QPointF centre = box.center();
  const double radius =
      std::max({any ? std::hypot(box.width(), box.height()) * 0.6 + kSpacing : kWidth * 0.4,
                static_cast<double>(order.size()) * kSpacing / (2 * std::numbers::pi), 60.0});
  for (std::size_t i = 0; i < order.size(); ++i) {
    const double angle = -std::numbers::pi / 2 + 2 * std::numbers::pi * static_cast<double>(i) /
                                                     static_cast<double>(order.size());
    layout.marks[static_cast<std::size_t>(order[i])] =
        centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
  }

  // Runs: straight, bowed apart where several join the same two marks.
  std::map<std::pair<int, int>, int> joined;
  std::map<std::pair<int, int>, int> drawn;
  for (const DiagramRun& run : data.runs) {
    ++joined[std::minmax(run.from, run.to)];
  }
  for (const DiagramRun& run : data.runs) {
    const QPointF from = layout.marks[static_cast<std::size_t>(run.from)];
    const QPointF to = layout.marks[static_cast<std::size_t>(run.to)];
    QPainterPath path(from);
    if (run.from == run.to) {
      path.addEllipse(from + QPointF(kLoopRadius, -kLoopRadius), kLoopRadius, kLoopRadius);
    } else {
      const auto key = std::minmax(run.from, run.to);
      const int index = drawn[key]++;
      const double offset = (index - (joined[key] - 1) / 2.0) * kParallel;
      const QPointF along = to - from;
      const double length = std::hypot(along.x(), along.y());
      const QPointF normal = length > 0 ? QPointF(-along.y(), along.x()) / length : QPointF();
      // Bowed the same way whichever way the run goes.
      const double side = run.from < run.to ? 1 : -1;
      if (offset == 0) {
        path.lineTo(to);
      } else {
        path.quadTo((from + to) / 2 + normal * offset * 2 * side, to);
      }
    }
    layout.runs.push_back(path);
  }

  QRectF bounds;
  for (const QPointF& point : layout.marks) {
    bounds = bounds.united(QRectF(point - QPointF(kSymbol, kSymbol), QSizeF(2, 2) * kSymbol));
  }
  for (const QPainterPath& path : layout.runs) bounds = bounds.united(path.boundingRect());
  // Room for the names, which keep their size on screen, at the sides.
  const double margin = kMargin + 0.12 * std::max(bounds.width(), bounds.height());
  layout.bounds = bounds.adjusted(-margin, -margin / 2, margin, margin / 2);
  return layout;
}

bool SimpleNetworkDrawing::IsNamed(const DiagramData& data, std::size_t mark) {
  return data.marks.size() <= kNamedMarks || data.marks[mark].listed;
}

QRectF SimpleNetworkDrawing::LabelBox(const DiagramData& data, const DiagramLayout& layout,
                                      std::size_t mark) {
  const QFontMetricsF metrics(LabelFont());
  const QSizeF size(metrics.horizontalAdvance(data.marks[mark].name) + 2, metrics.height());
  const QPointF away = layout.marks[mark] - layout.bounds.center();
  const bool left = away.x() < -1;
  const bool above = away.y() < 1;
  return QRectF(QPointF(left ? -kSymbol - 3 - size.width() : kSymbol + 3,
                        above ? -kSymbol - size.height() + 4 : kSymbol - 4),
                size);
}

void SimpleNetworkDrawing::Paint(QPainter& painter, const DiagramData& data,
                                 const DiagramLayout& layout) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  // Scene units in one pixel of the view: symbols and names are sized in pixels.
  const double pixel = 1 / std::max(std::abs(painter.worldTransform().m11()), 1e-9);
  for (std::size_t r = 0; r < data.runs.size(); ++r) {
    const DiagramRun& run = data.runs[r];
    QPen pen(RunColor(run), run.flagged ? 5.5 : 2.5, Qt::SolidLine, Qt::RoundCap);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawPath(layout.runs[r]);
  }
  // Text in pixels at a point of the scene.
  const auto text_at = [&painter, pixel](const QPointF& at, const QRectF& box, const QString& text,
                                         const QFont& font, const QColor& color) {
    painter.save();
    painter.translate(at);
    painter.scale(pixel, pixel);
    painter.setFont(font);
    // A light ground keeps the words readable over the lines they cross.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawRoundedRect(box.adjusted(-1, 0, 1, 0), 2, 2);
    painter.setPen(color);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.restore();
  };
  QFont flag_font = LabelFont();
  flag_font.setBold(true);
  const QFontMetricsF flag_metrics(flag_font);
  for (std::size_t r = 0; r < data.runs.size(); ++r) {
    const DiagramRun& run = data.runs[r];
    if (!run.flagged || !run.standardized) continue;
    const QString text = FormatNumber(*run.standardized, 2);
    text_at(layout.runs[r].pointAtPercent(0.5),
            QRectF(6, -6 - flag_metrics.height(), flag_metrics.horizontalAdvance(text) + 2,
                   flag_metrics.height()),
            text, flag_font, RunColor(run));
  }

  const QColor ink(38, 50, 56);
  const double size = kSymbol * pixel;
  for (std::size_t m = 0; m < data.marks.size(); ++m) {
    const DiagramMark& mark = data.marks[m];
    const QPointF at = layout.marks[m];
    QPen outline(mark.checked ? ink : QColor(230, 124, 0), 1.6);
    outline.setCosmetic(true);
    if (!mark.checked) outline.setStyle(Qt::DashLine);
    painter.setPen(outline);
    const QPolygonF triangle({at + QPointF(0, -size * 1.2), at + QPointF(size, size * 0.8),
                              at + QPointF(-size, size * 0.8)});
    switch (mark.status) {
      case MarkStatus::kFixed:
        painter.setBrush(ink);
        painter.drawPolygon(triangle);
        break;
      case MarkStatus::kWeighted:
        painter.setBrush(QColor(176, 190, 197));
        painter.drawPolygon(triangle);
        break;
      case MarkStatus::kAdjusted:
        painter.setBrush(Qt::white);
        painter.drawEllipse(at, size * 0.7, size * 0.7);
        break;
    }
  }
  for (std::size_t m = 0; m < data.marks.size(); ++m) {
    if (!IsNamed(data, m)) continue;
    text_at(layout.marks[m], LabelBox(data, layout, m), data.marks[m].name, LabelFont(), ink);
  }
}

}  // namespace quarrow
