// Comparison spectra and the absorbance view in the window: File > Compare
// with..., dropping with Ctrl held, View > Comparisons, View > Absorbance
// and View > Scale comparisons. What is drawn is tested on the plot's own
// surfaces (tests/plot/comparisons_test.cpp, tests/output).
#include <QAction>
#include <QMenu>
#include <QTest>
#include <QUrl>

#include "app/main_window.h"
#include "app/view_settings.h"
#include "scripted_ui.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

// Shown spectrum and comparisons in one fresh folder.
struct Folder {
  std::string d = MakeTempDir();
  std::string Sp(const std::string& name, float level = 0.5f) {
    MakeSpFile(d + "/" + name, 361, name, level);
    return d + "/" + name;
  }
};

QStringList Names(const QMenu* menu) {
  QStringList names;
  for (const QAction* a : menu->actions()) {
    if (!a->isSeparator()) names << a->text();
  }
  return names;
}

}  // namespace

class ComparisonsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    StoreAbsorbance(false);
    StoreScaleComparisons(false);
  }
  void cleanupTestCase() { init(); }

  void commandsAndKeys() {
    ScriptedUi ui;
    TForm1 w({}, ui);
    QVERIFY(w.File1->actions().contains(w.Comparewith1));
    QCOMPARE(w.Comparewith1->text(), QString("Compare &with..."));
    for (QAction* a : {w.Absorbance1, w.ScaleComparisons1, w.Comparisons1->menuAction()}) {
      QVERIFY(w.View1->actions().contains(a));
    }
    QVERIFY(w.Absorbance1->isCheckable() && w.ScaleComparisons1->isCheckable());
    QCOMPARE(w.Absorbance1->shortcut(), QKeySequence("Ctrl+Shift+A"));
    QVERIFY(!w.Comparisons1->menuAction()->isEnabled());
    QVERIFY(!w.ScaleComparisons1->isEnabled());
  }

  // Several files at once; each listed with its removal; the shown
  // spectrum and its unsaved-changes state untouched.
  void addAndRemove() {
    Folder f;
    ScriptedUi ui;
    TForm1 w({QString::fromStdString(f.Sp("shown.sp"))}, ui);
    ui.files = {QString::fromStdString(f.Sp("a.sp", 0.4f) + "\n" + f.Sp("b.sp", 0.3f))};
    w.Comparewith1->trigger();
    QCOMPARE(ui.Of("open").size(), std::size_t(1));
    QCOMPARE(ui.Of("open")[0].title, QString("Compare with"));
    QCOMPARE(w.comparisons().Size(), 2);
    QVERIFY(!w.Modified());
    QVERIFY(w.Comparisons1->menuAction()->isEnabled());
    QCOMPARE(Names(w.Comparisons1), QStringList({"Remove a.sp", "Remove b.sp", "Remove &all"}));

    w.findChild<QAction*>("RemoveComparison1")->trigger();
    QTRY_COMPARE(w.comparisons().Size(), 1);
    QCOMPARE(w.comparisons()[0].name, std::string("b.sp"));
    QCOMPARE(Names(w.Comparisons1), QStringList({"Remove b.sp", "Remove &all"}));

    // Opening another spectrum keeps the comparisons and asks nothing.
    ui.files = {QString::fromStdString(f.Sp("next.sp"))};
    w.Open1->trigger();
    QVERIFY(ui.Of("save changes").empty());
    QCOMPARE(QString::fromStdString(w.document().CurrentName), QString("next.sp"));
    QCOMPARE(w.comparisons().Size(), 1);

    w.findChild<QAction*>("RemoveAllComparisons")->trigger();
    QTRY_COMPARE(w.comparisons().Size(), 0);
    QVERIFY(!w.Comparisons1->menuAction()->isEnabled());
  }

  // A ninth and an unreadable file are told in a box naming the file, and
  // change nothing; the others of the same choice are still added.
  void refusals() {
    Folder f;
    ScriptedUi ui;
    TForm1 w({QString::fromStdString(f.Sp("shown.sp"))}, ui);
    test::WriteFile(f.d + "/broken.sp", "not a spectrum");
    QStringList chosen;
    for (int i = 1; i <= 7; ++i)
      chosen << QString::fromStdString(f.Sp("c" + std::to_string(i) + ".sp"));
    chosen << QString::fromStdString(f.d + "/broken.sp") << QString::fromStdString(f.Sp("c8.sp"))
           << QString::fromStdString(f.Sp("c9.sp"));
    ui.files = {chosen.join('\n')};
    w.Comparewith1->trigger();
    QCOMPARE(w.comparisons().Size(), kMaxComparisons);
    const std::vector<Asked> errors = ui.Of("error");
    QCOMPARE(errors.size(), std::size_t(2));
    QCOMPARE(errors[0].title, QString("Error - broken.sp"));
    QCOMPARE(errors[1].title, QString("Error - c9.sp"));
    QCOMPARE(errors[1].text, QString("At most 8 comparison spectra can be shown."));
    QCOMPARE(w.comparisons()[kMaxComparisons - 1].name, std::string("c8.sp"));
  }

  // Ctrl held: every dropped file is added as a comparison; the shown
  // spectrum stays.
  void dropWithCtrl() {
    Folder f;
    ScriptedUi ui;
    TForm1 w({QString::fromStdString(f.Sp("shown.sp"))}, ui);
    const QList<QUrl> urls = {QUrl::fromLocalFile(QString::fromStdString(f.Sp("a.sp"))),
                              QUrl::fromLocalFile(QString::fromStdString(f.Sp("b.sp")))};
    QVERIFY(!DragAndDrop(w, urls));  // two files without Ctrl: refused at the door
    QVERIFY(DragAndDrop(w, urls, Qt::ControlModifier));
    QTRY_COMPARE(w.comparisons().Size(), 2);
    QCOMPARE(QString::fromStdString(w.document().CurrentName), QString("shown.sp"));
  }

  // The absorbance view: kept between runs, the read-out in A, scaling only
  // in it, and the baseline tool (-e) resting with its reason.
  void absorbanceView() {
    Folder f;
    const std::string shown = f.Sp("shown.sp", 0.1f);
    {
      ScriptedUi ui;
      TForm1 w({"-e", QString::fromStdString(shown)}, ui);
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      w.Absorbance1->trigger();
      QVERIFY(w.view().Absorbance);
      QVERIFY(StoredAbsorbance());
      QVERIFY(w.ScaleComparisons1->isEnabled());
      w.PaintBox1Paint();
      QVERIFY(w.view().AbsorbanceShown);
      w.RightBtnClick();
      // Point 1 holds T 0.101: A = -log10 0.101 = 0.99568.
      QCOMPARE(w.StatusText(1), QString("cm-1: 3990.0   A: 0.9957"));

      const std::vector<float> before(w.spectrum().TransY.begin(), w.spectrum().TransY.end());
      const PlotFrame frame = PlotFrame::FromViewState(w.view(), w.spectrum());
      const int x = frame.PlotLeft + frame.PlotWidth / 2;
      const int y = frame.PlotBottom - 20;
      w.PaintBox1MouseDown(MouseButton::kRight, x, y);
      w.PaintBox1MouseMove(x + 30, y - 10);
      w.PaintBox1MouseUp(MouseButton::kRight, x + 30, y - 10);
      QCOMPARE(w.StatusText(2), QString(kBaselineInPercentView));
      QVERIFY(std::vector<float>(w.spectrum().TransY.begin(), w.spectrum().TransY.end()) == before);
      QVERIFY(!w.Modified());

      w.ScaleComparisons1->trigger();
      QVERIFY(StoredScaleComparisons());
    }
    ScriptedUi ui;
    TForm1 next({QString::fromStdString(shown)}, ui);
    QVERIFY(next.Absorbance1->isChecked() && next.ScaleComparisons1->isChecked());
    next.Absorbance1->trigger();
    QVERIFY(!next.view().Absorbance);
    QVERIFY(!next.ScaleComparisons1->isEnabled());
    next.PaintBox1Paint();
    QVERIFY(!next.view().AbsorbanceShown);
    next.RightBtnClick();
    QVERIFY2(next.StatusText(1).contains("%T: "), qPrintable(next.StatusText(1)));
  }
};

QTEST_MAIN(ComparisonsTest)
#include "comparisons_qttest.moc"
