// The selected inverse of a supernodal Cholesky factor (Takahashi, Fagan and
// Chin; by supernodes as in Amestoy, Duff, L'Excellent and Rouet, or Lin,
// Yang, Meza and others). With P N P' = L L' and Z = (P N P')^-1, split L at
// supernode J into its dense diagonal block L_JJ and the rows R below it,
// L_RJ, and let U = L_RJ L_JJ^-1. Then
//
//   Z_RJ = -Z_RR U
//   Z_JJ = (L_JJ L_JJ')^-1 - U' Z_RJ
//
// The rows R of a supernode form a clique of the filled graph, so Z_RR lies
// on the pattern of L, in supernodes that come later: walking the
// supernodes from the last to the first yields Z on the whole pattern of L,
// with three dense products per supernode (a triangular solve, a symmetric
// and a general product) and the inverse of a dense triangle. That is the
// work of the factorisation over again, in the same kernels.

#include <algorithm>
#include <cstddef>

#include "network/sparse_cholesky.h"

extern "C" {
// Fortran BLAS and LAPACK; the trailing lengths are those of the character
// arguments, as gfortran passes them.
void dpotri_(const char* uplo, const int* n, double* a, const int* lda, int* info, std::size_t);
void dtrsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const double* alpha, const double* a, const int* lda, double* b,
            const int* ldb, std::size_t, std::size_t, std::size_t, std::size_t);
void dsymm_(const char* side, const char* uplo, const int* m, const int* n, const double* alpha,
            const double* a, const int* lda, const double* b, const int* ldb, const double* beta,
            double* c, const int* ldc, std::size_t, std::size_t);
void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k,
            const double* alpha, const double* a, const int* lda, const double* b, const int* ldb,
            const double* beta, double* c, const int* ldc, std::size_t, std::size_t);
}

namespace quarrow {

namespace {

using Index = std::int64_t;

std::size_t Slot(Index i) { return static_cast<std::size_t>(i); }

}  // namespace

SelectedInverse::SelectedInverse(Supernodes factor)
    : factor_(std::move(factor)),
      supernode_of_column_(Slot(factor_.size)),
      values_(Slot(factor_.value_start[factor_.count])) {
  const Supernodes& f = factor_;
  Index widest = 0;
  for (Index s = 0; s < f.count; ++s) {
    for (Index k = f.first_column[s]; k < f.first_column[s + 1]; ++k)
      supernode_of_column_[Slot(k)] = s;
    const Index below =
        f.row_start[s + 1] - f.row_start[s] - (f.first_column[s + 1] - f.first_column[s]);
    widest = std::max(widest, below);
  }
  std::vector<double> u;                      // U = L_RJ L_JJ^-1, below rows by columns
  std::vector<double> z_rr;                   // Z_RR gathered, lower triangle
  std::vector<Index> position(Slot(widest));  // rows of R within a later supernode
  const double one = 1;
  const double minus_one = -1;
  const double zero = 0;

  for (Index s = f.count - 1; s >= 0; --s) {
    const Index first = f.first_column[s];
    const int columns = static_cast<int>(f.first_column[s + 1] - first);
    const int height = static_cast<int>(f.row_start[s + 1] - f.row_start[s]);
    const int below = height - columns;
    const Index* rows = f.rows + f.row_start[s];
    const double* l = f.values + f.value_start[s];
    double* z = values_.data() + f.value_start[s];

    // (L_JJ L_JJ')^-1 in the diagonal block, lower triangle.
    const std::size_t stride = Slot(height);
    for (int c = 0; c < columns; ++c)
      std::copy(l + c * stride + c, l + c * stride + columns, z + c * stride + c);
    int info = 0;
    dpotri_("L", &columns, z, &height, &info, 1);
    if (below == 0) continue;

    u.resize(Slot(below) * Slot(columns));
    for (int c = 0; c < columns; ++c)
      std::copy(l + c * stride + columns, l + (c + 1) * stride, u.data() + Slot(c) * Slot(below));
    dtrsm_("R", "L", "N", "N", &below, &columns, &one, l, &height, u.data(), &below, 1, 1, 1, 1);

    // Z_RR, column by column: the columns of R that one later supernode K
    // holds are contiguous, and every row of R from there on is a row of K.
    z_rr.resize(Slot(below) * Slot(below));
    const Index* below_rows = rows + columns;
    for (int c = 0; c < below;) {
      const Index k = supernode_of_column_[Slot(below_rows[c])];
      const Index k_first = f.first_column[k];
      const Index k_end = f.first_column[k + 1];
      const Index* k_rows = f.rows + f.row_start[k];
      const Index k_height = f.row_start[k + 1] - f.row_start[k];
      const double* z_k = values_.data() + f.value_start[k];
      const Index* found = k_rows;
      for (int r = c; r < below; ++r) {
        found = std::lower_bound(found, k_rows + k_height, below_rows[r]);
        position[Slot(r)] = found - k_rows;
      }
      for (; c < below && below_rows[c] < k_end; ++c) {
        const double* z_column = z_k + Slot(below_rows[c] - k_first) * Slot(k_height);
        double* out = z_rr.data() + Slot(c) * Slot(below);
        for (int r = c; r < below; ++r) out[r] = z_column[position[Slot(r)]];
      }
    }

    double* z_below = z + columns;
    dsymm_("L", "L", &below, &columns, &minus_one, z_rr.data(), &below, u.data(), &below, &zero,
           z_below, &height, 1, 1);
    dgemm_("T", "N", &columns, &columns, &below, &minus_one, u.data(), &below, z_below, &height,
           &one, z, &height, 1, 1);
  }
}

double SelectedInverse::At(Index a, Index b) const {
  Index row = factor_.position[Slot(a)];
  Index column = factor_.position[Slot(b)];
  if (row < column) std::swap(row, column);
  const Index s = supernode_of_column_[Slot(column)];
  const Index* begin = factor_.rows + factor_.row_start[s];
  const Index* end = factor_.rows + factor_.row_start[s + 1];
  const Index* found = std::lower_bound(begin, end, row);
  // Deliberate: a pair off the pattern is not needed by anyone; zero.
  if (found == end || *found != row) return 0;
  const Index height = end - begin;
  const Index offset = (column - factor_.first_column[s]) * height + (found - begin);
  return values_[Slot(factor_.value_start[s] + offset)];
}

}  // namespace quarrow
