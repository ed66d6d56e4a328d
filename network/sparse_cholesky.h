#pragma once

// The normal equations of a level network factorised once and used as often
// as needed: solved for any right-hand side, and inverted on the entries an
// adjustment's statistics ask for. Internal to network/; SolveNetwork is the
// interface the tools use.
//
// The factor is CHOLMOD's supernodal Cholesky factor P N P' = L L' in a
// fill-reducing ordering P: the columns of L with the same pattern below the
// diagonal are kept together as dense blocks, so the work runs in dense BLAS
// and LAPACK kernels. On a planar network (a grid, a country's lines) of n
// marks the factor holds about n log n numbers and takes about n^1.5
// operations.

#include <cstdint>
#include <memory>
#include <vector>

namespace quarrow {

// A symmetric matrix by its lower triangle, column by column: the rows of
// column j, each >= j and in increasing order, are rows[column_start[j]] to
// rows[column_start[j + 1] - 1], with their values beside them.
struct SymmetricMatrix {
  std::int64_t size = 0;
  std::vector<std::int64_t> column_start;  // size + 1 entries
  std::vector<std::int64_t> rows;
  std::vector<double> values;
};

// One term of a symmetric matrix in its lower triangle (row >= column).
struct MatrixEntry {
  std::int64_t row = 0;
  std::int64_t column = 0;
  double value = 0;
};

// The matrix of `size` rows that sums `entries` (several at one place add
// up, in the order given). Every index must be below `size`.
SymmetricMatrix AssembleSymmetric(std::int64_t size, const std::vector<MatrixEntry>& entries);

// Which fill-reducing ordering the factor is computed in. Every ordering
// gives the same results to rounding; they differ in fill and time. On grid
// networks of up to 1,000,000 marks (bench/RESULTS.md) METIS's ordering of
// the whole network costs more than its smaller factor saves; minimum
// degree fills more at a million marks and beyond.
enum class FillOrdering {
  // The default: parts of fewer than kMinimumDegreeBelow unknowns ordered
  // by constrained minimum degree (CAMD), larger ones first split by METIS
  // separators, which come last (CHOLMOD's nested dissection).
  kNestedDissection,
  kMetis,               // METIS's nested dissection of the whole network
  kApproximateMinimum,  // approximate minimum degree (AMD) of the whole network
};
constexpr std::int64_t kMinimumDegreeBelow = 200000;

class SelectedInverse;

// Factors may be used from several threads; their work takes turns (see
// sparse_cholesky.cpp), and the results are the same bytes as on one.
class CholeskyFactor {
 public:
  CholeskyFactor();
  ~CholeskyFactor();
  CholeskyFactor(const CholeskyFactor&) = delete;
  CholeskyFactor& operator=(const CholeskyFactor&) = delete;

  // Orders and factorises `matrix`. False when it is not positive definite:
  // an unknown that nothing observes, or a part of the network that nothing
  // ties to a known elevation (a pivot that is zero or negative). Throws
  // std::bad_alloc when memory runs out. Replaces any earlier factor.
  bool Factorise(const SymmetricMatrix& matrix,
                 FillOrdering ordering = FillOrdering::kNestedDissection);

  // The solution x of N x = right (right.size() == the matrix's size), for
  // a factorised matrix.
  std::vector<double> Solve(const std::vector<double>& right) const;

  // The entries of N^-1 on the pattern of the factor: the diagonal and every
  // pair of unknowns that N couples, among others. Costs about as much as
  // the factorisation.
  SelectedInverse Invert() const;

  // Figures for the benchmarks: numbers held by the factor's blocks (with
  // the zeros the supernodes keep to stay dense) and entries of L proper.
  std::int64_t StoredNonzeros() const;
  std::int64_t FactorNonzeros() const;
  double FactorOperations() const;  // floating-point operations of the factorisation

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// N^-1 on the pattern of a supernodal factor, by the Takahashi recursion
// (see selected_inverse.cpp). Indices are those of the matrix factorised.
// It reads the factor's pattern: it must not outlive the CholeskyFactor it
// came from, nor that factor's next Factorise.
class SelectedInverse {
 public:
  // (N^-1)(a, b). Both must be on the factor's pattern: the diagonal, or a
  // pair that N couples (which the tools ask for). Other pairs give 0.
  double At(std::int64_t a, std::int64_t b) const;

  // Plain data of the factor the inverse was computed on, as CHOLMOD keeps
  // it: supernode s holds columns first_column[s] to first_column[s + 1] - 1
  // of L as a dense column-major block whose rows are
  // rows[row_start[s]] to rows[row_start[s + 1] - 1] (its own columns first,
  // all in increasing order), at values + value_start[s]. position[i] is the
  // pivot of unknown i.
  struct Supernodes {
    std::int64_t size = 0;
    std::int64_t count = 0;
    const std::int64_t* first_column = nullptr;
    const std::int64_t* row_start = nullptr;
    const std::int64_t* value_start = nullptr;
    const std::int64_t* rows = nullptr;
    const double* values = nullptr;
    std::vector<std::int64_t> position;
  };
  explicit SelectedInverse(Supernodes factor);

 private:
  Supernodes factor_;
  std::vector<std::int64_t> supernode_of_column_;
  std::vector<double> values_;  // N^-1 in the factor's layout
};

}  // namespace quarrow
