#pragma once

#include <QString>
#include <string>

namespace quarrow {

// Bytes from a data file as a picture shows them: decoded as the system's
// 8-bit text, control characters (a tab, an end-of-file mark) as the
// replacement character.
QString ShownText(const std::string& bytes);

}  // namespace quarrow
