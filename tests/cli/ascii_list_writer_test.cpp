#include "formats/ascii_list_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/file_io.h"
#include "formats/reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

Spectrum ThreePoints(double xStart, double xStep, float y0, float y1, float y2) {
  Spectrum s;
  s.XStart = s.FirstX = xStart;
  s.XStep = xStep;
  s.LastIndex = 2;
  s.NPoints = 3;
  s.XEnd = s.LastX = xStart - 2 * xStep;
  s.TransY[0] = y0;
  s.TransY[1] = y1;
  s.TransY[2] = y2;
  return s;
}

TEST(AsciiListWriter, LinesByHand) {
  // x = XStart - i x XStep with 4 decimals, tab, y with 6, CR LF. The
  // values are exact binary fractions, so the halves are real halves:
  //   1000.03125 -> 1000.0313 and 0.0078125 (2^-7) -> 0.007813, both away
  //   from zero (ties to even would give ...312); 1000.03125 - 0.5 =
  //   999.53125 -> 999.5313; 999.03125 -> 999.0313; 0.25 -> 0.250000;
  //   -0.0078125 -> -0.007813.
  Spectrum s = ThreePoints(1000.03125, 0.5, 0.0078125f, 0.25f, -0.0078125f);
  EXPECT_EQ(BuildAsciiList(s),
            "1000.0313\t0.007813\r\n"
            "999.5313\t0.250000\r\n"
            "999.0313\t-0.007813\r\n");
}

TEST(AsciiListWriter, ImportsBackWithinTheRounding) {
  // A descending and an ascending abscissa; ordinates spread over 0.1 .. 2,
  // the range the import keeps unscaled.
  for (double step : {1.929, -0.5}) {
    Spectrum s;
    s.NPoints = 1841;
    s.LastIndex = s.NPoints - 1;
    s.XStart = s.FirstX = 3999.64;
    s.XEnd = s.LastX = s.XStart - step * s.LastIndex;
    s.XStep = step;
    for (int i = 0; i <= s.LastIndex; ++i) {
      s.TransY[i] = static_cast<float>(0.15 + 1.8 * std::fabs(std::sin(i * 0.37)));
    }
    Spectrum back;
    RecordedMessages m;
    ASSERT_TRUE(test::Read(FileKind::kAsciiList, BuildAsciiList(s), "", back, m)) << step;
    EXPECT_EQ(back.NPoints, s.NPoints);
    // The import puts the highest wavenumber first whatever the order.
    EXPECT_NEAR(back.XStart, std::max(s.XStart, s.XEnd), 0.00005);
    EXPECT_NEAR(back.XEnd, std::min(s.XStart, s.XEnd), 0.00005);
    for (int i = 0; i <= s.LastIndex; ++i) {
      int j = step > 0 ? i : s.LastIndex - i;
      ASSERT_NEAR(back.TransY[j], s.TransY[i], 0.000001) << i;
    }
  }
}

TEST(AsciiListWriter, RefusesOrdinatesNoLineCanCarry) {
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()};
  std::string dir = test::MakeTempDir();
  for (float y : bad) {
    Spectrum s = ThreePoints(4000, 1, 0.5f, y, 0.5f);
    EXPECT_EQ(BuildAsciiList(s), "");
    RecordedMessages m;
    EXPECT_FALSE(test::Told(WriteAsciiListFile(dir + "/x.asc", s), m));
    EXPECT_EQ(m.errors, std::vector<std::string>{"Invalid ordinate value!"});
    EXPECT_FALSE(FileExists(dir + "/x.asc"));
  }
  RecordedMessages m;
  Spectrum s = ThreePoints(4000, 1, 0.5f, 0.5f, 0.5f);
  EXPECT_FALSE(test::Told(WriteAsciiListFile(dir + "/missing/x.asc", s), m));
  EXPECT_EQ(m.errors, std::vector<std::string>{"Could not create file " + dir + "/missing/x.asc"});
}

}  // namespace
}  // namespace tesvar
