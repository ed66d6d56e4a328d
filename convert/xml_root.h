#pragma once

// The root element of an XML document, which tells JobXML from LandXML.

#include <optional>
#include <string>
#include <string_view>

namespace quarrow {

struct XmlRoot {
  std::string name;           // local name: "JOBFile", "LandXML"
  std::string namespace_uri;  // "" without one
  int line = 0;
};

// The first element of `bytes`, or none when the XML breaks before it (the
// reader of the format then names the error and its line).
std::optional<XmlRoot> ReadXmlRoot(std::string_view bytes);

}  // namespace quarrow
