#pragma once

// WindowServices on the desktop: Qt's file dialogs, the registered viewer,
// modal showing and the application's event loop.

#include "app/window_services.h"

namespace quarrow {

class QtWindowServices : public WindowServices {
 public:
  bool ShowOpen(QWidget* owner, FileDialogSettings& dialog) override;
  bool ShowSave(QWidget* owner, FileDialogSettings& dialog) override;
  bool OpenDocument(const QString& path) override;
  void ShowModal(QDialog& dialog) override;
  void EndProgram() override;
};

}  // namespace quarrow
