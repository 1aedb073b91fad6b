// The layout of the spectrum plot inside a drawing surface: the frame, the
// mappings between wavenumber/transmittance and surface pixels in both
// directions, the ticks, the grid lines and the trace thinned to one vertex
// per pixel column.
//
// The screen, the metafile and the printout lay their frames out by the same
// rule with different margins; FrameRules holds those margins, so there is
// one layout and three presets rather than three copies. The wavenumber
// direction always goes through WavenumberAxis, which also handles the
// ranges without 2000 1/cm.
//
// Coordinates are surface pixels, x to the right, y downwards. The frame's
// bottom edge (PlotBottom) is the 0 %T line and PlotYScale is negative: the
// 100 %T line is PlotBottom + PlotYScale.
#pragma once

#include <string>
#include <vector>

#include "plot/ordinate_axis.h"
#include "plot/wavenumber_axis.h"

namespace tesvar {

class DrawingSurface;
struct Spectrum;
struct ViewState;

// The margins of one renderer. With th the text height of "0" in the axis
// font:
//   PlotLeft   = leftTextCount x TextWidth(leftText)
//   PlotWidth  = W - rightMargin - PlotLeft
//   PlotBottom = H - bottomMargin - bottomTextLines x th
//   top edge   = th + topMargin, so PlotYScale = top edge - PlotBottom
//   LabelUnit  = labelUnit, or Round(0.7 x TextWidth("0")) when it is 0.
struct FrameRules {
  std::string leftText = "00000";
  int leftTextCount = 1;
  int rightMargin = 3;
  int bottomMargin = 0;
  int bottomTextLines = 2;
  int topMargin = 1;
  int labelUnit = 3;
};

FrameRules ScreenFrameRules();
// The metafile is laid out on a surface the size of the screen (SW x SH).
FrameRules MetafileFrameRules();
// The frame top lies 100 pixels lower than on the screen, to leave room for
// the larger title of the page.
FrameRules PrintFrameRules();

// The text measurements a frame depends on, taken in the axis font.
struct FrameMetrics {
  int leftTextWidth = 0;  // TextWidth(FrameRules::leftText)
  int zeroHeight = 0;     // TextHeight("0")
  int zeroWidth = 0;      // TextWidth("0")
};

// REQUIRES: the surface's font is the axis font.
FrameMetrics MeasureFrameText(const FrameRules& rules, DrawingSurface& surface);

struct PlotPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

struct PlotFrame {
  static PlotFrame Layout(const FrameRules& rules, const FrameMetrics& metrics, int width,
                          int height, double xStart, double xEnd, double xStep);
  // Measures the metrics on `surface`, whose font must be the axis font.
  static PlotFrame Measure(const FrameRules& rules, DrawingSurface& surface, int width, int height,
                           const Spectrum& spectrum);
  // The frame of the last screen paint, for the mouse and button handlers.
  static PlotFrame FromViewState(const ViewState& view, const Spectrum& spectrum);
  // Stores the frame values the handlers convert with until the next paint.
  void CopyTo(ViewState& view) const;
  // Draws the wavenumbers shownStart (left edge) .. shownEnd (right edge)
  // rather than the whole spectrum; the points keep their own abscissae.
  void ShowRange(double shownStart, double shownEnd);
  // Runs the %T axis over `range` (in percent) instead of 0-100.
  void FitOrdinate(const OrdinateRange& range);
  // Runs the ordinate as absorbance over `range` (absorbance units), bands
  // pointing up: a transmittance t stands at A = -log10 t.
  void ShowAbsorbance(const OrdinateRange& range);

  int PlotLeft = 0;
  int PlotBottom = 0;
  int PlotWidth = 0;
  int PlotYScale = 0;
  double XSpan = 0;
  double PlotXScale = 0;     // pixels per 1/cm at and above 2000 1/cm
  double PlotXScaleLow = 0;  // pixels per 1/cm below 2000 1/cm
  int BreakOffset = 0;       // column of 2000 1/cm, counted from PlotLeft
  int LabelUnit = 3;         // length of a peak label's stem
  double XStart = 0;
  double XStep = 0;
  WavenumberAxis Axis{0, 0, 0};
  // Only part of the spectrum is shown (ShowRange).
  bool Zoomed = false;
  // The transmittance at PlotBottom and the span up to the top edge, as
  // fractions: 0 and 1 unless the ordinate is fitted.
  bool OrdinateFitted = false;
  OrdinateRange Ordinate;
  double TLow = 0;
  double TSpan = 1;
  // The ordinate is absorbance over Ordinate (ShowAbsorbance); TLow and
  // TSpan are then unused. T <= 0 stands above the top edge.
  bool Absorbance = false;

  int PlotRight() const { return PlotLeft + PlotWidth; }
  int PlotTop() const { return PlotBottom + PlotYScale; }

  int XToColumn(double x) const;
  // Unclamped: the cursor read-out, the baseline anchor and the labels.
  int TToRow(double t) const;
  // For the trace: above the top edge is drawn on it, below the bottom edge
  // (or NaN) on the bottom edge.
  int TraceRow(double t) const;
  // The same for an absorbance, on the absorbance axis.
  int AbsorbanceTraceRow(double a) const;
  double PointX(int i) const { return XStart - XStep * i; }
  // Axis.XStart() >= x >= Axis.XEnd(): x lies between the frame's edges.
  bool ShowsWavenumber(double x) const;
  // The wavenumber under surface column `column`.
  double ColumnToWavenumber(int column) const;
  // Round((XStart - x) / XStep), not clamped: each caller clamps to its own
  // range. A zero step (a one-point spectrum) gives 0.
  int WavenumberToIndex(double x) const;
  double RowToT(int row) const;
  // The row of an axis value: percent on the %T axis, absorbance on the
  // absorbance axis.
  int ValueRow(double value) const;

 private:
  // The wavenumber scales for the spectrum's range over PlotWidth.
  void SetRange(double xStart, double xEnd, double xStep);
};

// One tick of the transmittance axis, from the bottom. On the 0-100 axis
// i = 0 .. 10 with text "0", "20" ... "100" at even i and empty at odd i; a
// fitted axis has a tick at every tick step and a number at every second.
struct TransmittanceTick {
  int row = 0;
  std::string text;
};
std::vector<TransmittanceTick> TransmittanceTicks(const PlotFrame& frame);

// The ticks of the frame's wavenumber axis (WavenumberAxis::Ticks) with
// their surface columns.
struct WavenumberTick : AxisTick {
  int column = 0;
};
std::vector<WavenumberTick> WavenumberTicks(const PlotFrame& frame);

// Rows of the horizontal grid lines: the ticks between the bottom and the
// top edge (the 9 tenths between 0 and 100 %T unless fitted).
std::vector<int> GridRows(const PlotFrame& frame);
// Columns of the vertical grid lines: every 500 1/cm at and above 2000 and
// every 100 1/cm below, where the fingerprint region is stretched.
std::vector<int> GridColumns(const PlotFrame& frame);

// The trace as a polyline: point firstIndex at PlotLeft, then one vertex
// per pixel column up to lastIndex, taken from the first data point that
// reaches the column. The transmittance is clamped to the frame.
std::vector<PlotPoint> TraceVertices(const PlotFrame& frame, const float* transY, int lastIndex,
                                     int firstIndex = 0);

// Another spectrum's trace in this frame (a comparison): its points whose
// wavenumbers lie between the frame's edges, one vertex per pixel column
// from the first point that reaches it; nothing outside the frame. On the
// absorbance axis its absorbance is multiplied by `scale`.
// REQUIRES: transY holds lastIndex + 1 values.
std::vector<PlotPoint> OverlayVertices(const PlotFrame& frame, const float* transY, int lastIndex,
                                       double xStart, double xStep, double scale = 1);

// The fitted %T range of the points first .. last; values that are not
// finite are left out, and none at all give 0-100.
// REQUIRES: last < the array's size.
OrdinateRange FitTransmittanceRange(const float* transY, int first, int last);

// The absorbance axis of the points first .. last: from 0, or the rounded-
// down smallest absorbance where one is negative, to the rounded-up largest.
// Points at T <= 0 (after a baseline correction) and NaN are left out; none
// left gives 0-1, and a range narrower than 0.01 is widened to it.
// REQUIRES: last < the array's size.
OrdinateRange FitAbsorbanceRange(const float* transY, int first, int last);

// Top-left corner of the title, centred above the frame, `gap` pixels clear
// of the top edge.
PlotPoint TitlePosition(const PlotFrame& frame, int textWidth, int textHeight, int gap);

}  // namespace tesvar
