#pragma once

// A level network from its field files and its marks file: every run read
// once by the closure pass for the difference it carries and its length,
// joined to the others at its two bench marks by name, then adjusted by
// least squares (network/network_solver.h) with its loops and statistics.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/field_file_check.h"
#include "engine/platform.h"
#include "engine/run_state.h"
#include "engine/units.h"
#include "network/loops.h"
#include "network/marks_file.h"
#include "network/network_solver.h"

namespace quarrow {

// The a-priori standard error of a levelled kilometre when none is given:
// the FGCS third-order value, in millimetres.
inline constexpr double kDefaultSigmaMillimetres = 2.0;
// A standardized residual beyond this is a likely blunder (the 99.9 %
// two-sided point of the normal distribution).
inline constexpr double kBlunderLimit = 3.29;

struct NetworkRequest {
  std::string marks_file;
  std::vector<std::string> run_files;  // as given, in order
  // None: the units the field files name in their first lines, or feet.
  std::optional<Units> units;
  std::optional<double> refraction;  // curvature and refraction with this k
  double sigma_millimetres = kDefaultSigmaMillimetres;
};

// One field file as the closure pass read it, before the network is adjusted.
struct RunRecord {
  std::string file;         // as given
  std::string report_path;  // its usual report beside it
  char degree_mark = '\0';
  std::string from_name;  // the bench marks, trimmed
  std::string to_name;
  std::int64_t from = 0;  // indices into Network::mark_names
  std::int64_t to = 0;
  double difference = 0;  // unadjusted, from the beginning to the ending mark
  double length = 0;      // in the units of the run
  std::int64_t setups = 0;
  std::int64_t turn_errors = 0;  // turns over the largest BS - FS differential
  bool run_unbalanced = false;   // the sums of BS and FS differ by more than it
};

struct Network {
  std::vector<std::string> mark_names;  // listed marks the runs touch first, in file order
  std::vector<NetworkMark> marks;
  std::vector<RunRecord> runs;
  std::vector<std::string> untouched_marks;  // listed, but on no run
  Units units = Units::kFeet;
  // What the field files hold beyond what their reader takes: the warnings
  // of each run file that has any, in the order of the files.
  std::vector<std::pair<std::string, FieldFileChecker>> warnings;
};

// Reads the marks file and every field file (ReadNetworkRun), then joins
// them (JoinNetwork). Each problem is shown through the platform, naming the
// file or mark; the answer is then none (exit 2).
std::optional<Network> LoadNetwork(Platform& platform, const NetworkRequest& request);

// The pieces of LoadNetwork, for a front end that reads its runs as they
// come and joins them later.
//
// Reads the field file `run.file` in `units` with the request's choices:
// checks it, runs the closure pass from an elevation of zero with `checker`
// told every line, and fills the rest of `run`. `rs` is left as the closure
// pass left it (its sums and sights). False, with the problem shown, when
// the file cannot be used or a bench mark has no name.
bool ReadNetworkRun(Platform& platform, const NetworkRequest& request, Units units, RunRecord& run,
                    FieldFileChecker& checker, RunState& rs);
// Refuses, naming the line of `path`, a listed standard deviation of more
// than a metre in `units`: most often a decimal comma split the elevation.
bool CheckStandardDeviations(Platform& platform, const std::string& path, const MarksFile& listed,
                             Units units);
// Gives the runs of `network` (read, in `network.units`) their marks: the
// listed ones the runs touch, in the order of `listed`, then the others as
// the runs meet them; listed marks no run touches go to untouched_marks.
// False, with the problem shown, when some marks reach no listed mark.
bool JoinNetwork(Platform& platform, const MarksFile& listed, Network& network);

struct RunResult {
  double residual = 0;                 // the correction the run's difference receives
  std::optional<double> standardized;  // none when nothing else checks the run
  bool flagged = false;                // |standardized| > kBlunderLimit
  double allowed = 0;                  // third-order closing error for its length
  // Turns, balance and closure between the adjusted marks; none when nothing
  // else checks the run (its residual is then zero whatever its errors).
  std::optional<bool> meets_third_order;
};

struct LoopResult {
  NetworkLoop loop;
  double length = 0;  // in the units of the runs
  double allowed = 0;
  bool meets = false;
};

struct NetworkResult {
  NetworkSolution solution;
  std::vector<RunResult> runs;
  std::vector<LoopResult> loops;
  double sigma_units = 0;  // the a-priori sigma in units per root kilometre
  double sigma_millimetres = 0;
  std::optional<double> sigma_aposteriori;  // mm per root km; none without redundancy
  double test_statistic = 0;                // v'Pv / sigma^2
  double test_lower = 0;                    // chi-square 2.5 % and 97.5 % points
  double test_upper = 0;
  bool global_test_passed = true;   // also with no redundancy: nothing to test
  std::int64_t runs_meeting = 0;    // of the runs that are checked
  std::int64_t runs_unchecked = 0;  // runs nothing else checks
  // Per mark: false for a mark whose elevation rests on runs nothing checks.
  std::vector<bool> mark_checked;
  std::int64_t marks_unchecked = 0;
  std::int64_t loops_meeting = 0;
  std::int64_t flagged_runs = 0;
  bool all_meet = false;  // every run checked and meeting, every loop, the global test
};

// A run's RunState made ready for the engine's passes: its field file, the
// degree mark of its check, the units and choices of the request, and the
// two elevations the passes start and end with.
void PrepareRunState(RunState& rs, const RunRecord& run, const Network& network,
                     const NetworkRequest& request, double begin_elevation, double end_elevation);

// Adjusts the network; false when its normal equations cannot be solved.
bool AdjustNetwork(const Network& network, double sigma_millimetres, NetworkResult& result);

}  // namespace quarrow
