#include "output/hpgl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/text_plot_test_support.h"

namespace tesvar {
namespace {

using test::Labels;
using test::MakeSpectrum;

// Expected plot text is written with '^' for ETX and '\n' for CR LF.
std::string Hp(const std::string& text) { return test::WithCrlf(text, '^'); }

// The curve commands: from the "PU" of point 0 up to the frame.
std::string CurveOf(const std::string& plot) {
  std::size_t start = plot.find("PU 1000,", plot.find("VS10;"));
  std::size_t frame = plot.find("PU 1000,1000;PD 1000,7000;PD 10000,7000;");
  return plot.substr(start, frame - start);
}

// 2600 to 1400 1/cm in steps of 100: W = 600 + 2 x 600 = 1800, so one 1/cm
// takes 5 units above 2000 and 10 below; X(w) = 1000 + 5 (2600 - w) above,
// 4000 + 10 (2000 - w) below. Every tick falls on a whole unit.
Spectrum Spectrum2600To1400() {
  // Odd points (0.99) are never drawn. Y = 1000 + 6000 t: 3/32 gives 1562.5,
  // written 1563 (halves away from zero); 1.5 and -0.3 are clamped.
  return MakeSpectrum(
      2600, 1400,
      {0, 0.99f, 0.09375f, 0.99f, 1.5f, 0.99f, 0.375f, 0.99f, 0.5f, 0.99f, -0.3f, 0.99f, 0.75f});
}

TEST(Hpgl, WholePlotWithGridTitleAndEveryLabelKind) {
  Spectrum s = Spectrum2600To1400();
  s.ShortComment = "PS 1mm";
  // Labels, derived with text width N = 6 ("2345.5"), TX = PX - 150 - 7 x 90
  // on the left and PX + 150 on the right, TY = PY - 60:
  //  kind 0 at 2345.5, t 0.5: PX = 1000 + 5 x 254.5 = 2272.5 -> 2273, PY 4000,
  //    SY 4050, LX 2122.5 -> 2123, TX 1492.5 -> 1493, TY 3940.
  //  kind 2 at 2000, t -7/32: PX 4000, PY = 1000 - 1312.5 = -312.5 -> -313,
  //    SY -362.5 -> -363, LX 3850, TX 3220, TY -372.5 -> -373 (not clamped).
  //  kind 1 at 1750, t 1.1: PX = 4000 + 2500 = 6500, PY 7600, SY 7650,
  //    LX = TX = 6650, TY 7540, text after a blank.
  //  kind 3 at 1400.04: PX = 4000 + 5999.6 -> 10000, t 0: PY 1000, SY 950,
  //    LX = TX = 10149.6 -> 10150, TY 940, text "1400.0".
  LabelList labels =
      Labels({{1750, 1.1, 1}, {2345.5, 0.5, 0}, {1400.04, 0, 3}, {2000, -0.21875, 2}});
  std::string expected =
      Hp("IN;CS0;CA7;TL0,1.0;VS10;LT 1;\n"
         // Horizontal grid lines at 1000 + 600 k.
         "PU 1000,1600;\nPD 10000,1600;\nPU 1000,2200;\nPD 10000,2200;\n"
         "PU 1000,2800;\nPD 10000,2800;\nPU 1000,3400;\nPD 10000,3400;\n"
         "PU 1000,4000;\nPD 10000,4000;\nPU 1000,4600;\nPD 10000,4600;\n"
         "PU 1000,5200;\nPD 10000,5200;\nPU 1000,5800;\nPD 10000,5800;\n"
         "PU 1000,6400;\nPD 10000,6400;\n"
         // Vertical: n = 26 .. 14; above 2000 only 2500 and 2000, below every 100.
         "PU 1500,1000;\nPD 1500,7000;\nPU 4000,1000;\nPD 4000,7000;\n"
         "PU 5000,1000;\nPD 5000,7000;\nPU 6000,1000;\nPD 6000,7000;\n"
         "PU 7000,1000;\nPD 7000,7000;\nPU 8000,1000;\nPD 8000,7000;\n"
         "PU 9000,1000;\nPD 9000,7000;\nPU 10000,1000;\nPD 10000,7000;\n"
         "LT;\n"
         // Point 0 at the edge, then points 2, 4, ..., 12 at X 2000 .. 10000.
         "PU 1000,1000;\n"
         "PD 2000,1563;PD 3000,7000;PD 4000,3250;PD 6000,4000;PD 8000,1000;\n"
         "PD 10000,5500;\n"
         "PU 1000,1000;PD 1000,7000;PD 10000,7000;PD 10000,1000;PD 1000,1000;\n"
         // Ordinate ticks at 1000 + 600 j.
         "PU 1000,1000;PD 950,1000;PD 1000,1000;\nPU 1000,1600;PD 950,1600;PD 1000,1600;\n"
         "PU 1000,2200;PD 950,2200;PD 1000,2200;\nPU 1000,2800;PD 950,2800;PD 1000,2800;\n"
         "PU 1000,3400;PD 950,3400;PD 1000,3400;\nPU 1000,4000;PD 950,4000;PD 1000,4000;\n"
         "PU 1000,4600;PD 950,4600;PD 1000,4600;\nPU 1000,5200;PD 950,5200;PD 1000,5200;\n"
         "PU 1000,5800;PD 950,5800;PD 1000,5800;\nPU 1000,6400;PD 950,6400;PD 1000,6400;\n"
         "PU 1000,7000;PD 950,7000;PD 1000,7000;\n"
         // Ordinate numbers 60 units below their tick, then the unit.
         "PU 520,940;LB  0^\nPU 520,2140;LB 20^\nPU 520,3340;LB 40^\n"
         "PU 520,4540;LB 60^\nPU 520,5740;LB 80^\nPU 520,6940;LB100^\n"
         "PU 600,6670;LB%T^"
         // Abscissa ticks 2600 .. 1400: long (to 920) at 2500, 2000 and 1500.
         "PU 1000,1000;PD 1000,960;PD 1000,1000;\nPU 1500,1000;PD 1500,920;PD 1500,1000;\n"
         "PU 2000,1000;PD 2000,960;PD 2000,1000;\nPU 2500,1000;PD 2500,960;PD 2500,1000;\n"
         "PU 3000,1000;PD 3000,960;PD 3000,1000;\nPU 3500,1000;PD 3500,960;PD 3500,1000;\n"
         "PU 4000,1000;PD 4000,920;PD 4000,1000;\nPU 5000,1000;PD 5000,960;PD 5000,1000;\n"
         "PU 6000,1000;PD 6000,960;PD 6000,1000;\nPU 7000,1000;PD 7000,960;PD 7000,1000;\n"
         "PU 8000,1000;PD 8000,960;PD 8000,1000;\nPU 9000,1000;PD 9000,920;PD 9000,1000;\n"
         "PU 10000,1000;PD 10000,960;PD 10000,1000;\n"
         // Numbers at multiples of 500, moved 230 left; the unit at 1800.
         "PU 1500,720;\nPU 1270,720;\nLB2500^\n"
         "PU 4000,720;\nPU 3770,720;\nLB2000^\n"
         "PU 6000,520;LBcm^CP 0,0.3;LB-1^\n"
         "PU 9000,720;\nPU 8770,720;\nLB1500^\n"
         // Title of 6 bytes: Round(4500 - 337.5) = 4162 (ties to even) + 1000.
         "PU5162,7200;SS;LBPS 1mm^"
         "PU 2273,4050;PD 2273,4000;PD 2123,4000;PU 1493,3940;LB2345.5^\n"
         "PU 4000,-363;PD 4000,-313;PD 3850,-313;PU 3220,-373;LB2000.0^\n"
         "PU 6500,7650;PD 6500,7600;PD 6650,7600;PU 6650,7540;LB 1750.0^\n"
         "PU 10000,950;PD 10000,1000;PD 10150,1000;PU 10150,940;LB 1400.0^\n"
         "PU;");
  EXPECT_EQ(BuildHpgl(s, true, labels), expected);
}

TEST(Hpgl, WorkedExample4000To400) {
  // W = 5200, S1 = 9000/5200, S2 = 18000/5200. X(3500) = 1000 + 500 S1 =
  // 1865.4; X(2000) = 4461.5; X(1000) = 4461.5 + 1000 S2 = 7923.1;
  // X(500) = 9653.8; X(1800) = 4461.5 + 200 S2 = 5153.8.
  Spectrum s = MakeSpectrum(4000, 400, {0.9f, 0.5f});
  std::string plot = BuildHpgl(s, false, LabelList());
  EXPECT_EQ(plot.rfind(Hp("IN;CS0;CA7;TL0,1.0;VS10;PU 1000,6400;\n"), 0), 0u);
  for (const char* line :
       {"PU 1000,1000;PD 1000,920;PD 1000,1000;\n", "PU 1865,1000;PD 1865,920;PD 1865,1000;\n",
        "PU 4462,1000;PD 4462,920;PD 4462,1000;\n", "PU 7923,1000;PD 7923,920;PD 7923,1000;\n",
        "PU 9654,1000;PD 9654,920;PD 9654,1000;\n", "PU 5154,520;LBcm^CP 0,0.3;LB-1^\n",
        "PU 520,940;LB  0^\n", "PU 520,2140;LB 20^\n",
        // 500 is written " 500" and moved by 170 only.
        "PU 9654,720;\nPU 9484,720;\nLB 500^\n", "PU 1865,720;\nPU 1635,720;\nLB3500^\n"}) {
    EXPECT_NE(plot.find(Hp(line)), std::string::npos) << line;
  }
  EXPECT_EQ(plot.substr(plot.size() - 3), "PU;");
  EXPECT_EQ(plot.find("LT"), std::string::npos);           // grid off
  EXPECT_EQ(plot.find(",7200;SS;LB"), std::string::npos);  // no title
}

TEST(Hpgl, CurveWritesEverySecondPointAndTheLastFiveToALine) {
  // 1500 down to 1500 - 100 L (below 2000, one linear scale): X(i) =
  // 1000 + 9000 i / L. All ordinates 0.5: Y 4000.
  struct Case {
    int lastIndex;
    const char* curve;
  } cases[] = {
      {0, "PU 1000,4000;\n"},
      // L = 3: X = 1000 + 3000 i; the odd last point is written too.
      {3, "PU 1000,4000;\nPD 7000,4000;PD 10000,4000;\n"},
      // L = 10: X = 1000 + 900 i; exactly five commands, one line end.
      {10, "PU 1000,4000;\nPD 2800,4000;PD 4600,4000;PD 6400,4000;PD 8200,4000;PD 10000,4000;\n"},
      // L = 11: X = 1000 + 818.18 i: 2636.4, 4272.7, 5909.1, 7545.5, 9181.8.
      {11,
       "PU 1000,4000;\nPD 2636,4000;PD 4273,4000;PD 5909,4000;PD 7545,4000;PD 9182,4000;\n"
       "PD 10000,4000;\n"},
  };
  for (const auto& c : cases) {
    Spectrum s = MakeSpectrum(1500, 1500 - 100.0 * c.lastIndex,
                              std::vector<float>(static_cast<std::size_t>(c.lastIndex) + 1, 0.5f));
    if (c.lastIndex == 0) s.XEnd = 400;  // a single point with the usual range
    EXPECT_EQ(CurveOf(BuildHpgl(s, false, LabelList())), Hp(c.curve)) << c.lastIndex;
  }
}

TEST(Hpgl, RangeWithout2000IsOneLinearScaleInsideTheFrame) {
  // 4000 to 2500: 1500 1/cm over 9000 units, 6 a 1/cm. The two-scale formulas
  // would put 2500 at X 14500, far right of the frame.
  Spectrum s = MakeSpectrum(4000, 2500, {0.5f, 0.5f, 0.5f});
  std::string plot = BuildHpgl(s, true, LabelList());
  EXPECT_NE(plot.find(Hp("PD 10000,4000;\n")), std::string::npos);
  for (const char* line : {"PU 7000,1000;PD 7000,920;PD 7000,1000;\n",  // 3000, long
                           "PU 1600,1000;PD 1600,960;PD 1600,1000;\n",  // 3900, short
                           "PU 4000,1000;\nPD 4000,7000;\n",            // grid at 3500
                           "PU 7000,720;\nPU 6770,720;\nLB3000^\n"}) {
    EXPECT_NE(plot.find(Hp(line)), std::string::npos) << line;
  }
  EXPECT_EQ(plot.find(Hp("PU 1600,1000;\n")), std::string::npos);  // no grid line at 3900
  EXPECT_EQ(plot.find("LBcm"), std::string::npos);                 // 1800 is not in the range
}

TEST(Hpgl, DegenerateRangeDoesNotDivideByZero) {
  // XStart = XEnd: every wavenumber sits on the left edge, none at X 0 (which
  // is where a NaN coordinate would end up).
  Spectrum s = MakeSpectrum(1000, 1000, {0.5f, 0.5f});
  std::string plot = BuildHpgl(s, true, Labels({{1000, 0.5, 0}}));
  EXPECT_NE(plot.find(Hp("PD 1000,4000;\n")), std::string::npos);
  EXPECT_NE(plot.find(Hp("PU 1000,1000;PD 1000,920;PD 1000,1000;\n")), std::string::npos);
  EXPECT_EQ(plot.find("PU 0,"), std::string::npos);
}

TEST(Hpgl, TitleTranslatesCodePage437IntoTheAlternateSet) {
  const std::string so = "\x0e", si = "\x0f", etx = "\x03";
  struct Case {
    std::string title;
    std::string written;  // from "PU" of the title to its ETX
  } cases[] = {
      // L = 2: Round(4500 - 112.5) = 4388 (tie, even) + 1000.
      {"PS", "PU5388,7200;SS;LBPS" + etx},
      // Ä is "X" in set 7; one SO before the run, SI before the plain byte.
      {"\x8e"
       "1",
       "PU5388,7200;SS;LB" + so + "X" + si + "1" + etx},
      // A translated byte at the end leaves the plotter in set 7.
      {"a\x82", "PU5388,7200;SS;LBa" + so + "E" + etx},
      // A run of two shares one SO; § (0x15) is translated, 0x9E is not.
      {"\x81\x82x\x15\x9e\xf8",
       "PU5162,7200;SS;LB" + so + "OE" + si + "x" + so + "=" + si + "\x9e" + so + "3" + etx},
      {"\xae\xaf\xf1\xab", "PU5275,7200;SS;LB" + so + "{}~x" + etx},
      // 50 bytes: Round(4500 - 2812.5) = 1688 (tie, even) + 1000.
      {std::string(50, 'a'), "PU2688,7200;SS;LB" + std::string(50, 'a') + etx},
  };
  for (const auto& c : cases) {
    Spectrum s = MakeSpectrum(4000, 400, {0.5f, 0.5f});
    s.ShortComment = c.title;
    std::string plot = BuildHpgl(s, false, LabelList());
    ASSERT_GE(plot.size(), c.written.size() + 3);
    EXPECT_EQ(plot.substr(plot.size() - c.written.size() - 3), c.written + "PU;") << c.title;
  }
}

TEST(Hpgl, WriteReportsAFileThatCannotBeCreated) {
  test::ExpectWriteReportsUncreatableFile(".plt", WriteHpglFile, BuildHpgl);
}

}  // namespace
}  // namespace tesvar
