// Networks the way agencies run them: levelled lines beside trig runs,
// groups with their own precision, variance components, the control check
// and free datums, checked against published and hand-computed results.

#include <gtest/gtest.h>

#include <QFile>
#include <cmath>
#include <map>
#include <random>
#include <sstream>

#include "network/network_adjustment.h"
#include "network/network_outputs.h"
#include "tests/support/fake_platform.h"

namespace quarrow {
namespace {

const std::string kData = QUARROW_TEST_DATA;
const std::string kExamples = QUARROW_EXAMPLES;

std::string ReadFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  return file.readAll().toStdString();
}

// The mark named `name`'s index, or -1.
std::int64_t MarkIndex(const Network& network, const std::string& name) {
  for (std::size_t m = 0; m < network.mark_names.size(); ++m) {
    if (network.mark_names[m] == name) return static_cast<std::int64_t>(m);
  }
  return -1;
}

struct Adjusted {
  std::optional<Network> network;
  NetworkResult result;
  bool solved = false;
  std::vector<std::string> shown;  // every message box
};

Adjusted Adjust(FakePlatform& platform, const NetworkRequest& request) {
  Adjusted adjusted;
  adjusted.network = LoadNetwork(platform, request);
  for (const MessageBoxSpec& box : platform.shown) adjusted.shown.push_back(box.text);
  if (adjusted.network)
    adjusted.solved = AdjustNetwork(*adjusted.network, request, adjusted.result);
  return adjusted;
}

// The sample network of the GNU Gama documentation, as published: heights to
// 0.01 mm, their standard deviations to 0.1 mm, m0' 5.42 mm on 5 degrees of
// freedom with an a-priori 5 mm on every height difference.
TEST(NetworkGroups, TextbookNetworkAgreesToItsPublishedPrecision) {
  FakePlatform platform;
  platform.files["net.csv"] = ReadFile(kData + "/networks/gama-sample-1d.csv");
  platform.files["marks.csv"] = ReadFile(kData + "/networks/gama-sample-1d-marks.csv");
  NetworkRequest request;
  request.marks_file = "marks.csv";
  request.lines_files = {"net.csv"};
  const Adjusted adjusted = Adjust(platform, request);
  ASSERT_TRUE(adjusted.solved) << (adjusted.shown.empty() ? "" : adjusted.shown[0]);
  const Network& network = *adjusted.network;
  EXPECT_EQ(network.units, Units::kMetric);  // from the file's first lines
  const struct {
    const char* mark;
    double height;
    double std_dev_mm;
  } published[] = {{"4", 998.77513, 3.1}, {"3", 997.93325, 3.5}, {"2", 999.27487, 3.1}};
  for (const auto& mark : published) {
    SCOPED_TRACE(mark.mark);
    const auto m = static_cast<std::size_t>(MarkIndex(network, mark.mark));
    EXPECT_NEAR(adjusted.result.solution.elevation[m], mark.height, 0.5e-5 + 1e-9);
    EXPECT_NEAR(adjusted.result.solution.std_dev[m] * 1000, mark.std_dev_mm, 0.05);
  }
  EXPECT_EQ(adjusted.result.solution.redundancy, 5);
  // m0' = 5 mm times the root of v'Pv over the redundancy: [pvv] 146.625 mm^2.
  EXPECT_NEAR(adjusted.result.test_statistic, 146.625 / 25, 1e-6);
  EXPECT_NEAR(5 * std::sqrt(adjusted.result.test_statistic / 5), 5.42, 0.005);
  for (const RunResult& run : adjusted.result.runs) {
    EXPECT_NEAR(run.std_dev, 0.005, 1e-12);
    ASSERT_TRUE(run.mdb.has_value());
    EXPECT_NEAR(*run.mdb, kDetectableShift * 0.005 / std::sqrt(run.redundancy_number), 1e-12);
  }
  double redundancy = 0;
  for (const RunResult& run : adjusted.result.runs) redundancy += run.redundancy_number;
  EXPECT_NEAR(redundancy, 5, 1e-9);  // the redundancy numbers add up to the redundancy
}

// The example network with run 6 replaced by a levelled line of its own
// difference and length, in the trig group: the same adjustment.
TEST(NetworkGroups, TrigRunAndTheSameDifferenceAsALineAdjustAlike) {
  FakePlatform platform;
  const std::vector<std::string> runs = {"run1-n1-j2.txt", "run2-j2-j3.txt", "run3-j3-n1.txt",
                                         "run4-j2-n4.txt", "run5-n4-j3.txt", "run6-j3-n7.txt"};
  for (const std::string& run : runs) platform.files[run] = ReadFile(kExamples + "/network/" + run);
  platform.files["marks.csv"] = ReadFile(kExamples + "/network/marks.csv");
  NetworkRequest with_run;
  with_run.marks_file = "marks.csv";
  with_run.run_files = runs;
  const Adjusted all_runs = Adjust(platform, with_run);
  ASSERT_TRUE(all_runs.solved);
  const RunRecord& six = all_runs.network->runs[5];
  std::ostringstream line;
  line.precision(17);
  line << "J-3,BM N-7," << six.difference << "," << six.length << ",,trig\r\n";
  platform.files["six.csv"] = line.str();
  NetworkRequest with_line = with_run;
  with_line.run_files.pop_back();
  with_line.lines_files = {"six.csv"};
  const Adjusted lined = Adjust(platform, with_line);
  ASSERT_TRUE(lined.solved) << (lined.shown.empty() ? "" : lined.shown[0]);
  for (std::size_t m = 0; m < all_runs.network->marks.size(); ++m) {
    const std::int64_t other = MarkIndex(*lined.network, all_runs.network->mark_names[m]);
    ASSERT_GE(other, 0);
    EXPECT_NEAR(lined.result.solution.elevation[static_cast<std::size_t>(other)],
                all_runs.result.solution.elevation[m], 1e-11);
    EXPECT_NEAR(lined.result.solution.std_dev[static_cast<std::size_t>(other)],
                all_runs.result.solution.std_dev[m], 1e-12);
  }
  EXPECT_NEAR(lined.result.test_statistic, all_runs.result.test_statistic, 1e-9);
}

// A grid whose two groups are in truth 1 and 3 mm per root km, both taken as
// 1 a priori: the estimated sigmas find them again.
TEST(NetworkGroups, VarianceComponentsRecoverTheGroupsPrecision) {
  constexpr int kSide = 30;
  std::mt19937_64 random(20261208);
  std::normal_distribution<double> noise(0, 1);
  const auto name = [](int row, int column) {
    return "P" + std::to_string(row) + "-" + std::to_string(column);
  };
  const auto height = [](int row, int column) { return 100 + 0.3 * row - 0.2 * column; };
  std::string lines = "from,to,difference,length,standard_deviation,group\n";
  for (int row = 0; row < kSide; ++row) {
    for (int column = 0; column < kSide; ++column) {
      for (const auto [dr, dc] : {std::pair{0, 1}, std::pair{1, 0}}) {
        if (row + dr >= kSide || column + dc >= kSide) continue;
        const bool digital = (row + column) % 2 == 0;
        const double sigma_m = (digital ? 1.0 : 3.0) / 1000;  // a 1 km line
        const double difference =
            height(row + dr, column + dc) - height(row, column) + sigma_m * noise(random);
        std::ostringstream line;
        line.precision(12);
        line << name(row, column) << "," << name(row + dr, column + dc) << "," << difference
             << ",1000,," << (digital ? "digital" : "optical") << "\n";
        lines += line.str();
      }
    }
  }
  FakePlatform platform;
  platform.files["grid.csv"] = "# units: metric\n" + lines;
  platform.files["marks.csv"] = name(0, 0) + "," + std::to_string(height(0, 0)) + "\n";
  NetworkRequest request;
  request.marks_file = "marks.csv";
  request.lines_files = {"grid.csv"};
  request.sigma_millimetres = {{"digital", 1.0}, {"optical", 1.0}};
  request.variance_components = true;
  const Adjusted adjusted = Adjust(platform, request);
  ASSERT_TRUE(adjusted.solved) << (adjusted.shown.empty() ? "" : adjusted.shown[0]);
  ASSERT_EQ(adjusted.result.groups.size(), 2u);
  for (const GroupResult& group : adjusted.result.groups) {
    SCOPED_TRACE(group.name);
    ASSERT_TRUE(group.sigma_estimated.has_value());
    EXPECT_NEAR(*group.sigma_estimated, group.name == "digital" ? 1.0 : 3.0,
                group.name == "digital" ? 0.1 : 0.3);
  }
  EXPECT_GT(adjusted.result.iterations, 1);
  // Adjusted with the factors found, the data meet their precision.
  EXPECT_NEAR(adjusted.result.test_statistic / adjusted.result.solution.redundancy, 1, 0.02);
}

// A published elevation 0.10 ft off: the control check names that mark,
// not the runs around it, and the network fails.
TEST(NetworkGroups, ControlCheckNamesAWrongFixedMark) {
  FakePlatform platform;
  NetworkRequest request;
  request.marks_file = "marks.csv";
  for (const char* run : {"run1-n1-j2.txt", "run2-j2-j3.txt", "run3-j3-n1.txt", "run4-j2-n4.txt",
                          "run5-n4-j3.txt", "run6-j3-n7.txt"}) {
    platform.files[run] = ReadFile(kExamples + "/network/" + run);
    request.run_files.push_back(run);
  }
  std::string marks = ReadFile(kExamples + "/network/marks.csv");
  marks.replace(marks.find("535.459"), 7, "535.559");
  platform.files["marks.csv"] = marks;
  const Adjusted adjusted = Adjust(platform, request);
  ASSERT_TRUE(adjusted.solved);
  ASSERT_EQ(adjusted.result.control.size(), 1u);
  const ControlCheck& check = adjusted.result.control[0];
  EXPECT_EQ(adjusted.network->mark_names[static_cast<std::size_t>(check.mark)], "BM N-4");
  EXPECT_EQ(adjusted.network->mark_names[static_cast<std::size_t>(check.held)], "BM N-1");
  EXPECT_NEAR(check.difference, 0.1 + 0.00434, 0.0005);
  EXPECT_TRUE(check.flagged);
  EXPECT_EQ(adjusted.result.control_flagged, 1);
  EXPECT_FALSE(adjusted.result.all_meet);

  // Held only to BM N-1, the network is minimally constrained.
  request.datum = NetworkDatum::kMinimal;
  const Adjusted minimal = Adjust(platform, request);
  ASSERT_TRUE(minimal.solved);
  const auto n4 = static_cast<std::size_t>(MarkIndex(*minimal.network, "BM N-4"));
  EXPECT_NEAR(minimal.result.solution.elevation[n4], 535.559 - check.difference, 1e-9);
  EXPECT_GT(minimal.result.solution.std_dev[n4], 0);
}

// Three marks, three lines of 1 cm each, A and B listed: the free network's
// heights keep the lines' adjusted differences and move as a whole so that
// A and B change least; its cofactors are those of the bordered normal
// equations, worked here by hand.
TEST(NetworkGroups, FreeNetworkIsTheMinimumNormDatum) {
  FakePlatform platform;
  platform.files["marks.csv"] = "A,100\nB,101\n";
  platform.files["net.csv"] = "# units: metric\nA,B,1.0,1,0.01\nB,C,2.0,1,0.01\nA,C,3.1,1,0.01\n";
  NetworkRequest request;
  request.marks_file = "marks.csv";
  request.lines_files = {"net.csv"};
  request.datum = NetworkDatum::kFree;
  const Adjusted adjusted = Adjust(platform, request);
  ASSERT_TRUE(adjusted.solved) << (adjusted.shown.empty() ? "" : adjusted.shown[0]);
  const Network& network = *adjusted.network;
  const auto at = [&](const char* name) {
    return static_cast<std::size_t>(MarkIndex(network, name));
  };
  const std::vector<double>& h = adjusted.result.solution.elevation;
  // The misclosure of 0.1 shared out: A-B 1.0333, B-C 2.0333, A-C 3.0667.
  EXPECT_NEAR(h[at("B")] - h[at("A")], 1.1 / 3 + 2.0 / 3, 1e-12);
  EXPECT_NEAR(h[at("C")] - h[at("A")], 3.1 - 0.1 / 3, 1e-12);
  // Least change of A and B from 100 and 101.
  EXPECT_NEAR(h[at("A")] + h[at("B")], 201, 1e-12);
  // Held at A, the triangle (every line 1e-4 m^2) gives Q_BB = Q_CC = 2/3
  // and Q_BC = 1/3 (times 1e-4). Moved to the datum {A, B}, Q_ii - y_i +
  // s/4 with y = Q (1, 1, 0) = (0, 2/3, 1/3) and s = 2/3: Q_AA = Q_BB = 1/6,
  // Q_CC = 1/2.
  const double sigma = adjusted.result.sigma_units;
  const auto q = [&](const char* name) {
    const double s = adjusted.result.solution.std_dev[at(name)] / sigma;
    return s * s * sigma * sigma;
  };
  EXPECT_NEAR(q("A"), 1e-4 / 6, 1e-12);
  EXPECT_NEAR(q("B"), 1e-4 / 6, 1e-12);
  EXPECT_NEAR(q("C"), 1e-4 / 2, 1e-12);
  EXPECT_TRUE(adjusted.result.datum_marks[at("A")]);
  EXPECT_FALSE(adjusted.result.datum_marks[at("C")]);
}

// A data set better than its a-priori sigma passes; one worse fails.
TEST(NetworkGroups, OnlyTheUpperTailOfTheGlobalTestFails) {
  FakePlatform platform;
  platform.files["net.csv"] = ReadFile(kData + "/networks/gama-sample-1d.csv");
  platform.files["marks.csv"] = ReadFile(kData + "/networks/gama-sample-1d-marks.csv");
  for (const auto& [scale, passes, pessimistic] :
       {std::tuple{"0.005", true, false}, std::tuple{"0.05", true, true},
        std::tuple{"0.0005", false, false}}) {
    SCOPED_TRACE(scale);
    std::string lines = platform.files["net.csv"];
    for (std::size_t at = lines.find(",0.005,"); at != std::string::npos;
         at = lines.find(",0.005,", at + 1)) {
      lines.replace(at + 1, 5, scale);
    }
    platform.files["scaled.csv"] = lines;
    NetworkRequest request;
    request.marks_file = "marks.csv";
    request.lines_files = {"scaled.csv"};
    const Adjusted adjusted = Adjust(platform, request);
    ASSERT_TRUE(adjusted.solved);
    EXPECT_EQ(adjusted.result.global_test_passed, passes);
    EXPECT_EQ(adjusted.result.apriori_sigma_pessimistic, pessimistic);
  }
}

TEST(NetworkGroups, RefusesWhatItCannotWeigh) {
  const struct {
    const char* what;
    std::string lines;
    std::string shown;
  } rows[] = {
      {"a group without a sigma", "A,B,1.0,500,,gnss\n",
       "The group gnss has no a-priori standard error:\r\nnet.csv:1\r\nGive it one with --sigma "
       "gnss=S (mm per root km), or a standard deviation to each of its lines."},
      {"a line from a mark to itself", "A,A,1.0,500\n",
       "line 1 of the lines file goes from A to itself.\r\nnet.csv"},
      {"a length that is no number", "A,B,1.0,5OO\n",
       "line 1 of the lines file: the length is not a positive number.\r\nnet.csv"},
      {"a decimal comma", "A,B,1,05,500\n",
       "A standard deviation of more than 1 m (3.3 ft) in the lines file:\r\nnet.csv, line 1\r\n"
       "Write decimals with a point, not a comma; a standard deviation is in the units of the "
       "network (feet)."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakePlatform platform;
    platform.files["marks.csv"] = "A,100\n";
    platform.files["net.csv"] = row.lines;
    NetworkRequest request;
    request.marks_file = "marks.csv";
    request.lines_files = {"net.csv"};
    const Adjusted adjusted = Adjust(platform, request);
    EXPECT_FALSE(adjusted.network.has_value());
    ASSERT_EQ(adjusted.shown.size(), 1u);
    EXPECT_EQ(adjusted.shown[0], row.shown);
  }
}

}  // namespace
}  // namespace quarrow

namespace quarrow {
namespace {

// The files of a network read and written on one thread and on two: the
// same bytes, messages included.
TEST(NetworkThreads, SameBytesWhateverTheThreads) {
  std::map<int, std::map<std::string, std::string>> written;
  std::map<int, std::vector<std::string>> shown;
  for (const int threads : {1, 2, 3}) {
    FakePlatform platform;
    NetworkRequest request;
    request.marks_file = "marks.csv";
    request.threads = threads;
    platform.files["marks.csv"] = ReadFile(kExamples + "/network/marks.csv");
    for (const char* run : {"run1-n1-j2.txt", "run2-j2-j3.txt", "run3-j3-n1.txt", "run4-j2-n4.txt",
                            "run5-n4-j3.txt", "run6-j3-n7.txt"}) {
      std::string text = ReadFile(kExamples + "/network/" + run);
      // A warning in one file, to see the messages keep their order.
      if (std::string(run) == "run3-j3-n1.txt") text.replace(text.find(",5.000"), 6, ",5.00O");
      platform.files[run] = text;
      request.run_files.push_back(run);
    }
    const std::optional<Network> network = LoadNetwork(platform, request);
    ASSERT_TRUE(network.has_value());
    NetworkResult result;
    ASSERT_TRUE(AdjustNetwork(*network, request, result));
    NetworkOutputFiles files;
    files.report = "net.adj";
    files.csv_exports = {"net.csv"};
    files.json_exports = {"net.json"};
    files.run_reports = true;
    ASSERT_TRUE(WriteNetworkOutputs(platform, request, *network, result, files));
    written[threads] = platform.files;
    for (const auto& [file, checker] : network->warnings) {
      for (const FieldFileWarning& warning : checker.warnings()) {
        shown[threads].push_back(file + ":" + std::to_string(warning.line) + " " + warning.text);
      }
    }
  }
  EXPECT_EQ(written[1].size(), 6u + 1 + 6 + 3);  // runs, marks, their reports, three outputs
  EXPECT_EQ(written[1], written[2]);
  EXPECT_EQ(written[1], written[3]);
  ASSERT_EQ(shown[1].size(), 1u);
  EXPECT_EQ(shown[1], shown[2]);
}

}  // namespace
}  // namespace quarrow
