#include "convert/rw5_reader.h"

#include <cmath>
#include <optional>
#include <set>
#include <vector>

#include "convert/level_run.h"
#include "convert/no_observations.h"
#include "convert/survey_units.h"
#include "convert/text_lines.h"

namespace quarrow {

namespace {

constexpr std::string_view kRecordTypes[] = {"JB", "MO", "OC", "LS", "BK",  "BD", "BR", "FD",
                                             "FR", "SS", "TR", "SP", "GPS", "GS", "OF"};

struct Field {
  std::string_view header;
  std::string_view value;
};

struct Record {
  std::string_view type;
  std::vector<Field> fields;
  int line = 0;

  // The first field with `header`, its value without outer blanks.
  std::optional<std::string_view> Get(std::string_view header) const {
    for (const Field& f : fields) {
      if (f.header == header) return TrimBlanks(f.value);
    }
    return std::nullopt;
  }
};

bool IsComment(std::string_view text) { return text.substr(0, 2) == "--"; }

Record ParseRecord(const TextLine& line) {
  Record record;
  record.line = line.number;
  std::string_view text = line.text;
  std::size_t comma = text.find(',');
  record.type = TrimBlanks(text.substr(0, comma));
  while (comma != std::string_view::npos) {
    text.remove_prefix(comma + 1);
    if (IsComment(TrimBlanks(text))) break;  // a note runs to the end of the line
    comma = text.find(',');
    const std::string_view piece = TrimBlanks(text.substr(0, comma));
    Field field;
    if (piece.size() >= 2 && (piece[0] == 'N' || piece[0] == 'E') && piece[1] == ' ') {
      field.header = piece.substr(0, 1);
      field.value = piece.substr(2);
    } else {
      field.header = piece.substr(0, 2);
      field.value = piece.size() > 2 ? piece.substr(2) : std::string_view();
    }
    record.fields.push_back(field);
  }
  return record;
}

bool IsShot(std::string_view type) {
  return type == "BD" || type == "BR" || type == "FD" || type == "FR" || type == "SS" ||
         type == "TR";
}

constexpr const char* kLevelRunNeeds =
    "a level run needs setups (OC records) with shots giving a zenith angle (ZE) and a slope "
    "distance (SD) to its points.";

// The units the records after a mode record are in.
struct Mode {
  std::optional<LengthUnit> length;
  AngleUnit angle = AngleUnit::kPackedDms;
};

void ReadMode(const Record& record, Mode& mode) {
  const std::string place = LinePlace(record.line);
  if (const auto un = record.Get("UN")) {
    if (*un == "0") {
      mode.length = LengthUnit::kInternationalFoot;
    } else if (*un == "1") {
      mode.length = LengthUnit::kMetre;
    } else if (*un == "2") {
      mode.length = LengthUnit::kUsSurveyFoot;
    } else {
      throw ConvertError(place + ": the mode record's distance unit is UN" + std::string(*un) +
                         "; expected UN0 (international feet), UN1 (metres) or UN2 (US survey "
                         "feet).");
    }
  }
  if (const auto au = record.Get("AU")) {
    if (*au == "0") {
      mode.angle = AngleUnit::kPackedDms;
    } else if (*au == "1") {
      mode.angle = AngleUnit::kGon;
    } else {
      throw ConvertError(place + ": the mode record's angle unit is AU" + std::string(*au) +
                         "; expected AU0 (degrees, minutes and seconds as DDD.MMSS) or AU1 "
                         "(gon).");
    }
  }
}

class Rw5Book {
 public:
  explicit Rw5Book(NameEncoding encoding) : encoding_(encoding) { book_.kind = "RW5"; }

  void Take(const Record& r) {
    const std::string place = LinePlace(r.line);
    if (r.type == "MO") {
      ReadMode(r, mode_);
    } else if (r.type == "OC") {
      Occupy(r, place);
    } else if (r.type == "LS") {
      if (const auto hr = r.Get("HR")) {
        rod_ = LengthMetres(*hr, UnitFor(place, "the rod height (HR)"), place, "rod height HR");
      }
    } else if (r.type == "BK") {
      SetupReadings& setup = Current(place, "a backsight record (BK)");
      if (const auto bp = r.Get("BP"); bp && !bp->empty()) setup.backsight_name = Name(*bp);
    } else if (IsShot(r.type)) {
      Shot(r, place);
    } else if (r.type == "SP") {
      holdings_.coordinates.Add(place);
      if (const auto pn = r.Get("PN")) job_points_.insert(Name(*pn));
    } else if (r.type == "GPS" || r.type == "GS") {
      holdings_.gnss.Add(place);
      if (const auto pn = r.Get("PN")) job_points_.insert(Name(*pn));
    } else if (r.type == "OF") {
      throw ConvertError(place +
                         ": an off-centre shot (OF) moves the shot before it by an offset, "
                         "which quarrow-convert cannot apply; expected the level run's shots "
                         "sighted on the rod itself.");
    }
  }

  FieldBook Finish() {
    bool any_reading = false;
    for (SetupReadings& setup : book_.setups) {
      setup.station_is_job_point = job_points_.count(setup.station) != 0;
      any_reading = any_reading || !setup.readings.empty();
    }
    book_.angle_only = holdings_.angle_only.count;
    if (!any_reading) {
      RefuseWithoutObservations(
          holdings_, {"the first on this line", "a distance (SD or HD)", kLevelRunNeeds});
    }
    return std::move(book_);
  }

 private:
  std::u32string Name(std::string_view text) const { return DecodeName(text, encoding_); }

  LengthUnit UnitFor(const std::string& place, const std::string& what) const {
    if (!mode_.length) {
      throw ConvertError(place + ": " + what +
                         " comes before any mode record (MO) gives the distance unit; expected "
                         "MO with UN0, UN1 or UN2 at the start of the file.");
    }
    return *mode_.length;
  }

  SetupReadings& Current(const std::string& place, const std::string& what) {
    if (book_.setups.empty()) {
      throw ConvertError(place + ": " + what +
                         " comes before any occupy record (OC) says where the instrument stands.");
    }
    return book_.setups.back();
  }

  void Occupy(const Record& r, const std::string& place) {
    const auto op = r.Get("OP");
    if (!op || op->empty()) {
      throw ConvertError(place + ": the occupy record (OC) names no point (OP).");
    }
    // An occupation given again before any shot replaces the first.
    if (book_.setups.empty() || !book_.setups.back().readings.empty()) {
      book_.setups.push_back(SetupStartingAt(place));
    }
    SetupReadings& setup = book_.setups.back();
    setup.place = place;
    setup.station = Name(*op);
    setup.backsight_name.reset();
    station_line_ = r.line;
  }

  void Shot(const Record& r, const std::string& place) {
    SetupReadings& setup = Current(place, "a shot (" + std::string(r.type) + ")");
    if (const auto op = r.Get("OP"); op && !op->empty() && Name(*op) != setup.station) {
      throw ConvertError(place + ": the shot is taken from " + PointText(Name(*op)) +
                         ", but the instrument stands on " + PointText(setup.station) +
                         " (the occupy record on line " + std::to_string(station_line_) +
                         "); expected an OC record before the shots of a new setup.");
    }
    const auto fp = r.Get("FP");
    if (!fp || fp->empty()) {
      throw ConvertError(place + ": the shot (" + std::string(r.type) +
                         ") names no point; expected FP with the point sighted.");
    }
    Reading reading;
    reading.name = Name(*fp);
    reading.place = place;
    const auto ze = r.Get("ZE");
    const auto sd = r.Get("SD");
    const auto hd = r.Get("HD");
    if (!ze) {
      if (!sd && !hd) {
        holdings_.angle_only.Add(place);
        return;
      }
      const bool vertical = r.Get("VA") || r.Get("CE") || r.Get("VD");
      throw ConvertError(
          place + ": " + PointText(reading.name) + " has no zenith angle (ZE)" +
          (vertical ? std::string("; it gives a vertical angle or a difference in elevation "
                                  "(VA, CE or VD), which is no measured zenith")
                    : std::string()) +
          ". Expected ZE with SD (or HD) in every shot; set the collector to record zenith "
          "angles.");
    }
    if (!sd && !hd) {
      holdings_.angle_only.Add(place);
      return;
    }
    const LengthUnit unit = UnitFor(place, "the shot to " + PointText(reading.name));
    if (!rod_) {
      throw ConvertError(place + ": " + PointText(reading.name) +
                         " is observed before any rod height (HR, in an LS record) was "
                         "recorded.");
    }
    reading.rod = *rod_;
    reading.zenith = ZenithSeconds(*ze, mode_.angle, place, "zenith angle ZE");
    const char* what = sd ? "slope distance SD" : "horizontal distance HD";
    const double metres = LengthMetres(sd ? *sd : *hd, unit, place, what);
    if (!(metres > 0)) {
      throw ConvertError(place + ": the " + what + " \"" + std::string(sd ? *sd : *hd) +
                         "\" is not a positive distance.");
    }
    if (sd) {
      reading.slope = metres;
    } else {
      // Slope from horizontal: the zenith brought to face I first, so that a
      // face-II reading gives the same slope.
      constexpr double kRadiansPerSecond = 3.14159265358979323846 / kHalfCircleSeconds;
      reading.slope = metres / std::sin(ReducedZenith(reading) * kRadiansPerSecond);
    }
    if (book_.units_read.empty()) {
      book_.units = FieldFileUnits(unit);
      book_.us_survey_feet = unit == LengthUnit::kUsSurveyFoot;
      book_.units_read = UnitsText(unit, mode_.angle);
    }
    job_points_.insert(reading.name);
    if ((r.type == "BD" || r.type == "BR") && !setup.backsight_reading) {
      setup.backsight_reading = setup.readings.size();
    }
    if (r.type == "FD" || r.type == "FR") setup.foresight_reading = setup.readings.size();
    setup.readings.push_back(std::move(reading));
  }

  NameEncoding encoding_;
  FieldBook book_;
  Mode mode_;
  std::optional<double> rod_;
  int station_line_ = 0;
  FileHoldings holdings_;
  std::set<std::u32string> job_points_;
};

}  // namespace

bool LooksLikeRw5(std::string_view bytes) {
  for (const TextLine& line : TextLines(bytes)) {
    if (IsComment(line.text)) continue;
    const std::size_t comma = line.text.find(',');
    if (comma == std::string_view::npos) return false;
    const std::string_view type = line.text.substr(0, comma);
    for (std::string_view known : kRecordTypes) {
      if (type == known) return true;
    }
    return false;
  }
  return false;
}

FieldBook ReadRw5(std::string_view bytes) {
  Rw5Book book(NameEncodingOf(bytes));
  for (const TextLine& line : TextLines(bytes)) {
    if (IsComment(line.text)) continue;
    book.Take(ParseRecord(line));
  }
  return book.Finish();
}

}  // namespace quarrow
