#include "convert/text_lines.h"

#include "engine/code_pages.h"

namespace quarrow {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }

// Deliberate: a control character after the last field (the DOS end-of-file
// mark, the end of a serial transfer) is not part of the line.
bool IsTrailingNoise(char c) { return IsBlank(c) || IsControl(c); }

// The length of the UTF-8 sequence starting at `bytes[0]`, 0 when it is not
// one.
std::size_t Utf8Length(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (length > bytes.size() || !IsValidUtf8(bytes.substr(0, length))) return 0;
  return length;
}

}  // namespace

std::vector<TextLine> TextLines(std::string_view bytes) {
  std::vector<TextLine> lines;
  int number = 0;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view raw = bytes.substr(pos, end - pos);
    ++number;
    pos = end + 1;
    if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++pos;

    std::string_view text = raw;
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsTrailingNoise(text.back())) text.remove_suffix(1);
    if (text.empty() || IsControl(text.front())) continue;
    lines.push_back(TextLine{raw, text, number});
  }
  return lines;
}

std::string LinePlace(int line) { return "line " + std::to_string(line); }

NameEncoding NameEncodingOf(std::string_view bytes) {
  return IsValidUtf8(bytes) ? NameEncoding::kUtf8 : NameEncoding::kWindows1252;
}

std::u32string DecodeName(std::string_view bytes, NameEncoding encoding) {
  std::u32string name;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t length = encoding == NameEncoding::kUtf8 ? Utf8Length(bytes.substr(i)) : 0;
    if (length <= 1) {
      name += DecodeByte(static_cast<unsigned char>(bytes[i]), CodePage::kWindows1252);
      ++i;
      continue;
    }
    const auto lead = static_cast<unsigned char>(bytes[i]);
    char32_t c = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k) {
      c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    }
    name += c;
    i += length;
  }
  return name;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace quarrow
