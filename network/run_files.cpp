#include "network/run_files.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "convert/field_book.h"
#include "engine/error_box.h"
#include "engine/units_hint.h"
#include "engine/whole_file.h"
#include "levelling/levelled_file.h"
#include "network/one_file_platform.h"

namespace quarrow {

namespace {

// A digital level's file: each of its lines one observation of the level
// group, between the two marks it runs between.
bool ReadLevelledLines(Platform& platform, const std::string& bytes, ReadRunFile& file) {
  LevelledFile levelled;
  try {
    levelled = ReadLevelledFile(bytes);
  } catch (const ConvertError& error) {
    ShowError(platform,
              {"The digital level's file cannot be read:", file.run.file + ": " + error.what()});
    return false;
  }
  if (levelled.lines.empty()) {
    ShowError(platform, {"The digital level's file holds no levelled line:", file.run.file});
    return false;
  }
  file.named_units = levelled.units;
  file.units = levelled.units;
  for (const LevelledLine& line : levelled.lines) {
    RunRecord record;
    record.kind = ObservationKind::kLevelledLine;
    record.file = file.run.file;
    record.group = std::string(kLevelGroup);
    // "line 12": where the line starts in the file.
    const std::size_t digits = line.place.find_first_of("0123456789");
    record.line = digits == std::string::npos ? 0 : std::atoi(line.place.c_str() + digits);
    record.from_name = line.from;
    record.to_name = line.to;
    record.difference = line.difference;
    record.length = line.length;
    record.setups = line.setups;
    file.levelled_lines.push_back(std::move(record));
  }
  return true;
}

void ReadOne(Platform& platform, std::mutex* lock, const NetworkRequest& request,
             ReadRunFile& file) {
  OneFilePlatform one_file(platform, lock, file.messages);
  std::string bytes;
  if (ReadWholeFile(one_file, file.run.file, bytes) && IsDigitalLevelFile(bytes)) {
    file.read = ReadLevelledLines(one_file, bytes, file);
    return;
  }
  file.named_units = ReadUnitsHint(one_file, file.run.file);
  file.units = file.named_units.value_or(request.units.value_or(Units::kFeet));
  RunState rs;
  file.read = ReadNetworkRun(one_file, request, file.units, file.run, file.checker, rs);
}

}  // namespace

std::vector<ReadRunFile> ReadRunFiles(Platform& platform, const NetworkRequest& request,
                                      int threads) {
  std::vector<ReadRunFile> files(request.run_files.size());
  for (std::size_t i = 0; i < files.size(); ++i) files[i].run.file = request.run_files[i];
  std::size_t workers = threads > 0 ? static_cast<std::size_t>(threads)
                                    : std::max(1u, std::thread::hardware_concurrency());
  workers = std::min(workers, files.size());
  std::mutex lock;
  std::mutex* shared = platform.IsThreadSafe() ? nullptr : &lock;
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++) {
      try {
        ReadOne(platform, shared, request, files[i]);
      } catch (const std::bad_alloc&) {
        // Thrown on another thread it would end the program: told in order instead.
        files[i].read = false;
        files[i].messages.push_back(
            {"Quarrow Error",
             "There is not enough memory to read the field file:\r\n" + files[i].run.file,
             MessageIcon::kCritical, MessageButtons::kOk});
      }
    }
  };
  if (workers <= 1) {
    work();
    return files;
  }
  std::vector<std::thread> pool;
  for (std::size_t w = 1; w < workers; ++w) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
  return files;
}

}  // namespace quarrow
