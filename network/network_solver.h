#pragma once

// The least-squares adjustment of a level network: each run is one observed
// height difference between its two bench marks, weighted by the inverse of
// its length (the variance of a levelled difference grows with distance);
// a weighted mark is one observation of its own elevation. The unknowns are
// the elevations of the marks not held fixed. Normal equations are sparse
// and solved by a supernodal Cholesky factorisation in a fill-reducing
// ordering (network/sparse_cholesky.h); nothing of the size of the whole
// network squared is ever formed.

#include <cstdint>
#include <optional>
#include <vector>

namespace quarrow {

enum class MarkStatus { kFixed, kWeighted, kAdjusted };

struct NetworkMark {
  MarkStatus status = MarkStatus::kAdjusted;
  double published = 0;  // fixed and weighted marks: the listed elevation
  double std_dev = 0;    // weighted marks: the listed standard deviation, > 0
};

// One run: the unadjusted height difference it carries from mark `from` to
// mark `to` (from == to for a loop run) over `length_km` kilometres.
struct NetworkRun {
  std::int64_t from = 0;
  std::int64_t to = 0;
  double difference = 0;
  double length_km = 0;
};

struct NetworkSolution {
  bool solved = false;            // false: the normal equations are singular
  std::vector<double> elevation;  // per mark: adjusted (fixed marks as published)
  std::vector<double> std_dev;    // per mark, from the a-priori sigma; 0 for fixed marks
  std::vector<double> residual;   // per run: adjusted minus observed difference
  // Per run: the cofactor of its residual, q_vv = K - a N^-1 a', in km.
  // Empty when the cofactors were not asked for.
  std::vector<double> residual_cofactor;
  // Per mark, when a datum was given: the sum of its entries of N^-1 with
  // the datum's marks, what a change of datum needs (0 for fixed marks).
  std::vector<double> datum_cofactor_sum;
  std::int64_t redundancy = 0;     // runs plus weighted marks minus unknowns
  double weighted_square_sum = 0;  // v'Pv with run weights 1/K (units^2 per km)
};

// `sigma_per_root_km` is the a-priori standard error of a run of one
// kilometre, in the units of the differences. With `cofactors`, also the
// residual cofactors and the marks' standard deviations from the selected
// entries of N^-1 (the Takahashi recursion on the factor, about the work of
// the factorisation again, not marks times runs). The same bytes on every
// call, whatever the thread settings. Every mark index of `runs` must be
// below marks.size(); every length_km finite and > 0 (it is the run's
// cofactor, its a-priori variance over sigma^2, whatever it was measured
// from). Throws std::bad_alloc when memory runs out.
// With `datum` (a flag per mark), also datum_cofactor_sum.
NetworkSolution SolveNetwork(const std::vector<NetworkMark>& marks,
                             const std::vector<NetworkRun>& runs, double sigma_per_root_km,
                             bool cofactors = true, const std::vector<bool>* datum = nullptr);

}  // namespace quarrow
