#pragma once

// Names in a field file are bytes in the code page of the office software
// that wrote it: Windows-1252 when the degree sign is byte 176, code page 437
// (DOS) when it is byte 248. A file an editor saved again as UTF-8 holds the
// degree sign as the two bytes C2 B0 and its names are UTF-8 already.
// Exports are UTF-8 throughout.

#include <string>
#include <string_view>

#include "engine/code_pages.h"
#include "engine/platform.h"

namespace quarrow {

enum class NameEncoding { kWindows1252, kCodePage437, kUtf8 };

// How the names of the field file at `path` are written: UTF-8 when the file
// holds the degree sign as C2 B0 and is valid UTF-8 throughout (a byte-order
// mark at its start included); otherwise the code page its degree sign
// (`degree_mark`, 176 or 248) stands for. A file that cannot be read counts
// by its degree sign.
NameEncoding DetectNameEncoding(Platform& platform, const std::string& path, char degree_mark);

// `text` in UTF-8. UTF-8 text passes through unchanged.
std::string ToUtf8(std::string_view text, NameEncoding encoding);
// ToUtf8's text appended to `out`.
void AppendUtf8Text(std::string& out, std::string_view text, NameEncoding encoding);

}  // namespace quarrow
