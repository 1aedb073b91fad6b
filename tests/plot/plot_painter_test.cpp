#include "plot/plot_painter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/spectrum.h"
#include "logging_surface.h"
#include "plot/peak_labels.h"
#include "plot/view_state.h"

namespace tesvar {
namespace {

// Six points 100 1/cm apart from 2200 to 1700. On the 433 x 143 screen the
// frame is 30..430 x 115..15 (see plot_geometry_test), 0.5 px per 1/cm above
// 2000 and 1 px below: columns 30, 80, 130, 230, 330, 430.
Spectrum SmallSpectrum() {
  Spectrum s;
  s.XStart = 2200;
  s.XEnd = 1700;
  s.XStep = 100;
  s.LastIndex = 5;
  const float t[] = {0.5f, 1.2f, -0.1f, NAN, 0.25f, 0.9f};
  for (int i = 0; i <= 5; ++i) s.TransY[i] = t[i];
  s.SetComment("Test");
  s.DataLoaded = s.YConverted = true;
  return s;
}

// The frame of `style` on a surface of the given size; the log starts empty.
PlotFrame FrameFor(test::LoggingSurface& s, const PlotStyle& style, int width, int height) {
  s.SetFont(style.axisFont.name, style.axisFont.height);
  PlotFrame f = PlotFrame::Measure(style.frame, s, width, height, SmallSpectrum());
  s.ops.clear();
  return f;
}

// clang-format off
TEST(PlotPainter, ScreenElements) {
  test::LoggingSurface s;
  PlotStyle style = ScreenPlotStyle();
  PlotFrame f = FrameFor(s, style, 433, 143);

  // Rows 115 - 10 i; verticals at 2000 and every 100 below.
  DrawGrid(s, f, style);
  EXPECT_EQ(s.Take(), "pen 128,128,128, style dot, "
            "move 30 105, line 430 105, move 30 95, line 430 95, move 30 85, line 430 85, "
            "move 30 75, line 430 75, move 30 65, line 430 65, move 30 55, line 430 55, "
            "move 30 45, line 430 45, move 30 35, line 430 35, move 30 25, line 430 25, "
            "move 130 115, line 130 15, move 230 115, line 230 15, move 330 115, line 330 15, "
            "move 430 115, line 430 15, pen 0,0,0, style solid");

  // Ticks 4 px long; texts end 6 px left of the frame, centred (14 div 2).
  DrawTransmittanceAxis(s, f, style);
  EXPECT_EQ(s.Take(),
            "move 26 115, line 30 115, text 18 108 '0', move 26 105, line 30 105, "
            "move 26 95, line 30 95, text 12 88 '20', move 26 85, line 30 85, "
            "move 26 75, line 30 75, text 12 68 '40', move 26 65, line 30 65, "
            "move 26 55, line 30 55, text 12 48 '60', move 26 45, line 30 45, "
            "move 26 35, line 30 35, text 12 28 '80', move 26 25, line 30 25, "
            "move 26 15, line 30 15, text 6 8 '100'");

  // Minor ticks 3, major 5; "2000" centred at 115 + 14 - 7; "cm" ends at
  // the 1800 column (row 115 + 18 - 7) and "-1" starts there 3 px higher.
  DrawWavenumberAxis(s, f, style);
  EXPECT_EQ(s.Take(),
            "move 30 115, line 30 118, move 80 115, line 80 118, "
            "text 118 122 '2000', move 130 115, line 130 120, move 230 115, line 230 118, "
            "text 318 126 'cm', text 330 123 '-1', move 330 115, line 330 118, "
            "move 430 115, line 430 118");

  // "%T": 30 - 12 - 5, 115 + Round(-93) - 7. Title: "Test" is 24 wide in
  // "Arial": 30 + 200 - 12, top 15 - 14 - 2.
  DrawPercentUnit(s, f, style);
  DrawTitle(s, f, style, "Test");
  EXPECT_EQ(s.Take(), "text 13 15 '%T', font Arial -12, text 218 -1 'Test', font Arial Narrow -12");

  // 1.2 is drawn on the top line, -0.1 and NaN on the bottom.
  Spectrum sp = SmallSpectrum();
  DrawTrace(s, f, sp.TransY.data(), sp.LastIndex);
  DrawFrame(s, f);
  EXPECT_EQ(s.Take(),
            "move 30 65, line 80 15, line 130 115, line 230 115, line 330 90, line 430 25, "
            "move 30 115, line 430 115, line 430 15, line 30 15, line 30 115");
}

TEST(PlotPainter, PeakLabelShapes) {
  // A label at 1900 1/cm (column 230), LabelUnit 3: stem 3, leader 9; the
  // text "1900.0" is 36 wide and 14 high.
  struct Case {
    const char* name;
    PlotStyle style;
    uint8_t kind;
    double y;
    const char* ops;
  } cases[] = {
    {"screen 0", ScreenPlotStyle(), 0, 0.5,
     "move 230 62, line 230 65, line 221 65, text 183 58 '1900.0'"},
    {"screen 1", ScreenPlotStyle(), 1, 0.5,
     "move 230 62, line 230 65, line 239 65, text 241 58 '1900.0'"},
    {"screen 3, above the frame (row -35)", ScreenPlotStyle(), 3, 1.5,
     "move 230 -32, line 230 -35, line 239 -35, text 241 -42 '1900.0'"},
    // The metafile writes the text first, then leader and stem apart.
    {"metafile 0", MetafilePlotStyle(96), 0, 0.5,
     "text 183 58 '1900.0', move 230 65, line 221 65, move 230 62, line 230 65"},
    {"metafile 3", MetafilePlotStyle(96), 3, 0.5,
     "text 241 58 '1900.0', move 230 65, line 239 65, move 230 68, line 230 65"},
    // The printout leaves 4 px between leader and text.
    {"print 0", PrintPlotStyle(2200), 0, 0.5,
     "move 230 62, line 230 65, line 221 65, text 181 58 '1900.0'"},
    {"print 1", PrintPlotStyle(2200), 1, 0.5,
     "move 230 62, line 230 65, line 239 65, text 243 58 '1900.0'"},
  };
  for (const Case& c : cases) {
    test::LoggingSurface s;
    PlotFrame f = FrameFor(s, ScreenPlotStyle(), 433, 143);
    DrawPeakLabel(s, f, c.style, c.kind, 1900, c.y);
    EXPECT_EQ(s.Take(), c.ops) << c.name;
  }
}

TEST(PlotPainter, MetafileAndPrintElements) {
  struct Case {
    const char* name;
    PlotStyle style;
    int width, height;
    const char* wavenumberAxis;
    const char* firstTwoTransmittanceTicks;
    const char* unitAndTitle;
  } cases[] = {
    // Metafile, 19 px font (9 wide, 21 high) on 860 x 768: L 54, B 704,
    // FH -682, FW 800 (1 px per 1/cm above 2000, 2 below). Ticks 5 and 9;
    // rows B + 24 (numbers), B + 40 ("cm"), B + 30 ("-1"), less 21 div 2.
    // Ordinate texts end 8 px left of the frame and come before their ticks;
    // row 1 is 704 + Round(-68.2). "%T" at 54 - 18 - 6, 704 + Round(-634.26)
    // - 10; title 36 wide at 54 + 400 - 18, 22 - 21 - 2.
    {"metafile", MetafilePlotStyle(96), 860, 768,
     "move 54 704, line 54 709, move 154 704, line 154 709, "
     "text 236 718 '2000', move 254 704, line 254 713, move 454 704, line 454 709, "
     "text 636 734 'cm', text 654 724 '-1', move 654 704, line 654 709, "
     "move 854 704, line 854 709",
     "text 37 694 '0', move 50 704, line 54 704, move 50 636, line 54 636",
     "text 30 60 '%T', text 436 -1 'Test'"},
    // Print, 2200 wide: main font 22 pt -> -29 (14 wide, 31 high), small
    // 15 pt -> -20 (10 wide, 22 high); left 84, bottom 1038, top 132, width
    // 2075, u = 10. Columns 84 + Round(2.59375 (2200 - w)) above 2000 and
    // 84 + Round(518.75 + 5.1875 (2000 - w)) below; 1900 falls on 1037.5 ->
    // 1038. Ticks 7 and 10; rows bottom + 3u, 4u ("cm"), 3u ("-1", small).
    // Ordinate ticks start a blank (14) left of the frame; the text "0" ends
    // where "00" would; row 1 is 1038 + Round(-90.6). "%T" at
    // 84 - width("%T0"), 1038 + Round(-842.58) - 15; the title, 56 wide, at
    // 84 + Round(1037.5) - 28, 132 - 31 - 8.
    {"print", PrintPlotStyle(2200), 2200, 1100,
     "move 84 1038, line 84 1045, move 343 1038, line 343 1045, "
     "text 575 1053 '2000', move 603 1038, line 603 1048, move 1122 1038, line 1122 1045, "
     "text 1612 1063 'cm', font Arial Narrow -20, text 1640 1057 '-1', font Arial Narrow -29, "
     "move 1640 1038, line 1640 1045, move 2159 1038, line 2159 1045",
     "move 70 1038, line 84 1038, text 56 1023 '0', move 70 947, line 84 947",
     "text 42 180 '%T', text 1094 93 'Test'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::LoggingSurface s;
    PlotFrame f = FrameFor(s, c.style, c.width, c.height);
    DrawWavenumberAxis(s, f, c.style);
    EXPECT_EQ(s.Take(), c.wavenumberAxis);
    DrawTransmittanceAxis(s, f, c.style);
    s.ops.resize(5);
    EXPECT_EQ(s.Take(), c.firstTwoTransmittanceTicks);
    DrawPercentUnit(s, f, c.style);
    DrawTitle(s, f, c.style, "Test");
    EXPECT_EQ(s.Take(), c.unitAndTitle);
  }
}
// clang-format on

TEST(PlotPainter, LabelFontOnlyWhenThereAreLabels) {
  test::LoggingSurface s;
  PlotStyle style = MetafilePlotStyle(96);  // 14 pt -> -19, 10 pt -> -13
  PlotFrame f = FrameFor(s, style, 860, 768);
  LabelList labels;
  DrawPeakLabels(s, f, style, labels);
  EXPECT_TRUE(s.ops.empty());
  labels.Insert({1900, 0.5, 0});
  labels.Insert({2100, 0.5, 1});
  DrawPeakLabels(s, f, style, labels);
  ASSERT_EQ(s.ops.size(), 12u);
  EXPECT_EQ(s.ops.front(), "font Arial Narrow -13");
  // List order: 2100 first, at column 154 and row 704 - 341, its text in the
  // 13 px font (36 wide, 15 high) at 154 + 9 + 2, 363 - 7.
  EXPECT_EQ(s.ops[1], "text 165 356 '2100.0'");
  EXPECT_EQ(s.ops.back(), "font Arial Narrow -19");
}

// The position of the first op containing `part`, or -1.
int Where(const test::LoggingSurface& s, const std::string& part) {
  for (std::size_t i = 0; i < s.ops.size(); ++i) {
    if (s.ops[i].find(part) != std::string::npos) return static_cast<int>(i);
  }
  return -1;
}

TEST(PlotPainter, EachRendererDrawsInItsOwnOrder) {
  Spectrum sp = SmallSpectrum();
  LabelList labels;
  labels.Insert({1900, 0.5, 0});
  enum { kGrid, kLabel, kPercent, kTitle, kTrace, kTAxis, kWAxis, kCount };
  struct Case {
    const char* name;
    std::vector<int> order;
  } cases[] = {
      {"screen", {kGrid, kLabel, kPercent, kTitle, kTrace, kTAxis, kWAxis}},
      {"metafile", {kGrid, kLabel, kPercent, kTitle, kTAxis, kWAxis, kTrace}},
      {"print", {kPercent, kTitle, kGrid, kTrace, kLabel, kTAxis, kWAxis}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::LoggingSurface s;
    const std::string name = c.name;
    auto draw = [&]() -> PlotFrame {
      if (name == "metafile") return DrawMetafilePlot(s, 860, 768, 96, sp, true, labels);
      if (name == "print") return DrawPrintPlot(s, 2200, 1100, sp, true, labels);
      ViewState view;
      view.SpectrumShown = true;
      view.GridOn = true;
      view.ToolMode = kLabelTool;
      view.Labels = labels;
      return *PaintScreenPlot(s, 433, 143, sp, view);
    };
    const PlotFrame f = draw();
    int at[kCount];
    at[kGrid] = Where(s, "style dot");
    at[kLabel] = Where(s, "'1900.0'");
    at[kPercent] = Where(s, "'%T'");
    at[kTitle] = Where(s, "'Test'");
    // The trace's vertex at 1800 1/cm (0.25) lies on no grid line.
    at[kTrace] = Where(
        s, "line " + std::to_string(f.XToColumn(1800)) + " " + std::to_string(f.TToRow(0.25)));
    at[kTAxis] = Where(s, "'100'");
    at[kWAxis] = Where(s, "'2000'");
    for (std::size_t i = 0; i < c.order.size(); ++i) {
      EXPECT_GE(at[c.order[i]], 0) << i;
      if (i > 0) {
        EXPECT_LT(at[c.order[i - 1]], at[c.order[i]]) << i;
      }
    }
    // The frame closes the picture.
    EXPECT_LT(at[c.order.back()], static_cast<int>(s.ops.size()) - 5);
    EXPECT_EQ(s.ops.back(),
              "line " + std::to_string(f.PlotLeft) + " " + std::to_string(f.PlotBottom));
  }
}

TEST(PlotPainter, ScreenPaintStateAndConditions) {
  Spectrum sp = SmallSpectrum();
  ViewState view;
  test::LoggingSurface s;
  view.SpectrumShown = false;
  EXPECT_FALSE(PaintScreenPlot(s, 433, 143, sp, view).has_value());
  EXPECT_TRUE(s.ops.empty());

  // A record with raw ordinates only is converted once, when it is put in
  // place, not by the paint: 2^21 / (2^22 / 100 x 100). The title is the
  // first 50 bytes of the comment.
  view.SpectrumShown = true;
  sp.YConverted = false;
  sp.YScale = 41943.04;
  sp.RawY[0] = 2097152;
  sp.Comment = std::string(60, 'c');
  Spectrum shown;
  Spectrum::Replace(shown, std::move(sp));
  EXPECT_FLOAT_EQ(shown.TransY[0], 0.5f);
  EXPECT_TRUE(shown.YConverted);
  EXPECT_EQ(shown.ShortComment, std::string(50, 'c'));
  view.Labels.Insert({1900, 0.5, 0});  // cursor tool: not drawn
  ASSERT_TRUE(PaintScreenPlot(s, 433, 143, shown, view).has_value());
  EXPECT_NE(Where(s, "'" + std::string(50, 'c') + "'"), -1);
  EXPECT_EQ(view.PlotLeft, 30);
  EXPECT_EQ(view.PlotBottom, 115);
  EXPECT_EQ(view.PlotWidth, 400);
  EXPECT_EQ(view.LabelUnit, 3);
  EXPECT_EQ(Where(s, "'1900.0'"), -1);
  EXPECT_EQ(Where(s, "style dot"), -1);
  s.ops.resize(4);
  EXPECT_EQ(s.Take(), "pen 0,0,0, style solid, mode copy, font Arial Narrow -12");
}

// Zoomed to points 1 .. 4 (2100 to 1800 1/cm) with the ordinate fitted to
// them: -10 to 120 %T (1.2 and -0.1 among them, NaN left out), 0.8 px per
// 1/cm above 2000 and 1.6 below.
TEST(PlotPainter, ScreenPaintOfAZoomedRangeWithFittedOrdinate) {
  Spectrum sp = SmallSpectrum();
  ViewState view;
  view.SpectrumShown = true;
  view.ToolMode = kLabelTool;
  view.Labels.Insert({1900, 0.5, 0});
  view.Labels.Insert({2200, 0.5, 0});  // outside the shown range
  view.ZoomFirst = 1;
  view.ZoomLast = 4;
  view.FitOrdinate = true;
  test::LoggingSurface s;
  ASSERT_TRUE(PaintScreenPlot(s, 433, 143, sp, view).has_value());
  EXPECT_TRUE(view.OrdinateFitted);
  EXPECT_NEAR(view.ShownOrdinate.low, -10, 1e-9);
  EXPECT_NEAR(view.ShownOrdinate.high, 120, 1e-9);
  // 1.2 on the top edge, -0.1 and NaN on the bottom, 0.25 at
  // 115 - Round(100 x 35 / 130).
  EXPECT_NE(Where(s, "move 30 15"), -1);
  const int trace = Where(s, "move 30 15");
  ASSERT_LT(trace + 3, static_cast<int>(s.ops.size()));
  EXPECT_EQ(s.ops[trace + 1], "line 110 115");
  EXPECT_EQ(s.ops[trace + 2], "line 270 115");
  EXPECT_EQ(s.ops[trace + 3], "line 430 88");
  EXPECT_NE(Where(s, "'1900.0'"), -1);
  EXPECT_EQ(Where(s, "'2200.0'"), -1);
  // The %T numbers of the fitted axis: every 20 from 0 to 120, none at the
  // bottom tick, -10.
  for (const char* text : {"'0'", "'20'", "'100'", "'120'"}) EXPECT_NE(Where(s, text), -1) << text;
  EXPECT_EQ(Where(s, "'-10'"), -1);

  // Back to the whole spectrum and the fixed axis.
  view.ShowWholeSpectrum();
  view.FitOrdinate = false;
  s.ops.clear();
  ASSERT_TRUE(PaintScreenPlot(s, 433, 143, sp, view).has_value());
  EXPECT_FALSE(view.OrdinateFitted);
  EXPECT_NE(Where(s, "'2200.0'"), -1);
  EXPECT_EQ(Where(s, "'120'"), -1);
  EXPECT_NE(Where(s, "move 30 65"), -1);  // 0.5 at 2200 on the left edge
}

TEST(PlotPainter, PrintSizesAndFonts) {
  struct Case {
    int printable, width, height, mainHeight, smallHeight;
  } cases[] = {
      // 22 pt and 15 pt at 96 dpi: -MulDiv(22, 96, 72) = -29, 15 pt = -20.
      {2400, 2200, 1100, -29, -20},
      // A4 at 600 dpi: 47 pt -> -63, 34 pt -> -45.
      {4960, 4760, 2380, -63, -45},
  };
  for (const Case& c : cases) {
    PrintBitmapSize size = PrintBitmapForPage(c.printable);
    EXPECT_EQ(size.width, c.width);
    EXPECT_EQ(size.height, c.height);
    PlotStyle style = PrintPlotStyle(size.width);
    EXPECT_EQ(style.axisFont.height, c.mainHeight);
    EXPECT_EQ(style.labelFont->height, c.smallHeight);
    EXPECT_EQ(style.exponentFont->height, c.smallHeight);
  }
  // Without labels the small font appears only for the "-1".
  test::LoggingSurface s;
  DrawPrintPlot(s, 2200, 1100, SmallSpectrum(), false, LabelList{});
  int small = 0;
  for (const std::string& op : s.ops) small += op == "font Arial Narrow -20";
  EXPECT_EQ(small, 1);
}

}  // namespace
}  // namespace tesvar
