// The cursor, baseline and label tools as the mouse, the step buttons and
// the tool buttons drive them on the screen plot: what each press, move and
// release does to the view state and the spectrum, and the inverted lines
// that show the cursor and the baseline while they move.
//
// The feedback lines are drawn in NotXor over the current picture, so that
// drawing a line a second time takes it away again; the state keeps where
// each line stands (DrawnCursorPx, DragY, DrawnBaselineEnd*) for that. What
// only the window can do (draw the picture afresh, set a status panel, keep
// a corrected spectrum for saving) it is asked for through InteractionHost
// at the moment the step needs it, since a repaint in the middle of a step
// sets the read-out and the frame the rest of the step works with.
#pragma once

#include <optional>
#include <string>

#include "plot/cursor_tools.h"
#include "plot/edit_history.h"
#include "plot/peak_search.h"

namespace tesvar {

class DrawingSurface;
class EditHistory;
struct Spectrum;
struct ViewState;

class InteractionHost {
 public:
  virtual ~InteractionHost() = default;

  // The surface to draw on, over the current picture.
  virtual DrawingSurface& Canvas() = 0;
  // The part of the surface the scroll box shows now.
  virtual ScrollWindow VisibleWindow() const = 0;
  // Draws the whole picture afresh now; the paint ends in CursorAfterPaint.
  virtual void Repaint() = 0;
  // Runs the paint over the current picture without clearing it first.
  virtual void PaintOver() = 0;
  virtual void StatusText(int panel, const std::string& text) = 0;
  // The baseline tool changed the ordinates.
  virtual void SpectrumCorrected() = 0;
  // Where the edits are kept for undo; none: they are not kept.
  virtual EditHistory* History() { return nullptr; }
};

// The plot's interaction with one spectrum; made for each handler call, it
// keeps nothing between calls that the view state does not hold.
// REQUIRES: a spectrum is shown (view.SpectrumShown) for every call but
// MouseDown, MouseMove and MouseUp, which check it themselves.
class PlotInteraction {
 public:
  // `baselineTool`: the right button drags the baseline (the -e switch).
  PlotInteraction(ViewState& view, Spectrum& spectrum, bool baselineTool, InteractionHost& host)
      : view_(view), spectrum_(spectrum), baselineTool_(baselineTool), host_(host) {}

  void MouseDown(MouseButton button, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(MouseButton button, int x, int y);

  // Zoom: a left drag with Shift held marks a wavenumber range with two
  // inverted lines at its ends; the release shows that range, unless it
  // holds fewer than kMinZoomPoints data points. The drag runs in either
  // tool and leaves the cursor, the baseline and the labels alone until the
  // release.
  static constexpr int kMinZoomPoints = 4;
  void ZoomDown(int x, int y);
  void ZoomMove(int x);
  void ZoomUp(int x);
  // Back to the whole spectrum.
  void ShowWholeSpectrum();

  // "< fine" and "fine >": one data point, while the cursor line is not out
  // of view on that side.
  void StepLeft();
  void StepRight();
  // "< peak" and "peak >": to the next band, when it lies in view.
  void JumpToPeak(PeakDirection direction);

  // The tool buttons. The cursor tool discards the labels (an edit that
  // can be undone); the label tool takes the cursor line away.
  void ChooseCursorTool();
  void ChooseLabelTool();

  // After a paint with `frame`: in the cursor tool the cursor goes onto its
  // data point, its line is drawn and the read-out shown.
  void CursorAfterPaint(const PlotFrame& frame);

  // The three inverting primitives; they leave the pen in NotXor mode.
  void InvertVerticalLine(int x);
  void InvertHorizontalLine(int y);
  void InvertSegment(int x1, int y1, int x2, int y2);
  // The cursor read-out in status panel 1.
  void ShowCursorStatus();

 private:
  PlotFrame Frame() const;
  void PlaceCursorAtColumn(int x);
  // Moves the cursor line from DrawnCursorPx to CursorPx when they differ.
  void MoveCursorLine();
  // The cursor onto CursorIndex, its line moved and the read-out shown.
  void StepToIndex();
  // The baseline feedback for the mouse at (x, y): the level line on the
  // mouse's row, or the tilt segment from the cursor point; the one drawn
  // before is taken away first when `erase` is set.
  void ShowBaseline(int x, int y, bool erase);
  // The label tool's release: a right click on a label takes it away;
  // any other click of the left or right button places one.
  void PlaceLabel(MouseButton button, int x, int y);
  // The label under (x, y), the one drawn last where several overlap.
  std::optional<int> LabelAt(const PlotFrame& frame, int x, int y);
  // Keeps the state an edit of `kind` is about to change, for undo.
  void RecordEdit(EditKind kind);

  ViewState& view_;
  Spectrum& spectrum_;
  bool baselineTool_;
  InteractionHost& host_;
};

}  // namespace tesvar
