// A spectrum prepared for matching against a library of references.
//
// Spectra of one substance from different instruments, cells and files
// differ in sampling, in the baseline and in path length; what they share is
// the shape of their bands. So each spectrum is brought to the same form:
//   1. absorbance, A = -log10 T, with T clamped to kTransmittanceFloor
//      (1 %T, A = 2): below it an FT-IR reading is stray light and noise, and
//      the noise of a saturated band, magnified by the logarithm, would
//      outweigh every other band (two measurements of one polystyrene film
//      then matched worse than two different films);
//   2. on one fixed grid, 12500 down to 400 1/cm every 2 1/cm (the mid and
//      near infrared), by linear interpolation between the spectrum's own
//      points; grid points outside the spectrum's range are missing;
//   3. a smoothed first derivative (Savitzky-Golay, quadratic over 9 grid
//      points, 16 1/cm): it removes a constant offset and damps a slowly
//      sloping baseline, and keeps the position and shape of the bands.
// The score of two prepared spectra is their Pearson correlation over the
// grid points both hold, which a scale of absorbance (path length,
// concentration) does not change either.
//
// Prepared values are kept as 16-bit integers scaled to the largest
// magnitude: 10,000 mid-infrared members (1,801 grid points) take 36 MB, and the
// correlation does not depend on the scale.
#pragma once

#include <cstdint>
#include <vector>

namespace tesvar {

struct Spectrum;

inline constexpr double kGridHigh = 12500;
inline constexpr double kGridLow = 400;
inline constexpr double kGridStep = 2;
inline constexpr int kGridPoints = 6051;  // (12500 - 400) / 2 + 1
inline constexpr double kTransmittanceFloor = 0.01;

// The wavenumber of grid point i (0 is the highest).
inline double GridWavenumber(int i) { return kGridHigh - kGridStep * i; }

struct MatchProfile {
  // The grid points first .. first + values.size() - 1 are held; the rest
  // are missing.
  int first = 0;
  std::vector<int16_t> values;

  bool Empty() const { return values.empty(); }
  int Last() const { return first + static_cast<int>(values.size()) - 1; }
};

// Prepares the record's transmittances (TransY, LastIndex, XStart, XStep).
// A spectrum that covers fewer than 9 grid points comes back empty.
MatchProfile MakeMatchProfile(const Spectrum& spectrum);

// The hit quality of a member against the query: 100 x the Pearson
// correlation over the grid points both hold (negative as 0), or a negative
// value when they share less than half of the query's range or either is
// flat there: such a member is not scored.
double HitQuality(const MatchProfile& query, const MatchProfile& member);

}  // namespace tesvar
