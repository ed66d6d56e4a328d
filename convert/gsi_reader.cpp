#include "convert/gsi_reader.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "convert/level_run.h"
#include "engine/code_pages.h"

namespace quarrow {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\x1a'; }

struct Word {
  std::string_view text;  // the whole word, without its separating blank
  std::string_view index;
  char unit = 0;
  char sign = '+';
  std::string_view data;
};

std::string LinePlace(int line) { return "line " + std::to_string(line); }

[[noreturn]] void Malformed(int line, std::string_view word, const std::string& why) {
  throw ConvertError(LinePlace(line) + ": the word \"" + std::string(word) + "\" " + why);
}

// Splits a line into words of its fixed width. Blanks after the last word
// are allowed; anything else that does not fill a word is an error.
std::vector<Word> SplitWords(std::string_view line, int line_number) {
  std::size_t pos = 0;
  std::size_t data_width = 8;
  if (!line.empty() && line[0] == '*') {
    pos = 1;
    data_width = 16;
  }
  const std::size_t width = 7 + data_width;
  std::vector<Word> words;
  while (pos < line.size()) {
    std::string_view rest = line.substr(pos);
    std::size_t blanks = 0;
    while (blanks < rest.size() && IsBlank(rest[blanks])) ++blanks;
    if (blanks == rest.size()) break;
    if (rest.size() < width) {
      Malformed(line_number, rest,
                "is shorter than a GSI-" + std::to_string(data_width) + " word (" +
                    std::to_string(width) + " characters).");
    }
    Word word;
    word.text = rest.substr(0, width);
    if (width < rest.size() && !IsBlank(rest[width])) {
      Malformed(line_number, rest.substr(0, width + 1),
                "runs past its " + std::to_string(width) + " characters.");
    }
    word.index = word.text.substr(0, 2);
    word.unit = word.text[5];
    word.sign = word.text[6];
    word.data = word.text.substr(7);
    if (!IsDigit(word.index[0]) || !IsDigit(word.index[1])) {
      Malformed(line_number, word.text, "does not start with a two-digit word index.");
    }
    for (char c : word.text.substr(2, 4)) {
      if (!IsDigit(c) && c != '.') {
        Malformed(line_number, word.text, "has other than digits and \".\" before its sign.");
      }
    }
    if (word.sign != '+' && word.sign != '-') {
      Malformed(line_number, word.text, "has no sign (\"+\" or \"-\") in its seventh place.");
    }
    words.push_back(word);
    pos += width + 1;
  }
  return words;
}

// The data digits as an integer: read as text, never through a float.
std::int64_t DataNumber(const Word& word, int line) {
  std::int64_t value = 0;
  for (char c : word.data) {
    if (!IsDigit(c)) Malformed(line, word.text, "holds other than digits in its data.");
    value = value * 10 + (c - '0');
  }
  return value;
}

double ZenithSeconds(const Word& word, int line) {
  if (word.sign == '-') Malformed(line, word.text, "is a negative zenith angle.");
  const std::int64_t n = DataNumber(word, line);
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
        Malformed(line, word.text, "has minutes or seconds of 60 or more.");
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
  if (seconds >= kFullCircleSeconds)
    Malformed(line, word.text, "is a zenith of 360 degrees or more.");
  return seconds;
}

// A length in metres, and whether the word gave it in feet.
double LengthMetres(const Word& word, int line, bool* feet) {
  const std::int64_t n = DataNumber(word, line);
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

std::u32string PointName(const Word& word) {
  std::size_t start = 0;
  while (start < word.data.size() && word.data[start] == '0') ++start;
  if (start == word.data.size()) return U"0";
  std::u32string name;
  for (char c : word.data.substr(start))
    name += DecodeByte(static_cast<unsigned char>(c), CodePage::kWindows1252);
  return name;
}

bool IsStationWord(std::string_view index) {
  return index == "84" || index == "85" || index == "86" || index == "88";
}

// Without station blocks: the turning point read in face I (and perhaps
// face II), then read again at once in face I, ends one setup and begins
// the next.
void SplitAtTurningPoints(const std::vector<Reading>& readings, FieldBook& book) {
  bool run_has_face_one = false;
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const Reading& r = readings[i];
    const bool face_one = r.zenith <= kHalfCircleSeconds;
    const bool same_point = i > 0 && readings[i - 1].name == r.name;
    if (book.setups.empty() || (same_point && face_one && run_has_face_one)) {
      book.setups.push_back(SetupReadings{r.place, {}, std::nullopt, std::nullopt});
      run_has_face_one = false;
    } else if (!same_point) {
      run_has_face_one = false;
    }
    run_has_face_one = run_has_face_one || face_one;
    book.setups.back().readings.push_back(r);
  }
}

}  // namespace

bool LooksLikeGsi(std::string_view bytes) {
  std::size_t pos = 0;
  while (pos < bytes.size() && (IsBlank(bytes[pos]) || bytes[pos] == '\n')) ++pos;
  std::string_view line = bytes.substr(pos);
  if (!line.empty() && line[0] == '*') line.remove_prefix(1);
  if (line.size() < 7) return false;
  if (!IsDigit(line[0]) || !IsDigit(line[1])) return false;
  for (char c : line.substr(2, 4)) {
    if (!IsDigit(c) && c != '.') return false;
  }
  return line[6] == '+' || line[6] == '-';
}

FieldBook ReadGsi(std::string_view bytes) {
  FieldBook book;
  book.kind = "GSI";
  std::vector<Reading> unsplit;  // readings while no station block was seen
  std::optional<double> rod;
  std::optional<bool> feet;
  bool any_station = false;
  int line_number = 0;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++line_number;

    const std::vector<Word> words = SplitWords(line, line_number);
    if (words.empty()) continue;
    const Word* point = nullptr;
    const Word* zenith = nullptr;
    const Word* slope = nullptr;
    const Word* horizontal = nullptr;
    bool station = false;
    for (const Word& w : words) {
      if (w.index == "11") point = &w;
      if (w.index == "22") zenith = &w;
      if (w.index == "31") slope = &w;
      if (w.index == "32") horizontal = &w;
      if (w.index == "87") rod = LengthMetres(w, line_number, nullptr);
      if (IsStationWord(w.index)) station = true;
      if ((w.index == "31" || w.index == "32") && !feet) {
        bool in_feet = false;
        LengthMetres(w, line_number, &in_feet);
        feet = in_feet;
      }
    }
    const std::string place = LinePlace(line_number);
    if (station) {
      if (zenith != nullptr || slope != nullptr || horizontal != nullptr) {
        throw ConvertError(place +
                           ": a station block (words 84 to 86, 88) also holds a "
                           "measurement; record the station and the sighting apart.");
      }
      if (!any_station && !unsplit.empty()) {
        book.setups.push_back(
            SetupReadings{unsplit.front().place, unsplit, std::nullopt, std::nullopt});
        unsplit.clear();
      }
      any_station = true;
      if (book.setups.empty() || !book.setups.back().readings.empty()) {
        book.setups.push_back(SetupReadings{place, {}, std::nullopt, std::nullopt});
      }
      continue;
    }
    if (zenith == nullptr && slope == nullptr && horizontal == nullptr) continue;
    if (point == nullptr) throw ConvertError(place + ": a measurement without a point (word 11).");
    Reading reading;
    reading.name = PointName(*point);
    reading.place = place;
    if (zenith == nullptr) {
      throw ConvertError(place + ": point " + QuotedName(reading.name) +
                         " has a distance but no zenith angle (word 22).");
    }
    if (slope == nullptr && horizontal == nullptr) {
      throw ConvertError(place + ": point " + QuotedName(reading.name) +
                         " has a zenith angle but no distance (word 31 or 32).");
    }
    if (!rod) {
      throw ConvertError(place + ": point " + QuotedName(reading.name) +
                         " is observed before any reflector height (word 87) was recorded.");
    }
    reading.rod = *rod;
    reading.zenith = ZenithSeconds(*zenith, line_number);
    const Word& distance = slope != nullptr ? *slope : *horizontal;
    const double metres = LengthMetres(distance, line_number, nullptr);
    if (metres <= 0) {
      Malformed(line_number, distance.text, "is not a positive distance.");
    }
    if (slope != nullptr) {
      reading.slope = metres;
    } else {
      // Slope from horizontal: the zenith brought to face I first, so that a
      // face-II reading gives the same slope.
      constexpr double kRadiansPerSecond = 3.14159265358979323846 / kHalfCircleSeconds;
      reading.slope = metres / std::sin(ReducedZenith(reading) * kRadiansPerSecond);
    }
    if (any_station) {
      book.setups.back().readings.push_back(reading);
    } else {
      unsplit.push_back(reading);
    }
  }
  if (!any_station) {
    SplitAtTurningPoints(unsplit, book);
    book.setups_from_turning_points = true;
  }
  book.feet = feet.value_or(false);
  return book;
}

}  // namespace quarrow
