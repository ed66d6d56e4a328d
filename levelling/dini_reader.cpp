#include "levelling/dini_reader.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "convert/field_book.h"
#include "convert/gsi_words.h"
#include "engine/code_pages.h"
#include "engine/data_fields.h"
#include "levelling/line_builder.h"

namespace quarrow {

namespace {

constexpr std::string_view kRecordStart = "For M5|";

std::string LinePlace(int line) { return "line " + std::to_string(line); }

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return bytes;
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t bar = text.find('|', start);
    fields.push_back(text.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) return fields;
    start = bar + 1;
  }
}

std::vector<std::string_view> Tokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    const std::size_t end = text.find_first_of(" \t", pos);
    if (pos < text.size()) tokens.push_back(text.substr(pos, end - pos));
    pos = end == std::string_view::npos ? text.size() : end;
  }
  return tokens;
}

// Windows-1252 bytes, as the instrument writes names, in UTF-8.
std::string Utf8(std::string_view bytes) {
  std::string text;
  for (char c : bytes)
    AppendUtf8(text, DecodeByte(static_cast<unsigned char>(c), CodePage::kWindows1252));
  return text;
}

struct ValueBlock {
  std::string_view text;  // the whole block, trimmed, for messages
  std::string_view type;
  std::string_view value;
  std::string_view unit;
};

ValueBlock SplitValueBlock(std::string_view field) {
  ValueBlock block;
  block.text = TrimBlanksAndTabs(field);
  block.type = TrimBlanksAndTabs(field.substr(0, 2));
  const std::string_view rest =
      TrimBlanksAndTabs(field.substr(std::min<std::size_t>(2, field.size())));
  const std::size_t blank = rest.find_first_of(" \t");
  block.value = rest.substr(0, blank);
  if (blank != std::string_view::npos) block.unit = TrimBlanksAndTabs(rest.substr(blank));
  return block;
}

struct DiniValue {
  double value = 0;
  Units units = Units::kMetric;
  std::string unit_name;
  int decimals = 0;
};

DiniValue ReadValue(const ValueBlock& block, const std::string& place) {
  const std::optional<double> number = ReadDataNumber(block.value);
  if (!number) {
    throw ConvertError(place + ": the value block \"" + std::string(block.text) +
                       "\" holds no number; expected its type, a number with \".\" and its unit.");
  }
  DiniValue value;
  value.value = *number;
  const std::size_t point = block.value.find('.');
  if (point != std::string_view::npos) {
    for (std::size_t i = point + 1;
         i < block.value.size() && block.value[i] >= '0' && block.value[i] <= '9'; ++i) {
      ++value.decimals;
    }
  }
  if (block.unit == "m") {
    value.unit_name = "metres";
  } else if (block.unit == "ft") {
    value.units = Units::kFeet;
    value.unit_name = "feet";
  } else if (block.unit == "usft") {
    value.units = Units::kFeet;
    value.unit_name = "US survey feet";
  } else {
    throw ConvertError(place + ": the value block \"" + std::string(block.text) + "\" " +
                       (block.unit.empty() ? std::string("has no unit")
                                           : "is in \"" + std::string(block.unit) +
                                                 "\", which is not understood") +
                       "; expected m, ft or usft after the value.");
  }
  return value;
}

}  // namespace

bool IsDiniFile(std::string_view bytes) {
  const std::vector<GsiLine> lines = GsiLines(WithoutByteOrderMark(bytes));
  return !lines.empty() && lines.front().text.starts_with(kRecordStart);
}

LevelledFile ReadDiniFile(std::string_view bytes) {
  LevelledFile file;
  file.kind = "DiNi";
  UnitsKeeper units;
  std::optional<LineBuilder> line;
  std::string first_place;
  std::string first_passed_over;
  auto passed_over = [&](std::int64_t& count, const std::string& place) {
    ++count;
    if (first_passed_over.empty()) first_passed_over = place;
  };
  // A line that is never ended stops at a change point, not on a bench mark.
  auto refuse_open_line = [&] {
    if (!line->HasSights()) (void)line->Finish();
    throw ConvertError(line->place() +
                       ": the line started here has no End-Line record, so its "
                       "last foresight (\"" +
                       line->LastForesight() + "\", " + line->LastForesightPlace() +
                       ") is no closing bench mark; expected an End-Line record after the "
                       "foresight on the bench mark that closes the line.");
  };

  for (const GsiLine& text : GsiLines(WithoutByteOrderMark(bytes))) {
    const std::string place = LinePlace(text.number);
    if (first_place.empty()) first_place = place;
    if (!text.text.starts_with(kRecordStart)) {
      throw ConvertError(place + ": \"" + std::string(text.text.substr(0, 20)) +
                         "...\" is not an M5 record; expected every line to start \"For M5|Adr\".");
    }
    const std::vector<std::string_view> fields = SplitFields(text.text);
    if (fields.size() < 6) {
      throw ConvertError(place + ": the M5 record has " + std::to_string(fields.size() - 1) +
                         " fields after \"For M5\"; expected the address, the information block "
                         "and three value blocks, each closed by \"|\".");
    }
    if (fields.size() > 6 && TrimBlanksAndTabs(fields[6]) == "e") {
      passed_over(file.flagged, place);
      continue;
    }
    const std::string_view info = fields[2];
    const std::string_view type = TrimBlanksAndTabs(info.substr(0, 3));
    const std::string_view rest = info.substr(std::min<std::size_t>(3, info.size()));

    if (type == "TO" || type == "TI") {
      const std::vector<std::string_view> words = Tokens(rest);
      const std::string_view first = words.empty() ? std::string_view() : words.front();
      if (first == "Start-Line") {
        if (line) refuse_open_line();
        LevelOrder order;
        for (std::size_t i = 1; i < words.size(); ++i) {
          if (const std::optional<LevelOrder> named = OrderNamed(words[i], place)) {
            order = *named;
            break;
          }
        }
        line.emplace(place, order);
      } else if (first == "End-Line") {
        if (!line) {
          throw ConvertError(place +
                             ": End-Line, but no line is open; expected a Start-Line "
                             "record before the line's readings.");
        }
        file.lines.push_back(line->Finish());
        file.setups += file.lines.back().setups;
        file.readings += line->Readings();
        line.reset();
      } else if (first == "Cont-Line") {
        if (!line) {
          throw ConvertError(place +
                             ": Cont-Line continues a line whose Start-Line is not in "
                             "this file, so its first point is a change point, not a bench "
                             "mark; convert the line whole, from the file that starts it.");
        }
      } else if (first == "Measurement" && words.size() > 1 && words[1] == "repeated") {
        if (line) file.repeated += line->DropLastSight();
      } else if (first == "Station" && words.size() > 1 && words[1] == "repeated") {
        if (line) file.repeated += line->DropLastSetup();
      }
      continue;
    }

    const std::string point(TrimBlanksAndTabs(Utf8(rest.substr(0, 9))));
    std::optional<ValueBlock> reading;
    std::optional<ValueBlock> distance;
    bool height = false;
    for (std::size_t i = 3; i < 6; ++i) {
      const ValueBlock block = SplitValueBlock(fields[i]);
      if (block.type == "Rb" || block.type == "Rf" || block.type == "Rz" || block.type == "R") {
        if (reading) {
          throw ConvertError(place + ": the record holds two staff readings (\"" +
                             std::string(reading->text) + "\" and \"" + std::string(block.text) +
                             "\"); expected one staff reading a record.");
        }
        reading = block;
      }
      if (block.type == "HD") distance = block;
      if (block.type == "Z") height = true;
    }
    if (!reading) {
      if (height && line && !line->HasSights() && !point.empty()) line->NameStart(point, place);
      continue;
    }
    if (reading->type == "Rz") {
      passed_over(file.intermediate_sights, place);
      continue;
    }
    if (reading->type == "R") {
      passed_over(file.other_readings, place);
      continue;
    }
    StaffSight sight;
    sight.backsight = reading->type == "Rb";
    sight.place = place;
    const char* what = sight.backsight ? "backsight" : "foresight";
    if (!line) {
      throw ConvertError(place + ": a " + what +
                         " reading outside a line; expected a Start-Line "
                         "record before the line's readings.");
    }
    if (point.empty()) {
      throw ConvertError(place + ": a " + what +
                         " without a point; expected the point number in "
                         "columns 21 to 29 of the record.");
    }
    sight.point = point;
    if (!distance) {
      throw ConvertError(place + ": the " + what + " on \"" + point +
                         "\" has no distance (HD) in its record; a levelled line needs the "
                         "distance to the staff with every backsight and foresight.");
    }
    const DiniValue staff = ReadValue(*reading, place);
    const DiniValue length = ReadValue(*distance, place);
    units.Take(staff.units, staff.unit_name, staff.decimals, place,
               "the reading \"" + std::string(reading->text) + "\"");
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
    line->Add(std::move(sight));
  }
  if (line) refuse_open_line();
  if (file.lines.empty()) {
    if (!first_passed_over.empty()) {
      throw ConvertError(first_passed_over +
                         ": the file's readings (the first on this line) are "
                         "all intermediate sights, single readings or records marked in error; a "
                         "levelled line needs backsights (Rb) and foresights (Rf) between its "
                         "Start-Line and End-Line.");
    }
    throw ConvertError((first_place.empty() ? std::string("the file is empty") : first_place) +
                       ": the file holds no levelled line; expected a Start-Line, backsights (Rb) "
                       "and foresights (Rf) with their distances (HD), and an End-Line.");
  }
  units.FillIn(file);
  return file;
}

}  // namespace quarrow
