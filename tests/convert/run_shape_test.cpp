// Sound readings that are not a level run: traverses, surveys from one
// station, setups of a topographic survey. Each is refused naming its
// setups; the level runs beside them pass.

#include "convert/run_shape.h"

#include <gtest/gtest.h>

namespace quarrow {
namespace {

SetupReadings SetupAt(const std::string& place, const std::u32string& station,
                      const std::vector<std::u32string>& names) {
  SetupReadings setup = SetupStartingAt(place);
  setup.station = station;
  for (const std::u32string& name : names) {
    setup.readings.push_back(Reading{name, 324000, 50, 1.5, place});
  }
  return setup;
}

FieldBook Book(std::vector<SetupReadings> setups) {
  FieldBook book;
  book.kind = "JobXML";
  book.setups = std::move(setups);
  return book;
}

// A traverse of `count` setups at STN1, STN2...: each backsights the last
// station and foresights the next.
FieldBook Traverse(int count) {
  std::vector<SetupReadings> setups;
  for (int s = 1; s <= count; ++s) {
    const std::u32string at = U"STN" + std::u32string(1, U'0' + s);
    const std::u32string back = s == 1 ? U"RM1" : U"STN" + std::u32string(1, U'0' + s - 1);
    const std::u32string ahead = U"STN" + std::u32string(1, U'0' + s + 1);
    setups.push_back(SetupAt("record s" + std::to_string(s), at, {back, ahead}));
  }
  return Book(setups);
}

std::vector<std::u32string> ManyPoints(int count) {
  std::vector<std::u32string> names;
  for (int i = 0; i < count; ++i)
    names.push_back(U"P" + std::u32string(1, U'A' + i % 26) + U"-" +
                    std::u32string(1, U'A' + i / 26));
  return names;
}

TEST(RefuseWhatIsNotALevelRun, TraversesSurveysFromOneStationAndTopoSetups) {
  SetupReadings on_mark = SetupAt("record s1", U"CP 7", {U"CP 8", U"TREE", U"KERB"});
  on_mark.station_is_job_point = true;
  SetupReadings one_level_setup = SetupAt("record s1", U"STN1", {U"BM1", U"CULVERT", U"BM2"});
  struct Row {
    const char* what;
    FieldBook book;
    std::string message;  // empty when the book is a level run
  };
  const Row rows[] = {
      {"a traverse", Traverse(3),
       "record s2: this file is a traverse, not a level run: every setup backsights the point the "
       "setup before it stood on (setup 2 at \"STN2\" backsights \"STN1\"; setup 3 at \"STN3\" "
       "backsights \"STN2\"), so no foresight is ever the next setup's backsight. A level run "
       "needs setups between the rods, each backsighting the point the setup before it "
       "foresighted (a turning point), from its first bench mark to its last."},
      {"a long traverse names four legs and counts the rest", Traverse(7),
       "setup 5 at \"STN5\" backsights \"STN4\"; and 2 more), so"},
      {"a level run between named stations",
       Book({SetupAt("record s1", U"STN1", {U"BM1", U"TP1"}),
             SetupAt("record s2", U"STN2", {U"TP1", U"BM2"})}),
       ""},
      {"a level run without station names",
       Book({SetupAt("line 1", U"", {U"BM1", U"TP1"}), SetupAt("line 3", U"", {U"TP1", U"BM2"})}),
       ""},
      {"one setup on a mark", Book({on_mark}),
       "record s1: this file holds one setup, standing on the point \"CP 7\" that the file also "
       "holds, and observing 3 points: a survey from one station (a topographic or stakeout job), "
       "not a level run. A level run needs"},
      {"one level setup with a side shot", Book({one_level_setup}), ""},
      {"a setup of a topographic survey",
       Book({SetupAt("record s1", U"STN1", ManyPoints(201)),
             SetupAt("record s2", U"STN2", {U"PA-A", U"BM2"})}),
       "record s1: setup 1 at \"STN1\" holds 201 observations, more than the 200 of a level-run "
       "setup: a topographic survey, not a level run."},
      {"two hundred observations", Book({SetupAt("line 1", U"", ManyPoints(200))}), ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    try {
      RefuseWhatIsNotALevelRun(row.book);
      EXPECT_EQ(row.message, "") << "accepted";
    } catch (const ConvertError& error) {
      EXPECT_NE(row.message, "") << error.what();
      EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace quarrow
