// Quarrow Office opening and adjusting a project, as a user does it, timed
// as a whole process beside quarrow-network on the same files.
//
//   quarrow-office-bench --make-project FOLDER [SIGMA]
//       writes FOLDER/project.qproject: every run-*.txt of FOLDER, the marks
//       of FOLDER/marks.csv, metric, the trig runs' sigma SIGMA mm.
//   quarrow-office-bench PROJECT
//       opens PROJECT in the office window (offscreen), reads its runs,
//       adjusts it (F5), and ends. A timer that should fire every 10 ms
//       measures how long the window's event loop was ever kept from it;
//       prints "event-loop-gap-ms N" and "adjusted-as network|runs".

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "office/frm_office.h"
#include "office/marks_csv.h"
#include "office/office_services.h"
#include "office/project_file.h"

namespace {

// The benchmark answers nothing: a question would stop the clock.
class NoDialogs : public quarrow::OfficeServices {
 public:
  QStringList ChooseFiles(QWidget*, const QString&, const QString&, const QString&) override {
    return {};
  }
  QString ChooseFile(QWidget*, const QString&, const QString&, const QString&) override {
    return {};
  }
  QString ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override {
    return {};
  }
  quarrow::SaveChangesAnswer AskSaveChanges(QWidget*, const QString&) override {
    return quarrow::SaveChangesAnswer::kDiscard;
  }
  bool Ask(QWidget*, const QString&, const QString&) override { return false; }
  void ShowProblem(QWidget*, const QString&, const QString& text) override {
    std::fprintf(stderr, "quarrow-office-bench: %s\n", qPrintable(text));
    failed = true;
  }
  bool RunDialog(QDialog&) override { return false; }
  bool OpenDocument(const QString&) override { return false; }
  bool failed = false;
};

int MakeProject(const QString& folder, double sigma) {
  QFile marks_file(QDir(folder).filePath(QStringLiteral("marks.csv")));
  if (!marks_file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "quarrow-office-bench: no marks.csv in %s\n", qPrintable(folder));
    return 2;
  }
  const QByteArray bytes = marks_file.readAll();
  std::string error;
  const auto marks =
      quarrow::ReadMarksCsv(std::string_view(bytes.constData(), bytes.size()), error);
  if (!marks) {
    std::fprintf(stderr, "quarrow-office-bench: %s\n", error.c_str());
    return 2;
  }
  quarrow::Project project;
  project.marks = *marks;
  project.options.units = quarrow::Units::kMetric;
  project.options.sigma_millimetres[std::string(quarrow::kTrigGroup)] = sigma;
  for (const QFileInfo& run :
       QDir(folder).entryInfoList({QStringLiteral("run-*.txt")}, QDir::Files, QDir::Name)) {
    project.runs << run.absoluteFilePath();
  }
  QString why;
  if (!quarrow::SaveProjectFile(project, QDir(folder).filePath(QStringLiteral("project.qproject")),
                                why)) {
    std::fprintf(stderr, "quarrow-office-bench: %s\n", qPrintable(why));
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settings;  // no remembered layout of the user's
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Quarrow"));
  QApplication::setApplicationName(QStringLiteral("Quarrow Office Bench"));
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() >= 3 && arguments[1] == QLatin1String("--make-project")) {
    return MakeProject(arguments[2], arguments.size() > 3 ? arguments[3].toDouble() : 2.0);
  }
  if (arguments.size() != 2) {
    std::fprintf(stderr, "usage: quarrow-office-bench PROJECT | --make-project FOLDER [SIGMA]\n");
    return 2;
  }

  NoDialogs services;
  quarrow::frmOffice window(services);
  window.show();
  // The probe: how late its ticks come is how long the window was busy.
  QElapsedTimer clock;
  clock.start();
  qint64 last = 0;
  qint64 longest = 0;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest = std::max(longest, now - last);
    last = now;
  });
  probe.start(10);
  // Opened from the window once it has painted, as File > Open would.
  QTimer::singleShot(300, &window, [&] {
    clock.restart();
    longest = 0;
    last = clock.elapsed();
    if (!window.OpenProject(arguments[1])) {
      QApplication::exit(2);
      return;
    }
    // F5 as soon as the project is open: the window reads, then adjusts.
    window.mnuAdjust_Click();
  });
  // Ends once the adjustment is shown.
  QObject::connect(&window.document(), &quarrow::OfficeDocument::resultChanged, &window, [&] {
    if (window.document().result() != nullptr)
      QTimer::singleShot(20, [] { QApplication::exit(0); });
  });
  const int status = app.exec();
  const quarrow::ProjectResult* result = window.document().result();
  if (status != 0 || services.failed || result == nullptr || !result->adjusted) {
    std::fprintf(stderr, "quarrow-office-bench: the project was not adjusted%s%s\n",
                 result ? ": " : ".", result ? result->problem.c_str() : "");
    return 1;
  }
  std::printf("event-loop-gap-ms %lld\n",
              static_cast<long long>(std::max<qint64>(longest - 10, 0)));
  std::printf("adjusted-as %s\n",
              result->mode == quarrow::AdjustMode::kNetwork ? "network" : "runs");
  return 0;
}
