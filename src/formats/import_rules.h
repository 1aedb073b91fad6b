// The rules every reader of another program's files follows when it turns
// what the file holds into the record: how many points a spectrum may have,
// how its ordinates become transmittance fractions, how listed points get
// their abscissae, and the raw integers an SP file would keep for them.
// Each rule is written once, here, so that every kind reads alike.
#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// A refusal of the file: the text in an error box, and false.
bool Refuse(Messages& messages, const std::string& text);

// The point-count rule of every kind: a spectrum has 2 to kMaxPoints points,
// the most the record's arrays hold. A reader asks as soon as it knows a
// count (a declared one, the size of a data block, one more line than the
// record holds), so that it stops before it would overflow the record; the
// load entry asks again of every record a reader gives back.
enum class PointCountFault { kNone, kTooMany, kTooFew };
PointCountFault CheckPointCount(std::size_t count);

// The rule with its refusals: "Too many data points!" or "Not enough data
// points!" in an error box, and false; true, saying nothing, within it.
[[nodiscard]] bool PointCountAllowed(std::size_t count, Messages& messages);

// The upper half of the rule, for readers that meet the points one at a
// time or refuse too few points in words of their own: true, with "Too
// many data points!" said, when count breaks it.
[[nodiscard]] bool TooManyPoints(std::size_t count, Messages& messages);

// An ordinate as the float of TransY; values beyond the float range become
// infinities (a plain conversion of them would be undefined).
inline float OrdinateToFloat(double value) {
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

// How the y values of a file become transmittance fractions.
enum class OrdinateRule {
  kAsListed,    // as listed, AdjustOrdinate when the largest says percent
  kPercent,     // percent transmittance: divided by 100
  kFraction,    // transmittance as a fraction: as listed
  kAbsorbance,  // absorbance: T = 10^-A
};

// Rescales TransY[0 ... LastIndex] by powers of ten (at most 10000 either
// way) so that its largest value lies above 0.1 and below 2: percent data
// are divided by 100. Status panel 2 shows "adjusting ordinate..." meanwhile.
void AdjustOrdinate(Spectrum& s, Messages& messages);

// RawY[i] := TransY[i] x 4194304 rounded to the nearest integer, halves to
// even, for i = 0 ... LastIndex: the raw integers of an imported spectrum.
void RawFromTransY(Spectrum& s);

// Reverses the order of points 0 ... LastIndex in TransY and RawY.
void ReverseSpectrum(Spectrum& s);

// Sets the abscissae of `count` points read in file order from firstX to
// lastX: index 0 holds the highest wavenumber, so a list that ascends is
// reversed. Sets NPoints, LastIndex, XStart, XEnd, FirstX, LastX and DeltaX
// (XStep is left to the caller: the ASCII list sets it after AdjustOrdinate).
void PlaceListedPoints(Spectrum& s, int count, double firstX, double lastX);

// Fills s from y values in file order over x from firstX to lastX (evenly
// spaced; the caller has checked them). The points are put in descending
// wavenumber order, y converted by `rule`, and the abscissa, scale and
// raw fields set as for every import; the header texts, dates and scans
// are the caller's. Refuses (error box, false) a count outside the
// point-count rule and equal or unusable ends. The rule applied is said in
// status panel 2 and as a note ("percent transmittance").
// REQUIRES: s is the fresh record of the load.
[[nodiscard]] bool FillFromColumns(double firstX, double lastX, const std::vector<double>& y,
                                   OrdinateRule rule, Spectrum& s, Messages& messages);

// Passes everything on and keeps the last text for status panel 2, so that
// the ordinate rule FillFromColumns names there can be said together with
// which of several spectra in the file was read ("spectrum 1 of 32").
class PanelTwoKept : public Messages {
 public:
  explicit PanelTwoKept(Messages& to) : to_(to) {}
  void ErrorBox(const std::string& text) override { to_.ErrorBox(text); }
  void Bell() override { to_.Bell(); }
  void StatusText(int panel, const std::string& text) override {
    if (panel == 2) last = text;
    to_.StatusText(panel, text);
  }
  void Report(const std::string& text) override { to_.Report(text); }
  void Note(const std::string& text) override { to_.Note(text); }

  std::string last;

 private:
  Messages& to_;
};

// A line mentioning "SCANS" (in any case) sets the scan count from the first
// run of digits in it; none or an unreadable one gives 1.
void ScanCountFromLine(std::string_view line, int32_t& scanCount);

}  // namespace tesvar
