#include "office/run_reading.h"

#include <QDateTime>
#include <QFileInfo>

#include "convert/converter.h"
#include "convert/field_book.h"
#include "engine/file_paths.h"
#include "engine/units_hint.h"
#include "engine/whole_file.h"
#include "levelling/levelled_file.h"
#include "network/run_files.h"
#include "office/office_platform.h"
#include "platform/qt_platform.h"

namespace quarrow {

namespace {

// Enough of a file to tell a raw file from a field file by its first words.
constexpr std::size_t kHeadBytes = 64 * 1024;

std::string ReadHead(Platform& platform, const std::string& path) {
  std::string head(kHeadBytes, '\0');
  std::unique_ptr<ByteSource> source = platform.OpenForReading(path);
  std::size_t filled = 0;
  while (source && filled < head.size()) {
    const std::ptrdiff_t count = source->Read(head.data() + filled, head.size() - filled);
    if (count <= 0) break;
    filled += static_cast<std::size_t>(count);
  }
  head.resize(filled);
  return head;
}

// The raw file at `path` converted as quarrow-convert converts it, into
// the project's units; false, with the converter's message, when it is no
// level run.
bool ConvertRaw(Platform& platform, ProjectRun& run, const std::string& path, SourceFormat format) {
  std::string bytes;
  if (!ReadWholeFile(platform, path, bytes)) {
    run.problem = path + ": the file cannot be read.";
    return false;
  }
  ConvertOptions options;
  options.from = format;
  options.units = run.settings.units;
  options.source_name = FileName(path);
  try {
    Conversion conversion = Convert(bytes, options);
    run.format = conversion.kind;
    run.converted = std::make_shared<const std::string>(std::move(conversion.text.bytes));
    run.conversion_summary = SummaryText(conversion);
  } catch (const ConvertError& error) {
    run.problem = path + ": " + error.what();
    return false;
  }
  return true;
}

// A digital level's file, as quarrow-network reads it among its run files.
bool ReadLevelledLines(Platform& platform, ProjectRun& run, const std::string& path) {
  run.format = "digital level";
  NetworkRequest request;
  request.run_files = {path};
  request.units = run.settings.units;
  std::vector<ReadRunFile> read = ReadRunFiles(platform, request, 1);
  ReadRunFile& file = read.front();
  for (const MessageBoxSpec& message : file.messages) platform.ShowMessage(message);
  if (!file.read) return false;
  if (file.units != run.settings.units) {
    run.problem = path + " is a digital level's file in " + std::string(UnitsName(file.units)) +
                  ", but the project is in " + std::string(UnitsName(run.settings.units)) +
                  ". Change the project's units in Project > Options.";
    return false;
  }
  run.levelled_lines = std::move(file.levelled_lines);
  for (const RunRecord& line : run.levelled_lines) {
    run.record.setups += line.setups;
    run.record.length += line.length;
  }
  run.record.from_name = run.levelled_lines.front().from_name;
  run.record.to_name = run.levelled_lines.back().to_name;
  return true;
}

}  // namespace

ProjectRun ReadProjectRun(Platform& disk, const QString& path, const RunReadSettings& settings,
                          const std::function<bool()>& cancelled) {
  ProjectRun run;
  run.path = path;
  run.settings = settings;
  const QFileInfo info(path);
  run.size = info.exists() ? info.size() : -1;
  run.modified_ms = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
  const std::string bytes_path = QtPlatform::FromQString(path);
  run.field_path = bytes_path;
  // A name the system could not decode would be looked for under another name.
  if (path.contains(QChar::ReplacementCharacter)) {
    run.problem = bytes_path +
                  ": the file's name is not valid UTF-8. Rename the file, then add "
                  "it again.";
    return run;
  }

  MemoryFiles memory;
  OfficePlatform platform(disk, &memory, cancelled);
  if (platform.FileExists(bytes_path)) {
    const std::string head = ReadHead(platform, bytes_path);
    if (IsDigitalLevelFile(head)) {
      run.record.file = bytes_path;
      run.read = ReadLevelledLines(platform, run, bytes_path) && !platform.IsCancelled();
      if (!run.read && run.problem.empty()) run.problem = platform.MessageText();
      return run;
    }
    if (const std::optional<SourceFormat> raw = RecognisedFormat(head)) {
      if (!ConvertRaw(platform, run, bytes_path, *raw)) return run;
      run.field_path = DefaultFieldFilePath(bytes_path);
      memory[run.field_path] = run.converted;
    }
  }
  const std::optional<Units> named = ReadUnitsHint(platform, run.field_path);
  if (named && *named != settings.units) {
    run.problem = run.field_path +
                  " names its units in its first line: " + std::string(UnitsName(*named)) +
                  ", but the project is in " + std::string(UnitsName(settings.units)) +
                  ". Change the project's units in Project > Options, or convert the file again.";
    return run;
  }

  NetworkRequest request;
  request.units = settings.units;
  request.refraction = settings.refraction_k;
  run.record.file = run.field_path;
  FieldFileChecker checker;
  RunState rs;
  run.read = ReadNetworkRun(platform, request, settings.units, run.record, checker, rs) &&
             !platform.IsCancelled();
  if (!run.read) {
    run.problem = platform.IsCancelled() ? "Reading was cancelled." : platform.MessageText();
    return run;
  }
  run.sum_backsight = rs.SumBsHd;
  run.sum_foresight = rs.SumFsHd;
  run.max_sight = rs.MaxSight;
  run.max_setup_imbalance = rs.MaxSetupImbalance;
  run.warnings = checker.warnings();
  run.warning_count = checker.warning_count();
  return run;
}

bool NeedsReading(const ProjectRun& run, const RunReadSettings& settings) {
  if (!(run.settings == settings)) return true;
  const QFileInfo info(run.path);
  const qint64 size = info.exists() ? info.size() : -1;
  const qint64 modified = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
  return size != run.size || modified != run.modified_ms;
}

std::optional<Units> UnitsNamedByFiles(Platform& disk, const QStringList& paths) {
  OfficePlatform platform(disk);
  std::optional<Units> units;
  for (const QString& path : paths) {
    const std::string bytes_path = QtPlatform::FromQString(path);
    const std::string head = ReadHead(platform, bytes_path);
    if (RecognisedFormat(head) || IsDigitalLevelFile(head)) continue;
    const std::size_t end = head.find_first_of("\r\n");
    const std::optional<Units> named = UnitsNamedBy(std::string_view(head).substr(0, end));
    if (!named) continue;
    if (units && *units != *named) return std::nullopt;
    units = named;
  }
  return units;
}

}  // namespace quarrow
