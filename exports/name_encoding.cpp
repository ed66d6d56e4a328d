#include "exports/name_encoding.h"

#include <array>
#include <cstdint>

namespace quarrow {

namespace {

// Bytes 128 to 255 as Unicode code points. In Windows-1252 the five bytes
// the code page leaves unassigned keep their C1 control code points, as the
// web's decoders do, so that no name byte is ever lost.
constexpr std::array<char16_t, 128> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

constexpr std::array<char16_t, 128> kCodePage437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

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

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  Utf8Checker checker;
  checker.Feed(bytes);
  return checker.Valid();
}

NameEncoding DetectNameEncoding(Platform& platform, const std::string& path, char degree_mark) {
  const NameEncoding by_mark = degree_mark == static_cast<char>(248) ? NameEncoding::kCodePage437
                                                                     : NameEncoding::kWindows1252;
  if (by_mark != NameEncoding::kWindows1252) return by_mark;
  std::unique_ptr<ByteSource> source = platform.OpenForReading(path);
  if (!source) return by_mark;
  Utf8Checker checker;
  bool utf8_degree_sign = false;
  char previous = '\0';
  std::string chunk(1 << 16, '\0');
  for (;;) {
    const std::ptrdiff_t got = source->Read(chunk.data(), chunk.size());
    if (got < 0) return by_mark;
    if (got == 0) break;
    const std::string_view bytes(chunk.data(), static_cast<std::size_t>(got));
    checker.Feed(bytes);
    // A file in a code page breaks UTF-8 at its first degree sign: no need
    // to read the rest of it.
    if (checker.Broken()) return by_mark;
    for (const char c : bytes) {
      if (previous == '\xC2' && c == '\xB0') utf8_degree_sign = true;
      previous = c;
    }
  }
  return utf8_degree_sign && checker.Valid() ? NameEncoding::kUtf8 : by_mark;
}

void AppendUtf8Text(std::string& out, std::string_view text, NameEncoding encoding) {
  if (encoding == NameEncoding::kUtf8) {
    out += text;
    return;
  }
  const auto& high = encoding == NameEncoding::kCodePage437 ? kCodePage437High : kWindows1252High;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      AppendUtf8(out, high[byte - 0x80]);
    }
  }
}

std::string ToUtf8(std::string_view text, NameEncoding encoding) {
  std::string out;
  AppendUtf8Text(out, text, encoding);
  return out;
}

}  // namespace quarrow
