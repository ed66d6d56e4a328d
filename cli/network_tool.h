#pragma once

// quarrow-network: many level runs adjusted together by least squares, joined
// at their bench marks, against the marks of a marks file.

#include <QStringList>
#include <ostream>

#include "engine/platform.h"
#include "plot/network_diagram_module.h"

namespace quarrow {

// Runs the tool on `arguments` (the program name first) through `platform`,
// whose message boxes are the tool's messages; its own words go to
// `errors`, --help and --version to `output`. Exit statuses are those of
// quarrow-adjust (cli/adjust_tool.h): 0 every run, loop and the global test
// meet; 1 something failed (written unless --strict); 2 usage or input
// error, nothing written.
// `make_diagram` draws --diagram; without it the option is refused.
int RunNetworkTool(const QStringList& arguments, Platform& platform, std::ostream& output,
                   std::ostream& errors, MakeNetworkDiagram make_diagram = nullptr);

// The same on the console: messages on `errors`.
int RunNetworkTool(const QStringList& arguments, std::ostream& output, std::ostream& errors,
                   MakeNetworkDiagram make_diagram = nullptr);

}  // namespace quarrow
