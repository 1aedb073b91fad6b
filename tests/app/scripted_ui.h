// A UserInterface for the window tests: file dialogs and questions are
// answered from scripted lists, and everything the window asked or said is
// recorded in order.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/user_interface.h"
#include "core/spectrum.h"
#include "formats/file_kinds.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "test_support.h"

namespace tesvar::test {

struct Asked {
  // "open", "save", "confirm", "save changes", "error", "report", "about",
  // "modal", "print"
  QString what;
  QString title;
  QString text;
  FileDialogSettings settings;
};

class ScriptedUi : public UserInterface {
 public:
  // Answers of the file dialogs in order; an empty string cancels. A dialog
  // with no answer left cancels too.
  std::deque<QString> files;
  // Answers of "File exists! Overwrite?" in order; none left means No.
  std::deque<bool> confirms;
  // Answers of "Save changes to NAME?" in order; none left means Cancel.
  std::deque<SaveChangesAnswer> saveAnswers;
  // What the modal dialog does while it is shown (fill fields, click OK).
  std::function<void(QDialog&)> onModal;
  // Called when an error box is shown, e.g. to look at the status bar then.
  std::function<void(const QString&)> onError;
  // What the print dialog does: set up the printer and return true to
  // print. Unset, the dialog is cancelled.
  std::function<bool(QPrinter&)> onPrint;

  std::vector<Asked> log;

  QString OpenFile(const FileDialogSettings& settings) override { return Answer("open", settings); }
  QString SaveFile(const FileDialogSettings& settings) override { return Answer("save", settings); }
  // A folder dialog takes its answer from `files` too.
  QString ChooseFolder(const QString& title, const QString&) override {
    return Answer("folder", {QString(), QString(), title, QString(), QString()});
  }
  // One answer of `files` holds the chosen paths separated by line ends.
  QStringList OpenFiles(const FileDialogSettings& settings) override {
    const QString answer = Answer("open", settings);
    return answer.isEmpty() ? QStringList() : answer.split('\n');
  }
  bool Confirm(const QString& text) override {
    log.push_back({"confirm", "Confirm", text, {}});
    if (confirms.empty()) return false;
    bool yes = confirms.front();
    confirms.pop_front();
    return yes;
  }
  SaveChangesAnswer AskSaveChanges(const QString& text) override {
    log.push_back({"save changes", "Confirm", text, {}});
    if (saveAnswers.empty()) return SaveChangesAnswer::kCancel;
    const SaveChangesAnswer answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
  }
  void ErrorBox(const QString& text, const QString& fileName) override {
    log.push_back({"error", TitleNaming("Error", fileName), text, {}});
    if (onError) onError(text);
  }
  void Report(const QString& title, const QString& text) override {
    log.push_back({"report", title, text, {}});
  }
  void About(const QString& title, const QString& text) override {
    log.push_back({"about", title, text, {}});
  }
  bool ChoosePrinter(QPrinter& printer) override {
    log.push_back({"print", "Print", QString(), {}});
    return onPrint ? onPrint(printer) : false;
  }
  int ShowModal(QDialog& dialog) override {
    log.push_back({"modal", dialog.windowTitle(), QString(), {}});
    dialog.show();
    if (onModal) onModal(dialog);
    int result = dialog.result();
    dialog.hide();
    return result;
  }

  // The entries of one kind, in order.
  std::vector<Asked> Of(const QString& what) const {
    std::vector<Asked> out;
    for (const Asked& a : log) {
      if (a.what == what) out.push_back(a);
    }
    return out;
  }

 private:
  QString Answer(const QString& what, const FileDialogSettings& settings) {
    log.push_back({what, settings.Title, QString(), settings});
    if (files.empty()) return QString();
    QString answer = files.front();
    files.pop_front();
    return answer;
  }
};

inline QString SamplePath() { return QString(TESVAR_SOURCE_DIR) + "/samples/polystyrene.sp"; }

// An SP file of `points` points from 4000 down to 400 1/cm with the given
// comment, written by the program's own SP writer.
inline void MakeSpFile(const std::string& path, int points, const std::string& comment,
                       float level = 0.5f) {
  Spectrum s;
  s.IdentLine = "PE IR       SPECTRUM";
  s.AcqDate = "01/02/03";
  s.AcqTime = "10:11:12.00";
  s.OperatorName = "tester";
  s.SetComment(comment);
  s.FirstX = s.XStart = 4000;
  s.LastX = s.XEnd = 400;
  s.NPoints = points;
  s.LastIndex = points - 1;
  s.XStep = (s.XStart - s.XEnd) / (points - 1);
  s.DeltaX = -s.XStep;
  s.NScans = 4;
  s.YScale = kPercentYScale;
  for (int i = 0; i < points; ++i) s.TransY[i] = level + 0.001f * static_cast<float>(i % 7);
  QVERIFY(WriteSpFile(path, s).saved());
}

// The record of an SP file as the reader sees it.
inline Spectrum ReadBack(const std::string& path) {
  Spectrum s;
  if (!ReadSpFile(path, s).loaded()) s.NPoints = -1;
  return s;
}

// What the file commands change in a window: caption, path, name, the
// status bar's point count, Imported and the record's point count.
struct WindowState {
  QString caption, path, name, points;
  bool imported;
  int nPoints;
  friend bool operator==(const WindowState&, const WindowState&) = default;
};

inline WindowState StateOf(TForm1& w) {
  return {w.windowTitle(),
          QString::fromStdString(w.document().CurrentPath),
          QString::fromStdString(w.document().CurrentName),
          w.StatusText(0),
          w.document().Imported,
          w.spectrum().NPoints};
}

// A fresh folder holding shown.sp (7 points), other.sp (9 points) and
// bad.sp (not a spectrum).
inline QString FolderOfSpFiles() {
  const QString d = QString::fromStdString(MakeTempDir());
  MakeSpFile((d + "/shown.sp").toStdString(), 7, "shown spectrum");
  MakeSpFile((d + "/other.sp").toStdString(), 9, "other spectrum");
  WriteFile((d + "/bad.sp").toStdString(), "garbage\r\n");
  return d;
}

// A JCAMP-DX file of the 7 points of dir/shown.sp, written by the
// program's own writer, under any name.
inline void WriteJcampOfShown(const QString& dir, const QString& name) {
  Spectrum s = ReadBack((dir + "/shown.sp").toStdString());
  RecordedMessages m;
  QVERIFY(Told(WriteJcampFile((dir + "/" + name).toStdString(), s, JcampForm::kFix), m));
}

// The export commands of the File menu: the data row's name, the action's
// object name and the extension of the file it writes.
struct ExportCommand {
  const char* row;
  const char* action;
  const char* extension;
};
inline constexpr ExportCommand kExportCommands[] = {
    {"JCAMP-DX", "Jcamp1", "jdx"},
    {"JCAMP-DX compressed", "jcampcompr", "jdx"},
    {"HPGL", "Hpgl1", "plt"},
    {"SVG", "SVG1", "svg"},
    {"metafile", "Windowsmetafile1", "wmf"},
};

// A data row for each export command: its action and the file named
// base.extension.
inline void AddExportRows(const QString& base) {
  for (const ExportCommand& c : kExportCommands) {
    QTest::newRow(c.row) << QString(c.action) << base + "." + c.extension;
  }
}

// A drag of these URLs, sent to the window as the platform sends it:
// enter, then (when accepted) the drop. Returns whether the enter was
// accepted; the load itself runs once the drop is over.
inline bool DragAndDrop(TForm1& w, const QList<QUrl>& urls,
                        Qt::KeyboardModifiers keys = Qt::NoModifier) {
  QMimeData data;
  data.setUrls(urls);
  const QPoint at(w.width() / 2, w.height() / 2);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, keys);
  enter.ignore();
  QCoreApplication::sendEvent(&w, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, keys);
  QCoreApplication::sendEvent(&w, &drop);
  QCoreApplication::processEvents();
  return true;
}

}  // namespace tesvar::test
