// A file of any kind: the "Any spectrum" import, a file dropped on the
// window, and Save after such a load, which never writes over a file that
// another program wrote.
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTest>
#include <QUrl>

#include "app/main_window.h"
#include "app/status_bar.h"
#include "formats/readable_kinds.h"
#include "scripted_ui.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

using State = WindowState;

// The state a window shows after loading dir/name with this many points.
State LoadedState(const QString& dir, const QString& name, int points, bool imported) {
  return {"Tesvar v1.5a - " + name,
          dir + "/" + name,
          name,
          QString::number(points) + " points",
          imported,
          points};
}

}  // namespace

class OpenAnyKindTest : public QObject {
  Q_OBJECT

 private:
  // A fresh folder holding shown.sp (7 points), other.sp (9 points),
  // bad.sp (not a spectrum), a JCAMP-DX x.jdx of shown.sp, an ASCII list
  // X.ASC (3 points), and notes.zzz and notes, whose names no reader takes
  // (were ".sp" added to "notes", the SP reader would report the missing
  // notes.sp instead).
  static QString FreshDir() {
    const QString d = FolderOfSpFiles();
    WriteJcampOfShown(d, "x.jdx");
    WriteFile((d + "/X.ASC").toStdString(), "4000 0.5\r\n3000 0.6\r\n2000 0.7\r\n");
    WriteFile((d + "/notes.zzz").toStdString(), "4000 0.5\r\n3000 0.6\r\n");
    WriteFile((d + "/notes").toStdString(), "4000 0.5\r\n3000 0.6\r\n");
    return d;
  }

 private slots:
  // The command sits in the Import submenu after the other imports, and
  // its dialog lists every kind: all patterns together first, then each
  // kind's own filter. Cancelling changes nothing.
  void dialogSettings() {
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    const QList<QAction*> imports = w.Import1->actions();
    QCOMPARE(imports.size(), 3);
    QCOMPARE(imports.last(), w.Anyspectrum1);
    QCOMPARE(w.Anyspectrum1->objectName(), QString("Anyspectrum1"));

    const State before = StateOf(w);
    w.Anyspectrum1->trigger();
    QCOMPARE(ui.log.size(), std::size_t(1));
    const Asked& asked = ui.log[0];
    QCOMPARE(asked.what, QString("open"));
    QCOMPARE(asked.settings.Title, QString("Import any spectrum"));
    QVERIFY(asked.settings.DefaultExt.isEmpty());
    QVERIFY(asked.settings.FileName.isEmpty());
    const QStringList entries = asked.settings.Filter.split(";;");
    // The kinds read today, in the table's order; the compressed JCAMP-DX
    // row and the written-only kinds add nothing.
    QVERIFY(entries.size() >= 4);
    QVERIFY(entries[0].startsWith("All spectra ("));
    for (const char* pattern : {"*.sp", "*.jdx", "*.asc"}) {
      QVERIFY2(entries[0].contains(pattern), qPrintable(entries[0]));
    }
    QStringList own;
    for (const FileKind kind : {FileKind::kSp, FileKind::kJcampFix, FileKind::kAsciiList}) {
      own << QString::fromStdString(OpenDialogFilter(InfoFor(kind)));
    }
    QCOMPARE(entries.mid(1, 3), own);
    QCOMPARE(entries.count("JCAMP-DX (*.jdx *.dx *.jcm *.jcamp)"), 1);
    QVERIFY(!entries.contains("HPGL plot file (*.plt)"));
    QCOMPARE(entries.last(), QString("All files (*)"));
    QVERIFY(StateOf(w) == before);
  }

  // The chosen file is read by the kind the registry picks for it; only
  // the SP file loads as the program's own, every other kind as an import.
  void loads_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("imported");
    QTest::newRow("SP file") << "other.sp" << 9 << false;
    QTest::newRow("JCAMP-DX") << "x.jdx" << 7 << true;
    QTest::newRow("ASCII list, upper-case name") << "X.ASC" << 3 << true;
  }
  void loads() {
    QFETCH(QString, chosen);
    QFETCH(int, points);
    QFETCH(bool, imported);
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    w.StatusBar1->SetPanelText(2, "old message");
    ui.files = {d + "/" + chosen};
    w.Anyspectrum1->trigger();
    QVERIFY(ui.Of("error").empty());
    QVERIFY(StateOf(w) == LoadedState(d, chosen, points, imported));
    QCOMPARE(w.StatusText(2), QString());
    QVERIFY(w.Save1->isEnabled());
  }

  // A file the chosen reader refuses, or that no reader takes, leaves the
  // window as it was and says why in one error box.
  void refusals_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("error");
    QTest::newRow("SP reader refuses") << "bad.sp"
                                       << "Unknown file format!";
    QTest::newRow("no reader takes the name")
        << "notes.zzz"
        << QString::fromStdString("Unknown file kind! Read are: " + OpenableKindsText());
    QTest::newRow("name without extension: no .sp added")
        << "notes" << QString::fromStdString("Unknown file kind! Read are: " + OpenableKindsText());
  }
  void refusals() {
    QFETCH(QString, chosen);
    QFETCH(QString, error);
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/other.sp"}, ui);
    const State before = StateOf(w);
    ui.files = {d + "/" + chosen};
    w.Anyspectrum1->trigger();
    const auto errors = ui.Of("error");
    QCOMPARE(errors.size(), std::size_t(1));
    QCOMPARE(errors[0].text, error);
    QVERIFY(StateOf(w) == before);
  }

  // A real JCAMP-DX file dropped on the window loads as an import. Its own
  // header says ##NPOINTS= 3951 from ##FIRSTX= 4400. to ##LASTX= 450.
  void dropRealFile() {
    const std::string real = SharedTestData("jcamp/dupdec1.jdx");
    if (real.empty()) QSKIP("../shared/testdata is absent");
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    QVERIFY(DragAndDrop(w, {QUrl::fromLocalFile(QString::fromStdString(real))}));
    QVERIFY(ui.log.empty());
    QCOMPARE(w.spectrum().NPoints, 3951);
    QCOMPARE(w.spectrum().FirstX, 4400.0);
    QCOMPARE(w.spectrum().LastX, 450.0);
    QVERIFY(w.document().Imported);
    QCOMPARE(w.windowTitle(), QString("Tesvar v1.5a - dupdec1.jdx"));
  }

  // Dropping: one local file is taken and read as the command line reads
  // it; anything else is refused at the door; a file that is refused
  // leaves the window as it was.
  void drops_data() {
    QTest::addColumn<QStringList>("files");  // in the folder; "web" a remote URL
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("loaded");  // "" when the window keeps other.sp
    QTest::addColumn<QString>("error");
    QTest::newRow("SP file") << QStringList{"shown.sp"} << true << "shown.sp"
                             << "";
    QTest::newRow("JCAMP-DX") << QStringList{"x.jdx"} << true << "x.jdx"
                              << "";
    QTest::newRow("refused by its reader") << QStringList{"bad.sp"} << true << ""
                                           << "Unknown file format!";
    QTest::newRow("no reader takes it")
        << QStringList{"notes.zzz"} << true << ""
        << QString::fromStdString("Unknown file kind! Read are: " + OpenableKindsText());
    QTest::newRow("two files") << QStringList{"shown.sp", "x.jdx"} << false << ""
                               << "";
    QTest::newRow("a folder") << QStringList{"."} << false << ""
                              << "";
    QTest::newRow("not a local file") << QStringList{"web"} << false << ""
                                      << "";
  }
  void drops() {
    QFETCH(QStringList, files);
    QFETCH(bool, accepted);
    QFETCH(QString, loaded);
    QFETCH(QString, error);
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/other.sp"}, ui);
    const State before = StateOf(w);
    QList<QUrl> urls;
    for (const QString& f : files) {
      urls << (f == "web" ? QUrl("https://example.org/x.jdx") : QUrl::fromLocalFile(d + "/" + f));
    }
    QCOMPARE(DragAndDrop(w, urls), accepted);
    if (loaded.isEmpty()) {
      QVERIFY(StateOf(w) == before);
    } else {
      // Both hold the 7 points of shown.sp.
      QVERIFY(StateOf(w) == LoadedState(d, loaded, 7, loaded != "shown.sp"));
    }
    const auto errors = ui.Of("error");
    if (error.isEmpty()) {
      QVERIFY(errors.empty());
    } else {
      QCOMPARE(errors.size(), std::size_t(1));
      QCOMPARE(errors[0].text, error);
    }
  }

  // Save writes name.sp beside the file read. Where that is the file read
  // itself (a JCAMP-DX file named x.sp, imported), Save runs Save As, and
  // the file stays as it was until another name is chosen.
  void saveNeverWritesOverTheImportedFile() {
    const QString d = FreshDir();
    WriteJcampOfShown(d, "x.sp");
    const std::string original = ReadFile((d + "/x.sp").toStdString());
    ScriptedUi ui;
    TForm1 w({d + "/other.sp"}, ui);
    ui.files = {d + "/x.sp"};
    w.JCAMPDX1->trigger();
    QVERIFY(StateOf(w) == LoadedState(d, "x.sp", 7, true));

    w.Save1->trigger();  // Save As, cancelled
    QCOMPARE(ui.Of("save").size(), std::size_t(1));
    QCOMPARE(ui.Of("save")[0].settings.Title, QString("Save spectrum as..."));
    QVERIFY(ui.Of("confirm").empty());
    QCOMPARE(ReadFile((d + "/x.sp").toStdString()), original);
    QVERIFY(StateOf(w) == LoadedState(d, "x.sp", 7, true));

    ui.files = {d + "/y.sp"};
    w.Save1->trigger();
    QCOMPARE(ui.Of("save").size(), std::size_t(2));
    QCOMPARE(ReadFile((d + "/x.sp").toStdString()), original);
    QCOMPARE(ReadBack((d + "/y.sp").toStdString()).NPoints, 7);
    QVERIFY(StateOf(w) == LoadedState(d, "y.sp", 7, false));

    // Now the spectrum is y.sp's own: Save writes it there without a word.
    w.Save1->trigger();
    QCOMPARE(ui.Of("save").size(), std::size_t(2));
    QVERIFY(ui.Of("confirm").empty());
  }

  // A spectrum the SP reader read is saved over its own file, as before.
  void saveOfSpFileUnchanged() {
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/other.sp"}, ui);
    w.spectrum().SetComment("saved over its own file");
    w.Save1->trigger();
    QVERIFY(ui.log.empty());
    QCOMPARE(QString::fromStdString(ReadBack((d + "/other.sp").toStdString()).Comment),
             QString("saved over its own file"));
  }

  // After a Save As that failed, the spectrum still counts as imported but
  // its path names the file that could not be written, not the file read:
  // Save tries that file again, as before, without a dialog.
  void saveAfterFailedSaveAsUnchanged() {
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/x.jdx"}, ui);
    ui.files = {d + "/missing-folder/y.sp"};
    w.Saveas1->trigger();
    QCOMPARE(ui.Of("report").size(), std::size_t(1));
    QVERIFY(w.document().Imported);
    w.Save1->trigger();
    QCOMPARE(ui.Of("save").size(), std::size_t(1));
    QCOMPARE(ui.Of("report").size(), std::size_t(2));
    QCOMPARE(ui.Of("report")[1].text, QString("File not found."));
  }
};

QTEST_MAIN(OpenAnyKindTest)
#include "open_any_kind_qttest.moc"
