#include "plot/plot_interaction.h"

#include <algorithm>
#include <utility>

#include "core/spectrum.h"
#include "plot/drawing_surface.h"
#include "plot/plot_painter.h"
#include "plot/view_state.h"

namespace tesvar {

PlotFrame PlotInteraction::Frame() const { return PlotFrame::FromViewState(view_, spectrum_); }

void PlotInteraction::InvertVerticalLine(int x) {
  InvertSegment(x, view_.PlotBottom - 1, x, view_.PlotBottom + view_.PlotYScale);
}

void PlotInteraction::InvertHorizontalLine(int y) {
  InvertSegment(view_.PlotLeft + 1, y, view_.PlotLeft + view_.PlotWidth - 1, y);
}

void PlotInteraction::InvertSegment(int x1, int y1, int x2, int y2) {
  DrawingSurface& canvas = host_.Canvas();
  canvas.SetPenMode(PenMode::kNotXor);
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

void PlotInteraction::ShowCursorStatus() {
  const float t = spectrum_.TransY[view_.CursorIndex];
  view_.CursorPercentText = CursorPercentText(t);
  // The read-out speaks the unit of the axis drawn last.
  host_.StatusText(1, view_.AbsorbanceShown
                          ? CursorAbsorbanceStatusText(view_.CursorX, CursorAbsorbanceText(t))
                          : CursorStatusText(view_.CursorX, view_.CursorPercentText));
}

void PlotInteraction::CursorAfterPaint(const PlotFrame& frame) {
  if (view_.ToolMode != kCursorTool) return;
  view_.CursorX = spectrum_.PointX(view_.CursorIndex);
  view_.CursorPx = frame.XToColumn(view_.CursorX);
  view_.DrawnCursorPx = view_.CursorPx;
  if (StrictlyInsideFrame(view_.CursorPx, view_)) InvertVerticalLine(view_.CursorPx);
  ShowCursorStatus();
}

void PlotInteraction::PlaceCursorAtColumn(int x) {
  if (StrictlyInsideFrame(view_.DrawnCursorPx, view_)) InvertVerticalLine(view_.DrawnCursorPx);
  if (StrictlyInsideFrame(x, view_)) InvertVerticalLine(x);
  view_.DrawnCursorPx = x;
  view_.CursorPx = x;
  const PlotFrame frame = Frame();
  // The read-out shows the wavenumber under the mouse until the next paint
  // puts the data point's own there.
  view_.CursorX = frame.ColumnToWavenumber(x);
  view_.CursorIndex = IndexNearWavenumber(frame, spectrum_, view_.CursorX);
  ShowCursorStatus();
}

void PlotInteraction::MoveCursorLine() {
  if (view_.CursorPx == view_.DrawnCursorPx) return;
  if (StrictlyInsideFrame(view_.DrawnCursorPx, view_)) InvertVerticalLine(view_.DrawnCursorPx);
  if (StrictlyInsideFrame(view_.CursorPx, view_)) InvertVerticalLine(view_.CursorPx);
  view_.DrawnCursorPx = view_.CursorPx;
}

void PlotInteraction::ShowBaseline(int x, int y, bool erase) {
  if (IsLevelMode(view_.CursorIndex, spectrum_)) {
    if (erase && StrictlyBetweenFrameRows(view_.DragY, view_)) InvertHorizontalLine(view_.DragY);
    if (StrictlyBetweenFrameRows(y, view_)) InvertHorizontalLine(y);
  } else {
    // The anchor stays where it was: the cursor does not move while the
    // baseline is dragged.
    ComputeBaseline(view_, spectrum_, x, y);
    if (erase) {
      InvertSegment(view_.BaselineAnchorX, view_.BaselineAnchorY, view_.DrawnBaselineEndX,
                    view_.DrawnBaselineEndY);
    }
    InvertSegment(view_.BaselineAnchorX, view_.BaselineAnchorY, view_.BaselineEndX,
                  view_.BaselineEndY);
    view_.DrawnBaselineEndX = view_.BaselineEndX;
    view_.DrawnBaselineEndY = view_.BaselineEndY;
  }
  view_.DragX = x;
  view_.DragY = y;
}

void PlotInteraction::MouseDown(MouseButton button, int x, int y) {
  host_.StatusText(2, "");
  // Before the first spectrum there is no frame: the zero frame of an
  // unpainted view would take a click at (0, 0) for one inside it.
  if (!view_.SpectrumShown || !IsInsidePlot(x, y, view_, host_.VisibleWindow())) {
    view_.MouseInPlot = false;
    return;
  }
  view_.MouseInPlot = true;
  // Labels are placed on release.
  if (view_.ToolMode != kCursorTool) return;

  if (button == MouseButton::kLeft) {
    view_.CursorDragging = true;
    view_.BaselineDragging = false;
    if (InFrameRange(x, view_)) PlaceCursorAtColumn(x);
  } else if (button == MouseButton::kRight && baselineTool_) {
    view_.CursorDragging = false;
    view_.BaselineDragging = true;
    ShowBaseline(x, y, false);
  }
}

void PlotInteraction::MouseMove(int x, int y) {
  if (!view_.SpectrumShown || view_.ToolMode != kCursorTool) return;
  if (!IsInsidePlot(x, y, view_, host_.VisibleWindow())) {
    view_.MouseInPlot = false;
    return;
  }
  view_.MouseInPlot = true;
  if (view_.CursorDragging && InFrameRange(x, view_)) PlaceCursorAtColumn(x);
  if (view_.BaselineDragging && InFrameRange(x, view_)) ShowBaseline(x, y, true);
}

void PlotInteraction::MouseUp(MouseButton button, int x, int y) {
  if (!view_.SpectrumShown) return;
  if (view_.ToolMode == kLabelTool) {
    PlaceLabel(button, x, y);
    return;
  }
  if (!IsInsidePlot(x, y, view_, host_.VisibleWindow())) {
    // Cancelled: no correction. The baseline's feedback line goes with it,
    // so that the screen shows the data as they are; the picture is drawn
    // afresh rather than the line inverted back, which would draw it anew
    // had anything repainted the plot during the drag.
    const bool baselineShown = view_.BaselineDragging;
    view_.MouseInPlot = false;
    view_.CursorDragging = false;
    view_.BaselineDragging = false;
    if (baselineShown) host_.Repaint();
    return;
  }
  view_.MouseInPlot = true;
  if (view_.CursorDragging && InFrameRange(x, view_)) PlaceCursorAtColumn(x);
  if (view_.BaselineDragging) {
    const PlotFrame frame = Frame();
    if (IsLevelMode(view_.CursorIndex, spectrum_)) {
      if (StrictlyBetweenFrameRows(view_.DragY, view_)) InvertHorizontalLine(view_.DragY);
      RecordEdit(EditKind::kBaseline);
      ShiftBaseline(spectrum_, frame, x, y);
    } else {
      const int correctedX = ComputeBaseline(view_, spectrum_, x, y);
      InvertSegment(view_.BaselineAnchorX, view_.BaselineAnchorY, view_.DrawnBaselineEndX,
                    view_.DrawnBaselineEndY);
      RecordEdit(EditKind::kBaseline);
      TiltBaseline(spectrum_, frame, view_, correctedX);
    }
    host_.SpectrumCorrected();
    host_.Repaint();
  }
  view_.CursorDragging = false;
  view_.BaselineDragging = false;
}

void PlotInteraction::ZoomDown(int x, int y) {
  if (!view_.SpectrumShown || !IsInsidePlot(x, y, view_, host_.VisibleWindow()) ||
      !InFrameRange(x, view_)) {
    return;
  }
  view_.ZoomDragging = true;
  view_.ZoomAnchorPx = x;
  view_.DrawnZoomPx = x;
  if (StrictlyInsideFrame(x, view_)) InvertVerticalLine(x);
}

void PlotInteraction::ZoomMove(int x) {
  if (!view_.ZoomDragging) return;
  // The far end stays on the frame, wherever the mouse goes.
  x = std::clamp(x, view_.PlotLeft, view_.PlotLeft + view_.PlotWidth);
  if (x == view_.DrawnZoomPx) return;
  // At the anchor the end line and the anchor line are one line.
  if (view_.DrawnZoomPx != view_.ZoomAnchorPx && StrictlyInsideFrame(view_.DrawnZoomPx, view_))
    InvertVerticalLine(view_.DrawnZoomPx);
  if (x != view_.ZoomAnchorPx && StrictlyInsideFrame(x, view_)) InvertVerticalLine(x);
  view_.DrawnZoomPx = x;
}

void PlotInteraction::ZoomUp(int x) {
  if (!view_.ZoomDragging) return;
  ZoomMove(x);
  view_.ZoomDragging = false;
  // The feedback goes whatever comes of the drag.
  if (view_.DrawnZoomPx != view_.ZoomAnchorPx && StrictlyInsideFrame(view_.DrawnZoomPx, view_))
    InvertVerticalLine(view_.DrawnZoomPx);
  if (StrictlyInsideFrame(view_.ZoomAnchorPx, view_)) InvertVerticalLine(view_.ZoomAnchorPx);
  const PlotFrame frame = Frame();
  int first = frame.WavenumberToIndex(frame.ColumnToWavenumber(view_.ZoomAnchorPx));
  int last = frame.WavenumberToIndex(frame.ColumnToWavenumber(view_.DrawnZoomPx));
  if (first > last) std::swap(first, last);
  first = std::clamp(first, view_.FirstShownIndex(), view_.LastShownIndex(spectrum_.LastIndex));
  last = std::clamp(last, view_.FirstShownIndex(), view_.LastShownIndex(spectrum_.LastIndex));
  // A click or a slip of the hand is no range to show.
  if (last - first + 1 < kMinZoomPoints) return;
  view_.ZoomFirst = first;
  view_.ZoomLast = last;
  view_.CursorIndex = first;
  view_.CursorX = spectrum_.PointX(first);
  host_.Repaint();
}

void PlotInteraction::ShowWholeSpectrum() {
  if (!view_.Zoomed()) return;
  view_.ShowWholeSpectrum();
  host_.Repaint();
}

void PlotInteraction::PlaceLabel(MouseButton button, int x, int y) {
  if (!IsVisibleColumn(x, host_.VisibleWindow())) {
    view_.MouseInPlot = false;
    return;
  }
  view_.MouseInPlot = true;
  const PlotFrame frame = Frame();
  if (button == MouseButton::kRight) {
    if (const std::optional<int> hit = LabelAt(frame, x, y)) {
      RecordEdit(EditKind::kLabelRemoved);
      view_.Labels.RemoveAt(*hit);
      // Labels are drawn over the picture: only a fresh one is without it.
      host_.Repaint();
      return;
    }
  }
  if (!InFrameRange(x, view_)) return;
  // A middle-button release has no kind of label; it places nothing.
  std::optional<PeakLabel> label = LabelForClick(spectrum_, frame, button, x, y);
  if (!label) return;
  // The 256th label is dropped without a word.
  if (view_.Labels.Count() >= kMaxLabels) return;
  RecordEdit(EditKind::kLabelPlaced);
  view_.Labels.Insert(*label);
  DrawPeakLabel(host_.Canvas(), frame, ScreenPlotStyle(), label->Kind, label->X, label->Y);
  view_.PeakListOffered = true;
}

std::optional<int> PlotInteraction::LabelAt(const PlotFrame& frame, int x, int y) {
  for (int i = view_.Labels.Count() - 1; i >= 0; --i) {
    if (PeakLabelHit(host_.Canvas(), frame, ScreenPlotStyle(), view_.Labels[i], x, y)) return i;
  }
  return std::nullopt;
}

void PlotInteraction::RecordEdit(EditKind kind) {
  if (EditHistory* history = host_.History()) history->Record(kind, spectrum_, view_.Labels);
}

void PlotInteraction::StepToIndex() {
  view_.CursorX = spectrum_.PointX(view_.CursorIndex);
  view_.CursorPx = Frame().XToColumn(view_.CursorX);
  MoveCursorLine();
  ShowCursorStatus();
}

void PlotInteraction::StepLeft() {
  // A cursor left of the visible part stays where it is.
  if (view_.DrawnCursorPx + 1 <= host_.VisibleWindow().position) {
    view_.MouseInPlot = false;
    return;
  }
  view_.MouseInPlot = true;
  if (view_.CursorIndex > view_.FirstShownIndex()) --view_.CursorIndex;
  StepToIndex();
}

void PlotInteraction::StepRight() {
  const ScrollWindow window = host_.VisibleWindow();
  if (window.position + window.width <= view_.DrawnCursorPx + 1) {
    view_.MouseInPlot = false;
    return;
  }
  view_.MouseInPlot = true;
  if (view_.CursorIndex < view_.LastShownIndex(spectrum_.LastIndex)) ++view_.CursorIndex;
  StepToIndex();
}

void PlotInteraction::JumpToPeak(PeakDirection direction) {
  const PeakJump jump = PeakJumpTarget(spectrum_, view_.CursorIndex, direction);
  const int px = Frame().XToColumn(jump.cursorX);
  // A band in the part of the plot scrolled out of view, or outside the
  // zoomed range, is not jumped to.
  if (!IsVisibleColumn(px, host_.VisibleWindow()) || !InFrameRange(px, view_)) return;
  view_.CursorIndex = jump.index;
  view_.CursorX = jump.cursorX;
  view_.CursorPx = px;
  MoveCursorLine();
  ShowCursorStatus();
}

void PlotInteraction::ChooseCursorTool() {
  view_.ToolMode = kCursorTool;
  view_.PeakListOffered = false;
  view_.CursorIndex = view_.FirstShownIndex();
  view_.CursorX = spectrum_.PointX(view_.CursorIndex);
  if (!view_.Labels.Empty()) {
    // The labels are discarded and the picture drawn afresh without them;
    // without labels a cursor line shown stays until the next placement.
    RecordEdit(EditKind::kLabelRemoved);
    view_.Labels.Clear();
    host_.Repaint();
  }
  ShowCursorStatus();
}

void PlotInteraction::ChooseLabelTool() {
  view_.ToolMode = kLabelTool;
  if (!view_.Labels.Empty()) {
    view_.PeakListOffered = true;
    host_.PaintOver();  // draws the labels over the current picture
  }
  if (StrictlyInsideFrame(view_.CursorPx, view_)) InvertVerticalLine(view_.CursorPx);
  view_.DrawnCursorPx = view_.CursorPx = view_.PlotLeft;
  view_.CursorX = spectrum_.XStart;
  host_.StatusText(1, "");
}

}  // namespace tesvar
