#include "cli/output_files.h"

#include <QDir>
#include <QFileInfo>

#include "platform/qt_platform.h"

namespace quarrow {

namespace {

// One spelling for every way of writing a path: the real path of what
// exists, else the real path of its folder and the name.
QString FileKey(const std::string& path) {
  const QFileInfo info(QtPlatform::ToQString(path));
  if (info.exists()) return info.canonicalFilePath();
  const QFileInfo folder(info.absolutePath());
  const QString folder_key =
      folder.exists() ? folder.canonicalFilePath() : QDir::cleanPath(info.absolutePath());
  return folder_key + QLatin1Char('/') + info.fileName();
}

}  // namespace

std::string FindSharedFile(Platform& platform, const std::vector<NamedFile>& files) {
  std::vector<QString> keys;
  for (const NamedFile& file : files) keys.push_back(FileKey(file.path));
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (keys[i] != keys[j] && !platform.IsSameFile(files[i].path, files[j].path)) continue;
      return files[j].option + " " + files[j].path + " and " + files[i].option + " " +
             files[i].path + " name the same file";
    }
  }
  return "";
}

}  // namespace quarrow
