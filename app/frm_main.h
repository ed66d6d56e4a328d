#pragma once

// frmMain: the program's one working window. It holds the field file and
// report file names, the published elevations of the beginning and ending
// bench marks and the choice of units, and offers Adjust. Handlers copy the
// controls into RunState, call the engine and let it show the outcome; the
// window keeps no state of its own beyond its controls.
//
// Enter presses Adjust (or the button that has the focus) and Esc presses
// Exit.

#include <QMainWindow>

#include "app/window_services.h"
#include "engine/platform.h"
#include "engine/run_state.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class QRadioButton;

namespace quarrow {

class frmMain : public QMainWindow {
 public:
  // Builds the window and runs Form_Load. `rs`, `platform` and `services`
  // must outlive the window.
  frmMain(RunState& rs, Platform& platform, WindowServices& services);

  // Centres the window on its screen; Main does this before first showing it.
  void CentreOnScreen();

  // Event handlers, named <control>_<event>.
  void Form_Load();
  void btnAdjust_Click();
  void btnGetLvl_Click();
  void btnGetRpt_Click();
  // Take the first local file of the drop; a drop without files is ignored.
  void txtLvlFile_OLEDragDrop(const QMimeData& data);
  void txtRptFile_OLEDragDrop(const QMimeData& data);
  void btnExit_Click();
  void mnuExit_Click();
  void mnuLvl_Click();
  void mnuRpt_Click();
  void mnuHelp_Click();
  void mnuPDF_Click();
  void mnuAbout_Click();

  // The two file dialog objects; each keeps its file name between uses.
  FileDialogSettings cdgGetLvl;
  FileDialogSettings cdgGetRpt;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  // Writes both file-name boxes after a successful check in derive mode:
  // the report box first, then the field-file box.
  void ShowCheckedPaths();
  // Selects the unit option the accepted field file names in its first
  // line, if it names one; otherwise leaves the choice as it is.
  void SelectNamedUnits();
  // False, with a "Quarrow Error" box, for a file name that is not UTF-8
  // text (the system's bytes shown as replacement characters).
  bool IsTextName(const QString& name);
  // Runs a handler body; a fault escaping the engine is shown, not fatal.
  template <typename Body>
  void Guarded(Body&& body);
  // Shows a "Quarrow Error" naming an elevation box that holds no finite
  // number, what it holds, and how a number is typed in this locale.
  void ShowNotNumber(const QLineEdit& box, std::string_view not_number);

  RunState& rs_;
  Platform& platform_;
  WindowServices& services_;

  QLineEdit* txtLvlFile = nullptr;
  QPushButton* btnGetLvl = nullptr;
  QLineEdit* txtRptFile = nullptr;
  QPushButton* btnGetRpt = nullptr;
  QLineEdit* txtBegElev = nullptr;
  QRadioButton* btnFoot = nullptr;
  QLineEdit* txtEndElev = nullptr;
  QRadioButton* btnMeter = nullptr;
  QPushButton* btnAdjust = nullptr;
  QPushButton* btnExit = nullptr;

  QMenu* mnufile = nullptr;
  QAction* mnuLvl = nullptr;
  QAction* mnuRpt = nullptr;
  QMenu* mnuHlp = nullptr;
  QAction* mnuHelp = nullptr;
  QAction* mnuPDF = nullptr;
  QAction* mnuAbout = nullptr;
  QAction* mnuSpacer = nullptr;
  QAction* mnuExit = nullptr;
};

}  // namespace quarrow
