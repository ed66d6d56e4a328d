#include <QCoreApplication>
#include <csignal>
#include <iostream>

#include "cli/adjust_tool.h"

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
  // Past a file-size limit (ulimit -f) the system would end the tool at the
  // write that crosses it, leaving no word of why. Ignored, the write fails
  // like one on a full disk, and the report pass says so and keeps the
  // earlier report.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("quarrow-adjust");
  return quarrow::RunAdjustTool(QCoreApplication::arguments(), std::cout, std::cerr);
}
