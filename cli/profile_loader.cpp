#include "cli/profile_loader.h"

#include "cli/module_loader.h"

namespace quarrow {

bool LoadProfileDrawing(const char* argv0, ProfileDrawing& drawing, std::string& error) {
  static QLibrary module;
  if (!LoadModule(ProgramFolder(argv0), kProfileModuleName, module, error)) return false;
  drawing.make_application =
      ModuleEntry<MakeDrawingApplication>(module, kMakeDrawingApplication, error);
  drawing.make_picture = ModuleEntry<MakeProfilePicture>(module, kMakeProfilePicture, error);
  return drawing.make_application != nullptr && drawing.make_picture != nullptr;
}

}  // namespace quarrow
