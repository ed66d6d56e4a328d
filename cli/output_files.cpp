#include "cli/output_files.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <unordered_map>

#include "platform/qt_platform.h"

namespace quarrow {

namespace {

// One key for every way of naming a file: device and inode of what exists
// (links and other spellings included), else the real path of its folder and
// the name. A hash of keys keeps thousands of files a linear check.
std::string FileKey(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    return "@" + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
  }
  const QFileInfo info(QtPlatform::ToQString(path));
  const QFileInfo folder(info.absolutePath());
  const QString folder_key =
      folder.exists() ? folder.canonicalFilePath() : QDir::cleanPath(info.absolutePath());
  return QtPlatform::FromQString(folder_key + QLatin1Char('/') + info.fileName());
}

}  // namespace

std::string FindSharedFile(const std::vector<NamedFile>& files) {
  std::unordered_map<std::string, std::size_t> seen;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto [entry, inserted] = seen.emplace(FileKey(files[i].path), i);
    if (inserted) continue;
    const NamedFile& first = files[entry->second];
    if (first.option == "RUN_FILE" && files[i].option == "RUN_FILE") {
      return "the field file " + files[i].path + " is given twice (as " + first.path + ")";
    }
    return first.option + " " + first.path + " and " + files[i].option + " " + files[i].path +
           " name the same file";
  }
  return "";
}

}  // namespace quarrow
