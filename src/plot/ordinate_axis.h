// The ordinate axis fitted to what is plotted: a range from a rounded-down
// minimum to a rounded-up maximum, with ticks at a round step. It knows no
// unit: the %T axis hands it percentages, an absorbance axis could hand it
// absorbances.
//
// The fixed 0-100 %T axis has ten tick intervals with a number at every
// second tick. A fitted axis keeps that look: its numbers stand at a round
// step of 1, 2 or 5 x 10^k chosen for about five numbered intervals, and a
// tick without a number lies halfway between two numbers.
#pragma once

#include <string>
#include <vector>

namespace tesvar {

struct OrdinateRange {
  double low = 0;
  double high = 100;
  double tickStep = 10;   // between two ticks
  double labelStep = 20;  // between two numbered ticks: 2 x tickStep
  // Decimals the numbers need at labelStep (0 for a step of 1 or more).
  int decimals = 0;

  // Tick values from low to high; low and high are whole multiples of
  // tickStep, so both ends carry a tick.
  int TickCount() const;
  double TickValue(int i) const;
  // The number at tick i, or "" where the tick has none.
  std::string TickText(int i) const;
};

// The axis for plotted ordinates between minValue and maxValue. A flat
// spectrum (minValue == maxValue) still gets a range around its value, and
// values that are not finite are not handed in (the caller leaves them out).
// REQUIRES: minValue <= maxValue, both finite.
OrdinateRange FitOrdinateRange(double minValue, double maxValue);

}  // namespace tesvar
