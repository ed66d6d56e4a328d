#include "app/frm_about.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/window_layout.h"
#include "app/window_texts.h"
#include "engine/version.h"

namespace quarrow {

namespace {

namespace t = window_texts;

constexpr int kClientWidth = 5205;
constexpr int kClientHeight = 5160;
const QColor kBoxGrey(192, 192, 192);

QString Shown(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The etched rule across the box: a white line of width 2 with a grey
// (128) line of width 1 drawn just below it.
class EtchedRule : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(QPointF(0, 1), QPointF(width(), 1));
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.drawLine(QPointF(0, 1.5), QPointF(width(), 1.5));
  }
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& place) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(place);
  return label;
}

QLabel* MakePicture(QWidget* parent, const char* name, const QIcon& picture_icon,
                    const QRect& place) {
  QLabel* picture = MakeLabel(parent, name, place);
  picture->setPixmap(picture_icon.pixmap(place.size()));
  picture->setAlignment(Qt::AlignCenter);
  return picture;
}

}  // namespace

frmAbout::frmAbout(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setWindowIcon(ProgramIcon());
  setFont(WindowFont());
  QPalette grey = palette();
  grey.setColor(QPalette::Window, kBoxGrey);
  grey.setColor(QPalette::WindowText, Qt::black);
  setPalette(grey);
  setAutoFillBackground(true);
  setFixedSize(Pixels(kClientWidth), Pixels(kClientHeight));

  picIcon = MakePicture(this, "picIcon", ProgramIcon(), TwipsRect(240, 240, 480, 480));
  Image1 = MakePicture(this, "Image1", QIcon(QStringLiteral(":/quarrow/bench_mark.png")),
                       TwipsRect(240, 840, 480, 480));

  lblTitle = MakeLabel(this, "lblTitle", TwipsRect(1080, 330, 3885, 360));
  QFont title_font = font();
  title_font.setPointSizeF(13.5);
  title_font.setBold(true);
  lblTitle->setFont(title_font);
  lblVersion = MakeLabel(this, "lblVersion", TwipsRect(1080, 880, 3885, 195));
  lblCopyright = MakeLabel(this, "lblCopyright", TwipsRect(1080, 1120, 3855, 255));

  Text1 = new QPlainTextEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setGeometry(TwipsRect(1080, 1440, 3975, 1455));
  Text1->setReadOnly(true);
  Text1->setFrameShape(QFrame::NoFrame);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
  QPalette text_grey = Text1->palette();
  text_grey.setColor(QPalette::Base, kBoxGrey);
  Text1->setPalette(text_grey);
  QString description = Shown(t::kDescription);
  description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Text1->setPlainText(description);

  lblSupport = MakeLabel(this, "lblSupport", TwipsRect(1080, 3000, 2805, 195));
  lblSupport->setText(Shown(t::kSupportHeading));
  Label1 = MakeLabel(this, "Label1", {});
  Label1->setText(Shown(t::kSupportContact));
  PlaceLabel(*Label1, TwipsRect(1080, 3240, 2370, 195));
  Label2 = MakeLabel(this, "Label2", {});
  Label2->setText(Shown(t::kSupportMail));
  PlaceLabel(*Label2, TwipsRect(1080, 3480, 2235, 195));
  Label3 = MakeLabel(this, "Label3", {});
  Label3->setText(Shown(t::kSupportWeb));
  PlaceLabel(*Label3, TwipsRect(1080, 3720, 3000, 195));

  Line1 = new EtchedRule(this);
  Line1->setObjectName(QStringLiteral("Line1"));
  Line1->setGeometry(Pixels(120), Pixels(4075) - 1, Pixels(5055) - Pixels(120), 3);

  lblDisclaimer = MakeLabel(this, "lblDisclaimer", TwipsRect(240, 4320, 3255, 705));
  lblDisclaimer->setWordWrap(true);
  lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette red = lblDisclaimer->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  lblDisclaimer->setPalette(red);
  lblDisclaimer->setText(Shown(t::kDisclaimer));

  cmdOK = new QPushButton(tr("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setGeometry(TwipsRect(3720, 4440, 1260, 345));
  cmdOK->setToolTip(tr("Click OK to return to Quarrow."));
  // Enter presses OK as the default button; Esc and the close box reject
  // the dialog, which ends it the same way.
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
  setTabOrder(cmdOK, Text1);
  cmdOK->setFocus();

  Form_Load();
}

void frmAbout::Form_Load() {
  setWindowTitle(Shown(t::kAboutCaptionStart) + Shown(t::kProgramTitle));
  lblVersion->setText(Shown(t::VersionLine(kVersionMajor, kVersionMinor, kVersionRevision)));
  lblCopyright->setText(Shown(t::kLegalCopyright));
  lblTitle->setText(Shown(t::kProgramTitle));
}

void frmAbout::cmdOK_Click() { accept(); }

}  // namespace quarrow
