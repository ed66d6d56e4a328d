#include "engine/file_paths.h"

namespace quarrow {

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

std::string ParentFolderName(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
  if (end == 0) return "";
  std::size_t folder_end = end - 1;
  while (folder_end > 0 && IsPathSeparator(path[folder_end - 1])) --folder_end;
  return folder_end == 0 ? path.substr(0, 1) : path.substr(0, folder_end);
}

std::string FileName(const std::string& path) {
  std::size_t start = path.size();
  while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
  return path.substr(start);
}

std::string BaseName(const std::string& path) {
  const std::string name = FileName(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string BuildPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (IsPathSeparator(folder.back())) return folder + name;
  return folder + "/" + name;
}

}  // namespace quarrow
