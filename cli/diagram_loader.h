#pragma once

// Loading the network diagram module (see plot/network_diagram_module.h)
// from the program's own folder. A tool that draws a diagram loads it first
// thing, and makes its application through it instead of a
// QCoreApplication:
//
//   quarrow::DiagramDrawing drawing;
//   std::string error;
//   if (!quarrow::LoadDiagramDrawing(argv[0], drawing, error)) { ...exit 2... }
//   std::unique_ptr<QCoreApplication> app(drawing.make_application(argc, argv));
//   ...
//   std::unique_ptr<quarrow::DiagramOutput> diagram(drawing.make_diagram(path));
//   diagram->Write(data);    // into its temporary file
//   diagram->Commit();       // with the tool's other outputs, or never

#include <string>

#include "plot/network_diagram_module.h"

namespace quarrow {

struct DiagramDrawing {
  MakeDrawingApplication make_application = nullptr;
  MakeNetworkDiagram make_diagram = nullptr;
};

// The module in the folder beside the program named `argv0`; false, with
// `error` saying why, when it is missing or not the module.
bool LoadDiagramDrawing(const char* argv0, DiagramDrawing& drawing, std::string& error);

// The same from the program folder `folder` (which holds "modules/").
bool LoadDiagramDrawingFrom(const std::string& folder, DiagramDrawing& drawing, std::string& error);

}  // namespace quarrow
