// What every reader's fuzz target asserts about a spectrum that the reader
// accepted: the record is one the rest of the program can live with
// (2 ... 16000 points, finite abscissae), its pictures can be drawn, and
// the program's own exports of it read back to the same spectrum, as far
// as the export formats can carry its numbers.
//
// A failed check prints the condition and aborts, which libFuzzer reports
// as a crash with the input that caused it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/ascii_list_writer.h"
#include "formats/file_kinds.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "output/hpgl.h"
#include "output/metafile.h"
#include "output/svg.h"
#include "plot/drawing_surface.h"
#include "plot/peak_labels.h"
#include "plot/peak_search.h"
#include "plot/plot_painter.h"
#include "plot/view_state.h"

#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

// The checks' own loops run over all 16001 slots; with the comparison
// tracing of the coverage build they would cost more than the code under
// test and guide the fuzzer nowhere, so they are left uninstrumented.
#define FUZZ_UNTRACED __attribute__((no_sanitize("coverage")))

namespace tesvar::fuzz {

// Draws nothing and measures every character as 7 x 14 pixels: the plot
// layout runs as on the screen, without a display.
class NullSurface : public DrawingSurface {
 public:
  void SetPenColor(Rgb) override {}
  void SetPenStyle(PenStyle) override {}
  void SetPenMode(PenMode) override {}
  void SetFont(const std::string&, int) override {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void TextOut(int, int, const std::string&) override {}
  int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
  int TextHeight(const std::string&) override { return 14; }
};

// Makes a used record look like a new one to a reader: what a load carries
// over from the record before it (FreshFrom) is reset, so every run starts
// from the same state. Cheaper than a new record, whose 2 x 16001 slots
// would be allocated and zeroed each time.
inline Spectrum& ReadyForLoad(Spectrum& s) {
  s.Model = 0;
  s.DataLoaded = false;
  return s;
}

// The record every target loads into, one for the whole fuzzing run.
inline Spectrum& LoadTarget() {
  static Spectrum* record = new Spectrum;
  return ReadyForLoad(*record);
}

// Loads bytes with one kind's reader through the load entry, as every
// caller of the program loads; no file is touched (the empty path has no
// time stamp).
inline bool Load(FileKind kind, const std::string& bytes, Spectrum& target) {
  return LoadSpectrumText(bytes, "", InfoFor(kind), target).loaded();
}

// A second one for reading the exports back.
inline Spectrum& ReadBackTarget() {
  static Spectrum* record = new Spectrum;
  return ReadyForLoad(*record);
}

inline int PointCount(const Spectrum& s) { return s.LastIndex + 1; }

FUZZ_UNTRACED inline bool AllFinite(const Spectrum& s, double limit) {
  for (int i = 0; i < PointCount(s); ++i) {
    if (!(std::fabs(s.TransY[i]) <= limit)) return false;
  }
  return true;
}

FUZZ_UNTRACED inline double Peak(const Spectrum& s) {
  double peak = 0;
  for (int i = 0; i < PointCount(s); ++i) peak = std::max(peak, static_cast<double>(s.TransY[i]));
  return peak;
}

// The abscissae can be written with `decimals` decimals and still be told
// apart, and every export format keeps them on a line of normal length.
inline bool AbscissaeFit(const Spectrum& s, double decimalsUnit) {
  double hi = std::max(std::fabs(s.FirstX), std::fabs(s.LastX));
  return hi < 1e8 && std::fabs(s.FirstX - s.LastX) >= 2 * decimalsUnit;
}

// The JCAMP-DX header carries the comment, operator, date and time as
// label values, and the reader takes a label wherever it stands in a line:
// a text holding "##" can read back as another label.
inline bool TextsFreeOfLabels(const Spectrum& s) {
  for (const std::string* text : {&s.Comment, &s.OperatorName, &s.AcqDate, &s.AcqTime}) {
    if (text->find("##") != std::string::npos) return false;
  }
  return true;
}

// What a successful load guarantees.
FUZZ_UNTRACED inline void CheckLoaded(const Spectrum& s) {
  FUZZ_CHECK(s.DataLoaded && s.YConverted);
  FUZZ_CHECK(s.NPoints >= 2 && s.NPoints <= kMaxPoints);
  FUZZ_CHECK(s.LastIndex == s.NPoints - 1);
  FUZZ_CHECK(std::isfinite(s.XStart) && std::isfinite(s.XEnd) && std::isfinite(s.XStep));
  FUZZ_CHECK(s.XStart != s.XEnd);
  FUZZ_CHECK(s.RawY.size() == kArraySlots && s.TransY.size() == kArraySlots);
  FUZZ_CHECK(s.Comment.size() <= kMaxText && s.ShortComment.size() <= kMaxTitle);
}

// Index i of `a` holds what index `mirror ? n-1-i : i` of `b` holds, within
// `tolerance` (plus the float rounding of the stored values).
FUZZ_UNTRACED inline void CheckSameOrdinates(const Spectrum& a, const Spectrum& b, bool mirror,
                                             double tolerance) {
  int n = PointCount(a);
  FUZZ_CHECK(PointCount(b) == n);
  for (int i = 0; i < n; ++i) {
    double x = a.TransY[i];
    double y = b.TransY[mirror ? n - 1 - i : i];
    FUZZ_CHECK(std::fabs(x - y) <= tolerance + 1e-6 * std::fabs(x));
  }
}

// The pictures and exports checked for one accepted input. Drawing all five
// pictures and reading back all four exports of every accepted input cost
// ten times the reading itself; each input gets one picture and one
// read-back instead, chosen by a hash of its bytes, so an input always runs
// the same checks (a finding reproduces) and the millions of inputs of a
// run share them out alike.
enum class Picture { kScreen, kMetafile, kPrintout, kHpgl, kSvg, kCount };
enum class Export { kSp, kJcampFix, kJcampDifDup, kAscii, kCount };

struct Selection {
  Picture picture;
  Export exported;
};

FUZZ_UNTRACED inline Selection SelectFor(const uint8_t* data, std::size_t size) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  constexpr uint32_t kPictures = static_cast<uint32_t>(Picture::kCount);
  constexpr uint32_t kExports = static_cast<uint32_t>(Export::kCount);
  return {static_cast<Picture>(h % kPictures), static_cast<Export>(h / kPictures % kExports)};
}

// One picture of the spectrum, with the first bands labelled as the label
// tool (or the converter's band labels) would label them.
inline void CheckPicture(Spectrum& s, Picture picture) {
  LabelList labels;
  int index = 0;
  for (uint8_t kind = 0; kind < 4; ++kind) {
    PeakJump jump = PeakJumpTarget(s, index, PeakDirection::kRight);
    if (jump.index == index) break;
    index = jump.index;
    labels.Insert({s.PointX(index), s.TransY[index] - 0.05, kind});
  }
  NullSurface surface;
  switch (picture) {
    case Picture::kScreen: {
      ViewState view;
      view.GridOn = true;
      view.ToolMode = kLabelTool;
      view.Labels = labels;
      PaintScreenPlot(surface, 1200, 316, s, view);
      break;
    }
    case Picture::kMetafile: {
      RecordingSurface recording(surface);
      DrawMetafilePlot(recording, 1280, 1024, 96, s, true, labels);
      FUZZ_CHECK(!BuildPlaceableMetafile(recording.ops(), 1279, 1023).empty());
      break;
    }
    case Picture::kPrintout:
      DrawPrintPlot(surface, 4760, 2380, s, true, labels);
      break;
    case Picture::kHpgl:
      FUZZ_CHECK(!BuildHpgl(s, true, labels).empty());
      break;
    case Picture::kSvg:
    case Picture::kCount:
      FUZZ_CHECK(!BuildSvg(s, true, labels).empty());
      break;
  }
}

// One of the SP, JCAMP-DX (FIX, DIFDUP) and ASCII exports reads back.
inline void CheckExportReadsBack(Spectrum& s, Export exported) {
  SilentMessages quiet;
  // An ascending SP file (FirstX < LastX) keeps its order in SP but comes
  // back from the imports with index 0 at the highest wavenumber.
  bool ascending = s.FirstX < s.LastX;
  bool plainOrdinates = AllFinite(s, 400);
  // The imports rescale ordinates whose largest value is not within
  // (0.1, 2]: only spectra clear of those limits come back unchanged.
  double peak = Peak(s);
  bool unscaled = plainOrdinates && peak > 0.10002 && peak < 1.99998;

  switch (exported) {
    case Export::kSp:
    case Export::kCount: {
      // FirstX with 6 decimals, LastX in 15 significant digits, the
      // ordinates as round(T x 4194304).
      if (!AbscissaeFit(s, 1e-6)) return;
      // BuildSpBytes recomputes RawY; the record under test keeps its own.
      Spectrum& copy = ReadBackTarget();
      copy = s;
      std::string bytes = BuildSpBytes(copy);
      Spectrum& back = ReadBackTarget();
      FUZZ_CHECK(Load(FileKind::kSp, bytes, back));
      FUZZ_CHECK(back.NPoints == s.NPoints);
      FUZZ_CHECK(std::fabs(back.XStart - s.FirstX) <= 5e-7 + 1e-12 * std::fabs(s.FirstX));
      if (plainOrdinates) CheckSameOrdinates(s, back, false, 0.5 / 4194304);
      return;
    }
    case Export::kJcampFix:
    case Export::kJcampDifDup: {
      // X with 1 decimal, ordinates as round(T x 100000). The import
      // refuses plain numbers of 1419480976 and more, so FIX data lines
      // carry transmittances below 14194.8 only; DIFDUP tokens have no
      // such limit.
      bool fix = exported == Export::kJcampFix;
      if (!AbscissaeFit(s, 0.1) || !TextsFreeOfLabels(s)) return;
      if (fix && !AllFinite(s, 14194)) return;
      std::string text = BuildJcampText(s, fix ? JcampForm::kFix : JcampForm::kDifDup);
      Spectrum& back = ReadBackTarget();
      FUZZ_CHECK(Load(FileKind::kJcampFix, text, back));
      FUZZ_CHECK(back.NPoints == s.NPoints);
      FUZZ_CHECK(std::fabs(back.XStart - std::max(s.FirstX, s.LastX)) <=
                 0.05 + 1e-12 * std::fabs(s.FirstX));
      if (unscaled) CheckSameOrdinates(s, back, ascending, 0.000005);
      return;
    }
    case Export::kAscii: {
      // X with 4 decimals, ordinates with 6.
      if (!AbscissaeFit(s, 0.0001) || !AllFinite(s, 1e30)) return;
      std::string text = BuildAsciiList(s);
      FUZZ_CHECK(!text.empty());
      Spectrum& back = ReadBackTarget();
      FUZZ_CHECK(Load(FileKind::kAsciiList, text, back));
      FUZZ_CHECK(back.NPoints == s.NPoints);
      if (unscaled) CheckSameOrdinates(s, back, s.XStart < s.XEnd, 0.0000005);
      return;
    }
  }
}

// Everything above for a spectrum loaded from the input data[0 ... size).
inline void CheckAccepted(Spectrum& s, const uint8_t* data, std::size_t size) {
  CheckLoaded(s);
  Selection selection = SelectFor(data, size);
  CheckPicture(s, selection.picture);
  CheckExportReadsBack(s, selection.exported);
}

}  // namespace tesvar::fuzz
