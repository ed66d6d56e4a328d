// The office's tests need a QApplication drawing offscreen, its settings
// in a scratch folder (never the user's), the "." locale and a fixed date.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
  qputenv("SOURCE_DATE_EPOCH", "1796558400");
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Quarrow Tests"));
  QApplication::setApplicationName(QStringLiteral("Quarrow Office Tests"));
  QLocale::setDefault(QLocale::c());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
