#include "levelling/gsi_level_reader.h"

#include <optional>

#include "convert/field_book.h"
#include "convert/gsi_words.h"
#include "engine/data_fields.h"
#include "levelling/line_builder.h"

namespace quarrow {

namespace {

std::string LinePlace(int line) { return "line " + std::to_string(line); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The word index, with its third digit where the levelling words carry one.
std::string_view LevelIndex(const GsiWord& word) {
  static constexpr std::string_view kThreeDigitFamilies[] = {"33", "37", "39", "56", "57", "59"};
  if (IsDigit(word.text[2])) {
    for (std::string_view family : kThreeDigitFamilies) {
      if (word.index == family) return word.text.substr(0, 3);
    }
  }
  return word.index;
}

bool IsTotalStationWord(std::string_view index) {
  return index == "21" || index == "22" || index == "31";
}

bool IsStaffReading(std::string_view index) { return index.size() == 3 && index.starts_with("33"); }

struct GsiLength {
  double value = 0;
  Units units = Units::kMetric;
  const char* unit_name = "metres";
  int decimals = 3;
};

GsiLength ReadLength(const GsiWord& word, int line) {
  GsiLength length;
  switch (word.unit) {
    case '.':
    case '0':
      length.decimals = 3;
      break;
    case '6':
      length.decimals = 4;
      break;
    case '8':
      length.decimals = 5;
      break;
    case '1':
    case '7':
      length.units = Units::kFeet;
      length.unit_name = "feet";
      length.decimals = word.unit == '1' ? 3 : 4;
      break;
    default:
      throw ConvertError(LinePlace(line) + ": the word \"" + std::string(word.text) +
                         "\" has the unit digit '" + std::string(1, word.unit) +
                         "', which is not a length unit (0, 6, 8 metres; 1, 7 feet).");
  }
  double scale = 1;
  for (int i = 0; i < length.decimals; ++i) scale *= 10;
  length.value = static_cast<double>(GsiDataNumber(word, line)) / scale;
  if (word.sign == '-') length.value = -length.value;
  return length;
}

std::string PointName(const GsiWord* point, const std::string& place, const char* what) {
  if (point == nullptr) {
    throw ConvertError(place + ": " + what +
                       " without a point; expected word 11 naming the point in the same block.");
  }
  const std::string name(TrimBlanksAndTabs(NameUtf8(GsiText(*point))));
  if (name.empty()) {
    throw ConvertError(place + ": the point identifier \"" + std::string(point->text) +
                       "\" is blank; every point of a levelled line needs a name.");
  }
  return name;
}

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return bytes;
}

// The order a line-start code block gives, "?......2" for BFFB; none for a
// check-and-adjust block.
std::optional<LevelOrder> OrderOfCode(const GsiWord& code, std::string_view data_after_mark,
                                      const std::string& place, bool& check_and_adjust) {
  std::string number;
  for (char c : data_after_mark) {
    if (c != '.') number += c;
  }
  check_and_adjust = number == "10";
  if (check_and_adjust) return std::nullopt;
  static constexpr const char* kOrders[] = {"BF", "BFFB", "aBF", "aBFFB"};
  if (number.size() == 1 && number[0] >= '1' && number[0] <= '4') {
    return OrderNamed(kOrders[number[0] - '1'], place);
  }
  throw ConvertError(place + ": the code block \"" + std::string(code.text) +
                     "\" starts a line in the order \"" + number +
                     "\", which is not understood; expected 1 (BF), 2 (BFFB), 3 (aBF), 4 (aBFFB) "
                     "or 10 (check and adjust).");
}

}  // namespace

bool IsGsiLevelFile(std::string_view bytes) {
  const std::vector<GsiLine> lines = GsiLines(WithoutByteOrderMark(bytes));
  if (lines.empty()) return false;
  bool staff_readings = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::vector<GsiWord> words;
    try {
      words = SplitGsiWords(lines[i]);
    } catch (const ConvertError&) {
      // The first line decides whether this is GSI at all; a bad word later
      // is the reader's to report.
      if (i == 0) return false;
      continue;
    }
    for (const GsiWord& word : words) {
      const std::string_view index = LevelIndex(word);
      if (IsTotalStationWord(index)) return false;
      if (IsStaffReading(index)) staff_readings = true;
    }
  }
  return staff_readings;
}

LevelledFile ReadGsiLevelFile(std::string_view bytes) {
  LevelledFile file;
  file.kind = "GSI";
  UnitsKeeper units;
  std::optional<LineBuilder> line;
  bool check_and_adjust = false;
  std::string first_place;
  std::string first_passed_over;
  auto finish = [&] {
    if (!line) return;
    file.lines.push_back(line->Finish());
    file.setups += file.lines.back().setups;
    file.readings += line->Readings();
    line.reset();
  };
  auto passed_over = [&](std::int64_t& count, const std::string& place) {
    ++count;
    if (first_passed_over.empty()) first_passed_over = place;
  };

  for (const GsiLine& text : GsiLines(WithoutByteOrderMark(bytes))) {
    const std::vector<GsiWord> words = SplitGsiWords(text);
    const std::string place = LinePlace(text.number);
    if (first_place.empty()) first_place = place;
    const GsiWord* point = nullptr;
    const GsiWord* distance = nullptr;
    const GsiWord* reading = nullptr;
    const GsiWord* code = nullptr;
    const GsiWord* height = nullptr;
    for (const GsiWord& word : words) {
      const std::string_view index = LevelIndex(word);
      if (IsTotalStationWord(index)) {
        throw ConvertError(place + ": the word \"" + std::string(word.text) +
                           "\" is a total-station measurement (word " + std::string(index) +
                           "); a digital level's GSI holds staff readings (words 330 to 336). "
                           "quarrow-convert makes a field file of a total-station file with "
                           "--from gsi.");
      }
      if (IsStaffReading(index)) {
        if (reading != nullptr) {
          throw ConvertError(place + ": the block holds two staff readings (\"" +
                             std::string(reading->text) + "\" and \"" + std::string(word.text) +
                             "\"); expected one staff reading a block.");
        }
        reading = &word;
      }
      if (index == "11") point = &word;
      if (index == "32") distance = &word;
      if (index == "41") code = &word;
      if (index == "83") height = &word;
    }

    if (code != nullptr) {
      const std::size_t mark = code->data.find('?');
      if (mark == std::string_view::npos) continue;  // a code the crew keyed in
      finish();
      const std::optional<LevelOrder> order =
          OrderOfCode(*code, code->data.substr(mark + 1), place, check_and_adjust);
      if (order) line.emplace(place, *order);
      continue;
    }
    if (reading != nullptr) {
      const char kind = reading->text[2];
      if (kind == '3') {
        passed_over(file.intermediate_sights, place);
        continue;
      }
      if (check_and_adjust || (kind != '1' && kind != '2' && kind != '5' && kind != '6')) {
        passed_over(file.other_readings, place);
        continue;
      }
      StaffSight sight;
      sight.backsight = kind == '1' || kind == '5';
      sight.place = place;
      const char* what = sight.backsight ? "backsight" : "foresight";
      sight.point = PointName(point, place, sight.backsight ? "a backsight" : "a foresight");
      if (distance == nullptr) {
        throw ConvertError(place + ": the " + what + " on \"" + sight.point +
                           "\" has no distance (word 32); a levelled line needs the distance to "
                           "the staff with every backsight and foresight.");
      }
      const GsiLength staff = ReadLength(*reading, text.number);
      const GsiLength length = ReadLength(*distance, text.number);
      units.Take(staff.units, staff.unit_name, staff.decimals, place,
                 "the staff reading \"" + std::string(reading->text) + "\"");
      units.Take(length.units, length.unit_name, length.decimals, place,
                 "the distance \"" + std::string(distance->text) + "\"");
      RefuseImplausible(staff.value, place, reading->text);
      RefuseImplausible(length.value, place, distance->text);
      if (length.value < 0) {
        throw ConvertError(place + ": the distance \"" + std::string(distance->text) +
                           "\" is negative; a distance to the staff is not.");
      }
      sight.reading = staff.value;
      sight.distance = length.value;
      if (!line) line.emplace(place, LevelOrder{});
      line->Add(std::move(sight));
      continue;
    }
    if (height != nullptr && point != nullptr && !check_and_adjust) {
      if (!line) line.emplace(place, LevelOrder{});
      if (!line->HasSights()) line->NameStart(PointName(point, place, "a height"), place);
    }
  }
  finish();
  if (file.lines.empty()) {
    if (!first_passed_over.empty()) {
      throw ConvertError(first_passed_over +
                         ": the file's staff readings (the first on this line) "
                         "are all intermediate sights, measure-only, set-out or check-and-adjust "
                         "readings; a levelled line needs backsights (words 331, 335) and "
                         "foresights (332, 336).");
    }
    throw ConvertError((first_place.empty() ? std::string("the file is empty") : first_place) +
                       ": the file holds no staff readings; a digital level's GSI holds "
                       "backsights (words 331, 335) and foresights (332, 336) with their "
                       "distances (32).");
  }
  units.FillIn(file);
  return file;
}

}  // namespace quarrow
