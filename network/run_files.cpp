#include "network/run_files.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "engine/units_hint.h"
#include "network/one_file_platform.h"

namespace quarrow {

namespace {

void ReadOne(Platform& platform, std::mutex* lock, const NetworkRequest& request,
             ReadRunFile& file) {
  OneFilePlatform one_file(platform, lock, file.messages);
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
