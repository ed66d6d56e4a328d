// Adjusting and exporting through the window gives every file byte for
// byte as the tools write it for the same inputs and options: a single run
// (quarrow-adjust), a raw file (quarrow-convert, then quarrow-adjust) and the
// example network (quarrow-network, on the marks file its report names).

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <sstream>

#include "cli/adjust_tool.h"
#include "cli/console_platform.h"
#include "cli/convert_tool.h"
#include "cli/network_tool.h"
#include "office/office_dialogs.h"
#include "plot/profile_picture.h"
#include "tests/office/scripted_office.h"

namespace quarrow {
namespace {

RunOutput* DrawProfile(const RunState& rs, const std::string& path, CivilDate date) {
  return new ProfilePicture(rs, path, date);
}

int Network(const QStringList& arguments, std::string& errors) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunNetworkTool(QStringList{"quarrow-network"} + arguments, out, err);
  errors = err.str();
  return status;
}

int Convert(const QStringList& arguments, std::string& errors) {
  std::ostringstream out;
  std::ostringstream err;
  ConsolePlatform platform(err);
  const int status = RunConvertTool(QStringList{"quarrow-convert"} + arguments, platform, out, err);
  errors = err.str();
  return status;
}

int Adjust(QStringList arguments, std::string& errors) {
  arguments.prepend("quarrow-adjust");
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunAdjustTool(arguments, out, err, &DrawProfile);
  errors = err.str();
  return status;
}

class SameBytes : public OfficeTest {
 protected:
  // Exports through the window's Export dialog into `folder`.
  void Export(const QString& folder, bool csv, bool json, int profile, bool run_reports,
              const QString& name = QString()) {
    services.dialogs.push_back([=](QDialog& dialog) {
      auto& form = static_cast<ExportDialog&>(dialog);
      form.txtFolder->setText(folder);
      if (!name.isEmpty()) form.txtName->setText(name);
      form.chkCsv->setChecked(csv);
      form.chkJson->setChecked(json);
      form.cboProfile->setCurrentIndex(profile);
      form.chkRunReports->setChecked(run_reports);
      return true;
    });
    window->mnuExport_Click();
    window->jobs().Wait();
    ASSERT_TRUE(services.problems.empty()) << services.problems.back().toStdString();
  }

  // The files written, read and then removed, so the tool writes them anew.
  std::map<QString, std::string> Take(const QStringList& paths) {
    std::map<QString, std::string> taken;
    for (const QString& path : paths) {
      taken[path] = ReadBytes(path);
      EXPECT_NE(taken[path], "<missing>") << path.toStdString();
      QFile::remove(path);
    }
    return taken;
  }

  void ExpectSame(const std::map<QString, std::string>& office) {
    for (const auto& [path, bytes] : office) {
      SCOPED_TRACE(path.toStdString());
      EXPECT_EQ(ReadBytes(path), bytes);
    }
  }
};

TEST_F(SameBytes, ARunBetweenItsMarksIsQuarrowAdjusts) {
  OpenAndAdjust(Path("single.qproject"));
  EXPECT_EQ(window->document().result()->mode, AdjustMode::kRuns);
  QDir().mkpath(Path("out"));
  Export(Path("out"), true, true, 1, false);
  const QString base = Path("out/run");
  const auto office = Take({base + ".adj", base + ".csv", base + ".json", base + ".svg"});
  std::string errors;
  ASSERT_EQ(Adjust({"--begin", "100", "--end", "99.91", "--units", "metric", "--output",
                    base + ".adj", "--export", base + ".csv", "--export", base + ".json",
                    "--profile", base + ".svg", Path("run.txt")},
                   errors),
            0)
      << errors;
  ExpectSame(office);
}

TEST_F(SameBytes, ARawFileIsConvertedThenAdjusted) {
  WriteBytes(Path("convert/raw.qproject"), R"({"format": "quarrow-project", "version": 1,
    "runs": ["run.jxl"],
    "marks": [{"name": "BM K-12", "elevation": 214.33}, {"name": "BM K-13", "elevation": 213.853}],
    "options": {"units": "metric", "distribution": "setups", "refraction_k": 0.13}})");
  const QStringList before = FilesIn(Path("convert"));
  OpenAndAdjust(Path("convert/raw.qproject"));
  // Converted in memory: nothing was written beside the raw file.
  EXPECT_EQ(FilesIn(Path("convert")), before);
  EXPECT_EQ(window->document().Run(Path("convert/run.jxl"))->format, "JobXML");
  QDir().mkpath(Path("out"));
  Export(Path("out"), true, true, 0, false);
  const auto office = Take({Path("out/run.adj"), Path("out/run.csv"), Path("out/run.json")});
  std::string errors;
  ASSERT_EQ(Convert({"--units", "metric", Path("convert/run.jxl")}, errors), 0) << errors;
  ASSERT_NE(Adjust({"--begin", "214.33", "--end", "213.853", "--units", "metric", "--distribute",
                    "setups", "--refraction", "0.13", "--output", Path("out/run.adj"), "--export",
                    Path("out/run.csv"), "--export", Path("out/run.json"), Path("convert/run.txt")},
                   errors),
            kToolInputError)
      << errors;
  ExpectSame(office);
}

TEST_F(SameBytes, TheExampleNetworkIsQuarrowNetworks) {
  OpenAndAdjust(Path("network/project.qproject"));
  const ProjectResult& result = *window->document().result();
  ASSERT_EQ(result.mode, AdjustMode::kNetwork);
  QDir().mkpath(Path("out"));
  Export(Path("out"), true, true, 0, true, "net");
  // The marks file the report names is the tool's input.
  EXPECT_EQ(ReadBytes(Path("out/net-marks.csv")),
            "name,elevation,standard_deviation\r\nBM N-1,499.803\r\nBM N-4,535.459\r\n"
            "BM N-7,464.768,0.03\r\n");
  QStringList written = {Path("out/net.adj"), Path("out/net.csv"), Path("out/net.json")};
  QStringList runs;
  for (const QString& run : window->document().project().runs) {
    runs << run;
    written << QString(run).replace(".txt", ".adj");
  }
  const auto office = Take(written);
  std::string errors;
  QStringList arguments = {"--marks",  Path("out/net-marks.csv"), "--output", Path("out/net.adj"),
                           "--export", Path("out/net.csv"),       "--export", Path("out/net.json"),
                           "--reports"};
  ASSERT_EQ(Network(arguments + runs, errors), 0) << errors;
  ExpectSame(office);

  // The summary shows the tool's standard error of unit weight.
  const std::string report = office.at(Path("out/net.adj"));
  const std::size_t line = report.find("| The standard error of unit weight is ");
  ASSERT_NE(line, std::string::npos);
  const std::string sigma = report.substr(line + 2, report.find("per root km", line) - line - 2);
  const QString summary = window->findChild<QPlainTextEdit*>("txtSummary")->toPlainText();
  EXPECT_NE(summary.indexOf(QString::fromStdString(sigma)), -1) << summary.toStdString();
}

}  // namespace
}  // namespace quarrow
