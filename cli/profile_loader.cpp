#include "cli/profile_loader.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace quarrow {

namespace {

// The folder of the running program itself, links followed: the module is
// installed beside the program, not beside its link in bin/.
QString ProgramFolder(const char* argv0) {
  const QFileInfo self(QStringLiteral("/proc/self/exe"));
  if (self.exists()) return QFileInfo(self.canonicalFilePath()).absolutePath();
  return QFileInfo(QFile::decodeName(argv0)).canonicalPath();
}

}  // namespace

bool LoadProfileDrawing(const char* argv0, ProfileDrawing& drawing, std::string& error) {
  // Loaded for the rest of the run: the pictures and the application live in it.
  static QLibrary module;
  module.setFileName(QDir(ProgramFolder(argv0)).filePath(QLatin1String(kProfileModuleName)));
  if (!module.load()) {
    error = module.errorString().toLocal8Bit().toStdString();
    return false;
  }
  drawing.make_application =
      reinterpret_cast<MakeDrawingApplication>(module.resolve(kMakeDrawingApplication));
  drawing.make_picture = reinterpret_cast<MakeProfilePicture>(module.resolve(kMakeProfilePicture));
  if (drawing.make_application == nullptr || drawing.make_picture == nullptr) {
    error = module.errorString().toLocal8Bit().toStdString();
    return false;
  }
  return true;
}

}  // namespace quarrow
