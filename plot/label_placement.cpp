#include "plot/label_placement.h"

#include <QFontMetricsF>
#include <algorithm>

#include "plot/palette.h"
#include "plot/shown_text.h"

namespace quarrow {

namespace {

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

int Rank(PointRole role) {
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
}

}  // namespace

bool SegmentTouches(QPointF a, QPointF b, const QRectF& box) {
  // Liang-Barsky clipping: the part of the segment inside each of the box's
  // four half-planes, narrowed until nothing is left or the box is reached.
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

std::vector<PlacedName> PlaceLabels(const std::vector<ProfileLabel>& labels, const QRectF& panel,
                                    const Scale& sx, const Scale& sy, const QPolygonF& line,
                                    bool upright, std::size_t& left_out) {
  const bool left_to_right = std::is_sorted(
      line.begin(), line.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
  std::vector<const ProfileLabel*> order;
  for (const ProfileLabel& label : labels) {
    if (Finite(label.distance, label.elevation)) order.push_back(&label);
  }
  std::stable_sort(order.begin(), order.end(), [&](const ProfileLabel* a, const ProfileLabel* b) {
    return Rank(a->role) < Rank(b->role);
  });

  const QFontMetricsF plain(Font(13));
  const QFontMetricsF bold(Font(13, true));
  const QRectF room = panel.adjusted(3, 3, -3, -3);
  std::vector<PlacedName> placed;
  left_out = 0;
  for (const ProfileLabel* label : order) {
    const bool bench = Rank(label->role) == 0;
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

}  // namespace quarrow
