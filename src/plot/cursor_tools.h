// The plain arithmetic behind the cursor, baseline and label tools of the
// screen plot: which mouse positions count, where the cursor lands, the
// baseline geometry and the two ordinate corrections, and where a click puts
// a peak label. PlotInteraction (plot_interaction.h) calls these with the
// frame of the last paint and does the drawing.
//
// Coordinates are surface pixels of PaintBox1; the part that ScrollBox1 shows
// starts at its horizontal scroll position hp.
#pragma once

#include <optional>
#include <string>

#include "plot/peak_labels.h"
#include "plot/plot_geometry.h"

namespace tesvar {

struct Spectrum;
struct ViewState;

enum class MouseButton { kLeft, kRight, kMiddle, kOther };

// The horizontal part of the surface that the scroll box shows: hp and the
// width of the scroll box itself (not of its viewport). The visibility
// tests count the box's whole width, so a column under its right border
// still counts as shown.
struct ScrollWindow {
  int position = 0;
  int width = 0;
};

// hp <= x + 1 < hp + width.
bool IsVisibleColumn(int x, const ScrollWindow& window);
// A visible column, and y between the frame's top and bottom (inclusive).
bool IsInsidePlot(int x, int y, const ViewState& view, const ScrollWindow& window);
// PlotLeft <= x <= PlotLeft + PlotWidth.
bool InFrameRange(int x, const ViewState& view);
// PlotLeft < x < PlotLeft + PlotWidth: where an inverted cursor line is drawn.
bool StrictlyInsideFrame(int x, const ViewState& view);
// top < y < PlotBottom: where the level baseline's inverted line is drawn.
bool StrictlyBetweenFrameRows(int y, const ViewState& view);

// The data point nearest to wavenumber x, clamped to 0 .. LastIndex.
int IndexNearWavenumber(const PlotFrame& frame, const Spectrum& spectrum, double x);

// TransY as a percentage with 2 decimals, at least 2 characters ("12.07").
std::string CursorPercentText(double transmittance);
// "cm-1: 1715.3   %T: 12.07".
std::string CursorStatusText(double cursorX, const std::string& percentText);
// The absorbance read-out: -log10 T with 4 decimals, "-" where T <= 0
// has none.
std::string CursorAbsorbanceText(double transmittance);
// "cm-1: 1715.0   A: 0.4321".
std::string CursorAbsorbanceStatusText(double cursorX, const std::string& absorbanceText);

// The baseline tool shifts the whole spectrum while no cursor is set (the
// cursor on the first or last point) and tilts one side about the cursor
// point otherwise.
bool IsLevelMode(int cursorIndex, const Spectrum& spectrum);

// The tilt geometry for the mouse at (x, y): sets BaselineAnchorX/Y (the
// cursor point) and BaselineEndX/Y, the line from the anchor through the
// mouse extended to the left or right frame edge, with the end clamped to
// the frame's height. Returns the column the correction works with: x, or
// the column left of the anchor when x lies on it (which makes the left
// side the one corrected).
// REQUIRES: view holds the frame of the last paint and the cursor.
int ComputeBaseline(ViewState& view, const Spectrum& spectrum, int x, int y);

// Level mode: moves every point by the same amount, so that the point under
// column x comes to the transmittance of row y.
void ShiftBaseline(Spectrum& spectrum, const PlotFrame& frame, int x, int y);

// Tilt mode, after ComputeBaseline returned correctedX: the end point of the
// side that correctedX lies on comes to the baseline's end height, the cursor
// point keeps its value, and the correction falls off linearly in between.
// The other side is left alone.
// REQUIRES: 0 < CursorIndex < LastIndex.
void TiltBaseline(Spectrum& spectrum, const PlotFrame& frame, const ViewState& view,
                  int correctedX);

// The label a release at (x, y) places: the lowest point within LabelUnit
// columns on either side of x (the first of equal minima), drawn at the
// click's height; the stem points down to the band when the click lies
// above the band's level, up otherwise; the text stands left for the left
// button and right for the right one. Other buttons place nothing.
// REQUIRES: x within the frame's range.
std::optional<PeakLabel> LabelForClick(const Spectrum& spectrum, const PlotFrame& frame,
                                       MouseButton button, int x, int y);

}  // namespace tesvar
