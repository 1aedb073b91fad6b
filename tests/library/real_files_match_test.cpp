// The matching on real files: the spectra of the shared test data as a
// library. Each, disturbed as a second measurement would be (noise of
// 0.5 %T, a baseline sloping by 5 %T across the range, another spacing)
// and written as delimited text, must find its own file first; a spectrum
// that is not in the library must find nothing above the poorest of those
// true matches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "core/file_io.h"
#include "core/spectrum.h"
#include "formats/file_kinds.h"
#include "library/library_index.h"
#include "test_support.h"

namespace tesvar {
namespace {

// The disturbed copy as "x,y" lines, y in %T, at 1.37 times the spacing.
std::string DisturbedText(const Spectrum& s, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0, 0.5);
  const int n = s.LastIndex + 1;
  const double step = s.XStep * 1.37;
  const int m = static_cast<int>((n - 1) * s.XStep / step) + 1;
  std::string text;
  char line[64];
  for (int j = 0; j < m; ++j) {
    const double at = j * step / s.XStep;  // fractional index
    const int i = std::min(static_cast<int>(at), n - 2);
    const double f = at - i;
    const double t = (1 - f) * s.TransY[i] + f * s.TransY[i + 1];
    const double percent = 100 * t + 5.0 * j / (m - 1) + noise(random);
    std::snprintf(line, sizeof line, "%.4f,%.4f\n", s.XStart - j * step, percent);
    text += line;
  }
  return text;
}

TEST(RealFilesMatch, DisturbedCopiesFindThemselves) {
  const std::string library = test::SharedTestData("");
  if (library.empty()) GTEST_SKIP() << "shared test data not present";
  const std::string work = test::MakeTempDir();
  LibraryIndex index;
  const IndexReport report = index.Update(library, work + "/cache");
  ASSERT_EQ(report.error, "");
  ASSERT_GE(report.members, 10) << "fewer real spectra than expected";

  double poorestTrueMatch = 100;
  unsigned seed = 1;
  for (const LibraryMember& member : index.Members()) {
    SCOPED_TRACE(member.path);
    Spectrum original;
    ASSERT_TRUE(LoadSpectrumFile(member.path, original).loaded());
    const std::string copy = work + "/disturbed.csv";
    WriteFileReplacing(copy, DisturbedText(original, seed++));
    Spectrum disturbed;
    const LoadResult read = LoadSpectrumFile(copy, disturbed);
    ASSERT_TRUE(read.loaded()) << read.refusal;
    const std::vector<LibraryHit> hits = index.Search(MakeMatchProfile(disturbed), 3);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].member->path, member.path)
        << "found " << hits[0].member->path << " at " << hits[0].quality;
    poorestTrueMatch = std::min(poorestTrueMatch, hits[0].quality);
  }

  // Not in the library: broad bands where organic spectra have none.
  Spectrum stranger;
  stranger.XStart = 4000;
  stranger.XStep = 2;
  stranger.LastIndex = 1800;
  stranger.NPoints = 1801;
  for (int i = 0; i <= stranger.LastIndex; ++i) {
    const double x = stranger.PointX(i);
    const double a = 0.8 * std::exp(-std::pow((x - 2200) / 60, 2)) +
                     0.6 * std::exp(-std::pow((x - 1900) / 40, 2)) + 0.1 * std::sin(x / 90);
    stranger.TransY[i] = static_cast<float>(std::pow(10.0, -a));
  }
  const std::vector<LibraryHit> hits = index.Search(MakeMatchProfile(stranger), 1);
  ASSERT_FALSE(hits.empty());
  EXPECT_LT(hits[0].quality, poorestTrueMatch) << hits[0].member->path;
  std::printf("poorest true match %.1f, best stranger %.1f of %d members\n", poorestTrueMatch,
              hits[0].quality, report.members);
}

}  // namespace
}  // namespace tesvar
