// frmMain as laid out: places, captions, tool tips, tab order and menus,
// checked against the layout tables in twips (15 twips to the pixel).

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>

#include "app/frm_main.h"
#include "app/main_window_controls.h"
#include "tests/app/scripted_desktop.h"

namespace quarrow {
namespace {

class MainWindowLayout : public testing::Test {
 protected:
  void SetUp() override {
    InitialiseFrames(rs);
    window = std::make_unique<frmMain>(rs, platform, services);
  }

  QWidget* Control(const char* name) {
    auto* control = window->findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  Transcript transcript;
  ScriptedPlatform platform{transcript};
  ScriptedServices services{transcript};
  RunState rs;
  std::unique_ptr<frmMain> window;
};

// Every control of the table is built where the table puts it, with its
// caption and tip, and has room for its caption.
TEST_F(MainWindowLayout, EveryControlShowsItsWholeCaption) {
  QStyle* style = window->style();
  for (const ControlLayout& layout : kMainWindowControls) {
    SCOPED_TRACE(layout.name);
    QWidget* control = Control(layout.name);
    ASSERT_NE(control, nullptr);
    const QRect drawn = Twips(layout.left, layout.top, layout.width, layout.height);
    const QRect place = control->geometry();
    EXPECT_EQ(place.topLeft(), drawn.topLeft());
    EXPECT_EQ(place.height(), drawn.height());
    EXPECT_EQ(control->toolTip(), QString::fromUtf8(layout.tool_tip));
    const QFontMetricsF metrics(control->font());
    const double caption = metrics.horizontalAdvance(QString::fromUtf8(layout.caption));
    double needed = caption;
    if (auto* label = qobject_cast<QLabel*>(control)) {
      EXPECT_EQ(label->text(), QString::fromUtf8(layout.caption));
      EXPECT_EQ(label->textFormat(), Qt::PlainText);
      // A label only grows to the right, and only as far as its caption needs.
      EXPECT_GE(place.width(), drawn.width());
      EXPECT_LE(place.width(), std::max(drawn.width(), static_cast<int>(std::ceil(caption))));
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      EXPECT_EQ(button->text(), QString::fromUtf8(layout.caption));
      EXPECT_EQ(place.width(), drawn.width());
      needed += qobject_cast<QRadioButton*>(control) != nullptr
                    ? style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing)
                    : 2 * style->pixelMetric(QStyle::PM_ButtonMargin);
    } else {
      EXPECT_EQ(qobject_cast<QLineEdit*>(control)->text(), QString());
      EXPECT_EQ(place.width(), drawn.width());
    }
    EXPECT_LE(needed, place.width()) << "caption cut off";
    EXPECT_LE(metrics.height(), place.height()) << "caption cut off";
  }
}

// As built, labels widened included: inside the client area, and no two
// controls on top of each other. The window was drawn with each file-name
// label's last row of pixels on the first row of its box (15 twips), where a
// caption never reaches; that row does not count.
TEST_F(MainWindowLayout, ControlsStayInTheClientAreaAndApart) {
  const auto occupied = [this](const ControlLayout& layout) {
    const QRect place = Control(layout.name)->geometry();
    return layout.kind == ControlKind::kLabel ? place.adjusted(0, 0, 0, -1) : place;
  };
  const QRect client = window->centralWidget()->rect();
  for (const ControlLayout& layout : kMainWindowControls) {
    SCOPED_TRACE(layout.name);
    EXPECT_TRUE(client.contains(Control(layout.name)->geometry())) << "leaves the client area";
    for (const ControlLayout& other : kMainWindowControls) {
      if (&other == &layout) continue;
      EXPECT_FALSE(occupied(layout).intersects(occupied(other))) << "overlaps " << other.name;
    }
  }
}

// A few places as the window was drawn, in twips: the table must not drift.
TEST_F(MainWindowLayout, AnchorsStayWhereTheWindowWasDrawn) {
  struct Anchor {
    const char* name;
    QRect place;
  } anchors[] = {
      {"txtLvlFile", Twips(120, 480, 5055, 285)},
      {"btnGetRpt", Twips(5280, 1320, 735, 285)},
      {"btnMeter", Twips(3720, 2280, 1575, 195)},
      {"btnAdjust", Twips(1650, 2880, 735, 375)},
  };
  for (const Anchor& anchor : anchors) {
    SCOPED_TRACE(anchor.name);
    EXPECT_EQ(Control(anchor.name)->geometry(), anchor.place);
  }
}

TEST_F(MainWindowLayout, FontIsAnEightPointFaceWithArialWidths) {
  const QFontInfo face(window->font());
  EXPECT_EQ(window->font().pointSize(), 8);
  const QStringList arial_widths = {"Liberation Sans", "Arimo", "Nimbus Sans", "Arial",
                                    "Helvetica"};
  EXPECT_TRUE(arial_widths.contains(face.family()))
      << face.family().toStdString() << " is installed instead (package fonts-liberation)";
}

TEST_F(MainWindowLayout, WindowIsFixedWithTheClientAreaBelowTheMenuBar) {
  EXPECT_EQ(window->windowTitle(), QString(" Compute and Adjust Level Run"));
  EXPECT_EQ(window->objectName(), QString("frmMain"));
  EXPECT_FALSE(window->windowIcon().isNull());
  const QWidget* client = window->centralWidget();
  EXPECT_EQ(client->size(), QSize(409, 234));
  EXPECT_EQ(client->y(), window->menuBar()->height());
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->height(), window->menuBar()->height() + 234);
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  // English units to begin with; that the options exclude each other, the
  // handler tests see when they choose metric and then feet.
  EXPECT_TRUE(qobject_cast<QRadioButton*>(Control("btnFoot"))->isChecked());
  EXPECT_FALSE(qobject_cast<QRadioButton*>(Control("btnMeter"))->isChecked());
}

TEST_F(MainWindowLayout, TabWalksTheBoxesThenTheOptionsThenTheButtons) {
  const QStringList expected = {"txtLvlFile", "btnGetLvl", "txtRptFile", "btnGetRpt", "txtBegElev",
                                "txtEndElev", "btnFoot",   "btnMeter",   "btnAdjust", "btnExit"};
  QWidget* first = Control("txtLvlFile");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(window->focusWidget(), first);
  QStringList walked;
  QWidget* at = first;
  do {
    if ((at->focusPolicy() & Qt::TabFocus) && at->isVisibleTo(window.get())) {
      walked << at->objectName();
    }
    at = at->nextInFocusChain();
  } while (at != first && walked.size() < 20);
  EXPECT_EQ(walked, expected);
}

TEST_F(MainWindowLayout, MenuBarHoldsFileHelpTheSpacerAndExit) {
  struct Title {
    const char* name;
    QString text;
    bool enabled;
    QStringList items;  // object name and text, pairwise
  };
  const Title titles[] = {
      {"mnufile", "File", true, {"mnuLvl", "Select Level File", "mnuRpt", "Select Report File"}},
      {"mnuHlp",
       "Help",
       true,
       {"mnuHelp", "Quarrow Help", "mnuPDF", "Trimble Level Run.pdf", "mnuAbout", "About Quarrow"}},
      {"mnuSpacer", QString(62, u' '), false, {}},
      {"mnuExit", "Exit", true, {}},
  };
  window->show();
  const QList<QAction*> bar = window->menuBar()->actions();
  ASSERT_EQ(bar.size(), static_cast<qsizetype>(std::size(titles)));
  // All on one row, "Exit" included.
  EXPECT_EQ(window->menuBar()->actionGeometry(bar.last()).top(),
            window->menuBar()->actionGeometry(bar.first()).top());
  EXPECT_LE(window->menuBar()->actionGeometry(bar.last()).right(), window->width());
  for (std::size_t i = 0; i < std::size(titles); ++i) {
    const Title& title = titles[i];
    SCOPED_TRACE(title.name);
    QAction* action = bar[static_cast<qsizetype>(i)];
    EXPECT_EQ(action->text(), title.text);
    EXPECT_EQ(action->isEnabled(), title.enabled);
    EXPECT_TRUE(action->shortcut().isEmpty());
    QMenu* list = action->menu();
    EXPECT_EQ(list != nullptr, !title.items.isEmpty());
    EXPECT_EQ(list ? list->objectName() : action->objectName(), QString(title.name));
    if (list == nullptr) continue;
    const QList<QAction*> items = list->actions();
    ASSERT_EQ(items.size() * 2, title.items.size());
    for (qsizetype k = 0; k < items.size(); ++k) {
      EXPECT_EQ(items[k]->objectName(), title.items[2 * k]);
      EXPECT_EQ(items[k]->text(), title.items[2 * k + 1]);
      EXPECT_TRUE(items[k]->shortcut().isEmpty());
      EXPECT_FALSE(items[k]->isCheckable());
    }
  }
}

}  // namespace
}  // namespace quarrow
