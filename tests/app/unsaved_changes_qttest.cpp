// The user's work is not dropped without a word: what makes the spectrum
// changed, the question every command that would drop it asks, and the
// desktop habits around it (keys, the open dialogs' last filter entry, the
// list of files read last).
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <memory>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/parameters_dialog.h"
#include "app/recent_files.h"
#include "core/file_io.h"
#include "full_disk.h"
#include "scripted_ui.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

// Types a new comment in the parameters dialog and leaves it with OK (or
// Cancel).
void EditComment(ScriptedUi& ui, TForm1& w, const QString& comment, bool ok = true) {
  ui.onModal = [&](QDialog& dialog) {
    auto& dlg = static_cast<TPE1Dlg&>(dialog);
    dlg.CommentEdit->setText(comment);
    (ok ? dlg.OKBtn : dlg.CancelBtn)->click();
  };
  w.Parameters1->trigger();
  ui.onModal = nullptr;
}

// A right drag in the plot with the cursor on the first point: the level
// correction shifts the whole spectrum.
void CorrectBaseline(TForm1& w) {
  w.view().CursorIndex = 0;
  w.PaintBox1->Repaint();
  const int x = w.view().PlotLeft + 40;
  const int y = w.view().PlotBottom + w.view().PlotYScale / 2;
  w.PaintBox1MouseDown(MouseButton::kRight, x, y);
  w.PaintBox1MouseUp(MouseButton::kRight, x, y + 10);
}

std::string Bytes(const QString& path) { return ReadFile(path.toStdString()); }

QAction* RecentItemFor(TForm1& w, const QString& path) {
  for (QAction* item : w.RecentFileItems) {
    if (item->isVisible() && item->data().toString() == path) return item;
  }
  return nullptr;
}

}  // namespace

class UnsavedChangesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QSettings("Tesvar", "Tesvar").clear(); }

  // What the spectrum's file lacks after a sequence of steps.
  void whatCountsAsAChange_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("modified");
    QTest::newRow("nothing") << QStringList{} << false;
    QTest::newRow("baseline correction") << QStringList{"baseline"} << true;
    QTest::newRow("parameters edited, OK") << QStringList{"edit"} << true;
    QTest::newRow("parameters edited, Cancel") << QStringList{"edit cancelled"} << false;
    QTest::newRow("parameters, OK without an edit") << QStringList{"ok"} << false;
    QTest::newRow("labels") << QStringList{"label"} << false;
    QTest::newRow("an export") << QStringList{"edit", "export"} << true;
    QTest::newRow("Save") << QStringList{"edit", "save"} << false;
    QTest::newRow("Save As") << QStringList{"edit", "save as"} << false;
    QTest::newRow("Save As cancelled") << QStringList{"edit", "save as cancelled"} << true;
    QTest::newRow("another file loaded") << QStringList{"edit", "open"} << false;
    // Undo back to the state last saved (or read) leaves nothing to save;
    // labels never count, the header edit is not undone.
    QTest::newRow("baseline, undo") << QStringList{"baseline", "undo"} << false;
    QTest::newRow("baseline, undo, redo") << QStringList{"baseline", "undo", "redo"} << true;
    QTest::newRow("two corrections, one undone")
        << QStringList{"baseline", "baseline", "undo"} << true;
    QTest::newRow("saved, corrected, undone")
        << QStringList{"baseline", "save", "baseline", "undo"} << false;
    QTest::newRow("undone past the save") << QStringList{"baseline", "save", "undo"} << true;
    QTest::newRow("undone past the save, redone")
        << QStringList{"baseline", "save", "undo", "redo"} << false;
    QTest::newRow("undone past the save, new label")
        << QStringList{"baseline", "save", "undo", "label"} << true;
    QTest::newRow("label and correction undone")
        << QStringList{"label", "baseline", "undo", "undo"} << false;
    QTest::newRow("correction, label undone") << QStringList{"baseline", "label", "undo"} << true;
    QTest::newRow("header edited, correction undone")
        << QStringList{"edit", "baseline", "undo"} << true;
    QTest::newRow("nothing left to undo after a load")
        << QStringList{"baseline", "open", "undo"} << false;
  }
  void whatCountsAsAChange() {
    QFETCH(QStringList, steps);
    QFETCH(bool, modified);
    const QString d = FolderOfSpFiles();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp", "-e"}, ui);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (const QString& step : steps) {
      if (step == "baseline") CorrectBaseline(w);
      if (step == "edit") EditComment(ui, w, "edited");
      if (step == "edit cancelled") EditComment(ui, w, "edited", false);
      if (step == "ok") EditComment(ui, w, "shown spectrum");
      if (step == "label") {
        w.SpeedButton2->click();
        w.PaintBox1MouseUp(MouseButton::kLeft, w.view().PlotLeft + 40, w.view().PlotBottom - 20);
        QVERIFY(!w.view().Labels.Empty());
      }
      if (step == "export") {
        ui.files = {d + "/shown.svg"};
        w.SVG1->trigger();
        QVERIFY(FileExists((d + "/shown.svg").toStdString()));
      }
      if (step == "undo") w.Undo1->trigger();
      if (step == "redo") w.Redo1->trigger();
      if (step == "save") w.Save1->trigger();
      if (step == "save as") ui.files = {d + "/copy.sp"};
      if (step.startsWith("save as")) w.Saveas1->trigger();
      if (step == "open") {
        ui.saveAnswers = {SaveChangesAnswer::kNo};
        ui.files = {d + "/other.sp"};
        w.Open1->trigger();
        QCOMPARE(w.spectrum().NPoints, 9);
      }
    }
    QCOMPARE(w.Modified(), modified);
    QVERIFY(ui.Of("report").empty());
  }

  // Every command that would drop a changed spectrum asks first; Yes saves
  // it (the command stops when the save fails or is not made), No goes on,
  // Cancel stops.
  void askBeforeDropping_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer");
    const char* commands[] = {"Exit",  "window close", "Ctrl+Q",      "Open", "JCAMP-DX",
                              "ASCII", "Any spectrum", "recent file", "drop"};
    for (const char* command : commands) {
      for (const char* answer :
           {"Yes", "No", "Cancel", "Yes, disk full", "Yes, overwrite refused"}) {
        QTest::newRow(qPrintable(QString("%1: %2").arg(command, answer))) << command << answer;
      }
    }
  }
  void askBeforeDropping() {
    QFETCH(QString, command);
    QFETCH(QString, answer);
    const bool diskFull = answer == "Yes, disk full";
    const bool refused = answer == "Yes, overwrite refused";
    const QString d = FolderOfSpFiles();
    const QString other = d + "/other.sp";
    // The file shown, and the one Save writes it to.
    QString shown = d + "/shown.sp";
    QString target = shown;
    std::unique_ptr<FullDisk> disk;
    if (diskFull) {
      // On a small disk of its own, filled once the file is read.
      disk = std::make_unique<FullDisk>();
      if (!disk->Mounted()) QSKIP(disk->Why().c_str());
      shown = target = QString::fromStdString(disk->Path("shown.sp"));
      MakeSpFile(shown.toStdString(), 3000, "on a small disk");
    }
    if (refused) {
      // Imported: Save asks before it writes over x.sp, and is told No.
      shown = d + "/x.jdx";
      target = d + "/x.sp";
      WriteJcampOfShown(d, "x.jdx");
      MakeSpFile(target.toStdString(), 5, "another spectrum");
    }
    RecentFiles().Add(other);
    ScriptedUi ui;
    TForm1 w({shown}, ui);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const std::string savedBefore = ReadFile(target.toStdString());
    EditComment(ui, w, "edited");
    QVERIFY(w.Modified());
    if (diskFull) QVERIFY(disk->Fill());
    ui.saveAnswers = {answer == "No"       ? SaveChangesAnswer::kNo
                      : answer == "Cancel" ? SaveChangesAnswer::kCancel
                                           : SaveChangesAnswer::kYes};

    const bool exits = command == "Exit" || command == "window close" || command == "Ctrl+Q";
    const bool dialog = command == "Open" || command == "JCAMP-DX" || command == "ASCII" ||
                        command == "Any spectrum";
    if (command == "Exit") w.Exit1->trigger();
    if (command == "window close") w.close();
    if (command == "Ctrl+Q") QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    if (command == "Open") w.Open1->trigger();
    if (command == "JCAMP-DX") w.JCAMPDX1->trigger();
    if (command == "ASCII") w.ASCII1->trigger();
    if (command == "Any spectrum") w.Anyspectrum1->trigger();
    if (command == "recent file") {
      QAction* item = RecentItemFor(w, other);
      QVERIFY(item != nullptr);
      item->trigger();
    }
    if (command == "drop") QVERIFY(DragAndDrop(w, {QUrl::fromLocalFile(other)}));

    const std::vector<Asked> asked = ui.Of("save changes");
    QCOMPARE(asked.size(), std::size_t(1));
    QCOMPARE(asked[0].text, "Save changes to " + QFileInfo(shown).fileName() + "?");
    QCOMPARE(asked[0].title, QString("Confirm"));
    const bool wentOn = answer == "Yes" || answer == "No";
    bool didGoOn = false;
    if (exits) didGoOn = !w.isVisible();
    if (dialog) didGoOn = !ui.Of("open").empty();
    if (!exits && !dialog) didGoOn = w.spectrum().NPoints == 9;
    QCOMPARE(didGoOn, wentOn);
    // Saved only on Yes; a failed save leaves the file as it was.
    const Spectrum onDisk = ReadBack(target.toStdString());
    QCOMPARE(onDisk.Comment == "edited", answer == "Yes");
    if (answer != "Yes") QVERIFY(ReadFile(target.toStdString()) == savedBefore);
    QCOMPARE(ui.Of("confirm").size(), std::size_t(refused ? 1 : 0));
    if (diskFull) {
      QCOMPARE(ui.Of("report").size(), std::size_t(1));
      QCOMPARE(ui.Of("report")[0].text, QString("Disk full."));
    }
    // Still changed where nothing was saved and nothing replaced it.
    if (!wentOn) {
      QVERIFY(w.Modified());
      QCOMPARE(w.spectrum().Comment, std::string("edited"));
    }
  }

  // The keys of the desktop, shown in the menus beside the items, with the
  // access keys kept.
  void keys_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("standard");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Open") << "Open1" << int(QKeySequence::Open) << "&Open";
    QTest::newRow("Save") << "Save1" << int(QKeySequence::Save) << "&Save";
    QTest::newRow("Save As") << "Saveas1" << int(QKeySequence::SaveAs) << "Save &As...";
    QTest::newRow("Print") << "Print1" << int(QKeySequence::Print) << "&Print...";
    QTest::newRow("Exit") << "Exit1" << int(QKeySequence::Quit) << "E&xit";
    QTest::newRow("Copy spectrum") << "Copy1" << int(QKeySequence::Copy) << "Copy &spectrum";
  }
  void keys() {
    QFETCH(QString, action);
    QFETCH(int, standard);
    QFETCH(QString, caption);
    ScriptedUi ui;
    TForm1 w({}, ui);
    QAction* item = w.findChild<QAction*>(action);
    QVERIFY(item != nullptr);
    QCOMPARE(item->text(), caption);
    QVERIFY(!item->shortcut().isEmpty());
    const QKeySequence desktop(static_cast<QKeySequence::StandardKey>(standard));
    if (!desktop.isEmpty()) QCOMPARE(item->shortcut(), desktop);
  }

  // Undo and Redo have the keys people press for them everywhere, whatever
  // the desktop's own choice for Redo; with nothing to undo they are off.
  void editKeys_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("Undo") << "Undo1"
                          << "&Undo"
                          << "Ctrl+Z";
    QTest::newRow("Redo") << "Redo1"
                          << "&Redo"
                          << "Ctrl+Shift+Z";
  }
  void editKeys() {
    QFETCH(QString, action);
    QFETCH(QString, caption);
    QFETCH(QString, key);
    ScriptedUi ui;
    TForm1 w({SamplePath()}, ui);
    QAction* item = w.findChild<QAction*>(action);
    QVERIFY(item != nullptr);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut(), QKeySequence(key));
    QVERIFY(!item->isEnabled());
  }

  // Undo and Redo walk back and forth through corrections and labels: the
  // record, the labels and the files written are those of each state, and
  // the commands are enabled as there is something to go to.
  void undoRedoSequence() {
    const QString d = FolderOfSpFiles();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp", "-e"}, ui);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const std::vector<float> read = w.spectrum().TransY;
    ui.files = {d + "/read.svg"};
    w.SVG1->trigger();

    CorrectBaseline(w);
    const std::vector<float> corrected = w.spectrum().TransY;
    QVERIFY(corrected != read);
    w.SpeedButton2->click();
    const int x = w.view().PlotLeft + 40;
    const int y = w.view().PlotBottom - 20;
    w.PaintBox1MouseUp(MouseButton::kLeft, x, y);
    QCOMPARE(w.view().Labels.Count(), 1);
    QVERIFY(w.Undo1->isEnabled());
    QVERIFY(!w.Redo1->isEnabled());

    // Back to the file as read, step by step.
    w.Undo1->trigger();
    QVERIFY(w.view().Labels.Empty());
    QCOMPARE(w.spectrum().TransY, corrected);
    w.Undo1->trigger();
    QCOMPARE(w.spectrum().TransY, read);
    QVERIFY(!w.Undo1->isEnabled());
    QVERIFY(w.Redo1->isEnabled());
    QVERIFY(!w.Modified());
    ui.files = {d + "/undone.svg"};
    w.SVG1->trigger();
    QCOMPARE(Bytes(d + "/undone.svg"), Bytes(d + "/read.svg"));

    // Forth again: the label comes back with the label tool.
    w.SpeedButton1->click();
    w.Redo1->trigger();
    w.Redo1->trigger();
    QCOMPARE(w.spectrum().TransY, corrected);
    QCOMPARE(w.view().Labels.Count(), 1);
    QCOMPARE(w.view().ToolMode, int(kLabelTool));
    QVERIFY(w.Copypeaklist1->isEnabled());
    QVERIFY(!w.Redo1->isEnabled());
    QVERIFY(w.Modified());

    // The cursor tool discards the labels; Undo brings them back.
    w.SpeedButton1->click();
    QVERIFY(w.view().Labels.Empty());
    w.Undo1->trigger();
    QCOMPARE(w.view().Labels.Count(), 1);
    QCOMPARE(w.view().ToolMode, int(kLabelTool));
    QVERIFY(ui.Of("report").empty());
    QVERIFY(ui.Of("error").empty());
  }

  // A right click on a label in the label tool removes it: it is no longer
  // drawn nor written; a right click beside the labels places one.
  void removeLabel() {
    const QString d = FolderOfSpFiles();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ui.files = {d + "/plain.svg"};
    w.SVG1->trigger();
    w.SpeedButton2->click();
    w.PaintBox1MouseUp(MouseButton::kLeft, w.view().PlotLeft + 40, w.view().PlotBottom - 20);
    QCOMPARE(w.view().Labels.Count(), 1);
    const PeakLabel placed = w.view().Labels[0];
    const PlotFrame frame = PlotFrame::FromViewState(w.view(), w.spectrum());

    // Far from the label, the right button places one (text to the right).
    const int farX = w.view().PlotLeft + w.view().PlotWidth - 40;
    w.PaintBox1MouseUp(MouseButton::kRight, farX, w.view().PlotBottom - 20);
    QCOMPARE(w.view().Labels.Count(), 2);
    w.Undo1->trigger();
    QCOMPARE(w.view().Labels.Count(), 1);

    w.PaintBox1MouseUp(MouseButton::kRight, frame.XToColumn(placed.X), frame.TToRow(placed.Y));
    QVERIFY(w.view().Labels.Empty());
    QVERIFY(!w.Modified());
    ui.files = {d + "/removed.svg"};
    w.SVG1->trigger();
    QCOMPARE(Bytes(d + "/removed.svg"), Bytes(d + "/plain.svg"));

    w.Undo1->trigger();
    QCOMPARE(w.view().Labels.Count(), 1);
    QCOMPARE(w.view().Labels[0].X, placed.X);
  }

  // The File menu lists the last four files read, most recent first; the
  // list outlives the window; a file that is gone leaves it with the
  // reader's message, one that is only unreadable stays.
  void recentFiles() {
    const QString d = FolderOfSpFiles();
    for (const char* name : {"a", "b", "c", "d"}) {
      MakeSpFile((d + "/" + name + ".sp").toStdString(), 5, name);
    }
    {
      ScriptedUi ui;
      TForm1 w({d + "/shown.sp"}, ui);
      for (const char* name : {"a", "b", "c", "d"}) {
        ui.files = {d + "/" + name + ".sp"};
        w.Open1->trigger();
      }
      ui.files = {d + "/b.sp"};
      w.Open1->trigger();
      QVERIFY(QUrl::fromLocalFile(d + "/other.sp").isLocalFile());
      QVERIFY(DragAndDrop(w, {QUrl::fromLocalFile(d + "/other.sp")}));
    }
    const QStringList expected{d + "/other.sp", d + "/b.sp", d + "/d.sp", d + "/c.sp"};
    ScriptedUi ui;
    TForm1 w({}, ui);
    QStringList shown;
    for (QAction* item : w.RecentFileItems) {
      if (item->isVisible()) shown << item->data().toString();
    }
    QCOMPARE(shown, expected);
    QVERIFY(w.RecentSeparator->isVisible());
    QCOMPARE(w.RecentFileItems[1]->text(), "&2 " + QDir::toNativeSeparators(d + "/b.sp"));

    // Chosen from the menu: read and moved to the front.
    RecentItemFor(w, d + "/c.sp")->trigger();
    QCOMPARE(QString::fromStdString(w.document().CurrentName), QString("c.sp"));
    QCOMPARE(RecentFiles().Files().first(), d + "/c.sp");

    // Unreadable now: said so, and kept.
    WriteFile((d + "/b.sp").toStdString(), "garbage\r\n");
    RecentItemFor(w, d + "/b.sp")->trigger();
    QCOMPARE(ui.log.back().text, QString("Unknown file format!"));
    QVERIFY(RecentFiles().Files().contains(d + "/b.sp"));

    // Gone: the reader's own message, and out of the list.
    QVERIFY(QFile::remove(d + "/d.sp"));
    RecentItemFor(w, d + "/d.sp")->trigger();
    QCOMPARE(ui.log.back().what, QString("report"));
    QCOMPARE(ui.log.back().text, QString("File not found."));
    QVERIFY(!RecentFiles().Files().contains(d + "/d.sp"));
    QVERIFY(RecentItemFor(w, d + "/d.sp") == nullptr);
    QCOMPARE(QString::fromStdString(w.document().CurrentName), QString("c.sp"));
  }

  void recentFileCaptions_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("caption");
    QTest::newRow("plain") << 1 << "/data/ir/a.sp"
                           << "&1 /data/ir/a.sp";
    QTest::newRow("ampersand") << 3 << "/data/R&D/a.sp"
                               << "&3 /data/R&&D/a.sp";
    // 28 characters, "...", the last 28.
    QTest::newRow("long") << 2
                          << "/home/user/spectra/archive/1998/polymers/films/polystyrene-ref.sp"
                          << "&2 /home/user/spectra/archive/1...ers/films/polystyrene-ref.sp";
  }
  void recentFileCaptions() {
    QFETCH(int, number);
    QFETCH(QString, path);
    QFETCH(QString, caption);
    QCOMPARE(RecentFileCaption(number, path), caption);
  }
};

QTEST_MAIN(UnsavedChangesTest)
#include "unsaved_changes_qttest.moc"
