#include "app/window_layout.h"

#include <QFontMetricsF>
#include <QLabel>
#include <cmath>

namespace quarrow {

QFont WindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                    QStringLiteral("Nimbus Sans"), QStringLiteral("Arial"),
                    QStringLiteral("Helvetica")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 256}) {
    icon.addFile(QStringLiteral(":/quarrow/quarrow-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

void PlaceLabel(QLabel& label, const QRect& rect) {
  const QFontMetricsF metrics(label.font());
  const int needed = static_cast<int>(std::ceil(metrics.horizontalAdvance(label.text())));
  QRect placed = rect;
  if (needed > placed.width()) placed.setWidth(needed);
  label.setGeometry(placed);
}

}  // namespace quarrow
