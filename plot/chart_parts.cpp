#include "plot/chart_parts.h"

namespace quarrow {

void DrawTriangle(QPainter& painter, QPointF at, double size, bool down) {
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
  painter.setBrush(kSideShotFill);
}

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

void KeyRow::AddText(const QString& text) {
  painter_.setPen(kMutedInk);
  painter_.setFont(Font(14));
  const QRectF box(at_.x() + 32, at_.y() - 10, 400, 20);
  QRectF used;
  painter_.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text, &used);
  at_.rx() = used.right() + 26;
}

}  // namespace quarrow
