#include <QCoreApplication>
#include <iostream>

#include "cli/adjust_tool.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("quarrow-adjust");
  return quarrow::RunAdjustTool(QCoreApplication::arguments(), std::cout, std::cerr);
}
