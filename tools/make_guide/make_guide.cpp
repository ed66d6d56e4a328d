// Builds the field guide PDF from its Markdown source with Qt's own text
// engine, so the build needs nothing beyond Qt.
//
//   make_guide SOURCE.md OUTPUT.pdf

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char* argv[]) {
  // Fonts and a paint device need a GUI application, not a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() != 3) {
    std::fprintf(stderr, "usage: make_guide SOURCE.md OUTPUT.pdf\n");
    return 2;
  }
  QFile source(arguments[1]);
  if (!source.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "make_guide: cannot read %s\n", qPrintable(arguments[1]));
    return 1;
  }

  QPdfWriter pdf(arguments[2]);
  pdf.setTitle("Trigonometric Level Runs with Quarrow");
  pdf.setCreator("Quarrow");
  pdf.setResolution(300);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));

  QTextDocument document;
  document.setDefaultFont(QFont("Liberation Sans", 10));
  document.setDefaultStyleSheet("table { border-collapse: collapse; } td, th { padding: 3px; }");
  document.setMarkdown(QString::fromUtf8(source.readAll()));
  document.print(&pdf);
  return 0;
}
