#pragma once

// The profile's upper panel: the adjusted elevations along the run, with
// the marks' and side shots' symbols and as many names as find room. What
// it shows is worked out first (ComputeElevationPanel), as plain canvas
// geometry, and painted from that.

#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QString>
#include <vector>

#include "plot/label_placement.h"
#include "plot/profile_canvas.h"

namespace quarrow {

struct ElevationPanel {
  Scale scale;  // elevation to canvas
  AxisTicks ticks;
  QPolygonF run;  // the run's line, thinned to the canvas
  // Side shots, one spot per symbol; crowded, they are small dots.
  std::vector<QPointF> side_shots;
  bool crowded_side_shots = false;
  bool has_side_shots = false;
  // Turning points, drawn only while they stand apart.
  std::vector<QPointF> turning_points;
  bool turn_symbols = false;
  std::vector<QPointF> bench_marks;  // the beginning and the ending mark
  std::vector<PlacedName> names;
};

// The elevation axis: the run's spread with room above the highest point
// for its name.
Scale ElevationScale(const ProfileData& data);

// The run's line through the marks, thinned to the canvas.
QPolygonF RunLine(const ProfileData& data, const Scale& sx, const Scale& sy);

// The names shown: level where they read best, upright where more fit so.
std::vector<PlacedName> ChooseNames(const ProfileData& data, const Scale& sx, const Scale& sy,
                                    const QPolygonF& run);

// Everything the panel shows for `data`, along the distance scale `sx`.
ElevationPanel ComputeElevationPanel(const ProfileData& data, const Scale& sx);

// Paints `panel` with the distance grid of `x_ticks`; `unit` names the
// elevations' unit on the axis.
void DrawElevationPanel(QPainter& painter, const ElevationPanel& panel, const Scale& sx,
                        const AxisTicks& x_ticks, const QLocale& locale, const QString& unit);

}  // namespace quarrow
