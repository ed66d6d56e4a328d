#include "plot/network_diagram_module.h"

#include <QtGlobal>
#include <type_traits>

#include "plot/network_diagram.h"

extern "C" Q_DECL_EXPORT QCoreApplication* quarrow_make_drawing_application(int& argc,
                                                                            char** argv) {
  return quarrow::MakeGuiApplication(argc, argv);
}

extern "C" Q_DECL_EXPORT quarrow::DiagramOutput* quarrow_make_network_diagram(
    const std::string& path) {
  return new quarrow::NetworkDiagram(path);
}

// The declarations above must match the types the loader expects.
static_assert(
    std::is_same_v<decltype(&quarrow_make_drawing_application), quarrow::MakeDrawingApplication>);
static_assert(std::is_same_v<decltype(&quarrow_make_network_diagram), quarrow::MakeNetworkDiagram>);
