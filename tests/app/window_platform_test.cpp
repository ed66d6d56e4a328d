// The message boxes the window shows for the engine's MessageBoxSpec.

#include <gtest/gtest.h>
#include <QPushButton>

#include "app/window_platform.h"

namespace quarrow {
namespace {

TEST(BuildMessageBox, IconsButtonsDefaultsAndEscape) {
  struct Row {
    const char* what;
    MessageIcon icon;
    MessageButtons buttons;
    QMessageBox::Icon shown_icon;
    QMessageBox::StandardButtons shown_buttons;
    QMessageBox::StandardButton default_button;
    QMessageBox::StandardButton escape_button;
  };
  const Row rows[] = {
      {"a problem", MessageIcon::kCritical, MessageButtons::kOk, QMessageBox::Critical,
       QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok},
      {"failed tests", MessageIcon::kNone, MessageButtons::kOkCancel, QMessageBox::NoIcon,
       QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel},
      {"the overwrite question", MessageIcon::kQuestion, MessageButtons::kYesNo,
       QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
       QMessageBox::No},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const auto box = BuildMessageBox({"Title", "text", row.icon, row.buttons}, nullptr);
    EXPECT_EQ(box->icon(), row.shown_icon);
    EXPECT_EQ(box->standardButtons(), row.shown_buttons);
    EXPECT_EQ(box->standardButton(box->defaultButton()), row.default_button);
    EXPECT_EQ(box->standardButton(box->escapeButton()), row.escape_button);
  }
}

TEST(BuildMessageBox, TextLinesArePlainTextWithTheTitleAsGiven) {
  const auto box = BuildMessageBox({"Output File Exists", "C:\\a <b>.adj exists.\r\nDo you?",
                                    MessageIcon::kQuestion, MessageButtons::kYesNo},
                                   nullptr);
  EXPECT_EQ(box->windowTitle(), "Output File Exists");
  EXPECT_EQ(box->text(), "C:\\a <b>.adj exists.\nDo you?");
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(AnswerOf, ButtonPressedOrBoxClosed) {
  struct Row {
    const char* what;
    MessageButtons buttons;
    QMessageBox::StandardButton pressed;  // NoButton: closed without a button
    MessageAnswer answer;
  };
  const Row rows[] = {
      {"OK", MessageButtons::kOk, QMessageBox::Ok, MessageAnswer::kOk},
      {"OK box closed", MessageButtons::kOk, QMessageBox::NoButton, MessageAnswer::kOk},
      {"OK of OK/Cancel", MessageButtons::kOkCancel, QMessageBox::Ok, MessageAnswer::kOk},
      {"Cancel", MessageButtons::kOkCancel, QMessageBox::Cancel, MessageAnswer::kCancel},
      {"OK/Cancel closed", MessageButtons::kOkCancel, QMessageBox::NoButton,
       MessageAnswer::kCancel},
      {"Yes", MessageButtons::kYesNo, QMessageBox::Yes, MessageAnswer::kYes},
      {"No", MessageButtons::kYesNo, QMessageBox::No, MessageAnswer::kNo},
      {"Yes/No closed", MessageButtons::kYesNo, QMessageBox::NoButton, MessageAnswer::kNo},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const auto box = BuildMessageBox({"t", "x", MessageIcon::kNone, row.buttons}, nullptr);
    QAbstractButton* pressed =
        row.pressed == QMessageBox::NoButton ? nullptr : box->button(row.pressed);
    EXPECT_EQ(AnswerOf(*box, pressed), row.answer);
  }
}

}  // namespace
}  // namespace quarrow
