#pragma once

// The files a headless tool writes besides its report: each must be a file
// of its own, and an existing one is replaced only when the user says so.

#include <string>
#include <vector>

#include "engine/platform.h"

namespace quarrow {

// A file the user named, with the option that named it ("--export", or
// FIELD_FILE for the input).
struct NamedFile {
  std::string option;
  std::string path;
};

// The first two entries of `files` that name one file (the same path written
// another way, "./a.csv" and "a.csv", or a link to it), as a message; "" when
// all are apart. Two field files ("RUN_FILE") are one given twice.
std::string FindSharedFile(const std::vector<NamedFile>& files);

}  // namespace quarrow
