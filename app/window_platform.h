#pragma once

// The engine's Platform for the window: message boxes on screen. Files, the
// locale, the date and the viewer come from QtPlatform, as for the
// command-line tool.

#include <QMessageBox>
#include <memory>

#include "platform/qt_platform.h"

namespace quarrow {

// The QMessageBox for `box`: its title, its text with CR LF turned into line
// breaks and shown as plain text (a path holding "<" is no markup), its icon
// and buttons. OK and OK/Cancel default to OK, Yes/No to Yes. Esc and the
// close box mean Cancel for OK/Cancel and No for Yes/No.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxSpec& box, QWidget* owner);

// The answer a shown box gives when `clicked` was pressed; a box closed
// without any button pressed counts as its escape button.
MessageAnswer AnswerOf(const QMessageBox& box, QAbstractButton* clicked);

class WindowPlatform : public QtPlatform {
 public:
  // Modal over the active window, if any.
  MessageAnswer ShowMessage(const MessageBoxSpec& box) override;
};

}  // namespace quarrow
