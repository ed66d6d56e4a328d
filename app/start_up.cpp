#include "app/start_up.h"

#include "app/window_texts.h"
#include "engine/error_box.h"
#include "platform/qt_platform.h"
#include "shell/command_line.h"

namespace quarrow {

namespace t = window_texts;

std::unique_ptr<frmMain> Main(RunState& rs, Platform& platform, WindowServices& services,
                              const QStringList& arguments) {
  const QString argument = arguments.value(1);
  if (argument.contains(QChar::ReplacementCharacter)) {
    // Deliberate: checked, not looked for under another name.
    ShowError(platform, {t::kNameNotText, QtPlatform::FromQString(argument), t::kRenameTheFile});
    StartFromCommandLine(rs, platform, "");
  } else {
    StartFromCommandLine(rs, platform, QtPlatform::FromQString(argument));
  }
  auto window = std::make_unique<frmMain>(rs, platform, services);
  window->CentreOnScreen();
  window->show();
  return window;
}

}  // namespace quarrow
