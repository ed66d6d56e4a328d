// The path rules the start-up check uses to put a report beside its field
// file.

#include "engine/file_paths.h"

#include <gtest/gtest.h>

namespace quarrow {
namespace {

TEST(FilePaths, FolderAndBaseName) {
  struct Row {
    std::string path;
    std::string folder;
    std::string base;
  } rows[] = {
      {"run.txt", "", "run"},  // no folder
      {"/jobs/run.txt", "/jobs", "run"},
      {"/run.txt", "/", "run"},
      {"jobs//run.txt", "jobs", "run"},
      {"jobs/", "jobs", ""},                          // a trailing separator names no file
      {"/jobs/level.run.csv", "/jobs", "level.run"},  // only the last extension goes
      {"/jobs.2026/run", "/jobs.2026", "run"},        // a dot in a folder is not an extension
      {"/jobs/.hidden.txt", "/jobs", ".hidden"},
      {"/jobs/Road 9 (final)/run 2.txt", "/jobs/Road 9 (final)", "run 2"},
      {"", "", ""},
#ifdef _WIN32
      {"C:\\jobs\\run.txt", "C:\\jobs", "run"},
      {"C:\\jobs/run.txt", "C:\\jobs", "run"},
#else
      {"C:\\jobs\\run.txt", "", "C:\\jobs\\run"},  // a backslash is part of a name here
#endif
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(ParentFolderName(row.path), row.folder);
    EXPECT_EQ(BaseName(row.path), row.base);
  }
}

TEST(FilePaths, BuildPathJoinsWithOneSeparator) {
  struct Row {
    std::string folder;
    std::string name;
    std::string path;
  } rows[] = {
      {"", "run.adj", "run.adj"},
      {"/", "run.adj", "/run.adj"},
      {"/jobs", "run.adj", "/jobs/run.adj"},
      {"/jobs/", "run.adj", "/jobs/run.adj"},
#ifdef _WIN32
      {"C:\\jobs\\", "run.adj", "C:\\jobs\\run.adj"},
#endif
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder);
    EXPECT_EQ(BuildPath(row.folder, row.name), row.path);
  }
}

}  // namespace
}  // namespace quarrow
