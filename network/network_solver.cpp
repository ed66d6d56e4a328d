#include "network/network_solver.h"

#include <algorithm>
#include <cmath>

#include "network/sparse_cholesky.h"

namespace quarrow {

NetworkSolution SolveNetwork(const std::vector<NetworkMark>& marks,
                             const std::vector<NetworkRun>& runs, double sigma_per_root_km,
                             bool cofactors, const std::vector<bool>* datum) {
  NetworkSolution solution;
  const std::size_t mark_count = marks.size();
  std::vector<int> unknown(mark_count, -1);
  int unknowns = 0;
  std::int64_t weighted = 0;
  for (std::size_t m = 0; m < mark_count; ++m) {
    if (marks[m].status != MarkStatus::kFixed) unknown[m] = unknowns++;
    if (marks[m].status == MarkStatus::kWeighted) ++weighted;
  }
  solution.redundancy = static_cast<std::int64_t>(runs.size()) + weighted - unknowns;
  solution.elevation.resize(mark_count);
  solution.std_dev.assign(mark_count, 0.0);
  for (std::size_t m = 0; m < mark_count; ++m) solution.elevation[m] = marks[m].published;

  // Weights relative to a run of one kilometre: 1/K for a run, sigma^2/sd^2
  // for a weighted mark, so that N^-1 scaled by sigma^2 is the covariance.
  const double sigma_squared = sigma_per_root_km * sigma_per_root_km;
  std::vector<MatrixEntry> entries;
  entries.reserve(runs.size() * 3 + static_cast<std::size_t>(weighted));
  std::vector<double> right(static_cast<std::size_t>(unknowns), 0.0);
  const auto at = [](int u) { return static_cast<std::size_t>(u); };
  for (const NetworkRun& run : runs) {
    const double weight = 1.0 / run.length_km;
    const int from = unknown[static_cast<std::size_t>(run.from)];
    const int to = unknown[static_cast<std::size_t>(run.to)];
    if (run.from == run.to) continue;  // a loop run observes no unknown
    // The difference less the part the fixed marks already account for.
    double reduced = run.difference;
    if (from < 0) reduced += marks[static_cast<std::size_t>(run.from)].published;
    if (to < 0) reduced -= marks[static_cast<std::size_t>(run.to)].published;
    if (to >= 0) {
      entries.push_back({to, to, weight});
      right[at(to)] += weight * reduced;
    }
    if (from >= 0) {
      entries.push_back({from, from, weight});
      right[at(from)] -= weight * reduced;
    }
    if (from >= 0 && to >= 0) entries.push_back({std::max(from, to), std::min(from, to), -weight});
  }
  for (std::size_t m = 0; m < mark_count; ++m) {
    if (marks[m].status != MarkStatus::kWeighted) continue;
    const double weight = sigma_squared / (marks[m].std_dev * marks[m].std_dev);
    entries.push_back({unknown[m], unknown[m], weight});
    right[at(unknown[m])] += weight * marks[m].published;
  }

  CholeskyFactor factor;
  if (unknowns > 0) {
    const SymmetricMatrix normal = AssembleSymmetric(unknowns, entries);
    entries.clear();
    entries.shrink_to_fit();
    if (!factor.Factorise(normal)) return solution;
    const std::vector<double> x = factor.Solve(right);
    if (!std::all_of(x.begin(), x.end(), [](double h) { return std::isfinite(h); }))
      return solution;
    for (std::size_t m = 0; m < mark_count; ++m) {
      if (unknown[m] >= 0) solution.elevation[m] = x[at(unknown[m])];
    }
    if (datum != nullptr) {
      std::vector<double> indicator(static_cast<std::size_t>(unknowns), 0.0);
      for (std::size_t m = 0; m < mark_count; ++m) {
        if (unknown[m] >= 0 && (*datum)[m]) indicator[at(unknown[m])] = 1;
      }
      const std::vector<double> sums = factor.Solve(indicator);
      solution.datum_cofactor_sum.assign(mark_count, 0.0);
      for (std::size_t m = 0; m < mark_count; ++m) {
        if (unknown[m] >= 0) solution.datum_cofactor_sum[m] = sums[at(unknown[m])];
      }
    }
  }
  solution.solved = true;

  solution.residual.resize(runs.size());
  double square_sum = 0;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const NetworkRun& run = runs[r];
    const double v = solution.elevation[static_cast<std::size_t>(run.to)] -
                     solution.elevation[static_cast<std::size_t>(run.from)] - run.difference;
    solution.residual[r] = run.from == run.to ? -run.difference : v;
    square_sum += solution.residual[r] * solution.residual[r] / run.length_km;
  }
  for (std::size_t m = 0; m < mark_count; ++m) {
    if (marks[m].status != MarkStatus::kWeighted) continue;
    const double v = solution.elevation[m] - marks[m].published;
    square_sum += v * v / (marks[m].std_dev * marks[m].std_dev) * sigma_squared;
  }
  solution.weighted_square_sum = square_sum;

  if (!cofactors) return solution;
  solution.residual_cofactor.resize(runs.size());
  if (unknowns == 0) {
    for (std::size_t r = 0; r < runs.size(); ++r) solution.residual_cofactor[r] = runs[r].length_km;
    return solution;
  }
  const SelectedInverse inverse = factor.Invert();
  const auto z = [&inverse](int a, int b) { return inverse.At(a, b); };
  for (std::size_t m = 0; m < mark_count; ++m) {
    if (unknown[m] >= 0)
      solution.std_dev[m] = sigma_per_root_km * std::sqrt(std::max(0.0, z(unknown[m], unknown[m])));
  }
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const NetworkRun& run = runs[r];
    const int from = unknown[static_cast<std::size_t>(run.from)];
    const int to = unknown[static_cast<std::size_t>(run.to)];
    double explained = 0;  // a N^-1 a' with a = e_to - e_from
    if (run.from != run.to) {
      if (to >= 0) explained += z(to, to);
      if (from >= 0) explained += z(from, from);
      if (to >= 0 && from >= 0) explained -= 2 * z(to, from);
    }
    // A run nothing else checks has no residual to speak of: rounding alone
    // must not make its cofactor look like a tiny positive number.
    const double q = run.length_km - explained;
    solution.residual_cofactor[r] = q > 1e-9 * run.length_km ? q : 0.0;
  }
  return solution;
}

}  // namespace quarrow
