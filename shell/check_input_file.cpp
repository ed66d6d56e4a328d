#include "shell/check_input_file.h"

#include "engine/error_box.h"
#include "engine/field_file.h"
#include "engine/file_paths.h"
#include "engine/messages.h"

namespace quarrow {

namespace m = messages;

namespace {
constexpr char kWindowsDegreeSign = static_cast<char>(176);
constexpr char kDosDegreeSign = static_cast<char>(248);
}  // namespace

FileStateValue CheckInputFile(RunState& rs, Platform& platform, CheckMode mode) {
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
  if (mode == CheckMode::kCheckOnly) return rs.FileState;

  rs.LastFolder = ParentFolderName(rs.InputPath);
  rs.ReportPath = BuildPath(rs.LastFolder, BaseName(rs.InputPath) + ".adj");
  return rs.FileState;
}

}  // namespace quarrow
