#include "convert/level_run.h"

#include <cmath>

#include "convert/field_file_writer.h"

namespace quarrow {

namespace {

std::string SetupLabel(std::size_t index, const std::string& place) {
  return "setup " + std::to_string(index + 1) + " (" + place + ")";
}

bool IsFaceTwo(const Reading& reading) { return reading.zenith > kHalfCircleSeconds; }

// Rod heights come from the same text or the same target record; anything
// beyond rounding is a different rod.
bool SameRod(double a, double b) { return std::fabs(a - b) < 1e-9; }

std::string FormatRod(double metres) { return FormatFixed(metres, 4) + " m"; }

// Averages a run of readings of one point into one observation.
Observation Combine(const std::vector<const Reading*>& readings, std::size_t setup_index,
                    const std::string& setup_place) {
  Observation obs;
  obs.name = readings.front()->name;
  obs.place = readings.front()->place;
  obs.rod = readings.front()->rod;
  double zenith_one = 0, slope_one = 0, zenith_two = 0, slope_two = 0;
  for (const Reading* r : readings) {
    if (!SameRod(r->rod, obs.rod)) {
      throw ConvertError(SetupLabel(setup_index, setup_place) + ": " + PointText(obs.name) +
                         " is read with two rod heights, " + FormatRod(obs.rod) + " (" + obs.place +
                         ") and " + FormatRod(r->rod) + " (" + r->place + ").");
    }
    if (IsFaceTwo(*r)) {
      zenith_two += r->zenith;
      slope_two += r->slope;
      ++obs.face_two_readings;
    } else {
      zenith_one += r->zenith;
      slope_one += r->slope;
      ++obs.face_one_readings;
    }
  }
  if (obs.face_one_readings > 0) {
    zenith_one /= obs.face_one_readings;
    slope_one /= obs.face_one_readings;
  }
  if (obs.face_two_readings > 0) {
    zenith_two /= obs.face_two_readings;
    slope_two /= obs.face_two_readings;
  }
  if (obs.face_one_readings > 0 && obs.face_two_readings > 0) {
    obs.zenith = (zenith_one + (kFullCircleSeconds - zenith_two)) / 2;
    obs.slope = (slope_one + slope_two) / 2;
    obs.index_error = (zenith_one + zenith_two - kFullCircleSeconds) / 2;
  } else if (obs.face_one_readings > 0) {
    obs.zenith = zenith_one;
    obs.slope = slope_one;
  } else {
    obs.zenith = kFullCircleSeconds - zenith_two;
    obs.slope = slope_two;
  }
  return obs;
}

// Readings of one point taken one after another make one observation; the
// same name later in the setup is another observation (a side shot may
// share the turning point's name).
std::vector<Observation> GroupReadings(const SetupReadings& setup, std::size_t setup_index,
                                       std::size_t& backsight,
                                       std::optional<std::size_t>& marked_foresight) {
  std::vector<Observation> observations;
  std::vector<const Reading*> run;
  std::optional<std::size_t> marked;
  marked_foresight.reset();
  for (std::size_t i = 0; i < setup.readings.size(); ++i) {
    const Reading& reading = setup.readings[i];
    ReducedZenith(reading);  // refuses an elevation angle at its own line or record
    if (!run.empty() && run.front()->name != reading.name) {
      observations.push_back(Combine(run, setup_index, setup.place));
      run.clear();
    }
    if (setup.backsight_reading == i && !marked) marked = observations.size();
    if (setup.foresight_reading == i) marked_foresight = observations.size();
    run.push_back(&reading);
  }
  if (!run.empty()) observations.push_back(Combine(run, setup_index, setup.place));

  backsight = 0;
  if (marked) {
    backsight = *marked;
  } else if (setup.backsight_name) {
    std::size_t i = 0;
    while (i < observations.size() && observations[i].name != *setup.backsight_name) ++i;
    if (i == observations.size()) {
      throw ConvertError(SetupLabel(setup_index, setup.place) + ": the backsight " +
                         QuotedName(*setup.backsight_name) +
                         " that the file names is never observed in this setup.");
    }
    backsight = i;
  }
  return observations;
}

}  // namespace

double ReducedZenith(const Reading& reading) {
  const double zenith = IsFaceTwo(reading) ? kFullCircleSeconds - reading.zenith : reading.zenith;
  if (zenith < kSmallestZenith) {
    throw ConvertError(reading.place + ": " + PointText(reading.name) +
                       " has a zenith angle under 30 degrees; the instrument was set to "
                       "elevation angles or slope percent, and a level run needs zenith angles.");
  }
  return zenith;
}

ReducedRun ReduceFieldBook(const FieldBook& book) {
  ReducedRun run;
  if (book.setups.empty()) {
    throw ConvertError(
        "the file holds no total-station observations; expected readings of a zenith angle and "
        "a distance from each setup.");
  }

  std::vector<std::vector<Observation>> grouped(book.setups.size());
  std::vector<std::size_t> backsights(book.setups.size());
  std::vector<std::optional<std::size_t>> foresights(book.setups.size());
  for (std::size_t s = 0; s < book.setups.size(); ++s) {
    grouped[s] = GroupReadings(book.setups[s], s, backsights[s], foresights[s]);
    if (foresights[s] == backsights[s]) foresights[s].reset();
    if (grouped[s].size() < 2) {
      throw ConvertError(SetupLabel(s, book.setups[s].place) +
                         " has fewer than two observations; every setup needs a backsight and "
                         "a foresight.");
    }
  }

  for (std::size_t s = 0; s < grouped.size(); ++s) {
    std::vector<Observation>& obs = grouped[s];
    const std::size_t bs = backsights[s];
    const std::optional<std::size_t> marked = foresights[s];
    std::size_t fs = obs.size();
    if (s + 1 < grouped.size()) {
      const std::u32string& next = grouped[s + 1][backsights[s + 1]].name;
      int matches = 0;
      for (std::size_t i = 0; i < obs.size(); ++i) {
        if (i != bs && obs[i].name == next) {
          fs = i;
          ++matches;
        }
      }
      // Among several observations of the next backsight, the one the file
      // marks as the foresight.
      const bool marked_matches = marked && obs[*marked].name == next;
      if (matches > 1 && marked_matches) fs = *marked;
      if (matches == 0) {
        // Deliberate: the setup's own station is named, as a traverse
        // backsights it and a level run never does.
        const bool own_station = !next.empty() && next == book.setups[s].station;
        throw ConvertError(
            SetupLabel(s, book.setups[s].place) + " never observes " + PointText(next) +
            ", which setup " + std::to_string(s + 2) + " backsights" +
            (own_station
                 ? " (it is where setup " + std::to_string(s + 1) + " stood, a traverse leg)"
                 : std::string()) +
            "; the run does not connect. Each setup's foresight must be the next "
            "setup's backsight.");
      }
      if (matches > 1) {
        run.notes.push_back(
            "Setup " + std::to_string(s + 1) + " observes " + QuotedName(next) + " " +
            std::to_string(matches) + " times; " +
            (marked_matches ? "the one the file marks as the foresight" : "the last") +
            " is taken as the foresight, the others as side shots.");
      }
      if (marked && !marked_matches) {
        run.notes.push_back(
            "Setup " + std::to_string(s + 1) + " marks " + QuotedName(obs[*marked].name) + " (" +
            obs[*marked].place + ") as its foresight, but setup " + std::to_string(s + 2) +
            " backsights " + QuotedName(next) + "; " + QuotedName(next) +
            " is taken as the foresight, " + QuotedName(obs[*marked].name) + " as a side shot.");
      }
    } else if (marked) {
      fs = *marked;
    } else {
      fs = obs.size() - 1;
      if (fs == bs) --fs;
    }

    ReducedSetup setup;
    setup.place = book.setups[s].place;
    obs[bs].role = Role::kBacksight;
    obs[fs].role = Role::kForesight;
    setup.observations.push_back(obs[bs]);
    for (std::size_t i = 0; i < obs.size(); ++i) {
      if (i == bs || i == fs) continue;
      setup.observations.push_back(obs[i]);
      ++run.side_shots;
    }
    setup.observations.push_back(obs[fs]);
    for (const Observation& o : setup.observations) {
      ++run.observations;
      if (!o.index_error) continue;
      ++run.face_pairs;
      if (!run.largest_index_error ||
          std::fabs(*o.index_error) > std::fabs(*run.largest_index_error)) {
        run.largest_index_error = o.index_error;
        run.largest_index_error_at = NameUtf8(o.name) + " in setup " + std::to_string(s + 1);
      }
    }
    run.setups.push_back(std::move(setup));
  }
  return run;
}

}  // namespace quarrow
