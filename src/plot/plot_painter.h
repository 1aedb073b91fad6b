// Draws the spectrum plot through a DrawingSurface: the screen, the metafile
// recording and the printout bitmap all come through here. The elements are
// the same everywhere; the renderers differ in fonts, offsets, tick lengths,
// the way a peak label is drawn and the order of the elements. Those
// differences are data (PlotStyle presets); the order is one Draw...Plot
// function per renderer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "plot/comparisons.h"
#include "plot/drawing_surface.h"
#include "plot/plot_geometry.h"

namespace tesvar {

class LabelList;
struct PeakLabel;
struct Spectrum;
struct ViewState;

struct FontSpec {
  std::string name;
  int height = 0;  // font height: negative = character height in pixels
};

// A length of pixels + Round(perLabelUnit x LabelUnit): the printout scales
// its axis offsets with the peak label unit, the other renderers use fixed
// pixels.
struct UnitLength {
  int pixels = 0;
  double perLabelUnit = 0;
  int Resolve(int labelUnit) const;
};

struct PlotStyle {
  FrameRules frame;
  FontSpec axisFont;
  std::optional<FontSpec> titleFont;     // none: the axis font
  std::optional<FontSpec> labelFont;     // none: whatever font is current
  std::optional<FontSpec> exponentFont;  // the raised "-1"; none: the axis font
  Rgb gridColor = kGrey;

  // Transmittance axis. A tick reaches tickLength + TextWidth(tickText)
  // left of the frame; a text ends TextWidth(text + textSuffix) + textGap
  // left of it, and so does "%T" with its own suffix and gap.
  int tickLength = 4;
  std::string tickText;
  std::string textSuffix;
  int textGap = 6;
  bool textBeforeTick = false;
  std::string percentSuffix;
  int percentGap = 5;

  int titleGap = 2;  // between the title's cell and the frame top

  // Wavenumber axis, all measured down from PlotBottom; the texts are
  // centred on these rows.
  UnitLength numberRow{14};
  UnitLength cmRow{18};
  UnitLength exponentRow{15};
  UnitLength majorTick{5};
  UnitLength minorTick{3};

  // Peak labels: the text stands labelTextGap beyond the leader's end. The
  // metafile records the text first and the leader and the stem as separate
  // lines; the others draw stem and leader as one polyline, then the text.
  bool labelTextFirst = false;
  int labelTextGap = 2;
};

// "Arial Narrow" -12 with the title in "Arial" -12.
PlotStyle ScreenPlotStyle();
// "Arial Narrow" 14 pt for the axes and 10 pt for labels, at the recording
// surface's resolution.
PlotStyle MetafilePlotStyle(int dpi);
// "Arial Narrow" at width div 100 pt (main) and width div 140 pt (labels and
// the "-1"), converted at the bitmap's 96 dpi.
PlotStyle PrintPlotStyle(int surfaceWidth);

// The elements. Each leaves the pen colour, style and font as it found them
// unless said otherwise; none sets the pen mode.

// Grey (or the style's colour) dotted lines; the pen goes back to black and
// solid afterwards.
void DrawGrid(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style);
// One label in the current font: stem of LabelUnit at the band's column,
// leader of 3 x LabelUnit at height y (unclamped), text beyond it.
// Whether (x, y) falls in the box of a label as DrawPeakLabel draws it on
// `s`: its stem, leader and text. The label tool removes the label clicked on.
bool PeakLabelHit(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style,
                  const PeakLabel& label, int x, int y);
void DrawPeakLabel(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style, uint8_t kind,
                   double x, double y);
// All labels in list order, in the style's label font (then the axis font
// again). Nothing at all, not even a font change, for an empty list. A
// zoomed frame leaves out the labels of bands outside it.
void DrawPeakLabels(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style,
                    const LabelList& labels);
// "%T", or "A" on the absorbance axis.
void DrawPercentUnit(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style);
// The overlay's comparison traces, each in its colour (scaled where the
// overlay says so); the pen goes back to black. Nothing without comparisons.
void DrawComparisonTraces(DrawingSurface& s, const PlotFrame& frame, const Spectrum& shown,
                          const PlotOverlay& overlay);
// Inside the frame's top right corner, in the axis font: a short line of
// each trace's colour and its name, the shown spectrum first. Only with
// comparisons.
void DrawLegend(DrawingSurface& s, const PlotFrame& frame, const Spectrum& shown,
                const PlotOverlay& overlay);
// The ordinate of the frame for the overlay: absorbance over the plotted
// points first .. last of the shown spectrum where the overlay asks for it.
void ApplyOverlayOrdinate(PlotFrame& frame, const Spectrum& shown, const PlotOverlay& overlay,
                          int first, int last);
// Also for an empty title, which draws nothing on any surface. Ends in the
// axis font when the style has a title font of its own.
void DrawTitle(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style,
               const std::string& title);
void DrawTrace(DrawingSurface& s, const PlotFrame& frame, const float* transY, int lastIndex,
               int firstIndex = 0);
void DrawTransmittanceAxis(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style);
void DrawWavenumberAxis(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style);
void DrawFrame(DrawingSurface& s, const PlotFrame& frame);

// The screen paint up to the cursor line: nothing while the view shows no
// spectrum (ViewState::SpectrumShown); else the frame computed for the
// shown range and ordinate and stored in `view`, and grid, labels (label tool only), "%T", title,
// trace, axes and frame drawn. The record is only read: its title and transmittances are kept up to
// date where it is loaded or changed. The window adds the cursor line and the read-out with the
// returned frame. With an overlay, the absorbance axis (over the shown range) takes the place of
// the %T axis, the comparisons are drawn just before the shown trace and the legend last.
std::optional<PlotFrame> PaintScreenPlot(DrawingSurface& s, int width, int height,
                                         const Spectrum& spectrum, ViewState& view,
                                         const PlotOverlay& overlay = {});

// The metafile picture on a surface the size of the screen: grid, labels,
// "%T", title, ordinate scale, abscissa scale, curve, frame; the overlay's
// comparisons before the curve and its legend after the frame.
PlotFrame DrawMetafilePlot(DrawingSurface& s, int screenWidth, int screenHeight, int dpi,
                           const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                           const PlotOverlay& overlay = {});

// The printout bitmap: "%T", title, grid, trace, labels, transmittance axis,
// wavenumber axis, frame; the overlay's comparisons before the trace and its
// legend after the frame.
PlotFrame DrawPrintPlot(DrawingSurface& s, int width, int height, const Spectrum& spectrum,
                        bool gridOn, const LabelList& labels, const PlotOverlay& overlay = {});

// The printout bitmap is the printable width less 100 pixels of margin on
// either side, and half as high as wide; it goes onto the page at (100, 100).
struct PrintBitmapSize {
  int width = 0;
  int height = 0;
};
PrintBitmapSize PrintBitmapForPage(int printableWidth);
inline constexpr int kPrintPageOffset = 100;

}  // namespace tesvar
