// The least-squares core on networks small enough to adjust by hand, the
// chi-square quantiles against published tables, and the marks file.

#include <gtest/gtest.h>

#include <Eigen/SparseCholesky>
#include <algorithm>
#include <cmath>
#include <random>

#include "network/chi_square.h"
#include "network/loops.h"
#include "network/marks_file.h"
#include "network/network_solver.h"

namespace quarrow {
namespace {

constexpr MarkStatus kFixed = MarkStatus::kFixed;
constexpr MarkStatus kWeighted = MarkStatus::kWeighted;
constexpr MarkStatus kAdjusted = MarkStatus::kAdjusted;

struct HandCase {
  const char* what;
  std::vector<NetworkMark> marks;
  std::vector<NetworkRun> runs;
  double sigma;
  std::vector<double> elevations;  // expected, per mark
  std::vector<double> residuals;   // expected, per run
  std::vector<double> cofactors;   // expected q_vv, per run
  std::int64_t redundancy;
};

TEST(SolveNetwork, AgreesWithHandAdjustments) {
  const HandCase cases[] = {
      // A triangle held at A closes by 0.006: each run takes -0.006 K / sum K,
      // and q_vv = K^2 / sum K (the cofactors times the weights add up to the
      // redundancy, one).
      {"triangle",
       {{kFixed, 100, 0}, {kAdjusted, 0, 0}, {kAdjusted, 0, 0}},
       {{0, 1, 1.0, 1}, {1, 2, 2.0, 2}, {2, 0, -2.994, 3}},
       0.002,
       {100, 100.999, 102.997},
       {-0.001, -0.002, -0.003},
       {1.0 / 6, 4.0 / 6, 9.0 / 6},
       1},
      // Two loops of two runs each, A-B twice and B-C twice: every mark
      // lands on the mean of its two differences.
      {"two loops",
       {{kFixed, 0, 0}, {kAdjusted, 0, 0}, {kAdjusted, 0, 0}},
       {{0, 1, 1.000, 1}, {0, 1, 1.006, 1}, {1, 2, 1.000, 2}, {1, 2, 0.994, 2}},
       0.002,
       {0, 1.003, 2.000},
       {0.003, -0.003, -0.003, 0.003},
       {0.5, 0.5, 1, 1},
       2},
      // One mark between two fixed ones: the chain's misclosure in halves.
      {"chain between fixed marks",
       {{kFixed, 0, 0}, {kAdjusted, 0, 0}, {kFixed, 3, 0}},
       {{0, 1, 1.0, 1}, {1, 2, 1.994, 1}},
       0.002,
       {0, 1.003, 3},
       {0.003, 0.003},
       {0.5, 0.5},
       1},
      // A mark whose listed deviation equals a kilometre's sigma weighs as
      // much as the run: the mean of 10.000 and 12 - 2.006.
      {"weighted mark",
       {{kWeighted, 10, 0.002}, {kFixed, 12, 0}},
       {{0, 1, 2.006, 1}},
       0.002,
       {9.997, 12},
       {-0.003},
       {0.5},
       1},
      // The same with twice the a-priori sigma: the mark now weighs four runs.
      {"weighted mark, larger sigma",
       {{kWeighted, 10, 0.002}, {kFixed, 12, 0}},
       {{0, 1, 2.006, 1}},
       0.004,
       {9.9988, 12},
       {-0.0048},
       {0.8},
       1},
      // A loop run observes zero: all of its difference is its residual.
      {"loop run",
       {{kFixed, 50, 0}, {kAdjusted, 0, 0}},
       {{0, 0, 0.004, 1}, {0, 1, 1.5, 2}},
       0.002,
       {50, 51.5},
       {-0.004, 0},
       {1, 0},
       1},
  };
  for (const HandCase& c : cases) {
    SCOPED_TRACE(c.what);
    const NetworkSolution solution = SolveNetwork(c.marks, c.runs, c.sigma);
    ASSERT_TRUE(solution.solved);
    EXPECT_EQ(solution.redundancy, c.redundancy);
    for (std::size_t m = 0; m < c.elevations.size(); ++m) {
      EXPECT_NEAR(solution.elevation[m], c.elevations[m], 1e-9) << "mark " << m;
    }
    for (std::size_t r = 0; r < c.residuals.size(); ++r) {
      EXPECT_NEAR(solution.residual[r], c.residuals[r], 1e-9) << "run " << r;
      EXPECT_NEAR(solution.residual_cofactor[r], c.cofactors[r], 1e-9) << "run " << r;
    }
  }
}

// The cofactors from the sparse inverse against N^-1 a' solved run by run,
// on a random network large enough to make fill-in.
TEST(SolveNetwork, ResidualCofactorsMatchSolvingEachRun) {
  std::mt19937 random(11);
  const int marks_count = 60;
  std::vector<NetworkMark> marks(marks_count);
  marks[0].status = kFixed;
  marks[1].status = kWeighted;
  marks[1].published = 3;
  marks[1].std_dev = 0.01;
  std::vector<NetworkRun> runs;
  std::uniform_int_distribution<int> pick(0, marks_count - 1);
  std::uniform_real_distribution<double> length(0.2, 3.0);
  for (int m = 1; m < marks_count; ++m) runs.push_back({m - 1, m, 0.5, length(random)});
  for (int extra = 0; extra < 90; ++extra)
    runs.push_back({pick(random), pick(random), 0.1, length(random)});
  const double sigma = 0.002;
  const NetworkSolution solution = SolveNetwork(marks, runs, sigma);
  ASSERT_TRUE(solution.solved);

  // The same normal matrix, unknowns 0..58 for marks 1..59.
  using Matrix = Eigen::SparseMatrix<double>;
  std::vector<Eigen::Triplet<double>> entries;
  for (const NetworkRun& run : runs) {
    const double w = 1 / run.length_km;
    const int a = static_cast<int>(run.from) - 1;
    const int b = static_cast<int>(run.to) - 1;
    if (a == b) continue;
    if (a >= 0) entries.emplace_back(a, a, w);
    if (b >= 0) entries.emplace_back(b, b, w);
    if (a >= 0 && b >= 0) {
      entries.emplace_back(a, b, -w);
      entries.emplace_back(b, a, -w);
    }
  }
  entries.emplace_back(0, 0, sigma * sigma / (0.01 * 0.01));
  Matrix normal(marks_count - 1, marks_count - 1);
  normal.setFromTriplets(entries.begin(), entries.end());
  Eigen::SimplicialLLT<Matrix> factor(normal);
  for (std::size_t r = 0; r < runs.size(); ++r) {
    SCOPED_TRACE(r);
    Eigen::VectorXd a = Eigen::VectorXd::Zero(marks_count - 1);
    if (runs[r].from == runs[r].to) continue;
    if (runs[r].to > 0) a[runs[r].to - 1] += 1;
    if (runs[r].from > 0) a[runs[r].from - 1] -= 1;
    const double expected = runs[r].length_km - a.dot(factor.solve(a));
    EXPECT_NEAR(solution.residual_cofactor[r], expected > 1e-9 * runs[r].length_km ? expected : 0,
                1e-10);
  }
  for (int m = 1; m < marks_count; ++m) {
    Eigen::VectorXd e = Eigen::VectorXd::Zero(marks_count - 1);
    e[m - 1] = 1;
    EXPECT_NEAR(solution.std_dev[static_cast<std::size_t>(m)],
                sigma * std::sqrt(factor.solve(e)[m - 1]), 1e-12);
  }
}

TEST(SolveNetwork, LoopsAreIndependentAndCloseOnTheirRuns) {
  // Two loops sharing run 1 (B-C), and the chain between the fixed marks A
  // and D; a loop run at B.
  const std::vector<NetworkMark> marks = {
      {kFixed, 10, 0}, {kAdjusted, 0, 0}, {kAdjusted, 0, 0}, {kFixed, 20, 0}, {kAdjusted, 0, 0}};
  const std::vector<NetworkRun> runs = {
      {0, 1, 1.000, 1},   // A-B
      {1, 2, 2.000, 1},   // B-C
      {2, 4, 3.000, 1},   // C-E
      {4, 1, -5.010, 1},  // E-B: loop B C E closes by -0.010
      {2, 3, 7.004, 1},   // C-D: chain A B C D misses 20 - 10 by +0.004
      {1, 1, 0.002, 1},   // loop run at B
  };
  const std::vector<NetworkLoop> loops = FindLoops(marks, runs);
  ASSERT_EQ(loops.size(), 3u);  // 5 runs and 2 origin ties over 6 nodes, and the loop run
  std::vector<double> misclosures;
  for (const NetworkLoop& loop : loops) {
    misclosures.push_back(loop.misclosure);
    // Walking the steps visits a closed chain: each step starts where the
    // last one ended (or at a fixed mark for a chain).
    std::int64_t at = loop.first_fixed >= 0 ? loop.first_fixed : -1;
    for (const LoopStep& step : loop.steps) {
      const NetworkRun& run = runs[static_cast<std::size_t>(step.run)];
      const std::int64_t start = step.forward ? run.from : run.to;
      if (at >= 0) {
        EXPECT_EQ(start, at);
      }
      at = step.forward ? run.to : run.from;
    }
    if (loop.last_fixed >= 0) {
      EXPECT_EQ(at, loop.last_fixed);
    }
  }
  std::sort(misclosures.begin(), misclosures.end());
  // The loop B C E comes out through the chain's tree path: -0.010 - 0.004.
  EXPECT_NEAR(misclosures[0], -0.014, 1e-12);
  EXPECT_NEAR(misclosures[1], 0.002, 1e-12);
  EXPECT_NEAR(misclosures[2], 0.004, 1e-12);
}

TEST(ChiSquareQuantile, MatchesPublishedTables) {
  const struct {
    std::int64_t degrees;
    double probability;
    double quantile;
  } rows[] = {
      {1, 0.025, 0.000982069}, {1, 0.975, 5.023886},     {2, 0.975, 7.377759},
      {4, 0.025, 0.484419},    {4, 0.975, 11.143287},    {10, 0.975, 20.483177},
      {100, 0.025, 74.221927}, {100, 0.975, 129.561197},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.degrees << " at " << row.probability);
    EXPECT_NEAR(ChiSquareQuantile(row.degrees, row.probability), row.quantile, row.quantile * 2e-6);
  }
}

TEST(ReadMarksFile, ReadsMarksAndRefusesBadLines) {
  const struct {
    const char* what;
    const char* text;
    std::size_t marks;  // read when error is ""
    const char* error;  // the start of the error
  } rows[] = {
      {"header, comment, blank, weighted",
       "# list\r\nname,elev\r\n\r\n BM 1 ,100.5\r\nBM\t2,99,0.01\r\n", 2, ""},
      {"no header", "A,1\nB,2.5e1\n", 2, ""},
      {"name twice after trimming", "A,1\n A ,2\n", 0,
       "The mark A is listed twice in the marks file (lines 1 and 2)."},
      {"comma decimal", "A,1\nB,1,0,5\n", 0, "line 2 of the marks file is not name,elevation"},
      {"zero deviation", "A,1,0\n", 0, "line 1 of the marks file: the standard deviation of A"},
      {"header only", "name,elevation\n", 0, "The marks file lists no mark."},
      {"second header", "name,elevation\nx,y\n", 0,
       "line 2 of the marks file: the elevation of x is not a number."},
      {"no elevation", "A\n", 0, "line 1 of the marks file is not name,elevation"},
      {"no name", ",5\n", 0, "line 1 of the marks file names no mark."},
      {"not finite", "A,1\nB,inf\n", 0, "line 2 of the marks file: the elevation of B"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const MarksFile file = ReadMarksFile(row.text);
    EXPECT_EQ(file.error.substr(0, std::string(row.error).size()), row.error) << file.error;
    if (*row.error == '\0') {
      EXPECT_EQ(file.marks.size(), row.marks);
    }
  }
  const MarksFile file = ReadMarksFile("name,elev\r\n BM 1 ,100.5\r\nBM\t2,99,0.01\r\n");
  ASSERT_EQ(file.marks.size(), 2u);
  EXPECT_EQ(file.marks[0].name, "BM 1");
  EXPECT_FALSE(file.marks[0].std_dev.has_value());
  EXPECT_EQ(file.marks[1].name, "BM\t2");
  EXPECT_DOUBLE_EQ(*file.marks[1].std_dev, 0.01);
}

}  // namespace
}  // namespace quarrow
