// What the reader tests share: a read through the load entry, the spectrum
// already on screen when a file is loaded, the check that a refused load
// left it as it was, and the file time stamp that stands in for a date.
#pragma once

#include <gtest/gtest.h>
#include <utime.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/file_kinds.h"
#include "formats/load_result.h"
#include "test_support.h"

namespace tesvar::test {

// Reads bytes with one kind's reader through the load entry, as the program
// reads every file, into `s` (replaced only when the read succeeds), and
// tells `m` everything said, the notes last. Returns whether it loaded.
inline bool Read(FileKind kind, const std::string& bytes, const std::string& path, Spectrum& s,
                 Messages& m) {
  const LoadResult result = LoadSpectrumText(bytes, path, InfoFor(kind), s);
  result.Tell(m);
  for (const std::string& note : result.notes) m.Note(note);
  return result.loaded();
}

// A record that stands for the spectrum already on screen: 5 points from
// 3000 to 1000 1/cm, every slot 0.5 (raw 77).
inline Spectrum ShownSpectrum() {
  Spectrum s;
  s.OperatorName = "old operator";
  s.SetComment("old comment");
  s.FirstX = s.XStart = 3000;
  s.LastX = s.XEnd = 1000;
  s.NPoints = 5;
  s.LastIndex = 4;
  s.XStep = 500;
  s.AcqDate = "01/01/2001";
  s.Model = 2;
  for (int i = 0; i < kArraySlots; ++i) {
    s.TransY[i] = 0.5f;
    s.RawY[i] = 77;
  }
  s.DataLoaded = s.YConverted = true;
  return s;
}

// Every field of the record, for comparing a record with itself before.
inline auto Contents(const Spectrum& s) {
  return std::tie(s.IdentLine, s.HeaderLine3, s.AcqDate, s.AcqTime, s.ModDate, s.ModTime,
                  s.OperatorName, s.Comment, s.ShortComment, s.LastX, s.NScans, s.FirstX, s.DeltaX,
                  s.NPoints, s.Model, s.YScale, s.XStart, s.XEnd, s.XStep, s.LastIndex, s.RawY,
                  s.TransY, s.DataLoaded, s.YConverted);
}

inline bool SameRecord(const Spectrum& a, const Spectrum& b) { return Contents(a) == Contents(b); }

// A load's outcome against the refusal a table expects ("" for a load):
// the refusal text, and a refused file leaves the record as it was before.
// Returns whether the file loaded as expected, so the caller goes on to
// check what it loaded.
inline bool LoadedAsExpected(const LoadResult& result, const std::string& refusal,
                             const Spectrum& s, const Spectrum& before) {
  EXPECT_EQ(result.refusal, refusal);
  if (!refusal.empty()) {
    EXPECT_FALSE(result.loaded());
    EXPECT_TRUE(SameRecord(s, before));
    return false;
  }
  EXPECT_TRUE(result.loaded());
  return result.loaded();
}

// The file's ordinates as the peer checks read them: its path, then one
// "%.9g" line a point.
inline std::string OrdinateDump(const std::string& path, const Spectrum& s) {
  std::string out = path + "\n";
  char buf[32];
  for (int i = 0; i <= s.LastIndex; ++i) {
    std::snprintf(buf, sizeof buf, "%.9g\n", static_cast<double>(s.TransY[i]));
    out += buf;
  }
  return out;
}

// The abscissae a load gives: `points` points from firstX (index 0, the
// highest wavenumber) down to lastX, `step` apart, and the header's DeltaX.
struct Abscissae {
  int points;
  double firstX, lastX, step, deltaX;
};
inline void ExpectAbscissae(const Spectrum& s, const Abscissae& a) {
  EXPECT_EQ(s.NPoints, a.points);
  EXPECT_EQ(s.LastIndex, a.points - 1);
  EXPECT_EQ(s.FirstX, a.firstX);
  EXPECT_EQ(s.XStart, a.firstX);
  EXPECT_EQ(s.LastX, a.lastX);
  EXPECT_EQ(s.XEnd, a.lastX);
  EXPECT_EQ(s.XStep, a.step);
  EXPECT_EQ(s.DeltaX, a.deltaX);
}

// Says what a load said through messages; returns whether it loaded.
inline bool Told(const LoadResult& result, Messages& messages) {
  result.Tell(messages);
  return result.loaded();
}

// The message of a refusal where the imports show it: data line messages
// in status panel 2 with no error box, the others in one error box.
inline void ExpectRefusalMessage(const RecordedMessages& m, const std::string& message,
                                 bool inStatusPanel, const std::string& name) {
  if (inStatusPanel) {
    EXPECT_TRUE(m.errors.empty()) << name;
    EXPECT_EQ(m.status[2], message) << name;
  } else {
    EXPECT_EQ(m.errors, std::vector<std::string>{message}) << name;
  }
}

// A text that the reader of `kind` refuses with `message` (in status panel 2
// or an error box) leaves the shown spectrum as it was, every field of it.
inline void ExpectRefusedKeepsShown(FileKind kind, const std::string& text,
                                    const std::string& message, bool inStatusPanel,
                                    const std::string& name) {
  Spectrum shown = ShownSpectrum();
  RecordedMessages m;
  EXPECT_FALSE(Read(kind, text, "", shown, m)) << name;
  ExpectRefusalMessage(m, message, inStatusPanel, name);
  const Spectrum expected = ShownSpectrum();
  EXPECT_TRUE(SameRecord(shown, expected)) << name;
  EXPECT_EQ(shown.TransY, expected.TransY) << name;
  EXPECT_EQ(shown.FirstX, expected.FirstX) << name;
  EXPECT_EQ(shown.XStart, expected.XStart) << name;
  EXPECT_EQ(shown.LastX, expected.LastX) << name;
  EXPECT_EQ(shown.NPoints, expected.NPoints) << name;
  EXPECT_EQ(shown.Comment, expected.Comment) << name;
}

// Lines joined with eol after each.
inline std::string Join(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
  std::string out;
  for (const auto& l : lines) out += l + eol;
  return out;
}

using FileReader = LoadResult (*)(const std::string& path, Spectrum& current);

// Writes text as `name` into a fresh folder with the time stamp
// 2026-12-07 00:30:00 UTC, loads it with read (stamps in UTC through
// SOURCE_DATE_EPOCH) and expects that stamp as acquisition and
// modification date and time.
inline void ExpectDatesFromFileStamp(const std::string& name, const std::string& text,
                                     FileReader read) {
  const std::string path = MakeTempDir() + "/" + name;
  WriteFile(path, text);
  struct utimbuf times {};
  times.actime = times.modtime = 1796603400;  // 2026-12-07 00:30:00 UTC
  ASSERT_EQ(::utime(path.c_str(), &times), 0);
  setenv("SOURCE_DATE_EPOCH", "1796601600", 1);  // stamps in UTC
  Spectrum s;
  const bool ok = read(path, s).loaded();
  unsetenv("SOURCE_DATE_EPOCH");
  ASSERT_TRUE(ok);
  EXPECT_EQ(s.AcqDate, "07/12/2026");
  EXPECT_EQ(s.ModDate, "07/12/2026");
  EXPECT_EQ(s.AcqTime, "00:30:00");
  EXPECT_EQ(s.ModTime, "00:30:00");
}

}  // namespace tesvar::test
