#pragma once

// Everything the level run engine needs from the machine it runs on. The
// window and the command-line tool implement this with Qt; the tests use a
// scripted fake. The engine itself never touches the system locale, clock,
// file system or screen directly.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quarrow {

enum class MessageIcon { kNone, kCritical, kQuestion };
enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

// A message box as the user sees it. Texts are 8-bit bytes with CR LF
// between lines; the default button is the first of `buttons`.
struct MessageBoxSpec {
  std::string title;
  std::string text;
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
};

struct CivilDate {
  int year = 1970;
  int month = 1;
  int day = 1;
};

// A field file opened for reading.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `capacity` bytes into `buffer`. Returns the count read,
  // 0 at the end of the file, or -1 when the file cannot be read further.
  virtual std::ptrdiff_t Read(char* buffer, std::size_t capacity) = 0;
};

// A report being written. Nothing reaches the named file until Commit
// succeeds; a sink destroyed without a successful Commit leaves any
// existing file as it was and no temporary file behind.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // Appends bytes. Returns false when the bytes could not be written.
  virtual bool Write(std::string_view bytes) = 0;
  // Moves the complete report into place. Returns false on failure.
  virtual bool Commit() = 0;
  // Pushes what was written towards the disk ahead of Commit, so that Commit
  // has less to wait for; may run on another thread while nothing is
  // written. Commit is complete without it.
  virtual void Sync() {}
  // Finishes writing and lets go of the open file, keeping what was written
  // beside its name until Commit. For a caller that holds many finished
  // outputs before it moves any into place. False, with ErrorText saying
  // why, when the file could not be finished. A sink that holds no file
  // open has nothing to do.
  virtual bool Park() { return true; }
  // Why the last Write, Park or Commit failed, in words for the user.
  virtual std::string ErrorText() const = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  virtual MessageAnswer ShowMessage(const MessageBoxSpec& box) = 0;

  // True when `path` names something that exists and is not a folder.
  virtual bool FileExists(const std::string& path) = 0;
  // True when both paths name the same existing file (links included).
  virtual bool IsSameFile(const std::string& a, const std::string& b) = 0;

  // Null when the file cannot be opened for reading.
  virtual std::unique_ptr<ByteSource> OpenForReading(const std::string& path) = 0;
  // Null when the report cannot be created; `error` then says why.
  virtual std::unique_ptr<ReportSink> CreateReport(const std::string& path, std::string& error) = 0;
  // As CreateReport, for an output that will be parked (ReportSink::Park)
  // once written: thousands of them may wait for Commit at once.
  virtual std::unique_ptr<ReportSink> CreateParkedReport(const std::string& path,
                                                         std::string& error) {
    return CreateReport(path, error);
  }

  // The locale's decimal separator for "0.000" and its date separator for
  // "mm/dd/yyyy", as 8-bit text.
  virtual std::string DecimalSeparator() = 0;
  virtual std::string DateSeparator() = 0;
  virtual CivilDate Today() = 0;
  // The locale's number conversion, as a user types numbers: "99,91" in a
  // German locale. False, with `value` untouched, for anything that is not
  // a finite number.
  virtual bool ReadLocaleNumber(const std::string& text, double& value) = 0;

  // Opens the finished report in the text viewer without waiting for it.
  // Returns false when no viewer could be started.
  virtual bool LaunchViewer(const std::string& report_path) = 0;

  // True when the file calls (FileExists, IsSameFile, OpenForReading and the
  // sources it opens) may be made from several threads at once. A platform
  // that does not say so is called from one thread at a time.
  virtual bool IsThreadSafe() const { return false; }
};

}  // namespace quarrow
