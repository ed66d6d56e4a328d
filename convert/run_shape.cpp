#include "convert/run_shape.h"

#include <set>

namespace quarrow {

namespace {

std::string SetupAt(std::size_t index, const SetupReadings& setup) {
  std::string text = "setup " + std::to_string(index + 1);
  if (!setup.station.empty()) text += " at " + QuotedName(setup.station);
  return text;
}

constexpr const char* kLevelRunNeeds =
    "A level run needs setups between the rods, each backsighting the point the setup before "
    "it foresighted (a turning point), from its first bench mark to its last.";

// At most this many setups are listed; the rest are counted.
constexpr std::size_t kSetupsListed = 4;

}  // namespace

void RefuseWhatIsNotALevelRun(const FieldBook& book) {
  const std::vector<SetupReadings>& setups = book.setups;
  bool traverse = setups.size() >= 2;
  for (std::size_t s = 1; s < setups.size() && traverse; ++s) {
    const std::u32string& previous = setups[s - 1].station;
    traverse = !previous.empty() && BacksightName(setups[s]) == previous;
  }
  if (traverse) {
    std::string legs;
    for (std::size_t s = 1; s < setups.size() && s <= kSetupsListed; ++s) {
      if (s > 1) legs += "; ";
      legs += SetupAt(s, setups[s]) + " backsights " + QuotedName(setups[s - 1].station);
    }
    if (setups.size() - 1 > kSetupsListed) {
      legs += "; and " + std::to_string(setups.size() - 1 - kSetupsListed) + " more";
    }
    throw ConvertError(setups[1].place +
                       ": this file is a traverse, not a level run: every setup backsights the "
                       "point the setup before it stood on (" +
                       legs + "), so no foresight is ever the next setup's backsight. " +
                       kLevelRunNeeds);
  }

  if (setups.size() == 1 && setups[0].station_is_job_point) {
    std::set<std::u32string> points;
    for (const Reading& r : setups[0].readings) points.insert(r.name);
    throw ConvertError(setups[0].place + ": this file holds one setup, standing on the point " +
                       QuotedName(setups[0].station) + " that the file also holds, and observing " +
                       std::to_string(points.size()) + (points.size() == 1 ? " point" : " points") +
                       ": a survey from one station (a topographic or stakeout job), not a level "
                       "run. " +
                       kLevelRunNeeds);
  }

  for (std::size_t s = 0; s < setups.size(); ++s) {
    const std::size_t observations = CountObservations(setups[s]);
    if (observations > kMostObservationsInASetup) {
      throw ConvertError(setups[s].place + ": " + SetupAt(s, setups[s]) + " holds " +
                         std::to_string(observations) + " observations, more than the " +
                         std::to_string(kMostObservationsInASetup) +
                         " of a level-run setup: a topographic survey, not a level run. " +
                         kLevelRunNeeds);
    }
  }
}

}  // namespace quarrow
