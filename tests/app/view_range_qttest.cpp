// View > Fit ordinate and the zoom: the menu items and their keys, the
// check state kept between runs, a Shift + left drag with real mouse events,
// "Whole spectrum" and the parameters dialog's range while zoomed. What the
// drag does with each press, move and release is tested on the logging
// surface in tests/plot/plot_interaction_test.cpp, the fitted axis in
// tests/plot/ordinate_axis_test.cpp.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/parameters_dialog.h"
#include "app/view_settings.h"
#include "plot_fixture.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

// A weak spectrum: 95.5 %T rising to 99.1 %T over the 361 points.
std::vector<float> WeakOrdinates() {
  std::vector<float> t(kPoints);
  for (int i = 0; i < kPoints; ++i) t[i] = static_cast<float>(0.955 + i / 10000.0);
  return t;
}

// The frame of the last paint, as the mouse handlers use it.
PlotFrame Shown(PlotWindow& p) { return PlotFrame::FromViewState(p.view(), p.w->spectrum()); }

void ShiftDrag(PlotWindow& p, int fromColumn, int toColumn) {
  const int y = p.bottom - 50;
  QTest::mousePress(p.w->PaintBox1, Qt::LeftButton, Qt::ShiftModifier, QPoint(fromColumn, y));
  QTest::mouseMove(p.w->PaintBox1, QPoint((fromColumn + toColumn) / 2, y));
  QTest::mouseRelease(p.w->PaintBox1, Qt::LeftButton, Qt::ShiftModifier, QPoint(toColumn, y));
}

}  // namespace

class ViewRangeTest : public QObject {
  Q_OBJECT

 private slots:
  // Each test starts from the settings of a first run.
  void init() { StoreFitOrdinate(false); }
  void cleanupTestCase() { StoreFitOrdinate(false); }

  // Both commands stand in the View menu with a key of their own.
  void commandsAndKeys() {
    PlotWindow p;
    const struct {
      QAction* action;
      const char* key;
    } commands[] = {{p.w->FitOrdinate1, "Ctrl+Shift+F"}, {p.w->WholeSpectrum1, "Ctrl+0"}};
    for (const auto& command : commands) {
      QVERIFY(p.w->View1->actions().contains(command.action));
      QCOMPARE(command.action->shortcut(), QKeySequence(command.key));
    }
    QVERIFY(p.w->FitOrdinate1->isCheckable());
  }

  void fitOrdinateIsKeptBetweenRuns() {
    PlotWindow p(WeakOrdinates());
    QVERIFY(p.Pinned());
    QVERIFY(!p.w->FitOrdinate1->isChecked());
    QVERIFY(!p.view().OrdinateFitted);
    // On the fixed axis the weak trace keeps to the top twentieth.
    QCOMPARE(Shown(p).TraceRow(0.955), p.Row(0.955));

    p.w->FitOrdinate1->trigger();
    p.Picture();
    QVERIFY(p.w->FitOrdinate1->isChecked());
    QVERIFY(p.view().OrdinateFitted);
    QCOMPARE(p.view().ShownOrdinate.low, 95.5);
    QVERIFY(std::abs(p.view().ShownOrdinate.high - 99.5) < 1e-9);
    // The lowest point now lies on the bottom edge, the highest near the top.
    QCOMPARE(Shown(p).TraceRow(0.955), p.bottom);
    QVERIFY(Shown(p).TraceRow(0.991) <= p.Top() + 25);
    QVERIFY(StoredFitOrdinate());

    // The next run starts with the axis fitted.
    PlotWindow next(WeakOrdinates());
    QVERIFY(next.w->FitOrdinate1->isChecked());
    QVERIFY(next.view().OrdinateFitted);
    next.w->FitOrdinate1->trigger();
    next.Picture();
    QVERIFY(!next.view().OrdinateFitted);
    QVERIFY(!StoredFitOrdinate());
  }

  void shiftDragZoomsAndWholeSpectrumReturns() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    QVERIFY(!p.w->WholeSpectrum1->isEnabled());
    ShiftDrag(p, p.Column(100), p.Column(300));
    QCOMPARE(p.view().ZoomFirst, 100);
    QCOMPARE(p.view().ZoomLast, 300);
    QVERIFY(p.w->WholeSpectrum1->isEnabled());
    // 3000 and 1000 1/cm stand on the frame's edges.
    p.Picture();
    QCOMPARE(Shown(p).XToColumn(3000), p.left);
    QCOMPARE(Shown(p).XToColumn(1000), p.Right());

    // The parameters dialog shows the range on screen.
    QString from, to, fromLabel;
    p.ui.onModal = [&](QDialog& dialog) {
      auto& dlg = static_cast<TPE1Dlg&>(dialog);
      from = dlg.FirstXEdit->text();
      to = dlg.LastXEdit->text();
      fromLabel = dlg.FirstXLabel->text();
      dlg.CancelBtn->click();
    };
    p.w->Parameters1->trigger();
    QCOMPARE(from, QString("3000.0"));
    QCOMPARE(to, QString("1000.0"));
    QCOMPARE(fromLabel, QString("Shown from (1/cm):"));

    p.w->WholeSpectrum1->trigger();
    QVERIFY(!p.view().Zoomed());
    QVERIFY(!p.w->WholeSpectrum1->isEnabled());
    p.Picture();
    QCOMPARE(Shown(p).XToColumn(4000), p.left);
    p.w->Parameters1->trigger();
    QCOMPARE(from, QString("4000.0"));
    QCOMPARE(fromLabel, QString("First X (1/cm):"));
  }

  // Without Shift the left button places the cursor as ever; a narrow box
  // zooms nothing.
  void plainDragAndNarrowBoxDoNotZoom() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    const int y = p.bottom - 50;
    QTest::mousePress(p.w->PaintBox1, Qt::LeftButton, {}, QPoint(p.Column(100), y));
    QTest::mouseRelease(p.w->PaintBox1, Qt::LeftButton, {}, QPoint(p.Column(300), y));
    QVERIFY(!p.view().Zoomed());
    QCOMPARE(p.view().CursorIndex, 300);
    ShiftDrag(p, p.Column(100), p.Column(101));
    QVERIFY(!p.view().Zoomed());
    QVERIFY(!p.w->WholeSpectrum1->isEnabled());
  }
};

QTEST_MAIN(ViewRangeTest)
#include "view_range_qttest.moc"
