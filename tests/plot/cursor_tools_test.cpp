#include "plot/cursor_tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "core/spectrum.h"
#include "plot/view_state.h"

namespace tesvar {
namespace {

// The frame used throughout, worked out by hand from the screen rules with
// "00000" 30 px wide and "0" 14 px high on a 553 x 143 surface:
//   PlotLeft 30, PlotWidth 553 - 3 - 30 = 520 (right edge 550),
//   PlotBottom 143 - 28 = 115, top 14 + 1 = 15, PlotYScale -100.
// For 4000 .. 400 1/cm the span is 2000 + 2 x 1600 = 5200, so one 1/cm takes
// 0.1 px above 2000 and 0.2 px below; 2000 lies at column 30 + 200 = 230.
//   column -> wavenumber: rel <= 200: 4000 - 10 rel; beyond: 3000 - 5 rel
//   row -> transmittance: (115 - row) / 100
constexpr int kLeft = 30, kRight = 550, kBottom = 115, kTop = 15;

// 361 points 10 1/cm apart: point i lies at column 30 + i up to 2000 1/cm
// (i = 200) and at 2i - 170 below.
Spectrum Spectrum361(float level = 0.9f) {
  Spectrum s;
  s.XStart = 4000;
  s.XEnd = 400;
  s.XStep = 10;
  s.LastIndex = 360;
  for (int i = 0; i <= 360; ++i) s.TransY[i] = level;
  s.DataLoaded = s.YConverted = true;
  return s;
}

PlotFrame Frame(const Spectrum& s) {
  FrameMetrics m;
  m.leftTextWidth = 30;
  m.zeroHeight = 14;
  m.zeroWidth = 6;
  return PlotFrame::Layout(ScreenFrameRules(), m, 553, 143, s.XStart, s.XEnd, s.XStep);
}

ViewState View(const Spectrum& s) {
  ViewState v;
  Frame(s).CopyTo(v);
  return v;
}

TEST(CursorTools, FrameOfTheseTests) {
  Spectrum s = Spectrum361();
  PlotFrame f = Frame(s);
  EXPECT_EQ(f.PlotLeft, kLeft);
  EXPECT_EQ(f.PlotRight(), kRight);
  EXPECT_EQ(f.PlotBottom, kBottom);
  EXPECT_EQ(f.PlotTop(), kTop);
  EXPECT_EQ(f.XToColumn(2000), 230);
}

TEST(CursorTools, VisibleInsideAndInRange) {
  Spectrum s = Spectrum361();
  ViewState v = View(s);
  // A scroll box 540 px wide scrolled to 100 shows hp <= x + 1 < hp + 540.
  const ScrollWindow scrolled{100, 540};
  struct Case {
    int x, y;
    bool visible, inside, inRange, strictly;
  };
  const Case cases[] = {
      {98, 50, false, false, false, false},   // x + 1 = 99 left of hp
      {99, 50, true, true, false, false},     // x + 1 = hp
      {638, 50, true, true, false, false},    // x + 1 = 639, last visible
      {639, 50, false, false, false, false},  // x + 1 = hp + width
      {200, kTop, true, true, true, true},    // top row counts
      {200, kTop - 1, true, false, true, true},
      {200, kBottom, true, true, true, true},  // bottom row counts
      {200, kBottom + 1, true, false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x " << c.x << " y " << c.y);
    EXPECT_EQ(IsVisibleColumn(c.x, scrolled), c.visible);
    EXPECT_EQ(IsInsidePlot(c.x, c.y, v, scrolled), c.inside);
  }
  const ScrollWindow unscrolled{0, 600};
  // clang-format off
  const Case edges[] = {
      {kLeft - 1, 50, true, true, false, false},
      {kLeft, 50, true, true, true, false},
      {kLeft + 1, 50, true, true, true, true},
      {kRight - 1, 50, true, true, true, true},
      {kRight, 50, true, true, true, false},
      {kRight + 1, 50, true, true, false, false},
  };
  // clang-format on
  for (const Case& c : edges) {
    SCOPED_TRACE(testing::Message() << "x " << c.x);
    EXPECT_EQ(IsInsidePlot(c.x, c.y, v, unscrolled), c.inside);
    EXPECT_EQ(InFrameRange(c.x, v), c.inRange);
    EXPECT_EQ(StrictlyInsideFrame(c.x, v), c.strictly);
  }
  EXPECT_FALSE(StrictlyBetweenFrameRows(kTop, v));
  EXPECT_TRUE(StrictlyBetweenFrameRows(kTop + 1, v));
  EXPECT_TRUE(StrictlyBetweenFrameRows(kBottom - 1, v));
  EXPECT_FALSE(StrictlyBetweenFrameRows(kBottom, v));
}

TEST(CursorTools, IndexNearWavenumberClamps) {
  Spectrum s = Spectrum361();
  PlotFrame f = Frame(s);
  struct Case {
    double x;
    int index;
  };
  const Case cases[] = {
      {4000, 0},   {4100, 0},     // left of the first point
      {3000, 100}, {1495, 250},   // (4000 - 1495) / 10 = 250.5: ties to even
      {1485, 252},                // 251.5
      {400, 360},  {-1000, 360},  // right of the last point
  };
  for (const Case& c : cases) EXPECT_EQ(IndexNearWavenumber(f, s, c.x), c.index) << c.x;
}

TEST(CursorTools, ReadOut) {
  struct Case {
    double cursorX, t;
    const char* text;
  };
  const Case cases[] = {
      {1715.3, 0.12074, "cm-1: 1715.3   %T: 12.07"},
      {4000, 1.0, "cm-1: 4000.0   %T: 100.00"},
      {400, 0.0, "cm-1: 400.0   %T: 0.00"},
      {5, 0.05, "cm-1:  5.0   %T: 5.00"},          // at least 4 characters for x
      {3000, -0.001, "cm-1: 3000.0   %T: -0.10"},  // a baseline can push T below 0
      {3000, 0.123449, "cm-1: 3000.0   %T: 12.34"},
      {3000, 0.12345, "cm-1: 3000.0   %T: 12.35"},  // halves away from zero
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CursorStatusText(c.cursorX, CursorPercentText(c.t)), c.text);
  }
}

// The cursor on point 100 (column 130) over T = 0.5 puts the anchor at
// (130, 115 - 50) = (130, 65). The end lies on the left edge (30) for a mouse
// at or left of 130, else on the right edge (550), at
//   e = 65 - ((65 - y) x (130 - endX)) / (130 - x), rounded, clamped 15..115.
TEST(CursorTools, ComputeBaseline) {
  Spectrum s = Spectrum361(0.5f);
  ViewState v = View(s);
  v.CursorIndex = 100;
  v.CursorPx = 130;
  struct Case {
    const char* name;
    int x, y;
    int endX, endY, usedX;
  };
  const Case cases[] = {
      // 65 - (-10 x 100) / 50 = 85
      {"left", 80, 75, kLeft, 85, 80},
      // 65 - (10 x -420) / -210 = 45
      {"right", 340, 55, kRight, 45, 340},
      // 65 - (-1 x 100) / 70 = 66.43 -> 66
      {"rounded", 60, 66, kLeft, 66, 60},
      // 65 - (-1 x 100) / 40 = 67.5 -> 68 (ties to even)
      {"tie up", 90, 66, kLeft, 68, 90},
      // 65 - (1 x -420) / -840 = 64.5 -> 64
      {"tie down", 970, 64, kRight, 64, 970},
      // on the anchor column x becomes 129: 65 - (1 x 100) / 1 = -35 -> top
      {"on anchor, above", 130, 64, kLeft, kTop, 129},
      // 65 - (-1 x 100) / 1 = 165 -> bottom
      {"on anchor, below", 130, 66, kLeft, kBottom, 129},
      // through the mouse to the left edge: the mouse's own row
      {"at left edge", kLeft, 40, kLeft, 40, kLeft},
      {"at right edge", kRight, 100, kRight, 100, kRight},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewState w = v;
    EXPECT_EQ(ComputeBaseline(w, s, c.x, c.y), c.usedX);
    EXPECT_EQ(w.BaselineAnchorX, 130);
    EXPECT_EQ(w.BaselineAnchorY, 65);
    EXPECT_EQ(w.BaselineEndX, c.endX);
    EXPECT_EQ(w.BaselineEndY, c.endY);
  }
}

// An absurd ordinate under the cursor puts the anchor 10^8 px away; the
// line's arithmetic must not wrap around 32 bits.
TEST(CursorTools, ComputeBaselineFarAnchorDoesNotOverflow) {
  Spectrum s = Spectrum361(0.5f);
  s.TransY[100] = 1e6f;
  ViewState v = View(s);
  v.CursorIndex = 100;
  v.CursorPx = 130;
  ComputeBaseline(v, s, 80, 65);
  // Anchor row 115 - 10^8; e = anchor - (anchor - 65) x 100 / 50, far below.
  EXPECT_EQ(v.BaselineAnchorY, 115 - 100000000);
  EXPECT_EQ(v.BaselineEndY, kBottom);
}

// T[j] = 0.5 + j / 1024 (exact in float).
Spectrum Sloped() {
  Spectrum s = Spectrum361();
  for (int j = 0; j <= 360; ++j) s.TransY[j] = 0.5f + static_cast<float>(j) / 1024;
  return s;
}

double Sloped(int j) { return 0.5 + j / 1024.0; }

TEST(CursorTools, ShiftBaselineMovesThePointUnderTheColumn) {
  struct Case {
    const char* name;
    int x, y;
    int point;  // the point that lands on the release height
  };
  const Case cases[] = {
      {"inside", 130, 45, 100},  // column 130: point 100; row 45: T 0.7
      // 2000 1/cm at 230 and 5 1/cm per column below: 3000 - 5 x 301
      // = 1495, point 250.5 -> 250
      {"tie", kLeft + 301, 45, 250},
      {"left of the frame", 10, 45, 0},  // 4200 1/cm, index -20 -> 0
      {"right of the frame", 560, 45, 360},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Spectrum s = Sloped();
    s.TransY[361] = 0.125f;  // the spare slot beyond LastIndex
    ShiftBaseline(s, Frame(s), c.x, c.y);
    // Every point moves by the same amount.
    for (int j : {0, c.point, 360}) {
      EXPECT_NEAR(s.TransY[j], 0.7 + (j - c.point) / 1024.0, 1e-6) << j;
    }
    EXPECT_EQ(s.TransY[361], 0.125f);
  }
}

TEST(CursorTools, ShiftsAddUp) {
  Spectrum s = Sloped();
  PlotFrame f = Frame(s);
  ShiftBaseline(s, f, 130, 45);  // point 100 to 0.7
  ShiftBaseline(s, f, 30, 95);   // point 0 to 0.2
  EXPECT_NEAR(s.TransY[0], 0.2, 1e-6);
  EXPECT_NEAR(s.TransY[100], 0.2 + 100 / 1024.0, 1e-6);
}

// Cursor on point 100 (column 130), T 0.59765625, anchor row 115 - 60 = 55.
TEST(CursorTools, TiltBaseline) {
  struct Case {
    const char* name;
    int x, y;
    double tEnd;  // the transmittance of the end row
    bool left;
  };
  const Case cases[] = {
      // at the left edge the end row is the mouse's row: 45 -> 0.7
      {"left", kLeft, 45, 0.7, true},
      {"right", kRight, 95, 0.2, false},
      // on the anchor column, one row above: x 129, e = 55 - 100 -> top
      {"on anchor", 130, 54, 1.0, true},
      {"clamped to bottom", 131, 56, 0.0, false},  // e = 55 + 420 -> 115
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Spectrum s = Sloped();
    ViewState v = View(s);
    v.CursorIndex = 100;
    v.CursorPx = 130;
    const int used = ComputeBaseline(v, s, c.x, c.y);
    ASSERT_EQ(v.BaselineAnchorY, 55);
    TiltBaseline(s, Frame(s), v, used);
    // The corrected side's end lands on the end height, the cursor point
    // keeps its value, and the correction falls linearly in between.
    const int end = c.left ? 0 : 360;
    const int mid = c.left ? 50 : 230;  // halfway between cursor and end
    const int other = c.left ? 300 : 20;
    EXPECT_NEAR(s.TransY[end], c.tEnd, 1e-6);
    EXPECT_NEAR(s.TransY[100], Sloped(100), 1e-6);
    EXPECT_NEAR(s.TransY[mid], Sloped(mid) + (c.tEnd - Sloped(end)) / 2, 1e-6);
    EXPECT_EQ(s.TransY[other], static_cast<float>(Sloped(other)));
  }
}

// A band at point 100 (column 130) in a flat 0.9: T 0.5 at 99, 0.25 at 100,
// 0.4 at 101, 0.6 at 102. The window spans 3 columns each side, which is
// 3 points here (1 px per point above 2000 1/cm).
Spectrum WithBand() {
  Spectrum s = Spectrum361();
  s.TransY[99] = 0.5f;
  s.TransY[100] = 0.25f;
  s.TransY[101] = 0.4f;
  s.TransY[102] = 0.6f;
  return s;
}

TEST(CursorTools, LabelTakesTheLowestPointNearTheClick) {
  struct Case {
    const char* name;
    int x;
    double wavenumber;
  };
  const Case cases[] = {
      {"on the band", 130, 3000},
      {"3 px right", 133, 3000},  // points 100..106
      {"3 px left", 127, 3000},   // points 94..100
      {"4 px right", 134, 2990},  // points 101..107: 101 is lowest
      // columns 297..303: 1665 1/cm (point 233.5 -> 234) to 1635 (236.5 ->
      // 236); all flat there, so the first, 234, wins
      {"far away", 300, 1660},
  };
  Spectrum s = WithBand();
  PlotFrame f = Frame(s);
  for (const Case& c : cases) {
    std::optional<PeakLabel> l = LabelForClick(s, f, MouseButton::kLeft, c.x, 50);
    ASSERT_TRUE(l) << c.name;
    EXPECT_DOUBLE_EQ(l->X, c.wavenumber) << c.name;
  }
}

TEST(CursorTools, FirstOfEqualMinimaWins) {
  Spectrum s = WithBand();
  s.TransY[102] = 0.25f;
  std::optional<PeakLabel> l = LabelForClick(s, Frame(s), MouseButton::kRight, 133, 50);
  ASSERT_TRUE(l);
  EXPECT_DOUBLE_EQ(l->X, 3000);
}

TEST(CursorTools, LabelKindFromButtonAndHeight) {
  // The band's minimum is 0.25, row 90.
  struct Case {
    MouseButton button;
    int y;
    std::optional<int> kind;
  };
  const Case cases[] = {
      {MouseButton::kLeft, 89, 2},   // above the band: stem down, text left
      {MouseButton::kLeft, 90, 0},   // at its level: stem up
      {MouseButton::kLeft, 100, 0},  // below it
      {MouseButton::kLeft, 130, 0},  // below the frame: kept there, T -0.15
      {MouseButton::kRight, 89, 3},
      {MouseButton::kRight, 90, 1},
      {MouseButton::kMiddle, 89, std::nullopt},
      {MouseButton::kOther, 89, std::nullopt},
  };
  Spectrum s = WithBand();
  for (const Case& c : cases) {
    std::optional<PeakLabel> l = LabelForClick(s, Frame(s), c.button, 130, c.y);
    ASSERT_EQ(l.has_value(), c.kind.has_value()) << c.y;
    if (!l) continue;
    EXPECT_EQ(l->Kind, *c.kind) << c.y;
    EXPECT_DOUBLE_EQ(l->Y, (115 - c.y) / 100.0);
  }
}

TEST(CursorTools, LabelWindowStaysInsideTheSpectrum) {
  struct Case {
    const char* name;
    int x;
    int lowest;  // the point made lowest inside the clamped window
    double wavenumber;
  };
  const Case cases[] = {
      // columns 27..33: points -3..3, clamped to 0..3
      {"left edge", kLeft, 0, 4000},
      // columns 547..553: 415 1/cm (point 358.5 -> 358) to 385 (361.5 -> 362),
      // clamped to 358..360
      {"right edge", kRight, 360, 400},
  };
  for (const Case& c : cases) {
    Spectrum s = Spectrum361();
    s.TransY[c.lowest] = 0.1f;
    // Lower still, but past LastIndex: never looked at.
    s.TransY[361] = 0.0f;
    s.TransY[362] = 0.0f;
    std::optional<PeakLabel> l = LabelForClick(s, Frame(s), MouseButton::kLeft, c.x, 50);
    ASSERT_TRUE(l) << c.name;
    EXPECT_DOUBLE_EQ(l->X, c.wavenumber) << c.name;
  }
}

TEST(CursorTools, LabelWindowOfOnePointSpectrum) {
  Spectrum s = Spectrum361();
  s.LastIndex = 0;
  s.XEnd = 4000;
  s.XStep = 0;
  s.TransY[0] = 0.5f;
  s.TransY[1] = 0.0f;  // not part of the spectrum
  std::optional<PeakLabel> l = LabelForClick(s, Frame(s), MouseButton::kLeft, 40, 50);
  ASSERT_TRUE(l);
  EXPECT_DOUBLE_EQ(l->X, 4000);
  EXPECT_EQ(l->Kind, 2);  // T 0.65 above the point's 0.5
}

TEST(CursorTools, WindowOfUnreadableValuesTakesItsFirstPoint) {
  Spectrum s = Spectrum361();
  for (int i = 90; i <= 110; ++i) s.TransY[i] = NAN;
  std::optional<PeakLabel> l = LabelForClick(s, Frame(s), MouseButton::kLeft, 130, 50);
  ASSERT_TRUE(l);
  EXPECT_DOUBLE_EQ(l->X, 3000 + 30);  // points 97..103: 97
}

}  // namespace
}  // namespace tesvar
