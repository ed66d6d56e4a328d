#pragma once

// Level runs told to a listener as the report pass tells them: two real runs
// from the golden reports and a machine-made run of any length. The tests and
// the profile benchmark feed them to the profile picture.

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/run_listener.h"
#include "engine/run_state.h"

namespace quarrow::profile_runs {

struct SideShot {
  std::string name;
  double elevation;  // adjusted
};

struct SetupRow {
  std::string setup;
  double backsight;  // horizontal distances
  double foresight;
  std::string mark;  // its turning point, or the ending mark on the last row
  double elevation;  // adjusted
  std::vector<SideShot> sides = {};
};

struct RunTable {
  std::string input_path;
  char unit_mark;  // '\'' feet, 'm' metres
  std::int16_t max_diff;
  std::int64_t error_tally;
  double misclosure;
  double allowed_error;
  std::string begin_mark;
  double begin_elevation;
  std::vector<SetupRow> setups;
};

// The worked example: two setups in metres, one side shot.
inline RunTable Example() {
  return {"field/run.txt",
          'm',
          10,
          0,
          0.002,
          0.005,
          "BM1",
          100.000,
          {{"1", 52.114, 51.880, "TP1", 99.944, {{"SS1", 99.920}}},
           {"2", 48.300, 47.950, "BM2", 99.910}}};
}

// One setup from bench mark to bench mark.
inline RunTable OneSetup() {
  return {"one-setup.txt",
          'm',
          10,
          0,
          -0.001,
          0.003,
          "BM 7",
          52.618,
          {{"1", 41.250, 39.870, "BM 8", 53.904}}};
}

// Twelve setups in feet along a county road, with side shots on culverts, a
// manhole and a floor.
inline RunTable CountyRoad() {
  return {"/home/crew/jobs/county-road-feet.txt",
          '\'',
          33,
          0,
          -0.009,
          0.047,
          "BM A-112",
          432.187,
          {{"1", 207.170, 207.680, "TP1", 432.359},
           {"2", 210.489, 210.647, "TP2", 434.062, {{"CULV INV N", 431.628}}},
           {"3", 176.406, 175.916, "TP3", 434.176},
           {"4", 145.024, 144.617, "TP4", 433.509, {{"CULV INV S", 437.379}, {"EP 1+50", 436.065}}},
           {"5", 147.149, 146.776, "TP5", 433.090},
           {"6", 195.675, 195.605, "TP6", 433.079},
           {"7", 216.839, 216.788, "TP7", 432.767, {{"MH RIM 12", 433.654}}},
           {"8", 259.478, 259.889, "TP8", 436.089},
           {"9", 167.560, 167.311, "TP9", 434.130},
           {"10", 188.043, 188.595, "TP10", 437.084, {{"FFE LOT 7", 437.082}}},
           {"11", 165.163, 165.660, "TP11", 435.466},
           {"12", 187.694, 187.179, "BM A-113", 438.405}}};
}

// A run that fails: two setups far out of balance and the whole run beyond
// the limit.
inline RunTable Unbalanced() {
  return {"/srv/jobs/ridge.txt",
          '\'',
          33,
          3,
          0.081,
          0.032,
          "BM RIDGE 1",
          1204.551,
          {{"1", 240.0, 180.5, "TP1", 1210.112},
           {"2", 210.3, 205.9, "TP2", 1214.870, {{"TANK PAD", 1216.02}}},
           {"3", 260.7, 250.1, "TP3", 1219.245},
           {"4", 198.4, 243.0, "TP4", 1215.380},
           {"5", 230.2, 221.7, "BM RIDGE 2", 1211.907}}};
}

// Sets RunState as the closure pass leaves it for `run`.
inline void PrepareState(RunState& rs, const RunTable& run) {
  rs.InputPath = run.input_path;
  rs.UnitMark = run.unit_mark;
  rs.MaxDiff = run.max_diff;
  rs.Misclosure = run.misclosure;
  rs.AllowedError = run.allowed_error;
  rs.SumBsHd = rs.SumFsHd = 0;
  rs.ShotPattern.clear();
  for (const SetupRow& row : run.setups) {
    rs.SumBsHd += row.backsight;
    rs.SumFsHd += row.foresight;
    rs.ShotPattern += std::string(row.sides.size(), '1') + "0";
  }
  rs.RunLength = rs.SumBsHd + rs.SumFsHd;
}

// Tells `listener` the run as the report pass does, Begin to the last setup;
// Finish is left to the caller. RunState must be prepared.
inline void Tell(const RunState& rs, const RunTable& run, RunListener& listener) {
  auto correction = [&](double distance) {
    return rs.RunLength > 0 ? run.misclosure * distance / rs.RunLength : 0;
  };
  listener.Begin({.bad_turns = run.error_tally});
  const std::string first = run.setups.empty() ? "" : run.setups.front().setup;
  listener.Point(
      {run.begin_mark, first, PointRole::kBegin, 0, run.begin_elevation, 0, run.begin_elevation});
  double distance = 0;
  for (std::size_t i = 0; i < run.setups.size(); ++i) {
    const SetupRow& row = run.setups[i];
    distance += row.backsight;
    for (const SideShot& side : row.sides) {
      const double c = correction(distance);
      listener.Point({side.name, row.setup, PointRole::kSide, distance, side.elevation - c, c,
                      side.elevation});
    }
    distance += row.foresight;
    const double c = correction(distance);
    const PointRole role = i + 1 == run.setups.size() ? PointRole::kEnd : PointRole::kTurn;
    listener.Point({row.mark, row.setup, role, distance, row.elevation - c, c, row.elevation});
    listener.Setup({row.setup, row.backsight, row.foresight});
  }
}

// A machine-made run in feet of `setups` setups (at least 1): sights of 150
// to 260 ft, a hilly road, a side shot at every seventh setup, and now and
// then a setup out of balance. The same seed gives the same run.
inline void TellMadeRun(RunState& rs, RunListener& listener, std::int64_t setups,
                        std::uint32_t seed = 7) {
  // Sights and ground draw from generators of their own, so that the second
  // pass below repeats the sights exactly.
  std::mt19937 random(seed), ground(seed + 1);
  std::uniform_real_distribution<double> sight(150, 260), wobble(-1, 1);
  std::normal_distribution<double> imbalance(0, 7);
  auto foresight_of = [&](std::int64_t i, double backsight) {
    if (i % 194 == 40) return backsight - 45;
    if (i % 194 == 137) return backsight + 45;
    return std::max(20.0, backsight + imbalance(random));
  };
  // The closure pass's totals come first, as in a real run: one pass to sum,
  // then the same numbers again from the same seed.
  rs.InputPath = "made-" + std::to_string(setups) + ".txt";
  rs.UnitMark = '\'';
  rs.MaxDiff = 33;
  rs.SumBsHd = rs.SumFsHd = 0;
  rs.ShotPattern.clear();
  rs.ShotPattern.reserve(static_cast<std::size_t>(setups + setups / 7 + 1));
  rs.TurnErrors = 0;
  for (std::int64_t i = 0; i < setups; ++i) {
    const double backsight = sight(random);
    const double foresight = foresight_of(i, backsight);
    rs.SumBsHd += backsight;
    rs.SumFsHd += foresight;
    if (std::fabs(backsight - foresight) > rs.MaxDiff) ++rs.TurnErrors;
    rs.ShotPattern += i % 7 == 3 ? "10" : "0";
  }
  // The closure pass's failed tests: the turns, then the whole run's balance.
  const ThirdOrderVerdict verdict{
      .bad_turns = rs.TurnErrors,
      .run_unbalanced = std::fabs(rs.SumBsHd - rs.SumFsHd) > rs.MaxDiff};
  rs.RunLength = rs.SumBsHd + rs.SumFsHd;
  rs.AllowedError = 0.05 * std::sqrt(rs.RunLength / 5280);
  rs.Misclosure = 0.6 * rs.AllowedError;

  random.seed(seed);
  sight.reset();
  imbalance.reset();
  listener.Begin(verdict);
  double elevation = 812.40, distance = 0;
  listener.Point({"BM START", "1", PointRole::kBegin, 0, elevation, 0, elevation});
  std::string name;
  for (std::int64_t i = 0; i < setups; ++i) {
    const std::string setup = std::to_string(i + 1);
    const double backsight = sight(random);
    const double foresight = foresight_of(i, backsight);
    distance += backsight;
    if (i % 7 == 3) {
      name = "SS" + std::to_string(i + 1);
      listener.Point({name, setup, PointRole::kSide, distance, elevation - 3.1, 0, elevation - 3});
    }
    distance += foresight;
    elevation += 2.5 * std::sin(distance / 9000) * wobble(ground) + 0.8 * wobble(ground);
    name = i + 1 == setups ? "BM END" : "TP" + setup;
    const PointRole role = i + 1 == setups ? PointRole::kEnd : PointRole::kTurn;
    listener.Point({name, setup, role, distance, elevation, 0, elevation});
    listener.Setup({setup, backsight, foresight});
  }
}

}  // namespace quarrow::profile_runs
