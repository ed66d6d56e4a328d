#include <QCoreApplication>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/adjust_tool.h"
#include "cli/console_platform.h"
#include "cli/profile_loader.h"

namespace {

// Drawing the profile needs fonts, and so a GUI application from the
// drawing module; every other run starts faster without either.
bool DrawsProfile(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--profile", 9) == 0) return true;
  }
  return false;
}

// Qt's own warnings (a missing runtime folder for an offscreen GUI, say)
// mean nothing to a user of the tool, which says all it has to say itself.
void KeepQtWarningsQuiet(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::cerr << text.toLocal8Bit().constData() << '\n';
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  quarrow::TreatFileSizeLimitAsWriteError();
  qInstallMessageHandler(KeepQtWarningsQuiet);
  quarrow::ProfileDrawing drawing;
  std::unique_ptr<QCoreApplication> app;
  if (DrawsProfile(argc, argv)) {
    std::string error;
    if (!quarrow::LoadProfileDrawing(argv[0], drawing, error)) {
      std::cerr << "quarrow-adjust: pictures cannot be drawn: " << error << '\n';
      return 2;
    }
    app.reset(drawing.make_application(argc, argv));
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  QCoreApplication::setApplicationName("quarrow-adjust");
  return quarrow::RunAdjustTool(QCoreApplication::arguments(), std::cout, std::cerr,
                                drawing.make_picture);
}
