#pragma once

// A whole file read into memory through the platform, for the small files
// read at once (a marks file, a raw total-station file). Field files are
// streamed instead (engine/field_file_stream.h).

#include <string>

#include "engine/platform.h"

namespace quarrow {

// Appends every byte of `path` to `bytes`. False when the file cannot be
// opened or read to its end.
bool ReadWholeFile(Platform& platform, const std::string& path, std::string& bytes);

}  // namespace quarrow
