#include "engine/units_hint.h"

#include <memory>

#include "engine/messages.h"

namespace quarrow {

namespace {

bool EndsWithWords(std::string_view text, std::string_view words) {
  if (text.size() < words.size()) return false;
  text = text.substr(text.size() - words.size());
  for (std::size_t i = 0; i < words.size(); ++i) {
    const char c =
        text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != words[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<Units> UnitsNamedBy(std::string_view line) {
  if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
  if (line.find('\xb0') != std::string_view::npos || line.find('\xf8') != std::string_view::npos) {
    return std::nullopt;
  }
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  if (EndsWithWords(line, messages::kFieldFileUnitsMetric)) return Units::kMetric;
  if (EndsWithWords(line, messages::kFieldFileUnitsFeet)) return Units::kFeet;
  return std::nullopt;
}

std::optional<Units> ReadUnitsHint(Platform& platform, const std::string& path) {
  std::unique_ptr<ByteSource> source = platform.OpenForReading(path);
  if (!source) return std::nullopt;
  // A first line longer than this is no header line of ours.
  constexpr std::size_t kLongestFirstLine = 4096;
  std::string bytes;
  char buffer[1024];
  while (bytes.size() < kLongestFirstLine) {
    const std::ptrdiff_t count = source->Read(buffer, sizeof buffer);
    if (count <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
    if (bytes.find_first_of("\r\n") != std::string::npos) break;
  }
  const std::size_t end = bytes.find_first_of("\r\n");
  if (end == std::string::npos && bytes.size() >= kLongestFirstLine) return std::nullopt;
  return UnitsNamedBy(std::string_view(bytes).substr(0, end));
}

}  // namespace quarrow
