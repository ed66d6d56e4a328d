#include "engine/whole_file.h"

#include <memory>

namespace quarrow {

bool ReadWholeFile(Platform& platform, const std::string& path, std::string& bytes) {
  std::unique_ptr<ByteSource> source = platform.OpenForReading(path);
  if (!source) return false;
  char buffer[65536];
  for (;;) {
    const std::ptrdiff_t count = source->Read(buffer, sizeof buffer);
    if (count < 0) return false;
    if (count == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
}

}  // namespace quarrow
