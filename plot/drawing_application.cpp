#include "plot/drawing_application.h"

#include <QGuiApplication>

namespace quarrow {

QCoreApplication* MakeGuiApplication(int& argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return new QGuiApplication(argc, argv);
}

}  // namespace quarrow
