// The network diagram as the network tool will draw it: through its module,
// loaded from the program folder by the tool's loader, with the application
// the module makes. Nothing of the drawing is linked into this program.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <iostream>
#include <memory>

#include "cli/diagram_loader.h"
#include "tests/plot/network_samples.h"

namespace quarrow {
namespace {

DiagramDrawing drawing;

std::string Path(const QTemporaryDir& dir, const char* name) {
  return QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString();
}

TEST(DiagramModule, DrawsEachFormatOnlyWhenCommitted) {
  QTemporaryDir dir;
  for (const char* name : {"network.svg", "network.png", "network.pdf"}) {
    SCOPED_TRACE(name);
    const std::string path = Path(dir, name);
    std::unique_ptr<DiagramOutput> diagram(drawing.make_diagram(path));
    ASSERT_TRUE(diagram->Write(network_samples::Example())) << diagram->ErrorText();
    EXPECT_FALSE(QFile::exists(QFile::decodeName(path.c_str()))) << "before Commit";
    ASSERT_TRUE(diagram->Commit()) << diagram->ErrorText();
    QFile file(QFile::decodeName(path.c_str()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_GT(file.size(), 1000);
  }
  const QStringList left = QDir(dir.path()).entryList(QDir::Files);
  EXPECT_EQ(left, QStringList({"network.pdf", "network.png", "network.svg"}));
}

TEST(DiagramModule, UncommittedOrUnwritableLeavesNothing) {
  QTemporaryDir dir;
  {
    std::unique_ptr<DiagramOutput> diagram(drawing.make_diagram(Path(dir, "kept.svg")));
    ASSERT_TRUE(diagram->Write(network_samples::ExampleWithBlunder()));
  }
  for (const char* name : {"network.jpg", "missing/network.png"}) {
    SCOPED_TRACE(name);
    std::unique_ptr<DiagramOutput> diagram(drawing.make_diagram(Path(dir, name)));
    EXPECT_FALSE(diagram->Write(network_samples::Example()));
    EXPECT_FALSE(diagram->ErrorText().empty());
    EXPECT_FALSE(diagram->Commit());
  }
  EXPECT_TRUE(QDir(dir.path()).isEmpty()) << QDir(dir.path()).entryList().join(' ').toStdString();
}

}  // namespace
}  // namespace quarrow

int main(int argc, char* argv[]) {
  std::string error;
  if (!quarrow::LoadDiagramDrawingFrom(QUARROW_PROGRAM_FOLDER, quarrow::drawing, error)) {
    std::cerr << "The diagram module did not load: " << error << '\n';
    return 1;
  }
  std::unique_ptr<QCoreApplication> app(quarrow::drawing.make_application(argc, argv));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
