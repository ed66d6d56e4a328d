#pragma once

// Loading a drawing module (plot/profile_module.h, plot/network_diagram_module.h)
// from the folder of the running program, and finding its entry points.
// A module stays loaded for the rest of the run: the pictures and the
// application it makes live in it.

#include <QLibrary>
#include <QString>
#include <string>

namespace quarrow {

// The folder of the running program itself, links followed: the modules are
// installed beside the program, not beside its link in bin/. `argv0` is
// used only where the system cannot say.
QString ProgramFolder(const char* argv0);

// Loads `module`, a name such as "modules/quarrow-profile", from `folder`
// into `library`; false, with `error` saying why, when it is missing or
// cannot be loaded.
bool LoadModule(const QString& folder, const char* module, QLibrary& library, std::string& error);

// The entry point `name` of a loaded module as a `Function`; none, with
// `error` saying why, when the module lacks it.
template <typename Function>
Function ModuleEntry(QLibrary& library, const char* name, std::string& error) {
  const auto entry = reinterpret_cast<Function>(library.resolve(name));
  if (entry == nullptr) error = library.errorString().toLocal8Bit().toStdString();
  return entry;
}

}  // namespace quarrow
