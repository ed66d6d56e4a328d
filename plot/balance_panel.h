#pragma once

// The profile's lower panel: each setup's BS - FS and the sum so far,
// against the limit both must keep within. ComputeBalancePanel works out
// every bar, line and flag as canvas geometry; DrawBalancePanel paints them.
//
// A setup, or the whole run, is over the limit when its BS - FS is strictly
// greater than the limit in size (OverLimit), as the report judges it.

#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <cstddef>
#include <vector>

#include "plot/profile_canvas.h"

namespace quarrow {

struct BalanceBar {
  QRectF box;
  bool over = false;  // a setup it shows is over the limit
};

struct BalancePanel {
  Scale scale;  // BS - FS to canvas, symmetric about zero
  AxisTicks ticks;
  double limit = 0;  // the limit drawn and judged by, in units (0 when not finite)
  QRectF band;       // the band within the limit, across the panel
  // One bar per setup while they stand apart; else one per unit-wide
  // column, spanning the extremes of the setups centred in it.
  std::vector<BalanceBar> bars;
  QPolygonF running;  // the sum of BS - FS so far, from the beginning mark
  bool running_dots = false;
  bool run_over = false;       // the whole run's balance is over the limit
  bool has_run_end = false;    // a dot at the running sum's end
  std::vector<QPointF> flags;  // over-the-limit setups along the top edge
  std::size_t over_count = 0;  // setups over the limit
};

// Everything the panel shows for `data`, along the distance scale `sx`.
BalancePanel ComputeBalancePanel(const ProfileData& data, const Scale& sx);

// Paints `panel` with the distance grid of `x_ticks`; `unit` names the unit
// of BS - FS.
void DrawBalancePanel(QPainter& painter, const BalancePanel& panel, const Scale& sx,
                      const AxisTicks& x_ticks, const QLocale& locale, const QString& unit);

}  // namespace quarrow
