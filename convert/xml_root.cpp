#include "convert/xml_root.h"

#include <QByteArray>
#include <QXmlStreamReader>

namespace quarrow {

std::optional<XmlRoot> ReadXmlRoot(std::string_view bytes) {
  QXmlStreamReader xml(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      return XmlRoot{xml.name().toString().toStdString(),
                     xml.namespaceUri().toString().toStdString(),
                     static_cast<int>(xml.lineNumber())};
    }
  }
  return std::nullopt;
}

}  // namespace quarrow
