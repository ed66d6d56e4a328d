// The yardstick for the window's start-up: an empty QMainWindow, started
// and shown the way Quarrow's own main starts and shows its window.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.show();
  return app.exec();
}
