// The File menu when the file system fails under it: saves and exports
// onto a full disk (a 64 KB tmpfs of the test's own, full_disk.h), and
// files that vanish or turn unreadable between the file dialog and the
// read. The window reports the failure and keeps the shown spectrum, its
// caption and its path; the file on disk keeps every byte.
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QTest>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "formats/ascii_list_writer.h"
#include "formats/jcamp_writer.h"
#include "full_disk.h"
#include "scripted_ui.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

// A file dialog whose chosen file is then broken, the way another program
// or a pulled disk could break it before the reader opens it.
class BreakingUi : public ScriptedUi {
 public:
  std::function<void(const std::string& path)> breakFile;
  QString OpenFile(const FileDialogSettings& settings) override {
    QString path = ScriptedUi::OpenFile(settings);
    if (!path.isEmpty() && breakFile) breakFile(path.toStdString());
    return path;
  }
};

struct Shown {
  QString caption, path, points;
  int nPoints;
  std::vector<float> transY;
  friend bool operator==(const Shown&, const Shown&) = default;
};

Shown ShownIn(TForm1& w) {
  return {w.windowTitle(), QString::fromStdString(w.document().CurrentPath), w.StatusText(0),
          w.spectrum().NPoints, w.spectrum().TransY};
}

QString Reported(const ScriptedUi& ui) {
  std::vector<Asked> reports = ui.Of("report");
  return reports.size() == 1 ? reports[0].title + ": " + reports[0].text
                             : QString("%1 reports").arg(reports.size());
}

}  // namespace

class FileFaultsTest : public QObject {
  Q_OBJECT

 private slots:
  void fullDisk_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("target");  // "" saves over the shown file
    QTest::newRow("Save") << "Save1"
                          << "";
    QTest::newRow("Save As") << "Saveas1"
                             << "other.sp";
    AddExportRows("shown");
  }

  // The failed write is the generic error report's "Disk full."; the file
  // to be replaced and the window stay as they were.
  void fullDisk() {
    QFETCH(QString, action);
    QFETCH(QString, target);
    FullDisk disk;
    if (!disk.Mounted()) QSKIP(disk.Why().c_str());
    const std::string shown = disk.Path("shown.sp");
    MakeSpFile(shown, 3000, "on a small disk");
    const std::string path = target.isEmpty() ? shown : disk.Path(target.toStdString());
    if (!target.isEmpty()) WriteFile(path, "the old file");
    const std::string old = ReadFile(path);

    ScriptedUi ui;
    TForm1 w({QString::fromStdString(shown)}, ui);
    const Shown before = ShownIn(w);
    QVERIFY(disk.Fill());
    const std::set<std::string> names = disk.Names();
    ui.files = {QString::fromStdString(path)};
    ui.confirms = {true};  // "File exists! Overwrite?"
    w.findChild<QAction*>(action)->trigger();

    // The box's title names the file that could not be written.
    const QString written = QString::fromStdString(path.substr(path.rfind('/') + 1));
    QCOMPARE(Reported(ui), "Tesvar - " + written + ": Disk full.");
    QVERIFY(ui.Of("error").empty());
    QVERIFY(ReadFile(path) == old);
    QVERIFY(disk.Names() == names);
    Shown after = ShownIn(w);
    // Save As takes the new name before it writes, so a failed write leaves
    // the new name for the next Save.
    if (action == "Saveas1") after.path = before.path;
    QVERIFY(after == before);
  }

  void readFaults_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("said");  // "report: ..." or "error: ..."
    // The box's title names the chosen file.
    const char* sp = "report: Tesvar - chosen.sp: ";
    QTest::newRow("Open, vanished") << "Open1"
                                    << "vanished" << QString(sp) + "File not found.";
    QTest::newRow("Open, folder") << "Open1"
                                  << "folder" << QString(sp) + "File access denied.";
    QTest::newRow("Open, read error") << "Open1"
                                      << "read error" << QString(sp) + "I/O error 31.";
    for (const char* a : {"JCAMPDX1", "ASCII1"}) {
      const QString import = QString("error: Error - chosen.%1: File read error!")
                                 .arg(a == std::string("JCAMPDX1") ? "jdx" : "asc");
      for (const char* f : {"vanished", "folder", "read error"}) {
        QTest::newRow(QString("%1, %2").arg(a, f).toUtf8()) << a << f << import;
      }
    }
  }

  // The file was there when the dialog chose it and is gone or unreadable
  // when the reader opens it: Open gives the generic error report, the
  // imports "File read error!"; the shown spectrum stays.
  void readFaults() {
    QFETCH(QString, action);
    QFETCH(QString, fault);
    QFETCH(QString, said);
    const std::string d = MakeTempDir();
    MakeSpFile(d + "/shown.sp", 50, "shown before");
    // Good files of each kind, 7 points, for the dialog to choose.
    Spectrum other = ReadBack(d + "/shown.sp");
    other.NPoints = 7;
    other.LastIndex = 6;
    QVERIFY(WriteSpFile(d + "/chosen.sp", other).saved());
    RecordedMessages m;
    QVERIFY(Told(WriteJcampFile(d + "/chosen.jdx", other, JcampForm::kFix), m));
    QVERIFY(Told(WriteAsciiListFile(d + "/chosen.asc", other), m));
    const char* extension = action == "Open1" ? ".sp" : action == "JCAMPDX1" ? ".jdx" : ".asc";

    BreakingUi ui;
    TForm1 w({QString::fromStdString(d + "/shown.sp")}, ui);
    const Shown before = ShownIn(w);
    ui.files = {QString::fromStdString(d + "/chosen" + extension)};
    ui.breakFile = [&](const std::string& path) {
      QCOMPARE(::unlink(path.c_str()), 0);
      if (fault == "folder") QCOMPARE(::mkdir(path.c_str(), 0755), 0);
      if (fault == "read error") QCOMPARE(::symlink("/proc/self/mem", path.c_str()), 0);
    };
    w.findChild<QAction*>(action)->trigger();

    QString what = said.section(':', 0, 0);
    std::vector<Asked> asked = ui.Of(what);
    QCOMPARE(asked.size(), std::size_t(1));
    QCOMPARE(what + ": " + asked[0].title + ": " + asked[0].text, said);
    QCOMPARE(ui.log.size(), std::size_t(2));  // the dialog, then the message
    QVERIFY(ShownIn(w) == before);
    QVERIFY(!w.document().Imported);
    QCOMPARE(w.StatusText(2), QString());  // no "reading..." left behind
  }
};

QTEST_MAIN(FileFaultsTest)
#include "file_faults_qttest.moc"
