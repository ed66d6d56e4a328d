#include "network/network_solver.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>

namespace quarrow {

namespace {

using SparseMatrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;
using Factor = Eigen::SimplicialLDLT<SparseMatrix, Eigen::Lower, Eigen::AMDOrdering<int>>;

// Entries of the inverse of the factored matrix on the pattern of its factor
// (Takahashi, Fagan and Chin): with P N P' = L D L', the inverse Z satisfies
// Z = D^-1 L^-1 + (I - L') Z, whose entries on the pattern of L need only
// entries of Z on that pattern further down and right. Indices are permuted.
class SparseInverse {
 public:
  explicit SparseInverse(const Factor& factor)
      : l_(factor.matrixL().nestedExpression()),
        diagonal_(static_cast<std::size_t>(l_.cols())),
        values_(static_cast<std::size_t>(l_.nonZeros())) {
    const Eigen::VectorXd& d = factor.vectorD();
    const int* start = l_.outerIndexPtr();
    const int* rows = l_.innerIndexPtr();
    const double* l = l_.valuePtr();
    std::vector<double> sums;
    for (int i = static_cast<int>(l_.cols()) - 1; i >= 0; --i) {
      const int first = start[i];
      const int last = start[i + 1];
      // Z(r_j, i) = -sum_k L(r_k, i) Z(r_k, r_j) over the rows r of column
      // i. Each pair j < k is visited once, walking column r_j (which holds
      // every later r_k: the rows of a column form a clique of the filled
      // graph) and feeding both sums, so no entry is searched for.
      sums.assign(static_cast<std::size_t>(last - first), 0.0);
      for (int j = first; j < last; ++j) {
        const int row_j = rows[j];
        sums[static_cast<std::size_t>(j - first)] +=
            l[j] * diagonal_[static_cast<std::size_t>(row_j)];
        int p = start[row_j];
        const int end = start[row_j + 1];
        for (int k = j + 1; k < last; ++k) {
          while (p < end && rows[p] < rows[k]) ++p;
          if (p == end || rows[p] != rows[k]) continue;  // Deliberate: absent means zero
          const double z = values_[static_cast<std::size_t>(p)];
          sums[static_cast<std::size_t>(j - first)] += l[k] * z;
          sums[static_cast<std::size_t>(k - first)] += l[j] * z;
        }
      }
      double diagonal_sum = 0;
      for (int j = first; j < last; ++j) {
        values_[static_cast<std::size_t>(j)] = -sums[static_cast<std::size_t>(j - first)];
        diagonal_sum += l[j] * values_[static_cast<std::size_t>(j)];
      }
      diagonal_[static_cast<std::size_t>(i)] = 1.0 / d[i] - diagonal_sum;
    }
  }

  // Z(a, b) for a pair on the pattern of L + L' or on the diagonal.
  double At(int a, int b) const {
    if (a == b) return diagonal_[static_cast<std::size_t>(a)];
    const int column = std::min(a, b);
    const int row = std::max(a, b);
    const int* begin = l_.innerIndexPtr() + l_.outerIndexPtr()[column];
    const int* end = l_.innerIndexPtr() + l_.outerIndexPtr()[column + 1];
    const int* found = std::lower_bound(begin, end, row);
    // Deliberate: the filled graph makes every needed pair present; a
    // missing one would be zero.
    if (found == end || *found != row) return 0;
    return values_[static_cast<std::size_t>(found - l_.innerIndexPtr())];
  }

 private:
  const SparseMatrix& l_;
  std::vector<double> diagonal_;
  std::vector<double> values_;
};

}  // namespace

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
  std::vector<Eigen::Triplet<double, int>> entries;
  entries.reserve(runs.size() * 3 + static_cast<std::size_t>(weighted));
  Eigen::VectorXd right(unknowns);
  right.setZero();
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
      entries.emplace_back(to, to, weight);
      right[to] += weight * reduced;
    }
    if (from >= 0) {
      entries.emplace_back(from, from, weight);
      right[from] -= weight * reduced;
    }
    if (from >= 0 && to >= 0) entries.emplace_back(std::max(from, to), std::min(from, to), -weight);
  }
  for (std::size_t m = 0; m < mark_count; ++m) {
    if (marks[m].status != MarkStatus::kWeighted) continue;
    const double weight = sigma_squared / (marks[m].std_dev * marks[m].std_dev);
    entries.emplace_back(unknown[m], unknown[m], weight);
    right[unknown[m]] += weight * marks[m].published;
  }

  std::vector<double> solved_elevation(static_cast<std::size_t>(unknowns));
  std::vector<int> permuted(static_cast<std::size_t>(unknowns));
  Factor factor;
  if (unknowns > 0) {
    SparseMatrix normal(unknowns, unknowns);
    normal.setFromTriplets(entries.begin(), entries.end());  // sums the duplicates
    entries.clear();
    entries.shrink_to_fit();
    factor.compute(normal);
    if (factor.info() != Eigen::Success) return solution;
    const Eigen::VectorXd x = factor.solve(right);
    if (factor.info() != Eigen::Success || !x.allFinite()) return solution;
    for (std::size_t m = 0; m < mark_count; ++m) {
      if (unknown[m] >= 0) solution.elevation[m] = x[unknown[m]];
    }
    for (int u = 0; u < unknowns; ++u)
      permuted[static_cast<std::size_t>(u)] = factor.permutationP().indices()[u];
    if (datum != nullptr) {
      Eigen::VectorXd indicator(unknowns);
      indicator.setZero();
      for (std::size_t m = 0; m < mark_count; ++m) {
        if (unknown[m] >= 0 && (*datum)[m]) indicator[unknown[m]] = 1;
      }
      const Eigen::VectorXd sums = factor.solve(indicator);
      solution.datum_cofactor_sum.assign(mark_count, 0.0);
      for (std::size_t m = 0; m < mark_count; ++m) {
        if (unknown[m] >= 0) solution.datum_cofactor_sum[m] = sums[unknown[m]];
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
  const SparseInverse inverse(factor);
  const auto z = [&](int a, int b) {
    return inverse.At(permuted[static_cast<std::size_t>(a)], permuted[static_cast<std::size_t>(b)]);
  };
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
