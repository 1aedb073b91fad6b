// Tools > Search library...: the folder asked the first time and kept, the
// hits listed best first, Compare, double-click and Open.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <cmath>
#include <filesystem>

#include "app/library_dialog.h"
#include "app/main_window.h"
#include "app/view_settings.h"
#include "scripted_ui.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

// An SP file with one absorbance band at `centre` 1/cm.
void WriteBand(const std::string& path, double centre, const std::string& comment) {
  Spectrum s;
  s.IdentLine = "PE IR       SPECTRUM";
  s.AcqDate = "01/02/03";
  s.AcqTime = "10:11:12.00";
  s.SetComment(comment);
  s.FirstX = s.XStart = 4000;
  s.LastX = s.XEnd = 400;
  s.NPoints = 1801;
  s.LastIndex = 1800;
  s.XStep = 2;
  s.DeltaX = -2;
  s.NScans = 1;
  s.YScale = kPercentYScale;
  for (int i = 0; i <= s.LastIndex; ++i) {
    const double a = 0.05 + std::exp(-std::pow((s.PointX(i) - centre) / 25, 2));
    s.TransY[i] = static_cast<float>(std::pow(10.0, -a));
  }
  QVERIFY(WriteSpFile(path, s).saved());
}

}  // namespace

class LibrarySearchTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(MakeTempDir())); }
  void init() { StoreLibraryFolder(QString()); }
  void cleanupTestCase() { init(); }

  void searchCompareAndOpen() {
    const std::string d = MakeTempDir();
    const std::string lib = d + "/refs";
    std::filesystem::create_directories(lib);
    WriteBand(lib + "/carbonyl.sp", 1715, "carbonyl");
    WriteBand(lib + "/hydroxyl.sp", 3350, "hydroxyl");
    WriteBand(lib + "/nitrile.sp", 2250, "nitrile");
    WriteFile(lib + "/broken.sp", "no spectrum");
    WriteBand(d + "/unknown.sp", 1715, "unknown");

    ScriptedUi ui;
    TForm1 w({QString::fromStdString(d + "/unknown.sp")}, ui);
    QVERIFY(w.Tools1->actions().contains(w.Searchlibrary1));
    QCOMPARE(w.Searchlibrary1->shortcut(), QKeySequence("Ctrl+L"));
    ui.files = {QString::fromStdString(lib)};  // the folder, asked the first time
    QStringList titles, paths;
    QString quality, summary;
    ui.onModal = [&](QDialog& dialog) {
      auto& dlg = static_cast<TLibraryDlg&>(dialog);
      summary = dlg.SummaryLabel->text();
      for (int i = 0; i < dlg.HitList->topLevelItemCount(); ++i) {
        titles << dlg.HitList->topLevelItem(i)->text(1);
        paths << dlg.HitList->topLevelItem(i)->text(2);
      }
      quality = dlg.HitList->topLevelItem(0)->text(0);
      dlg.HitList->clearSelection();
      dlg.HitList->topLevelItem(0)->setSelected(true);
      dlg.HitList->topLevelItem(1)->setSelected(true);
      dlg.CompareBtn->click();
      emit dlg.HitList->itemDoubleClicked(dlg.HitList->topLevelItem(2), 0);
      dlg.HitList->clearSelection();
      QVERIFY(!dlg.OpenBtn->isEnabled());
      dlg.HitList->topLevelItem(0)->setSelected(true);
      dlg.OpenBtn->click();
    };
    w.Searchlibrary1->trigger();
    QCOMPARE(ui.Of("folder").size(), std::size_t(1));
    QCOMPARE(StoredLibraryFolder(), QString::fromStdString(lib));
    QCOMPARE(summary, QString("3 members, 1 skipped"));
    QCOMPARE(titles.first(), QString("carbonyl"));
    QCOMPARE(quality, QString("100.0"));
    QCOMPARE(paths.first(), QString::fromStdString(lib + "/carbonyl.sp"));
    QCOMPARE(w.comparisons().Size(), 3);
    QCOMPARE(QString::fromStdString(w.document().CurrentName), QString("carbonyl.sp"));

    // The second time the kept folder is searched without asking.
    ui.onModal = [](QDialog& dialog) { static_cast<TLibraryDlg&>(dialog).CloseBtn->click(); };
    w.Searchlibrary1->trigger();
    QCOMPARE(ui.Of("folder").size(), std::size_t(1));
    QCOMPARE(ui.Of("modal").size(), std::size_t(2));
  }

  // No folder chosen: nothing searched, nothing kept.
  void cancelledFolder() {
    ScriptedUi ui;
    TForm1 w({SamplePath()}, ui);
    w.Searchlibrary1->trigger();
    QCOMPARE(ui.Of("folder").size(), std::size_t(1));
    QVERIFY(ui.Of("modal").empty());
    QCOMPARE(StoredLibraryFolder(), QString());
  }
};

QTEST_MAIN(LibrarySearchTest)
#include "library_search_qttest.moc"
