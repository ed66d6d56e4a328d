#pragma once

// The single-byte code pages of the field file: Windows-1252, which the
// window shows, and code page 437 of the older DOS exports.

#include <cstdint>
#include <string>

namespace quarrow {

enum class CodePage { kWindows1252, kDos437 };

// The character of `byte` in `page`. The five bytes Windows-1252 leaves
// undefined keep their C1 control code points, as the web's decoders do, so
// that no byte of a name is ever lost.
char32_t DecodeByte(unsigned char byte, CodePage page);

// The byte of `c` in `page`, or -1 when the code page has no such character.
// Control characters (C0 and C1) are refused too: they have no place in a
// name.
int EncodeChar(char32_t c, CodePage page);

// UTF-8 of one code point (for messages and the summary).
void AppendUtf8(std::string& out, char32_t c);

}  // namespace quarrow
