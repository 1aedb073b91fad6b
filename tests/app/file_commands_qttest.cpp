// The File menu: dialog settings, Open, Save, Save As, the overwrite
// question and the export flows.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include "app/main_window.h"
#include "app/status_bar.h"
#include "core/file_io.h"
#include "formats/jcamp_writer.h"
#include "output/hpgl.h"
#include "output/plot_output_qt.h"
#include "output/svg.h"
#include "scripted_ui.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

std::string Bytes(const QString& path) { return ReadFile(path.toStdString()); }

}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT

 private:
  QString dir_;

  using State = WindowState;

  // The window starts on shown.sp of this folder.
  static QString FreshDir() { return FolderOfSpFiles(); }
  // Makes the shown spectrum look freshly imported from name.jdx.
  static void PretendImported(TForm1& w, const QString& dir, const QString& name) {
    w.document().CurrentPath = (dir + "/" + name).toStdString();
    w.document().CurrentName = name.toStdString();
    w.document().Imported = true;
  }

 private slots:
  // Each command sets its dialog before showing it; cancelling changes
  // nothing. Open dialogs offer every file after their own kind.
  void dialogSettings_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("Open") << "Open1"
                          << "open"
                          << "sp"
                          << "Perkin-Elmer 1600 (*.sp);;All files (*)"
                          << "Load spectrum"
                          << "*.sp";
    QTest::newRow("Import JCAMP-DX") << "JCAMPDX1"
                                     << "open"
                                     << "jdx"
                                     << "JCAMP-DX (*.jdx *.dx *.jcm *.jcamp);;All files (*)"
                                     << "Import spectrum"
                                     << "*.jdx";
    QTest::newRow("Import ASCII") << "ASCII1"
                                  << "open"
                                  << "asc"
                                  << "ASCII list (*.asc);;All files (*)"
                                  << "Import spectrum"
                                  << "*.asc";
    QTest::newRow("Save As") << "Saveas1"
                             << "save"
                             << "sp"
                             << "Perkin-Elmer 1600 (*.sp)"
                             << "Save spectrum as..."
                             << "shown.sp";
    QTest::newRow("JCAMP-DX") << "Jcamp1"
                              << "save"
                              << "jdx"
                              << "JCAMP-DX (*.jdx)"
                              << "Save JCAMP-DX spectrum as..."
                              << "shown.jdx";
    QTest::newRow("JCAMP-DX compressed") << "jcampcompr"
                                         << "save"
                                         << "jdx"
                                         << "JCAMP-DX (*.jdx)"
                                         << "Save compressed JCAMP-DX spectrum as..."
                                         << "shown.jdx";
    QTest::newRow("HPGL") << "Hpgl1"
                          << "save"
                          << "plt"
                          << "HPGL plot file (*.plt)"
                          << "Save HPGL plot file as..."
                          << "shown.plt";
    QTest::newRow("metafile") << "Windowsmetafile1"
                              << "save"
                              << "wmf"
                              << "Windows metafile (*.wmf)"
                              << "Save Windows metafile as..."
                              << "shown.wmf";
    QTest::newRow("SVG") << "SVG1"
                         << "save"
                         << "svg"
                         << "Scalable vector graphics file (*.svg)"
                         << "Save SVG file as..."
                         << "shown.svg";
  }
  void dialogSettings() {
    QFETCH(QString, action);
    QFETCH(QString, kind);
    QFETCH(QString, ext);
    QFETCH(QString, filter);
    QFETCH(QString, title);
    QFETCH(QString, name);
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    const State before = StateOf(w);
    w.findChild<QAction*>(action)->trigger();
    QCOMPARE(ui.log.size(), std::size_t(1));
    const Asked& asked = ui.log[0];
    QCOMPARE(asked.what, kind);
    QCOMPARE(asked.settings.DefaultExt, ext);
    QCOMPARE(asked.settings.Filter, filter);
    QCOMPARE(asked.settings.Title, title);
    QCOMPARE(asked.settings.FileName, name);
    QVERIFY(StateOf(w) == before);
  }

  // Save As, a Save that must ask for a name and every export open beside
  // the shown file, with its name and their extension, and not in the
  // folder the program was started in.
  void dialogsStartBesideShownFile() {
    std::vector<std::pair<QString, QString>> commands = {{"Saveas1", "x.sp"}, {"Save1", "x.sp"}};
    for (const ExportCommand& c : kExportCommands) {
      commands.emplace_back(c.action, QString("x.") + c.extension);
    }
    for (const auto& [action, name] : commands) {
      const QString d = FreshDir();
      QVERIFY(QDir(d).mkpath("spectra"));
      // Another program's file named .sp: Save may not write over it.
      WriteJcampOfShown(d, "spectra/x.sp");
      ScriptedUi ui;
      TForm1 w({d + "/spectra/x.sp"}, ui);
      QVERIFY(w.document().Imported);
      QVERIFY(QDir::currentPath() != d + "/spectra");
      w.findChild<QAction*>(action)->trigger();
      QCOMPARE(ui.Of("save").size(), std::size_t(1));
      const FileDialogSettings asked = ui.Of("save")[0].settings;
      QCOMPARE(asked.Folder, d + "/spectra");
      QCOMPARE(asked.FileName, name);
    }
  }

  // A name typed without extension gets ".sp", also inside a dotted folder.
  void openTypedNameWithoutDot_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("path");
    QTest::newRow("relative") << "other"
                              << "other.sp";
    QTest::newRow("dotted folder") << "sub.d/other"
                                   << "sub.d/other.sp";
  }
  void openTypedNameWithoutDot() {
    QFETCH(QString, typed);
    QFETCH(QString, path);
    const QString d = FreshDir();
    QVERIFY(QDir(d).mkpath("sub.d"));
    QVERIFY(QFile::copy(d + "/other.sp", d + "/sub.d/other.sp"));
    ScriptedUi ui;
    TForm1 w({}, ui);
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(d));
    ui.files = {typed};
    w.Open1->trigger();
    QDir::setCurrent(cwd);
    QCOMPARE(w.windowTitle(), QString("Tesvar v1.5a - other.sp"));
    QCOMPARE(QString::fromStdString(w.document().CurrentPath), path);
    QCOMPARE(w.StatusText(0), QString("9 points"));
    QVERIFY(w.Save1->isEnabled());
  }

  void openReplacesSpectrumAndClearsImported() {
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    PretendImported(w, d, "x.jdx");
    w.StatusBar1->SetPanelText(2, "old message");
    ui.files = {d + "/other.sp"};
    w.Open1->trigger();
    const State expected{
        "Tesvar v1.5a - other.sp", d + "/other.sp", "other.sp", "9 points", false, 9};
    QVERIFY(StateOf(w) == expected);
    QCOMPARE(w.StatusText(2), QString());
  }

  // A failing open keeps everything; the following Save writes the shown
  // spectrum back to its own file, without a question.
  void failedOpenKeepsSpectrum() {
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    const State before = StateOf(w);
    ui.files = {d + "/bad.sp"};
    w.Open1->trigger();
    QCOMPARE(ui.Of("error").size(), std::size_t(1));
    QCOMPARE(ui.Of("error")[0].text, QString("Unknown file format!"));
    QVERIFY(StateOf(w) == before);

    w.spectrum().SetComment("changed after the failed open");
    w.Save1->trigger();
    QVERIFY(ui.Of("confirm").empty());
    Spectrum saved = ReadBack((d + "/shown.sp").toStdString());
    QCOMPARE(saved.NPoints, 7);
    QCOMPARE(QString::fromStdString(saved.Comment), QString("changed after the failed open"));
    QVERIFY(StateOf(w) == before);
  }

  // Save after an import: x.jdx is saved as x.sp, with the question only
  // when x.sp exists and only until the first save.
  void saveImported_data() {
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("written");
    QTest::newRow("new target") << false << QList<bool>{} << 0 << true;
    QTest::newRow("existing, yes") << true << QList<bool>{true} << 1 << true;
    QTest::newRow("existing, no") << true << QList<bool>{false} << 1 << false;
  }
  void saveImported() {
    QFETCH(bool, targetExists);
    QFETCH(QList<bool>, answers);
    QFETCH(int, questions);
    QFETCH(bool, written);
    const QString d = FreshDir();
    const QString target = d + "/x.sp";
    if (targetExists) WriteFile(target.toStdString(), "unrelated file");
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    PretendImported(w, d, "x.jdx");
    w.setWindowTitle("Tesvar v1.5a - x.jdx");
    const State before = StateOf(w);
    for (bool a : answers) ui.confirms.push_back(a);

    w.Save1->trigger();
    QCOMPARE(int(ui.Of("confirm").size()), questions);
    if (questions > 0) QCOMPARE(ui.Of("confirm")[0].text, QString("File exists! Overwrite?"));
    if (!written) {
      QCOMPARE(Bytes(target), std::string("unrelated file"));
      QVERIFY(StateOf(w) == before);
      return;
    }
    QCOMPARE(ReadBack(target.toStdString()).NPoints, 7);
    QCOMPARE(w.windowTitle(), QString("Tesvar v1.5a - x.sp"));
    QCOMPARE(QString::fromStdString(w.document().CurrentName), QString("x.sp"));
    // The path keeps its .jdx; the next Save derives the same target.
    QCOMPARE(QString::fromStdString(w.document().CurrentPath), d + "/x.jdx");
    QVERIFY(!w.document().Imported);

    w.spectrum().SetComment("second save");
    w.Save1->trigger();
    QCOMPARE(int(ui.Of("confirm").size()), questions);
    QCOMPARE(QString::fromStdString(ReadBack(target.toStdString()).Comment),
             QString("second save"));
  }

  void saveWithoutPathRunsSaveAs() {
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    w.document().CurrentPath.clear();
    ui.files = {d + "/fresh.sp"};
    w.Save1->trigger();
    QCOMPARE(ui.Of("save").size(), std::size_t(1));
    QCOMPARE(ReadBack((d + "/fresh.sp").toStdString()).NPoints, 7);
    QCOMPARE(QString::fromStdString(w.document().CurrentPath), d + "/fresh.sp");
  }

  // Save As: chosen name (relative to the folder), existing?, answer, and
  // what the window holds afterwards.
  void saveAs_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("written");  // "" when nothing may be written
    QTest::newRow("new file") << "copy.sp" << false << "copy.sp";
    QTest::newRow("no extension typed") << "copy" << false << "copy.sp";
    QTest::newRow("dotted folder, no extension") << "sub.d/copy" << false << "sub.d/copy.sp";
    QTest::newRow("existing, yes") << "other.sp" << true << "other.sp";
    QTest::newRow("existing, no") << "other.sp" << false << "";
  }
  void saveAs() {
    QFETCH(QString, chosen);
    QFETCH(bool, answer);
    QFETCH(QString, written);
    const QString d = FreshDir();
    QVERIFY(QDir(d).mkpath("sub.d"));
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    PretendImported(w, d, "x.jdx");
    const State before = StateOf(w);
    const std::string otherBefore = Bytes(d + "/other.sp");
    ui.files = {d + "/" + chosen};
    ui.confirms = {answer};

    w.Saveas1->trigger();
    QCOMPARE(ui.Of("save")[0].settings.FileName, QString("x.sp"));
    if (written.isEmpty()) {
      QCOMPARE(ui.Of("confirm").size(), std::size_t(1));
      QCOMPARE(Bytes(d + "/other.sp"), otherBefore);
      QVERIFY(StateOf(w) == before);
      return;
    }
    const QString path = d + "/" + written;
    QCOMPARE(ReadBack(path.toStdString()).NPoints, 7);
    const QString name = written.section('/', -1);
    const State expected{"Tesvar v1.5a - " + name, path, name, "7 points", false, 7};
    QVERIFY(StateOf(w) == expected);
  }

  // A write that fails is shown by the generic report; Save As has already
  // taken the new name, the caption and Imported stay.
  void saveAsFailure() {
    const QString d = FreshDir();
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    PretendImported(w, d, "x.jdx");
    const QString caption = w.windowTitle();
    ui.files = {d + "/missing-folder/y.sp"};
    w.Saveas1->trigger();
    QCOMPARE(ui.Of("report").size(), std::size_t(1));
    QCOMPARE(ui.Of("report")[0].text, QString("File not found."));
    QCOMPARE(w.windowTitle(), caption);
    QVERIFY(w.document().Imported);
    QCOMPARE(QString::fromStdString(w.document().CurrentPath), d + "/missing-folder/y.sp");
  }

  // The exports: a No to the overwrite question leaves the file and the
  // window alone; a Yes hands the path to the writer. None of them changes
  // path, name, Imported or caption.
  void exports_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    AddExportRows("out");
  }
  void exports() {
    QFETCH(QString, action);
    QFETCH(QString, file);
    const QString d = FreshDir();
    const QString target = d + "/" + file;
    ScriptedUi ui;
    TForm1 w({d + "/shown.sp"}, ui);
    PretendImported(w, d, "x.jdx");
    const State before = StateOf(w);
    QAction* command = w.findChild<QAction*>(action);

    WriteFile(target.toStdString(), "keep me");
    ui.files = {target};
    ui.confirms = {false};
    command->trigger();
    QCOMPARE(ui.Of("confirm").size(), std::size_t(1));
    QVERIFY(ui.Of("error").empty());
    QCOMPARE(Bytes(target), std::string("keep me"));
    QVERIFY(StateOf(w) == before);

    ui.files = {target};
    ui.confirms = {true};
    command->trigger();
    QVERIFY(StateOf(w) == before);
    QVERIFY(w.PendingMetafileTarget().empty());
    QVERIFY(ui.Of("error").empty());
    // The JCAMP-DX writer stamps the modification time into the record
    // before writing, so the record now gives the same text.
    std::string expected;
    if (action == "Jcamp1") expected = BuildJcampText(w.spectrum(), JcampForm::kFix);
    if (action == "jcampcompr") expected = BuildJcampText(w.spectrum(), JcampForm::kDifDup);
    if (action == "Hpgl1") expected = BuildHpgl(w.spectrum(), w.view().GridOn, w.view().Labels);
    if (action == "SVG1") expected = BuildSvg(w.spectrum(), w.view().GridOn, w.view().Labels);
    if (action == "Windowsmetafile1") {
      const QSize screen = QGuiApplication::primaryScreen()->size();
      expected = RecordPlotMetafile(w.spectrum(), w.view().GridOn, w.view().Labels, screen.width(),
                                    screen.height())
                     .wmf;
    }
    QCOMPARE(Bytes(target), expected);
  }

  // The two imports: file name (in the folder), its text, and what the
  // window shows afterwards. A failed import keeps the shown spectrum.
  void imports_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QByteArray>("text");  // empty: a JCAMP-DX export of shown.sp
    QTest::addColumn<QString>("points");   // empty: the import fails
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("panel2");
    QTest::newRow("JCAMP-DX") << "JCAMPDX1"
                              << "x.jdx" << QByteArray() << "7 points"
                              << ""
                              << "";
    QTest::newRow("JCAMP-DX typed without extension") << "JCAMPDX1"
                                                      << "x" << QByteArray() << "7 points"
                                                      << ""
                                                      << "";
    QTest::newRow("JCAMP-DX not a spectrum") << "JCAMPDX1"
                                             << "x.jdx" << QByteArray("hello\r\n") << ""
                                             << "*"
                                             << "";
    QTest::newRow("ASCII") << "ASCII1"
                           << "x.asc" << QByteArray("4000 0.5\r\n3000 0.6\r\n2000 0.7\r\n")
                           << "3 points"
                           << ""
                           << "";
    QTest::newRow("ASCII one line") << "ASCII1"
                                    << "x.asc" << QByteArray("4000 0.5\r\n") << ""
                                    << "Not enough data points!"
                                    << "";
    // The import's own message in panel 2 stays; only "reading..." goes.
    QTest::newRow("ASCII bad value")
        << "ASCII1"
        << "x.asc" << QByteArray("4000 0.5\r\n3000 1e\r\n2000 0.7\r\n") << ""
        << ""
        << "invalid Y value: 1e";
  }
  void imports() {
    QFETCH(QString, action);
    QFETCH(QString, chosen);
    QFETCH(QByteArray, text);
    QFETCH(QString, points);
    QFETCH(QString, error);
    QFETCH(QString, panel2);
    const QString d = FreshDir();
    const QString ext = action == "ASCII1" ? ".asc" : ".jdx";
    const QString file = d + "/" + (chosen.contains('.') ? chosen : chosen + ext);
    if (text.isEmpty()) {
      Spectrum s = ReadBack((d + "/shown.sp").toStdString());
      RecordedMessages m;
      QVERIFY(Told(WriteJcampFile(file.toStdString(), s, JcampForm::kFix), m));
    } else {
      WriteFile(file.toStdString(), text.toStdString());
    }
    ScriptedUi ui;
    TForm1 w({d + "/other.sp"}, ui);
    w.DebugLbl->setText("debug");
    const State before = StateOf(w);
    QStringList panel2AtErrors;
    ui.onError = [&](const QString&) { panel2AtErrors << w.StatusText(2); };
    ui.files = {d + "/" + chosen};

    w.findChild<QAction*>(action)->trigger();
    const QString name = file.section('/', -1);
    if (points.isEmpty()) {
      QVERIFY(StateOf(w) == before);
    } else {
      const State expected{"Tesvar v1.5a - " + name,         file, name, points, true,
                           points.section(' ', 0, 0).toInt()};
      QVERIFY(StateOf(w) == expected);
    }
    const auto errors = ui.Of("error");
    if (error.isEmpty()) {
      QVERIFY(errors.empty());
    } else {
      QCOMPARE(errors.size(), std::size_t(1));
      if (error != "*") QCOMPARE(errors[0].text, error);
    }
    QCOMPARE(w.StatusText(2), panel2);
    if (action == "ASCII1") {
      QVERIFY(w.DebugLbl->text().isEmpty());
      // "reading..." stood in panel 2 while the import ran.
      if (!panel2AtErrors.isEmpty()) QCOMPARE(panel2AtErrors[0], QString("reading..."));
    }
  }

  // After importing x.jdx, Save As proposes x.sp and Save writes x.sp once
  // with the question (x.sp exists) and then without.
  void saveAfterRealImport() {
    const QString d = FreshDir();
    Spectrum s = ReadBack((d + "/shown.sp").toStdString());
    RecordedMessages m;
    QVERIFY(Told(WriteJcampFile((d + "/x.jdx").toStdString(), s, JcampForm::kDifDup), m));
    WriteFile((d + "/x.sp").toStdString(), "old");
    ScriptedUi ui;
    TForm1 w({d + "/x.jdx"}, ui);  // imported at start
    QCOMPARE(w.windowTitle(), QString("Tesvar v1.5a - x.jdx"));
    QVERIFY(w.document().Imported);

    w.Saveas1->trigger();  // cancelled
    QCOMPARE(ui.Of("save")[0].settings.FileName, QString("x.sp"));

    ui.confirms = {true};
    w.Save1->trigger();
    w.Save1->trigger();
    QCOMPARE(ui.Of("confirm").size(), std::size_t(1));
    QCOMPARE(ReadBack((d + "/x.sp").toStdString()).NPoints, 7);
    QCOMPARE(w.windowTitle(), QString("Tesvar v1.5a - x.sp"));
    QVERIFY(!w.document().Imported);
  }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_qttest.moc"
