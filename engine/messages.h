#pragma once

// Every text the user reads, in one place. Messages use CR LF between lines.

#include <string_view>

namespace quarrow::messages {

inline constexpr std::string_view kLineBreak = "\r\n";

// Problems with the field file and the report: critical stop, OK only.
inline constexpr std::string_view kErrorTitle = "Quarrow Error";
inline constexpr std::string_view kFileDoesNotExist = "File Does Not Exist";
inline constexpr std::string_view kUnrecognizedFormat = "Unrecognized File Format in";
inline constexpr std::string_view kUnableToOpen = "Unable To Open Specified File:";
inline constexpr std::string_view kFieldFileChanged =
    "The level file changed or could not be read while it was being adjusted:";
inline constexpr std::string_view kNoReportWritten = "No report was written.";
inline constexpr std::string_view kReportIsFieldFile =
    "The report file would replace the level file itself:";
inline constexpr std::string_view kChooseAnotherReport = "Choose another name for the report file.";
inline constexpr std::string_view kUnableToWriteReport = "Unable To Write Report File:";
inline constexpr std::string_view kUnableToWriteOutput = "Unable To Write Output File:";
inline constexpr std::string_view kRunLengthIs = "The level run length is ";
inline constexpr std::string_view kRunLengthNotPositive =
    "The misclosure can only be distributed over a run of positive length.";
inline constexpr std::string_view kRunNotComputable =
    "The level run cannot be computed: a reading or an elevation is too large.";

// What the steps before an adjustment refuse.
inline constexpr std::string_view kNoReportFile = "No Report File Named";
inline constexpr std::string_view kNameReportFile =
    "Type, drop or select the name of the report file.";

// The overwrite question: question icon, Yes/No, Yes the default.
inline constexpr std::string_view kOverwriteTitle = "Output File Exists";
inline constexpr std::string_view kOverwriteExists = " exists.";
inline constexpr std::string_view kOverwriteQuestion = "Do you want to overwrite it?";

// Failed third-order tests: OK/Cancel, no icon.
inline constexpr std::string_view kOneTurnExceeds =
    "One turn exceeds the maximum BS - FS differential.";
inline constexpr std::string_view kTurnsExceed = " turns exceed the maximum BS - FS differential.";
inline constexpr std::string_view kRunExceeds =
    "The level run exceeds the maximum BS - FS differential.";
inline constexpr std::string_view kMisclosureExceeds =
    "The elevation misclosure exceeds the allowed maximum.";
inline constexpr std::string_view kOneErrorTitle = "Quarrow Encountered One Error";
inline constexpr std::string_view kErrorsTitleStart = "Quarrow Encountered ";
inline constexpr std::string_view kErrorsTitleEnd = " Errors";

// The report.
inline constexpr std::string_view kReportTitleStart = "Drevak Level Run Report (Version ";
inline constexpr std::string_view kEnglishUnits = "English Units";
inline constexpr std::string_view kMetricUnits = "Metric Units";
inline constexpr std::string_view kInputLabel = "Input Level File:";
inline constexpr std::string_view kOutputLabel = "Output Adjustment File:";
inline constexpr std::string_view kColumnHeader =
    "MARK NAME    BS-HD     BS-VD     BS-SH     HI-RAW     FS-HD     FS-VD     FS-SH    "
    "ELEV-RAW   ADJUST   ELEV-ADJ";
inline constexpr std::string_view kColumnRule =
    "---------   -------   -------   -------   --------   -------   -------   -------   "
    "--------   ------   --------";
inline constexpr std::string_view kStubPrefix = "    STUB ";
inline constexpr std::string_view kDoesNotMeet =
    "| ** This level run DOES NOT MEET third order specifications.";
inline constexpr std::string_view kMeets = "| This level run MEETS third order specifications.";
inline constexpr std::string_view kRunLengthLine = "| The level run length is ";
inline constexpr std::string_view kAllowedErrorLine = "| The allowed closing error is ";
inline constexpr std::string_view kFlagged = "| ** ";
inline constexpr std::string_view kUnflagged = "| ";
inline constexpr std::string_view kActualError = "The actual closing error is ";
inline constexpr std::string_view kAllTurnsWithin =
    "| All turns are within the maximum BS - FS differential";
inline constexpr std::string_view kOneTurnExceedsLine =
    "| ** One turn exceeds the maximum BS - FS differential";
inline constexpr std::string_view kTurnsExceedLine =
    " turns exceed the maximum BS - FS differential";
inline constexpr std::string_view kTotalExceeds =
    "| ** The total level run exceeds the maximum BS - FS differential";
inline constexpr std::string_view kTotalWithin =
    "| The total level run is within the maximum BS - FS differential";
inline constexpr std::string_view kOf = " of ";
// Summary lines of the headless tool's options, after the tests.
inline constexpr std::string_view kCurvatureApplied = "| Curvature and refraction applied, k = ";
inline constexpr std::string_view kDistributedOver =
    "| The misclosure was distributed equally over ";
inline constexpr std::string_view kOneSetup = " setup.";
inline constexpr std::string_view kSetups = " setups.";

// The units a field file names at the end of its first line (a line the
// reader passes over, as it has no degree sign), as quarrow-convert writes
// them: "Converted by quarrow-convert from GSI file run.gsi; units: feet".
inline constexpr std::string_view kFieldFileUnitsMetric = "units: metric";
inline constexpr std::string_view kFieldFileUnitsFeet = "units: feet";

}  // namespace quarrow::messages
