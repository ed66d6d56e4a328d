#include <gtest/gtest.h>

#include <string>

#include "plot/profile_drawing.h"
#include "tests/plot/profile_runs.h"

namespace quarrow {
namespace {

using profile_runs::RunTable;

// The elevation panel on the canvas.
const QRectF kPanel(118, 150, 1442, 470);

// What the picture would hold for `run` with every name offered, more than
// the listener keeps.
ProfileData AllNames(const RunTable& run) {
  ProfileData data;
  double distance = 0;
  auto mark = [&](const std::string& name, PointRole role, double elevation) {
    data.mark_distance.push_back(distance);
    data.mark_elevation.push_back(elevation);
    data.labels.push_back({distance, elevation, role, name});
  };
  mark(run.begin_mark, PointRole::kBegin, run.begin_elevation);
  for (std::size_t i = 0; i < run.setups.size(); ++i) {
    const profile_runs::SetupRow& row = run.setups[i];
    distance += row.backsight;
    for (const profile_runs::SideShot& side : row.sides) {
      data.side_distance.push_back(distance);
      data.side_elevation.push_back(side.elevation);
      data.labels.push_back({distance, side.elevation, PointRole::kSide, side.name});
    }
    distance += row.foresight;
    mark(row.mark, i + 1 == run.setups.size() ? PointRole::kEnd : PointRole::kTurn, row.elevation);
  }
  return data;
}

// A run of `setups` setups of 200 ft, up and down a few feet, its turning
// points named `prefix` and their number, with a crowd of side shots at
// setup 3.
RunTable Crowded(int setups, int crowd, const std::string& prefix = "TP") {
  RunTable run{"crowded.txt", '\'', 33, 0, 0, 0.05, "BM NORTH", 500, {}};
  for (int i = 1; i <= setups; ++i) {
    run.setups.push_back({std::to_string(i), 100, 100,
                          i == setups ? "BM SOUTH" : prefix + std::to_string(i),
                          500 + 3 * std::sin(i / 3.0)});
  }
  for (int i = 0; i < crowd && setups >= 3; ++i) {
    run.setups[2].sides.push_back({"SHOT " + std::to_string(i), 499 + 0.1 * i});
  }
  return run;
}

TEST(PlaceNames, NamesNeverOverlapAndBenchMarksAlwaysShow) {
  const struct {
    const char* case_name;
    RunTable run;
    std::size_t at_least;  // names shown
  } cases[] = {
      {"one setup", profile_runs::OneSetup(), 2},
      {"worked example", profile_runs::Example(), 4},
      {"county road", profile_runs::CountyRoad(), 16},
      {"crowded side shots", Crowded(12, 40), 10},
      {"long names, many setups", Crowded(300, 5, "TURNING POINT "), 10},
      {"ten thousand setups", Crowded(10000, 0), 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_name);
    const std::vector<PlacedName> names = PlaceNames(AllNames(c.run));
    EXPECT_GE(names.size(), c.at_least);
    int benches = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
      SCOPED_TRACE(names[i].text.toStdString());
      EXPECT_TRUE(kPanel.contains(names[i].box));
      if (names[i].bench) ++benches;
      for (std::size_t j = i + 1; j < names.size(); ++j) {
        EXPECT_FALSE(names[i].box.intersects(names[j].box)) << names[j].text.toStdString();
      }
    }
    EXPECT_EQ(benches, 2);
  }
}

TEST(ShownText, ControlCharactersBecomeReplacementCharacters) {
  const struct {
    std::string bytes;
    const char16_t* shown;
  } cases[] = {
      {"TP 12", u"TP 12"},
      {"BM\t1", u"BM\ufffd1"},
      {std::string("A\0B", 3), u"A\ufffdB"},
      {"END\x1a", u"END\ufffd"},
      {"DEL\x7f", u"DEL\ufffd"},
      {"CAF\xc3\xa9 R&D <1>", u"CAF\u00e9 R&D <1>"},
      {"", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(ShownText(c.bytes), QString::fromUtf16(c.shown));
  }
}

TEST(PlaceNames, AShortRunReadsLevelWithEveryName) {
  const std::vector<PlacedName> names = PlaceNames(AllNames(profile_runs::CountyRoad()));
  EXPECT_EQ(names.size(), 18u);  // two bench marks, eleven turning points, five side shots
  for (const PlacedName& name : names) {
    EXPECT_FALSE(name.upright) << name.text.toStdString();
  }
}

}  // namespace
}  // namespace quarrow
