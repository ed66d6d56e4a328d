// Whatever bytes arrive, the engine answers with a report or a message:
// never a crash, a hang, a leak or undefined behaviour.
//
// Input layout: 8 bytes beginning elevation, 8 bytes ending elevation (raw
// doubles, so NaN and infinities come too), one byte of choices (units, the
// answer to the failed-tests box, the locale's separators), then the field
// file's bytes.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/messages.h"
#include "engine/report_format.h"
#include "shell/adjust_level_run.h"
#include "shell/check_input_file.h"
#include "tests/support/fake_platform.h"

namespace {

double TakeDouble(const std::uint8_t*& data, std::size_t& size) {
  double value = 0;
  if (size >= sizeof value) {
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    size -= sizeof value;
  }
  return value;
}

// The report's fast "0.000" formatting must agree with the standard
// library's exact fixed-point printing for every double.
void CheckFixed3(double value) {
  char digits[400];
  const double printed = value == 0.0 ? 0.0 : value;
  const auto end =
      std::to_chars(digits, digits + sizeof digits, printed, std::chars_format::fixed, 3).ptr;
  if (quarrow::FormatFixed3(value, ".") != std::string(digits, end)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quarrow;
  const double begin_elev = TakeDouble(data, size);
  const double end_elev = TakeDouble(data, size);
  std::uint8_t choices = 0;
  if (size > 0) {
    choices = *data++;
    --size;
  }

  CheckFixed3(begin_elev);
  CheckFixed3(end_elev);
  CheckFixed3(end_elev - begin_elev);

  FakePlatform platform;
  platform.answers = {(choices & 2) ? MessageAnswer::kOk : MessageAnswer::kCancel};
  if (choices & 4) {
    platform.decimal_separator = ",";
    platform.date_separator = ".";
  }
  platform.files["run.txt"].assign(reinterpret_cast<const char*>(data), size);

  RunState rs;
  InitialiseFrames(rs);
  rs.InputPath = "run.txt";
  if (CheckInputFile(rs, platform, CheckMode::kCheckAndDerive) != kFileUsable) return 0;
  rs.BeginElev = begin_elev;
  rs.EndElev = end_elev;
  const bool feet = (choices & 1) != 0;
  rs.UnitsLabel = feet ? messages::kEnglishUnits : messages::kMetricUnits;
  rs.UnitMark = feet ? '\'' : 'm';
  const AdjustOutcome outcome = AdjustLevelRun(rs, platform);

  // A written report is whole: it ends with the closing border line.
  const bool written = outcome == AdjustOutcome::kMeetsSpecifications ||
                       outcome == AdjustOutcome::kFailsSpecifications;
  if (written != (platform.files.count("run.adj") == 1)) __builtin_trap();
  if (written) {
    const std::string& report = platform.files["run.adj"];
    const std::string tail = rs.BorderLine + "\r\n";
    if (report.size() < tail.size() ||
        report.compare(report.size() - tail.size(), tail.size(), tail) != 0) {
      __builtin_trap();
    }
  }
  // The field file is never touched.
  if (platform.files["run.txt"].size() != size) __builtin_trap();
  return 0;
}
