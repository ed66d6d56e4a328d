#pragma once

// The network diagram as a module the network tool loads only when a
// diagram is asked for: Qt Gui and the graph layout then cost nothing to
// every other run. The module's two entry points, looked up by these names:
// kMakeDrawingApplication (plot/drawing_application.h), to be called before
// any other Qt object is made, and kMakeNetworkDiagram below. No Qt type
// appears here, so that the tool can hold a diagram without Qt Gui.

#include <string>
#include <utility>

#include "plot/drawing_application.h"
#include "plot/network_diagram_data.h"

namespace quarrow {

// A diagram in the making. Write draws it into a temporary file beside
// `path`; Commit moves that into place, replacing any file at `path`. Until
// Commit nothing at `path` changes, and an output destroyed uncommitted
// leaves nothing behind: so a diagram is committed with the tool's other
// outputs, or not at all.
class DiagramOutput {
 public:
  explicit DiagramOutput(std::string path) : path_(std::move(path)) {}
  virtual ~DiagramOutput() = default;
  const std::string& path() const { return path_; }

  // Draws `data` (read only during the call). False, with ErrorText saying
  // why, when the name has no picture format or the file cannot be written;
  // nothing is shown to the user here. Any data draws.
  virtual bool Write(const DiagramData& data) = 0;
  // False, with ErrorText saying why, when nothing was written or the move
  // fails.
  virtual bool Commit() = 0;
  // Why the last Write or Commit failed, in words for the user (bytes in the
  // system's 8-bit encoding); the caller names the file.
  virtual std::string ErrorText() const = 0;

 private:
  std::string path_;
};

// A diagram to be written to `path`, whose extension chooses the format as
// for the profile (plot/profile_format.h): ".svg", ".png" or ".pdf".
using MakeNetworkDiagram = DiagramOutput* (*)(const std::string& path);
inline constexpr const char* kMakeNetworkDiagram = "quarrow_make_network_diagram";

// The module's file name, in the folder "modules" beside the program.
inline constexpr const char* kDiagramModuleName = "modules/quarrow-diagram";

}  // namespace quarrow
