// The screen plot on PaintBox1: frame, ticks and trace at the pixels the
// layout rules give, the grid on and off, the inverted cursor line, the
// canvas behaviour of direct paints and invalidations, and the repaint at
// a new width. Pixel positions follow plot_fixture.h.
#include <QAction>
#include <QTest>
#include <QToolButton>
#include <set>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "plot_fixture.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

std::vector<float> Flat(float t) { return std::vector<float>(kPoints, t); }

// Pixels of `column` from row `from` down to `to` (inclusive, from > to)
// that differ between the two pictures.
int ChangedInColumn(const QImage& a, const QImage& b, int column, int from, int to) {
  int changed = 0;
  for (int y = to; y <= from; ++y) changed += a.pixel(column, y) != b.pixel(column, y);
  return changed;
}

}  // namespace

class PlotViewTest : public QObject {
  Q_OBJECT

 private slots:
  void nothingIsDrawnWithoutSpectrum() {
    ScriptedUi ui;
    TForm1 w({}, ui);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.PaintBox1->Repaint();
    w.PaintBox1Paint();
    const QImage image = w.PaintBox1->Picture();
    QVERIFY(!image.isNull());
    QImage white(image.size(), image.format());
    white.fill(Qt::white);
    QCOMPARE(image, white);
    QCOMPARE(w.StatusText(1), QString());
    QCOMPARE(w.view().PlotWidth, 0);  // no frame was laid out
  }

  void frameTicksAndTrace() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    const QImage img = p.Picture();
    const int L = p.left, B = p.bottom, R = p.Right(), T = p.Top();
    // The right frame edge lies 3 px inside the surface.
    QCOMPARE(R, img.width() - 3);
    // The top edge is one pixel below the height of "0"; 2 text heights
    // stay free below the bottom edge.
    QCOMPARE((img.height() - B) / 2 + 1, T);
    const std::pair<int, int> onFrame[] = {{L, B}, {R, B},       {R, T},
                                           {L, T}, {L + 260, B}, {L, B - 100}};
    for (auto [x, y] : onFrame) {
      QVERIFY2(IsBlack(img, x, y), qPrintable(QString("frame at %1,%2").arg(x).arg(y)));
    }
    QVERIFY(IsWhite(img, R + 1, B - 100));
    QVERIFY(IsWhite(img, L + 260, T - 1));

    // %T ticks every 20 px, 4 px long, left of the frame; "50" has no text.
    for (int x = L - 4; x < L; ++x) QVERIFY(IsBlack(img, x, B - 100));
    QVERIFY(IsWhite(img, L - 5, B - 100));
    QVERIFY(IsWhite(img, L - 1, B - 110));

    // Wavenumber ticks below the frame: 5 px at multiples of 500
    // (3500 at L + 50, 2000 at L + 200, 1000 at L + 400), 3 px elsewhere
    // (1900 at L + 220).
    for (int column : {L + 50, L + 200, L + 400}) {
      for (int y = B + 1; y <= B + 4; ++y) QVERIFY(IsBlack(img, column, y));
      QVERIFY(IsWhite(img, column, B + 5));
    }
    QVERIFY(IsBlack(img, L + 220, B + 2));
    QVERIFY(IsWhite(img, L + 220, B + 3));

    // The trace: point 100 (T 0.30) at (L + 100, B - 60), point 300
    // (T 0.40) at (L + 400, B - 80).
    QVERIFY(IsBlack(img, p.Column(100), p.Row(0.30)));
    QVERIFY(IsBlack(img, p.Column(300), p.Row(0.40)));
    QVERIFY(IsWhite(img, p.Column(300), p.Row(0.40) - 2));
  }

  // Values beyond 0..1 are drawn on the frame lines.
  void traceClampedToFrame() {
    std::vector<float> t = Flat(0.5f);
    for (int i = 140; i <= 160; ++i) t[i] = 1.5f;
    for (int i = 235; i <= 255; ++i) t[i] = -0.5f;
    PlotWindow p(t);
    QVERIFY(p.Pinned());
    const QImage img = p.Picture();
    QVERIFY(IsBlack(img, p.Column(150), p.Top()));
    QVERIFY(IsWhite(img, p.Column(150), p.Top() - 1));
    // 1550 1/cm: no tick below.
    QVERIFY(IsBlack(img, p.Column(245), p.bottom));
    QVERIFY(IsWhite(img, p.Column(245), p.bottom + 1));
  }

  // Grid on draws grey dotted lines at once, over the picture, in whatever
  // pen mode the last drawing left: after an inverted cursor line that is
  // NotXor, which gives the same grey on white. Grid off repaints without.
  void gridOnAndOff_data() {
    QTest::addColumn<bool>("afterCursorLine");
    QTest::newRow("copy mode") << false;
    QTest::newRow("after a cursor line") << true;
  }
  void gridOnAndOff() {
    QFETCH(bool, afterCursorLine);
    // A flat trace at 5 %T (row B - 10) stays clear of the grid rows.
    PlotWindow p(Flat(0.05f));
    QVERIFY(p.Pinned());
    const int L = p.left, B = p.bottom;
    // An even offset from L that no vertical grid line uses.
    const int cursorColumn = L + 302;
    if (afterCursorLine) p.w->PaintBox1MouseDown(MouseButton::kLeft, cursorColumn, B - 50);
    p.w->Grid1->trigger();
    QVERIFY(p.view().GridOn);
    QVERIFY(!p.w->PaintBox1->Invalid());  // drawn over, not repainted
    QImage img = p.Picture();

    // Where a vertical line crosses a horizontal one, two dots meet (grey
    // again in copy mode, white in NotXor); those pixels are left out.
    // Vertical lines: 3500, 3000, 2500, 2000 and every 100 1/cm below.
    std::set<int> verticals = {50, 100, 150};
    for (int r = 200; r <= 520; r += 20) verticals.insert(r);

    // The 50 %T line (row B - 100): dots at the even offsets from L, gaps
    // at the odd ones (the vertical lines all stand at even offsets).
    for (int r = 1; r < 520; ++r) {
      if (L + r == cursorColumn || verticals.count(r)) continue;
      const bool dot = r % 2 == 0;
      QVERIFY2(dot ? IsGrey(img, L + r, B - 100) : IsWhite(img, L + r, B - 100),
               qPrintable(QString("offset %1").arg(r)));
    }
    // The 1000 1/cm line (L + 400): dots from row B upwards, every other
    // row, above the trace at B - 10.
    for (int k = 6; k < 100; ++k) {
      if (k % 10 == 0) continue;  // the horizontal lines
      QVERIFY(IsGrey(img, L + 400, B - 2 * k));
      QVERIFY(IsWhite(img, L + 400, B - 2 * k - 1));
    }
    // Under the cursor line a dot inverts the black pixel instead.
    if (afterCursorLine) QCOMPARE(img.pixel(cursorColumn, B - 100) & 0xffffff, 0x7f7f7fu);

    // A later paint draws the same grid in copy mode.
    p.w->PaintBox1->Repaint();
    QVERIFY(IsGrey(p.Picture(), L + 400, B - 40));
    QVERIFY(IsGrey(p.Picture(), L + 2, B - 100));

    p.w->Grid1->trigger();
    QVERIFY(!p.view().GridOn);
    img = p.Picture();
    int grey = 0;
    for (int x = L; x <= p.Right(); ++x) {
      for (int y = p.Top(); y <= B; ++y) grey += IsGrey(img, x, y);
    }
    QCOMPARE(grey, 0);
  }

  void cursorLineDrawnTwiceLeavesNoTrace_data() {
    QTest::addColumn<int>("offset");
    QTest::newRow("crossing the trace") << 100;
    QTest::newRow("next to the left edge") << 1;
    QTest::newRow("next to the right edge") << 519;
  }
  void cursorLineDrawnTwiceLeavesNoTrace() {
    QFETCH(int, offset);
    PlotWindow p;
    QVERIFY(p.Pinned());
    const QImage before = p.Picture();
    const int x = p.left + offset, B = p.bottom;
    p.w->InvertVerticalLine(x);
    const QImage once = p.Picture();
    // From the row above the bottom edge up to the row below the top edge,
    // every pixel inverted; the frame lines themselves untouched.
    for (int y = B - 1; y > p.Top(); --y) {
      QCOMPARE(once.pixel(x, y) & 0xffffff, ~before.pixel(x, y) & 0xffffff);
    }
    QCOMPARE(once.pixel(x, B), before.pixel(x, B));
    QCOMPARE(once.pixel(x, p.Top()), before.pixel(x, p.Top()));
    QCOMPARE(ChangedInColumn(before, once, x - 1, B, p.Top()), 0);
    p.w->InvertVerticalLine(x);
    QCOMPARE(p.Picture(), before);
  }

  // The paint draws the cursor line of the cursor tool strictly inside the
  // frame and writes the read-out of the data point.
  void paintShowsCursor_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("transmittance");
    QTest::addColumn<QString>("readOut");
    QTest::addColumn<int>("checkRow");  // above B, clear of the trace
    QTest::newRow("first point, on the frame") << 0 << 0.25f << "cm-1: 4000.0   %T: 25.00" << 190;
    QTest::newRow("inside") << 100 << 0.30f << "cm-1: 3000.0   %T: 30.00" << 190;
    QTest::newRow("100 %T") << 150 << 1.0f << "cm-1: 2500.0   %T: 100.00" << 20;
    QTest::newRow("0 %T") << 250 << 0.0f << "cm-1: 1500.0   %T: 0.00" << 190;
    QTest::newRow("last point, on the frame") << 360 << 0.43f << "cm-1: 400.0   %T: 43.00" << 190;
  }
  void paintShowsCursor() {
    QFETCH(int, index);
    QFETCH(float, transmittance);
    QFETCH(QString, readOut);
    QFETCH(int, checkRow);
    PlotWindow p;
    QVERIFY(p.Pinned());
    std::vector<float> t = RisingOrdinates();
    t[index] = transmittance;
    p.view().CursorIndex = index;
    p.SetOrdinates(t);
    QCOMPARE(p.w->StatusText(1), readOut);
    QCOMPARE(p.view().CursorPx, p.Column(index));
    QCOMPARE(p.view().DrawnCursorPx, p.Column(index));
    const QImage img = p.Picture();
    // Inside, the line blackens the white background; on a frame edge no
    // line is drawn, which would have inverted the frame to white.
    QVERIFY(IsBlack(img, p.Column(index), p.bottom - checkRow));
  }

  // A direct call draws over what is there: the cursor line of the second
  // paint inverts the first one away. An invalidation repaints on white at
  // the next platform paint, and what is drawn before then is lost.
  void directPaintDrawsOverInvalidationStartsAfresh() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.view().CursorIndex = 100;
    p.w->PaintBox1->Repaint();
    const QImage fresh = p.Picture();
    const int x = p.Column(100), y = p.bottom - 150;
    QVERIFY(IsBlack(fresh, x, y));

    p.w->PaintBox1Paint();
    QVERIFY(IsWhite(p.Picture(), x, y));

    p.w->PaintBox1->Invalidate();
    QVERIFY(p.w->PaintBox1->Invalid());
    p.w->InvertVerticalLine(p.left + 200);  // on the stale picture
    QVERIFY(IsBlack(p.w->PaintBox1->Picture(), p.left + 200, y));
    QCOMPARE(p.Picture(), fresh);
    QVERIFY(!p.w->PaintBox1->Invalid());
  }

  // The next paint sets the pen back to copy mode after inverted lines.
  void paintResetsPenMode() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.w->InvertVerticalLine(p.left + 10);
    QCOMPARE(p.w->PaintBox1->Canvas().penMode(), PenMode::kNotXor);
    p.w->PaintBox1->Repaint();
    QCOMPARE(p.w->PaintBox1->Canvas().penMode(), PenMode::kCopy);
  }

  // Expand and compress change the surface; the repaint lays the frame out
  // at the new width.
  void repaintAtNewWidth() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    const int width = p.w->PaintBoxWidth();
    p.w->SpeedButton3->click();
    QVERIFY(p.w->PaintBox1->Invalid());
    QImage img = p.Picture();
    QCOMPARE(img.width(), 2 * width);
    QCOMPARE(p.view().PlotLeft + p.view().PlotWidth, 2 * width - 3);
    QVERIFY(IsBlack(img, 2 * width - 3, p.bottom));
    QVERIFY(IsWhite(img, 2 * width - 2, p.bottom));
    p.w->SpeedButton3->click();
    QCOMPARE(p.Picture().width(), 4 * width);
    // Halved while wider than twice the 640 px box, then fitted to it.
    p.w->SpeedButton4->click();
    QCOMPARE(p.Picture().width(), 2 * width);
    QVERIFY(2 * width <= 2 * kBoxWidth);
    p.w->SpeedButton4->click();
    img = p.Picture();
    QCOMPARE(img.width(), kBoxWidth - 3);
    QCOMPARE(p.view().PlotLeft + p.view().PlotWidth, kBoxWidth - 6);
    QVERIFY(IsBlack(img, kBoxWidth - 6, p.Top()));
  }

  // Labels are part of the paint only while the label tool is chosen.
  void labelsPaintedInLabelToolOnly() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.w->SpeedButton2->click();
    // A left click at point 100 high above the trace labels the lowest of
    // points 97..103, point 97: stem down from the click's row, leader 9 px
    // to the left.
    const int y = p.bottom - 150;
    p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), y);
    const int x = p.Column(97);
    QCOMPARE(p.view().Labels.Count(), 1);
    p.w->PaintBox1->Repaint();
    QImage img = p.Picture();
    for (int c = x - 8; c <= x; ++c) QVERIFY(IsBlack(img, c, y));
    for (int r = y + 1; r <= y + 3; ++r) QVERIFY(IsBlack(img, x, r));
    p.view().ToolMode = kCursorTool;
    p.w->PaintBox1->Repaint();
    img = p.Picture();
    QVERIFY(IsWhite(img, x - 5, y));
  }
};

QTEST_MAIN(PlotViewTest)
#include "plot_view_qttest.moc"
