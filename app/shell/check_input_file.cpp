#include "check_input_file.h"

#include "error_box.h"
#include "field_file.h"
#include "messages.h"

namespace quarrow {

namespace m = messages;

namespace {
constexpr char kWindowsDegreeSign = static_cast<char>(176);
constexpr char kDosDegreeSign = static_cast<char>(248);
}  // namespace

std::uint8_t CheckInputFile(RunState& rs, Platform& platform, std::int16_t check_only) {
  if (!platform.FileExists(rs.InputPath)) {
    rs.FileState = kFileUnavailable;
    ShowError(platform, {m::kFileDoesNotExist, rs.InputPath});
    return rs.FileState;
  }
  rs.DegreeMark = kWindowsDegreeSign;
  OpenFieldFile(rs, platform);
  rs.InFile.Close();
  // Only a file that opened but showed no 176 mark gets the second try.
  if (rs.FileState == kFileUnrecognised) {
    rs.DegreeMark = kDosDegreeSign;
    OpenFieldFile(rs, platform);
    rs.InFile.Close();
  }
  if (rs.FileState == kFileUnrecognised) {
    ShowError(platform, {m::kUnrecognizedFormat, rs.InputPath});
    return rs.FileState;
  }
  if (rs.FileState == kFileUnavailable) {
    ShowError(platform, {m::kUnableToOpen, rs.InputPath});
    return rs.FileState;
  }
  if (check_only != 0) return rs.FileState;

  rs.LastFolder = platform.ParentFolderName(rs.InputPath);
  rs.ReportPath = platform.BuildPath(rs.LastFolder, platform.BaseName(rs.InputPath) + ".adj");
  return rs.FileState;
}

}  // namespace quarrow
