#include "plot/shown_text.h"

namespace quarrow {

QString ShownText(const std::string& bytes) {
  QString text = QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
  for (QChar& c : text) {
    // Deliberate: no markup may hold them, and no reader could tell them apart.
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QChar::ReplacementCharacter;
  }
  return text;
}

}  // namespace quarrow
