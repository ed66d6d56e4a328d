#include "app/start_up.h"

#include "platform/qt_platform.h"
#include "shell/command_line.h"

namespace quarrow {

std::unique_ptr<frmMain> Main(RunState& rs, Platform& platform, WindowServices& services,
                              const QStringList& arguments) {
  StartFromCommandLine(rs, platform, QtPlatform::FromQString(arguments.value(1)));
  auto window = std::make_unique<frmMain>(rs, platform, services);
  window->CentreOnScreen();
  window->show();
  return window;
}

}  // namespace quarrow
