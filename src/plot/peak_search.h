// The band search behind "< peak" and "peak >": the next local minimum of
// transmittance from the cursor, found by a fixed pattern test on the raw
// values around each candidate (no smoothing, no baseline). A candidate is a
// band when it lies lower than its neighbours by at least these rises, in
// transmittance fractions:
//   A (3 left, 2 right):  > MinRise1, > MinRise2, > MinRise3 | >= MinRise1, > MinRise2
//   B (2 left, 3 right):  > MinRise1, > MinRise2 | > MinRise1, > MinRise2, > MinRise3
//   C (broad band, only more than 30 points from both ends): rising by more
//     than 1..5 x MinRise1 over the 5 nearest points on each side (>= for
//     the right neighbour) and by more than MinRise3 at 30 points.
// The first candidate that matches wins.
//
// The thresholds are absolute rises over neighbours about 1, 2, 3 and 30
// 1/cm away: instruments sample every 1 or 2 1/cm. A finely sampled spectrum
// (a band a few hundred points wide) rises too little from one point to the
// next and its bands would go unseen, so every offset and bound is counted
// in strides of g points, g = BandStride(XStep), the whole number of points
// nearest to 1 1/cm. With g > 1 a candidate must also lie strictly lower
// than the g - 1 points before it and no higher than the g - 1 after it, so
// a band spanning several points of one stride is found once, at its lowest
// (first lowest) point. With g = 1 the search is the plain pattern test.
#pragma once

namespace tesvar {

struct Spectrum;

inline constexpr double MinRise1 = 0.00005;
inline constexpr double MinRise2 = 0.01;
inline constexpr double MinRise3 = 0.02;

enum class PeakDirection {
  kLeft,   // towards lower indices (higher wavenumbers)
  kRight,  // towards higher indices
};

// The stride g for a point spacing of |xStep| 1/cm: floor(1 / |xStep| +
// 1/2), at least 1, where a tie (1.5, 2.5, ... points per 1/cm, within the
// precision of a step stored as a float) goes to the smaller stride. So
// every spacing of 2/3 1/cm or coarser keeps g = 1 -- 4000 to 400 1/cm in
// 5401 points is a common grid, and its bands stay where they were found
// before strides existed -- and 0.5 1/cm gives 2, 0.25 gives 4.
int BandStride(double xStep);

// Searches from `index` (exclusive) in `direction`, never testing a candidate
// closer than 3 strides to either end (N = lastIndex); xStep is the point
// spacing, which sets the stride. On a find, `index` becomes the band's
// index; otherwise it stays unchanged. Spectra of fewer than 6g + 2 points
// have no band.
void FindPeak(const float* transY, int lastIndex, double xStep, int& index,
              PeakDirection direction);

// Where "peak >" / "< peak" put the cursor: the band found from
// cursorIndex, or the end of the spectrum in the search direction when
// there is none; cursorX is that point's wavenumber limited to XEnd..XStart.
struct PeakJump {
  int index = 0;
  double cursorX = 0;
};
PeakJump PeakJumpTarget(const Spectrum& spectrum, int cursorIndex, PeakDirection direction);

}  // namespace tesvar
