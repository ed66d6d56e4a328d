// Draws both windows offscreen into PNG files in the build folder, to be
// looked at beside the layout, and checks that they drew at full size.

#include <gtest/gtest.h>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>

#include "app/frm_about.h"
#include "app/frm_main.h"
#include "tests/app/scripted_desktop.h"

namespace quarrow {
namespace {

// True when the picture is more than one flat colour.
bool HasDrawing(const QImage& image) {
  const QRgb corner = image.pixel(0, 0);
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) {
      if (image.pixel(x, y) != corner) return true;
    }
  }
  return false;
}

TEST(WindowPictures, BothWindowsDrawAtTheirFullSize) {
  Transcript transcript;
  ScriptedPlatform platform(transcript);
  ScriptedServices services(transcript);
  RunState rs;
  InitialiseFrames(rs);
  rs.InputPath = "/survey/county road/run.txt";
  rs.ReportPath = "/survey/county road/run.adj";
  frmMain window(rs, platform, services);
  window.findChild<QLineEdit*>("txtBegElev")->setText("100.000");
  window.findChild<QLineEdit*>("txtEndElev")->setText("99.910");
  window.show();
  frmAbout about(&window);
  about.show();

  ASSERT_TRUE(QDir().mkpath(QUARROW_PICTURES));
  struct Shot {
    QWidget* widget;
    const char* file;
  };
  for (const Shot& shot : {Shot{&window, "frmMain.png"}, Shot{&about, "frmAbout.png"}}) {
    SCOPED_TRACE(shot.file);
    const QImage image = shot.widget->grab().toImage();
    EXPECT_EQ(image.size(), shot.widget->size() * shot.widget->devicePixelRatio());
    EXPECT_TRUE(HasDrawing(image));
    EXPECT_TRUE(image.save(QDir(QUARROW_PICTURES).filePath(shot.file)));
  }
}

}  // namespace
}  // namespace quarrow
