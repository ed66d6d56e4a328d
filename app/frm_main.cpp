#include "app/frm_main.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <exception>
#include <map>

#include "app/frm_about.h"
#include "app/main_window_controls.h"
#include "app/window_layout.h"
#include "app/window_texts.h"
#include "engine/error_box.h"
#include "engine/units_hint.h"
#include "platform/qt_platform.h"
#include "shell/adjust_level_run.h"
#include "shell/check_input_file.h"
#include "shell/command_line.h"
#include "shell/prepare_adjustment.h"

namespace quarrow {

namespace {

namespace t = window_texts;

QString Shown(const std::string& bytes) { return QtPlatform::ToQString(bytes); }
std::string Held(const QString& text) { return QtPlatform::FromQString(text); }
QString Shown(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The first dropped entry that is a file on this machine; "" when the drop
// carries none (dragged text, or only web addresses).
QString FirstLocalFile(const QMimeData& data) {
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

// One control of the table, named, captioned, placed and with its tip.
QWidget* MakeControl(QWidget* parent, const ControlLayout& layout, const QString& caption) {
  const QRect place = TwipsRect(layout.left, layout.top, layout.width, layout.height);
  QWidget* control = nullptr;
  switch (layout.kind) {
    case ControlKind::kLabel: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setText(caption);
      control = label;
      break;
    }
    case ControlKind::kTextBox:
      control = new QLineEdit(parent);
      break;
    case ControlKind::kButton:
      control = new QPushButton(caption, parent);
      break;
    case ControlKind::kOption:
      control = new QRadioButton(caption, parent);
      break;
  }
  control->setObjectName(QString::fromLatin1(layout.name));
  if (*layout.tool_tip != '\0') control->setToolTip(QString::fromUtf8(layout.tool_tip));
  if (auto* label = qobject_cast<QLabel*>(control)) {
    PlaceLabel(*label, place);
  } else {
    control->setGeometry(place);
  }
  return control;
}

}  // namespace

frmMain::frmMain(RunState& rs, Platform& platform, WindowServices& services)
    : rs_(rs), platform_(platform), services_(services) {
  setObjectName(QStringLiteral("frmMain"));
  // A fixed dialog border: a close box, but no minimize or maximize button.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setWindowTitle(tr(" Compute and Adjust Level Run"));
  setWindowIcon(ProgramIcon());
  setFont(WindowFont());
  BuildControls();
  BuildMenus();
  menuBar()->setFont(font());
  setFixedSize(Pixels(kMainClientWidth),
               menuBar()->heightForWidth(Pixels(kMainClientWidth)) + Pixels(kMainClientHeight));
  // Place the menu bar and the client area now, not at first showing, so
  // the window has its final geometry as soon as it exists.
  layout()->activate();
  Form_Load();
}

void frmMain::BuildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(Pixels(kMainClientWidth), Pixels(kMainClientHeight));
  setCentralWidget(client);

  std::map<int, QWidget*> by_tab_index;
  for (const ControlLayout& row : kMainWindowControls) {
    QWidget* control = MakeControl(client, row, tr(row.caption));
    if (row.kind != ControlKind::kLabel) by_tab_index[row.tab_index] = control;
  }
  const auto built = [client](const char* name) {
    return client->findChild<QWidget*>(QString::fromLatin1(name));
  };
  txtLvlFile = static_cast<QLineEdit*>(built("txtLvlFile"));
  txtRptFile = static_cast<QLineEdit*>(built("txtRptFile"));
  txtBegElev = static_cast<QLineEdit*>(built("txtBegElev"));
  txtEndElev = static_cast<QLineEdit*>(built("txtEndElev"));
  btnGetLvl = static_cast<QPushButton*>(built("btnGetLvl"));
  btnGetRpt = static_cast<QPushButton*>(built("btnGetRpt"));
  btnAdjust = static_cast<QPushButton*>(built("btnAdjust"));
  btnExit = static_cast<QPushButton*>(built("btnExit"));
  btnFoot = static_cast<QRadioButton*>(built("btnFoot"));
  btnMeter = static_cast<QRadioButton*>(built("btnMeter"));

  // The two options share their parent, so exactly one is ever selected.
  btnFoot->setChecked(true);
  // As in a dialog: Enter presses the button that has the focus, else Adjust.
  btnAdjust->setDefault(true);
  for (QPushButton* button : {btnGetLvl, btnGetRpt, btnAdjust, btnExit}) {
    button->setAutoDefault(true);
  }

  QWidget* previous = nullptr;
  for (const auto& [index, control] : by_tab_index) {
    if (previous != nullptr) setTabOrder(previous, control);
    previous = control;
  }
  txtLvlFile->setFocus();

  // Dropped files reach the handlers only; the boxes insert nothing themselves.
  txtLvlFile->installEventFilter(this);
  txtRptFile->installEventFilter(this);

  connect(btnAdjust, &QPushButton::clicked, this, &frmMain::btnAdjust_Click);
  connect(btnGetLvl, &QPushButton::clicked, this, &frmMain::btnGetLvl_Click);
  connect(btnGetRpt, &QPushButton::clicked, this, &frmMain::btnGetRpt_Click);
  connect(btnExit, &QPushButton::clicked, this, &frmMain::btnExit_Click);
}

void frmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("menuBar"));
  // The bar keeps its titles in one row, also where the desktop would move
  // it out of the window: the spacer only makes sense inside it.
  bar->setNativeMenuBar(false);

  mnufile = bar->addMenu(tr("File"));
  mnufile->setObjectName(QStringLiteral("mnufile"));
  mnufile->setFont(font());
  mnuLvl = mnufile->addAction(tr("Select Level File"));
  mnuLvl->setObjectName(QStringLiteral("mnuLvl"));
  mnuRpt = mnufile->addAction(tr("Select Report File"));
  mnuRpt->setObjectName(QStringLiteral("mnuRpt"));

  mnuHlp = bar->addMenu(tr("Help"));
  mnuHlp->setObjectName(QStringLiteral("mnuHlp"));
  mnuHlp->setFont(font());
  mnuHelp = mnuHlp->addAction(tr("Quarrow Help"));
  mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
  mnuPDF = mnuHlp->addAction(tr("Trimble Level Run.pdf"));
  mnuPDF->setObjectName(QStringLiteral("mnuPDF"));
  mnuAbout = mnuHlp->addAction(tr("About Quarrow"));
  mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

  mnuSpacer = bar->addAction(QString(static_cast<qsizetype>(t::kSpacerBlanks), u' '));
  mnuSpacer->setObjectName(QStringLiteral("mnuSpacer"));
  mnuSpacer->setEnabled(false);
  // A top-level title without a list: it acts as soon as it is clicked.
  mnuExit = bar->addAction(tr("Exit"));
  mnuExit->setObjectName(QStringLiteral("mnuExit"));

  connect(mnuLvl, &QAction::triggered, this, &frmMain::mnuLvl_Click);
  connect(mnuRpt, &QAction::triggered, this, &frmMain::mnuRpt_Click);
  connect(mnuHelp, &QAction::triggered, this, &frmMain::mnuHelp_Click);
  connect(mnuPDF, &QAction::triggered, this, &frmMain::mnuPDF_Click);
  connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
  connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
}

void frmMain::CentreOnScreen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  setGeometry(
      QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

template <typename Body>
void frmMain::Guarded(Body&& body) {
  try {
    body();
  } catch (const std::exception& fault) {
    ShowError(platform_, {t::kCommandFailed, fault.what()});
  } catch (...) {
    ShowError(platform_, {t::kCommandFailed});
  }
}

void frmMain::Form_Load() {
  txtLvlFile->setText(Shown(rs_.InputPath));
  txtRptFile->setText(Shown(rs_.ReportPath));
  if (rs_.FileState == kFileUsable && !rs_.InputPath.empty()) SelectNamedUnits();
}

void frmMain::ShowCheckedPaths() {
  txtRptFile->setText(Shown(rs_.ReportPath));
  txtLvlFile->setText(Shown(rs_.InputPath));
  SelectNamedUnits();
}

void frmMain::SelectNamedUnits() {
  const std::optional<Units> named = ReadUnitsHint(platform_, rs_.InputPath);
  if (named) (*named == Units::kFeet ? btnFoot : btnMeter)->setChecked(true);
}

bool frmMain::IsTextName(const QString& name) {
  if (!name.contains(QChar::ReplacementCharacter)) return true;
  ShowError(platform_, {t::kNameNotText, Held(name), t::kRenameTheFile});
  return false;
}

void frmMain::ShowNotNumber(const QLineEdit& box, std::string_view not_number) {
  const std::string typed = "\"" + Held(box.text()) + "\"";
  const std::string example =
      std::string(t::kTypeElevationLike) + platform_.DecimalSeparator() + "000.";
  ShowError(platform_, {not_number, typed, example});
}

void frmMain::btnAdjust_Click() {
  Guarded([this] {
    if (!IsTextName(txtLvlFile->text()) || !IsTextName(txtRptFile->text())) return;
    // Only the two paths are trimmed; the boxes keep what was typed.
    AdjustRequest request;
    request.field_file = TrimBlanks(Held(txtLvlFile->text()));
    request.report_file = TrimBlanks(Held(txtRptFile->text()));
    request.begin_elevation = Held(txtBegElev->text());
    request.end_elevation = Held(txtEndElev->text());
    request.units = btnFoot->isChecked() ? Units::kFeet : Units::kMetric;
    MessageBoxQuestions questions(platform_);
    switch (PrepareAdjustment(rs_, platform_, questions, request)) {
      case Preparation::kReady:
        AdjustLevelRun(rs_, platform_, questions);
        return;
      case Preparation::kBeginNotNumber:
        ShowNotNumber(*txtBegElev, t::kBeginningElevationNotNumber);
        return;
      case Preparation::kEndNotNumber:
        ShowNotNumber(*txtEndElev, t::kEndingElevationNotNumber);
        return;
      case Preparation::kStopped:
        return;
    }
  });
}

void frmMain::btnGetLvl_Click() {
  Guarded([this] {
    if (!txtLvlFile->text().isEmpty()) {
      cdgGetLvl.FileName = txtLvlFile->text();
    } else {
      cdgGetLvl.InitDir = Shown(rs_.LastFolder);
    }
    cdgGetLvl.DialogTitle = Shown(t::kOpenDialogTitle);
    if (!services_.ShowOpen(this, cdgGetLvl)) return;
    if (!IsTextName(cdgGetLvl.FileName)) return;
    // The same name confirmed again is not tested again; a name differing
    // only in letter case is a new choice.
    if (txtLvlFile->text() == cdgGetLvl.FileName) return;
    rs_.InputPath = Held(cdgGetLvl.FileName);
    if (CheckInputFile(rs_, platform_, CheckMode::kCheckAndDerive) == kFileUsable)
      ShowCheckedPaths();
  });
}

void frmMain::btnGetRpt_Click() {
  Guarded([this] {
    cdgGetRpt.FileName = txtRptFile->text();
    cdgGetRpt.DialogTitle = Shown(t::kSaveDialogTitle);
    if (!services_.ShowSave(this, cdgGetRpt)) return;
    if (!IsTextName(cdgGetRpt.FileName)) return;
    // Whether the file exists is asked at Adjust, not here.
    rs_.ReportPath = Held(cdgGetRpt.FileName);
    txtRptFile->setText(Shown(rs_.ReportPath));
  });
}

void frmMain::txtLvlFile_OLEDragDrop(const QMimeData& data) {
  Guarded([this, &data] {
    const QString dropped = FirstLocalFile(data);
    if (dropped.isEmpty() || !IsTextName(dropped)) return;
    rs_.InputPath = Held(dropped);
    if (CheckInputFile(rs_, platform_, CheckMode::kCheckAndDerive) == kFileUsable)
      ShowCheckedPaths();
  });
}

void frmMain::txtRptFile_OLEDragDrop(const QMimeData& data) {
  // Nothing is tested until Adjust, and ReportPath is taken from the box then.
  const QString dropped = FirstLocalFile(data);
  if (!dropped.isEmpty() && IsTextName(dropped)) txtRptFile->setText(dropped);
}

void frmMain::btnExit_Click() { services_.EndProgram(); }

void frmMain::mnuExit_Click() { services_.EndProgram(); }

void frmMain::mnuLvl_Click() { btnGetLvl->click(); }

void frmMain::mnuRpt_Click() { btnGetRpt->click(); }

void frmMain::mnuHelp_Click() {
  Guarded([this] {
    platform_.ShowMessage({std::string(t::kHelpTitle), std::string(t::kHelpText),
                           MessageIcon::kNone, MessageButtons::kOk});
  });
}

void frmMain::mnuPDF_Click() {
  Guarded([this] {
    // The separator goes in whatever the folder ends with; the quotes keep a
    // folder with blanks in one piece wherever the path is shown.
    const QString guide =
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + Shown(t::kGuideFileName);
    rs_.MessageText = "\"" + Held(QDir::toNativeSeparators(guide)) + "\"";
    // A missing guide or viewer is not reported: the result is only kept.
    rs_.ShellResult = services_.OpenDocument(guide) ? 1 : 0;
  });
}

void frmMain::mnuAbout_Click() {
  Guarded([this] {
    // Made afresh for every showing, so its texts are loaded anew each time.
    frmAbout about(this);
    services_.ShowModal(about);
  });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched != txtLvlFile && watched != txtRptFile)
    return QMainWindow::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (drag->mimeData() != nullptr && !FirstLocalFile(*drag->mimeData()).isEmpty()) {
        drag->acceptProposedAction();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      if (drop->mimeData() != nullptr) {
        if (watched == txtLvlFile) {
          txtLvlFile_OLEDragDrop(*drop->mimeData());
        } else {
          txtRptFile_OLEDragDrop(*drop->mimeData());
        }
      }
      drop->acceptProposedAction();
      return true;
    }
    default:
      return QMainWindow::eventFilter(watched, event);
  }
}

void frmMain::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      btnAdjust->click();
      return;
    case Qt::Key_Escape:
      btnExit->click();
      return;
    default:
      QMainWindow::keyPressEvent(event);
  }
}

}  // namespace quarrow
