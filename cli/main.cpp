#include <QCoreApplication>
#include <iostream>

#include "cli/adjust_tool.h"
#include "cli/console_platform.h"

int main(int argc, char* argv[]) {
  quarrow::TreatFileSizeLimitAsWriteError();
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("quarrow-adjust");
  return quarrow::RunAdjustTool(QCoreApplication::arguments(), std::cout, std::cerr);
}
