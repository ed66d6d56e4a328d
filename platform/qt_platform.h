#pragma once

// The engine's Platform built on Qt Core: files, paths, the user's locale,
// today's date and the text viewer. The window and the command-line tool
// derive from it and add how messages reach the user.

#include <QString>

#include "engine/platform.h"

namespace quarrow {

// Opens `path` with the program the desktop chooses for it, without waiting
// and never through a shell (blanks, quotes or semicolons in the path open
// that file and run nothing else). False when nothing could be started.
bool OpenWithDesktop(const QString& path);

class QtPlatform : public Platform {
 public:
  bool FileExists(const std::string& path) override;
  bool IsSameFile(const std::string& a, const std::string& b) override;

  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
  std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) override;
  std::unique_ptr<ReportSink> CreateParkedReport(const std::string& path,
                                                 std::string& error) override;

  std::string DecimalSeparator() override;
  std::string DateSeparator() override;
  // From SOURCE_DATE_EPOCH (seconds since 1970, taken in UTC) when that is
  // set, so that a report can be reproduced; otherwise the local clock.
  CivilDate Today() override;
  bool ReadLocaleNumber(const std::string& text, double& value) override;

  // Notepad on Windows, with the path as its one argument; elsewhere the
  // desktop's viewer for the file.
  bool LaunchViewer(const std::string& report_path) override;
  // Qt's files, paths and locale may be used from any thread.
  bool IsThreadSafe() const override { return true; }

  static QString ToQString(const std::string& path);
  static std::string FromQString(const QString& path);
};

}  // namespace quarrow
