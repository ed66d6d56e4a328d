#include "office/display.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace quarrow {

QString FormatNumber(double value, int decimals) {
  if (!std::isfinite(value)) return QStringLiteral("-");
  return QLocale().toString(value, 'f', decimals);
}

QString FormatNumber(const std::optional<double>& value, int decimals) {
  return value ? FormatNumber(*value, decimals) : QString();
}

std::optional<double> ReadTypedNumber(const QString& text) {
  const QString trimmed = text.trimmed();
  bool ok = false;
  double value = QLocale().toDouble(trimmed, &ok);
  if (!ok) value = QLocale::c().toDouble(trimmed, &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

QColor VerdictColor(RunVerdict verdict) {
  switch (verdict) {
    case RunVerdict::kMeets:
      return QColor(46, 125, 50);
    case RunVerdict::kFails:
      return QColor(198, 40, 40);
    case RunVerdict::kNotChecked:
      return QColor(117, 117, 117);
    case RunVerdict::kNotRead:
      return QColor(230, 124, 0);
  }
  return QColor(117, 117, 117);
}

QString VerdictText(RunVerdict verdict) { return QString::fromLatin1(VerdictName(verdict)); }

QIcon VerdictIcon(RunVerdict verdict) {
  QIcon icon;
  for (const int size : {16, 24, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    painter.setPen(Qt::NoPen);
    painter.setBrush(VerdictColor(verdict));
    painter.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
    QPen mark(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(mark);
    painter.setBrush(Qt::NoBrush);
    switch (verdict) {
      case RunVerdict::kMeets: {
        QPainterPath tick;
        tick.moveTo(s * 0.27, s * 0.52);
        tick.lineTo(s * 0.44, s * 0.68);
        tick.lineTo(s * 0.73, s * 0.34);
        painter.drawPath(tick);
        break;
      }
      case RunVerdict::kFails:
        painter.drawLine(QPointF(s * 0.32, s * 0.32), QPointF(s * 0.68, s * 0.68));
        painter.drawLine(QPointF(s * 0.68, s * 0.32), QPointF(s * 0.32, s * 0.68));
        break;
      case RunVerdict::kNotChecked:
        painter.drawLine(QPointF(s * 0.3, s * 0.5), QPointF(s * 0.7, s * 0.5));
        break;
      case RunVerdict::kNotRead:
        painter.drawLine(QPointF(s * 0.5, s * 0.25), QPointF(s * 0.5, s * 0.58));
        painter.drawPoint(QPointF(s * 0.5, s * 0.75));
        break;
    }
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace quarrow
