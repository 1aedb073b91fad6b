// The cursor, baseline and label tools and the band jumps, driven through
// the window's handlers (and once through real mouse events) on the
// synthetic spectrum of plot_fixture.h, whose pixel positions are known.
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

// Flat at 0.9 with V-shaped bands at points 100 (3000 1/cm) and 250
// (1500 1/cm): 0.5 at the bottom and 0.1 higher per point up to 4 points
// away. Each band matches the first pattern of the band search (rises of
// 0.1, 0.2, 0.3 to the left and 0.1, 0.2 to the right).
std::vector<float> TwoBands() {
  std::vector<float> t(kPoints, 0.9f);
  for (int centre : {100, 250}) {
    for (int k = -3; k <= 3; ++k) t[centre + k] = static_cast<float>(0.5 + 0.1 * std::abs(k));
  }
  return t;
}

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

  // A click places the cursor on the column clicked; the read-out shows the
  // wavenumber under the mouse and the %T of the nearest point.
  void clickPlacesCursor_data() {
    QTest::addColumn<int>("offset");  // from PlotLeft
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("readOut");
    // 4000 - 10 x 100 = 3000: point 100, T 0.30
    QTest::newRow("above 2000") << 100 << 100 << "cm-1: 3000.0   %T: 30.00";
    // 3000 - 5 x 301 = 1495 lies between points 250 and 251: ties to even
    QTest::newRow("between points") << 301 << 250 << "cm-1: 1495.0   %T: 37.50";
    QTest::newRow("left edge") << 0 << 0 << "cm-1: 4000.0   %T: 25.00";
    QTest::newRow("right edge") << 520 << 360 << "cm-1: 400.0   %T: 43.00";
  }
  void clickPlacesCursor() {
    QFETCH(int, offset);
    QFETCH(int, index);
    QFETCH(QString, readOut);
    PlotWindow p;
    QVERIFY(p.Pinned());
    const int x = p.left + offset;
    p.w->PaintBox1MouseDown(MouseButton::kLeft, x, p.bottom - 50);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, x, p.bottom - 50);
    QCOMPARE(p.view().CursorIndex, index);
    QCOMPARE(p.view().CursorPx, x);
    QCOMPARE(p.w->StatusText(1), readOut);
    QVERIFY(!p.view().CursorDragging);
  }

  // The line follows the mouse: the old one is inverted away, the new one
  // drawn, and none on the frame edges.
  void cursorLineFollowsPlacement() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    const QImage plain = p.Picture();
    const int y = p.bottom - 150;
    p.w->PaintBox1MouseDown(MouseButton::kLeft, p.left + 50, y);
    QVERIFY(IsBlack(p.Picture(), p.left + 50, y));
    p.w->PaintBox1MouseMove(p.left + 80, y);
    QImage img = p.Picture();
    QVERIFY(IsWhite(img, p.left + 50, y));
    QVERIFY(IsBlack(img, p.left + 80, y));
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Right(), y);
    QCOMPARE(p.Picture(), plain);  // the right edge gets no line
  }

  // A press left of the frame starts the drag without moving the cursor;
  // dragging into the frame moves it; without a press a move does nothing.
  void dragFromOutsideTheFrame() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    const int y = p.bottom - 50;
    p.w->PaintBox1MouseMove(p.left + 100, y);
    QCOMPARE(p.view().CursorIndex, 0);
    p.w->PaintBox1MouseDown(MouseButton::kLeft, p.left - 5, y);
    QVERIFY(p.view().CursorDragging);
    QVERIFY(p.view().MouseInPlot);
    QCOMPARE(p.view().CursorIndex, 0);
    p.w->PaintBox1MouseMove(p.left + 50, y);
    QCOMPARE(p.view().CursorIndex, 50);
    p.w->PaintBox1MouseMove(p.left + 60, p.Top() - 1);  // above the frame: ignored
    QCOMPARE(p.view().CursorIndex, 50);
    QVERIFY(!p.view().MouseInPlot);
    p.w->PaintBox1MouseMove(p.left + 70, y);
    QCOMPARE(p.view().CursorIndex, 70);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.left + 70, y);
    QVERIFY(!p.view().CursorDragging);
    p.w->PaintBox1MouseMove(p.left + 90, y);
    QCOMPARE(p.view().CursorIndex, 70);
  }

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

  // "< fine" and "fine >" step one point, stop at the ends and refresh the
  // read-out there.
  void fineSteps() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.w->LeftBtn->click();
    QCOMPARE(p.view().CursorIndex, 0);
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 4000.0   %T: 25.00"));
    p.w->RightBtn->click();
    QCOMPARE(p.view().CursorIndex, 1);
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 3990.0   %T: 25.05"));
    const QImage img = p.Picture();
    QVERIFY(IsBlack(img, p.left + 1, p.bottom - 150));

    p.w->PaintBox1MouseDown(MouseButton::kLeft, p.Column(359), p.bottom - 150);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(359), p.bottom - 150);
    QCOMPARE(p.view().CursorIndex, 359);
    p.w->RightBtn->click();
    QCOMPARE(p.view().CursorIndex, 360);
    p.w->StatusBar1->SetPanelText(1, "");
    p.w->RightBtn->click();
    QCOMPARE(p.view().CursorIndex, 360);
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 400.0   %T: 43.00"));
    // Below 2000 1/cm one point takes 2 px: the line moved from L + 518 to
    // the edge, where no line stands.
    QVERIFY(IsWhite(p.Picture(), p.Column(359), p.bottom - 150));
    p.w->LeftBtn->click();
    QCOMPARE(p.view().CursorIndex, 359);
    QVERIFY(IsBlack(p.Picture(), p.Column(359), p.bottom - 150));
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

  // Without labels the cursor tool repaints nothing: a line shown stays.
  void cursorToolWithoutLabelsKeepsTheLine() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.w->PaintBox1MouseDown(MouseButton::kLeft, p.Column(100), p.bottom - 50);
    const QImage withLine = p.Picture();
    p.w->SpeedButton1->click();
    QCOMPARE(p.Picture(), withLine);
    QCOMPARE(p.view().CursorIndex, 0);
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 4000.0   %T: 25.00"));
  }

  // ---------------------------------------------------------------------
  // Baseline tool

  void rightButtonNeedsTheSwitch() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    QVERIFY(!p.w->CursorBaselineMode());
    const QImage before = p.Picture();
    const std::vector<float> t = p.Ordinates();
    p.w->PaintBox1MouseDown(MouseButton::kRight, p.Column(100), p.bottom - 120);
    QVERIFY(!p.view().BaselineDragging);
    p.w->PaintBox1MouseUp(MouseButton::kRight, p.Column(100), p.bottom - 120);
    QCOMPARE(p.Ordinates(), t);
    QCOMPARE(p.Picture(), before);
  }

  // With the cursor on the first or the last point the right drag shows a
  // horizontal inverted line and shifts the whole spectrum so that the
  // point under the release column comes to the release height.
  void levelCorrection_data() {
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("releasePoint");
    QTest::addColumn<double>("releaseT");
    QTest::addColumn<double>("shift");
    // Point 100 (T 0.30) to row B - 120 (0.60): +0.30 everywhere.
    QTest::newRow("cursor on the first point") << 0 << 100 << 0.60 << 0.30;
    // Point 300 (T 0.40) to row B - 20 (0.10): -0.30 everywhere.
    QTest::newRow("cursor on the last point") << 360 << 300 << 0.10 << -0.30;
  }
  void levelCorrection() {
    QFETCH(int, cursor);
    QFETCH(int, releasePoint);
    QFETCH(double, releaseT);
    QFETCH(double, shift);
    PlotWindow p(RisingOrdinates(), {"-e"});
    QVERIFY(p.Pinned());
    QVERIFY(p.w->CursorBaselineMode());
    p.view().CursorIndex = cursor;
    p.w->PaintBox1->Repaint();
    const QImage before = p.Picture();
    const std::vector<float> t = p.Ordinates();

    const int x = p.Column(releasePoint);
    p.w->PaintBox1MouseDown(MouseButton::kRight, x, p.bottom - 40);
    QVERIFY(p.view().BaselineDragging);
    QVERIFY(!p.view().CursorDragging);
    QImage img = p.Picture();
    // The feedback line: L + 1 .. R - 2 inverted on the mouse's row.
    QVERIFY(IsBlack(img, p.left + 1, p.bottom - 40));
    QVERIFY(IsBlack(img, p.Right() - 2, p.bottom - 40));
    QVERIFY(IsWhite(img, p.Right() - 1, p.bottom - 40));
    p.w->PaintBox1MouseMove(x + 1, p.Row(releaseT));
    img = p.Picture();
    QVERIFY(IsWhite(img, p.left + 1, p.bottom - 40));
    QVERIFY(IsBlack(img, p.left + 1, p.Row(releaseT)));

    p.w->PaintBox1MouseUp(MouseButton::kRight, x, p.Row(releaseT));
    QVERIFY(!p.view().BaselineDragging);
    const std::vector<float> after = p.Ordinates();
    for (int j : {0, 100, 200, 300, 360}) QVERIFY(std::abs(after[j] - (t[j] + shift)) < kTol);
    QVERIFY(std::abs(after[releasePoint] - releaseT) < kTol);
    // Repainted afresh: the new trace, no feedback line (at L + 260 the
    // trace runs at least 7 rows away from it).
    img = p.Picture();
    QVERIFY(img != before);
    QVERIFY(IsWhite(img, p.left + 260, p.Row(releaseT)));
    QVERIFY(IsBlack(img, p.Column(200), p.Row(after[200])));
  }

  // With the cursor on point 100 (column L + 100, T 0.30, anchor row
  // B - 60) the right drag tilts one side about the cursor point.
  //   end row e = (B - 60) - ((B - 60 - y) x (L + 100 - endX)) / (L + 100 - x)
  // clamped to the frame; its transmittance tEnd = (B - e) / 200; the end
  // point of that side comes to tEnd, the correction falls linearly to 0 at
  // the cursor point.
  void tiltCorrection_data() {
    QTest::addColumn<int>("x");   // from PlotLeft
    QTest::addColumn<int>("dy");  // above B
    QTest::addColumn<bool>("leftSide");
    QTest::addColumn<double>("tEnd");
    // Through (L + 50, B - 80): e = B - 60 - (20 x 100) / 50 = B - 100.
    QTest::newRow("left") << 50 << 80 << true << 0.50;
    // At the frame edge the end row is the mouse's row: B - 20.
    QTest::newRow("right edge") << 520 << 20 << false << 0.10;
    // On the anchor column one row up: x becomes L + 99 (left side),
    // e = B - 60 - (1 x 100) / 1 = B - 160.
    QTest::newRow("on the anchor") << 100 << 61 << true << 0.80;
    // Two rows up: e = B - 260, above the top: clamped to B - 200.
    QTest::newRow("on the anchor, clamped to the top") << 100 << 62 << true << 1.0;
  }
  void tiltCorrection() {
    QFETCH(int, x);
    QFETCH(int, dy);
    QFETCH(bool, leftSide);
    QFETCH(double, tEnd);
    PlotWindow p(RisingOrdinates(), {"-e"});
    QVERIFY(p.Pinned());
    const int y = p.bottom - dy;
    p.w->PaintBox1MouseDown(MouseButton::kLeft, p.Column(100), p.bottom - 50);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), p.bottom - 50);
    QCOMPARE(p.view().CursorIndex, 100);
    const std::vector<float> t = p.Ordinates();
    const QImage withCursor = p.Picture();

    p.w->PaintBox1MouseDown(MouseButton::kRight, p.left + x, y);
    QVERIFY(p.view().BaselineDragging);
    QCOMPARE(p.view().BaselineAnchorX, p.left + 100);
    QCOMPARE(p.view().BaselineAnchorY, p.bottom - 60);
    QCOMPARE(p.view().BaselineEndX, leftSide ? p.left : p.Right());
    QCOMPARE(p.view().BaselineEndY, p.Row(tEnd));
    QVERIFY(p.Picture() != withCursor);  // the segment is shown
    p.w->PaintBox1MouseUp(MouseButton::kRight, p.left + x, y);

    const std::vector<float> after = p.Ordinates();
    const int end = leftSide ? 0 : 360;
    const int mid = leftSide ? 50 : 230;  // halfway from the cursor point to the end
    const int untouched = leftSide ? 300 : 20;
    QVERIFY2(std::abs(after[end] - tEnd) < kTol, qPrintable(QString::number(after[end])));
    QVERIFY(std::abs(after[100] - t[100]) < kTol);
    QVERIFY(std::abs(after[mid] - (t[mid] + (tEnd - t[end]) / 2)) < kTol);
    QCOMPARE(after[untouched], t[untouched]);
  }

  // While dragging, the segment from the cursor point follows the mouse:
  // moving away and back leaves the picture as it was.
  void tiltFeedbackFollowsTheMouse() {
    PlotWindow p(RisingOrdinates(), {"-e"});
    QVERIFY(p.Pinned());
    p.w->PaintBox1MouseDown(MouseButton::kLeft, p.Column(100), p.bottom - 50);
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), p.bottom - 50);
    const QImage withCursor = p.Picture();
    p.w->PaintBox1MouseDown(MouseButton::kRight, p.left + 50, p.bottom - 80);
    const QImage first = p.Picture();
    // The segment's far end at (L, B - 100); the end pixel is left out.
    QVERIFY(IsBlack(first, p.left + 1, p.bottom - 100));
    p.w->PaintBox1MouseMove(p.left + 300, p.bottom - 120);
    QImage moved = p.Picture();
    QVERIFY(IsWhite(moved, p.left + 1, p.bottom - 100));
    p.w->PaintBox1MouseMove(p.left + 50, p.bottom - 80);
    QCOMPARE(p.Picture(), first);
    QVERIFY(first != withCursor);
  }

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

  void bandJumps_data() {
    QTest::addColumn<QString>("buttons");  // R = "peak >", L = "< peak"
    QTest::addColumn<QList<int>>("indices");
    QTest::newRow("to the right end") << "RRRR" << QList<int>{100, 250, 360, 360};
    QTest::newRow("back to the left end") << "RRLLL" << QList<int>{100, 250, 100, 0, 0};
  }
  void bandJumps() {
    QFETCH(QString, buttons);
    QFETCH(QList<int>, indices);
    PlotWindow p(TwoBands());
    QVERIFY(p.Pinned());
    for (int i = 0; i < buttons.size(); ++i) {
      (buttons[i] == 'R' ? p.w->PeakRightBtn : p.w->PeakLeftBTn)->click();
      QCOMPARE(p.view().CursorIndex, indices[i]);
      QCOMPARE(p.view().CursorPx, p.Column(indices[i]));
    }
  }

  void bandJumpReadOutAndLine() {
    PlotWindow p(TwoBands());
    QVERIFY(p.Pinned());
    const QImage plain = p.Picture();
    p.w->PeakRightBtn->click();
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 3000.0   %T: 50.00"));
    QVERIFY(IsBlack(p.Picture(), p.Column(100), p.bottom - 150));
    p.w->PeakRightBtn->click();
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 1500.0   %T: 50.00"));
    QImage img = p.Picture();
    QVERIFY(IsWhite(img, p.Column(100), p.bottom - 150));
    QVERIFY(IsBlack(img, p.Column(250), p.bottom - 150));
    p.w->PeakRightBtn->click();  // no band left: the right end, on the frame
    QCOMPARE(p.w->StatusText(1), QString("cm-1: 400.0   %T: 90.00"));
    QCOMPARE(p.Picture(), plain);
  }

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
