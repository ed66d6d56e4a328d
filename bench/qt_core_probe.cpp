// The yardstick for quarrow-adjust's start-up: a program that loads Qt Core
// and makes the QCoreApplication the tool makes, then ends. What the tool
// takes beyond this is its own.

#include <QCoreApplication>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  return 0;
}
