// Faults the fuzz targets (fuzz/*_fuzz.cpp) found, each checked here with
// the input that showed it. The inputs live in the targets' seed corpora,
// fuzz/corpus/TARGET/NAME, so that every fuzzing run replays them too.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/ascii_list.h"
#include "formats/jcamp_reader.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "output/hpgl.h"
#include "output/svg.h"
#include "plot/peak_labels.h"
#include "plot/wavenumber_axis.h"
#include "test_support.h"

namespace tesvar {
namespace {

std::string CorpusFile(const std::string& target, const std::string& name) {
  return test::ReadFile(std::string(TESVAR_SOURCE_DIR) + "/fuzz/corpus/" + target + "/" + name);
}

std::string HeaderValue(const std::string& text, const std::string& label) {
  std::size_t p = text.find(label);
  if (p == std::string::npos) return "(missing)";
  p += label.size();
  return text.substr(p, text.find("\r\n", p) - p);
}

// ascii_list/infinite_ordinate.asc: "3999 1e39" is beyond the float range
// and loads as an infinite transmittance. The JCAMP-DX export wrote
// "##MAXY= INF", which no reader (ours included) takes for a number, so
// the program could not import its own export. The data line carries the
// ordinate as round(T x 100000) clamped to the int32 range, 2147483647;
// MAXY now says what the data say: 2147483647 / 100000 = 21474.83647.
TEST(FuzzFindings, InfiniteOrdinateKeepsTheJcampHeaderNumeric) {
  Spectrum s;
  RecordedMessages messages;
  ASSERT_TRUE(ParseAsciiList(CorpusFile("ascii_list", "infinite_ordinate.asc"), "", s, messages));
  ASSERT_TRUE(std::isinf(s.TransY[1]));
  for (JcampForm form : {JcampForm::kFix, JcampForm::kDifDup}) {
    std::string text = BuildJcampText(s, form);
    EXPECT_EQ(HeaderValue(text, "##MAXY= "), "21474.83647");
    // FIX data lines cannot carry it (the import refuses plain numbers
    // of 1419480976 and more); the DIFDUP tokens can.
    if (form == JcampForm::kDifDup) {
      Spectrum back;
      ASSERT_TRUE(ParseJcampText(text, "", back, messages)) << text;
      EXPECT_EQ(back.NPoints, 3);
    }
  }
  // The finite ordinates keep their text: the peak is above 2, so the
  // import divided by 10000 and 0.5 became 0.00005, the smallest.
  EXPECT_EQ(HeaderValue(BuildJcampText(s, JcampForm::kFix), "##MINY= "), "0.00005");
}

}  // namespace
}  // namespace tesvar
