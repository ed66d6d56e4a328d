#include "app/window_platform.h"

#include <QApplication>
#include <QPushButton>

namespace quarrow {

namespace {

QString DisplayText(const std::string& text) {
  QString shown = QtPlatform::ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxSpec& box, QWidget* owner) {
  auto shown = std::make_unique<QMessageBox>(owner);
  shown->setWindowTitle(QtPlatform::ToQString(box.title));
  shown->setTextFormat(Qt::PlainText);
  shown->setText(DisplayText(box.text));
  switch (box.icon) {
    case MessageIcon::kCritical:
      shown->setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::kQuestion:
      shown->setIcon(QMessageBox::Question);
      break;
    case MessageIcon::kNone:
      shown->setIcon(QMessageBox::NoIcon);
      break;
  }
  switch (box.buttons) {
    case MessageButtons::kOk:
      shown->setStandardButtons(QMessageBox::Ok);
      shown->setDefaultButton(QMessageBox::Ok);
      shown->setEscapeButton(QMessageBox::Ok);
      break;
    case MessageButtons::kOkCancel:
      shown->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      shown->setDefaultButton(QMessageBox::Ok);
      shown->setEscapeButton(QMessageBox::Cancel);
      break;
    case MessageButtons::kYesNo:
      shown->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      shown->setDefaultButton(QMessageBox::Yes);
      shown->setEscapeButton(QMessageBox::No);
      break;
  }
  return shown;
}

MessageAnswer AnswerOf(const QMessageBox& box, QAbstractButton* clicked) {
  if (clicked == nullptr) clicked = box.escapeButton();
  switch (box.standardButton(clicked)) {
    case QMessageBox::Ok:
      return MessageAnswer::kOk;
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    default:
      return MessageAnswer::kCancel;
  }
}

MessageAnswer WindowPlatform::ShowMessage(const MessageBoxSpec& box) {
  const std::unique_ptr<QMessageBox> shown = BuildMessageBox(box, QApplication::activeWindow());
  shown->exec();
  return AnswerOf(*shown, shown->clickedButton());
}

}  // namespace quarrow
