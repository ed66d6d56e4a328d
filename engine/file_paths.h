#pragma once

// The parts of a path that the start-up check needs to propose a report
// beside its field file. Plain text rules: nothing here asks the file
// system, so every front end and every test gets the same answers.
// Separators are "/" and, on Windows, also "\".

#include <string>

namespace quarrow {

// True for a character that separates folders on this system.
bool IsPathSeparator(char c);

// The folder part of `path`, without the separator before the name; "" when
// the path holds no folder. A lone root separator is kept ("/run.txt" gives
// "/"), and a run of separators counts as one.
std::string ParentFolderName(const std::string& path);

// The file name of `path`, extension and all, without its folder: "run.txt"
// and "/a/run.txt" give "run.txt", "dir/" gives "".
std::string FileName(const std::string& path);

// The file name of `path` without its last extension: "run.txt" and
// "/a/run.txt" give "run", "a.b.c" gives "a.b", ".bashrc" and "dir/" give "".
// Dots in folder names do not count.
std::string BaseName(const std::string& path);

// `folder` and `name` joined with exactly one separator; `name` alone when
// there is no folder.
std::string BuildPath(const std::string& folder, const std::string& name);

}  // namespace quarrow
