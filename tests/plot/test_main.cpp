// The profile picture draws text, which needs a QGuiApplication; without a
// display it draws offscreen, also when ctest lists the tests at build time.
// Numbers are written in a fixed locale unless a test chooses another.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLocale>

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
