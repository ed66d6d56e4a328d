#pragma once

// quarrow-network: many level runs adjusted together by least squares, joined
// at their bench marks, against the marks of a marks file.

#include <QStringList>
#include <ostream>

namespace quarrow {

// Runs the tool on `arguments` (the program name first). Messages go to
// `errors`; --help and --version print to `output`. Exit statuses are those
// of quarrow-adjust (cli/adjust_tool.h): 0 every run, loop and the global
// test meet; 1 something failed (written unless --strict); 2 usage or input
// error, nothing written.
int RunNetworkTool(const QStringList& arguments, std::ostream& output, std::ostream& errors);

}  // namespace quarrow
