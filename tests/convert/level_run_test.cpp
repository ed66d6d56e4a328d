// Grouping readings into observations, the faces, and the order of the
// field file: backsight, side shots, foresight.

#include "convert/level_run.h"

#include <gtest/gtest.h>

namespace quarrow {
namespace {

constexpr double kDegree = 3600;

Reading Read(const std::u32string& name, double zenith_degrees, double slope, double rod = 1.5) {
  static int line = 0;
  return Reading{name, zenith_degrees * kDegree, slope, rod, "line " + std::to_string(++line)};
}

SetupReadings SetupOf(std::vector<Reading> readings) {
  SetupReadings setup = SetupStartingAt(readings.front().place);
  setup.readings = std::move(readings);
  return setup;
}

FieldBook Book(const char* kind, std::vector<SetupReadings> setups) {
  FieldBook book;
  book.kind = kind;
  book.setups = std::move(setups);
  return book;
}

std::vector<std::u32string> Names(const ReducedSetup& setup) {
  std::vector<std::u32string> names;
  for (const Observation& o : setup.observations) names.push_back(o.name);
  return names;
}

TEST(ReduceFieldBook, FacesAreReducedAndAveraged) {
  struct Row {
    const char* what;
    std::vector<Reading> readings;  // of the point P
    double zenith_seconds;
    double slope;
    std::optional<double> index_error;
  };
  const Row rows[] = {
      {"face I alone", {Read(U"P", 89.5, 50)}, 89.5 * kDegree, 50, std::nullopt},
      {"face II alone is reduced", {Read(U"P", 270.5, 50)}, 89.5 * kDegree, 50, std::nullopt},
      {"a pair",
       {Read(U"P", 90 + 10 / kDegree, 50.002), Read(U"P", 270 + 4 / kDegree, 49.998)},
       90 * kDegree + 3,
       50,
       7},
      {"two face I readings averaged first",
       {Read(U"P", 90, 50.001), Read(U"P", 90 + 2 / kDegree, 50.003),
        Read(U"P", 270 - 3 / kDegree, 50.006)},
       90 * kDegree + 2,
       50.004,
       -1},
      {"face II first", {Read(U"P", 269.75, 40), Read(U"P", 90.25, 40)}, 90.25 * kDegree, 40, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<Reading> readings = row.readings;
    readings.push_back(Read(U"BM2", 90, 30));
    const ReducedRun run = ReduceFieldBook(Book("GSI", {SetupOf(readings)}));
    const Observation& p = run.setups.at(0).observations.at(0);
    EXPECT_EQ(p.role, Role::kBacksight);
    EXPECT_NEAR(p.zenith, row.zenith_seconds, 1e-6);
    EXPECT_NEAR(p.slope, row.slope, 1e-9);
    EXPECT_EQ(p.index_error.has_value(), row.index_error.has_value());
    if (p.index_error && row.index_error) {
      EXPECT_NEAR(*p.index_error, *row.index_error, 1e-6);
    }
    EXPECT_EQ(run.face_pairs, row.index_error ? 1 : 0);
  }
}

TEST(ReduceFieldBook, NameChainingOrdersEverySetup) {
  SetupReadings second = SetupOf(
      {Read(U"SS4", 90, 20), Read(U"TP1", 90, 30), Read(U"BM2", 90, 30), Read(U"SS5", 90, 20)});
  second.backsight_reading = 1;  // classified BackSight in the file, though observed second
  const ReducedRun run = ReduceFieldBook(
      Book("JobXML", {SetupOf({Read(U"BM1", 90, 30), Read(U"SS1", 90, 20), Read(U"TP1", 90, 30),
                               Read(U"SS2", 90, 20), Read(U"SS3", 90, 20)}),
                      second}));
  ASSERT_EQ(run.setups.size(), 2u);
  EXPECT_EQ(Names(run.setups[0]),
            (std::vector<std::u32string>{U"BM1", U"SS1", U"SS2", U"SS3", U"TP1"}));
  // The last setup ends on its last observation.
  EXPECT_EQ(Names(run.setups[1]), (std::vector<std::u32string>{U"TP1", U"SS4", U"BM2", U"SS5"}));
  EXPECT_EQ(run.observations, 9);
  EXPECT_EQ(run.side_shots, 5);
  EXPECT_EQ(run.setups[0].observations.back().role, Role::kForesight);
  EXPECT_EQ(run.setups[0].observations[1].role, Role::kSideShot);
  EXPECT_TRUE(run.notes.empty());
}

TEST(ReduceFieldBook, ASideShotNamedLikeTheTurningPointLeavesTheLastAsForesight) {
  const ReducedRun run = ReduceFieldBook(
      Book("GSI", {SetupOf({Read(U"BM1", 90, 30), Read(U"TP1", 91, 20), Read(U"SS1", 90, 20),
                            Read(U"TP1", 90, 30), Read(U"SS2", 90, 20)}),
                   SetupOf({Read(U"TP1", 90, 30), Read(U"BM2", 90, 30)})}));
  const ReducedSetup& first = run.setups[0];
  EXPECT_EQ(Names(first), (std::vector<std::u32string>{U"BM1", U"TP1", U"SS1", U"SS2", U"TP1"}));
  EXPECT_NEAR(first.observations[1].zenith, 91 * kDegree, 1e-6);  // the side shot
  EXPECT_NEAR(first.observations[4].zenith, 90 * kDegree, 1e-6);  // the foresight
  ASSERT_EQ(run.notes.size(), 1u);
  EXPECT_EQ(run.notes[0],
            "Setup 1 observes \"TP1\" 2 times; the last is taken as the foresight, the others "
            "as side shots.");
}

// A foresight the file marks (RW5's FD, LandXML's purpose, GTS-7's FS)
// decides where the next backsight cannot: in the last setup, and among
// several observations of the next backsight. Where it disagrees with the
// next backsight, the run's connection wins and the summary says so.
TEST(ReduceFieldBook, AForesightTheFileMarks) {
  auto marked = [](std::vector<Reading> readings, std::size_t foresight) {
    SetupReadings setup = SetupOf(std::move(readings));
    setup.foresight_reading = foresight;
    return setup;
  };
  struct Row {
    const char* what;
    FieldBook book;
    std::vector<std::vector<std::u32string>> setups;
    std::vector<std::string> notes;
  };
  const Row rows[] = {
      {"the last setup's foresight before its side shots",
       Book("RW5", {marked({Read(U"TP1", 90, 30), Read(U"BM2", 90, 30), Read(U"BM2", 270, 30),
                            Read(U"SS1", 90, 20)},
                           2)}),
       {{U"TP1", U"SS1", U"BM2"}},
       {}},
      {"among two observations of the next backsight",
       Book("RW5", {marked({Read(U"BM1", 90, 30), Read(U"TP1", 90, 30), Read(U"SS1", 90, 20),
                            Read(U"TP1", 91, 20)},
                           1),
                    SetupOf({Read(U"TP1", 90, 30), Read(U"BM2", 90, 30)})}),
       {{U"BM1", U"SS1", U"TP1", U"TP1"}, {U"TP1", U"BM2"}},
       {"Setup 1 observes \"TP1\" 2 times; the one the file marks as the foresight is taken as "
        "the foresight, the others as side shots."}},
      {"a mark the next backsight contradicts",
       Book("RW5", {marked({Read(U"BM1", 90, 30), Read(U"TP1", 90, 30), Read(U"SS1", 90, 20)}, 2),
                    SetupOf({Read(U"TP1", 90, 30), Read(U"BM2", 90, 30)})}),
       {{U"BM1", U"SS1", U"TP1"}, {U"TP1", U"BM2"}},
       {"Setup 1 marks \"SS1\" (line 0) as its foresight, but setup 2 backsights \"TP1\"; "
        "\"TP1\" is taken as the foresight, \"SS1\" as a side shot."}},
      {"a mark on the backsight itself counts for nothing",
       Book("RW5", {marked({Read(U"BM1", 90, 30), Read(U"BM2", 90, 30), Read(U"SS1", 90, 20)}, 0)}),
       {{U"BM1", U"BM2", U"SS1"}},
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const ReducedRun run = ReduceFieldBook(row.book);
    std::vector<std::vector<std::u32string>> setups;
    for (const ReducedSetup& setup : run.setups) setups.push_back(Names(setup));
    EXPECT_EQ(setups, row.setups);
    std::vector<std::string> notes = run.notes;
    for (std::string& note : notes) {
      // The readings' lines are numbered by a counter shared with other tests.
      const std::size_t line = note.find("(line ");
      if (line != std::string::npos) note.replace(line, note.find(')', line) - line, "(line 0");
    }
    EXPECT_EQ(notes, row.notes);
  }
}

TEST(ReduceFieldBook, Refusals) {
  struct Row {
    const char* what;
    FieldBook book;
    const char* message;
  };
  SetupReadings unknown_backsight = SetupOf({Read(U"TP1", 90, 30), Read(U"BM2", 90, 30)});
  unknown_backsight.backsight_name = U"TP9";
  SetupReadings at_stn1 = SetupOf({Read(U"BM1", 90, 30), Read(U"TP1", 90, 30)});
  at_stn1.station = U"STN1";
  SetupReadings backsights_stn1 = SetupOf({Read(U"STN1", 90, 30), Read(U"BM2", 90, 30)});
  const Row rows[] = {
      {"no setups", Book("GSI", {}), "no total-station observations"},
      {"one observation", Book("GSI", {SetupOf({Read(U"BM1", 90, 30), Read(U"BM1", 270, 30)})}),
       "setup 1 (line"},
      {"two rod heights",
       Book("GSI", {SetupOf({Read(U"BM1", 90, 30, 1.5), Read(U"BM1", 270, 30, 1.8),
                             Read(U"TP1", 90, 30)})}),
       "point \"BM1\" is read with two rod heights, 1.5000 m"},
      {"run does not connect",
       Book("GSI", {SetupOf({Read(U"BM1", 90, 30), Read(U"TP1", 90, 30)}),
                    SetupOf({Read(U"TP2", 90, 30), Read(U"BM2", 90, 30)})}),
       "setup 1 (line"},
      {"backsight never observed", Book("JobXML", {unknown_backsight}),
       "the backsight \"TP9\" that the file names is never observed in this setup."},
      {"a traverse leg", Book("JobXML", {at_stn1, backsights_stn1}),
       "never observes point \"STN1\", which setup 2 backsights (it is where setup 1 stood, a "
       "traverse leg); the run does not connect. Each setup's foresight must be the next setup's "
       "backsight."},
      {"elevation angle", Book("GSI", {SetupOf({Read(U"BM1", 2, 30), Read(U"TP1", 90, 30)})}),
       "zenith angle under 30 degrees"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    try {
      ReduceFieldBook(row.book);
      ADD_FAILURE() << "accepted";
    } catch (const ConvertError& error) {
      EXPECT_NE(std::string(error.what()).find(row.message), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace quarrow
