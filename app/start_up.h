#pragma once

// Main: where the window program begins.

#include <QStringList>
#include <memory>

#include "app/frm_main.h"

namespace quarrow {

// Prepares `rs`, takes the field file from the first of `arguments` after
// the program's name (further arguments, like further dropped files, are
// ignored), checks it and shows frmMain centred, its boxes loaded from
// InputPath and ReportPath. Returns the shown window; the program then
// lives in the event loop.
std::unique_ptr<frmMain> Main(RunState& rs, Platform& platform, WindowServices& services,
                              const QStringList& arguments);

}  // namespace quarrow
