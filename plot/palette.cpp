#include "plot/palette.h"

namespace quarrow {

QFont Font(int pixels, bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace quarrow
