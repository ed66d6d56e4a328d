#include "exports/name_encoding.h"

#include "engine/code_pages.h"

namespace quarrow {



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
