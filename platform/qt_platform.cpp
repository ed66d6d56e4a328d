#include "platform/qt_platform.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QTimeZone>
#include <cmath>
#include <filesystem>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quarrow {

namespace {

class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(const QString& path) : file_(path) {}
  bool Open() { return file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    return static_cast<std::ptrdiff_t>(file_.read(buffer, static_cast<qint64>(capacity)));
  }

 private:
  QFile file_;
};

// Writes into a temporary file beside the report and renames it over the
// report only when everything was written.
class SaveFileSink : public ReportSink {
 public:
  explicit SaveFileSink(const QString& path) : file_(path) {}
  bool Open() {
    // Unbuffered: ReportStream already hands over large pieces, and a short
    // write (a full disk) must show here rather than vanish in a late flush.
    if (file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return true;
    error_ = file_.errorString();
    return false;
  }
  bool Write(std::string_view bytes) override {
    const qint64 size = static_cast<qint64>(bytes.size());
    const qint64 written = file_.write(bytes.data(), size);
    if (written == size) {
      StartWriteBack(size);
      return true;
    }
    error_ = written < 0 ? file_.errorString()
                         : QStringLiteral("The disk is full, or the file would be too large.");
    return false;
  }
  void Sync() override {
#ifdef Q_OS_LINUX
    ::fdatasync(file_.handle());
#endif
  }
  bool Commit() override {
    if (file_.commit()) return true;
    error_ = file_.errorString();
    return false;
  }
  std::string ErrorText() const override { return QtPlatform::FromQString(error_); }

 private:
  // Commit flushes the report to disk before it replaces the old one. On a
  // report of hundreds of megabytes that flush took a fifth of the run.
  // Asking the system to start writing each few megabytes back as they
  // arrive lets the disk work while the engine computes, and leaves Commit
  // less to wait for. Only a hint: the flush in Commit still decides.
  void StartWriteBack(qint64 count) {
#ifdef Q_OS_LINUX
    constexpr qint64 kWriteBackStep = qint64{8} << 20;
    pending_ += count;
    if (pending_ < kWriteBackStep) return;
    ::sync_file_range(file_.handle(), flushed_, pending_, SYNC_FILE_RANGE_WRITE);
    flushed_ += pending_;
    pending_ = 0;
#else
    (void)count;
#endif
  }

  QSaveFile file_;
  QString error_;
  qint64 flushed_ = 0;  // bytes already handed to write-back
  qint64 pending_ = 0;  // bytes written since
};

// A report written into a temporary file beside it, which Park closes and
// Commit renames over the report. QSaveFile cannot close its file without
// committing it, so a program that finishes thousands of reports before it
// moves any into place would need a file descriptor for each; this one
// needs none while the finished files wait.
class ParkedFileSink : public ReportSink {
 public:
  explicit ParkedFileSink(const QString& path) : target_(path) {
    // A report named by a link replaces the file the link points to, as
    // QSaveFile does, and the link stays.
    const QFileInfo info(path);
    if (info.isSymLink()) target_ = info.symLinkTarget();
  }
  ~ParkedFileSink() override {
    if (!committed_ && !temporary_.isEmpty()) QFile::remove(temporary_);
  }
  bool Open() {
    file_.setFileTemplate(target_ + QStringLiteral(".XXXXXX"));
    if (!file_.open()) {
      error_ = file_.errorString();
      return false;
    }
    temporary_ = file_.fileName();
    file_.setAutoRemove(false);  // Deliberate: the destructor removes it unless committed
    return true;
  }
  bool Write(std::string_view bytes) override {
    const qint64 size = static_cast<qint64>(bytes.size());
    // Flushed at once, so that a short write (a full disk) shows here.
    if (file_.write(bytes.data(), size) == size && file_.flush()) return true;
    error_ = QStringLiteral("The disk is full, or the file would be too large.");
    return false;
  }
  bool Park() override {
    if (!file_.isOpen()) return parked_;
#ifdef Q_OS_UNIX
    // The permissions a new file gets, or those of the report it replaces.
    const QFileInfo existing(target_);
    mode_t mode = 0666;
    if (existing.exists()) {
      struct stat status {};
      if (::stat(QFile::encodeName(target_).constData(), &status) == 0)
        mode = status.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode &= ~mask;
    }
    ::fchmod(file_.handle(), mode);
#endif
#ifdef Q_OS_LINUX
    if (::fdatasync(file_.handle()) != 0) {
      error_ = QStringLiteral("The file could not be written to the disk.");
      file_.close();
      return false;
    }
#endif
    file_.close();
    parked_ = true;
    return true;
  }
  bool Commit() override {
    if (!Park()) return false;
    if (std::rename(QFile::encodeName(temporary_).constData(),
                    QFile::encodeName(target_).constData()) != 0) {
      error_ = QStringLiteral("The finished file could not be moved into place.");
      return false;
    }
    committed_ = true;
    return true;
  }
  std::string ErrorText() const override { return QtPlatform::FromQString(error_); }

 private:
  QString target_;
  QTemporaryFile file_;
  QString temporary_;
  QString error_;
  bool parked_ = false;
  bool committed_ = false;
};

// Why `path` cannot take a report, or "" when it may.
std::string ReportPathProblem(const std::string& path) {
  const QFileInfo info(QtPlatform::ToQString(path));
  if (path.empty()) return "No report file was named.";
  if (info.isDir()) return "A folder of that name is in the way.";
  if (!info.dir().exists()) return "The folder does not exist.";
  if (info.exists() && !info.isWritable()) return "The file is read-only.";
  return "";
}

}  // namespace

QString QtPlatform::ToQString(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string QtPlatform::FromQString(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool QtPlatform::FileExists(const std::string& path) {
  const QFileInfo info(ToQString(path));
  return !path.empty() && info.exists() && !info.isDir();
}

bool QtPlatform::IsSameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(std::filesystem::path(a), std::filesystem::path(b), error);
}

std::unique_ptr<ByteSource> QtPlatform::OpenForReading(const std::string& path) {
  // Only regular files: opening a FIFO would wait for a writer for ever.
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) return nullptr;
  auto source = std::make_unique<FileByteSource>(ToQString(path));
  if (!source->Open()) return nullptr;
  return source;
}

std::unique_ptr<ReportSink> QtPlatform::CreateReport(const std::string& path, std::string& error) {
  error = ReportPathProblem(path);
  if (!error.empty()) return nullptr;
  auto sink = std::make_unique<SaveFileSink>(ToQString(path));
  if (!sink->Open()) {
    error = sink->ErrorText();
    return nullptr;
  }
  return sink;
}

std::unique_ptr<ReportSink> QtPlatform::CreateParkedReport(const std::string& path,
                                                           std::string& error) {
  error = ReportPathProblem(path);
  if (!error.empty()) return nullptr;
  auto sink = std::make_unique<ParkedFileSink>(ToQString(path));
  if (!sink->Open()) {
    error = sink->ErrorText();
    return nullptr;
  }
  return sink;
}

std::string QtPlatform::DecimalSeparator() { return FromQString(QLocale().decimalPoint()); }

std::string QtPlatform::DateSeparator() {
  const QLocale locale;
  if (locale.language() == QLocale::C) return "/";
  // The first character between the day, month and year fields of the
  // locale's short date format: "/" in en_US, "." in de_DE, "-" in nl_NL.
  const QString format = locale.dateFormat(QLocale::ShortFormat);
  for (const QChar c : format) {
    if (!c.isLetter() && c != u'\'' && !c.isSpace()) return FromQString(QString(c));
  }
  return "/";
}

CivilDate QtPlatform::Today() {
  QDate date;
  bool ok = false;
  const qlonglong epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
  if (ok) date = QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc()).date();
  if (!date.isValid()) date = QDate::currentDate();
  return {date.year(), date.month(), date.day()};
}

bool QtPlatform::ReadLocaleNumber(const std::string& text, double& value) {
  bool ok = false;
  const double read = QLocale().toDouble(ToQString(text), &ok);
  if (!ok || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool OpenWithDesktop(const QString& path) {
#ifdef Q_OS_WIN
  return QProcess::startDetached(QStringLiteral("explorer.exe"), {QDir::toNativeSeparators(path)});
#else
  return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
#endif
}

bool QtPlatform::LaunchViewer(const std::string& report_path) {
#ifdef Q_OS_WIN
  return QProcess::startDetached(QStringLiteral("notepad.exe"), {ToQString(report_path)});
#else
  return OpenWithDesktop(ToQString(report_path));
#endif
}

}  // namespace quarrow
