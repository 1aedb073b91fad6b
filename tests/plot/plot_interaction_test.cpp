#include "plot/plot_interaction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/spectrum.h"
#include "logging_surface.h"
#include "plot/plot_painter.h"
#include "plot/view_state.h"
#include "synthetic_ordinates.h"

namespace tesvar {
namespace {

// The frame of these tests, worked out by hand from the screen rules with
// "00000" 30 px wide and "0" 14 px high on a 553 x 243 surface:
//   PlotLeft L = 30, PlotWidth 520 (right edge R = 550), PlotBottom
//   B = 243 - 28 = 215, top 15, PlotYScale -200.
// 361 points from 4000 to 400 1/cm, 10 1/cm apart: one 1/cm takes 0.1 px
// above 2000 and 0.2 px below, so point i lies at column L + i for
// i <= 200 and at L + 2i - 200 below 2000 1/cm; column L + r shows
// 4000 - 10r for r <= 200, else 3000 - 5r. Transmittance t lies at row
// B - Round(200 t); row B - k reads k / 200.
// An inverted cursor line at column x is "move x 214, line x 15"; the level
// line on row y is "move 31 y, line 549 y".
constexpr int kLeft = 30, kRight = 550, kBottom = 215, kTop = 15;
using test::kPoints;
using test::RisingOrdinates;
using test::TwoBands;
constexpr double kTol = 1e-6;

int Column(int i) { return i <= 200 ? kLeft + i : kLeft + 2 * i - 200; }
int Row(double t) { return kBottom - static_cast<int>(RoundHalfEven(200 * t)); }

// The shown spectrum after its first paint, as the window has it: cursor
// tool, the cursor on the first point at the left frame line (not drawn
// there), the whole surface in view. The host logs a repaint as "repaint"
// followed by what the paint draws after the plot (the cursor line).
class ShownPlot : public InteractionHost {
 public:
  explicit ShownPlot(const std::vector<float>& ordinates = RisingOrdinates(),
                     bool baselineTool = false)
      : baselineTool_(baselineTool) {
    spectrum.XStart = 4000;
    spectrum.XEnd = 400;
    spectrum.XStep = 10;
    spectrum.LastIndex = kPoints - 1;
    spectrum.NPoints = kPoints;
    for (int i = 0; i < kPoints; ++i) spectrum.TransY[i] = ordinates[i];
    spectrum.DataLoaded = spectrum.YConverted = true;
    Frame().CopyTo(view);
    view.ResetCursor(spectrum.XStart);
    view.SpectrumShown = true;
    Repaint();
    surface.Take();
  }

  PlotFrame Frame() const {
    FrameMetrics m;
    m.leftTextWidth = 30;
    m.zeroHeight = 14;
    m.zeroWidth = 6;
    PlotFrame f = PlotFrame::Layout(ScreenFrameRules(), m, 553, 243, spectrum.XStart, spectrum.XEnd,
                                    spectrum.XStep);
    if (view.Zoomed()) f.ShowRange(spectrum.PointX(view.ZoomFirst), spectrum.PointX(view.ZoomLast));
    return f;
  }

  PlotInteraction Tools() { return PlotInteraction(view, spectrum, baselineTool_, *this); }

  std::vector<float> Ordinates() const {
    return std::vector<float>(spectrum.TransY.begin(), spectrum.TransY.begin() + kPoints);
  }

  DrawingSurface& Canvas() override { return surface; }
  ScrollWindow VisibleWindow() const override { return window; }
  void Repaint() override {
    surface.ops.push_back("repaint");
    Tools().CursorAfterPaint(Frame());
  }
  void PaintOver() override { surface.ops.push_back("paint over"); }
  void StatusText(int panel, const std::string& text) override { status[panel] = text; }
  void SpectrumCorrected() override { corrected = true; }
  EditHistory* History() override { return &history; }

  Spectrum spectrum;
  EditHistory history;
  ViewState view;
  test::LoggingSurface surface;
  ScrollWindow window{0, 640};
  std::string status[3];
  bool corrected = false;

 private:
  bool baselineTool_;
};

std::string CursorLine(int x) {
  return "mode notxor, move " + std::to_string(x) + " 214, line " + std::to_string(x) + " 15";
}

std::string LevelLine(int y) {
  return "mode notxor, move 31 " + std::to_string(y) + ", line 549 " + std::to_string(y);
}

std::string Segment(int x1, int y1, int x2, int y2) {
  return "mode notxor, move " + std::to_string(x1) + " " + std::to_string(y1) + ", line " +
         std::to_string(x2) + " " + std::to_string(y2);
}

TEST(PlotInteraction, FrameOfTheseTests) {
  ShownPlot p;
  const PlotFrame f = p.Frame();
  EXPECT_EQ(f.PlotLeft, kLeft);
  EXPECT_EQ(f.PlotRight(), kRight);
  EXPECT_EQ(f.PlotBottom, kBottom);
  EXPECT_EQ(f.PlotTop(), kTop);
  EXPECT_EQ(f.XToColumn(2000), Column(200));
  EXPECT_EQ(p.status[1], "cm-1: 4000.0   %T: 25.00");
}

// ---------------------------------------------------------------------------
// Cursor tool

// A click places the cursor on the column clicked; the read-out shows the
// wavenumber under the mouse and the %T of the nearest point.
TEST(PlotInteraction, ClickPlacesCursor) {
  struct Case {
    const char* name;
    int offset;  // from PlotLeft
    int index;
    const char* readOut;
  };
  const Case cases[] = {
      // 4000 - 10 x 100 = 3000: point 100, T 0.30
      {"above 2000", 100, 100, "cm-1: 3000.0   %T: 30.00"},
      // 3000 - 5 x 301 = 1495 lies between points 250 and 251: ties to even
      {"between points", 301, 250, "cm-1: 1495.0   %T: 37.50"},
      {"left edge", 0, 0, "cm-1: 4000.0   %T: 25.00"},
      {"right edge", 520, 360, "cm-1: 400.0   %T: 43.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShownPlot p;
    const int x = kLeft + c.offset;
    p.Tools().MouseDown(MouseButton::kLeft, x, kBottom - 50);
    p.Tools().MouseUp(MouseButton::kLeft, x, kBottom - 50);
    EXPECT_EQ(p.view.CursorIndex, c.index);
    EXPECT_EQ(p.view.CursorPx, x);
    EXPECT_EQ(p.status[1], c.readOut);
    EXPECT_FALSE(p.view.CursorDragging);
  }
}

// The line follows the mouse: the old one is inverted away, the new one
// drawn, and none on the frame edges.
TEST(PlotInteraction, CursorLineFollowsPlacement) {
  ShownPlot p;
  const int y = kBottom - 150;
  p.Tools().MouseDown(MouseButton::kLeft, kLeft + 50, y);
  EXPECT_EQ(p.surface.Take(), CursorLine(80));
  p.Tools().MouseMove(kLeft + 80, y);
  EXPECT_EQ(p.surface.Take(), CursorLine(80) + ", " + CursorLine(110));
  p.Tools().MouseUp(MouseButton::kLeft, kRight, y);
  EXPECT_EQ(p.surface.Take(), CursorLine(110));  // the right edge gets no line
}

// A press left of the frame starts the drag without moving the cursor;
// dragging into the frame moves it; without a press a move does nothing.
TEST(PlotInteraction, DragFromOutsideTheFrame) {
  ShownPlot p;
  const int y = kBottom - 50;
  p.Tools().MouseMove(kLeft + 100, y);
  EXPECT_EQ(p.view.CursorIndex, 0);
  p.Tools().MouseDown(MouseButton::kLeft, kLeft - 5, y);
  EXPECT_TRUE(p.view.CursorDragging);
  EXPECT_TRUE(p.view.MouseInPlot);
  EXPECT_EQ(p.view.CursorIndex, 0);
  p.Tools().MouseMove(kLeft + 50, y);
  EXPECT_EQ(p.view.CursorIndex, 50);
  p.Tools().MouseMove(kLeft + 60, kTop - 1);  // above the frame: ignored
  EXPECT_EQ(p.view.CursorIndex, 50);
  EXPECT_FALSE(p.view.MouseInPlot);
  p.Tools().MouseMove(kLeft + 70, y);
  EXPECT_EQ(p.view.CursorIndex, 70);
  p.Tools().MouseUp(MouseButton::kLeft, kLeft + 70, y);
  EXPECT_FALSE(p.view.CursorDragging);
  p.Tools().MouseMove(kLeft + 90, y);
  EXPECT_EQ(p.view.CursorIndex, 70);
}

// "< fine" and "fine >" step one point, stop at the ends and refresh the
// read-out there.
TEST(PlotInteraction, FineSteps) {
  ShownPlot p;
  p.Tools().StepLeft();
  EXPECT_EQ(p.view.CursorIndex, 0);
  EXPECT_EQ(p.status[1], "cm-1: 4000.0   %T: 25.00");
  p.Tools().StepRight();
  EXPECT_EQ(p.view.CursorIndex, 1);
  EXPECT_EQ(p.status[1], "cm-1: 3990.0   %T: 25.05");
  EXPECT_EQ(p.surface.Take(), CursorLine(kLeft + 1));

  p.Tools().MouseDown(MouseButton::kLeft, Column(359), kBottom - 150);
  p.Tools().MouseUp(MouseButton::kLeft, Column(359), kBottom - 150);
  EXPECT_EQ(p.view.CursorIndex, 359);
  p.surface.Take();
  p.Tools().StepRight();
  EXPECT_EQ(p.view.CursorIndex, 360);
  // Below 2000 1/cm one point takes 2 px: the line moved from L + 518 to
  // the edge, where no line stands.
  EXPECT_EQ(p.surface.Take(), CursorLine(Column(359)));
  p.status[1].clear();
  p.Tools().StepRight();
  EXPECT_EQ(p.view.CursorIndex, 360);
  EXPECT_EQ(p.status[1], "cm-1: 400.0   %T: 43.00");
  EXPECT_EQ(p.surface.Take(), "");
  p.Tools().StepLeft();
  EXPECT_EQ(p.view.CursorIndex, 359);
  EXPECT_EQ(p.surface.Take(), CursorLine(Column(359)));
}

// Without labels the cursor tool repaints nothing: a line shown stays.
TEST(PlotInteraction, CursorToolWithoutLabelsKeepsTheLine) {
  ShownPlot p;
  p.Tools().MouseDown(MouseButton::kLeft, Column(100), kBottom - 50);
  p.surface.Take();
  p.Tools().ChooseCursorTool();
  EXPECT_EQ(p.surface.Take(), "");
  EXPECT_EQ(p.view.CursorIndex, 0);
  EXPECT_EQ(p.status[1], "cm-1: 4000.0   %T: 25.00");
}

// ---------------------------------------------------------------------------
// Baseline tool

TEST(PlotInteraction, RightButtonNeedsTheSwitch) {
  ShownPlot p;
  const std::vector<float> t = p.Ordinates();
  p.Tools().MouseDown(MouseButton::kRight, Column(100), kBottom - 120);
  EXPECT_FALSE(p.view.BaselineDragging);
  p.Tools().MouseUp(MouseButton::kRight, Column(100), kBottom - 120);
  EXPECT_EQ(p.Ordinates(), t);
  EXPECT_EQ(p.surface.Take(), "");
}

// With the cursor on the first or the last point the right drag shows a
// horizontal inverted line and shifts the whole spectrum so that the point
// under the release column comes to the release height.
TEST(PlotInteraction, LevelCorrection) {
  struct Case {
    const char* name;
    int cursor;
    int releasePoint;
    double releaseT;
    double shift;
  };
  const Case cases[] = {
      // Point 100 (T 0.30) to row B - 120 (0.60): +0.30 everywhere.
      {"cursor on the first point", 0, 100, 0.60, 0.30},
      // Point 300 (T 0.40) to row B - 20 (0.10): -0.30 everywhere.
      {"cursor on the last point", 360, 300, 0.10, -0.30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShownPlot p(RisingOrdinates(), true);
    p.view.CursorIndex = c.cursor;
    p.Repaint();
    // The cursor on the first or last point stands on the frame: no line.
    EXPECT_EQ(p.surface.Take(), "repaint");
    const std::vector<float> t = p.Ordinates();

    const int x = Column(c.releasePoint);
    p.Tools().MouseDown(MouseButton::kRight, x, kBottom - 40);
    EXPECT_TRUE(p.view.BaselineDragging);
    EXPECT_FALSE(p.view.CursorDragging);
    // The feedback line: L + 1 .. R - 2 inverted on the mouse's row.
    EXPECT_EQ(p.surface.Take(), LevelLine(kBottom - 40));
    p.Tools().MouseMove(x + 1, Row(c.releaseT));
    EXPECT_EQ(p.surface.Take(), LevelLine(kBottom - 40) + ", " + LevelLine(Row(c.releaseT)));

    p.Tools().MouseUp(MouseButton::kRight, x, Row(c.releaseT));
    EXPECT_FALSE(p.view.BaselineDragging);
    EXPECT_TRUE(p.corrected);
    const std::vector<float> after = p.Ordinates();
    for (int j : {0, 100, 200, 300, 360}) EXPECT_NEAR(after[j], t[j] + c.shift, kTol) << j;
    EXPECT_NEAR(after[c.releasePoint], c.releaseT, kTol);
    // The feedback line taken away, then the picture drawn afresh.
    EXPECT_EQ(p.surface.Take(), LevelLine(Row(c.releaseT)) + ", repaint");
  }
}

// With the cursor on point 100 (column L + 100, T 0.30, anchor row B - 60)
// the right drag tilts one side about the cursor point.
//   end row e = (B - 60) - ((B - 60 - y) x (L + 100 - endX)) / (L + 100 - x)
// clamped to the frame; its transmittance tEnd = (B - e) / 200; the end
// point of that side comes to tEnd, the correction falls off linearly to 0
// at the cursor point.
TEST(PlotInteraction, TiltCorrection) {
  struct Case {
    const char* name;
    int x;   // from PlotLeft
    int dy;  // above B
    bool leftSide;
    double tEnd;
  };
  const Case cases[] = {
      // Through (L + 50, B - 80): e = B - 60 - (20 x 100) / 50 = B - 100.
      {"left", 50, 80, true, 0.50},
      // At the frame edge the end row is the mouse's row: B - 20.
      {"right edge", 520, 20, false, 0.10},
      // On the anchor column one row up: x becomes L + 99 (left side),
      // e = B - 60 - (1 x 100) / 1 = B - 160.
      {"on the anchor", 100, 61, true, 0.80},
      // Two rows up: e = B - 260, above the top: clamped to B - 200.
      {"on the anchor, clamped to the top", 100, 62, true, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShownPlot p(RisingOrdinates(), true);
    const int y = kBottom - c.dy;
    p.Tools().MouseDown(MouseButton::kLeft, Column(100), kBottom - 50);
    p.Tools().MouseUp(MouseButton::kLeft, Column(100), kBottom - 50);
    EXPECT_EQ(p.view.CursorIndex, 100);
    const std::vector<float> t = p.Ordinates();
    p.surface.Take();

    p.Tools().MouseDown(MouseButton::kRight, kLeft + c.x, y);
    EXPECT_TRUE(p.view.BaselineDragging);
    EXPECT_EQ(p.view.BaselineAnchorX, kLeft + 100);
    EXPECT_EQ(p.view.BaselineAnchorY, kBottom - 60);
    const int endX = c.leftSide ? kLeft : kRight;
    EXPECT_EQ(p.view.BaselineEndX, endX);
    EXPECT_EQ(p.view.BaselineEndY, Row(c.tEnd));
    // The segment is shown.
    EXPECT_EQ(p.surface.Take(), Segment(kLeft + 100, kBottom - 60, endX, Row(c.tEnd)));
    p.Tools().MouseUp(MouseButton::kRight, kLeft + c.x, y);

    const std::vector<float> after = p.Ordinates();
    const int end = c.leftSide ? 0 : 360;
    const int mid = c.leftSide ? 50 : 230;  // halfway from the cursor point to the end
    const int untouched = c.leftSide ? 300 : 20;
    EXPECT_NEAR(after[end], c.tEnd, kTol);
    EXPECT_NEAR(after[100], t[100], kTol);
    EXPECT_NEAR(after[mid], t[mid] + (c.tEnd - t[end]) / 2, kTol);
    EXPECT_EQ(after[untouched], t[untouched]);
  }
}

// While dragging, the segment from the cursor point follows the mouse:
// moving away and back leaves the picture as it was.
TEST(PlotInteraction, TiltFeedbackFollowsTheMouse) {
  ShownPlot p(RisingOrdinates(), true);
  p.Tools().MouseDown(MouseButton::kLeft, Column(100), kBottom - 50);
  p.Tools().MouseUp(MouseButton::kLeft, Column(100), kBottom - 50);
  p.surface.Take();
  // The anchor at (L + 100, B - 60); through (L + 50, B - 80) the far end
  // lies at (L, B - 100).
  const std::string first = Segment(130, 155, kLeft, 115);
  p.Tools().MouseDown(MouseButton::kRight, kLeft + 50, kBottom - 80);
  EXPECT_EQ(p.surface.Take(), first);
  // Through (L + 300, B - 120) to the right edge:
  // e = 155 - (60 x -420) / -200 = 29.
  const std::string moved = Segment(130, 155, kRight, 29);
  p.Tools().MouseMove(kLeft + 300, kBottom - 120);
  EXPECT_EQ(p.surface.Take(), first + ", " + moved);
  p.Tools().MouseMove(kLeft + 50, kBottom - 80);
  EXPECT_EQ(p.surface.Take(), moved + ", " + first);
}

// ---------------------------------------------------------------------------
// Band jumps

TEST(PlotInteraction, BandJumps) {
  struct Case {
    const char* buttons;  // R = "peak >", L = "< peak"
    std::vector<int> indices;
  };
  const Case cases[] = {
      {"RRRR", {100, 250, 360, 360}},
      {"RRLLL", {100, 250, 100, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.buttons);
    ShownPlot p(TwoBands());
    for (size_t i = 0; i < c.indices.size(); ++i) {
      p.Tools().JumpToPeak(c.buttons[i] == 'R' ? PeakDirection::kRight : PeakDirection::kLeft);
      EXPECT_EQ(p.view.CursorIndex, c.indices[i]);
      EXPECT_EQ(p.view.CursorPx, Column(c.indices[i]));
    }
  }
}

TEST(PlotInteraction, BandJumpReadOutAndLine) {
  ShownPlot p(TwoBands());
  p.Tools().JumpToPeak(PeakDirection::kRight);
  EXPECT_EQ(p.status[1], "cm-1: 3000.0   %T: 50.00");
  EXPECT_EQ(p.surface.Take(), CursorLine(Column(100)));
  p.Tools().JumpToPeak(PeakDirection::kRight);
  EXPECT_EQ(p.status[1], "cm-1: 1500.0   %T: 50.00");
  EXPECT_EQ(p.surface.Take(), CursorLine(Column(100)) + ", " + CursorLine(Column(250)));
  p.Tools().JumpToPeak(PeakDirection::kRight);  // no band left: the right end, on the frame
  EXPECT_EQ(p.status[1], "cm-1: 400.0   %T: 90.00");
  EXPECT_EQ(p.surface.Take(), CursorLine(Column(250)));
}

// ---------------------------------------------------------------------------
// Zoom

// A Shift + left drag from column `down` to `up`: the two ends are shown as
// inverted lines while the mouse moves, and taken away on release.
TEST(PlotInteraction, ZoomBoxShowsTheRangeDragged) {
  struct Case {
    const char* name;
    int down, up;
    int first, last;  // last < 0: nothing zoomed
  } cases[] = {
      {"left to right", Column(100), Column(300), 100, 300},
      {"right to left", Column(300), Column(100), 100, 300},
      // The far end stays on the right frame line, the last point.
      {"past the right edge", Column(300), kRight + 50, 300, 360},
      {"four points", Column(100), Column(103), 100, 103},
      // Fewer points than kMinZoomPoints: a click, not a range.
      {"three points", Column(100), Column(102), 0, -1},
      {"a click", Column(100), Column(100), 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShownPlot p;
    p.Tools().ZoomDown(c.down, kBottom - 50);
    EXPECT_TRUE(p.view.ZoomDragging);
    p.Tools().ZoomUp(c.up);
    EXPECT_FALSE(p.view.ZoomDragging);
    EXPECT_EQ(p.view.ZoomFirst, c.first);
    EXPECT_EQ(p.view.ZoomLast, c.last);
    const bool zoomed = c.last >= 0;
    EXPECT_EQ(p.view.Zoomed(), zoomed);
    const std::string log = p.surface.Take();
    EXPECT_EQ(log.find("repaint") != std::string::npos, zoomed) << log;
    if (!zoomed) continue;
    // The cursor stands on the first point shown, at the left frame line.
    EXPECT_EQ(p.view.CursorIndex, c.first);
    EXPECT_EQ(p.view.CursorPx, kLeft);
    const PlotFrame f = PlotFrame::FromViewState(p.view, p.spectrum);
    EXPECT_EQ(f.XToColumn(p.spectrum.PointX(c.first)), kLeft);
    EXPECT_EQ(f.XToColumn(p.spectrum.PointX(c.last)), kRight);
  }
}

TEST(PlotInteraction, ZoomFeedbackLines) {
  ShownPlot p;
  p.Tools().ZoomDown(Column(100), kBottom - 50);
  EXPECT_EQ(p.surface.Take(), CursorLine(Column(100)));
  p.Tools().ZoomMove(Column(150));
  p.Tools().ZoomMove(Column(150));  // no move, no line
  p.Tools().ZoomMove(Column(250));
  EXPECT_EQ(p.surface.Take(), CursorLine(Column(150)) + ", " + CursorLine(Column(150)) + ", " +
                                  CursorLine(Column(250)));
  // Back on the anchor the two lines are one; the release there zooms
  // nothing and leaves the picture as it was.
  p.Tools().ZoomMove(Column(100));
  p.Tools().ZoomUp(Column(100));
  EXPECT_EQ(p.surface.Take(), CursorLine(Column(250)) + ", " + CursorLine(Column(100)));
  EXPECT_FALSE(p.view.Zoomed());

  // A press left of the frame starts no box.
  p.Tools().ZoomDown(kLeft - 5, kBottom - 50);
  EXPECT_FALSE(p.view.ZoomDragging);
  p.Tools().ZoomUp(Column(200));
  EXPECT_EQ(p.surface.Take(), "");
}

// Inside a zoomed range a drag over the whole frame shows the same range,
// the steps stay inside it, and "Whole spectrum" returns.
TEST(PlotInteraction, ZoomedRangeBoundsTheCursor) {
  ShownPlot p;
  p.Tools().ZoomDown(Column(100), kBottom - 50);
  p.Tools().ZoomUp(Column(300));
  p.Tools().ZoomDown(kLeft, kBottom - 50);
  p.Tools().ZoomUp(kRight);
  EXPECT_EQ(p.view.ZoomFirst, 100);
  EXPECT_EQ(p.view.ZoomLast, 300);
  // 3000 .. 1000 on 520 px: 2000 1/cm (point 200) at L + Round(520 / 3).
  p.Tools().ZoomDown(kLeft + 173, kBottom - 50);
  p.Tools().ZoomUp(kRight);
  EXPECT_EQ(p.view.ZoomFirst, 200);
  EXPECT_EQ(p.view.ZoomLast, 300);

  p.Tools().StepLeft();
  EXPECT_EQ(p.view.CursorIndex, 200);
  p.view.CursorIndex = 299;
  p.Tools().StepRight();
  p.Tools().StepRight();
  EXPECT_EQ(p.view.CursorIndex, 300);
  p.Tools().ChooseCursorTool();
  EXPECT_EQ(p.view.CursorIndex, 200);
  EXPECT_EQ(p.status[1], "cm-1: 2000.0   %T: 35.00");

  p.surface.Take();
  p.Tools().ShowWholeSpectrum();
  EXPECT_FALSE(p.view.Zoomed());
  EXPECT_EQ(p.surface.Take().rfind("repaint", 0), 0u);
  p.Tools().ShowWholeSpectrum();  // already whole: nothing to draw
  EXPECT_EQ(p.surface.Take(), "");
}

}  // namespace
}  // namespace tesvar

namespace tesvar {
namespace {

// The edits the tools make are kept for undo, each before it is made: a
// correction, a label placed, a label removed by a right click on it, and
// the labels the cursor tool discards. Moving the cursor is no edit.
TEST(PlotInteraction, EditsAreKeptForUndo) {
  ShownPlot p(RisingOrdinates(), true);
  const std::vector<float> read = p.Ordinates();
  p.Tools().MouseDown(MouseButton::kLeft, Column(50), kBottom - 40);
  p.Tools().MouseUp(MouseButton::kLeft, Column(50), kBottom - 40);
  EXPECT_FALSE(p.history.CanUndo());

  p.view.CursorIndex = 0;
  p.Tools().MouseDown(MouseButton::kRight, Column(100), kBottom - 40);
  p.Tools().MouseUp(MouseButton::kRight, Column(100), Row(0.60));
  const std::vector<float> corrected = p.Ordinates();
  ASSERT_NE(corrected, read);
  LabelList labels;
  p.history.Undo(p.spectrum, labels);
  EXPECT_EQ(p.Ordinates(), read);
  p.history.Redo(p.spectrum, labels);
  EXPECT_EQ(p.Ordinates(), corrected);

  p.Tools().ChooseLabelTool();
  p.surface.Take();
  // Two labels; the right button places the second (text right).
  p.Tools().MouseUp(MouseButton::kLeft, Column(100), Row(0.8));
  p.Tools().MouseUp(MouseButton::kRight, Column(300), Row(0.9));
  ASSERT_EQ(p.view.Labels.Count(), 2);
  p.surface.Take();
  // A right click on the first label's leader takes it away and draws the
  // picture without it.
  const PeakLabel first = p.view.Labels[0];
  const PlotFrame frame = p.Frame();
  p.Tools().MouseUp(MouseButton::kRight, frame.XToColumn(first.X) - 2, frame.TToRow(first.Y));
  ASSERT_EQ(p.view.Labels.Count(), 1);
  EXPECT_NE(p.view.Labels[0].X, first.X);
  EXPECT_EQ(p.surface.Take(), "repaint");

  p.history.Undo(p.spectrum, p.view.Labels);
  EXPECT_EQ(p.view.Labels.Count(), 2);
  p.Tools().ChooseCursorTool();
  EXPECT_TRUE(p.view.Labels.Empty());
  p.history.Undo(p.spectrum, p.view.Labels);
  EXPECT_EQ(p.view.Labels.Count(), 2);
  // Back through both labels to the correction.
  p.history.Undo(p.spectrum, p.view.Labels);
  p.history.Undo(p.spectrum, p.view.Labels);
  EXPECT_TRUE(p.view.Labels.Empty());
  EXPECT_EQ(p.Ordinates(), corrected);
  EXPECT_TRUE(p.history.CanUndo());
}

// What counts as a click on a label: its stem, its leader and its text;
// not the plot beside it. Text height 14 (the default font of the logging
// surface: -12), "1000" 24 wide; LabelUnit 3 (the stem and leader units).
TEST(PlotInteraction, LabelHitBox) {
  ShownPlot p;
  const PlotFrame frame = p.Frame();
  const PeakLabel label{3000, 0.5, 0};  // stem up, text left
  const int c = frame.XToColumn(3000), r = frame.TToRow(0.5);
  const int u = frame.LabelUnit;
  struct Case {
    const char* name;
    int x, y;
    bool hit;
  };
  const Case cases[] = {
      {"the label's point", c, r, true},        {"the stem's end", c, r - u, true},
      {"the leader's end", c - 3 * u, r, true}, {"the text", c - 3 * u - 10, r + 3, true},
      {"right of the stem", c + 2, r, false},   {"below the text", c - 3 * u - 10, r + 10, false},
      {"far left", c - 200, r, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(PeakLabelHit(p.surface, frame, ScreenPlotStyle(), label, k.x, k.y), k.hit);
  }
}

}  // namespace
}  // namespace tesvar
