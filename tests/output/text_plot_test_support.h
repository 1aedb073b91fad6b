// Setup shared by the tests of the plot exports written as text (HPGL, SVG).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/messages.h"
#include "core/spectrum.h"
#include "plot/peak_labels.h"
#include "test_support.h"

namespace tesvar::test {

// Expected text is written with '\n' for CR LF and, where etxMark is given,
// that character for ETX.
inline std::string WithCrlf(const std::string& text, char etxMark = '\0') {
  std::string out;
  for (char c : text) {
    if (etxMark != '\0' && c == etxMark) {
      out += '\x03';
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

// Evenly spaced points from xStart down to xEnd with the given transmittances.
inline Spectrum MakeSpectrum(double xStart, double xEnd, const std::vector<float>& y) {
  Spectrum s;
  s.XStart = xStart;
  s.XEnd = xEnd;
  s.LastIndex = static_cast<int32_t>(y.size()) - 1;
  s.XStep = s.LastIndex > 0 ? (xStart - xEnd) / s.LastIndex : 0;
  for (std::size_t i = 0; i < y.size(); ++i) s.TransY[i] = y[i];
  return s;
}

inline LabelList Labels(const std::vector<PeakLabel>& labels) {
  LabelList list;
  for (const PeakLabel& l : labels) list.Insert(l);
  return list;
}

using WritePlotFile = SaveResult (*)(const std::string& path, const Spectrum&, bool gridOn,
                                     const LabelList&, const PlotOverlay&);
using BuildPlotText = std::string (*)(const Spectrum&, bool gridOn, const LabelList&,
                                      const PlotOverlay&);

// A file in a folder that does not exist: "Could not create file " + path
// and no file. Then a good path: the file holds what `build` gives, and no
// further message.
inline void ExpectWriteReportsUncreatableFile(const std::string& extension, WritePlotFile write,
                                              BuildPlotText build) {
  Spectrum s = MakeSpectrum(4000, 400, {0.5f, 0.5f});
  std::string dir = MakeTempDir();
  RecordedMessages m;
  std::string bad = dir + "/missing/plot" + extension;
  EXPECT_FALSE(Told(write(bad, s, false, LabelList(), {}), m));
  ASSERT_EQ(m.errors.size(), 1u);
  EXPECT_EQ(m.errors[0], "Could not create file " + bad);
  EXPECT_FALSE(FileExists(bad));

  std::string good = dir + "/plot" + extension;
  EXPECT_TRUE(Told(write(good, s, true, LabelList(), {}), m));
  EXPECT_EQ(ReadFile(good), build(s, true, LabelList(), {}));
  EXPECT_EQ(m.errors.size(), 1u);
}

}  // namespace tesvar::test
