// quarrow-office: projects of level runs and networks in a window.
//
//   quarrow-office [PROJECT]
//
// PROJECT is a .qproject file to open; a field file, raw file or folder
// given instead starts a new project with it.

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include "engine/version.h"
#include "office/frm_office.h"
#include "office/office_services.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Quarrow"));
  QApplication::setApplicationName(QStringLiteral("Quarrow Office"));
  QApplication::setApplicationVersion(QString::fromLatin1(quarrow::kVersionText));
  QApplication::setDesktopFileName(QStringLiteral("quarrow-office"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Quarrow Office: projects of trigonometric level runs and level networks in a window."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("PROJECT"),
                               QStringLiteral("A project file (.qproject) to open, or field "
                                              "files, raw files or folders to start one with."),
                               QStringLiteral("[PROJECT]"));
  parser.process(app);

  quarrow::QtOfficeServices services;
  quarrow::frmOffice window(services);
  window.show();
  const QStringList given = parser.positionalArguments();
  if (given.size() == 1 && QFileInfo(given.front()).suffix() == QLatin1String("qproject")) {
    window.OpenProject(given.front());
  } else if (!given.isEmpty()) {
    window.AddRuns(given);
  }
  return app.exec();
}
