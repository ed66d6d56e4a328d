#pragma once

// Where the parts of the profile stand on its canvas, top to bottom: title
// and summary, the elevation panel with its key above it, the balance panel
// with its key, the distance axis. Both panels share the distance axis.

#include <QCoreApplication>
#include <QRectF>
#include <QString>

#include "plot/axis_ticks.h"
#include "plot/profile_data.h"
#include "plot/scales.h"

namespace quarrow {

inline constexpr double kLeft = 118;
inline constexpr double kRight = kCanvasWidth - 40;
inline constexpr QRectF kElevationPanel(kLeft, 150, kRight - kLeft, 470);
inline constexpr QRectF kBalancePanel(kLeft, 682, kRight - kLeft, 220);

// The run distance along both panels, and its round ticks.
struct DistanceAxis {
  Scale scale;
  AxisTicks ticks;
};

// The profile's words, translated in the picture's own context.
inline QString ProfileTr(const char* text) {
  return QCoreApplication::translate("ProfilePicture", text);
}

}  // namespace quarrow
