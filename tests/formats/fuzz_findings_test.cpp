// Faults the fuzz targets (fuzz/*_fuzz.cpp) found, each checked here with
// the input that showed it. The inputs live in the targets' seed corpora,
// fuzz/corpus/TARGET/NAME, so that every fuzzing run replays them too.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/ascii_list.h"
#include "formats/jcamp_reader.h"
#include "formats/jcamp_writer.h"
#include "formats/reader_fixture.h"
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
  ASSERT_TRUE(test::Read(FileKind::kAsciiList, CorpusFile("ascii_list", "infinite_ordinate.asc"),
                         "", s, messages));
  ASSERT_TRUE(std::isinf(s.TransY[1]));
  for (JcampForm form : {JcampForm::kFix, JcampForm::kDifDup}) {
    std::string text = BuildJcampText(s, form);
    EXPECT_EQ(HeaderValue(text, "##MAXY= "), "21474.83647");
    // FIX data lines cannot carry it (the import refuses plain numbers
    // of 1419480976 and more); the DIFDUP tokens can.
    if (form == JcampForm::kDifDup) {
      Spectrum back;
      ASSERT_TRUE(test::Read(FileKind::kJcampFix, text, "", back, messages)) << text;
      EXPECT_EQ(back.NPoints, 3);
    }
  }
  // The finite ordinates keep their text: the peak is above 2, so the
  // import divided by 10000 and 0.5 became 0.00005, the smallest.
  EXPECT_EQ(HeaderValue(BuildJcampText(s, JcampForm::kFix), "##MINY= "), "0.00005");
}

// The tick range of the wavenumber axis: the hundreds k from
// Round(XStart) div 100 down to Round(XEnd + 99) div 100, each drawn at
// the int wavenumber 100 x k. Beyond k = +-21474836 (INT32_MAX div 100)
// that product overflowed; such ranges now get no ticks (hi 0, lo 1).
TEST(FuzzFindings, AxisTicksStayWithinTheIntRange) {
  struct Case {
    const char* name;
    double xStart, xEnd;
    int hi, lo;
  };
  const std::vector<Case> cases = {
      {"Infrared", 4000, 400, 40, 4},
      {"HighestHundredThatFits", 2147483600, 2147483000, 21474836, 21474830},
      {"OneHundredTooHigh", 2147483700, 2147483000, 0, 1},
      {"LowestHundredThatFits", -2147483000, -2147483600, -21474830, -21474835},
      {"EndFarBeyondStart", 0, 2e12, 0, 1},
      {"BothFarNegative", -5e11, -5e11 - 100, 0, 1},
  };
  for (const Case& c : cases) {
    WavenumberAxis axis(c.xStart, c.xEnd, 1090);
    EXPECT_EQ(axis.TickHigh(), c.hi) << c.name;
    EXPECT_EQ(axis.TickLow(), c.lo) << c.name;
  }
}

// sp_reader/ticks_beyond_int_range.sp: FirstX 0 and LastX 2000000000E3.
// Every picture of it used to multiply a wrapped hundred by 100.
TEST(FuzzFindings, SpFileWithAbscissaeBeyondTheIntRangeDraws) {
  Spectrum s;
  RecordedMessages messages;
  ASSERT_TRUE(test::Read(FileKind::kSp, CorpusFile("sp_reader", "ticks_beyond_int_range.sp"), "", s,
                         messages));
  EXPECT_EQ(s.XEnd, 2e12);
  LabelList none;
  // No abscissa number at all: the only "LB" texts are the six ordinate
  // numbers 0, 20 ... 100 and "%T" (the file's comment line is empty, so
  // there is no title).
  std::string hpgl = BuildHpgl(s, true, none);
  std::size_t labels = 0;
  for (std::size_t p = 0; (p = hpgl.find("LB", p)) != std::string::npos; ++p) ++labels;
  EXPECT_EQ(labels, 6u + 1u);
  EXPECT_EQ(BuildSvg(s, true, none).find("cm</text>"), std::string::npos);
}

// jcamp_reader/label_far_below_frame.jdx: one DIF ordinate of
// -7858755857777 in slot 5, times 10000 by AdjustOrdinate. A label at it,
// as the converter's band labels stand 0.05 below their band, lies about
// 2.7e19 SVG units below the frame: Round() gave INT64_MAX and adding the
// frame's 350 overflowed. The offset is now held at 2^53, so the label's
// line starts at y = 350 + 9007199254740992 = 9007199254741342.
TEST(FuzzFindings, SvgLabelFarBelowTheFrame) {
  Spectrum s;
  RecordedMessages messages;
  ASSERT_TRUE(test::Read(FileKind::kJcampFix,
                         CorpusFile("jcamp_reader", "label_far_below_frame.jdx"), "", s, messages));
  ASSERT_EQ(s.LastIndex, 5);
  ASSERT_LT(s.TransY[5], -1e16);
  LabelList labels;
  labels.Insert({s.PointX(5), s.TransY[5] - 0.05, 0});
  std::string svg = BuildSvg(s, false, labels);
  EXPECT_NE(svg.find("y1=\"9007199254741342\""), std::string::npos) << svg;
}

// jcamp_reader/ctrl_z_in_title.jdx: "##TITLE= DOS file" ends in a Ctrl-Z
// (byte 26), which the import keeps. Saved as SP, the comment line made
// the SP reader end the header there: "Data section not found!" for the
// file just saved. The SP writer now writes it as a blank.
TEST(FuzzFindings, CtrlZInAnImportedTitleSavesAsBlank) {
  Spectrum s;
  RecordedMessages messages;
  ASSERT_TRUE(test::Read(FileKind::kJcampFix, CorpusFile("jcamp_reader", "ctrl_z_in_title.jdx"), "",
                         s, messages));
  ASSERT_EQ(s.Comment, "DOS file\x1a");
  Spectrum back;
  ASSERT_TRUE(test::Read(FileKind::kSp, BuildSpBytes(s), "", back, messages))
      << messages.errors.back();
  EXPECT_EQ(back.Comment, "DOS file ");
  EXPECT_EQ(back.NPoints, 3);
}

// span_beyond_double.{sp,jdx,asc}: abscissae from 1e308 down to -1e308.
// Each end is a finite double, but XStart - XEnd is not: the readers
// loaded a spectrum with an infinite XStep, whose every point's abscissa,
// XStart - XStep x i, is NaN (already at i = 0, as inf x 0 is NaN). They
// now refuse it.
TEST(FuzzFindings, AbscissaSpanBeyondTheDoubleRangeIsRefused) {
  using Parse = std::function<bool(const std::string&, Spectrum&, Messages&)>;
  const std::vector<std::tuple<const char*, const char*, Parse>> cases = {
      {"sp_reader", "span_beyond_double.sp",
       [](const std::string& b, Spectrum& s, Messages& m) {
         return test::Read(FileKind::kSp, b, "", s, m);
       }},
      {"jcamp_reader", "span_beyond_double.jdx",
       [](const std::string& t, Spectrum& s, Messages& m) {
         return test::Read(FileKind::kJcampFix, t, "", s, m);
       }},
      {"ascii_list", "span_beyond_double.asc",
       [](const std::string& t, Spectrum& s, Messages& m) {
         return test::Read(FileKind::kAsciiList, t, "", s, m);
       }},
  };
  for (const auto& [target, name, parse] : cases) {
    Spectrum s;
    RecordedMessages messages;
    EXPECT_FALSE(parse(CorpusFile(target, name), s, messages)) << name;
    EXPECT_EQ(messages.errors, std::vector<std::string>{"Invalid abscissa values!"}) << name;
    EXPECT_EQ(s.NPoints, 0) << name;
  }
}

}  // namespace
}  // namespace tesvar
