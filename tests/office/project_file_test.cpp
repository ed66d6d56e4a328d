// The project file and the marks CSV: what is written reads back the same,
// and what is not a project of this version is refused, saying where.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "office/marks_csv.h"
#include "office/project_file.h"
#include "tests/support/scratch_files.h"

namespace quarrow {
namespace {

Project EverythingProject(const QString& folder) {
  Project project;
  project.runs = {QDir(folder).filePath("crew a/run 1.txt"), QDir(folder).filePath("run2.jxl"),
                  QDir::cleanPath(folder + "/../elsewhere/run3.gsi")};
  ProjectMark fixed;
  fixed.name = "BM N-1";
  fixed.elevation = 499.803;
  ProjectMark weighted;
  weighted.name = "BM N-7";
  weighted.elevation = 464.768;
  weighted.std_dev = 0.03;
  weighted.easting = 1234567.891;
  weighted.northing = -0.1;
  ProjectMark typed;
  typed.name = "M\xfcller";  // a Windows-1252 name, as a field file writes it
  ProjectMark utf8;
  utf8.name = "Z\xc3\xbcrich 7";
  utf8.elevation = 1e-17;
  project.marks = {fixed, weighted, typed, utf8};
  project.options.units = Units::kMetric;
  project.options.refraction_k = 0.13;
  project.options.distribute_by_setups = true;
  project.options.sigma_millimetres = {{"trig", 1.4}, {"level", 0.7}};
  project.options.orders = {"second-i", "third"};
  return project;
}

TEST(ProjectFile, WhatIsSavedOpensTheSame) {
  QTemporaryDir dir;
  const QString path = dir.filePath("p.qproject");
  const Project project = EverythingProject(dir.path());
  QString error;
  ASSERT_TRUE(SaveProjectFile(project, path, error)) << error.toStdString();
  const std::optional<Project> read = LoadProjectFile(path, error);
  ASSERT_TRUE(read) << error.toStdString();
  EXPECT_EQ(*read, project);
  // Paths are kept relative to the project's folder.
  const std::string bytes = ReadBytes(path);
  EXPECT_NE(bytes.find("\"crew a/run 1.txt\""), std::string::npos);
  EXPECT_NE(bytes.find("\"../elsewhere/run3.gsi\""), std::string::npos);
  EXPECT_EQ(bytes.find(dir.path().toStdString()), std::string::npos);
  // Saved again, it is the same file.
  ASSERT_TRUE(SaveProjectFile(*read, path, error));
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST(ProjectFile, TheExampleNetworkIsAsTheOfficeSavesIt) {
  const QString path = QStringLiteral(QUARROW_EXAMPLES "/network/project.qproject");
  QString error;
  const std::optional<Project> project = LoadProjectFile(path, error);
  ASSERT_TRUE(project) << error.toStdString();
  EXPECT_EQ(project->runs.size(), 6);
  EXPECT_EQ(project->marks.size(), 3u);
  EXPECT_EQ(project->options.units, Units::kFeet);
  EXPECT_EQ(ProjectJson(*project, QFileInfo(path).absolutePath()).toStdString(), ReadBytes(path));
}

TEST(ProjectFile, MovedWithItsRunsItStillFindsThem) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath("a");
  QDir(dir.path()).mkpath("b");
  Project project;
  project.runs = {dir.filePath("a/run.txt")};
  QString error;
  ASSERT_TRUE(SaveProjectFile(project, dir.filePath("a/p.qproject"), error));
  WriteBytes(dir.filePath("b/p.qproject"), ReadBytes(dir.filePath("a/p.qproject")));
  const std::optional<Project> moved = LoadProjectFile(dir.filePath("b/p.qproject"), error);
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->runs, QStringList{dir.filePath("b/run.txt")});
}

TEST(ProjectFile, RefusesWhatItCannotReadSayingWhere) {
  const struct {
    const char* json;
    const char* message;
  } cases[] = {
      {R"({"format": "quarrow-project", "version": 2, "runs": []})",
       "saved by a newer Quarrow Office (project version 2); this one reads version 1"},
      {"{\n\"format\": \"quarrow-project\",\n\"version\": 1,,\n}", "line 3: this is not JSON"},
      {R"({"version": 1})", "this is no Quarrow Office project"},
      {R"({"format": "quarrow-project"})", "the project has no version number"},
      {R"({"format": "quarrow-project", "version": 1.5})", "the project has no version number"},
      {R"({"format": "quarrow-project", "version": 1, "runs": ["a.txt", "./a.txt"]})",
       "runs[1]: ./a.txt is listed twice"},
      {R"({"format": "quarrow-project", "version": 1, "marks": [{"elevation": 1}]})",
       "marks[0]: a mark needs a \"name\""},
      {R"({"format": "quarrow-project", "version": 1, "marks": [{"name": "A", "elevation": "1,5"}]})",
       "marks[0]: \"elevation\" is not a number"},
      {R"({"format": "quarrow-project", "version": 1,
           "marks": [{"name": "A", "elevation": 1, "standard_deviation": 0}]})",
       "marks[0]: \"standard_deviation\" is not a positive number"},
      {R"({"format": "quarrow-project", "version": 1,
           "marks": [{"name": "A"}, {"name": "A"}]})",
       "marks[1]: the mark A is listed twice"},
      {R"({"format": "quarrow-project", "version": 1, "options": {"units": "yards"}})",
       "\"units\" is \"yards\""},
      {R"({"format": "quarrow-project", "version": 1, "options": {"refraction_k": 1}})",
       "\"refraction_k\" must be at least 0 and below 1"},
      {R"({"format": "quarrow-project", "version": 1, "options": {"sigma": {"trig": -2}}})",
       "the sigma of group \"trig\" is not a positive number"},
      {R"({"format": "quarrow-project", "version": 1, "options": {"orders": ["fourth"]}})",
       "\"fourth\" is no FGCS order"},
  };
  QTemporaryDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const QString path = dir.filePath("bad.qproject");
    WriteBytes(path, c.json);
    QString error;
    EXPECT_FALSE(LoadProjectFile(path, error));
    EXPECT_NE(error.indexOf(path), -1) << error.toStdString();
    EXPECT_NE(error.indexOf(QString::fromUtf8(c.message)), -1) << error.toStdString();
    EXPECT_EQ(ReadBytes(path), c.json);  // refused, never rewritten
  }
}

TEST(ProjectFile, AFailedSaveLeavesTheEarlierFile) {
  QTemporaryDir dir;
  QString error;
  EXPECT_FALSE(SaveProjectFile(Project{}, dir.filePath("missing/p.qproject"), error));
  EXPECT_NE(error.indexOf("cannot be saved"), -1);
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(MarksCsv, ReadsTheNetworksFileAndPositions) {
  std::string error;
  const auto marks = ReadMarksCsv(
      "\xEF\xBB\xBF# comment\r\nname,elevation,standard_deviation,easting,northing\r\n"
      "BM N-1,499.803\r\n\r\nBM N-7 , 464.768 ,0.030\r\nJ-2,500,,10.5,-3\r\nJ-3,501,0.1,4,7\n",
      error);
  ASSERT_TRUE(marks) << error;
  ASSERT_EQ(marks->size(), 4u);
  EXPECT_EQ((*marks)[1].name, "BM N-7");
  EXPECT_EQ((*marks)[1].std_dev, 0.03);
  EXPECT_EQ((*marks)[2].std_dev, std::nullopt);
  EXPECT_EQ((*marks)[2].easting, 10.5);
  EXPECT_EQ((*marks)[3].std_dev, 0.1);
  EXPECT_EQ((*marks)[3].northing, 7);
  // Written and read again: the same marks, to the last bit.
  const auto again = ReadMarksCsv(MarksCsv(*marks), error);
  ASSERT_TRUE(again) << error;
  EXPECT_EQ(*again, *marks);
}

TEST(MarksCsv, RefusesNamingTheLine) {
  const struct {
    const char* csv;
    const char* message;
  } cases[] = {
      {"A,1\nB\n", "line 2 of the marks file is not name,elevation"},
      {"A,1\nB,2,3,4\n", "line 2 of the marks file is not name,elevation"},
      {"A,1\n,2\n", "line 2 of the marks file names no mark"},
      {"A,1\nB,x\n", "line 2 of the marks file: the elevation of B is not a number"},
      {"A,1,-0.1\n", "line 1 of the marks file: the standard deviation of A is not a positive"},
      {"A,1,,x,2\n", "line 1 of the marks file: the easting and northing of A are not numbers"},
      {"A,1\nA,2\n", "The mark A is listed twice in the marks file (lines 1 and 2)"},
      {"# nothing\n", "The marks file lists no mark"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.csv);
    std::string error;
    EXPECT_FALSE(ReadMarksCsv(c.csv, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace quarrow
