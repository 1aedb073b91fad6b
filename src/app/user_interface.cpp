#include "app/user_interface.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace tesvar {

QString QtUserInterface::RunFileDialog(const FileDialogSettings& settings, bool save) {
  const QString folder = settings.Folder.isEmpty() ? lastDirectory_ : settings.Folder;
  QFileDialog dialog(owner_, settings.Title, folder, settings.Filter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // A typed name that does not exist yet is handed to the command, which
  // gives its own answer ("sample" opens sample.sp).
  dialog.setFileMode(QFileDialog::AnyFile);
  // The commands ask "File exists! Overwrite?" themselves.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(settings.DefaultExt);
  // "*.sp" as initial name only repeats the filter; Qt would take it as a
  // file name.
  if (!settings.FileName.isEmpty() && !settings.FileName.contains('*')) {
    dialog.selectFile(settings.FileName);
  }
  if (dialog.exec() != QDialog::Accepted) return QString();
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return QString();
  lastDirectory_ = QFileInfo(files.first()).absolutePath();
  return files.first();
}

QString QtUserInterface::OpenFile(const FileDialogSettings& settings) {
  return RunFileDialog(settings, false);
}

QStringList QtUserInterface::OpenFiles(const FileDialogSettings& settings) {
  const QString folder = settings.Folder.isEmpty() ? lastDirectory_ : settings.Folder;
  QFileDialog dialog(owner_, settings.Title, folder, settings.Filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  if (dialog.exec() != QDialog::Accepted) return QStringList();
  const QStringList files = dialog.selectedFiles();
  if (!files.isEmpty()) lastDirectory_ = QFileInfo(files.first()).absolutePath();
  return files;
}

QString QtUserInterface::ChooseFolder(const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(owner_, title, start);
}

QString QtUserInterface::SaveFile(const FileDialogSettings& settings) {
  return RunFileDialog(settings, true);
}

bool QtUserInterface::Confirm(const QString& text) {
  QMessageBox box(QMessageBox::Question, "Confirm", text, QMessageBox::NoButton, owner_);
  QPushButton* yes = box.addButton("&Yes", QMessageBox::YesRole);
  QPushButton* no = box.addButton("&No", QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

SaveChangesAnswer QtUserInterface::AskSaveChanges(const QString& text) {
  QMessageBox box(QMessageBox::Question, "Confirm", text, QMessageBox::NoButton, owner_);
  QPushButton* yes = box.addButton("&Yes", QMessageBox::YesRole);
  QPushButton* no = box.addButton("&No", QMessageBox::NoRole);
  QPushButton* cancel = box.addButton("Cancel", QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == yes) return SaveChangesAnswer::kYes;
  if (box.clickedButton() == no) return SaveChangesAnswer::kNo;
  return SaveChangesAnswer::kCancel;
}

QString TitleNaming(const QString& title, const QString& fileName) {
  return fileName.isEmpty() ? title : title + " - " + fileName;
}

void QtUserInterface::ErrorBox(const QString& text, const QString& fileName) {
  QMessageBox box(QMessageBox::Critical, TitleNaming("Error", fileName), text,
                  QMessageBox::NoButton, owner_);
  box.addButton("OK", QMessageBox::AcceptRole);
  box.exec();
}

void QtUserInterface::Report(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::NoButton, owner_);
  box.addButton("OK", QMessageBox::AcceptRole);
  box.exec();
}

void QtUserInterface::About(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, owner_);
  box.addButton("OK", QMessageBox::AcceptRole);
  box.exec();
}

int QtUserInterface::ShowModal(QDialog& dialog) { return dialog.exec(); }

bool QtUserInterface::ChoosePrinter(QPrinter& printer) {
  QPrintDialog dialog(&printer, owner_);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace tesvar
