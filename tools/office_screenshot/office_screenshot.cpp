// Draws Quarrow Office offscreen on a project, adjusted, into a PNG: the
// field guide's figure of the office window (made at build time) and the
// README's picture (tools/make-screenshots.sh copies it).
//
//   office_screenshot PROJECT OUTPUT.png [RUN]
//
// RUN (from 1, default 2) is the run selected, so that its profile shows.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <cstdio>

#include "office/frm_office.h"
#include "office/office_services.h"

namespace {

// The screenshot asks nothing and shows nothing.
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
  void ShowProblem(QWidget*, const QString& title, const QString& text) override {
    std::fprintf(stderr, "office_screenshot: %s: %s\n", qPrintable(title), qPrintable(text));
    problems = true;
  }
  bool RunDialog(QDialog&) override { return false; }
  bool OpenDocument(const QString&) override { return false; }

  bool problems = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: office_screenshot PROJECT OUTPUT.png [RUN]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window's remembered size and layout are not the picture's.
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Quarrow"));
  QApplication::setApplicationName(QStringLiteral("Quarrow Office Screenshot"));
  const int run = argc > 3 ? std::atoi(argv[3]) : 2;

  NoDialogs services;
  quarrow::frmOffice window(services);
  window.resize(1400, 860);
  window.show();
  if (!window.OpenProject(QString::fromLocal8Bit(argv[1]))) return 1;
  window.jobs().Wait();
  window.mnuAdjust_Click();
  window.jobs().Wait();
  window.SelectRun(run - 1);
  window.findChild<QTabWidget*>(QStringLiteral("tabRun"))->setCurrentIndex(0);  // its profile
  // The selected run's report and profile are made off the window's thread.
  for (int i = 0; i < 100; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  window.pool().waitForDone();
  QApplication::processEvents();
  const QImage image = window.grab().toImage();
  if (services.problems || !image.save(QString::fromLocal8Bit(argv[2]))) return 1;
  return 0;
}
