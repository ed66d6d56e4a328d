#pragma once

// The engine's Platform built on Qt Core: files, paths, the user's locale,
// today's date and the text viewer. The window and the command-line tool
// derive from it and add how messages reach the user.

#include <QString>

#include "platform.h"

namespace quarrow {

class QtPlatform : public Platform {
 public:
  bool FileExists(const std::string& path) override;
  std::string ParentFolderName(const std::string& path) override;
  std::string BaseName(const std::string& path) override;
  std::string BuildPath(const std::string& folder, const std::string& name) override;
  bool IsSameFile(const std::string& a, const std::string& b) override;

  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
  std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) override;

  std::string DecimalSeparator() override;
  std::string DateSeparator() override;
  // From SOURCE_DATE_EPOCH (seconds since 1970, taken in UTC) when that is
  // set, so that a report can be reproduced; otherwise the local clock.
  CivilDate Today() override;

  // Notepad on Windows; elsewhere xdg-open. Never through a shell.
  bool LaunchViewer(const std::string& report_path) override;

  static QString ToQString(const std::string& path);
  static std::string FromQString(const QString& path);
};

}  // namespace quarrow
