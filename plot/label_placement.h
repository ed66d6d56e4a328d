#pragma once

// What gives way where the canvas is crowded: a line of more points than
// the canvas has columns is thinned to what can be told apart, and a name
// that would cover another, or leave its panel, is left out.

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <cmath>
#include <cstddef>
#include <vector>

#include "plot/profile_data.h"
#include "plot/scales.h"

namespace quarrow {

// A name as the profile places it, in canvas coordinates.
struct PlacedName {
  QRectF box;      // what the name covers, upright or not
  QPointF anchor;  // where its text starts (upright: its baseline's left end)
  bool upright = false;
  bool bench = false;  // the beginning or ending mark
  QString text;        // shortened with an ellipsis when very long
};

// The line through the points, thinned to the canvas: where more points fall
// in one unit-wide column than could be told apart, the column keeps its
// first, lowest, highest and last point, which draws the same picture.
// Points with a coordinate that is not finite are left out.
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

// True when the segment from `a` to `b` touches `box`.
bool SegmentTouches(QPointF a, QPointF b, const QRectF& box);

// Where the names of `labels` stand in `panel`, level or `upright`: above
// their point, else below; clear of `line` where they can be. A name that
// would cover one already placed, or leave the panel, gives way and is
// counted in `left_out`; the bench marks are placed first so they always
// show.
std::vector<PlacedName> PlaceLabels(const std::vector<ProfileLabel>& labels, const QRectF& panel,
                                    const Scale& sx, const Scale& sy, const QPolygonF& line,
                                    bool upright, std::size_t& left_out);

}  // namespace quarrow
