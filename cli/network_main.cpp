#include <QCoreApplication>
#include <iostream>

#include "cli/console_platform.h"
#include "cli/network_tool.h"

int main(int argc, char* argv[]) {
  quarrow::TreatFileSizeLimitAsWriteError();
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("quarrow-network");
  return quarrow::RunNetworkTool(QCoreApplication::arguments(), std::cout, std::cerr);
}
