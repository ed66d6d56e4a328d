#include "network/sparse_cholesky.h"

#include <cholmod.h>
#include <dlfcn.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <stdexcept>

namespace quarrow {

namespace {

// The same bytes whatever the machine and its settings. OpenBLAS built with
// threads (Debian's libopenblas0-pthread or -openmp, when the system's BLAS
// alternative points to one) splits a large product over the cores, and how
// it splits it may change the last bits of a sum: it is held to one thread.
// CHOLMOD's OpenMP loops (copies and scatters that write each number once)
// would start four threads to save little on two cores: OpenMP is told to
// run every parallel region on the calling thread. Both are set for the
// whole process, looked up at run time as the libraries are only known then.
void HoldToOneThread() {
  static std::once_flag once;
  std::call_once(once, [] {
    using SetThreads = void (*)(int);
    if (void* set = dlsym(RTLD_DEFAULT, "openblas_set_num_threads"))
      reinterpret_cast<SetThreads>(set)(1);
    if (void* set = dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"))
      reinterpret_cast<SetThreads>(set)(0);
  });
}

// Two factors are never worked on at once: METIS, which orders the matrix,
// draws on the C library's one random sequence, reseeded at each call, so
// two orderings on two threads would draw from each other's and come out
// different; and OpenBLAS built without threads keeps one set of buffers
// for the whole process.
std::mutex& OneAtATime() {
  static std::mutex mutex;
  return mutex;
}

int CholmodOrdering(FillOrdering ordering) {
  switch (ordering) {
    case FillOrdering::kMetis:
      return CHOLMOD_METIS;
    case FillOrdering::kNestedDissection:
      return CHOLMOD_NESDIS;
    case FillOrdering::kApproximateMinimum:
      return CHOLMOD_AMD;
  }
  return CHOLMOD_METIS;
}

}  // namespace

SymmetricMatrix AssembleSymmetric(std::int64_t size, const std::vector<MatrixEntry>& entries) {
  // Bucketed by column in the order given, then each column sorted by row
  // (stably, so that the sums do not depend on the sort) and merged.
  const auto slot = [](std::int64_t i) { return static_cast<std::size_t>(i); };
  std::vector<std::int64_t> start(slot(size) + 1, 0);
  for (const MatrixEntry& entry : entries) ++start[slot(entry.column) + 1];
  for (std::int64_t j = 0; j < size; ++j) start[slot(j) + 1] += start[slot(j)];
  std::vector<std::pair<std::int64_t, double>> bucketed(entries.size());
  std::vector<std::int64_t> next(start.begin(), start.end() - 1);
  for (const MatrixEntry& entry : entries)
    bucketed[slot(next[slot(entry.column)]++)] = {entry.row, entry.value};

  SymmetricMatrix matrix;
  matrix.size = size;
  matrix.column_start.reserve(slot(size) + 1);
  matrix.rows.reserve(entries.size());
  matrix.values.reserve(entries.size());
  for (std::int64_t j = 0; j < size; ++j) {
    matrix.column_start.push_back(static_cast<std::int64_t>(matrix.rows.size()));
    const auto first = bucketed.begin() + start[slot(j)];
    const auto last = bucketed.begin() + start[slot(j) + 1];
    std::stable_sort(first, last, [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto entry = first; entry != last; ++entry) {
      if (!matrix.rows.empty() && entry != first && matrix.rows.back() == entry->first) {
        matrix.values.back() += entry->second;
      } else {
        matrix.rows.push_back(entry->first);
        matrix.values.push_back(entry->second);
      }
    }
  }
  matrix.column_start.push_back(static_cast<std::int64_t>(matrix.rows.size()));
  return matrix;
}

struct CholeskyFactor::State {
  cholmod_common common;
  cholmod_factor* factor = nullptr;

  State() {
    cholmod_l_start(&common);
    // Deliberate: CHOLMOD would print its warnings (a matrix that is not
    // positive definite is one) to standard output; the caller reports.
    common.print = 0;
    common.supernodal = CHOLMOD_SUPERNODAL;
    common.final_asis = 1;  // keep the supernodal L L' the inverse works on
    common.quick_return_if_not_posdef = 1;
    common.nmethods = 1;
    common.postorder = 1;
  }
  ~State() {
    if (factor != nullptr) cholmod_l_free_factor(&factor, &common);
    cholmod_l_finish(&common);
  }
  // Out of memory is the caller's to report, as for any allocation; the
  // other failures are misuse.
  void Check() const {
    if (common.status == CHOLMOD_OUT_OF_MEMORY) throw std::bad_alloc();
    if (common.status < CHOLMOD_OK) throw std::logic_error("CHOLMOD refused the normal equations");
  }
};

CholeskyFactor::CholeskyFactor() : state_(std::make_unique<State>()) {}
CholeskyFactor::~CholeskyFactor() = default;

bool CholeskyFactor::Factorise(const SymmetricMatrix& matrix, FillOrdering ordering) {
  HoldToOneThread();
  State& s = *state_;
  if (s.factor != nullptr) cholmod_l_free_factor(&s.factor, &s.common);
  s.common.method[0].ordering = CholmodOrdering(ordering);
  s.common.method[0].nd_small = static_cast<size_t>(kMinimumDegreeBelow);

  // A view of the caller's arrays: CHOLMOD only reads them here.
  cholmod_sparse view{};
  view.nrow = view.ncol = static_cast<size_t>(matrix.size);
  view.nzmax = matrix.rows.size();
  view.p = const_cast<std::int64_t*>(matrix.column_start.data());
  view.i = const_cast<std::int64_t*>(matrix.rows.data());
  view.x = const_cast<double*>(matrix.values.data());
  view.stype = -1;  // the lower triangle stands for the whole
  view.itype = CHOLMOD_LONG;
  view.xtype = CHOLMOD_REAL;
  view.dtype = CHOLMOD_DOUBLE;
  view.sorted = 1;
  view.packed = 1;

  const std::lock_guard<std::mutex> lock(OneAtATime());
  s.factor = cholmod_l_analyze(&view, &s.common);
  s.Check();
  cholmod_l_factorize(&view, s.factor, &s.common);
  if (s.common.status == CHOLMOD_NOT_POSDEF || s.factor->minor < s.factor->n) return false;
  s.Check();
  return true;
}

std::vector<double> CholeskyFactor::Solve(const std::vector<double>& right) const {
  State& s = *state_;
  cholmod_dense view{};
  view.nrow = view.d = right.size();
  view.ncol = 1;
  view.nzmax = right.size();
  view.x = const_cast<double*>(right.data());
  view.xtype = CHOLMOD_REAL;
  view.dtype = CHOLMOD_DOUBLE;
  const std::lock_guard<std::mutex> lock(OneAtATime());
  cholmod_dense* solution = cholmod_l_solve(CHOLMOD_A, s.factor, &view, &s.common);
  s.Check();
  const double* x = static_cast<const double*>(solution->x);
  std::vector<double> result(x, x + right.size());
  cholmod_l_free_dense(&solution, &s.common);
  return result;
}

SelectedInverse CholeskyFactor::Invert() const {
  const cholmod_factor& l = *state_->factor;
  SelectedInverse::Supernodes view;
  view.size = static_cast<std::int64_t>(l.n);
  view.count = static_cast<std::int64_t>(l.nsuper);
  view.first_column = static_cast<const std::int64_t*>(l.super);
  view.row_start = static_cast<const std::int64_t*>(l.pi);
  view.value_start = static_cast<const std::int64_t*>(l.px);
  view.rows = static_cast<const std::int64_t*>(l.s);
  view.values = static_cast<const double*>(l.x);
  const auto* perm = static_cast<const std::int64_t*>(l.Perm);
  view.position.resize(l.n);
  for (std::int64_t k = 0; k < view.size; ++k) view.position[static_cast<size_t>(perm[k])] = k;
  const std::lock_guard<std::mutex> lock(OneAtATime());
  return SelectedInverse(std::move(view));
}

std::int64_t CholeskyFactor::StoredNonzeros() const {
  return static_cast<std::int64_t>(state_->factor->xsize);
}

std::int64_t CholeskyFactor::FactorNonzeros() const {
  return static_cast<std::int64_t>(state_->common.lnz);
}

double CholeskyFactor::FactorOperations() const { return state_->common.fl; }

}  // namespace quarrow
