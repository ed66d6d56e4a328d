#include <QCoreApplication>
#include <iostream>

#include "cli/console_platform.h"
#include "cli/convert_tool.h"

int main(int argc, char* argv[]) {
  quarrow::TreatFileSizeLimitAsWriteError();
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("quarrow-convert");
  // The tool asks nothing: ConsolePlatform only carries files and messages.
  quarrow::ConsolePlatform platform(std::cerr);
  return quarrow::RunConvertTool(QCoreApplication::arguments(), platform, std::cout, std::cerr);
}
