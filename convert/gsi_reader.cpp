#include "convert/gsi_reader.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

#include "convert/gsi_words.h"
#include "convert/level_run.h"
#include "convert/survey_units.h"
#include "convert/text_lines.h"

namespace quarrow {

namespace {

bool IsStationWord(std::string_view index) {
  return index == "84" || index == "85" || index == "86" || index == "88";
}

// The words of one block that decide what it is.
struct Block {
  const GsiWord* point = nullptr;
  const GsiWord* horizontal_angle = nullptr;
  const GsiWord* zenith = nullptr;
  const GsiWord* slope = nullptr;
  const GsiWord* horizontal = nullptr;
  const GsiWord* code = nullptr;
  const GsiWord* code_station = nullptr;  // 42, information 1
  const GsiWord* code_height = nullptr;   // 43, information 2
  const GsiWord* reflector = nullptr;
  bool station_words = false;

  explicit Block(const std::vector<GsiWord>& words) {
    for (const GsiWord& w : words) {
      if (w.index == "11") point = &w;
      if (w.index == "21") horizontal_angle = &w;
      if (w.index == "22") zenith = &w;
      if (w.index == "31") slope = &w;
      if (w.index == "32") horizontal = &w;
      if (w.index == "41") code = &w;
      if (w.index == "42") code_station = &w;
      if (w.index == "43") code_height = &w;
      if (w.index == "87") reflector = &w;
      if (IsStationWord(w.index)) station_words = true;
    }
  }

  bool HasMeasurement() const {
    return zenith != nullptr || slope != nullptr || horizontal != nullptr;
  }

  // Codes 1 and 2 are the field programs' "new setup" and "occupy a point";
  // they start a setup when they name the station or its instrument height.
  bool IsStationCode() const {
    if (code == nullptr || (code_station == nullptr && code_height == nullptr)) return false;
    const std::u32string number = GsiText(*code);
    return number == U"1" || number == U"2";
  }

  // The distance word, unless the record mask wrote one of zero because no
  // distance was measured.
  const GsiWord* Distance() const {
    const GsiWord* distance = slope != nullptr ? slope : horizontal;
    return distance != nullptr && !GsiDataIsZero(*distance) ? distance : nullptr;
  }
};

// Where setups start, as the file marks them.
class SetupMarks {
 public:
  explicit SetupMarks(FieldBook& book) : book_(book) {}

  bool any() const { return any_; }

  void Start(const std::string& place, const std::u32string& station) {
    // Readings before the first mark are a setup of their own.
    if (!any_ && !unmarked_.empty()) {
      SetupReadings first = SetupStartingAt(unmarked_.front().place);
      first.readings = std::move(unmarked_);
      unmarked_.clear();
      book_.setups.push_back(std::move(first));
    }
    any_ = true;
    // Marks one after another (a code block, then a station block) start
    // one setup, at the first of them.
    if (book_.setups.empty() || !book_.setups.back().readings.empty()) {
      book_.setups.push_back(SetupStartingAt(place));
    }
    if (!station.empty()) book_.setups.back().station = station;
  }

  void Add(Reading reading) {
    if (any_) {
      book_.setups.back().readings.push_back(std::move(reading));
    } else {
      unmarked_.push_back(std::move(reading));
    }
  }

  std::vector<Reading>& unmarked() { return unmarked_; }

 private:
  FieldBook& book_;
  bool any_ = false;
  std::vector<Reading> unmarked_;
};

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
      book.setups.push_back(SetupStartingAt(r.place));
      run_has_face_one = false;
    } else if (!same_point) {
      run_has_face_one = false;
    }
    run_has_face_one = run_has_face_one || face_one;
    book.setups.back().readings.push_back(r);
  }
}

// The units of the first measurement, for the summary.
std::string GsiUnitsText(const GsiWord& distance, const GsiWord& zenith) {
  const bool feet = distance.unit == static_cast<char>(GsiUnit::kFoot) ||
                    distance.unit == static_cast<char>(GsiUnit::kTenThousandthFoot);
  AngleUnit angle = AngleUnit::kDecimalDegree;
  if (zenith.unit == static_cast<char>(GsiUnit::kGon)) angle = AngleUnit::kGon;
  if (zenith.unit == static_cast<char>(GsiUnit::kSexagesimal)) angle = AngleUnit::kPackedDms;
  if (zenith.unit == static_cast<char>(GsiUnit::kMil)) angle = AngleUnit::kMil;
  return UnitsText(feet ? LengthUnit::kInternationalFoot : LengthUnit::kMetre, angle);
}

constexpr const char* kNoMarks =
    "the file cannot be split into setups. No station block (words 84 to 86 or 88 without a "
    "measurement) and no station code block (word 41 code 1 or 2 with word 42 or 43) marks "
    "where a setup starts, so setups were split where a point is read again at once in face "
    "I, and ";
constexpr const char* kMarksExpected =
    " Expected a station or code block at the start of every setup, or every turning point "
    "read twice in a row (the foresight, then the next setup's backsight).";

// The split at turning points is a guess; it holds only when every setup
// reads each of its points in one run of readings, and no more of them
// than a level-run setup has.
void CheckGuessedSetups(const FieldBook& book) {
  for (const SetupReadings& setup : book.setups) {
    std::set<std::u32string> done;
    std::size_t observations = 0;
    for (std::size_t i = 0; i < setup.readings.size(); ++i) {
      const Reading& r = setup.readings[i];
      if (i > 0 && setup.readings[i - 1].name == r.name) continue;
      if (done.count(r.name) != 0) {
        throw ConvertError(r.place + ": " + kNoMarks + "the setup from " + setup.place +
                           " then reads " + PointText(r.name) + " again after other points." +
                           kMarksExpected);
      }
      if (i > 0) done.insert(setup.readings[i - 1].name);
      ++observations;
    }
    if (observations > kMostObservationsInASetup) {
      throw ConvertError(
          setup.place + ": " + kNoMarks + "the setup from " + setup.place + " then holds " +
          std::to_string(observations) + " observations, more than the " +
          std::to_string(kMostObservationsInASetup) + " of a level-run setup." + kMarksExpected);
    }
  }
}

}  // namespace

bool LooksLikeGsi(std::string_view bytes) {
  const std::vector<GsiLine> lines = GsiLines(bytes);
  if (lines.empty()) return false;
  std::string_view line = lines.front().text;
  if (!line.empty() && line[0] == '*') line.remove_prefix(1);
  if (line.size() < 7) return false;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!digit(line[0]) || !digit(line[1])) return false;
  for (char c : line.substr(2, 4)) {
    if (!digit(c) && c != '.') return false;
  }
  return line[6] == '+' || line[6] == '-';
}

FieldBook ReadGsi(std::string_view bytes) {
  FieldBook book;
  book.kind = "GSI";
  SetupMarks marks(book);
  std::string first_angle_only;  // where, for a file of nothing else
  auto angle_only = [&](const std::string& place) {
    if (book.angle_only++ == 0) first_angle_only = place;
  };
  std::optional<double> rod;
  std::optional<bool> feet;
  for (const GsiLine& line : GsiLines(bytes)) {
    const std::vector<GsiWord> words = SplitGsiWords(line);
    const Block block(words);
    const std::string place = LinePlace(line.number);
    if (block.reflector != nullptr) rod = GsiLengthMetres(*block.reflector, line.number, nullptr);

    if (block.code != nullptr) {
      if (block.IsStationCode()) {
        marks.Start(
            place, block.code_station != nullptr ? GsiText(*block.code_station) : std::u32string());
      }
      continue;
    }
    if (!block.HasMeasurement()) {
      if (block.station_words) {
        marks.Start(place, block.point != nullptr ? GsiText(*block.point) : std::u32string());
      } else if (block.point != nullptr && block.horizontal_angle != nullptr) {
        angle_only(place);
      }
      continue;
    }

    const GsiWord* distance = block.Distance();
    if (distance == nullptr && block.zenith != nullptr) {
      angle_only(place);
      continue;
    }
    if (block.point == nullptr) {
      throw ConvertError(place +
                         ": a measurement without a point; expected word 11 naming the point in "
                         "every measurement block.");
    }
    Reading reading;
    reading.name = GsiText(*block.point);
    reading.place = place;
    if (block.zenith == nullptr) {
      throw ConvertError(place + ": " + PointText(reading.name) +
                         " has a distance but no zenith angle (word 22).");
    }
    if (!rod) {
      throw ConvertError(place + ": " + PointText(reading.name) +
                         " is observed before any reflector height (word 87) was recorded.");
    }
    reading.rod = *rod;
    reading.zenith = GsiZenithSeconds(*block.zenith, line.number);
    bool in_feet = false;
    const double metres = GsiLengthMetres(*distance, line.number, &in_feet);
    if (!feet) {
      feet = in_feet;
      book.units_read = GsiUnitsText(*distance, *block.zenith);
    }
    if (metres <= 0) {
      throw ConvertError(place + ": the word \"" + std::string(distance->text) +
                         "\" is not a positive distance.");
    }
    if (distance == block.slope) {
      reading.slope = metres;
    } else {
      // Slope from horizontal: the zenith brought to face I first, so that a
      // face-II reading gives the same slope.
      constexpr double kRadiansPerSecond = 3.14159265358979323846 / kHalfCircleSeconds;
      reading.slope = metres / std::sin(ReducedZenith(reading) * kRadiansPerSecond);
    }
    marks.Add(std::move(reading));
  }
  if (marks.unmarked().empty() && book.angle_only > 0 &&
      std::all_of(book.setups.begin(), book.setups.end(),
                  [](const SetupReadings& setup) { return setup.readings.empty(); })) {
    throw ConvertError(first_angle_only + ": the file's measurements (" +
                       std::to_string(book.angle_only) +
                       ", the first on this line) are all angle-only, without a distance (word 31 "
                       "or 32); a level run needs a slope distance with every zenith angle.");
  }
  if (!marks.any()) {
    SplitAtTurningPoints(marks.unmarked(), book);
    book.setups_from_turning_points = true;
    CheckGuessedSetups(book);
  }
  book.units = feet.value_or(false) ? Units::kFeet : Units::kMetric;
  return book;
}

}  // namespace quarrow
