#include "platform/qt_platform.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QSaveFile>
#include <QTimeZone>
#include <cmath>
#include <filesystem>

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
  const QString name = ToQString(path);
  const QFileInfo info(name);
  if (path.empty()) {
    error = "No report file was named.";
    return nullptr;
  }
  if (info.isDir()) {
    error = "A folder of that name is in the way.";
    return nullptr;
  }
  if (!info.dir().exists()) {
    error = "The folder does not exist.";
    return nullptr;
  }
  if (info.exists() && !info.isWritable()) {
    error = "The file is read-only.";
    return nullptr;
  }
  auto sink = std::make_unique<SaveFileSink>(name);
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
