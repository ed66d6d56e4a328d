// The least-squares solver alone, in memory: a grid of marks joined by runs
// to their neighbours east and south (about two runs per mark, as in a
// network of city blocks), held at its four corners, with noise on every
// difference.
//
//   quarrow-network-bench MARKS...
//     per size: the time of the solve alone (elevations, residuals, v'Pv)
//     and with every statistic the report shows (a-posteriori sigma, the
//     marks' standard deviations, the residual cofactors and redundancy
//     numbers), the fill of the factor, the peak resident memory so far,
//     and a digest of every number of the solution (equal digests: equal
//     bytes);
//   quarrow-network-bench --orderings MARKS...
//     per size and fill-reducing ordering: the time to order and factorise
//     the normal equations, to solve them and to invert them on the
//     factor's pattern, the fill and the factorisation's operations.
//
// Exits 1 when a network is not solved or its redundancy numbers do not add
// up to its redundancy.

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "network/network_solver.h"
#include "network/sparse_cholesky.h"

namespace {

struct Grid {
  std::vector<quarrow::NetworkMark> marks;
  std::vector<quarrow::NetworkRun> runs;
};

Grid MakeGrid(std::int64_t wanted_marks) {
  const auto side =
      static_cast<std::int64_t>(std::ceil(std::sqrt(static_cast<double>(wanted_marks))));
  Grid grid;
  std::mt19937_64 random(7);
  std::normal_distribution<double> noise(0, 0.002);
  std::uniform_real_distribution<double> length(0.5, 2.0);
  std::vector<double> truth(static_cast<std::size_t>(side * side));
  for (double& h : truth) h = 100 + std::uniform_real_distribution<double>(0, 50)(random);
  grid.marks.resize(truth.size());
  for (const std::int64_t corner :
       {std::int64_t{0}, side - 1, side * (side - 1), side * side - 1}) {
    grid.marks[static_cast<std::size_t>(corner)] = {quarrow::MarkStatus::kFixed,
                                                    truth[static_cast<std::size_t>(corner)], 0};
  }
  const auto add = [&](std::int64_t a, std::int64_t b) {
    const double k = length(random);
    grid.runs.push_back({a, b,
                         truth[static_cast<std::size_t>(b)] - truth[static_cast<std::size_t>(a)] +
                             noise(random) * std::sqrt(k),
                         k});
  };
  for (std::int64_t row = 0; row < side; ++row) {
    for (std::int64_t column = 0; column < side; ++column) {
      const std::int64_t mark = row * side + column;
      if (column + 1 < side) add(mark, mark + 1);
      if (row + 1 < side) add(mark, mark + side);
    }
  }
  return grid;
}

// N of the grid's marks other than the corners, as the solver forms it.
quarrow::SymmetricMatrix NormalEquations(const Grid& grid) {
  std::vector<quarrow::MatrixEntry> entries;
  std::vector<std::int64_t> unknown(grid.marks.size(), -1);
  std::int64_t unknowns = 0;
  for (std::size_t m = 0; m < grid.marks.size(); ++m)
    if (grid.marks[m].status != quarrow::MarkStatus::kFixed) unknown[m] = unknowns++;
  for (const quarrow::NetworkRun& run : grid.runs) {
    const std::int64_t a = unknown[static_cast<std::size_t>(run.from)];
    const std::int64_t b = unknown[static_cast<std::size_t>(run.to)];
    const double w = 1 / run.length_km;
    if (a >= 0) entries.push_back({a, a, w});
    if (b >= 0) entries.push_back({b, b, w});
    if (a >= 0 && b >= 0) entries.push_back({std::max(a, b), std::min(a, b), -w});
  }
  return quarrow::AssembleSymmetric(unknowns, entries);
}

double PeakMebibytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// FNV-1a over the bytes of every number.
std::uint64_t Digest(const quarrow::NetworkSolution& solution) {
  std::uint64_t hash = 1469598103934665603ULL;
  const auto add = [&hash](const std::vector<double>& numbers) {
    for (const double number : numbers) {
      unsigned char bytes[sizeof number];
      std::memcpy(bytes, &number, sizeof number);
      for (const unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ULL;
    }
  };
  add(solution.elevation);
  add(solution.std_dev);
  add(solution.residual);
  add(solution.residual_cofactor);
  add({solution.weighted_square_sum});
  return hash;
}

// The statistics the report derives from the solution, as it derives them.
struct Statistics {
  double sigma_aposteriori = 0;
  double redundancy_numbers = 0;  // their sum, which must be the redundancy
};

Statistics Derive(const Grid& grid, const quarrow::NetworkSolution& solution) {
  Statistics statistics;
  statistics.sigma_aposteriori =
      std::sqrt(solution.weighted_square_sum / static_cast<double>(solution.redundancy));
  for (std::size_t r = 0; r < grid.runs.size(); ++r)
    statistics.redundancy_numbers += solution.residual_cofactor[r] / grid.runs[r].length_km;
  return statistics;
}

bool Measure(std::int64_t wanted_marks) {
  const Grid grid = MakeGrid(wanted_marks);
  auto start = std::chrono::steady_clock::now();
  const quarrow::NetworkSolution plain = quarrow::SolveNetwork(grid.marks, grid.runs, 0.002, false);
  const double plain_s = SecondsSince(start);
  start = std::chrono::steady_clock::now();
  const quarrow::NetworkSolution full = quarrow::SolveNetwork(grid.marks, grid.runs, 0.002, true);
  const Statistics statistics = Derive(grid, full);
  const double full_s = SecondsSince(start);
  if (!plain.solved || !full.solved) {
    std::fprintf(stderr, "quarrow-network-bench: %lld marks not solved\n",
                 static_cast<long long>(wanted_marks));
    return false;
  }

  // The fill, from the same normal equations factorised once more (untimed).
  quarrow::CholeskyFactor factor;
  factor.Factorise(NormalEquations(grid));

  std::printf("%zu %zu %.3f %.3f %lld %lld %.1f %016llx\n", grid.marks.size(), grid.runs.size(),
              plain_s, full_s, static_cast<long long>(factor.FactorNonzeros()),
              static_cast<long long>(factor.StoredNonzeros()), PeakMebibytes(),
              static_cast<unsigned long long>(Digest(full)));
  const double redundancy = static_cast<double>(full.redundancy);
  if (std::fabs(statistics.redundancy_numbers - redundancy) > 1e-6 * redundancy ||
      !(statistics.sigma_aposteriori > 0)) {
    std::fprintf(stderr, "quarrow-network-bench: the redundancy numbers add up to %.6f, not %.0f\n",
                 statistics.redundancy_numbers, redundancy);
    return false;
  }
  return true;
}

void CompareOrderings(std::int64_t wanted_marks) {
  const Grid grid = MakeGrid(wanted_marks);
  const quarrow::SymmetricMatrix normal = NormalEquations(grid);
  const std::vector<double> right(static_cast<std::size_t>(normal.size), 1.0);
  const struct {
    const char* name;
    quarrow::FillOrdering ordering;
  } orderings[] = {{"nesdis", quarrow::FillOrdering::kNestedDissection},
                   {"metis", quarrow::FillOrdering::kMetis},
                   {"amd", quarrow::FillOrdering::kApproximateMinimum}};
  for (const auto& ordering : orderings) {
    quarrow::CholeskyFactor factor;
    auto start = std::chrono::steady_clock::now();
    factor.Factorise(normal, ordering.ordering);
    const double factorise_s = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    const std::vector<double> x = factor.Solve(right);
    const double solve_s = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    const quarrow::SelectedInverse inverse = factor.Invert();
    const double invert_s = SecondsSince(start);
    std::printf("%zu %s %.3f %.3f %.3f %lld %lld %.3g %.6g\n", grid.marks.size(), ordering.name,
                factorise_s, solve_s, invert_s, static_cast<long long>(factor.FactorNonzeros()),
                static_cast<long long>(factor.StoredNonzeros()), factor.FactorOperations(),
                inverse.At(0, 0) + x[0] * 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool orderings = argc > 1 && std::strcmp(argv[1], "--orderings") == 0;
  if (orderings) {
    std::printf(
        "marks ordering factorise_s solve_s invert_s factor_nonzeros stored operations "
        "z00\n");
  } else {
    std::printf("marks runs solve_s statistics_s factor_nonzeros stored peak_rss_mib digest\n");
  }
  bool ok = true;
  for (int i = orderings ? 2 : 1; i < argc; ++i) {
    if (orderings) {
      CompareOrderings(std::stoll(argv[i]));
    } else {
      ok = Measure(std::stoll(argv[i])) && ok;
    }
    std::fflush(stdout);
  }
  return ok ? 0 : 1;
}
