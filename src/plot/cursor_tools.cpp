#include "plot/cursor_tools.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/number_text.h"
#include "core/spectrum.h"
#include "plot/view_state.h"

namespace tesvar {

namespace {

// The last index the corrections may touch: LastIndex, but never past the
// arrays, whatever a damaged record claims.
int LastUsableIndex(const Spectrum& spectrum) {
  return std::min<int>(spectrum.LastIndex, static_cast<int>(spectrum.TransY.size()) - 1);
}

int ClampIndex(int index, const Spectrum& spectrum) {
  return std::clamp(index, 0, std::max(0, LastUsableIndex(spectrum)));
}

}  // namespace

bool IsVisibleColumn(int x, const ScrollWindow& window) {
  return window.position <= x + 1 && x + 1 < window.position + window.width;
}

bool IsInsidePlot(int x, int y, const ViewState& view, const ScrollWindow& window) {
  const int top = view.PlotBottom + view.PlotYScale;
  return IsVisibleColumn(x, window) && top <= y && y <= view.PlotBottom;
}

bool InFrameRange(int x, const ViewState& view) {
  return view.PlotLeft <= x && x <= view.PlotLeft + view.PlotWidth;
}

bool StrictlyInsideFrame(int x, const ViewState& view) {
  return view.PlotLeft < x && x < view.PlotLeft + view.PlotWidth;
}

bool StrictlyBetweenFrameRows(int y, const ViewState& view) {
  return view.PlotBottom + view.PlotYScale < y && y < view.PlotBottom;
}

int IndexNearWavenumber(const PlotFrame& frame, const Spectrum& spectrum, double x) {
  return ClampIndex(frame.WavenumberToIndex(x), spectrum);
}

std::string CursorPercentText(double transmittance) {
  return FormatFixed(transmittance * 100, 2, 2);
}

std::string CursorStatusText(double cursorX, const std::string& percentText) {
  return "cm-1: " + RealToText41(cursorX) + "   %T: " + percentText;
}

std::string CursorAbsorbanceText(double transmittance) {
  if (!(transmittance > 0)) return "-";
  return FormatFixed(-std::log10(transmittance), 4, 1);
}

std::string CursorAbsorbanceStatusText(double cursorX, const std::string& absorbanceText) {
  return "cm-1: " + RealToText41(cursorX) + "   A: " + absorbanceText;
}

bool IsLevelMode(int cursorIndex, const Spectrum& spectrum) {
  return cursorIndex == 0 || cursorIndex == spectrum.LastIndex;
}

int ComputeBaseline(ViewState& view, const Spectrum& spectrum, int x, int y) {
  const PlotFrame frame = PlotFrame::FromViewState(view, spectrum);
  view.BaselineAnchorX = view.CursorPx;
  view.BaselineEndX = x <= view.BaselineAnchorX ? frame.PlotLeft : frame.PlotRight();
  view.BaselineAnchorY = frame.TToRow(spectrum.TransY[ClampIndex(view.CursorIndex, spectrum)]);
  if (x == view.BaselineAnchorX) x = view.BaselineAnchorX - 1;

  // The line from the anchor through the mouse, followed to the frame edge.
  // The product can exceed 32 bits for an anchor far outside the frame.
  const int64_t rise =
      static_cast<int64_t>(view.BaselineAnchorY - y) * (view.BaselineAnchorX - view.BaselineEndX);
  const double e = view.BaselineAnchorY - static_cast<double>(rise) / (view.BaselineAnchorX - x);
  // Clamping before rounding gives the same as after it (the bounds are
  // whole), and keeps the conversion to int in range.
  const double top = frame.PlotTop();
  const double bottom = frame.PlotBottom;
  view.BaselineEndY = static_cast<int>(RoundHalfEven(std::clamp(e, top, bottom)));
  return x;
}

void ShiftBaseline(Spectrum& spectrum, const PlotFrame& frame, int x, int y) {
  const int i = IndexNearWavenumber(frame, spectrum, frame.ColumnToWavenumber(x));
  const double offset = spectrum.TransY[i] - frame.RowToT(y);
  const int last = LastUsableIndex(spectrum);
  for (int j = 0; j <= last; ++j) {
    spectrum.TransY[j] = static_cast<float>(spectrum.TransY[j] - offset);
  }
}

void TiltBaseline(Spectrum& spectrum, const PlotFrame& frame, const ViewState& view,
                  int correctedX) {
  const double tEnd = frame.RowToT(view.BaselineEndY);
  const int c = view.CursorIndex;
  const int last = LastUsableIndex(spectrum);
  if (c <= 0 || c >= last) return;  // level mode: no cursor point to tilt about
  std::vector<float>& t = spectrum.TransY;
  if (correctedX < view.BaselineAnchorX) {
    const double d = t[0] - tEnd;
    for (int j = 0; j <= c; ++j) t[j] = static_cast<float>(t[j] - d * (c - j) / c);
  } else if (correctedX > view.BaselineAnchorX) {
    const double d = t[last] - tEnd;
    for (int j = c; j <= last; ++j) t[j] = static_cast<float>(t[j] - d * (j - c) / (last - c));
  }
}

std::optional<PeakLabel> LabelForClick(const Spectrum& spectrum, const PlotFrame& frame,
                                       MouseButton button, int x, int y) {
  if (button != MouseButton::kLeft && button != MouseButton::kRight) return std::nullopt;
  const int last = LastUsableIndex(spectrum);
  const int u = frame.LabelUnit;
  int iL = frame.WavenumberToIndex(frame.ColumnToWavenumber(x - u));
  int iR = frame.WavenumberToIndex(frame.ColumnToWavenumber(x + u));
  // The window holds at least two points; a one-point spectrum has only one.
  iL = std::clamp(iL, 0, std::max(0, last - 1));
  iR = std::clamp(iR, std::min(1, std::max(0, last)), std::max(0, last));

  // No transmittance reaches 100.0 (10000 %T); if none in the window is
  // below it (all NaN), the window's first point is taken.
  double m = 100.0;
  int k = iL;
  for (int i = iL; i <= iR; ++i) {
    if (spectrum.TransY[i] < m) {
      m = spectrum.TransY[i];
      k = i;
    }
  }

  const double t = frame.RowToT(y);
  PeakLabel label;
  label.X = spectrum.PointX(k);
  label.Y = t;
  const bool stemDown = t > m;
  if (button == MouseButton::kLeft) {
    label.Kind = stemDown ? 2 : 0;
  } else {
    label.Kind = stemDown ? 3 : 1;
  }
  return label;
}

}  // namespace tesvar
