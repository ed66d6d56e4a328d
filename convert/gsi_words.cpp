#include "convert/gsi_words.h"

#include "convert/field_book.h"
#include "convert/text_lines.h"
#include "engine/code_pages.h"

namespace quarrow {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

[[noreturn]] void Malformed(int line, std::string_view word, const std::string& why) {
  throw ConvertError(LinePlace(line) + ": the word \"" + std::string(word) + "\" " + why);
}

}  // namespace

std::vector<GsiLine> GsiLines(std::string_view bytes) {
  std::vector<GsiLine> lines;
  for (const TextLine& line : TextLines(bytes)) {
    if (line.text.front() != '!') lines.push_back(GsiLine{line.text, line.number});
  }
  return lines;
}

std::vector<GsiWord> SplitGsiWords(const GsiLine& line) {
  std::string_view text = line.text;
  std::size_t data_width = 8;
  if (!text.empty() && text.front() == '*') {
    text.remove_prefix(1);
    data_width = 16;
  }
  const std::size_t width = 7 + data_width;
  const std::string kind = "GSI-" + std::to_string(data_width);
  std::vector<GsiWord> words;
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && IsSeparator(text[pos])) ++pos;
    if (pos == text.size()) break;
    const std::string_view rest = text.substr(pos);
    if (rest.size() < width) {
      Malformed(line.number, rest,
                "is shorter than a " + kind + " word (" + std::to_string(width) +
                    " characters: index, information, sign, " + std::to_string(data_width) +
                    " characters of data).");
    }
    if (width < rest.size() && !IsSeparator(rest[width])) {
      Malformed(line.number, rest.substr(0, width + 1),
                "runs past its " + std::to_string(width) + " characters; " + kind +
                    " words are separated by blanks or tabs.");
    }
    GsiWord word;
    word.text = rest.substr(0, width);
    word.index = word.text.substr(0, 2);
    word.unit = word.text[5];
    word.sign = word.text[6];
    word.data = word.text.substr(7);
    if (!IsDigit(word.index[0]) || !IsDigit(word.index[1])) {
      Malformed(line.number, word.text, "does not start with a two-digit word index.");
    }
    for (char c : word.text.substr(2, 4)) {
      if (!IsDigit(c) && c != '.') {
        Malformed(line.number, word.text,
                  "has other than digits and \".\" in its information (characters 3 to 6).");
      }
    }
    if (word.sign != '+' && word.sign != '-') {
      Malformed(line.number, word.text, "has no sign (\"+\" or \"-\") in its seventh place.");
    }
    words.push_back(word);
    pos += width;
  }
  return words;
}

std::int64_t GsiDataNumber(const GsiWord& word, int line) {
  std::int64_t value = 0;
  for (char c : word.data) {
    if (!IsDigit(c)) {
      Malformed(line, word.text, "holds other than digits in its data; a measurement is digits.");
    }
    value = value * 10 + (c - '0');
  }
  return value;
}

double GsiZenithSeconds(const GsiWord& word, int line) {
  if (word.sign == '-') {
    Malformed(line, word.text, "is a negative zenith angle; a zenith is 0 to 360 degrees.");
  }
  const std::int64_t n = GsiDataNumber(word, line);
  double seconds = 0;
  switch (static_cast<GsiUnit>(word.unit)) {
    case GsiUnit::kGon:
      seconds = static_cast<double>(n) * 3240.0 / 100000.0;
      break;
    case GsiUnit::kDecimalDegree:
      seconds = static_cast<double>(n) * 3600.0 / 100000.0;
      break;
    case GsiUnit::kSexagesimal: {
      const std::int64_t tenths = n % 1000;  // SSs
      const std::int64_t minutes = n / 1000 % 100;
      const std::int64_t degrees = n / 100000;
      if (minutes >= 60 || tenths >= 600) {
        Malformed(line, word.text, "has minutes or seconds of 60 or more (DDDMMSSs expected).");
      }
      seconds = static_cast<double>((degrees * 60 + minutes) * 600 + tenths) / 10.0;
      break;
    }
    case GsiUnit::kMil:
      seconds = static_cast<double>(n) * 202.5 / 10000.0;
      break;
    default:
      Malformed(line, word.text,
                "has the unit digit '" + std::string(1, word.unit) +
                    "', which is not an angle unit (2 gon, 3 decimal degrees, 4 sexagesimal, "
                    "5 mil).");
  }
  if (seconds >= kFullCircleSeconds) {
    Malformed(line, word.text, "is a zenith of 360 degrees or more; a zenith is under 360.");
  }
  return seconds;
}

double GsiLengthMetres(const GsiWord& word, int line, bool* feet) {
  const std::int64_t n = GsiDataNumber(word, line);
  double metres = 0;
  bool in_feet = false;
  switch (word.unit) {
    case '.':
    case static_cast<char>(GsiUnit::kMetre):
      metres = static_cast<double>(n) / 1000.0;
      break;
    case static_cast<char>(GsiUnit::kTenthMillimetre):
      metres = static_cast<double>(n) / 10000.0;
      break;
    case static_cast<char>(GsiUnit::kHundredthMillimetre):
      metres = static_cast<double>(n) / 100000.0;
      break;
    case static_cast<char>(GsiUnit::kFoot):
      metres = static_cast<double>(n) / 1000.0 * kMetresPerFoot;
      in_feet = true;
      break;
    case static_cast<char>(GsiUnit::kTenThousandthFoot):
      metres = static_cast<double>(n) / 10000.0 * kMetresPerFoot;
      in_feet = true;
      break;
    default:
      Malformed(line, word.text,
                "has the unit digit '" + std::string(1, word.unit) +
                    "', which is not a length unit (0, 6, 8 metres; 1, 7 feet).");
  }
  if (feet != nullptr) *feet = in_feet;
  return word.sign == '-' ? -metres : metres;
}

std::u32string GsiText(const GsiWord& word) {
  std::size_t start = 0;
  while (start < word.data.size() && word.data[start] == '0') ++start;
  if (start == word.data.size()) return U"0";
  std::u32string text;
  for (char c : word.data.substr(start)) {
    text += DecodeByte(static_cast<unsigned char>(c), CodePage::kWindows1252);
  }
  return text;
}

bool GsiDataIsZero(const GsiWord& word) {
  for (char c : word.data) {
    if (c != '0') return false;
  }
  return true;
}

}  // namespace quarrow
