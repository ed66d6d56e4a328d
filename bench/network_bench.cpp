// The least-squares solver alone, in memory: a grid of marks joined by runs
// to their neighbours east and south (about two runs per mark, as in a
// network of city blocks), held at its four corners, with noise on every
// difference. Prints the time of the solve with and without the residual
// cofactors and the peak resident memory.
//
//   quarrow-network-bench MARKS...

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "network/network_solver.h"

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

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("marks runs solve_s solve_with_cofactors_s peak_rss_mib\n");
  for (int i = 1; i < argc; ++i) {
    const Grid grid = MakeGrid(std::stoll(argv[i]));
    const auto time = [&grid](bool cofactors) {
      const auto start = std::chrono::steady_clock::now();
      const quarrow::NetworkSolution solution =
          quarrow::SolveNetwork(grid.marks, grid.runs, 0.002, cofactors);
      const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
      if (!solution.solved) std::fprintf(stderr, "not solved\n");
      return elapsed.count();
    };
    const double plain = time(false);
    const double full = time(true);
    std::printf("%zu %zu %.3f %.3f %.1f\n", grid.marks.size(), grid.runs.size(), plain, full,
                PeakMegabytes());
  }
  return 0;
}
