// Disk and file-system trouble met by the real program: for each fault, the
// message and exit status, the field file byte-identical afterwards, an
// earlier report byte-identical afterwards, and no temporary file left.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "platform/qt_platform.h"
#include "shell/adjust_level_run.h"
#include "shell/check_input_file.h"
#include "tests/support/scratch_files.h"

namespace quarrow {
namespace {

// A run long enough that its report is some 40 kB.
std::string LongRun() {
  std::string text;
  for (int setup = 1; setup <= 200; ++setup) {
    const std::string id = std::to_string(setup);
    text += id + ",P" + std::to_string(setup - 1) +
            ",90\xb0"
            "00'00,50.000,1.500\r\n";
    text += id + ",P" + id +
            ",90\xb0"
            "00'00,50.000,1.500\r\n";
  }
  return text;
}

struct Result {
  int status = -1;
  std::string errors;
};

// As root, the program runs as "nobody", since permissions do not stop
// root; only when that user can reach the program in this checkout.
bool DropsToNobody() {
  static const bool drops = ::geteuid() == 0 && std::system(
                                                    "/usr/bin/setpriv --reuid=65534 --regid=65534 "
                                                    "--clear-groups '" QUARROW_ADJUST_BINARY
                                                    "' --version >/dev/null 2>&1") == 0;
  return drops;
}

// Runs quarrow-adjust in a child process. `before_exec` runs in the child
// (limits, signals).
Result RunTool(const QString& folder, const std::vector<std::string>& arguments,
               const std::function<void()>& before_exec = nullptr) {
  const bool drop = DropsToNobody();
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipe_ends[1], 2);
    ::close(pipe_ends[0]);
    if (::chdir(folder.toLocal8Bit().constData()) != 0) ::_exit(120);
    if (before_exec) before_exec();
    std::vector<std::string> argv_text;
    if (drop) {
      argv_text = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    argv_text.push_back(QUARROW_ADJUST_BINARY);
    argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::setenv("SOURCE_DATE_EPOCH", "1796558400", 1);
    ::execv(argv[0], argv.data());
    ::_exit(121);
  }
  ::close(pipe_ends[1]);
  Result result;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) {
    result.errors.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipe_ends[0]);
  int wait_status = 0;
  ::waitpid(child, &wait_status, 0);
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  return result;
}

class Faults : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    // Open to the unprivileged user the tests drop to when run as root.
    ::chmod(dir.path().toLocal8Bit().constData(), 0777);
    WriteBytes(dir.filePath("run.txt"), LongRun());
    WriteBytes(dir.filePath("run.adj"), "an earlier report\r\n");
    ::chmod(dir.filePath("run.txt").toLocal8Bit().constData(), 0666);
    ::chmod(dir.filePath("run.adj").toLocal8Bit().constData(), 0666);
  }

  // The field file and the earlier report as they were; nothing else left.
  void ExpectNothingDamaged(const QStringList& expected_files = {"run.adj", "run.txt"}) {
    EXPECT_EQ(ReadBytes(dir.filePath("run.txt")), LongRun());
    EXPECT_EQ(ReadBytes(dir.filePath("run.adj")), "an earlier report\r\n");
    QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    EXPECT_EQ(files, expected_files);
  }

  QTemporaryDir dir;
};

const std::vector<std::string> kAdjust = {"--begin", "100",    "--end",   "100",
                                          "--units", "metric", "--force", "run.txt"};

TEST_F(Faults, DiskFull) {
  // Room for part of the report: a 40 kB report, and a 5 kB one that goes
  // to the disk in a single write. A file-size limit stands in for the full
  // disk; the signal it raises is left at its default, which would end the
  // tool without a word unless the tool ignores it.
  for (const bool small : {false, true}) {
    SCOPED_TRACE(small ? "small report" : "large report");
    std::vector<std::string> arguments = kAdjust;
    if (small) {
      WriteBytes(dir.filePath("run.txt"), LongRun().substr(0, 4 * 43));
      arguments.insert(arguments.begin(), {"--output", "run.adj"});
    }
    const Result result = RunTool(dir.path(), arguments, [small] {
      ::signal(SIGXFSZ, SIG_DFL);
      const rlimit limit{small ? 1024u : 8192u, small ? 1024u : 8192u};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.errors,
              "Unable To Write Report File:\nrun.adj\n"
              "The disk is full, or the file would be too large.\n");
    if (small) WriteBytes(dir.filePath("run.txt"), LongRun());
    ExpectNothingDamaged();
  }
}

TEST_F(Faults, ReadOnlyFolderAndReadOnlyReport) {
  if (::geteuid() == 0 && !DropsToNobody()) {
    GTEST_SKIP() << "run as root, and \"nobody\" cannot reach " << QUARROW_ADJUST_BINARY;
  }
  ::chmod(dir.filePath("run.adj").toLocal8Bit().constData(), 0444);
  Result result = RunTool(dir.path(), kAdjust);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.errors, "Unable To Write Report File:\nrun.adj\nThe file is read-only.\n");
  ExpectNothingDamaged();

  ::chmod(dir.filePath("run.adj").toLocal8Bit().constData(), 0666);
  ::chmod(dir.path().toLocal8Bit().constData(), 0555);
  result = RunTool(dir.path(), kAdjust);
  ::chmod(dir.path().toLocal8Bit().constData(), 0777);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.errors.rfind("Unable To Write Report File:\nrun.adj\n", 0), 0u) << result.errors;
  ExpectNothingDamaged();
}

TEST_F(Faults, MissingFolderAndFolderInTheWay) {
  QDir(dir.path()).mkdir("taken.adj");
  struct Row {
    std::string output;
    std::string message;
  } rows[] = {
      {"gone/run.adj", "Unable To Write Report File:\ngone/run.adj\nThe folder does not exist.\n"},
      {"taken.adj",
       "Unable To Write Report File:\ntaken.adj\nA folder of that name is in the way.\n"},
      {"./run.txt",
       "The report file would replace the level file itself:\n./run.txt\n"
       "Choose another name for the report file.\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.output);
    std::vector<std::string> arguments = kAdjust;
    arguments.insert(arguments.begin(), {"--output", row.output});
    const Result result = RunTool(dir.path(), arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.errors, row.message);
    ExpectNothingDamaged();
  }
}

TEST_F(Faults, ViewerMissing) {
  std::vector<std::string> arguments = kAdjust;
  arguments.insert(arguments.begin(), "--open");
  const Result result = RunTool(dir.path(), arguments, [] { ::setenv("PATH", "/nonexistent", 1); });
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_NE(ReadBytes(dir.filePath("run.adj")).find("MEETS third order"), std::string::npos);
}

// The field file changed after the check: the engine reads it again through
// the real platform, and this one changes it just before a chosen opening.
// Which changes are noticed is the engine tests' matter; here, that a real
// file gone or cut short mid-run leaves no report and no temporary file.
class ChangingPlatform : public QtPlatform {
 public:
  MessageAnswer ShowMessage(const MessageBoxSpec& box) override {
    shown.push_back(box.text);
    return MessageAnswer::kOk;
  }
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
    if (++opens == change_at && change) change(QtPlatform::ToQString(path));
    return QtPlatform::OpenForReading(path);
  }
  bool LaunchViewer(const std::string&) override { return true; }
  int opens = 0;
  int change_at = 0;
  std::function<void(const QString&)> change;
  std::vector<std::string> shown;
};

TEST_F(Faults, FieldFileChangedBetweenCheckAndPasses) {
  struct Row {
    const char* what;
    int change_at;  // 1: the check, 2: the closure pass, 3: the report pass
    std::function<void(const QString&)> change;
  } rows[] = {
      {"removed before the closure pass", 2, [](const QString& p) { QFile::remove(p); }},
      {"truncated before the report pass", 3,
       [](const QString& p) {
         QFile file(p);
         file.resize(file.size() / 2);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const QString field = dir.filePath("run.txt");
    WriteBytes(field, LongRun());
    ChangingPlatform platform;
    platform.change_at = row.change_at;
    platform.change = row.change;
    RunState rs;
    InitialiseFrames(rs);
    rs.InputPath = field.toStdString();
    rs.ReportPath = dir.filePath("run.adj").toStdString();
    ASSERT_EQ(CheckInputFile(rs, platform, CheckMode::kCheckOnly), kFileUsable);
    rs.BeginElev = rs.EndElev = 100;
    rs.UnitsLabel = messages::kMetricUnits;
    rs.UnitMark = 'm';
    MessageBoxQuestions questions(platform);
    EXPECT_EQ(AdjustLevelRun(rs, platform, questions), AdjustOutcome::kFailed);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_NE(platform.shown[0].find(rs.InputPath + "\r\nNo report was written."),
              std::string::npos)
        << platform.shown[0];
    EXPECT_EQ(ReadBytes(dir.filePath("run.adj")), "an earlier report\r\n");
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll("run.txt");
    EXPECT_EQ(left, QStringList{"run.adj"});
  }
}

}  // namespace
}  // namespace quarrow
