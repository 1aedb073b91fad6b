#include "plot/plot_geometry.h"

#include <algorithm>
#include <cstdint>

#include "core/number_text.h"
#include "core/spectrum.h"
#include "plot/drawing_surface.h"
#include "plot/view_state.h"

namespace tesvar {

namespace {

// Coordinates stay far inside the int range, so that a label or a read-out
// at an absurd transmittance cannot overflow the arithmetic of the surface.
constexpr int64_t kCoordinateLimit = 1 << 28;

int ToCoordinate(double value) {
  return static_cast<int>(std::clamp(RoundHalfEven(value), -kCoordinateLimit, kCoordinateLimit));
}

}  // namespace

FrameRules ScreenFrameRules() { return FrameRules{}; }

FrameRules MetafileFrameRules() {
  return {.leftText = "000",
          .leftTextCount = 2,
          .rightMargin = 6,
          .bottomMargin = 1,
          .bottomTextLines = 3,
          .topMargin = 1,
          .labelUnit = 3};
}

FrameRules PrintFrameRules() {
  return {.leftText = "000000",
          .leftTextCount = 1,
          .rightMargin = 41,
          .bottomMargin = 0,
          .bottomTextLines = 2,
          .topMargin = 101,
          .labelUnit = 0};
}

FrameMetrics MeasureFrameText(const FrameRules& rules, DrawingSurface& surface) {
  FrameMetrics m;
  m.leftTextWidth = surface.TextWidth(rules.leftText);
  m.zeroHeight = surface.TextHeight("0");
  m.zeroWidth = surface.TextWidth("0");
  return m;
}

PlotFrame PlotFrame::Layout(const FrameRules& rules, const FrameMetrics& metrics, int width,
                            int height, double xStart, double xEnd, double xStep) {
  PlotFrame f;
  f.PlotLeft = rules.leftTextCount * metrics.leftTextWidth;
  f.PlotWidth = width - rules.rightMargin - f.PlotLeft;
  f.PlotBottom = height - rules.bottomMargin - rules.bottomTextLines * metrics.zeroHeight;
  f.PlotYScale = (metrics.zeroHeight + rules.topMargin) - f.PlotBottom;
  f.LabelUnit = rules.labelUnit > 0 ? rules.labelUnit
                                    : static_cast<int>(RoundHalfEven(0.7 * metrics.zeroWidth));
  f.SetRange(xStart, xEnd, xStep);
  return f;
}

PlotFrame PlotFrame::Measure(const FrameRules& rules, DrawingSurface& surface, int width,
                             int height, const Spectrum& spectrum) {
  return Layout(rules, MeasureFrameText(rules, surface), width, height, spectrum.XStart,
                spectrum.XEnd, spectrum.XStep);
}

PlotFrame PlotFrame::FromViewState(const ViewState& view, const Spectrum& spectrum) {
  PlotFrame f;
  f.PlotLeft = view.PlotLeft;
  f.PlotBottom = view.PlotBottom;
  f.PlotWidth = view.PlotWidth;
  f.PlotYScale = view.PlotYScale;
  f.LabelUnit = view.LabelUnit;
  f.SetRange(spectrum.XStart, spectrum.XEnd, spectrum.XStep);
  return f;
}

void PlotFrame::SetRange(double xStart, double xEnd, double xStep) {
  XStart = xStart;
  XStep = xStep;
  Axis = WavenumberAxis(xStart, xEnd, PlotWidth);
  XSpan = Axis.Span();
  PlotXScale = Axis.ScaleHigh();
  PlotXScaleLow = Axis.ScaleLow();
  BreakOffset = Axis.BreakOffset();
}

void PlotFrame::CopyTo(ViewState& view) const {
  view.PlotLeft = PlotLeft;
  view.PlotBottom = PlotBottom;
  view.PlotWidth = PlotWidth;
  view.PlotYScale = PlotYScale;
  view.LabelUnit = LabelUnit;
}

int PlotFrame::XToColumn(double x) const { return PlotLeft + ToCoordinate(Axis.Offset(x)); }

int PlotFrame::TToRow(double t) const { return PlotBottom + ToCoordinate(t * PlotYScale); }

int PlotFrame::TraceRow(double t) const {
  if (t > 1) {
    t = 1;
  } else if (!(t >= 0)) {  // also NaN
    t = 0;
  }
  return TToRow(t);
}

double PlotFrame::ColumnToWavenumber(int column) const {
  return Axis.WavenumberAt(column - PlotLeft);
}

int PlotFrame::WavenumberToIndex(double x) const {
  if (XStep == 0) return 0;
  int64_t i = RoundHalfEven((XStart - x) / XStep);
  return static_cast<int>(std::clamp<int64_t>(i, INT32_MIN, INT32_MAX));
}

double PlotFrame::RowToT(int row) const {
  // A surface too low for a frame has no transmittance scale.
  if (PlotYScale == 0) return 0;
  return static_cast<double>(row - PlotBottom) / PlotYScale;
}

namespace {

// The row of tenth i; the product i x PlotYScale is an integer before it is
// scaled, as every renderer forms it.
int TenthRow(const PlotFrame& frame, int i) {
  return frame.PlotBottom + ToCoordinate(static_cast<double>(i * frame.PlotYScale) * 0.1);
}

}  // namespace

std::vector<TransmittanceTick> TransmittanceTicks(const PlotFrame& frame) {
  std::vector<TransmittanceTick> ticks;
  for (int i = 0; i <= 10; ++i) {
    ticks.push_back({TenthRow(frame, i), i % 2 == 0 ? FormatInt(10 * i) : std::string()});
  }
  return ticks;
}

std::vector<WavenumberTick> WavenumberTicks(const PlotFrame& frame) {
  std::vector<WavenumberTick> ticks;
  for (AxisTick& tick : frame.Axis.Ticks()) {
    const int column = frame.XToColumn(tick.wavenumber);
    ticks.push_back({std::move(tick), column});
  }
  return ticks;
}

std::vector<int> GridRows(const PlotFrame& frame) {
  std::vector<int> rows;
  for (int i = 1; i <= 9; ++i) rows.push_back(TenthRow(frame, i));
  return rows;
}

std::vector<int> GridColumns(const PlotFrame& frame) {
  std::vector<int> columns;
  for (const AxisTick& tick : frame.Axis.Ticks()) {
    if (tick.grid) columns.push_back(frame.XToColumn(tick.wavenumber));
  }
  return columns;
}

std::vector<PlotPoint> TraceVertices(const PlotFrame& frame, const float* transY, int lastIndex) {
  std::vector<PlotPoint> vertices;
  if (lastIndex < 0) return vertices;
  vertices.push_back({frame.PlotLeft, frame.TraceRow(transY[0])});
  int lastColumn = frame.PlotLeft;
  for (int i = 1; i <= lastIndex; ++i) {
    int c = frame.XToColumn(frame.PointX(i));
    if (c == lastColumn) continue;
    vertices.push_back({c, frame.TraceRow(transY[i])});
    lastColumn = c;
  }
  return vertices;
}

PlotPoint TitlePosition(const PlotFrame& frame, int textWidth, int textHeight, int gap) {
  return {frame.PlotLeft + ToCoordinate(frame.PlotWidth * 0.5) - textWidth / 2,
          frame.PlotTop() - textHeight - gap};
}

}  // namespace tesvar
