#pragma once

// The single-byte code pages of the field file: Windows-1252, which the
// window shows, and code page 437 of the older DOS exports.

#include <cstdint>
#include <string>
#include <string_view>

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

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Checks UTF-8 across reads: a sequence may be cut by a chunk's end.
class Utf8Checker {
 public:
  void Feed(std::string_view bytes) {
    for (const char c : bytes) Take(static_cast<unsigned char>(c));
  }
  bool Valid() const { return valid_ && pending_ == 0; }
  bool Broken() const { return !valid_; }

 private:
  void Take(unsigned char byte) {
    if (!valid_) return;
    if (pending_ > 0) {
      if (byte < lower_ || byte > upper_) {
        valid_ = false;
        return;
      }
      lower_ = 0x80;
      upper_ = 0xBF;
      --pending_;
      return;
    }
    if (byte < 0x80) return;
    // The first continuation byte's range rules out overlong forms,
    // surrogates and code points past U+10FFFF.
    lower_ = 0x80;
    upper_ = 0xBF;
    if (byte >= 0xC2 && byte <= 0xDF) {
      pending_ = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      pending_ = 2;
      if (byte == 0xE0) lower_ = 0xA0;
      if (byte == 0xED) upper_ = 0x9F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      pending_ = 3;
      if (byte == 0xF0) lower_ = 0x90;
      if (byte == 0xF4) upper_ = 0x8F;
    } else {
      valid_ = false;
    }
  }

  bool valid_ = true;
  int pending_ = 0;
  unsigned char lower_ = 0x80;
  unsigned char upper_ = 0xBF;
};

}  // namespace quarrow
