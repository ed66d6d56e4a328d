#include "office/office_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/version.h"
#include "office/office_services.h"

namespace quarrow {

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog, const QString& ok) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(ok);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QWidget* Row(QWidget* parent, std::initializer_list<QWidget*> widgets) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : widgets) layout->addWidget(widget);
  layout->addStretch();
  return row;
}

}  // namespace

OptionsDialog::OptionsDialog(const ProjectOptions& options, QWidget* owner)
    : QDialog(owner), base_(options) {
  setObjectName(QStringLiteral("dlgOptions"));
  setWindowTitle(tr("Project Options"));
  auto* form = new QFormLayout;

  optFeet = new QRadioButton(tr("English (feet)"), this);
  optMetric = new QRadioButton(tr("Metric (metres)"), this);
  auto* units = new QButtonGroup(this);
  units->addButton(optFeet);
  units->addButton(optMetric);
  (options.units == Units::kFeet ? optFeet : optMetric)->setChecked(true);
  form->addRow(tr("Units:"), Row(this, {optFeet, optMetric}));

  chkRefraction = new QCheckBox(tr("Correct for curvature and refraction, k ="), this);
  txtRefraction = new QDoubleSpinBox(this);
  txtRefraction->setRange(0, 0.999);
  txtRefraction->setDecimals(3);
  txtRefraction->setSingleStep(0.01);
  txtRefraction->setValue(options.refraction_k.value_or(0.13));
  chkRefraction->setChecked(options.refraction_k.has_value());
  txtRefraction->setEnabled(chkRefraction->isChecked());
  connect(chkRefraction, &QCheckBox::toggled, txtRefraction, &QWidget::setEnabled);
  form->addRow(tr("Sights:"), Row(this, {chkRefraction, txtRefraction}));

  optDistance = new QRadioButton(tr("By distance"), this);
  optSetups = new QRadioButton(tr("Equally over the setups"), this);
  auto* distribution = new QButtonGroup(this);
  distribution->addButton(optDistance);
  distribution->addButton(optSetups);
  (options.distribute_by_setups ? optSetups : optDistance)->setChecked(true);
  form->addRow(tr("Misclosure:"), Row(this, {optDistance, optSetups}));

  txtSigma = new QDoubleSpinBox(this);
  txtSigma->setRange(0.01, 100);
  txtSigma->setDecimals(2);
  txtSigma->setSuffix(tr(" mm per root km"));
  txtSigma->setValue(options.TrigSigma());
  txtSigma->setToolTip(
      tr("The a-priori standard error of one kilometre of trigonometric levelling (the group "
         "\"trig\"), against which a network's agreement is tested"));
  form->addRow(tr("Sigma, trig runs:"), txtSigma);

  auto* orders = new QWidget(this);
  auto* order_row = new QHBoxLayout(orders);
  order_row->setContentsMargins(0, 0, 0, 0);
  for (std::size_t i = 0; i < chkOrders.size(); ++i) {
    const std::string& order = KnownOrders()[i];
    chkOrders[i] = new QCheckBox(QString::fromStdString(order), orders);
    chkOrders[i]->setChecked(std::find(options.orders.begin(), options.orders.end(), order) !=
                             options.orders.end());
    order_row->addWidget(chkOrders[i]);
  }
  form->addRow(tr("FGCS orders reported:"), orders);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this, tr("OK")));
}

ProjectOptions OptionsDialog::Options() const {
  ProjectOptions options = base_;
  options.units = optMetric->isChecked() ? Units::kMetric : Units::kFeet;
  options.refraction_k =
      chkRefraction->isChecked() ? std::optional<double>(txtRefraction->value()) : std::nullopt;
  options.distribute_by_setups = optSetups->isChecked();
  options.sigma_millimetres[std::string(kTrigGroup)] = txtSigma->value();
  options.orders.clear();
  for (std::size_t i = 0; i < chkOrders.size(); ++i) {
    if (chkOrders[i]->isChecked()) options.orders.push_back(KnownOrders()[i]);
  }
  return options;
}

ExportDialog::ExportDialog(AdjustMode mode, const ExportChoice& choice, OfficeServices& services,
                           QWidget* owner)
    : QDialog(owner), mode_(mode), services_(services) {
  setObjectName(QStringLiteral("dlgExport"));
  setWindowTitle(tr("Export"));
  const bool network = mode == AdjustMode::kNetwork;
  auto* what = new QLabel(
      network ? tr("The network report as quarrow-network writes it, with the marks file it "
                   "names, and what you tick below.")
              : tr("Each run's report as quarrow-adjust writes it, and what you tick below."),
      this);
  what->setWordWrap(true);
  auto* form = new QFormLayout;
  txtFolder = new QLineEdit(choice.folder, this);
  btnFolder = new QPushButton(tr("Browse..."), this);
  connect(btnFolder, &QPushButton::clicked, this, &ExportDialog::btnFolder_Click);
  auto* folder = new QWidget(this);
  auto* folder_row = new QHBoxLayout(folder);
  folder_row->setContentsMargins(0, 0, 0, 0);
  folder_row->addWidget(txtFolder, 1);
  folder_row->addWidget(btnFolder);
  form->addRow(tr("Folder:"), folder);
  txtName = new QLineEdit(choice.name, this);
  txtName->setToolTip(tr("NAME.adj, NAME-marks.csv, NAME.csv and NAME.json"));
  if (network) form->addRow(tr("Network files named:"), txtName);
  txtName->setVisible(network);
  chkCsv = new QCheckBox(tr("Points as CSV"), this);
  chkCsv->setChecked(choice.csv);
  chkJson = new QCheckBox(tr("The adjustment as JSON"), this);
  chkJson->setChecked(choice.json);
  form->addRow(tr("Also:"), Row(this, {chkCsv, chkJson}));
  cboProfile = new QComboBox(this);
  cboProfile->addItems({tr("No profile"), tr("SVG"), tr("PNG"), tr("PDF")});
  cboProfile->setCurrentIndex(choice.profile ? static_cast<int>(*choice.profile) + 1 : 0);
  form->addRow(tr("Each run's profile:"), cboProfile);
  chkRunReports = new QCheckBox(tr("Each run's report beside its field file"), this);
  chkRunReports->setChecked(choice.run_reports);
  chkRunReports->setVisible(network);
  if (network) form->addRow(QString(), chkRunReports);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(what);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this, tr("Export")));
  resize(520, sizeHint().height());
}

void ExportDialog::btnFolder_Click() {
  const QString folder = services_.ChooseFolder(this, tr("Export To"), txtFolder->text());
  if (!folder.isEmpty()) txtFolder->setText(folder);
}

ExportChoice ExportDialog::Choice() const {
  ExportChoice choice;
  choice.folder = txtFolder->text().trimmed();
  choice.name = txtName->text().trimmed();
  choice.csv = chkCsv->isChecked();
  choice.json = chkJson->isChecked();
  if (cboProfile->currentIndex() > 0) {
    choice.profile = static_cast<ProfileFormat>(cboProfile->currentIndex() - 1);
  }
  choice.run_reports = mode_ == AdjustMode::kNetwork && chkRunReports->isChecked();
  return choice;
}

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("dlgAbout"));
  setWindowTitle(tr("About Quarrow Office"));
  auto* icon = new QLabel(this);
  icon->setPixmap(windowIcon().pixmap(64, 64));
  auto* title = new QLabel(tr("Quarrow Office %1").arg(QString::fromLatin1(kVersionText)), this);
  QFont title_font = title->font();
  title_font.setPointSizeF(title_font.pointSizeF() * 1.5);
  title_font.setBold(true);
  title->setFont(title_font);
  auto* text = new QLabel(
      tr("Projects of trigonometric level runs and level networks: field files and raw "
         "total-station files, the marks, the checks, each run's profile and the network's "
         "picture, adjusted by the same engine as quarrow, quarrow-adjust and "
         "quarrow-network, and exported byte for byte as they write.\n\n"
         "Free software under the MIT licence. Support: support@example.com"),
      this);
  text->setWordWrap(true);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  auto* words = new QVBoxLayout;
  words->addWidget(title);
  words->addWidget(text);
  top->addLayout(words, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  resize(460, sizeHint().height());
}

}  // namespace quarrow
