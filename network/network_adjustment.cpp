#include "network/network_adjustment.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "engine/third_order.h"
#include "network/chi_square.h"

namespace quarrow {

namespace {

// A residual cofactor below this share of the observation's own cofactor is
// zero: nothing but the observation itself determines what it measures.
constexpr double kUncheckedCofactor = 1e-10;
// Variance components are iterated until every group's factor moves by less
// than this, and at most so often.
constexpr double kFactorSettled = 0.01;
constexpr int kMostIterations = 50;
// A group whose observations share less redundancy than this cannot be
// estimated: its few residuals would drive its factor towards nothing (or
// without bound) and take the others with it. It keeps its a-priori sigma.
constexpr double kLeastRedundancyToEstimate = 1.0;
constexpr double kSmallestFactor = 1e-6;
constexpr double kLargestFactor = 1e6;

std::int64_t Root(std::vector<std::int64_t>& parent, std::int64_t node) {
  while (parent[static_cast<std::size_t>(node)] != node) {
    parent[static_cast<std::size_t>(node)] =
        parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(node)])];
    node = parent[static_cast<std::size_t>(node)];
  }
  return node;
}

// Each mark's part of the network: the marks joined by observations.
std::vector<std::int64_t> Parts(const Network& network) {
  std::vector<std::int64_t> parent(network.marks.size());
  std::iota(parent.begin(), parent.end(), 0);
  for (const RunRecord& run : network.runs) {
    parent[static_cast<std::size_t>(Root(parent, run.from))] = Root(parent, run.to);
  }
  for (std::size_t m = 0; m < parent.size(); ++m) {
    parent[m] = Root(parent, static_cast<std::int64_t>(m));
  }
  return parent;
}

// How the observations weigh, relative to a trig kilometre: a run's cofactor
// is its variance over the trig runs' sigma squared.
class Weighting {
 public:
  Weighting(const Network& network, const NetworkRequest& request)
      : network_(network),
        sigma_units_(request.TrigSigma() / (1000 * MetresPerUnit(network.units))) {
    for (const std::string& group : network.groups) {
      const auto found = request.sigma_millimetres.find(group);
      // Deliberate: a group without a sigma has a standard deviation on
      // every observation (LoadNetwork saw to it).
      ratio_[group] =
          found == request.sigma_millimetres.end() ? 1.0 : found->second / request.TrigSigma();
      factor_[group] = 1.0;
    }
    factor_[std::string(kMarksGroup)] = 1.0;
  }

  double sigma_units() const { return sigma_units_; }
  double Factor(const std::string& group) const { return factor_.at(group); }
  void ScaleFactor(const std::string& group, double by) { factor_[group] *= by; }

  // The cofactor of observation `r`. For a trig run with no variance factor
  // it is its length in kilometres exactly, as it has always been.
  double Cofactor(std::size_t r) const {
    const RunRecord& run = network_.runs[r];
    const double factor = factor_.at(run.group);
    if (run.std_dev) {
      const double relative = *run.std_dev / sigma_units_;
      return factor * relative * relative;
    }
    const double ratio = ratio_.at(run.group);
    return factor * (ratio * ratio) * (run.length * (MetresPerUnit(network_.units) / 1000));
  }

  // The marks with their standard deviations scaled by the marks' factor.
  std::vector<NetworkMark> Marks(const std::vector<NetworkMark>& marks) const {
    std::vector<NetworkMark> scaled = marks;
    const double factor = factor_.at(std::string(kMarksGroup));
    if (factor == 1.0) return scaled;
    for (NetworkMark& mark : scaled) mark.std_dev *= std::sqrt(factor);
    return scaled;
  }

  std::vector<NetworkRun> Runs() const {
    std::vector<NetworkRun> runs;
    runs.reserve(network_.runs.size());
    for (std::size_t r = 0; r < network_.runs.size(); ++r) {
      const RunRecord& run = network_.runs[r];
      runs.push_back({run.from, run.to, run.difference, Cofactor(r)});
    }
    return runs;
  }

 private:
  const Network& network_;
  double sigma_units_;
  std::map<std::string, double, std::less<>> ratio_;   // group sigma over trig sigma
  std::map<std::string, double, std::less<>> factor_;  // variance factors
};

// The redundancy number of a weighted mark's observation of itself.
double MarkRedundancy(const NetworkMark& mark, double std_dev) {
  const double share = std_dev / mark.std_dev;
  return std::clamp(1 - share * share, 0.0, 1.0);
}

// Each group's v'Pv over sigma squared and its redundancy, in the order of
// `names`.
struct GroupSums {
  std::vector<double> weighted_squares;
  std::vector<double> redundancy;
  std::vector<std::int64_t> observations;
};

GroupSums SumGroups(const Network& network, const std::vector<std::string>& names,
                    const std::vector<NetworkMark>& marks, const NetworkSolution& solution,
                    const Weighting& weighting) {
  GroupSums sums;
  sums.weighted_squares.assign(names.size(), 0.0);
  sums.redundancy.assign(names.size(), 0.0);
  sums.observations.assign(names.size(), 0);
  const auto index = [&names](const std::string& name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
  };
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const std::size_t g = index(network.runs[r].group);
    const double q = weighting.Cofactor(r);
    sums.weighted_squares[g] += solution.residual[r] * solution.residual[r] / q;
    sums.redundancy[g] += std::clamp(solution.residual_cofactor[r] / q, 0.0, 1.0);
    ++sums.observations[g];
  }
  const std::size_t g = index(std::string(kMarksGroup));
  const double sigma = weighting.sigma_units();
  for (std::size_t m = 0; m < marks.size(); ++m) {
    if (marks[m].status != MarkStatus::kWeighted || g == names.size()) continue;
    const double v = solution.elevation[m] - marks[m].published;
    sums.weighted_squares[g] += v * v / (marks[m].std_dev * marks[m].std_dev) * sigma * sigma;
    sums.redundancy[g] += MarkRedundancy(marks[m], solution.std_dev[m]);
    ++sums.observations[g];
  }
  for (double& sum : sums.weighted_squares) sum /= sigma * sigma;
  return sums;
}

// Marks as the datum asks: with kMinimal, only the first fixed mark of each
// part stays fixed; with kFree, only the first datum mark, at its
// approximate elevation, and no mark weighted.
std::vector<NetworkMark> DatumMarks(const Network& network, NetworkDatum datum,
                                    const std::vector<bool>& datum_marks) {
  std::vector<NetworkMark> marks = network.marks;
  if (datum == NetworkDatum::kListedMarks) return marks;
  const std::vector<std::int64_t> parts = Parts(network);
  std::vector<bool> held(marks.size(), false);
  std::vector<bool> part_held(marks.size(), false);
  for (std::size_t m = 0; m < marks.size(); ++m) {
    const bool candidate =
        datum == NetworkDatum::kFree ? datum_marks[m] : marks[m].status == MarkStatus::kFixed;
    const auto part = static_cast<std::size_t>(parts[m]);
    if (candidate && !part_held[part]) held[m] = part_held[part] = true;
  }
  for (std::size_t m = 0; m < marks.size(); ++m) {
    if (held[m]) {
      marks[m].status = MarkStatus::kFixed;
    } else if (datum == NetworkDatum::kFree || marks[m].status == MarkStatus::kFixed) {
      marks[m].status = MarkStatus::kAdjusted;
    }
  }
  return marks;
}

// The free network's elevations and standard deviations: the solution held
// to one datum mark moved to the minimum-norm datum over all of them (the
// sum of squared changes from their approximate elevations least).
void MoveToFreeDatum(const std::vector<NetworkMark>& approximate, const std::vector<bool>& datum,
                     double sigma_units, NetworkSolution& solution) {
  double count = 0;
  double shift = 0;
  double sum_of_sums = 0;
  for (std::size_t m = 0; m < datum.size(); ++m) {
    if (!datum[m]) continue;
    ++count;
    shift += approximate[m].published - solution.elevation[m];
    sum_of_sums += solution.datum_cofactor_sum[m];
  }
  if (count == 0) return;
  shift /= count;
  for (std::size_t m = 0; m < datum.size(); ++m) {
    solution.elevation[m] += shift;
    const double q = solution.std_dev[m] / sigma_units;
    const double moved =
        q * q - 2 * solution.datum_cofactor_sum[m] / count + sum_of_sums / (count * count);
    solution.std_dev[m] = sigma_units * std::sqrt(std::max(0.0, moved));
  }
}

// With two or more fixed marks: the network held only to the first fixed mark
// of each part, and every other fixed mark's published elevation tested
// against it, so that a wrong published elevation is named as the mark and
// not as the runs around it.
bool CheckControl(const Network& network, const Weighting& weighting, bool minimal_already,
                  NetworkResult& result) {
  const auto fixed =
      std::count_if(network.marks.begin(), network.marks.end(),
                    [](const NetworkMark& m) { return m.status == MarkStatus::kFixed; });
  if (fixed < 2) return true;
  const std::vector<NetworkMark> minimal =
      DatumMarks(network, NetworkDatum::kMinimal, std::vector<bool>(network.marks.size()));
  const NetworkSolution held =
      minimal_already
          ? result.solution
          : SolveNetwork(weighting.Marks(minimal), weighting.Runs(), weighting.sigma_units(), true);
  if (!held.solved) return false;
  const std::vector<std::int64_t> parts = Parts(network);
  std::vector<std::int64_t> held_in_part(network.marks.size(), -1);
  for (std::size_t m = 0; m < minimal.size(); ++m) {
    if (minimal[m].status == MarkStatus::kFixed) {
      held_in_part[static_cast<std::size_t>(parts[m])] = static_cast<std::int64_t>(m);
    }
  }
  for (std::size_t m = 0; m < network.marks.size(); ++m) {
    if (network.marks[m].status != MarkStatus::kFixed || minimal[m].status == MarkStatus::kFixed) {
      continue;
    }
    ControlCheck check;
    check.mark = static_cast<std::int64_t>(m);
    check.held = held_in_part[static_cast<std::size_t>(parts[m])];
    check.difference = network.marks[m].published - held.elevation[m];
    check.std_dev = held.std_dev[m];
    check.standardized = check.std_dev > 0 ? check.difference / check.std_dev : 0;
    check.flagged = std::fabs(check.standardized) > kBlunderLimit;
    if (check.flagged) ++result.control_flagged;
    result.control.push_back(check);
  }
  return true;
}

}  // namespace

bool AdjustNetwork(const Network& network, const NetworkRequest& request, NetworkResult& result) {
  result = NetworkResult{};
  Weighting weighting(network, request);
  result.sigma_millimetres = request.TrigSigma();
  result.sigma_units = weighting.sigma_units();

  // The datum of a free network: the listed marks, or all when none is.
  std::vector<bool> datum(network.marks.size(), false);
  if (request.datum == NetworkDatum::kFree) {
    bool any_listed = false;
    for (std::size_t m = 0; m < network.marks.size(); ++m) {
      datum[m] = network.marks[m].status != MarkStatus::kAdjusted;
      any_listed = any_listed || datum[m];
    }
    if (!any_listed) datum.assign(network.marks.size(), true);
  }
  const std::vector<NetworkMark> datum_marks = DatumMarks(network, request.datum, datum);
  result.marks = datum_marks;
  result.datum_marks = datum;

  std::vector<std::string> names = network.groups;
  bool weighted_marks = false;
  for (const NetworkMark& mark : datum_marks)
    weighted_marks |= mark.status == MarkStatus::kWeighted;
  if (weighted_marks) names.push_back(std::string(kMarksGroup));

  // Variance components (Förstner's simplified estimator): each group's
  // factor becomes its v'Pv over its redundancy, and the network is adjusted
  // again, until no factor moves by as much as 1 %.
  GroupSums sums;
  std::vector<bool> estimated(names.size(), request.variance_components);
  for (;;) {
    ++result.iterations;
    result.solution =
        SolveNetwork(weighting.Marks(datum_marks), weighting.Runs(), weighting.sigma_units(), true,
                     request.datum == NetworkDatum::kFree ? &datum : nullptr);
    if (!result.solution.solved) return false;
    sums = SumGroups(network, names, weighting.Marks(datum_marks), result.solution, weighting);
    if (!request.variance_components || result.iterations >= kMostIterations) break;
    bool settled = true;
    for (std::size_t g = 0; g < names.size(); ++g) {
      // Too little to estimate it from, with the weights it started with:
      // it keeps its a-priori sigma throughout.
      if (result.iterations == 1 && sums.redundancy[g] < kLeastRedundancyToEstimate) {
        estimated[g] = false;
      }
      if (!estimated[g]) continue;
      const double factor = weighting.Factor(names[g]);
      const double ratio = std::clamp(sums.weighted_squares[g] / sums.redundancy[g],
                                      kSmallestFactor / factor, kLargestFactor / factor);
      if (std::fabs(ratio - 1) >= kFactorSettled) settled = false;
      weighting.ScaleFactor(names[g], ratio);
    }
    if (settled) break;
  }
  if (request.datum == NetworkDatum::kFree) {
    MoveToFreeDatum(network.marks, datum, weighting.sigma_units(), result.solution);
  }
  const NetworkSolution& solution = result.solution;
  for (std::size_t g = 0; g < names.size(); ++g) {
    GroupResult group;
    group.name = names[g];
    group.observations = sums.observations[g];
    const auto found = request.sigma_millimetres.find(names[g]);
    group.sigma_apriori = names[g] == kMarksGroup                    ? 1.0
                          : found != request.sigma_millimetres.end() ? found->second
                                                                     : 0.0;
    group.variance_factor = weighting.Factor(names[g]);
    if (estimated[g]) {
      group.sigma_estimated = group.sigma_apriori * std::sqrt(group.variance_factor);
    }
    group.redundancy = sums.redundancy[g];
    result.groups.push_back(group);
  }

  result.test_statistic = solution.weighted_square_sum / (result.sigma_units * result.sigma_units);
  double unit_weight = 1;  // the a-posteriori sigma over the a-priori one
  if (solution.redundancy > 0) {
    const double redundancy = static_cast<double>(solution.redundancy);
    const double unit_per_millimetre = 1 / (1000 * MetresPerUnit(network.units));
    result.sigma_aposteriori =
        std::sqrt(solution.weighted_square_sum / redundancy) / unit_per_millimetre;
    unit_weight = std::sqrt(result.test_statistic / redundancy);
    result.test_lower = ChiSquareQuantile(solution.redundancy, 0.025);
    result.test_upper = ChiSquareQuantile(solution.redundancy, 0.975);
    result.global_test_passed = result.test_statistic <= result.test_upper;
    result.apriori_sigma_pessimistic = result.test_statistic < result.test_lower;
    result.std_dev_aposteriori.resize(solution.std_dev.size());
    for (std::size_t m = 0; m < solution.std_dev.size(); ++m) {
      result.std_dev_aposteriori[m] = solution.std_dev[m] * unit_weight;
    }
  }

  result.runs.resize(network.runs.size());
  result.mark_checked.assign(network.marks.size(), false);
  for (std::size_t m = 0; m < network.marks.size(); ++m) {
    result.mark_checked[m] = datum_marks[m].status == MarkStatus::kFixed;
  }
  for (std::size_t r = 0; r < network.runs.size(); ++r) {
    const RunRecord& record = network.runs[r];
    RunResult& run = result.runs[r];
    const double cofactor = weighting.Cofactor(r);
    run.residual = solution.residual[r];
    run.std_dev = result.sigma_units * std::sqrt(cofactor);
    run.allowed = AllowedMisclosure(record.length, network.units);
    if (record.kind != ObservationKind::kTrigRun) ++result.lines;
    // A run nothing else checks (a spur to a mark of its own) keeps a
    // cofactor of zero, but for the rounding of the sums that make it.
    const double q = solution.residual_cofactor[r];
    if (!(q > kUncheckedCofactor * cofactor)) {
      run.residual = 0;  // Deliberate: what is left is the rounding of the solution
      if (record.kind == ObservationKind::kTrigRun) ++result.runs_unchecked;
      continue;
    }
    run.redundancy_number = std::clamp(q / cofactor, 0.0, 1.0);
    run.standardized = run.residual / (result.sigma_units * std::sqrt(q));
    if (solution.redundancy > 0) run.tau = *run.standardized / unit_weight;
    run.mdb = kDetectableShift * run.std_dev / std::sqrt(run.redundancy_number);
    run.flagged = std::fabs(*run.standardized) > kBlunderLimit;
    if (run.flagged) ++result.flagged_runs;
    result.mark_checked[static_cast<std::size_t>(record.from)] = true;
    result.mark_checked[static_cast<std::size_t>(record.to)] = true;
    if (record.kind != ObservationKind::kTrigRun) continue;
    // The same three tests quarrow-adjust makes, with the run's misclosure
    // between its adjusted marks, which is its residual.
    run.meets_third_order = record.turn_errors == 0 && !record.run_unbalanced &&
                            !ExceedsMisclosure(run.residual, run.allowed);
    if (*run.meets_third_order) ++result.runs_meeting;
  }
  result.marks_unchecked = static_cast<std::int64_t>(
      std::count(result.mark_checked.begin(), result.mark_checked.end(), false));

  std::vector<NetworkRun> runs = weighting.Runs();
  for (NetworkLoop& loop : FindLoops(network.marks, runs)) {
    LoopResult entry;
    for (const LoopStep& step : loop.steps)
      entry.length += network.runs[static_cast<std::size_t>(step.run)].length;
    entry.allowed = AllowedMisclosure(entry.length, network.units);
    entry.meets = !ExceedsMisclosure(loop.misclosure, entry.allowed);
    if (entry.meets) ++result.loops_meeting;
    entry.loop = std::move(loop);
    result.loops.push_back(std::move(entry));
  }

  if (request.datum != NetworkDatum::kFree &&
      !CheckControl(network, weighting, request.datum == NetworkDatum::kMinimal, result)) {
    return false;
  }
  const auto trig_runs = static_cast<std::int64_t>(network.runs.size()) - result.lines;
  result.third_order_met = result.runs_unchecked == 0 && result.runs_meeting == trig_runs &&
                           result.loops_meeting == static_cast<std::int64_t>(result.loops.size());
  result.all_meet = result.third_order_met && result.global_test_passed &&
                    result.control_flagged == 0 && result.marks_unchecked == 0;
  return true;
}

}  // namespace quarrow
