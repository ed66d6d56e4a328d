#pragma once

// frmAbout: the About box, with the program's title, version, copyright, a
// description, the support contacts and a disclaimer. It is made afresh for
// every showing and loads its texts then; OK, Enter, Esc and the close box
// all end it.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace quarrow {

class frmAbout : public QDialog {
 public:
  explicit frmAbout(QWidget* owner);

  void Form_Load();
  void cmdOK_Click();

 private:
  QLabel* picIcon = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblCopyright = nullptr;
  QPlainTextEdit* Text1 = nullptr;
  QLabel* lblSupport = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QWidget* Line1 = nullptr;
  QLabel* lblDisclaimer = nullptr;
  QPushButton* cmdOK = nullptr;
};

}  // namespace quarrow
