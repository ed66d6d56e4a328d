#pragma once

// What the office window needs from the desktop: file and folder dialogs,
// its questions and messages, its own dialogs shown modally, and the
// viewer for the field guide. The program uses QtOfficeServices; the tests
// script a fake that answers and records, so no test opens a real dialog.

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace quarrow {

enum class SaveChangesAnswer { kSave, kDiscard, kCancel };

class OfficeServices {
 public:
  virtual ~OfficeServices() = default;

  // Several files to open; none when cancelled.
  virtual QStringList ChooseFiles(QWidget* owner, const QString& title, const QString& folder,
                                  const QString& filter) = 0;
  // One file to open; "" when cancelled.
  virtual QString ChooseFile(QWidget* owner, const QString& title, const QString& folder,
                             const QString& filter) = 0;
  virtual QString ChooseFolder(QWidget* owner, const QString& title, const QString& folder) = 0;
  // A file to write; the dialog asks nothing about replacing it (the
  // window asks itself). "" when cancelled.
  virtual QString ChooseSaveFile(QWidget* owner, const QString& title, const QString& suggested,
                                 const QString& filter) = 0;

  // The project `name` has unsaved changes: save, discard or stay?
  virtual SaveChangesAnswer AskSaveChanges(QWidget* owner, const QString& name) = 0;
  // A yes/no question; No is the default.
  virtual bool Ask(QWidget* owner, const QString& title, const QString& text) = 0;
  // Something went wrong, said in `text`.
  virtual void ShowProblem(QWidget* owner, const QString& title, const QString& text) = 0;

  // Shows `dialog` modally; true when it was accepted.
  virtual bool RunDialog(QDialog& dialog) = 0;
  // Opens `path` with the desktop's viewer for it, without waiting.
  virtual bool OpenDocument(const QString& path) = 0;
};

class QtOfficeServices : public OfficeServices {
 public:
  QStringList ChooseFiles(QWidget* owner, const QString& title, const QString& folder,
                          const QString& filter) override;
  QString ChooseFile(QWidget* owner, const QString& title, const QString& folder,
                     const QString& filter) override;
  QString ChooseFolder(QWidget* owner, const QString& title, const QString& folder) override;
  QString ChooseSaveFile(QWidget* owner, const QString& title, const QString& suggested,
                         const QString& filter) override;
  SaveChangesAnswer AskSaveChanges(QWidget* owner, const QString& name) override;
  bool Ask(QWidget* owner, const QString& title, const QString& text) override;
  void ShowProblem(QWidget* owner, const QString& title, const QString& text) override;
  bool RunDialog(QDialog& dialog) override;
  bool OpenDocument(const QString& path) override;
};

}  // namespace quarrow
