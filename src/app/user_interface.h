// Everything the window asks of a person goes through UserInterface: the
// file dialogs, the message boxes and the modal parameters dialog. The
// program uses QtUserInterface; the window tests put a scripted one in its
// place, which answers from a list and records what was asked.
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QPrinter;
class QWidget;

namespace tesvar {

// What a command sets on the file dialog before showing it.
// The answers to "Save changes to NAME?".
enum class SaveChangesAnswer { kYes, kNo, kCancel };

struct FileDialogSettings {
  QString DefaultExt;  // "sp": added to a typed name without extension
  QString Filter;      // "Perkin-Elmer 1600 (*.sp)"
  QString Title;       // "Load spectrum"
  QString FileName;    // initial name: "*.sp" or "polystyrene.jdx"
  // The folder the dialog opens in; empty: where the last dialog ended.
  QString Folder;
};

// A box's title naming the file it is about: "Error - sample.jdx"; the
// title alone when there is no file.
QString TitleNaming(const QString& title, const QString& fileName);

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // The chosen path, or an empty string when the dialog was cancelled.
  virtual QString OpenFile(const FileDialogSettings& settings) = 0;
  virtual QString SaveFile(const FileDialogSettings& settings) = 0;
  // A folder chosen in a folder dialog titled `title`, starting at `start`;
  // empty when cancelled.
  virtual QString ChooseFolder(const QString& title, const QString& start) = 0;
  // Several existing files chosen at once; empty when cancelled. Without a
  // dialog of its own, one file through OpenFile.
  virtual QStringList OpenFiles(const FileDialogSettings& settings) {
    const QString one = OpenFile(settings);
    return one.isEmpty() ? QStringList() : QStringList{one};
  }

  // A box titled "Confirm" with the buttons "&Yes" and "&No"; true for Yes.
  virtual bool Confirm(const QString& text) = 0;
  // A box titled "Confirm" with the buttons "&Yes", "&No" and "Cancel";
  // Escape and closing the box answer Cancel, so that nothing is lost or
  // written by a key pressed in haste.
  virtual SaveChangesAnswer AskSaveChanges(const QString& text) = 0;
  // A box titled "Error" with an error icon and one "OK" button; `fileName`,
  // when given, is the file the error is about, named in the title.
  virtual void ErrorBox(const QString& text, const QString& fileName) = 0;
  // The generic error report: a stop icon, the given title, "OK".
  virtual void Report(const QString& title, const QString& text) = 0;
  // A plain box without icon and one "OK" button.
  virtual void About(const QString& title, const QString& text) = 0;

  // Runs a dialog modally; returns QDialog::Accepted or Rejected.
  virtual int ShowModal(QDialog& dialog) = 0;

  // The print dialog on `printer`: true, with the printer set up as chosen,
  // when the user asked to print; false when cancelled.
  virtual bool ChoosePrinter(QPrinter& printer) = 0;
};

// The real thing: QFileDialog and QMessageBox, owned by `owner`.
class QtUserInterface : public UserInterface {
 public:
  void SetOwner(QWidget* owner) { owner_ = owner; }

  QString OpenFile(const FileDialogSettings& settings) override;
  QString SaveFile(const FileDialogSettings& settings) override;
  QStringList OpenFiles(const FileDialogSettings& settings) override;
  QString ChooseFolder(const QString& title, const QString& start) override;
  bool Confirm(const QString& text) override;
  SaveChangesAnswer AskSaveChanges(const QString& text) override;
  void ErrorBox(const QString& text, const QString& fileName) override;
  void Report(const QString& title, const QString& text) override;
  void About(const QString& title, const QString& text) override;
  int ShowModal(QDialog& dialog) override;
  bool ChoosePrinter(QPrinter& printer) override;

 private:
  QString RunFileDialog(const FileDialogSettings& settings, bool save);

  QWidget* owner_ = nullptr;
  // Where the previous dialog ended: the next one without a folder of its
  // own opens there.
  QString lastDirectory_;
};

}  // namespace tesvar
