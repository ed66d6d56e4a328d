#include <sys/resource.h>

#include <QCoreApplication>
#include <iostream>

#include "cli/console_platform.h"
#include "cli/network_tool.h"

int main(int argc, char* argv[]) {
  quarrow::TreatFileSizeLimitAsWriteError();
  // With --reports every run's report stays open in its temporary file until
  // all are complete: a network of thousands of runs needs the descriptors.
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
  }
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("quarrow-network");
  return quarrow::RunNetworkTool(QCoreApplication::arguments(), std::cout, std::cerr);
}
