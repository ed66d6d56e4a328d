#pragma once

// A level network from its field files and its marks file: every run read
// once by the closure pass for the difference it carries and its length,
// joined to the others at its two bench marks by name, then adjusted by
// least squares (network/network_solver.h) with its loops and statistics.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/field_file_check.h"
#include "engine/platform.h"
#include "engine/run_state.h"
#include "engine/units.h"
#include "network/lines_file.h"
#include "network/loops.h"
#include "network/marks_file.h"
#include "network/network_solver.h"

namespace quarrow {

// The groups every observation belongs to, each with its own a-priori
// precision: field files' trig runs, levelled lines (a digital level's, or a
// lines file's unless it names another group), and the weighted marks.
inline constexpr std::string_view kTrigGroup = "trig";
inline constexpr std::string_view kMarksGroup = "marks";
// The a-priori standard errors of a levelled kilometre when none is given,
// in millimetres: the FGCS third-order value for trig runs, a digital
// level's one for levelled lines.
inline constexpr double kDefaultSigmaMillimetres = 2.0;
inline constexpr double kDefaultLevelSigmaMillimetres = 1.0;
// A standardized residual beyond this is a likely blunder (the 99.9 %
// two-sided point of the normal distribution).
inline constexpr double kBlunderLimit = 3.29;
// The shift of the standardized residual that the blunder test finds four
// times in five: 3.29 for its 0.1 % and 0.84 for a power of 80 %. The
// minimal detectable blunder of an observation is this many of its
// standard deviations over the root of its redundancy number.
inline constexpr double kDetectableShift = 4.13;

// Which marks hold the network to its datum.
enum class NetworkDatum {
  kListedMarks,  // every fixed mark held, every weighted one an observation
  kMinimal,      // only the first fixed mark of each part held (--constraint minimal)
  kFree,         // none held: the minimum-norm datum over the listed marks (--free)
};

struct NetworkRequest {
  std::string marks_file;
  std::vector<std::string> run_files;    // as given, in order
  std::vector<std::string> lines_files;  // files of levelled height differences
  // None: the units the field files name in their first lines, or feet.
  std::optional<Units> units;
  std::optional<double> refraction;  // curvature and refraction with this k
  // A-priori standard errors per root kilometre, in millimetres, by group.
  std::map<std::string, double, std::less<>> sigma_millimetres = {
      {std::string(kTrigGroup), kDefaultSigmaMillimetres},
      {std::string(kLevelGroup), kDefaultLevelSigmaMillimetres}};
  bool variance_components = false;  // estimate each group's variance factor
  NetworkDatum datum = NetworkDatum::kListedMarks;
  int decimals = 3;  // of the report's elevations and residuals
  int threads = 0;   // that read the field files; 0: one a core

  // True when anything beyond the network of trig runs and listed marks that
  // quarrow-network has always adjusted was asked for: the report then shows
  // its groups, the control check and the statistics of every observation.
  bool AsksForMore() const;
  // The trig runs' sigma, in millimetres per root kilometre.
  double TrigSigma() const;
};

enum class ObservationKind {
  kTrigRun,       // a field file, reduced by the engine
  kLevelledLine,  // a digital level's line between two bench marks
  kListedLine,    // a line of a lines file
};

// One observed height difference between two marks, before the network is
// adjusted: a field file as the closure pass read it, or a levelled line.
struct RunRecord {
  ObservationKind kind = ObservationKind::kTrigRun;
  std::string file;  // as given
  int line = 0;      // its line in a lines or digital-level file; 0 for a field file
  std::string group = std::string(kTrigGroup);
  std::optional<double> std_dev;  // given with the observation, in its units
  std::string report_path;        // a field file's usual report beside it
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

  // "run.txt", or "lines.csv:12" for a line of a file of lines.
  std::string Source() const;
};

struct Network {
  std::vector<std::string> mark_names;  // listed marks the runs touch first, in file order
  std::vector<NetworkMark> marks;
  std::vector<std::optional<MarkPosition>> positions;  // per mark, from the marks file
  std::vector<RunRecord> runs;
  std::vector<std::string> untouched_marks;  // listed, but on no run
  std::vector<std::string> groups;           // the groups of the observations, in first use
  Units units = Units::kFeet;
  // What the field files hold beyond what their reader takes: the warnings
  // of each run file that has any, in the order of the files.
  std::vector<std::pair<std::string, FieldFileChecker>> warnings;
};

// Reads the marks file, every field file (ReadNetworkRun, on every core) and
// every lines file, then joins them (JoinNetwork). Each problem is shown
// through the platform, naming the file and line or the mark; the answer is
// then none (exit 2).
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
// Lists the groups of the network's observations in their first use, and
// refuses (naming it) an observation that weighs by its length in a group
// the request gives no sigma.
bool CheckGroups(Platform& platform, const NetworkRequest& request, Network& network);
// Gives the runs of `network` (read, in `network.units`) their marks: the
// listed ones the runs touch, in the order of `listed`, then the others as
// the runs meet them; listed marks no run touches go to untouched_marks.
// False, with the problem shown, when some marks reach no listed mark (with
// a free datum: when the network is not one piece).
bool JoinNetwork(Platform& platform, const MarksFile& listed, Network& network,
                 NetworkDatum datum = NetworkDatum::kListedMarks);

struct RunResult {
  double residual = 0;                 // the correction the run's difference receives
  double std_dev = 0;                  // a-priori, in units, with its group's variance factor
  double redundancy_number = 0;        // its share of the redundancy, 0 to 1
  std::optional<double> standardized;  // none when nothing else checks the run
  std::optional<double> tau;           // the same with the a-posteriori sigma
  std::optional<double> mdb;           // minimal detectable blunder, in units
  bool flagged = false;                // |standardized| > kBlunderLimit
  double allowed = 0;                  // third-order closing error for its length
  // Turns, balance and closure between the adjusted marks; none when nothing
  // else checks the run (its residual is then zero whatever its errors), and
  // for a levelled line, which third order does not judge.
  std::optional<bool> meets_third_order;
};

struct LoopResult {
  NetworkLoop loop;
  double length = 0;  // in the units of the runs
  double allowed = 0;
  bool meets = false;
};

struct GroupResult {
  std::string name;
  std::int64_t observations = 0;
  double sigma_apriori = 0;    // mm per root km (the marks group: 1, a factor on their own)
  double variance_factor = 1;  // estimated; 1 without variance components
  std::optional<double> sigma_estimated;  // sigma_apriori times the root of the factor
  double redundancy = 0;                  // the sum of its observations' redundancy numbers
};

// A fixed mark's published elevation against the network held only to the
// first fixed mark of its part.
struct ControlCheck {
  std::int64_t mark = 0;  // index into Network::mark_names
  std::int64_t held = 0;  // the mark held
  double difference = 0;  // published minus adjusted
  double std_dev = 0;     // of the difference
  double standardized = 0;
  bool flagged = false;  // |standardized| > kBlunderLimit: the published elevation is doubtful
};

struct NetworkResult {
  NetworkSolution solution;
  // The marks as the datum held them (with --free or --constraint minimal,
  // fixed marks are adjusted), and for a free network its datum marks.
  std::vector<NetworkMark> marks;
  std::vector<bool> datum_marks;
  std::vector<RunResult> runs;
  std::vector<LoopResult> loops;
  std::vector<GroupResult> groups;
  std::vector<ControlCheck> control;  // with two or more fixed marks
  std::int64_t control_flagged = 0;
  int iterations = 0;      // of the variance components' estimation
  double sigma_units = 0;  // the trig runs' a-priori sigma in units per root kilometre
  double sigma_millimetres = 0;
  std::optional<double> sigma_aposteriori;  // mm per root km; none without redundancy
  // Per mark, from the a-posteriori sigma; empty without redundancy.
  std::vector<double> std_dev_aposteriori;
  double test_statistic = 0;  // v'Pv / sigma^2
  double test_lower = 0;      // chi-square 2.5 % and 97.5 % points
  double test_upper = 0;
  // Two-sided, but only a statistic above the upper point fails: the data
  // are then worse than their a-priori precision. One below the lower point
  // says that precision is pessimistic and changes no verdict.
  bool global_test_passed = true;  // also with no redundancy: nothing to test
  bool apriori_sigma_pessimistic = false;
  std::int64_t runs_meeting = 0;    // of the runs that are checked
  std::int64_t runs_unchecked = 0;  // runs nothing else checks
  std::int64_t lines = 0;           // levelled lines, which third order does not judge
  // Per mark: false for a mark whose elevation rests on runs nothing checks.
  std::vector<bool> mark_checked;
  std::int64_t marks_unchecked = 0;
  std::int64_t loops_meeting = 0;
  std::int64_t flagged_runs = 0;
  bool third_order_met = false;  // every trig run checked and meeting, every loop
  bool all_meet = false;         // third order, the global test and the control
};

// A run's RunState made ready for the engine's passes: its field file, the
// degree mark of its check, the units and choices of the request, and the
// two elevations the passes start and end with.
void PrepareRunState(RunState& rs, const RunRecord& run, const Network& network,
                     const NetworkRequest& request, double begin_elevation, double end_elevation);
void PrepareRunState(RunState& rs, const RunRecord& run, Units units, const NetworkRequest& request,
                     double begin_elevation, double end_elevation);

// Adjusts the network as `request` asks (groups, variance components,
// datum) and makes its statistics and control check; false when its normal
// equations cannot be solved.
bool AdjustNetwork(const Network& network, const NetworkRequest& request, NetworkResult& result);

}  // namespace quarrow
