#pragma once

// The single-byte code pages of the field file: Windows-1252, which the
// window shows, and code page 437 of the older DOS exports.

#include <cstdint>
#include <string>

namespace quarrow {

enum class CodePage { kWindows1252, kDos437 };

// The character of `byte` in Windows-1252. The five bytes the code page
// leaves undefined come back as U+FFFD.
char32_t DecodeWindows1252(unsigned char byte);

// The byte of `c` in `page`, or -1 when the code page has no such character.
// Control characters are refused too: they would break the line.
int EncodeChar(char32_t c, CodePage page);

// UTF-8 of one code point (for messages and the summary).
void AppendUtf8(std::string& out, char32_t c);

}  // namespace quarrow
