// The text pictures (SVG, HPGL) with comparisons and the absorbance axis.
// Positions are worked out by hand from each format's frame: SVG from y 350
// (0) up 340 units, HPGL from 1000 up 6000.
#include <gtest/gtest.h>

#include <string>

#include "output/hpgl.h"
#include "output/svg.h"
#include "text_plot_test_support.h"

namespace tesvar {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// An overlay that shows nothing more leaves every byte as it was.
TEST(OverlayPictures, NothingShownNothingChanged) {
  const Spectrum s = test::MakeSpectrum(4000, 400, {0.5f, 0.25f, 0.75f, 1.5f});
  ComparisonList none;
  const PlotOverlay empty{&none, "x.sp"};
  for (bool grid : {false, true}) {
    EXPECT_EQ(BuildSvg(s, grid, LabelList(), empty), BuildSvg(s, grid, LabelList()));
    EXPECT_EQ(BuildHpgl(s, grid, LabelList(), empty), BuildHpgl(s, grid, LabelList()));
  }
}

// T 0.5, 0.1, 1.0: A 0.301, 1, 0, so the axis runs 0-1 with ticks every 0.1
// and numbers every 0.2; A 1 is the top edge, A 0 the bottom.
TEST(OverlayPictures, AbsorbanceAxis) {
  const Spectrum s = test::MakeSpectrum(4000, 400, {0.5f, 0.1f, 1.0f});
  PlotOverlay absorbance;
  absorbance.absorbance = true;

  const std::string svg = BuildSvg(s, true, LabelList(), absorbance);
  EXPECT_FALSE(Contains(svg, ">%T</text>"));
  EXPECT_TRUE(Contains(svg, "text-anchor=\"end\">A</text>"));
  // Numbers 4 units below their ticks: 0.0 at 350, 0.2 at 350 - 68, 1.0 at 10.
  EXPECT_TRUE(Contains(svg, "<text x=\"85\" y=\"354\""));
  EXPECT_TRUE(Contains(svg, "<text x=\"85\" y=\"286\""));
  EXPECT_TRUE(Contains(svg, "text-anchor=\"end\">1.0</text>"));
  EXPECT_TRUE(Contains(svg, "<line x1=\"90\" y1=\"316\" x2=\"100\" y2=\"316\" />"));
  // The grid at the 9 inner ticks, 34 units apart.
  EXPECT_TRUE(Contains(svg, "<line x1=\"100\" y1=\"44\" x2=\"1190\" y2=\"44\" />"));
  // Points 1 and 2 of the curve: A 1 at the top, A 0 at the bottom.
  EXPECT_TRUE(Contains(svg, ",10 1190,350 \r\n"));

  const std::string plt = BuildHpgl(s, false, LabelList(), absorbance);
  EXPECT_FALSE(Contains(plt, "LB%T"));
  EXPECT_TRUE(Contains(plt, "PU 600,6670;LBA\x03"));
  // Numbers right-aligned at 880 on 90-unit cells, 60 below their tick.
  EXPECT_TRUE(Contains(plt, "PU 610,940;LB0.0\x03"));
  EXPECT_TRUE(Contains(plt, "PU 610,6940;LB1.0\x03"));
  EXPECT_TRUE(Contains(plt, "PU 1000,1600;PD 950,1600;PD 1000,1600;"));
  EXPECT_TRUE(Contains(plt, "IN;CS0;CA7;TL0,1.0;VS10;PU 1000,2806;"))
      << "point 0 at A 0.301: 1000 + 6000 x 0.30103";
}

TEST(OverlayPictures, ComparisonsTheirColoursAndLegend) {
  const Spectrum s = test::MakeSpectrum(4000, 400, {0.5f, 0.1f, 1.0f});
  ComparisonList list;
  for (int i = 0; i < 2; ++i) {
    const std::string name = "ref" + std::to_string(i) + ".sp";
    ASSERT_TRUE(list.Add({"/lib/" + name, name, test::MakeSpectrum(5000, 300, {0.2f, 0.4f})}));
  }
  ASSERT_TRUE(list.Add({"/lib/ctl\x02.sp", "ctl\x02.sp", s}));
  const PlotOverlay overlay{&list, "sample & co.sp"};

  const std::string svg = BuildSvg(s, false, LabelList(), overlay);
  EXPECT_TRUE(Contains(svg, "<polyline fill=\"none\" stroke=\"#e69f00\""));
  EXPECT_TRUE(Contains(svg, "<polyline fill=\"none\" stroke=\"#56b4e9\""));
  EXPECT_TRUE(Contains(svg, "<polyline fill=\"none\" stroke=\"#009e73\""));
  // Comparisons before the spectrum, which is drawn on top.
  EXPECT_LT(svg.find("#009e73"), svg.find("stroke=\"black\" stroke-width=\"2\""));
  // A comparison over 5000-300 is clipped to the frame: nothing of it left
  // of 100 or right of 1190.
  EXPECT_FALSE(Contains(svg, "\r\n-"));
  // The legend: the shown spectrum first, escaped, each name beside its colour.
  EXPECT_TRUE(Contains(svg, "text-anchor=\"end\">sample &amp; co.sp</text>"));
  EXPECT_TRUE(
      Contains(svg, "<line x1=\"1140\" y1=\"45\" x2=\"1180\" y2=\"45\" stroke=\"#e69f00\""));
  EXPECT_TRUE(Contains(svg, ">ctl\xef\xbf\xbd.sp</text>")) << "a control byte made U+FFFD";

  const std::string plt = BuildHpgl(s, false, LabelList(), overlay);
  for (const char* pen : {"SP2;", "SP3;", "SP4;", "SP1;"}) EXPECT_TRUE(Contains(plt, pen)) << pen;
  EXPECT_LT(plt.find("SP4;"), plt.find("SP1;"));
  // Legend rows 250 apart from 6750, names ending at 9450 on 112.5-unit
  // cells: 14 bytes start at 9450 - 1575.
  EXPECT_TRUE(
      Contains(plt, "SP1;PU 9550,6750;PD 9900,6750;\r\nSP1;PU 7875,6690;LBsample & co.sp\x03"));
  EXPECT_TRUE(Contains(plt, "SP2;PU 9550,6500;PD 9900,6500;"));
  EXPECT_TRUE(Contains(plt, "LBctl?.sp\x03")) << "a control byte could end the label";
}

}  // namespace
}  // namespace tesvar
