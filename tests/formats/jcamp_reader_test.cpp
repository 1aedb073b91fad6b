#include "formats/jcamp_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "core/number_text.h"
#include "formats/import_rules.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

// A JCAMP-DX text in pieces; tests change what they need.
struct JcampText {
  std::vector<std::string> header = {"##TITLE= test spectrum",
                                     "##JCAMP-DX= 4.24",
                                     "##DATA TYPE= INFRARED SPECTRUM",
                                     "##ORIGIN= somewhere",
                                     "##OWNER= J. Smith",
                                     "##DATE= 26/12/01",
                                     "##TIME= 10:00:00",
                                     "##INSTRUMENT PARAMETERS= 16 scans",
                                     "##XUNITS= 1/CM",
                                     "##YUNITS= TRANSMITTANCE",
                                     "##XFACTOR= 1.0",
                                     "##YFACTOR= 0.01",
                                     "##FIRSTX= 4000.0",
                                     "##LASTX= 3996.0",
                                     "##NPOINTS= 5",
                                     "##MAXY= 0.9",
                                     "##XYDATA= (X++(Y..Y))"};
  std::vector<std::string> data = {"4000 85 86 87", "3997 88 89"};
  std::string eol = "\r\n";

  std::string Text() const {
    std::string out;
    for (const auto& l : header) out += l + eol;
    for (const auto& l : data) out += l + eol;
    return out + "##END=" + eol;
  }
  void Set(const std::string& labelStart, const std::string& line) {
    for (auto& l : header) {
      if (l.rfind(labelStart, 0) == 0) {
        l = line;
        return;
      }
    }
    header.insert(header.end() - 1, line);
  }
  void Remove(const std::string& labelStart) {
    std::erase_if(header, [&](const std::string& l) { return l.rfind(labelStart, 0) == 0; });
  }
};

using test::ShownSpectrum;

TEST(JcampRawLines, SplitsAtCrOrLfAnd255Bytes) {
  std::string text = "ab\r\ncd\rx" + std::string(300, 'y') + "\nend";
  std::size_t pos = 0;
  std::vector<std::string> lines;
  while (pos < text.size()) lines.emplace_back(ReadRawLine(text, pos));
  std::vector<std::string> expected = {
      "ab", "", "cd", "x" + std::string(254, 'y'), std::string(46, 'y'), "end"};
  EXPECT_EQ(lines, expected);
  pos = 0;
  EXPECT_EQ(ReadRawLine("abcdef", pos, 3), "abc");
  EXPECT_EQ(pos, 6u);
  EXPECT_EQ(ReadRawLine("abcdef", pos, 3), "");
  // The break at every place of the first 40 bytes, the other break byte
  // after it, or none.
  for (int n = 0; n <= 40; ++n) {
    for (const std::string tail : {"\r\nz", "\n\rz", "\rz", "\nz", ""}) {
      const std::string line = std::string(n, 'a') + tail;
      pos = 0;
      EXPECT_EQ(ReadRawLine(line, pos), std::string(n, 'a')) << n << " " << tail.size();
      EXPECT_EQ(pos, n + (tail.empty() ? 0u : 1u)) << n << " " << tail.size();
    }
  }
}

TEST(JcampLabels, UpperCaseTextChangesOnlyAsciiLetters) {
  std::string t = "aZ9 \xE9x";
  UpperCaseText(t);
  EXPECT_EQ(t, "AZ9 \xE9X");
}

TEST(JcampLabels, ParseOneLine) {
  struct Case {
    std::string line;
    std::string message;
    std::function<void(const JcampHeader&)> check;
  };
  std::vector<Case> cases = {
      {"##TITLE= Indene  (x)", "", [](const JcampHeader& h) { EXPECT_EQ(h.Title, "Indene  (x)"); }},
      {"##title= lower label", "", [](const JcampHeader& h) { EXPECT_EQ(h.Title, "lower label"); }},
      {"##TITLE=", "", [](const JcampHeader& h) { EXPECT_EQ(h.Title, ""); }},
      {"##ORIGIN= " + std::string(100, 'o'), "",
       [](const JcampHeader& h) { EXPECT_EQ(h.Origin, std::string(80, 'o')); }},
      {"##DATE=", "", [](const JcampHeader& h) { EXPECT_EQ(h.Date, "unknown"); }},
      {"##TIME=   ", "", [](const JcampHeader& h) { EXPECT_EQ(h.Time, "unknown"); }},
      {"##DATATYPE=infrared", "", [](const JcampHeader& h) { EXPECT_EQ(h.DataType, "INFRARED"); }},
      {"##DATATYPE= UV/VIS SPECTRUM", "no IR spectrum", nullptr},
      {"##DATATYPE=", "no IR spectrum", nullptr},
      {"##YUNITS= transmittance", "",
       [](const JcampHeader& h) { EXPECT_EQ(h.OrdinateKind, OrdinateKind::kTransmittance); }},
      {"##YUNITS= ABSORBANCE", "",
       [](const JcampHeader& h) { EXPECT_EQ(h.OrdinateKind, OrdinateKind::kAbsorbance); }},
      {"##YUNITS= %T", "no transmittance or absorbance spectrum", nullptr},
      {"##XFACTOR= 1.", "", [](const JcampHeader& h) { EXPECT_EQ(h.XFactor, 1.0); }},
      {"##XFACTOR= 1.0.", "invalid ##XFACTOR= 1.0.", nullptr},
      {"##YFACTOR= 9.5367E-7 \t", "",
       [](const JcampHeader& h) { EXPECT_EQ(h.YFactor, 9.5367e-7); }},
      {"##FIRSTX=4.001963E+02", "",
       [](const JcampHeader& h) { EXPECT_DOUBLE_EQ(h.FirstXValue, 400.1963); }},
      {"##LASTX= 4000.", "", [](const JcampHeader& h) { EXPECT_EQ(h.LastXValue, 4000); }},
      {"##LASTX= 1e999", "invalid ##LASTX= 1e999", nullptr},
      {"##MINY= -.19226", "", [](const JcampHeader& h) { EXPECT_EQ(h.MinY, -0.19226); }},
      {"##MAXY=", "", [](const JcampHeader& h) { EXPECT_EQ(h.MaxY, 1.0); }},
      {"##FIRSTY= 1,5", "invalid ##FIRSTY= 1,5", nullptr},
      {"##NPOINTS=  3951  ", "", [](const JcampHeader& h) { EXPECT_EQ(h.DeclaredPoints, 3951); }},
      {"##NPOINTS= 3951.", "", [](const JcampHeader& h) { EXPECT_EQ(h.DeclaredPoints, 3951); }},
      {"##NPOINTS= 3951.0", "invalid ##NPOINTS= 3951.0", nullptr},
      {"##NPOINTS= 99999999999", "invalid ##NPOINTS= 99999999999", nullptr},
      {"##END", "", nullptr},
  };
  for (const auto& c : cases) {
    JcampHeader h;
    EXPECT_EQ(ParseJcampLabel(c.line, h), c.message) << c.line;
    if (c.check) c.check(h);
  }
}

TEST(JcampLabels, ScanCount) {
  struct Case {
    const char* line;
    int32_t scans;
  } cases[] = {
      {"##INSTRUMENT PARAMETERS= 16 scans", 16},
      {"   32 SCANS; mode ratio; resol 2.00 cm-1", 32},
      {"Scans: none", 1},
      {"##TITLE= run 2, 64 scans", 2},  // the first digits of the line count
      {"99999999999 scans", 1},
      {"no count here", 7},  // untouched without "SCANS"
  };
  for (const auto& c : cases) {
    int32_t scans = 7;
    ScanCountFromLine(c.line, scans);
    EXPECT_EQ(scans, c.scans) << c.line;
  }
}

TEST(JcampReader, ImportsTheRecord) {
  JcampText f;
  Spectrum s = ShownSpectrum();
  RecordedMessages m;
  ASSERT_TRUE(test::Read(FileKind::kJcampFix, f.Text(), "", s, m));
  EXPECT_TRUE(m.errors.empty());
  EXPECT_EQ(m.status[2], "");
  test::ExpectAbscissae(s, {5, 4000, 3996, 1, 1});
  EXPECT_EQ(s.NScans, 16);
  EXPECT_EQ(s.YScale, kPercentYScale);
  EXPECT_EQ(s.IdentLine, kImportIdentLine);
  EXPECT_EQ(s.HeaderLine3, "");
  EXPECT_EQ(s.Model, 2);  // imports keep the instrument model
  EXPECT_EQ(s.AcqDate, "26/12/01");
  EXPECT_EQ(s.ModDate, "26/12/01");
  EXPECT_EQ(s.AcqTime, "10:00:00");
  EXPECT_EQ(s.ModTime, "10:00:00");
  EXPECT_EQ(s.OperatorName, "J. Smith");
  EXPECT_EQ(s.Comment, "test spectrum");
  EXPECT_EQ(s.ShortComment, "test spectrum");
  const float t[] = {0.85f, 0.86f, 0.87f, 0.88f, 0.89f};
  for (int i = 0; i < 5; ++i) {
    EXPECT_FLOAT_EQ(s.TransY[i], t[i]) << i;
    EXPECT_EQ(s.RawY[i], RoundToInt32(s.TransY[i] * kRawPerFraction)) << i;
  }
  EXPECT_EQ(s.TransY[5], 0.0f);  // nothing of the earlier spectrum is left
  EXPECT_TRUE(s.DataLoaded && s.YConverted);
}

// Each variant is a change to the basic file and what it must give.
TEST(JcampReader, HeaderVariants) {
  struct Case {
    const char* name;
    std::function<void(JcampText&)> change;
    std::function<void(const Spectrum&, const RecordedMessages&)> check;
  };
  std::vector<Case> cases = {
      {"DataTypeWithoutBlank", [](JcampText& f) { f.Set("##DATA TYPE", "##DATATYPE=INFRARED"); },
       nullptr},
      {"LowerCaseLabel",
       [](JcampText& f) { f.Set("##DATA TYPE", "##data type= infrared spectrum"); }, nullptr},
      {"IndentedLabels", [](JcampText& f) { f.Set("##OWNER", " \t ##OWNER= indented"); },
       [](const Spectrum& s, const RecordedMessages&) { EXPECT_EQ(s.OperatorName, "indented"); }},
      {"NoTitleUsesOrigin", [](JcampText& f) { f.Remove("##TITLE"); },
       [](const Spectrum& s, const RecordedMessages&) { EXPECT_EQ(s.Comment, "somewhere"); }},
      {"LongTitleCut", [](JcampText& f) { f.Set("##TITLE", "##TITLE= " + std::string(90, 't')); },
       [](const Spectrum& s, const RecordedMessages&) {
         EXPECT_EQ(s.Comment, std::string(80, 't'));
         EXPECT_EQ(s.ShortComment, std::string(50, 't'));
       }},
      {"ScansFromFreeLine",
       [](JcampText& f) {
         f.Set("##INSTRUMENT", "##INSTRUMENT PARAMETERS=");
         f.header.insert(f.header.begin() + 8, "   24 scans; mode ratio");
       },
       [](const Spectrum& s, const RecordedMessages&) { EXPECT_EQ(s.NScans, 24); }},
      {"AscendingX",
       [](JcampText& f) {
         f.Set("##FIRSTX", "##FIRSTX= 3996");
         f.Set("##LASTX", "##LASTX= 4000");
       },
       [](const Spectrum& s, const RecordedMessages&) {
         EXPECT_EQ(s.FirstX, 4000);
         EXPECT_EQ(s.LastX, 3996);
         EXPECT_EQ(s.XStep, 1);
         EXPECT_FLOAT_EQ(s.TransY[0], 0.89f);  // the last value read is the highest X
         EXPECT_FLOAT_EQ(s.TransY[4], 0.85f);
       }},
      {"PercentDividedBy100", [](JcampText& f) { f.Set("##YFACTOR", "##YFACTOR= 1"); },
       [](const Spectrum& s, const RecordedMessages& m) {
         EXPECT_FLOAT_EQ(s.TransY[0], 0.85f);
         EXPECT_FLOAT_EQ(s.TransY[4], 0.89f);
         EXPECT_EQ(m.statusLog, (std::vector<std::string>{"", "adjusting ordinate...", ""}));
       }},
      {"FractionsLeftAlone",
       [](JcampText& f) {
         f.data = {"4000 0.5 1.9 0.11 1 1"};
         f.Set("##YFACTOR", "##YFACTOR= 1");
       },
       [](const Spectrum& s, const RecordedMessages& m) {
         EXPECT_FLOAT_EQ(s.TransY[1], 1.9f);
         EXPECT_EQ(m.statusLog.size(), 1u);
       }},
      {"Absorbance",
       [](JcampText& f) {
         f.Set("##YUNITS", "##YUNITS= ABSORBANCE");
         f.Set("##YFACTOR", "##YFACTOR= 1");
         f.data = {"4000 0.5 0 1 0.2 0.3"};
       },
       [](const Spectrum& s, const RecordedMessages&) {
         EXPECT_NEAR(s.TransY[0], 0.316228, 1e-6);
         EXPECT_FLOAT_EQ(s.TransY[1], 1.0f);
       }},
      // Absorbances whose declared maximum is 0.1 or less count ten times.
      {"SmallAbsorbanceTimesTen",
       [](JcampText& f) {
         f.Set("##YUNITS", "##YUNITS= ABSORBANCE");
         f.Set("##YFACTOR", "##YFACTOR= 1");
         f.Set("##MAXY", "##MAXY= 0.05");
         f.data = {"4000 0.05 0 0.1 0.02 0.03"};
       },
       [](const Spectrum& s, const RecordedMessages&) {
         EXPECT_NEAR(s.TransY[0], 0.316228, 1e-6);
         EXPECT_NEAR(s.TransY[2], 0.1, 1e-6);
       }},
      {"NoYUnitsIsAbsorbance",
       [](JcampText& f) {
         f.Remove("##YUNITS");
         f.Set("##YFACTOR", "##YFACTOR= 1");
         f.data = {"4000 0.5 0.5 0.5 0.5 0.5"};
       },
       [](const Spectrum& s, const RecordedMessages&) {
         EXPECT_NEAR(s.TransY[0], 0.316228, 1e-6);
       }},
      {"CommentsAndBlankLinesInData",
       [](JcampText& f) {
         f.data = {"$$ checkpoint", "4000 85 86 87", "", "   ", "3997 88 89"};
       },
       [](const Spectrum& s, const RecordedMessages& m) {
         EXPECT_FLOAT_EQ(s.TransY[3], 0.88f);
         EXPECT_EQ(m.status[2], "");
       }},
      {"OnlyTheFirstBlock",
       [](JcampText& f) {
         f.data.push_back("##END=");
         f.data.push_back("##TITLE= second block");
         f.data.push_back("4000 11 12 13 14 15");
       },
       [](const Spectrum& s, const RecordedMessages& m) {
         EXPECT_FLOAT_EQ(s.TransY[0], 0.85f);
         EXPECT_EQ(m.status[2], "");
       }},
      // A shorter data section loads with a warning; the rest is zero.
      {"FewerPointsThanDeclared", [](JcampText& f) { f.data = {"4000 85 86 87"}; },
       [](const Spectrum& s, const RecordedMessages& m) {
         EXPECT_EQ(m.status[2], "##NPOINTS= 5 (3)");
         EXPECT_FLOAT_EQ(s.TransY[2], 0.87f);
         EXPECT_EQ(s.TransY[3], 0.0f);
         EXPECT_EQ(s.RawY[4], 0);
       }},
      {"MorePointsThanDeclared", [](JcampText& f) { f.data.push_back("3995 90 91"); },
       [](const Spectrum& s, const RecordedMessages& m) {
         EXPECT_EQ(m.status[2], "##NPOINTS= 5 (7)");
         EXPECT_EQ(s.NPoints, 5);
       }},
      // "##XYDATA" as a value does not end the header: the labels after it
      // still count (a JCAMP-DX test file writes this line first).
      {"XyDataAsAValue",
       [](JcampText& f) { f.header.insert(f.header.begin() + 1, "##DataClass= ##XYDATA="); },
       [](const Spectrum& s, const RecordedMessages& m) {
         EXPECT_EQ(s.NPoints, 5);
         EXPECT_FLOAT_EQ(s.TransY[0], 0.85f);
         EXPECT_EQ(m.status[2], "");
       }},
      {"BareLineFeeds", [](JcampText& f) { f.eol = "\n"; },
       [](const Spectrum& s, const RecordedMessages&) { EXPECT_FLOAT_EQ(s.TransY[4], 0.89f); }},
      // Without a usable date the file's time stamp stands in; with no file
      // to ask, "unknown" stays.
      {"EmptyDateWithoutFile", [](JcampText& f) { f.Set("##DATE", "##DATE="); },
       [](const Spectrum& s, const RecordedMessages&) {
         EXPECT_EQ(s.AcqDate, "unknown");
         EXPECT_EQ(s.ModDate, "unknown");
       }},
  };
  for (const auto& c : cases) {
    JcampText f;
    c.change(f);
    Spectrum s = ShownSpectrum();
    RecordedMessages m;
    ASSERT_TRUE(test::Read(FileKind::kJcampFix, f.Text(), "", s, m))
        << c.name << ": " << (m.errors.empty() ? m.status[2] : m.errors[0]);
    EXPECT_TRUE(m.errors.empty()) << c.name;
    if (c.check) c.check(s, m);
  }
}

TEST(JcampReader, DateFromTheFileStamp) {
  JcampText f;
  f.Set("##DATE", "##DATE=");
  f.Remove("##TIME");
  test::ExpectDatesFromFileStamp("a.jdx", f.Text(), &ReadJcampFile);
}

// A refused file loads nothing: the shown spectrum keeps every value.
TEST(JcampReader, RefusedFilesLeaveTheRecordUnchanged) {
  struct Case {
    const char* name;
    std::function<void(JcampText&)> change;
    const char* message;
    bool inStatusPanel;  // data line messages; header messages go to a box
  };
  std::vector<Case> cases = {
      {"NotInfrared", [](JcampText& f) { f.Set("##DATA TYPE", "##DATA TYPE= UV/VIS SPECTRUM"); },
       "no IR spectrum", false},
      {"PercentUnits", [](JcampText& f) { f.Set("##YUNITS", "##YUNITS= %T"); },
       "no transmittance or absorbance spectrum", false},
      {"BadFactor", [](JcampText& f) { f.Set("##XFACTOR", "##XFACTOR= 1.0."); },
       "invalid ##XFACTOR= 1.0.", false},
      {"TooManyPoints", [](JcampText& f) { f.Set("##NPOINTS", "##NPOINTS= 16001"); },
       "too many data points", false},
      {"OnePoint", [](JcampText& f) { f.Set("##NPOINTS", "##NPOINTS= 1"); },
       "Not enough data points!", false},
      {"NoPointCount", [](JcampText& f) { f.Remove("##NPOINTS"); }, "Not enough data points!",
       false},
      {"NegativePointCount", [](JcampText& f) { f.Set("##NPOINTS", "##NPOINTS= -4"); },
       "Not enough data points!", false},
      {"EqualX", [](JcampText& f) { f.Set("##LASTX", "##LASTX= 4000."); },
       "##FIRSTX= equal ##LASTX", false},
      // The header ends only at a "##XYDATA" label in capitals; this file is
      // read to its end as header and has no ordinate at all.
      {"LowerCaseXyData", [](JcampText& f) { f.Set("##XYDATA", "##xydata= (X++(Y..Y))"); },
       "No data points found!", false},
      {"NoDataLines", [](JcampText& f) { f.data.clear(); }, "No data points found!", false},
      {"BadDataLine", [](JcampText& f) { f.data.push_back("3995 85;86"); },
       "invalid data line 3995 85;86", true},
      {"YCheckFailed",
       [](JcampText& f) {
         f.data = {"4000@J", "3999B"};
       },
       "Y check failed:  1.0/ 2.0 at 3999.0", true},
  };
  for (const auto& c : cases) {
    JcampText f;
    c.change(f);
    test::ExpectRefusedKeepsShown(FileKind::kJcampFix, f.Text(), c.message, c.inStatusPanel,
                                  c.name);
  }
}

// Imports one after another into the same record: each keeps nothing of
// the spectra before it, neither ordinates (the arrays of a replaced record
// are used again) nor text (the read buffer is used again, and a longer
// file read before must not show through behind a shorter one).
TEST(JcampReader, ImportsInARowKeepNothingOfEarlierOnes) {
  const std::string dir = test::MakeTempDir();
  JcampText longer;
  longer.Set("##NPOINTS", "##NPOINTS= 9");
  longer.Set("##LASTX", "##LASTX= 3992.0");
  longer.data = {"4000 85 86 87", "3997 88 89 90", "3994 91 92 93"};
  const std::string longPath = dir + "/long.jdx", shortPath = dir + "/short.jdx";
  test::WriteFile(longPath, longer.Text());
  test::WriteFile(shortPath, JcampText().Text());

  Spectrum shown = ShownSpectrum();  // every slot 0.5 (raw 77)
  for (const std::string& path : {longPath, shortPath, longPath, shortPath, shortPath}) {
    RecordedMessages m;
    ASSERT_TRUE(test::Told(ReadJcampFile(path, shown), m)) << path;
    EXPECT_EQ(m.status[2], "") << path;  // as many points as declared
    const int n = path == longPath ? 9 : 5;
    ASSERT_EQ(shown.NPoints, n);
    EXPECT_FLOAT_EQ(shown.TransY[n - 1], n == 9 ? 0.93f : 0.89f) << path;
    int stale = 0;
    for (int i = n; i < kArraySlots; ++i) stale += shown.TransY[i] != 0 || shown.RawY[i] != 0;
    EXPECT_EQ(stale, 0) << path;
  }
}

TEST(JcampReader, UnreadableFile) {
  std::string dir = test::MakeTempDir();
  for (const std::string& path : {dir + "/missing.jdx", dir}) {
    Spectrum shown = ShownSpectrum();
    RecordedMessages m;
    EXPECT_FALSE(test::Told(ReadJcampFile(path, shown), m)) << path;
    EXPECT_EQ(m.errors, std::vector<std::string>{"File read error!"}) << path;
    EXPECT_TRUE(test::SameRecord(shown, ShownSpectrum()));
    EXPECT_EQ(shown.Comment, "old comment");
  }
}

TEST(AdjustOrdinate, PowersOfTen) {
  struct Case {
    std::vector<float> in;
    std::vector<float> out;
  } cases[] = {
      {{95, 50}, {0.95f, 0.5f}},                                 // percent
      {{950, 10}, {0.95f, 0.01f}},                               // per mille
      {{2, 1}, {0.2f, 0.1f}},                                    // 2 itself is too large
      {{0.5f, 1.9f}, {0.5f, 1.9f}},                              // already fractions
      {{0.05f, 0.01f}, {0.5f, 0.1f}},                            // too small: up by ten
      {{0.002f, 0.001f}, {0.2f, 0.1f}}, {{-1, 0}, {-10000, 0}},  // nothing above 0: up by 10000
      {{1e6f, 1e5f}, {100, 10}},                                 // down by 10000 at most
  };
  for (const auto& c : cases) {
    Spectrum s;
    s.LastIndex = static_cast<int32_t>(c.in.size()) - 1;
    for (std::size_t i = 0; i < c.in.size(); ++i) s.TransY[i] = c.in[i];
    s.TransY[c.in.size()] = 500;  // beyond LastIndex: untouched
    RecordedMessages m;
    AdjustOrdinate(s, m);
    for (std::size_t i = 0; i < c.in.size(); ++i) {
      EXPECT_FLOAT_EQ(s.TransY[i], c.out[i]) << c.in[0] << " index " << i;
    }
    EXPECT_EQ(s.TransY[c.in.size()], 500);
    EXPECT_EQ(m.statusLog, (std::vector<std::string>{"adjusting ordinate...", ""}));
  }
}

// SP -> JCAMP-DX (each form) -> import -> SP keeps the ordinates to half a
// unit of the fifth decimal (plus half a step of the SP integers and the
// float rounding), the point count, the X range to one decimal, operator,
// comment, date and time.
TEST(JcampRoundTrip, SpThroughJcampAndBack) {
  std::string dir = test::MakeTempDir();
  Spectrum original;
  RecordedMessages m;
  ASSERT_TRUE(
      ReadSpFile(std::string(TESVAR_SOURCE_DIR) + "/samples/polystyrene.sp", original).loaded());
  original.FirstX = 4000.04;  // only one decimal travels
  original.XStart = original.FirstX;
  std::string spPath = dir + "/original.sp";
  ASSERT_TRUE(WriteSpFile(spPath, original).saved());
  Spectrum fromSp;
  ASSERT_TRUE(ReadSpFile(spPath, fromSp).loaded());

  for (JcampForm form : {JcampForm::kFix, JcampForm::kDifDup}) {
    std::string jdx = dir + (form == JcampForm::kFix ? "/fix.jdx" : "/difdup.jdx");
    Spectrum exported = fromSp;
    ASSERT_TRUE(test::Told(WriteJcampFile(jdx, exported, form), m));
    Spectrum imported;
    RecordedMessages im;
    ASSERT_TRUE(test::Told(ReadJcampFile(jdx, imported), im));
    EXPECT_EQ(im.status[2], "");
    std::string backPath = dir + "/back.sp";
    ASSERT_TRUE(WriteSpFile(backPath, imported).saved());
    Spectrum back;
    ASSERT_TRUE(ReadSpFile(backPath, back).loaded());

    EXPECT_EQ(back.NPoints, fromSp.NPoints);
    EXPECT_EQ(back.NScans, fromSp.NScans);
    EXPECT_EQ(back.FirstX, 4000.0);
    EXPECT_EQ(back.LastX, fromSp.LastX);
    EXPECT_EQ(back.OperatorName, fromSp.OperatorName);
    EXPECT_EQ(back.Comment, fromSp.Comment);
    EXPECT_EQ(back.AcqDate, fromSp.AcqDate);
    EXPECT_EQ(back.AcqTime, fromSp.AcqTime);
    for (int i = 0; i <= fromSp.LastIndex; ++i) {
      ASSERT_NEAR(back.TransY[i], fromSp.TransY[i], 0.000005 + 0.5 / kRawPerFraction + 6e-8)
          << "point " << i;
    }
  }
}

}  // namespace
}  // namespace tesvar
