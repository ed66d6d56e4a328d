#pragma once

// What the two readers share: staff readings grouped into setups and the
// setups into one levelled line, with the checks that make it a line.
//
// A setup reads one point as its backsight and another as its foresight,
// each as often as the line's order says (BF and aBF once, BFFB and aBFFB
// twice), in any order within the setup. Its rise is the mean of its
// backsight readings minus the mean of its foresight readings (for two of
// each, the mean of the two rises), its length the mean backsight distance
// plus the mean foresight distance. Each setup after the first backsights
// the point the setup before it foresighted (the change point).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/units.h"
#include "levelling/levelled_file.h"

namespace quarrow {

struct StaffSight {
  bool backsight = true;
  std::string point;  // UTF-8, never empty
  double reading = 0;
  double distance = 0;
  std::string place;  // "line 12"
};

// The order a line declares: its name ("BF", "aBFFB") and its readings a
// setup, or none when the file does not say.
struct LevelOrder {
  std::string name;
  int readings_per_setup = 0;  // 0: not said; setups are told apart by their points
  std::string place;           // where the file declares it
};

// "BF", "aBF", "BFFB", "aBFFB", "BFBF", "BBFF", "aBFFBa"...: B and F
// letters, as many of one as of the other, between optional "a"s (the
// alternating orders). Anything else is no order.
std::optional<LevelOrder> OrderNamed(std::string_view name, std::string place);

// One line as it is read, reading by reading.
class LineBuilder {
 public:
  LineBuilder(std::string place, LevelOrder order) : place_(std::move(place)), order_(order) {}

  const std::string& place() const { return place_; }
  bool HasSights() const { return !setups_.empty(); }

  // The bench mark the line starts on, as the file names it before the
  // first reading (with its height).
  void NameStart(std::string point, std::string place);

  // Adds a reading to the setup it belongs to: the current one while it
  // reads the same backsight or foresight point and is not full, else a new
  // one.
  void Add(StaffSight sight);

  // The crew repeated a reading or a whole setup: the last reading, or the
  // last setup, is dropped. Returns how many readings went.
  std::int64_t DropLastSight();
  std::int64_t DropLastSetup();

  // The line from its first backsight to its last foresight. Throws
  // ConvertError for a line without readings or of no length, a setup
  // whose readings have no partner or do not make the line's order, a
  // setup on one point only, a first backsight that is not the named start,
  // or a backsight that is not the previous change point.
  LevelledLine Finish() const;

  // Readings held, for the summary.
  std::int64_t Readings() const;

  // The last foresight's point and place, for messages; empty without one.
  std::string LastForesight() const;
  std::string LastForesightPlace() const;

 private:
  std::string place_;
  LevelOrder order_;
  std::string start_point_;
  std::string start_place_;
  std::vector<std::vector<StaffSight>> setups_;
};

// No staff reading or distance to the staff comes near a million metres or
// feet; a value that does is a misread field, and would swamp the sums.
inline constexpr double kLargestStaffValue = 1e6;

// Throws ConvertError at `place`, quoting `text`, unless `value` is under
// kLargestStaffValue either way.
void RefuseImplausible(double value, const std::string& place, std::string_view text);

// Keeps a file to one unit and notes its finest decimals.
class UnitsKeeper {
 public:
  // Throws ConvertError at `place` when `units` (named `name`) is not the
  // unit of the file's earlier readings.
  void Take(Units units, const std::string& name, int decimals, const std::string& place,
            const std::string& what);
  // The units, their name, and one decimal more than the finest reading (at
  // most kMostDecimals).
  void FillIn(LevelledFile& file) const;
  static constexpr int kMostDecimals = 9;

 private:
  std::optional<Units> units_;
  std::string name_;
  std::string first_place_;
  int decimals_ = 0;
};

}  // namespace quarrow
