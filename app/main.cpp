// quarrow: the level run adjusted in a window. A field file dropped on the
// program's icon arrives as the first argument.

#include <QApplication>

#include "app/qt_window_services.h"
#include "app/start_up.h"
#include "app/window_platform.h"
#include "engine/version.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quarrow"));
  QApplication::setApplicationVersion(QString::fromLatin1(quarrow::kVersionText));

  quarrow::RunState rs;
  quarrow::WindowPlatform platform;
  quarrow::QtWindowServices services;
  const auto window = quarrow::Main(rs, platform, services, QApplication::arguments());
  return app.exec();
}
