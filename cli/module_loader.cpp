#include "cli/module_loader.h"

#include <QDir>
#include <QFileInfo>

namespace quarrow {

QString ProgramFolder(const char* argv0) {
  const QFileInfo self(QStringLiteral("/proc/self/exe"));
  if (self.exists()) return QFileInfo(self.canonicalFilePath()).absolutePath();
  return QFileInfo(QFile::decodeName(argv0)).canonicalPath();
}

bool LoadModule(const QString& folder, const char* module, QLibrary& library, std::string& error) {
  library.setFileName(QDir(folder).filePath(QLatin1String(module)));
  if (library.load()) return true;
  error = library.errorString().toLocal8Bit().toStdString();
  return false;
}

}  // namespace quarrow
