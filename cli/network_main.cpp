#include <QCoreApplication>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/console_platform.h"
#include "cli/diagram_loader.h"
#include "cli/network_tool.h"

namespace {

// Drawing the diagram needs fonts and the graph layout, and so a GUI
// application from the drawing module; every other run starts without them.
bool DrawsDiagram(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--diagram", 9) == 0) return true;
  }
  return false;
}

// Qt's own warnings mean nothing to a user of the tool, which says all it
// has to say itself.
void KeepQtWarningsQuiet(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::cerr << text.toLocal8Bit().constData() << '\n';
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  quarrow::TreatFileSizeLimitAsWriteError();
  qInstallMessageHandler(KeepQtWarningsQuiet);
  quarrow::DiagramDrawing drawing;
  std::unique_ptr<QCoreApplication> app;
  if (DrawsDiagram(argc, argv)) {
    std::string error;
    if (!quarrow::LoadDiagramDrawing(argv[0], drawing, error)) {
      std::cerr << "quarrow-network: pictures cannot be drawn: " << error << '\n';
      return 2;
    }
    app.reset(drawing.make_application(argc, argv));
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  QCoreApplication::setApplicationName("quarrow-network");
  return quarrow::RunNetworkTool(QCoreApplication::arguments(), std::cout, std::cerr,
                                 drawing.make_diagram);
}
