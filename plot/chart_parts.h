#pragma once

// The parts every panel of the profile is built of: symbols and their
// styles, the grid, the frame, the value axis and the row of keys above a
// panel. Each paints only; what it paints has been worked out before.

#include <QLocale>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>

#include "plot/axis_ticks.h"
#include "plot/palette.h"
#include "plot/scales.h"

namespace quarrow {

// A triangle of about `size` across centred on `at`, pointing up (or down).
void DrawTriangle(QPainter& painter, QPointF at, double size, bool down = false);
// A square standing on its corner, `size` from its centre to each corner.
void DrawDiamond(QPainter& painter, QPointF at, double size);

// The symbols of the keys and of the panels share these.
void BenchMarkStyle(QPainter& painter);
void TurningPointStyle(QPainter& painter);
void SideShotStyle(QPainter& painter);

// The grid lines of the ticks across `panel`.
void DrawGrid(QPainter& painter, const QRectF& panel, const AxisTicks& x_ticks, const Scale& sx,
              const AxisTicks& y_ticks, const Scale& sy);
void DrawFrame(QPainter& painter, const QRectF& panel);
// The numbers of the ticks left of `panel`, and `title` upright beside them.
void DrawYAxis(QPainter& painter, const QRectF& panel, const AxisTicks& ticks, const Scale& sy,
               const QString& title, const QLocale& locale);

// A row of keys: a symbol drawn by `symbol` in a 26-wide box, then its text.
class KeyRow {
 public:
  KeyRow(QPainter& painter, QPointF start) : painter_(painter), at_(start) {}
  template <typename Symbol>
  void Add(const QString& text, Symbol symbol) {
    painter_.save();
    symbol(QRectF(at_.x(), at_.y() - 8, 26, 16));
    painter_.restore();
    AddText(text);
  }

 private:
  void AddText(const QString& text);

  QPainter& painter_;
  QPointF at_;
};

}  // namespace quarrow
