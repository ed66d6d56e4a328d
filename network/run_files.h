#pragma once

// Reading a network's field files on every core. Each file is read from the
// disk once (the check, the units its first line names and the closure pass
// all read the same bytes in memory), the files are shared out among
// threads, and what each file says (its messages, its warnings, its record)
// is kept apart and taken in the files' order: the network and every
// message are the same whatever the number of threads.

#include <optional>
#include <string>
#include <vector>

#include "engine/field_file_check.h"
#include "engine/platform.h"
#include "engine/run_state.h"
#include "network/network_adjustment.h"

namespace quarrow {

// One run file as it was read: a field file, one trig run; or a digital
// level's file, a levelled line between two marks each.
struct ReadRunFile {
  RunRecord run;
  std::vector<RunRecord> levelled_lines;  // a digital level's file: its lines, `run` unused
  bool read = false;                      // false: `messages` say why not
  std::optional<Units> named_units;       // the units its first line names
  Units units = Units::kFeet;             // the units it was read in
  FieldFileChecker checker;
  std::vector<MessageBoxSpec> messages;  // what it showed, in order, to be shown again
};

// Reads every run file of `request` on `threads` threads (0: as many as the
// machine has cores), each in the units its first line names or else in
// `request.units` (feet when none). Nothing is shown: the messages are in
// the results.
std::vector<ReadRunFile> ReadRunFiles(Platform& platform, const NetworkRequest& request,
                                      int threads);

}  // namespace quarrow
