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

// Searches from `index` (exclusive) in `direction`, never testing a candidate
// closer than 3 points to either end (N = lastIndex). On a find, `index`
// becomes the band's index; otherwise it stays unchanged. Spectra of fewer
// than 8 points have no band.
void FindPeak(const float* transY, int lastIndex, int& index, PeakDirection direction);

// Where "peak >" / "< peak" put the cursor: the band found from
// cursorIndex, or the end of the spectrum in the search direction when
// there is none; cursorX is that point's wavenumber limited to XEnd..XStart.
struct PeakJump {
  int index = 0;
  double cursorX = 0;
};
PeakJump PeakJumpTarget(const Spectrum& spectrum, int cursorIndex, PeakDirection direction);

}  // namespace tesvar
