// Writes HPGL and SVG exports of the sample spectrum and of a few awkward
// ones through the file functions the export commands use.
//
// outputs_peer_test.sh runs this test with TESVAR_PLOT_SAMPLES_DIR set and
// opens every file it leaves there with independent programs (hp2xx,
// xmllint, rsvg-convert); without the variable the files go to a temporary
// folder and only the writing is checked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/file_kinds.h"
#include "formats/sp_file.h"
#include "output/hpgl.h"
#include "output/svg.h"
#include "test_support.h"

namespace tesvar {
namespace {

struct Sample {
  std::string name;
  Spectrum spectrum;
  bool grid;
  LabelList labels;
};

Spectrum Synthetic(double xStart, double xEnd, int lastIndex) {
  Spectrum s;
  s.XStart = xStart;
  s.XEnd = xEnd;
  s.LastIndex = lastIndex;
  s.XStep = lastIndex > 0 ? (xStart - xEnd) / lastIndex : 0;
  for (int i = 0; i <= lastIndex; ++i) {
    // One band in the middle of the range.
    double x = s.PointX(i) - (xStart + xEnd) / 2;
    s.TransY[static_cast<std::size_t>(i)] = static_cast<float>(0.9 - 0.7 * std::exp(-x * x / 2e4));
  }
  return s;
}

std::vector<Sample> Samples() {
  std::vector<Sample> samples;
  Spectrum ps;
  std::string path = std::string(TESVAR_SOURCE_DIR) + "/samples/polystyrene.sp";
  if (!ReadSpFile(path, ps).loaded()) {
    ADD_FAILURE() << "cannot load " << path;
    return samples;
  }
  LabelList labels;
  for (const PeakLabel& l : {PeakLabel{3026.0, 0.45, 0}, PeakLabel{2850.0, 0.9, 3},
                             PeakLabel{1601.4, 0.3, 1}, PeakLabel{700.0, 0.95, 2}}) {
    labels.Insert(l);
  }
  Spectrum titled = ps;
  // Code page 437 letters (Ä, ö, §) and XML's special characters.
  titled.ShortComment = "Polystyrene \x8e\x94 \x15 1 & <film>";
  samples.push_back({"polystyrene-grid-labels", titled, true, labels});
  Spectrum untitled = ps;
  untitled.ShortComment.clear();
  samples.push_back({"polystyrene-plain", untitled, false, LabelList()});
  LabelList band;
  band.Insert({3250.0, 0.15, 2});
  band.Insert({3250.0, 0.5, 1});
  samples.push_back({"linear-4000-2500", Synthetic(4000, 2500, 1500), true, band});
  samples.push_back({"single-point", Synthetic(4000, 400, 0), false, LabelList()});
  return samples;
}

TEST(PlotSamples, WriteEveryExportThroughTheFileFunctions) {
  const char* env = std::getenv("TESVAR_PLOT_SAMPLES_DIR");
  std::string dir = env != nullptr && *env != '\0' ? env : test::MakeTempDir();
  for (const Sample& s : Samples()) {
    RecordedMessages m;
    std::string plt = dir + "/" + s.name + ".plt";
    std::string svg = dir + "/" + s.name + ".svg";
    ASSERT_TRUE(test::Told(WriteHpglFile(plt, s.spectrum, s.grid, s.labels), m)) << plt;
    ASSERT_TRUE(test::Told(WriteSvgFile(svg, s.spectrum, s.grid, s.labels), m)) << svg;
    EXPECT_TRUE(m.errors.empty());
    EXPECT_EQ(test::ReadFile(plt), BuildHpgl(s.spectrum, s.grid, s.labels));
    EXPECT_EQ(test::ReadFile(svg), BuildSvg(s.spectrum, s.grid, s.labels));
  }
}

}  // namespace
}  // namespace tesvar
