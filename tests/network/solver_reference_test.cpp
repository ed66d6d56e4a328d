// The sparse solver against a dense reference: on random networks, grids
// and chains with fixed and weighted marks, every elevation, standard
// deviation, residual and residual cofactor agrees with the normal
// equations formed and inverted densely (Eigen), to 1e-9 relative. The
// factor and its selected inverse in every fill-reducing ordering; the
// refusals; and the same bytes whatever the thread settings.

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "network/network_solver.h"
#include "network/sparse_cholesky.h"

namespace quarrow {
namespace {

struct Network {
  std::vector<NetworkMark> marks;
  std::vector<NetworkRun> runs;
};

// Marks with random elevations; runs carry the true difference plus noise.
// Mark 0 is fixed; every `weighted_every`-th mark is weighted.
Network MakeNetwork(const std::string& shape, int marks_count, int extra_runs, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> elevation(80, 160);
  std::uniform_real_distribution<double> cofactor(0.05, 4.0);
  std::normal_distribution<double> noise(0, 0.003);
  Network network;
  std::vector<double> truth(static_cast<std::size_t>(marks_count));
  for (double& h : truth) h = elevation(random);
  network.marks.resize(truth.size());
  network.marks[0] = {MarkStatus::kFixed, truth[0], 0};
  for (int m = 7; m < marks_count; m += 23)
    network.marks[static_cast<std::size_t>(m)] = {
        MarkStatus::kWeighted, truth[static_cast<std::size_t>(m)] + noise(random), 0.004};
  const auto add = [&](int a, int b) {
    network.runs.push_back(
        {a, b,
         truth[static_cast<std::size_t>(b)] - truth[static_cast<std::size_t>(a)] + noise(random),
         cofactor(random)});
  };
  if (shape == "grid") {
    const int side = static_cast<int>(std::lround(std::sqrt(marks_count)));
    for (int m = 0; m < marks_count; ++m) {
      if (m % side + 1 < side) add(m, m + 1);
      if (m + side < marks_count) add(m, m + side);
    }
  } else {
    for (int m = 1; m < marks_count; ++m) add(m - 1, m);  // a chain through all
  }
  std::uniform_int_distribution<int> pick(0, marks_count - 1);
  for (int r = 0; r < extra_runs; ++r) add(pick(random), pick(random));
  return network;
}

// The adjustment by the book, densely: N = A'PA over the unknowns.
struct Reference {
  std::vector<double> elevation, std_dev, residual, cofactor;
  double weighted_square_sum = 0;
};

Reference SolveDensely(const Network& network, double sigma) {
  std::vector<int> unknown(network.marks.size(), -1);
  int unknowns = 0;
  for (std::size_t m = 0; m < network.marks.size(); ++m)
    if (network.marks[m].status != MarkStatus::kFixed) unknown[m] = unknowns++;
  // An observation's row of the design matrix A, as its unknowns and signs,
  // and the observation less the fixed marks' part.
  struct Row {
    std::vector<std::pair<int, double>> terms;
    double observed = 0;
    double weight = 0;
  };
  std::vector<Row> rows;
  for (const NetworkRun& run : network.runs) {
    Row row{{}, run.difference, 1 / run.length_km};
    for (const auto& [mark, sign] : {std::pair{run.to, 1.0}, std::pair{run.from, -1.0}}) {
      const int u = unknown[static_cast<std::size_t>(mark)];
      if (u >= 0) row.terms.emplace_back(u, sign);
      if (u < 0) row.observed -= sign * network.marks[static_cast<std::size_t>(mark)].published;
    }
    rows.push_back(row);
  }
  for (std::size_t m = 0; m < network.marks.size(); ++m) {
    if (network.marks[m].status != MarkStatus::kWeighted) continue;
    const double sd = network.marks[m].std_dev;
    rows.push_back({{{unknown[m], 1.0}}, network.marks[m].published, sigma * sigma / (sd * sd)});
  }
  Eigen::MatrixXd normal = Eigen::MatrixXd::Zero(unknowns, unknowns);
  Eigen::VectorXd right = Eigen::VectorXd::Zero(unknowns);
  for (const Row& row : rows) {
    for (const auto& [i, a] : row.terms) {
      right[i] += row.weight * a * row.observed;
      for (const auto& [j, b] : row.terms) normal(i, j) += row.weight * a * b;
    }
  }
  const Eigen::MatrixXd inverse = normal.llt().solve(Eigen::MatrixXd::Identity(unknowns, unknowns));
  const Eigen::VectorXd x = inverse * right;

  Reference reference;
  for (std::size_t m = 0; m < network.marks.size(); ++m) {
    const int u = unknown[m];
    reference.elevation.push_back(u >= 0 ? x[u] : network.marks[m].published);
    reference.std_dev.push_back(u >= 0 ? sigma * std::sqrt(inverse(u, u)) : 0);
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    double v = -rows[r].observed;
    double explained = 0;  // a N^-1 a'
    for (const auto& [i, a] : rows[r].terms) {
      v += a * x[i];
      for (const auto& [j, b] : rows[r].terms) explained += a * b * inverse(i, j);
    }
    reference.weighted_square_sum += rows[r].weight * v * v;
    if (r >= network.runs.size()) continue;
    const double k = network.runs[r].length_km;
    reference.residual.push_back(v);
    reference.cofactor.push_back(k - explained > 1e-9 * k ? k - explained : 0);
  }
  return reference;
}

TEST(SolveNetwork, AgreesWithTheDenseAdjustment) {
  const struct {
    const char* shape;
    int marks;
    int extra_runs;
    unsigned seed;
  } cases[] = {
      {"chain", 12, 6, 1},    {"chain", 200, 60, 2}, {"chain", 600, 0, 3},
      {"chain", 150, 900, 4}, {"grid", 100, 0, 5},   {"grid", 900, 40, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.shape << " of " << c.marks << " marks, seed " << c.seed);
    const Network network = MakeNetwork(c.shape, c.marks, c.extra_runs, c.seed);
    const double sigma = 0.002;
    const NetworkSolution solution = SolveNetwork(network.marks, network.runs, sigma);
    ASSERT_TRUE(solution.solved);
    const Reference reference = SolveDensely(network, sigma);
    for (std::size_t m = 0; m < network.marks.size(); ++m) {
      EXPECT_NEAR(solution.elevation[m], reference.elevation[m],
                  1e-9 * std::fabs(reference.elevation[m]))
          << m;
      EXPECT_NEAR(solution.std_dev[m], reference.std_dev[m], 1e-9 * reference.std_dev[m]) << m;
    }
    double redundancy_numbers = 0;
    for (std::size_t r = 0; r < network.runs.size(); ++r) {
      const double k = network.runs[r].length_km;
      EXPECT_NEAR(solution.residual[r], reference.residual[r],
                  1e-9 * (1 + std::fabs(network.runs[r].difference)))
          << r;
      EXPECT_NEAR(solution.residual_cofactor[r], reference.cofactor[r], 1e-9 * k) << r;
      redundancy_numbers += solution.residual_cofactor[r] / k;
    }
    EXPECT_NEAR(solution.weighted_square_sum, reference.weighted_square_sum,
                1e-9 * reference.weighted_square_sum);
    // The weighted marks' shares make up the rest of the redundancy.
    EXPECT_LE(redundancy_numbers, static_cast<double>(solution.redundancy) + 1e-9);
  }
}

// The factor alone, in each ordering: the solution of N x = b and N^-1 on
// the diagonal and the pattern of N, against the dense inverse.
TEST(CholeskyFactor, SolvesAndInvertsInEveryOrdering) {
  const Network network = MakeNetwork("grid", 400, 30, 9);
  std::vector<MatrixEntry> entries;
  const int n = static_cast<int>(network.marks.size());
  Eigen::MatrixXd dense = Eigen::MatrixXd::Zero(n, n);
  for (int i = 0; i < n; ++i) {
    entries.push_back({i, i, 0.5});  // ties every mark to a datum
    dense(i, i) += 0.5;
  }
  for (const NetworkRun& run : network.runs) {
    const auto a = static_cast<int>(std::max(run.from, run.to));
    const auto b = static_cast<int>(std::min(run.from, run.to));
    const double w = 1 / run.length_km;
    if (a == b) continue;
    entries.insert(entries.end(), {{a, a, w}, {b, b, w}, {a, b, -w}});
    dense(a, a) += w;
    dense(b, b) += w;
    dense(a, b) -= w;
    dense(b, a) -= w;
  }
  const SymmetricMatrix matrix = AssembleSymmetric(n, entries);
  const Eigen::MatrixXd inverse = dense.inverse();
  std::vector<double> right(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) right[static_cast<std::size_t>(i)] = std::sin(i);
  const Eigen::VectorXd x = inverse * Eigen::Map<const Eigen::VectorXd>(right.data(), n);
  for (const FillOrdering ordering :
       {FillOrdering::kMetis, FillOrdering::kNestedDissection, FillOrdering::kApproximateMinimum}) {
    SCOPED_TRACE(static_cast<int>(ordering));
    CholeskyFactor factor;
    ASSERT_TRUE(factor.Factorise(matrix, ordering));
    EXPECT_GT(factor.FactorNonzeros(), static_cast<std::int64_t>(matrix.rows.size()));
    const std::vector<double> solved = factor.Solve(right);
    for (int i = 0; i < n; ++i)
      EXPECT_NEAR(solved[static_cast<std::size_t>(i)], x[i], 1e-9 * x.norm());
    const SelectedInverse selected = factor.Invert();
    for (int j = 0; j < n; ++j) {
      for (std::int64_t p = matrix.column_start[static_cast<std::size_t>(j)];
           p < matrix.column_start[static_cast<std::size_t>(j) + 1]; ++p) {
        const auto i = static_cast<int>(matrix.rows[static_cast<std::size_t>(p)]);
        const double scale = std::sqrt(inverse(i, i) * inverse(j, j));
        EXPECT_NEAR(selected.At(i, j), inverse(i, j), 1e-9 * scale) << i << "," << j;
        EXPECT_EQ(selected.At(i, j), selected.At(j, i));
      }
    }
  }
}

// Two factors worked on at once, in METIS's ordering (which draws random
// numbers), give the bytes one alone gives.
TEST(CholeskyFactor, SameBytesOnTwoThreadsAtOnce) {
  const Network network = MakeNetwork("grid", 3600, 0, 13);
  std::vector<MatrixEntry> entries;
  for (const NetworkRun& run : network.runs) {
    const std::int64_t a = std::max(run.from, run.to);
    const std::int64_t b = std::min(run.from, run.to);
    entries.insert(entries.end(), {{a, a, 1 / run.length_km}, {b, b, 1 / run.length_km}});
    entries.push_back({a, b, -1 / run.length_km});
  }
  entries.push_back({0, 0, 1.0});
  const SymmetricMatrix matrix = AssembleSymmetric(3600, entries);
  const auto inverse_diagonal = [&matrix] {
    CholeskyFactor factor;
    std::vector<double> diagonal;
    if (!factor.Factorise(matrix, FillOrdering::kMetis)) return diagonal;
    const SelectedInverse inverse = factor.Invert();
    for (std::int64_t i = 0; i < matrix.size; ++i) diagonal.push_back(inverse.At(i, i));
    return diagonal;
  };
  const std::vector<double> alone = inverse_diagonal();
  ASSERT_EQ(alone.size(), 3600u);
  std::vector<double> together[2];
  std::thread other([&] { together[1] = inverse_diagonal(); });
  together[0] = inverse_diagonal();
  other.join();
  for (const std::vector<double>& diagonal : together) {
    ASSERT_EQ(diagonal.size(), alone.size());
    EXPECT_EQ(std::memcmp(diagonal.data(), alone.data(), alone.size() * sizeof(double)), 0);
  }
}

TEST(AssembleSymmetric, SumsEntriesAtOnePlaceAndSortsRows) {
  const SymmetricMatrix matrix =
      AssembleSymmetric(3, {{2, 0, 1}, {0, 0, 4}, {1, 0, 2}, {2, 0, 0.5}, {2, 2, 3}, {1, 1, 1}});
  EXPECT_EQ(matrix.column_start, (std::vector<std::int64_t>{0, 3, 4, 5}));
  EXPECT_EQ(matrix.rows, (std::vector<std::int64_t>{0, 1, 2, 1, 2}));
  EXPECT_EQ(matrix.values, (std::vector<double>{4, 2, 1.5, 1, 3}));
}

// A mark nothing observes, one only a loop run observes, and two marks only
// tied to each other: N is singular and the network is refused, in silence
// (CHOLMOD must not print its warning).
TEST(SolveNetwork, RefusesSingularNetworksQuietly) {
  const NetworkMark fixed{MarkStatus::kFixed, 100, 0};
  const NetworkMark free{};
  const struct {
    const char* what;
    std::vector<NetworkMark> marks;
    std::vector<NetworkRun> runs;
  } cases[] = {
      {"unobserved", {fixed, free, free}, {{0, 1, 1.0, 1}}},
      {"loop run only", {fixed, free, free}, {{0, 1, 1.0, 1}, {2, 2, 0.001, 1}}},
      {"floating pair",
       {fixed, free, free, free},
       {{0, 1, 1.0, 1}, {2, 3, 0.5, 2}, {3, 2, -0.5, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const NetworkSolution solution = SolveNetwork(c.marks, c.runs, 0.002);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(solution.solved);
  }
}

// Every number of a grid's solution, as the bytes they are.
std::string SolutionBytes() {
  const Network network = MakeNetwork("grid", 2500, 100, 12);
  const NetworkSolution solution = SolveNetwork(network.marks, network.runs, 0.002);
  std::string bytes;
  for (const std::vector<double>* numbers :
       {&solution.elevation, &solution.std_dev, &solution.residual, &solution.residual_cofactor})
    bytes.append(reinterpret_cast<const char*>(numbers->data()), numbers->size() * sizeof(double));
  return bytes;
}

// Prints a digest of SolutionBytes for SameBytesWhateverTheThreadSettings,
// which runs it in processes of its own.
TEST(SolveNetwork, DISABLED_PrintDigest) {
  std::uint64_t hash = 1469598103934665603ULL;
  for (const char byte : SolutionBytes())
    hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
  std::printf("digest %016llx\n", static_cast<unsigned long long>(hash));
}

// Threads the BLAS and OpenMP would start are held to one, so the thread
// settings of the environment change no byte.
TEST(SolveNetwork, SameBytesWhateverTheThreadSettings) {
  EXPECT_EQ(SolutionBytes(), SolutionBytes());
  std::string digests[2];
  const char* settings[2] = {"OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1",
                             "OMP_NUM_THREADS=4 OPENBLAS_NUM_THREADS=4 OMP_DYNAMIC=false"};
  for (int i = 0; i < 2; ++i) {
    const std::string command = std::string("env ") + settings[i] + " " +
                                std::filesystem::read_symlink("/proc/self/exe").string() +
                                " --gtest_also_run_disabled_tests"
                                " --gtest_filter=SolveNetwork.DISABLED_PrintDigest";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_NE(child, nullptr);
    char line[256];
    while (std::fgets(line, sizeof line, child) != nullptr)
      if (std::strncmp(line, "digest ", 7) == 0) digests[i] = line;
    EXPECT_EQ(pclose(child), 0);
  }
  EXPECT_NE(digests[0], "");
  EXPECT_EQ(digests[0], digests[1]);
}

}  // namespace
}  // namespace quarrow
