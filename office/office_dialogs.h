#pragma once

// The office's own dialogs: the project's options, what to export, and
// About. Their controls are members so that the tests can fill them in and
// accept them through a scripted OfficeServices::RunDialog.

#include <QDialog>
#include <array>

#include "office/project_adjustment.h"
#include "office/project_export.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quarrow {

class OfficeServices;

class OptionsDialog : public QDialog {
 public:
  OptionsDialog(const ProjectOptions& options, QWidget* owner);
  // The options as the controls now say, other groups' sigma kept.
  ProjectOptions Options() const;

  QRadioButton* optFeet = nullptr;
  QRadioButton* optMetric = nullptr;
  QCheckBox* chkRefraction = nullptr;
  QDoubleSpinBox* txtRefraction = nullptr;
  QRadioButton* optDistance = nullptr;
  QRadioButton* optSetups = nullptr;
  QDoubleSpinBox* txtSigma = nullptr;
  std::array<QCheckBox*, 5> chkOrders{};

 private:
  ProjectOptions base_;
};

class ExportDialog : public QDialog {
 public:
  ExportDialog(AdjustMode mode, const ExportChoice& choice, OfficeServices& services,
               QWidget* owner);
  ExportChoice Choice() const;

  void btnFolder_Click();

  QLineEdit* txtFolder = nullptr;
  QPushButton* btnFolder = nullptr;
  QLineEdit* txtName = nullptr;
  QCheckBox* chkCsv = nullptr;
  QCheckBox* chkJson = nullptr;
  QComboBox* cboProfile = nullptr;
  QCheckBox* chkRunReports = nullptr;

 private:
  AdjustMode mode_;
  OfficeServices& services_;
};

class AboutDialog : public QDialog {
 public:
  explicit AboutDialog(QWidget* owner);
};

}  // namespace quarrow
