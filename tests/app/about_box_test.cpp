// frmAbout: its texts, its place for each control, and how it closes.

#include <gtest/gtest.h>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "app/frm_about.h"
#include "app/window_texts.h"
#include "engine/version.h"
#include "tests/app/scripted_desktop.h"

namespace quarrow {
namespace {

TEST(VersionLine, PlainNumbersThenTheFixedDate) {
  struct Row {
    int major, minor, revision;
    const char* line;
  };
  const Row rows[] = {
      {3, 4, 5, "Version 3.4.5    December 16, 2009"},
      {2, 0, 15, "Version 2.0.15    December 16, 2009"},
      {10, 20, 300, "Version 10.20.300    December 16, 2009"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(window_texts::VersionLine(row.major, row.minor, row.revision), row.line);
  }
}

TEST(AboutBox, LoadsTitleVersionAndCopyright) {
  frmAbout about(nullptr);
  EXPECT_EQ(about.windowTitle(), "About Quarrow");
  EXPECT_EQ(about.findChild<QLabel*>("lblTitle")->text(), "Quarrow");
  EXPECT_TRUE(about.findChild<QLabel*>("lblTitle")->font().bold());
  EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(),
            QString("Version %1    December 16, 2009").arg(kVersionText));
  EXPECT_TRUE(about.findChild<QLabel*>("lblCopyright")->text().startsWith("Copyright"));
  auto* description = about.findChild<QPlainTextEdit*>("Text1");
  EXPECT_TRUE(description->isReadOnly());
  EXPECT_EQ(description->toPlainText().split('\n').size(), 8);  // seven lines and a line end
}

TEST(AboutBox, SupportContactIsARoleWithReservedNumberAndAddresses) {
  frmAbout about(nullptr);
  struct Row {
    const char* name;
    const char* pattern;
  };
  const Row rows[] = {
      {"lblSupport", "^User Support Information: $"},
      {"Label1", "^     Quarrow Support        \\(\\d{3}\\) 555-01\\d\\d$"},
      {"Label2", "^     [a-z]+@example\\.com$"},
      {"Label3", "^     (www\\.)?example\\.com(/\\w+)?$"},
      {"lblDisclaimer",
       "^Warning: \\.\\.\\.The user releases the Drevak from all liability resulting from "
       "inaccuracies in this application\\.$"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* label = about.findChild<QLabel*>(row.name);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(QRegularExpression(row.pattern).match(label->text()).hasMatch())
        << label->text().toStdString();
    EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(label->text()),
              label->wordWrap() ? 3 * label->width() : label->width());
  }
}

TEST(AboutBox, ControlsSitWhereTheLayoutPutsThem) {
  frmAbout about(nullptr);
  EXPECT_EQ(about.size(), QSize(347, 344));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_FALSE(about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(about.palette().color(QPalette::Window), QColor(192, 192, 192));
  struct Row {
    const char* name;
    QRect place;
  };
  const Row rows[] = {
      {"picIcon", Twips(240, 240, 480, 480)},
      {"Image1", Twips(240, 840, 480, 480)},
      {"lblTitle", Twips(1080, 330, 3885, 360)},
      {"lblVersion", Twips(1080, 880, 3885, 195)},
      {"lblCopyright", Twips(1080, 1120, 3855, 255)},
      {"Text1", Twips(1080, 1440, 3975, 1455)},
      {"lblSupport", Twips(1080, 3000, 2805, 195)},
      {"Label2", Twips(1080, 3480, 2235, 195)},
      {"Label3", Twips(1080, 3720, 3000, 195)},
      {"lblDisclaimer", Twips(240, 4320, 3255, 705)},
      {"cmdOK", Twips(3720, 4440, 1260, 345)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* control = about.findChild<QWidget*>(row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), row.place);
  }
  // The support contact is wider than its place; it grows to the right only.
  auto* contact = about.findChild<QLabel*>("Label1");
  EXPECT_EQ(contact->pos(), Twips(1080, 3240, 2370, 195).topLeft());
  EXPECT_LE(contact->geometry().right(), about.width());
}

TEST(AboutBox, OkEnterEscAndTheCloseBoxAllEndIt) {
  struct Row {
    const char* how;
    std::function<void(frmAbout&)> act;
  };
  const Row rows[] = {
      {"OK", [](frmAbout& box) { box.findChild<QPushButton*>("cmdOK")->click(); }},
      {"Enter", [](frmAbout& box) { QTest::keyClick(&box, Qt::Key_Return); }},
      {"Esc", [](frmAbout& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
      {"close box", [](frmAbout& box) { box.close(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    frmAbout about(nullptr);
    about.show();
    ASSERT_TRUE(about.isVisible());
    row.act(about);
    EXPECT_FALSE(about.isVisible());
  }
  frmAbout about(nullptr);
  auto* ok = about.findChild<QPushButton*>("cmdOK");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(ok->toolTip().isEmpty());
  EXPECT_FALSE(ok->toolTip().contains('\n'));
}

}  // namespace
}  // namespace quarrow
