// Start-up, window states, layout, expand and compress, About, Exit and the
// generic error report of the main window.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>
#include <set>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/status_bar.h"
#include "formats/file_kinds.h"
#include "formats/jcamp_writer.h"
#include "scripted_ui.h"

using namespace tesvar;
using namespace tesvar::test;

class StartUpTest : public QObject {
  Q_OBJECT

 private:
  QString dir_;

  // The controls that the after-load update enables.
  static std::vector<QAction*> SpectrumActions(TForm1& w) {
    return {w.Save1, w.Saveas1, w.Export1->menuAction(), w.Copy1, w.Parameters1, w.Print1, w.Grid1};
  }
  static std::vector<QWidget*> SpectrumButtons(TForm1& w) {
    return {w.LeftBtn,      w.RightBtn,     w.PeakLeftBTn,  w.PeakRightBtn,
            w.SpeedButton1, w.SpeedButton2, w.SpeedButton3, w.SpeedButton4};
  }

 private slots:
  void initTestCase() {
    dir_ = QString::fromStdString(MakeTempDir());
    MakeSpFile((dir_ + "/a.sp").toStdString(), 5, "spectrum a");
    WriteFile((dir_ + "/bad.sp").toStdString(), "not a spectrum\r\n");
    WriteFile((dir_ + "/notes.xyz").toStdString(), "PE IR\r\n");
  }

  // The command-line rules, with a file system that knows a.sp, e and
  // /abs/a.sp.
  void commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("baseline");
    QTest::addColumn<QString>("file");
    QTest::newRow("none") << QStringList{} << false << "";
    QTest::newRow("-e") << QStringList{"-e"} << true << "";
    QTest::newRow("-E") << QStringList{"-E"} << true << "";
    QTest::newRow("/e") << QStringList{"/e"} << true << "";
    QTest::newRow("/E") << QStringList{"/E"} << true << "";
    QTest::newRow("-ex is ignored") << QStringList{"-ex"} << false << "";
    QTest::newRow("--e is ignored") << QStringList{"--e"} << false << "";
    QTest::newRow("bare e is a file") << QStringList{"e"} << false << "e";
    QTest::newRow("switch after file") << QStringList{"a.sp", "-e"} << true << "a.sp";
    QTest::newRow("switch before file") << QStringList{"/e", "a.sp"} << true << "a.sp";
    QTest::newRow("missing last cancels") << QStringList{"a.sp", "missing.sp"} << false << "";
    QTest::newRow("last existing wins") << QStringList{"missing.sp", "a.sp"} << false << "a.sp";
    QTest::newRow("other dash args ignored") << QStringList{"a.sp", "-x"} << false << "a.sp";
    QTest::newRow("empty arg ignored") << QStringList{"a.sp", ""} << false << "a.sp";
    // '/' begins an absolute path here, not a switch.
    QTest::newRow("absolute path") << QStringList{"/abs/a.sp"} << false << "/abs/a.sp";
    QTest::newRow("slash arg is a path") << QStringList{"a.sp", "/ex"} << false << "";
  }
  void commandLine() {
    QFETCH(QStringList, args);
    QFETCH(bool, baseline);
    QFETCH(QString, file);
    std::vector<std::string> argv;
    for (const QString& a : args) argv.push_back(a.toStdString());
    const std::set<std::string> existing = {"a.sp", "e", "/abs/a.sp"};
    StartOptions o =
        ParseCommandLine(argv, [&](const std::string& p) { return existing.count(p) > 0; });
    QCOMPARE(o.CursorBaselineMode, baseline);
    QCOMPARE(QString::fromStdString(o.FileToLoad), file);
  }

  void classifyPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("kind");
    QTest::newRow("sp") << "a.sp"
                        << "PESP";
    QTest::newRow("upper") << "A.SP"
                           << "PESP";
    QTest::newRow("anywhere") << "a.spectrum"
                              << "PESP";
    QTest::newRow("jdx") << "x.jdx"
                         << "JDX";
    QTest::newRow("asc") << "x.Asc"
                         << "ASC";
    QTest::newRow("jdx after sp") << "C:\\SPECTRA.SP\\X.JDX"
                                  << "JDX";
    // The order of the tests decides, not the place in the path.
    QTest::newRow("asc before sp") << "data.asc/x.sp"
                                   << "ASC";
    QTest::newRow("none") << "notes.xyz"
                          << "";
    QTest::newRow("no extension") << "spectrum"
                                  << "";
  }
  void classifyPath() {
    QFETCH(QString, path);
    QFETCH(QString, kind);
    QCOMPARE(QString(PathKindName(ClassifyPath(path.toStdString()))), kind);
  }

  void kindForExtension() {
    QCOMPARE(KindForExtension("JDX"), std::optional<FileKind>(FileKind::kJcampFix));
    QCOMPARE(KindForExtension(".sp"), std::optional<FileKind>(FileKind::kSp));
    QCOMPARE(KindForExtension("svg"), std::optional<FileKind>(FileKind::kSvg));
    QVERIFY(!KindForExtension("txt").has_value());
    QCOMPARE(QString::fromStdString(BarFilter(FileKind::kAsciiList)),
             QString("ASCII list (*.asc)|*.asc"));
  }

  // Start-up with files on the command line: what is loaded and how the
  // window shows it.
  void startUp_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QStringList>("errors");
    const QString a = dir_ + "/a.sp";
    const QString missing = dir_ + "/missing.sp";
    QTest::newRow("no file") << QStringList{} << "Tesvar v1.5a"
                             << "" << QStringList{};
    QTest::newRow("sample") << QStringList{SamplePath()} << "Tesvar v1.5a - polystyrene.sp"
                            << "3551 points" << QStringList{};
    QTest::newRow("good then missing") << QStringList{a, missing} << "Tesvar v1.5a"
                                       << "" << QStringList{};
    QTest::newRow("missing then good") << QStringList{missing, a} << "Tesvar v1.5a - a.sp"
                                       << "5 points" << QStringList{};
    QTest::newRow("unknown kind") << QStringList{dir_ + "/notes.xyz"} << "Tesvar v1.5a"
                                  << "" << QStringList{};
    QTest::newRow("bad sp file") << QStringList{dir_ + "/bad.sp"} << "Tesvar v1.5a"
                                 << "" << QStringList{"Unknown file format!"};
  }
  void startUp() {
    QFETCH(QStringList, args);
    QFETCH(QString, caption);
    QFETCH(QString, points);
    QFETCH(QStringList, errors);
    ScriptedUi ui;
    TForm1 w(args, ui);
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(w.StatusText(0), points);
    QStringList shown;
    for (const Asked& e : ui.Of("error")) shown << e.text;
    QCOMPARE(shown, errors);
    QCOMPARE(QCoreApplication::applicationName(), QString("Tesvar"));

    const bool loaded = !points.isEmpty();
    for (QAction* action : SpectrumActions(w)) QCOMPARE(action->isEnabled(), loaded);
    for (QWidget* button : SpectrumButtons(w)) QCOMPARE(button->isEnabled(), loaded);
    QCOMPARE(w.SpeedButton1->isChecked(), loaded);
    // Always available; the peak list only with labels.
    for (QAction* action : {w.Open1, w.JCAMPDX1, w.ASCII1, w.Exit1, w.About1}) {
      QVERIFY(action->isEnabled());
    }
    QVERIFY(!w.Copypeaklist1->isEnabled());
    QVERIFY(!w.Grid1->isChecked());
    QVERIFY(!w.view().GridOn);
    QCOMPARE(w.view().ToolMode, int(kCursorTool));
    QCOMPARE(w.view().SpectrumShown, loaded);
    QCOMPARE(w.document().Imported, false);
    if (loaded) {
      QCOMPARE(QString::fromStdString(w.document().CurrentPath), args.last());
      QCOMPARE(w.view().CursorX, w.spectrum().XStart);
      QCOMPARE(w.view().CursorIndex, 0);
      QVERIFY(w.view().Labels.Empty());
    } else {
      QVERIFY(w.document().CurrentPath.empty());
    }
  }

  // Imports at start: the reader follows ClassifyPath, and Imported is true
  // only when the import succeeded.
  void startUpImports_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("text");  // empty: a JCAMP-DX export of a.sp
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("imported");
    QTest::newRow("jdx in a folder named .sp")
        << "set.sp/x.jdx" << QByteArray() << "Tesvar v1.5a - x.jdx" << true;
    QTest::newRow("asc") << "y.asc" << QByteArray("4000 50\n3000 60\n") << "Tesvar v1.5a - y.asc"
                         << true;
    QTest::newRow("failing asc") << "z.asc" << QByteArray("nothing\n") << "Tesvar v1.5a" << false;
  }
  void startUpImports() {
    QFETCH(QString, file);
    QFETCH(QByteArray, text);
    QFETCH(QString, caption);
    QFETCH(bool, imported);
    const QString path = dir_ + "/" + file;
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    if (text.isEmpty()) {
      Spectrum s = ReadBack((dir_ + "/a.sp").toStdString());
      RecordedMessages m;
      QVERIFY(Told(WriteJcampFile(path.toStdString(), s, JcampForm::kFix), m));
    } else {
      WriteFile(path.toStdString(), text.toStdString());
    }
    ScriptedUi ui;
    TForm1 w({path}, ui);
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(w.document().Imported, imported);
    QCOMPARE(w.Save1->isEnabled(), imported);
  }

  void baselineSwitchSetsToolCaption_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::newRow("plain") << QStringList{} << " | "
                           << "Cursor bar";
    QTest::newRow("-e") << QStringList{"-e"} << "--|--"
                        << "Cursor/Baseline";
    QTest::newRow("-ex") << QStringList{"-ex"} << " | "
                         << "Cursor bar";
  }
  void baselineSwitchSetsToolCaption() {
    QFETCH(QStringList, args);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    ScriptedUi ui;
    TForm1 w(args, ui);
    QCOMPARE(w.SpeedButton1->text(), caption);
    QCOMPARE(w.SpeedButton1->toolTip(), hint);
    QCOMPARE(w.CursorBaselineMode(), caption == "--|--");
  }

  void notEnoughMemory() {
    ScriptedUi ui;
    bool asked = false;
    TForm1 w({SamplePath()}, ui, [&]() -> std::unique_ptr<Spectrum> {
      asked = true;
      throw std::bad_alloc();
    });
    QVERIFY(asked);
    QVERIFY(w.ClosedAtStart());
    QCOMPARE(ui.log.size(), std::size_t(1));
    QCOMPARE(ui.log[0].what, QString("error"));
    QCOMPARE(ui.log[0].text, QString("Not enough memory"));
    // Nothing was loaded.
    QCOMPARE(w.windowTitle(), QString("Tesvar v1.5a"));
    QCOMPARE(w.StatusText(0), QString());
  }

  // Start width, scroll box width, a sequence of E(xpand) and C(ompress)
  // clicks, and the width after each click.
  void expandCompress_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("expand from 800")
        << 800 << 540 << "EEEEE" << QList<int>{1600, 3200, 6400, 12800, 12800};
    QTest::newRow("compress from 12800")
        << 12800 << 540 << "CCCCCC" << QList<int>{6400, 3200, 1600, 800, 537, 537};
    QTest::newRow("expand just below limit") << 7999 << 540 << "EE" << QList<int>{15998, 15998};
    QTest::newRow("compress at twice the box") << 1080 << 540 << "C" << QList<int>{537};
    QTest::newRow("compress just above twice") << 1081 << 540 << "C" << QList<int>{540};
    QTest::newRow("compress odd width") << 2001 << 540 << "C" << QList<int>{1000};
    QTest::newRow("round trip") << 537 << 540 << "EEC" << QList<int>{1074, 2148, 1074};
  }
  void expandCompress() {
    QFETCH(int, start);
    QFETCH(int, box);
    QFETCH(QString, clicks);
    QFETCH(QList<int>, widths);
    ScriptedUi ui;
    TForm1 w({SamplePath()}, ui);  // the buttons work with a spectrum present
    w.ScrollBox1->resize(box, w.ScrollBox1->height());
    w.SetPaintBoxWidth(start);
    for (int i = 0; i < clicks.size(); ++i) {
      (clicks[i] == 'E' ? w.SpeedButton3 : w.SpeedButton4)->click();
      QCOMPARE(w.PaintBoxWidth(), widths[i]);
    }
  }

  void startWidthFollowsScrollBox() {
    ScriptedUi ui;
    TForm1 w({}, ui);
    // The layout's 800 px surface is fitted to the 540 px box at start.
    QCOMPARE(w.PaintBoxWidth(), 537);
  }

  // The notes of a load are read whole: at the window's size the last panel
  // holds them, and when the window is too narrow its tooltip does.
  void statusNotesReadable_data() {
    QTest::addColumn<QString>("notes");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("fits");
    const QString many = "absorbance converted, block 1 of 5, ordinate adjusted";
    QTest::newRow("absorbance") << "absorbance converted" << 584 << true;
    QTest::newRow("block") << "block 1 of 5" << 584 << true;
    QTest::newRow("data set") << "spectrum 1 of 32" << 584 << true;
    QTest::newRow("several") << many << 584 << true;
    QTest::newRow("several, wide window") << many << 1000 << true;
    QTest::newRow("smallest window") << many << 300 << false;
  }
  void statusNotesReadable() {
    QFETCH(QString, notes);
    QFETCH(int, width);
    QFETCH(bool, fits);
    ScriptedUi ui;
    TForm1 w({SamplePath()}, ui);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(width, 450);
    QTRY_COMPARE(w.StatusBar1->width(), w.Client->width());
    w.StatusBar1->SetPanelText(2, notes);
    const QLabel* panel = w.StatusBar1->Panel(2);
    const int needed = panel->fontMetrics().horizontalAdvance(notes) + panel->indent();
    QCOMPARE(panel->contentsRect().width() >= needed, fits);
    QVERIFY(panel->width() >= StatusBar::kPanelWidths[2] - 2);
    QCOMPARE(panel->toolTip(), notes);
    // The point count keeps its place; the notes begin after the read-out.
    QCOMPARE(panel->x(), StatusBar::kPanelWidths[0] + StatusBar::kPanelWidths[1]);
  }

  void resizeLayout() {
    ScriptedUi ui;
    TForm1 w({SamplePath()}, ui);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_COMPARE(w.ScrollBox1->width(), w.Client->width() - 54);

    w.resize(1000, 600);
    QTRY_COMPARE(w.Client->width(), 1000);
    const int clientHeight = w.Client->height();
    QCOMPARE(w.ScrollBox1->width(), 946);
    QCOMPARE(w.PaintBoxWidth(), 943);
    QCOMPARE(w.ScrollBox1->height(), clientHeight - 78);
    QCOMPARE(w.PaintBox1->height(), clientHeight - 102);
    QCOMPARE(w.Bevel4->width(), 1000);
    QCOMPARE(w.StatusBar1->geometry(), QRect(0, clientHeight - 19, 1000, 19));

    // Smaller again: the box follows, the plot surface keeps its width.
    w.resize(600, 500);
    QTRY_COMPARE(w.Client->width(), 600);
    QCOMPARE(w.ScrollBox1->width(), 546);
    QCOMPARE(w.PaintBoxWidth(), 943);

    // Below the minimum outer size the window is made larger again.
    w.resize(100, 100);
    QTRY_VERIFY(w.frameGeometry().width() >= 300 && w.frameGeometry().height() >= 250);
    QTRY_COMPARE(w.ScrollBox1->width(), w.Client->width() - 54);
  }

  void about() {
    ScriptedUi ui;
    TForm1 w({}, ui);
    w.About1->trigger();
    QCOMPARE(ui.log.size(), std::size_t(1));
    QCOMPARE(ui.log[0].what, QString("about"));
    QCOMPARE(ui.log[0].title, QString("Tesvar"));
    QCOMPARE(ui.log[0].text, QString("Tesvar v1.5a"));
  }

  void exitClosesWithoutQuestion() {
    ScriptedUi ui;
    TForm1 w({SamplePath()}, ui);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.spectrum().SetComment("edited, never saved");
    w.Exit1->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(ui.log.empty());
  }

  // An I/O failure of a file is reported in the box titled with the
  // application title and the file's name, and the window goes on as it was.
  void genericErrorReport() {
    ScriptedUi ui;
    TForm1 w({SamplePath()}, ui);
    QVERIFY(QDir(dir_).mkpath("folder.sp"));
    ui.files = {dir_ + "/folder.sp"};
    w.Open1->trigger();
    auto reports = ui.Of("report");
    QCOMPARE(reports.size(), std::size_t(1));
    QCOMPARE(reports[0].title, QString("Tesvar - folder.sp"));
    QCOMPARE(reports[0].text, QString("File access denied."));
    QCOMPARE(w.windowTitle(), QString("Tesvar v1.5a - polystyrene.sp"));
    QCOMPARE(w.StatusText(0), QString("3551 points"));
    QCOMPARE(QString::fromStdString(w.document().CurrentPath), SamplePath());

    // The window still works afterwards.
    w.About1->trigger();
    QCOMPARE(ui.Of("about").size(), std::size_t(1));
  }
};

QTEST_MAIN(StartUpTest)
#include "start_up_qttest.moc"
