#include "exports/name_encoding.h"

#include "engine/code_pages.h"

namespace quarrow {

namespace {

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
  const CodePage page =
      encoding == NameEncoding::kCodePage437 ? CodePage::kDos437 : CodePage::kWindows1252;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      AppendUtf8(out, DecodeByte(byte, page));
    }
  }
}

std::string ToUtf8(std::string_view text, NameEncoding encoding) {
  std::string out;
  AppendUtf8Text(out, text, encoding);
  return out;
}

}  // namespace quarrow
