#include "convert/sdr_reader.h"

#include <optional>
#include <set>
#include <vector>

#include "convert/no_observations.h"
#include "convert/survey_units.h"
#include "convert/text_lines.h"

namespace quarrow {

namespace {

constexpr std::size_t kFieldWidth = 16;

// The text of the field starting at `column` (from 0), without its padding.
std::string_view FieldAt(std::string_view record, std::size_t column) {
  if (column >= record.size()) return {};
  return TrimBlanks(record.substr(column, kFieldWidth));
}

constexpr const char* kLevelRunNeeds =
    "a level run needs stations (02 records) with observations (09 records) giving a zenith "
    "angle and a slope distance to its points.";

// A reading and whether it is the collector's mean, until the means are
// sorted out.
struct Candidate {
  Reading reading;
  bool mean = false;
};

class SdrBook {
 public:
  explicit SdrBook(NameEncoding encoding) : encoding_(encoding) { book_.kind = "SDR33"; }

  void Take(const TextLine& line) {
    const std::string_view record = line.raw.substr(0, line.raw.find_last_not_of(" \t\x1a") + 1);
    const std::string place = LinePlace(line.number);
    const std::string_view type = record.substr(0, 2);
    if (!header_seen_) {
      if (type != "00") {
        throw ConvertError(place +
                           ": an SDR33 file starts with its header record (00NMSDR33 ...); "
                           "this line is a record of type \"" +
                           std::string(type) + "\".");
      }
      ReadHeader(record, place);
      return;
    }
    if (type == "10") {
      if (record.size() > 20 && record[20] != '1') {
        throw ConvertError(place + ": the job record gives point IDs of 4 digits (column 21 is \"" +
                           std::string(1, record[20]) +
                           "\"); quarrow-convert reads the SDR33 layout of point IDs of up to 16 "
                           "characters (column 21 \"1\").");
      }
    } else if (type == "02") {
      Station(Name(FieldAt(record, 4)), place, true);
    } else if (type == "07") {
      Need(record, 36, place, "backsight record (07)");
      SetupReadings& setup = Station(Name(FieldAt(record, 4)), place, false);
      const std::u32string backsight = Name(FieldAt(record, 20));
      if (!backsight.empty()) setup.backsight_name = backsight;
    } else if (type == "03") {
      rod_ = LengthMetres(FieldAt(record, 4), length_, place, "target height");
    } else if (type == "09") {
      Observation(record, place);
    } else if (type == "08") {
      holdings_.coordinates.Add(place);
      job_points_.insert(Name(FieldAt(record, 4)));
    }
  }

  FieldBook Finish() {
    if (!header_seen_) throw ConvertError("the file is empty; expected an SDR33 header record.");
    for (std::size_t s = 0; s < book_.setups.size(); ++s)
      KeepReadings(candidates_[s], book_.setups[s]);
    FinishFieldBook(book_, job_points_, holdings_,
                    {"the first on this line", "a slope distance", kLevelRunNeeds});
    return std::move(book_);
  }

 private:
  std::u32string Name(std::string_view text) const { return DecodeName(text, encoding_); }

  static void Need(std::string_view record, std::size_t length, const std::string& place,
                   const char* what) {
    if (record.size() < length) {
      throw ConvertError(place + ": the " + std::string(what) + " is " +
                         std::to_string(record.size()) + " characters long; expected at least " +
                         std::to_string(length) + " (fields of 16 characters from column 5).");
    }
  }

  void ReadHeader(std::string_view record, const std::string& place) {
    header_seen_ = true;
    Need(record, 42, place, "header record (00)");
    const char angle = record[40];
    const char length = record[41];
    if (angle == '1') {
      angle_ = AngleUnit::kDecimalDegree;
    } else if (angle == '2') {
      angle_ = AngleUnit::kGon;
    } else if (angle == '3') {
      angle_ = AngleUnit::kMil;
    } else {
      throw ConvertError(place + ": the header's angle unit (column 41) is \"" +
                         std::string(1, angle) + "\"; expected 1 (degrees), 2 (gon) or 3 (mil).");
    }
    if (length == '1') {
      length_ = LengthUnit::kMetre;
    } else if (length == '2') {
      length_ = LengthUnit::kInternationalFoot;
    } else {
      throw ConvertError(place + ": the header's distance unit (column 42) is \"" +
                         std::string(1, length) + "\"; expected 1 (metres) or 2 (feet).");
    }
    book_.units = FieldFileUnits(length_);
    book_.units_read = UnitsText(length_, angle_);
  }

  // The setup of `station`: a station record always starts one (unless the
  // setup before it has no observation yet); a backsight or observation
  // record starts one when it names another station.
  SetupReadings& Station(const std::u32string& station, const std::string& place, bool always) {
    const bool same = !book_.setups.empty() && book_.setups.back().station == station;
    const bool empty = !book_.setups.empty() && candidates_.back().empty();
    if (book_.setups.empty() || (always && !empty) || (!always && !same && !empty)) {
      book_.setups.push_back(SetupStartingAt(place));
      candidates_.emplace_back();
    } else if (!same && empty) {
      book_.setups.back().place = place;
      book_.setups.back().backsight_name.reset();
    }
    book_.setups.back().station = station;
    return book_.setups.back();
  }

  void Observation(std::string_view record, const std::string& place) {
    const std::string_view derivation = record.substr(2, 2);
    const bool mean = derivation == "MC";
    if (derivation != "F1" && derivation != "F2" && !mean) return;  // keyed in, computed
    Need(record, 36, place, "observation record (09)");
    Station(Name(FieldAt(record, 4)), place, false);
    Reading reading;
    reading.name = Name(FieldAt(record, 20));
    reading.place = place;
    const std::string_view slope = FieldAt(record, 36);
    const std::string_view zenith = FieldAt(record, 52);
    if (slope.empty()) {
      holdings_.angle_only.Add(place);
      return;
    }
    if (zenith.empty()) {
      throw ConvertError(place + ": " + PointText(reading.name) +
                         " has a slope distance but no zenith angle (columns 53-68).");
    }
    if (!rod_) {
      throw ConvertError(place + ": " + PointText(reading.name) +
                         " is observed before any target height record (03) gave the rod "
                         "height.");
    }
    reading.rod = *rod_;
    reading.zenith = ZenithSeconds(zenith, angle_, place, "zenith angle");
    reading.slope = LengthMetres(slope, length_, place, "slope distance");
    if (!(reading.slope > 0)) {
      throw ConvertError(place + ": the slope distance \"" + std::string(slope) +
                         "\" is not a positive distance.");
    }
    job_points_.insert(reading.name);
    candidates_.back().push_back(Candidate{std::move(reading), mean});
  }

  // Means stand in for a point only where the setup kept no face reading.
  void KeepReadings(std::vector<Candidate>& candidates, SetupReadings& setup) {
    std::set<std::u32string> read_in_a_face;
    for (const Candidate& c : candidates) {
      if (!c.mean) read_in_a_face.insert(c.reading.name);
    }
    for (Candidate& c : candidates) {
      if (c.mean && read_in_a_face.count(c.reading.name) != 0) continue;
      if (c.mean) ++book_.means;
      setup.readings.push_back(std::move(c.reading));
    }
  }

  NameEncoding encoding_;
  FieldBook book_;
  bool header_seen_ = false;
  AngleUnit angle_ = AngleUnit::kDecimalDegree;
  LengthUnit length_ = LengthUnit::kMetre;
  std::optional<double> rod_;
  std::vector<std::vector<Candidate>> candidates_;  // of each setup
  FileHoldings holdings_;
  std::set<std::u32string> job_points_;
};

}  // namespace

bool LooksLikeSdr(std::string_view bytes) {
  const std::vector<TextLine> lines = TextLines(bytes);
  if (lines.empty() || lines.front().raw.size() < 7) return false;
  const std::string_view first = lines.front().raw;
  return first.substr(0, 2) == "00" && first.substr(4, 3) == "SDR";
}

FieldBook ReadSdr(std::string_view bytes) {
  SdrBook book(NameEncodingOf(bytes));
  for (const TextLine& line : TextLines(bytes)) book.Take(line);
  return book.Finish();
}

}  // namespace quarrow
