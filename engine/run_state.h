#pragma once

// The one record every procedure of the level run shares. It is made once in
// main and passed by reference for the life of the program; procedures read
// what earlier ones left behind (ReadForesight uses the Hi that ReadBacksight
// computed, AdjustLevelRun uses the DegreeMark that CheckInputFile found).
//
// Texts are bytes: whatever the field file holds passes through unchanged.
// Everything that asks the machine (files, boxes, the locale, the date) goes
// through the Platform that is passed beside this record.

#include <cstdint>
#include <string>

#include "engine/field_file_stream.h"
#include "engine/report_stream.h"
#include "engine/units.h"

namespace quarrow {

// Result of the last field-file check.
enum FileStateValue : std::uint8_t {
  kFileUnrecognised = 0,  // opened, but no observation line with another after it
  kFileUsable = 1,
  kFileUnavailable = 2,  // missing or cannot be opened
};

struct RunState {
  std::string SetupId;      // setup identifier of the setup being processed
  std::string BsName;       // backsight point name
  double BsElev = 0;        // elevation carried to the backsight point
  double BsHd = 0;          // backsight horizontal distance (BS-HD)
  double BsVd = 0;          // backsight vertical difference (BS-VD)
  double BsSh = 0;          // backsight rod height (BS-SH)
  double Hi = 0;            // height of instrument, unadjusted (HI-RAW)
  std::string FsName;       // latest foresight name; FirstMark before the first mark line
  double FsHd = 0;          // foresight horizontal distance (FS-HD)
  double FsVd = 0;          // foresight vertical difference (FS-VD)
  double FsSh = 0;          // foresight rod height (FS-SH)
  double Elev = 0;          // running unadjusted elevation (ELEV-RAW)
  std::string MessageText;  // scratch: prompts, discarded fields
  std::string LineBuffer;   // unconsumed rest of the current field-file line
  std::string LastFolder;   // folder of the last accepted field file
  FileStateValue FileState = kFileUnrecognised;
  std::string InputPath;   // the field file, as typed or given
  std::string ReportPath;  // the report file, as typed or derived
  FieldFileStream InFile;  // the open field file
  ReportStream OutFile;    // the open report
  double ShellResult = 0;  // result of the latest viewer launch; never examined
  // The summary box's frame. Start-up sets them again (InitialiseFrames);
  // they start right so that no report is ever framed with nothing.
  std::string BorderLine = "+" + std::string(78, '-') + "+";
  std::string FrameFill = std::string(79, ' ') + "|";
  double VertAngle = 0;     // vertical angle of the latest observation, radians
  double SlopeDist = 0;     // slope distance of the latest observation
  std::string NextSetupId;  // setup identifier of the latest line of the closure pass
  double SumBsHd = 0;       // sum of backsight horizontal distances
  double SumFsHd = 0;       // sum of the turning points' horizontal distances
  double RunDistance = 0;   // distance travelled so far in the report pass
  double CorrPerUnit = 0;   // Misclosure / RunLength
  std::string FirstMark;    // the beginning bench mark: first backsight point of the run
  double BeginElev = 0;     // published elevation of the beginning bench mark
  double EndElev = 0;       // published elevation of the ending bench mark
  std::string ShotPattern;  // per foresight in file order: "1" side shot, "0" turning point
  // How much of ShotPattern the report pass has used up. The pattern is read
  // from the front; a cursor spares copying the rest after every foresight.
  std::size_t ShotPatternUsed = 0;
  std::string UnitsLabel;    // "English Units" or "Metric Units"
  char UnitMark = '\0';      // '\'' for feet, 'm' for metres
  std::int16_t MaxDiff = 0;  // largest allowed BS - FS distance differential
  double Misclosure = 0;     // EndElev minus the unadjusted elevation reached
  double AllowedError = 0;   // allowed closing error for third order
  double RunLength = 0;      // SumBsHd + SumFsHd
  // Counts are wider than the 16 bits a field crew would ever need, so that a
  // machine-made run of millions of bad turns still counts right.
  std::int64_t TurnErrors = 0;
  char DegreeMark = '\0';  // byte 176 or 248: the sign that marks observation lines

  // Choices beyond the report's own rules, set by the headless tool; the
  // defaults leave every reduction and report as it has always been.
  bool CurvatureApplied = false;    // add (1 - k) HD^2 / 2R to every vertical difference
  double RefractionK = 0;           // the coefficient of refraction k, 0 <= k < 1
  bool DistributeBySetups = false;  // an equal share of the misclosure per setup
  std::int64_t SetupCount = 0;      // setups as the closure pass groups them
  std::string LastMark;             // the ending bench mark: the last foresight of the run
  double MaxSight = 0;              // longest backsight or turning-point sight
  double MaxSetupImbalance = 0;     // largest |BS - FS| of one setup
  std::int64_t HalfShares = 0;      // half shares of the misclosure reached in the report pass
};

// Fills the constant framing texts of the summary box; start-up calls it once.
void InitialiseFrames(RunState& rs);

// Sets UnitsLabel and UnitMark, the two fields the window's unit choice
// fills, for `units`.
void StoreUnits(RunState& rs, Units units);

}  // namespace quarrow
