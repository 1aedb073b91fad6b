// The window's part in the cursor, baseline and label tools: the scroll
// position, the tool buttons and the states they set, the pictures a
// repaint leaves, the clipboard, a load, and real mouse events, driven
// through the window's handlers on the synthetic spectrum of plot_fixture.h,
// whose pixel positions are known. What the tools do with each press, move
// and release is tested on the logging surface in
// tests/plot/plot_interaction_test.cpp.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <cmath>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/status_bar.h"
#include "plot_fixture.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

constexpr double kTol = 1e-6;

void Scroll(PlotWindow& p, int position) {
  p.w->ScrollBox1->horizontalScrollBar()->setValue(position);
  QCOMPARE(p.w->ScrollBox1->horizontalScrollBar()->value(), position);
}

}  // namespace

class InteractionTest : public QObject {
  Q_OBJECT

 private slots:
  // ---------------------------------------------------------------------
  // Cursor tool

  // Presses outside the visible part of the scrolled surface, or above or
  // below the frame, move nothing (and empty status panel 2 all the same).
  void pressesOutsideTheVisibleArea_data() {
    QTest::addColumn<int>("x");   // relative to the scroll position hp
    QTest::addColumn<int>("dy");  // from the frame's middle row
    QTest::addColumn<bool>("moves");
    // Visible: hp <= x + 1 < hp + 640 (the scroll box's width).
    QTest::newRow("left of the visible part") << -2 << 0 << false;
    QTest::newRow("first visible column") << -1 << 0 << true;
    QTest::newRow("last visible column") << kBoxWidth - 2 << 0 << true;
    QTest::newRow("right of the visible part") << kBoxWidth - 1 << 0 << false;
    QTest::newRow("below the frame") << 100 << 101 << false;
  }
  void pressesOutsideTheVisibleArea() {
    QFETCH(int, x);
    QFETCH(int, dy);
    QFETCH(bool, moves);
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.w->SpeedButton3->click();
    p.w->SpeedButton3->click();  // 4 x as wide: the frame is 2080 px wide
    p.Picture();
    const int hp = 600;
    Scroll(p, hp);
    p.w->StatusBar1->SetPanelText(2, "busy");
    const QString readOut = p.w->StatusText(1);
    p.w->PaintBox1MouseDown(MouseButton::kLeft, hp + x, p.bottom - 100 + dy);
    QCOMPARE(p.view().CursorIndex != 0, moves);
    QCOMPARE(p.view().CursorDragging, moves);
    QCOMPARE(p.view().MouseInPlot, moves);
    QCOMPARE(p.w->StatusText(1) != readOut, moves);
    QCOMPARE(p.w->StatusText(2), QString());
  }

  // The step buttons do nothing while the cursor line lies outside the
  // visible part in their direction: left of it for "< fine" (DrawnCursorPx
  // + 1 <= hp), right of it for "fine >" (hp + 640 <= DrawnCursorPx + 1).
  void fineStepsOutOfView() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.w->SpeedButton3->click();
    p.w->SpeedButton3->click();
    p.Picture();
    Scroll(p, 100);
    p.w->PaintBox1MouseDown(MouseButton::kLeft, 700, p.bottom - 50);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, 700, p.bottom - 50);
    const int index = p.view().CursorIndex;
    QVERIFY(index > 0);
    QCOMPARE(p.view().DrawnCursorPx, 700);

    Scroll(p, 61);  // 61 + 640 = 701 <= 701
    p.w->RightBtn->click();
    QCOMPARE(p.view().CursorIndex, index);
    QVERIFY(!p.view().MouseInPlot);
    Scroll(p, 62);
    p.w->RightBtn->click();
    QCOMPARE(p.view().CursorIndex, index + 1);
    QVERIFY(p.view().MouseInPlot);

    const int drawn = p.view().DrawnCursorPx;
    Scroll(p, drawn + 1);
    p.w->LeftBtn->click();
    QCOMPARE(p.view().CursorIndex, index + 1);
    QVERIFY(!p.view().MouseInPlot);
    Scroll(p, drawn);
    p.w->LeftBtn->click();
    QCOMPARE(p.view().CursorIndex, index);
  }

  // ---------------------------------------------------------------------
  // Tool switches

  void labelToolAndBack() {
    PlotWindow p(TwoBands());
    QVERIFY(p.Pinned());
    const QImage plain = p.Picture();
    p.w->PaintBox1MouseDown(MouseButton::kLeft, p.Column(100), p.bottom - 50);
    QVERIFY(p.Picture() != plain);

    p.w->SpeedButton2->click();
    QCOMPARE(p.view().ToolMode, int(kLabelTool));
    QVERIFY(p.w->SpeedButton2->isChecked());
    QVERIFY(!p.w->SpeedButton1->isChecked());
    for (QPushButton* b : {p.w->LeftBtn, p.w->RightBtn, p.w->PeakLeftBTn, p.w->PeakRightBtn}) {
      QVERIFY(!b->isEnabled());
    }
    QCOMPARE(p.w->PaintBox1->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(p.w->StatusText(1), QString());
    QCOMPARE(p.Picture(), plain);  // the cursor line is gone
    QVERIFY(!p.w->Copypeaklist1->isEnabled());

    // Presses and moves do nothing in the label tool.
    p.w->PaintBox1MouseDown(MouseButton::kLeft, p.Column(200), p.bottom - 50);
    p.w->PaintBox1MouseMove(p.Column(210), p.bottom - 50);
    QCOMPARE(p.Picture(), plain);

    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), p.bottom - 150);
    QCOMPARE(p.view().Labels.Count(), 1);
    QVERIFY(p.w->Copypeaklist1->isEnabled());

    p.w->SpeedButton1->click();
    QCOMPARE(p.view().ToolMode, int(kCursorTool));
    QVERIFY(p.w->SpeedButton1->isChecked());
    QVERIFY(!p.w->SpeedButton2->isChecked());
    for (QPushButton* b : {p.w->LeftBtn, p.w->RightBtn, p.w->PeakLeftBTn, p.w->PeakRightBtn}) {
      QVERIFY(b->isEnabled());
    }
    QCOMPARE(p.w->PaintBox1->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(p.view().Labels.Count(), 0);
    QVERIFY(!p.w->Copypeaklist1->isEnabled());
    QCOMPARE(p.view().CursorIndex, 0);
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 4000.0   %T: 90.00"));
    QCOMPARE(p.Picture(), plain);  // repainted without the label

    // Back in the label tool there is nothing to show.
    p.w->SpeedButton2->click();
    QCOMPARE(p.Picture(), plain);
  }

  // ---------------------------------------------------------------------
  // Baseline tool

  // A right drag released outside the plot corrects nothing and takes its
  // feedback line or segment away, also when the plot was drawn afresh
  // during the drag (inverting the line back would then draw it).
  void cancelledDragLeavesNothing_data() {
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("repaintedMeanwhile");
    QTest::newRow("level line") << 0 << false;
    QTest::newRow("level line, repainted meanwhile") << 0 << true;
    QTest::newRow("tilt segment") << 100 << false;
    QTest::newRow("tilt segment, repainted meanwhile") << 100 << true;
  }
  void cancelledDragLeavesNothing() {
    QFETCH(int, cursor);
    QFETCH(bool, repaintedMeanwhile);
    PlotWindow p(RisingOrdinates(), {"-e"});
    QVERIFY(p.Pinned());
    p.view().CursorIndex = cursor;
    p.w->PaintBox1->Repaint();
    const QImage before = p.Picture();
    const std::vector<float> t = p.Ordinates();
    p.w->PaintBox1MouseDown(MouseButton::kRight, p.left + 50, p.bottom - 80);
    p.w->PaintBox1MouseMove(p.left + 300, p.bottom - 120);
    QVERIFY(p.Picture() != before);
    if (repaintedMeanwhile) p.w->PaintBox1->Repaint();
    p.w->PaintBox1MouseUp(MouseButton::kRight, p.left + 300, p.bottom + 1);
    QVERIFY(!p.view().BaselineDragging);
    QCOMPARE(p.Ordinates(), t);
    QCOMPARE(p.Picture(), before);
    QVERIFY(!p.w->Modified());
  }

  // ---------------------------------------------------------------------
  // Band jumps

  // A band in the part scrolled out of view is not jumped to; the cursor
  // and the read-out stay.
  void bandOutOfView() {
    PlotWindow p(TwoBands());
    QVERIFY(p.Pinned());
    p.w->SpeedButton3->click();
    p.w->SpeedButton3->click();
    p.Picture();
    const int band = PlotFrame::FromViewState(p.view(), p.w->spectrum()).XToColumn(1500);
    QVERIFY(band + 1 >= kBoxWidth);
    p.w->PeakRightBtn->click();
    QCOMPARE(p.view().CursorIndex, 100);
    const QString readOut = p.w->StatusText(1);
    const QImage picture = p.Picture();
    p.w->PeakRightBtn->click();
    QCOMPARE(p.view().CursorIndex, 100);
    QCOMPARE(p.w->StatusText(1), readOut);
    QCOMPARE(p.Picture(), picture);
    Scroll(p, band + 1 - kBoxWidth);  // band + 1 = hp + 640: just out of view
    p.w->PeakRightBtn->click();
    QCOMPARE(p.view().CursorIndex, 100);
    Scroll(p, band + 2 - kBoxWidth);
    p.w->PeakRightBtn->click();
    QCOMPARE(p.view().CursorIndex, 250);
    QCOMPARE(p.view().CursorPx, band);
  }

  // ---------------------------------------------------------------------
  // Peak labels and the peak list

  // Clicks in any order give a list from the highest wavenumber down; an
  // equal wavenumber goes after the labels already there; the text copied
  // is the rounded wavenumbers in that order.
  void labelsOrderedAndCopied() {
    PlotWindow p(TwoBands());
    QVERIFY(p.Pinned());
    p.w->SpeedButton2->click();
    const int above = p.bottom - 190;
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(250) + 2, above);
    p.w->PaintBox1MouseUp(MouseButton::kRight, p.Column(100) - 3, above);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(250), p.bottom - 10);
    const LabelList& labels = p.view().Labels;
    QCOMPARE(labels.Count(), 3);
    QCOMPARE(labels[0].X, 3000.0);
    QCOMPARE(labels[0].Kind, uint8_t(3));  // right button, above the band
    QCOMPARE(labels[1].X, 1500.0);
    QCOMPARE(labels[1].Kind, uint8_t(2));
    QCOMPARE(labels[2].X, 1500.0);
    QCOMPARE(labels[2].Kind, uint8_t(0));  // below the band's 0.5
    QCOMPARE(labels[2].Y, 0.05);

    QGuiApplication::clipboard()->setText("before");
    p.w->Copypeaklist1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("3000, 1500, 1500"));
  }

  void emptyListLeavesTheClipboard() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    QGuiApplication::clipboard()->setText("keep me");
    p.w->Copypeaklist1Click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("keep me"));
  }

  // A label is drawn at once; a middle-button release, a release outside
  // the frame or outside the view, and the 256th label add nothing.
  void labelsThatAreNotPlaced() {
    PlotWindow p(TwoBands());
    QVERIFY(p.Pinned());
    p.w->SpeedButton2->click();
    QImage img = p.Picture();
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), p.bottom - 150);
    QCOMPARE(p.view().Labels.Count(), 1);
    QVERIFY(p.Picture() != img);
    img = p.Picture();

    p.w->PaintBox1MouseUp(MouseButton::kMiddle, p.Column(250), p.bottom - 150);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.left - 1, p.bottom - 150);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Right() + 1, p.bottom - 150);
    QCOMPARE(p.view().Labels.Count(), 1);
    QCOMPARE(p.Picture(), img);

    // Y is not tested: a click below the frame is a label below the frame.
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), p.bottom + 10);
    QCOMPARE(p.view().Labels.Count(), 2);
    QCOMPARE(p.view().Labels[1].Y, -0.05);

    for (int i = 2; i < kMaxLabels; ++i) {
      p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), p.bottom - 150);
    }
    QCOMPARE(p.view().Labels.Count(), 255);
    img = p.Picture();
    p.w->PaintBox1MouseUp(MouseButton::kRight, p.Column(250), p.bottom - 100);
    QCOMPARE(p.view().Labels.Count(), 255);
    QCOMPARE(p.Picture(), img);
    QVERIFY(p.ui.log.empty());  // and no message
  }

  // A release in the frame but outside the visible part places nothing.
  void labelOutOfView() {
    PlotWindow p(TwoBands());
    QVERIFY(p.Pinned());
    p.w->SpeedButton3->click();
    p.Picture();
    p.w->SpeedButton2->click();
    Scroll(p, 100);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, 98, p.bottom - 150);  // 99 < hp
    QCOMPARE(p.view().Labels.Count(), 0);
    QVERIFY(!p.view().MouseInPlot);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, 99, p.bottom - 150);
    QCOMPARE(p.view().Labels.Count(), 1);
    QVERIFY(p.view().MouseInPlot);
  }

  // Loading a spectrum empties the list.
  void loadingDiscardsLabels() {
    PlotWindow p(TwoBands());
    QVERIFY(p.Pinned());
    p.w->SpeedButton2->click();
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), p.bottom - 150);
    QCOMPARE(p.view().Labels.Count(), 1);
    p.ui.files.push_back(SamplePath());
    p.w->Open1->trigger();
    QCOMPARE(p.view().Labels.Count(), 0);
    QCOMPARE(p.view().ToolMode, int(kCursorTool));
    QCOMPARE(p.w->PaintBox1->cursor().shape(), Qt::ArrowCursor);
  }

  // ---------------------------------------------------------------------
  // The mouse and the buttons through Qt's own events.

  void realMouseEvents() {
    PlotWindow p(TwoBands(), {"-e"});
    QVERIFY(p.Pinned());
    const int y = p.bottom - 50;
    QTest::mouseClick(p.w->PaintBox1, Qt::LeftButton, {}, QPoint(p.Column(150), y));
    QCOMPARE(p.view().CursorIndex, 150);
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 2500.0   %T: 90.00"));
    QTest::mouseClick(p.w->LeftBtn, Qt::LeftButton);
    QCOMPARE(p.view().CursorIndex, 149);
    QTest::mouseClick(p.w->PeakLeftBTn, Qt::LeftButton);
    QCOMPARE(p.view().CursorIndex, 100);

    // A right click in tilt mode corrects; the cursor stays.
    QTest::mouseClick(p.w->PaintBox1, Qt::RightButton, {}, QPoint(p.left, p.bottom - 150));
    QCOMPARE(p.view().CursorIndex, 100);
    QVERIFY(std::abs(p.Ordinates()[0] - 0.75) < kTol);

    QTest::mouseClick(p.w->SpeedButton2, Qt::LeftButton);
    QCOMPARE(p.view().ToolMode, int(kLabelTool));
    QTest::mouseClick(p.w->PaintBox1, Qt::LeftButton, {}, QPoint(p.Column(250), p.bottom - 190));
    QCOMPARE(p.view().Labels.Count(), 1);
    QCOMPARE(p.view().Labels[0].X, 1500.0);
  }
};

QTEST_MAIN(InteractionTest)
#include "interaction_qttest.moc"
