#include "levelling/levelled_file.h"

#include "convert/field_book.h"
#include "convert/gsi_words.h"
#include "levelling/dini_reader.h"
#include "levelling/gsi_level_reader.h"

namespace quarrow {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first line starts like a GSI word: an optional "*", two digits, four
// characters of digits and ".", a sign.
bool StartsLikeGsi(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::vector<GsiLine> lines = GsiLines(bytes);
  if (lines.empty()) return false;
  std::string_view text = lines.front().text;
  if (text.starts_with('*')) text.remove_prefix(1);
  if (text.size() < 7 || !IsDigit(text[0]) || !IsDigit(text[1])) return false;
  for (char c : text.substr(2, 4)) {
    if (!IsDigit(c) && c != '.') return false;
  }
  return text[6] == '+' || text[6] == '-';
}

}  // namespace

bool IsDigitalLevelFile(std::string_view bytes) {
  return IsDiniFile(bytes) || (StartsLikeGsi(bytes) && IsGsiLevelFile(bytes));
}

LevelledFile ReadLevelledFile(std::string_view bytes, LevelFormat format) {
  if (format == LevelFormat::kRecognise) {
    if (IsDiniFile(bytes)) {
      format = LevelFormat::kDini;
    } else if (StartsLikeGsi(bytes)) {
      format = LevelFormat::kGsi;
    } else {
      const std::vector<GsiLine> lines = GsiLines(bytes);
      throw ConvertError(
          (lines.empty() ? std::string("the file is empty")
                         : "line " + std::to_string(lines.front().number)) +
          ": this is neither a digital level's GSI file (lines of GSI words with staff readings, "
          "words 330 to 336) nor a DiNi file (M5 records starting \"For M5|\").");
    }
  }
  return format == LevelFormat::kDini ? ReadDiniFile(bytes) : ReadGsiLevelFile(bytes);
}

}  // namespace quarrow
