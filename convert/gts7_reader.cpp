#include "convert/gts7_reader.h"

#include <optional>
#include <set>
#include <vector>

#include "convert/no_observations.h"
#include "convert/survey_units.h"
#include "convert/text_lines.h"

namespace quarrow {

namespace {

constexpr std::string_view kKeywords[] = {
    "JOB", "DATE", "NAME", "INST", "UNITS", "SCALE", "ATMOS", "STN", "XYZ",  "NEZ", "BKB",
    "BS",  "FS",   "SS",   "SD",   "HV",    "HD",    "CTL",   "TH",  "NOTE", "PTL", "OFFSET"};

struct Record {
  std::string_view keyword;
  std::vector<std::string_view> values;  // without outer blanks
};

Record ParseRecord(std::string_view text) {
  Record record;
  const std::size_t blank = text.find_first_of(" \t");
  record.keyword = text.substr(0, blank);
  if (blank == std::string_view::npos) return record;
  std::string_view rest = TrimBlanks(text.substr(blank));
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    record.values.push_back(TrimBlanks(rest.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return record;
}

std::string_view Value(const Record& record, std::size_t index) {
  return index < record.values.size() ? record.values[index] : std::string_view();
}

constexpr const char* kLevelRunNeeds =
    "a level run needs setups (STN) with BS, FS or SS lines followed by SD lines giving a zenith "
    "angle and a slope distance to its points.";

enum class Role { kBacksight, kForesight, kSideShot };

// The point the SD lines after a BS, FS or SS line sight.
struct Target {
  std::u32string name;
  Role role = Role::kSideShot;
};

class Gts7Book {
 public:
  explicit Gts7Book(NameEncoding encoding) : encoding_(encoding) { book_.kind = "GTS-7"; }

  void Take(const Record& r, const std::string& place) {
    if (r.keyword == "UNITS") {
      Units(r, place);
    } else if (r.keyword == "STN") {
      Occupy(r, place);
    } else if (r.keyword == "BS" || r.keyword == "FS" || r.keyword == "SS") {
      Header(r, place);
    } else if (r.keyword == "TH") {
      rod_ = LengthMetres(Value(r, 0), Length(place, "the target height (TH)"), place,
                          "target height");
    } else if (r.keyword == "SD") {
      Reading(r, place);
    } else if (r.keyword == "HV") {
      holdings_.angle_only.Add(place);
    } else if (r.keyword == "HD") {
      throw ConvertError(place +
                         ": an HD line gives a horizontal distance and a height difference, "
                         "not the zenith angle as measured; a level run needs SD lines (zenith "
                         "angle and slope distance). Set the instrument to record slope "
                         "distances.");
    } else if (r.keyword == "XYZ" || r.keyword == "NEZ") {
      holdings_.coordinates.Add(place);
    }
  }

  FieldBook Finish() {
    FinishFieldBook(book_, job_points_, holdings_,
                    {"the first on this line", "a slope distance", kLevelRunNeeds});
    return std::move(book_);
  }

 private:
  std::u32string Name(std::string_view text) const { return DecodeName(text, encoding_); }

  void Units(const Record& r, const std::string& place) {
    const std::string_view length = Value(r, 0);
    const std::string_view angle = Value(r, 1);
    if (length == "M") {
      length_ = LengthUnit::kMetre;
    } else if (length == "F") {
      length_ = LengthUnit::kInternationalFoot;
    } else {
      throw ConvertError(place + ": the length unit is \"" + std::string(length) +
                         "\"; expected UNITS M (metres) or F (feet), then the angle unit.");
    }
    if (angle == "D") {
      angle_ = AngleUnit::kPackedDms;
    } else if (angle == "G") {
      angle_ = AngleUnit::kGon;
    } else {
      throw ConvertError(place + ": the angle unit is \"" + std::string(angle) +
                         "\"; expected D (degrees, minutes and seconds as DDD.MMSS) or G (gon) "
                         "after the length unit.");
    }
  }

  LengthUnit Length(const std::string& place, const std::string& what) const {
    if (!length_) {
      throw ConvertError(place + ": " + what +
                         " comes before any UNITS line gives the units; expected UNITS M,D (or "
                         "F for feet, G for gon) at the start of the file.");
    }
    return *length_;
  }

  void Occupy(const Record& r, const std::string& place) {
    // A setup given again before any reading replaces the first.
    if (book_.setups.empty() || !book_.setups.back().readings.empty()) {
      book_.setups.push_back(SetupStartingAt(place));
    }
    book_.setups.back().place = place;
    book_.setups.back().station = Name(Value(r, 0));
    target_.reset();
  }

  void Header(const Record& r, const std::string& place) {
    if (book_.setups.empty()) {
      throw ConvertError(place + ": a " + std::string(r.keyword) +
                         " line comes before any STN line says where the instrument stands.");
    }
    Target target;
    target.name = Name(Value(r, 0));
    target.role = r.keyword == "BS"   ? Role::kBacksight
                  : r.keyword == "FS" ? Role::kForesight
                                      : Role::kSideShot;
    target_ = target;
    if (!Value(r, 1).empty()) {
      rod_ = LengthMetres(Value(r, 1), Length(place, "the target height"), place, "target height");
    }
    if (target.role == Role::kBacksight && !target.name.empty()) {
      SetupReadings& setup = book_.setups.back();
      if (!setup.backsight_name) setup.backsight_name = target.name;
    }
  }

  void Reading(const Record& r, const std::string& place) {
    if (!target_) {
      throw ConvertError(place +
                         ": an SD line comes before any BS, FS or SS line names the point it "
                         "sights.");
    }
    quarrow::Reading reading;
    reading.name = target_->name;
    reading.place = place;
    const std::string_view zenith = Value(r, 1);
    const std::string_view slope = Value(r, 2);
    if (slope.empty()) {
      holdings_.angle_only.Add(place);
      return;
    }
    if (zenith.empty()) {
      throw ConvertError(place + ": " + PointText(reading.name) +
                         " has a slope distance but no zenith angle; expected SD with the "
                         "horizontal angle, the zenith angle and the slope distance.");
    }
    const LengthUnit unit = Length(place, "the reading of " + PointText(reading.name));
    if (!rod_) {
      throw ConvertError(place + ": " + PointText(reading.name) +
                         " is observed before any target height was recorded (in its BS, FS or "
                         "SS line, or a TH line).");
    }
    reading.rod = *rod_;
    reading.zenith = ZenithSeconds(zenith, angle_, place, "zenith angle");
    reading.slope = LengthMetres(slope, unit, place, "slope distance");
    if (!(reading.slope > 0)) {
      throw ConvertError(place + ": the slope distance \"" + std::string(slope) +
                         "\" is not a positive distance.");
    }
    if (book_.units_read.empty()) {
      book_.units = FieldFileUnits(unit);
      book_.units_read = UnitsText(unit, angle_);
    }
    job_points_.insert(reading.name);
    SetupReadings& setup = book_.setups.back();
    if (target_->role == Role::kBacksight && !setup.backsight_reading) {
      setup.backsight_reading = setup.readings.size();
    }
    if (target_->role == Role::kForesight) setup.foresight_reading = setup.readings.size();
    setup.readings.push_back(std::move(reading));
  }

  NameEncoding encoding_;
  FieldBook book_;
  std::optional<LengthUnit> length_;
  AngleUnit angle_ = AngleUnit::kPackedDms;
  std::optional<double> rod_;
  std::optional<Target> target_;
  FileHoldings holdings_;
  std::set<std::u32string> job_points_;
};

}  // namespace

bool LooksLikeGts7(std::string_view bytes) {
  const std::vector<TextLine> lines = TextLines(bytes);
  if (lines.empty()) return false;
  const std::string_view text = lines.front().text;
  for (std::string_view keyword : kKeywords) {
    if (text.substr(0, keyword.size()) == keyword &&
        (text.size() == keyword.size() || text[keyword.size()] == ' ' ||
         text[keyword.size()] == '\t')) {
      return true;
    }
  }
  return false;
}

FieldBook ReadGts7(std::string_view bytes) {
  Gts7Book book(NameEncodingOf(bytes));
  for (const TextLine& line : TextLines(bytes)) {
    book.Take(ParseRecord(line.text), LinePlace(line.number));
  }
  return book.Finish();
}

}  // namespace quarrow
