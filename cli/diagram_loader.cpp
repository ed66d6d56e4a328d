#include "cli/diagram_loader.h"

#include <QFile>

#include "cli/module_loader.h"

namespace quarrow {

namespace {

bool Load(const QString& folder, DiagramDrawing& drawing, std::string& error) {
  static QLibrary module;
  if (!LoadModule(folder, kDiagramModuleName, module, error)) return false;
  drawing.make_application =
      ModuleEntry<MakeDrawingApplication>(module, kMakeDrawingApplication, error);
  drawing.make_diagram = ModuleEntry<MakeNetworkDiagram>(module, kMakeNetworkDiagram, error);
  return drawing.make_application != nullptr && drawing.make_diagram != nullptr;
}

}  // namespace

bool LoadDiagramDrawing(const char* argv0, DiagramDrawing& drawing, std::string& error) {
  return Load(ProgramFolder(argv0), drawing, error);
}

bool LoadDiagramDrawingFrom(const std::string& folder, DiagramDrawing& drawing,
                            std::string& error) {
  return Load(QFile::decodeName(folder.c_str()), drawing, error);
}

}  // namespace quarrow
