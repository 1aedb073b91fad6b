// The wavenumber axis every renderer uses: high wavenumbers on the left,
// and, for spectra whose range contains 2000 1/cm, one 1/cm below 2000
// taking twice the width of one above (the customary IR presentation that
// stretches the fingerprint region).
//
// With W = (XStart - 2000) + 2 x (2000 - XEnd) and a frame width F, one 1/cm
// at or above 2000 takes F / W and one below 2000 takes 2F / W.
//
// A range that lies wholly above or wholly below 2000 1/cm has no break to
// put anywhere: the two-scale formulas would draw past the frame or divide
// by a zero or negative W. Such ranges use one linear scale, XStart at the
// left frame edge and XEnd at the right.
#pragma once

#include <string>
#include <vector>

namespace tesvar {

// One tick of the wavenumber axis at a whole hundred of 1/cm. Which
// hundreds get which marks is the same on every surface; each renderer maps
// the wavenumber to its own units with its own rounding.
struct AxisTick {
  int wavenumber = 0;
  // Multiples of 500: a longer tick and the number `text`, right-aligned in
  // 4 characters (" 500", "4000"); the others get a short tick and no text.
  bool major = false;
  // A vertical grid line: every 500 1/cm at and above 2000, and every 100
  // below, where the scale is twice as wide.
  bool grid = false;
  // The unit "cm-1" stands at 1800 1/cm, between the numbers 2000 and 1500.
  bool unit = false;
  std::string text;
};

class WavenumberAxis {
 public:
  // xStart is drawn at the left frame edge, xEnd at the right; width is the
  // frame's extent in the renderer's own units (pixels, plotter units ...).
  WavenumberAxis(double xStart, double xEnd, double width);

  bool TwoScale() const { return twoScale_; }
  double XStart() const { return xStart_; }
  double XEnd() const { return xEnd_; }

  // W: the span in "high-scale" 1/cm (two-scale), or XStart - XEnd (linear).
  double Span() const { return span_; }
  // Units per 1/cm at and above 2000 (the only scale of a linear axis).
  double ScaleHigh() const { return scaleHigh_; }
  // Units per 1/cm below 2000 (equal to ScaleHigh on a linear axis).
  double ScaleLow() const { return scaleLow_; }

  // Distance of wavenumber w from the left frame edge, unrounded.
  double Offset(double w) const;

  // The rounded offset of the 2000 1/cm break; on a linear axis the whole
  // frame lies on the "high" side, so this is Round(width).
  int BreakOffset() const { return breakOffset_; }

  // The wavenumber under a column rel units right of the left frame edge.
  // Left of (and at) the break the result keeps the fraction of XStart and
  // moves in whole 1/cm; right of it the result is a whole number.
  double WavenumberAt(int rel) const;

  // The range of hundreds that ticks, grid lines and numbers are drawn at:
  // from Round(XStart) div 100 down to Round(XEnd + 99) div 100 (empty when
  // lo > hi). A range of more than 5000 hundreds has no ticks, nor has one
  // reaching beyond +-2147483647 1/cm (a tick's 100 x k is an int).
  int TickHigh() const;
  int TickLow() const;
  // The ticks from TickHigh down to TickLow, highest wavenumber first.
  std::vector<AxisTick> Ticks() const;

 private:
  double xStart_, xEnd_, width_;
  bool twoScale_;
  double span_, scaleHigh_, scaleLow_;
  int breakOffset_;
};

}  // namespace tesvar
