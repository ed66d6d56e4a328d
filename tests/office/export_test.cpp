// An export is all or nothing: cancelled at any point, or failing part way,
// it leaves every file as it was and no temporary file; it refuses names
// that clash, and asks before it replaces a file.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "office/office_dialogs.h"
#include "office/office_platform.h"
#include "office/project_export.h"
#include "tests/office/scripted_office.h"

namespace quarrow {
namespace {

// The disk, with the work cancelled once this many files were opened.
class CancelAfter : public DiskPlatform {
 public:
  explicit CancelAfter(int opens) : opens_(opens) {}
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
    ++opened;
    return DiskPlatform::OpenForReading(path);
  }
  bool Cancelled() const { return opened >= opens_; }
  int opened = 0;

 private:
  int opens_;
};

class Export : public OfficeTest {
 protected:
  ExportPlan Plan(const QString& folder, bool everything) {
    ExportChoice choice;
    choice.folder = folder;
    choice.name = "net";
    choice.csv = choice.json = everything;
    choice.profile = everything ? std::optional<ProfileFormat>(ProfileFormat::kPng) : std::nullopt;
    choice.run_reports = everything;
    return PlanExport(window->document().path(), window->document().ReadRuns(),
                      *window->document().result(), choice);
  }
  bool Write(Platform& disk, const ExportPlan& plan, const std::function<bool()>& cancelled,
             std::string& problem) {
    return ExportProject(disk, window->document().project(), window->document().ReadRuns(),
                         *window->document().result(), plan, cancelled, {}, problem);
  }
};

TEST_F(Export, CancelledAtAnyPointWritesNothing) {
  for (const char* project : {"single.qproject", "network/project.qproject"}) {
    OpenAndAdjust(Path(project));
    QDir().mkpath(Path("out"));
    const ExportPlan plan = Plan(Path("out"), true);
    ASSERT_TRUE(plan.problem.empty()) << plan.problem;
    const QStringList before = FilesIn(scratch.path());
    // Cancelled after ever more files were read, until the export is done.
    int cancelled = 0;
    for (int opens = 0;; ++opens) {
      SCOPED_TRACE(std::string(project) + ", cancelled after " + std::to_string(opens) + " opens");
      CancelAfter disk(opens);
      std::string problem;
      if (Write(
              disk, plan, [&disk] { return disk.Cancelled(); }, problem))
        break;
      ++cancelled;
      EXPECT_EQ(problem, "The export was cancelled: nothing was written.");
      EXPECT_EQ(FilesIn(scratch.path()), before);
      ASSERT_LT(opens, 100);
    }
    EXPECT_GE(cancelled, 3);
    for (const std::string& file : plan.files) {
      EXPECT_TRUE(QFile::exists(QString::fromStdString(file))) << file;
      QFile::remove(QString::fromStdString(file));
    }
    window->document().undo().setClean();
  }
}

TEST_F(Export, ThroughTheWindowCancelWritesNothing) {
  OpenAndAdjust(Path("network/project.qproject"));
  QDir().mkpath(Path("out"));
  const QStringList before = FilesIn(scratch.path());
  services.dialogs.push_back([this](QDialog& dialog) {
    auto& form = static_cast<ExportDialog&>(dialog);
    form.txtFolder->setText(Path("out"));
    form.chkRunReports->setChecked(true);
    form.cboProfile->setCurrentIndex(2);
    return true;
  });
  window->mnuExport_Click();
  ASSERT_TRUE(window->jobs().busy());
  window->btnCancel_Click();
  window->jobs().Wait();
  EXPECT_EQ(FilesIn(scratch.path()), before);
  EXPECT_TRUE(services.problems.empty());
}

TEST_F(Export, ARunThatCannotBeReadAnyMoreStopsItAll) {
  OpenAndAdjust(Path("network/project.qproject"));
  QDir().mkpath(Path("out"));
  const ExportPlan plan = Plan(Path("out"), true);
  // The fifth run's field file goes away after the adjustment.
  const QString gone = window->document().project().runs.at(4);
  const std::string bytes = ReadBytes(gone);
  QFile::remove(gone);
  const QStringList before = FilesIn(scratch.path());
  DiskPlatform disk;
  std::string problem;
  EXPECT_FALSE(Write(disk, plan, {}, problem));
  EXPECT_NE(problem.find(gone.toStdString()), std::string::npos) << problem;
  EXPECT_EQ(FilesIn(scratch.path()), before);
  WriteBytes(gone, bytes);
}

TEST_F(Export, RefusesClashingNamesAndAsksBeforeReplacing) {
  OpenAndAdjust(Path("network/project.qproject"));
  // A network named like one of its runs, in the runs' folder.
  ExportChoice choice;
  choice.folder = Path("network");
  choice.name = "run1-n1-j2";
  choice.run_reports = true;
  const ExportPlan clash = PlanExport(window->document().path(), window->document().ReadRuns(),
                                      *window->document().result(), choice);
  EXPECT_NE(clash.problem.find("would be both the network report and an output of "
                               "run1-n1-j2.txt"),
            std::string::npos)
      << clash.problem;
  // A folder that is not there.
  choice.folder = Path("nowhere");
  EXPECT_NE(PlanExport(window->document().path(), window->document().ReadRuns(),
                       *window->document().result(), choice)
                .problem.find("there is no such folder"),
            std::string::npos);

  // An existing report: the window asks, and No writes nothing.
  QDir().mkpath(Path("out"));
  WriteBytes(Path("out/net.adj"), "earlier report");
  const QStringList before = FilesIn(scratch.path());
  services.dialogs.push_back([this](QDialog& dialog) {
    auto& form = static_cast<ExportDialog&>(dialog);
    form.txtFolder->setText(Path("out"));
    form.txtName->setText("net");
    return true;
  });
  services.answers.push_back(false);
  window->mnuExport_Click();
  window->jobs().Wait();
  ASSERT_FALSE(services.asked.empty());
  EXPECT_NE(services.asked.back().indexOf("net.adj"), -1);
  EXPECT_EQ(FilesIn(scratch.path()), before);
  EXPECT_EQ(ReadBytes(Path("out/net.adj")), "earlier report");
}

}  // namespace
}  // namespace quarrow
