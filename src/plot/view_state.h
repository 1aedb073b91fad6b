// The state of the plot view that outlives one paint: the frame of the last
// paint (the mouse and button handlers convert pixels with it), the tool,
// the cursor and baseline values and the peak labels. Plain data, owned by
// the main window; the exports compute their own frames and never touch it.
#pragma once

#include <string>

#include "plot/ordinate_axis.h"
#include "plot/peak_labels.h"

namespace tesvar {

enum ToolModeKind : int { kCursorTool = 1, kLabelTool = 2 };

struct ViewState {
  // Frame of the last screen paint (surface pixels, y downwards). The
  // wavenumber scales follow from PlotWidth and the spectrum's range, so
  // PlotFrame::FromViewState computes them again rather than keeping them.
  int PlotLeft = 0;
  int PlotBottom = 0;
  int PlotWidth = 0;
  int PlotYScale = 0;  // negative: the 100 %T line is PlotBottom + PlotYScale
  int LabelUnit = 3;
  // The %T range of the last paint when it was fitted to the trace.
  bool OrdinateFitted = false;
  // The ordinate of the last paint was absorbance over ShownOrdinate.
  bool AbsorbanceShown = false;
  OrdinateRange ShownOrdinate;

  // A spectrum is shown: false until the first load. The screen plot draws
  // nothing, and the mouse does nothing on it, while it is false.
  bool SpectrumShown = false;
  int ToolMode = kCursorTool;
  bool GridOn = false;
  // The %T axis runs over the plotted range rather than 0-100 (View > Fit
  // ordinate); the window keeps the choice between runs.
  bool FitOrdinate = false;
  // Every trace as absorbance, bands up (View > Absorbance), and each
  // comparison scaled to the shown spectrum's largest absorbance (View >
  // Scale comparisons); the window keeps both between runs.
  bool Absorbance = false;
  bool ScaleComparisons = false;

  // Cursor tool.
  int CursorIndex = 0;
  double CursorX = 0;
  int CursorPx = 0;
  int DrawnCursorPx = 0;
  std::string CursorPercentText;
  bool CursorDragging = false;
  bool MouseInPlot = false;

  // Baseline tool (right button, only with the -e switch).
  bool BaselineDragging = false;
  int DragX = 0, DragY = 0;
  int BaselineAnchorX = 0, BaselineAnchorY = 0;
  int BaselineEndX = 0, BaselineEndY = 0;
  int DrawnBaselineEndX = 0, DrawnBaselineEndY = 0;

  // Zoom: Shift + left drag shows the data points ZoomFirst .. ZoomLast
  // (ZoomLast < 0: the whole spectrum). Data points rather than wavenumbers,
  // so that the frame's edges stand on points as they do for the whole
  // spectrum and the trace starts at the left edge.
  int ZoomFirst = 0;
  int ZoomLast = -1;
  bool ZoomDragging = false;
  int ZoomAnchorPx = 0;
  int DrawnZoomPx = 0;

  LabelList Labels;
  // "Copy peak list" is offered: from the placing of a label, or the choice
  // of the label tool while labels exist, until the cursor tool is chosen.
  // A load empties the list and leaves the offer as it was; copying an
  // empty list leaves the clipboard alone.
  bool PeakListOffered = false;

  bool Zoomed() const { return ZoomLast >= 0; }
  int FirstShownIndex() const { return Zoomed() ? ZoomFirst : 0; }
  int LastShownIndex(int lastIndex) const { return Zoomed() ? ZoomLast : lastIndex; }
  void ShowWholeSpectrum() {
    ZoomFirst = 0;
    ZoomLast = -1;
  }

  // What every successful load does to the view: the cursor back to the
  // first point on the left frame line.
  void ResetCursor(double xStart) {
    CursorX = xStart;
    CursorIndex = 0;
    CursorPx = PlotLeft;
    DrawnCursorPx = PlotLeft;
  }
};

}  // namespace tesvar
