#include "plot/plot_geometry.h"

#include <algorithm>
#include <cmath>
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
  if (view.AbsorbanceShown) {
    f.ShowAbsorbance(view.ShownOrdinate);
  } else if (view.OrdinateFitted) {
    f.FitOrdinate(view.ShownOrdinate);
  }
  f.SetRange(spectrum.XStart, spectrum.XEnd, spectrum.XStep);
  if (view.Zoomed()) f.ShowRange(spectrum.PointX(view.ZoomFirst), spectrum.PointX(view.ZoomLast));
  return f;
}

void PlotFrame::ShowRange(double shownStart, double shownEnd) {
  Zoomed = true;
  const double xStart = XStart;
  const double xStep = XStep;
  SetRange(shownStart, shownEnd, xStep);
  XStart = xStart;
}

bool PlotFrame::ShowsWavenumber(double x) const { return x <= Axis.XStart() && x >= Axis.XEnd(); }

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
  view.OrdinateFitted = OrdinateFitted && !Absorbance;
  view.AbsorbanceShown = Absorbance;
  view.ShownOrdinate = Ordinate;
}

void PlotFrame::FitOrdinate(const OrdinateRange& range) {
  OrdinateFitted = true;
  Ordinate = range;
  TLow = range.low / 100;
  TSpan = (range.high - range.low) / 100;
}

void PlotFrame::ShowAbsorbance(const OrdinateRange& range) {
  OrdinateFitted = true;
  Absorbance = true;
  Ordinate = range;
}

int PlotFrame::ValueRow(double value) const {
  if (!Absorbance) return TToRow(value / 100);
  return PlotBottom +
         ToCoordinate((value - Ordinate.low) / (Ordinate.high - Ordinate.low) * PlotYScale);
}

int PlotFrame::XToColumn(double x) const { return PlotLeft + ToCoordinate(Axis.Offset(x)); }

int PlotFrame::TToRow(double t) const {
  if (Absorbance) {
    if (!(t > 0)) return PlotTop();  // no absorbance: drawn at the top
    return ValueRow(-std::log10(t));
  }
  return PlotBottom + ToCoordinate((t - TLow) / TSpan * PlotYScale);
}

int PlotFrame::TraceRow(double t) const {
  if (Absorbance) {
    if (std::isnan(t)) return PlotBottom;
    if (!(t > 0)) return PlotTop();
    return AbsorbanceTraceRow(-std::log10(t));
  }
  if (t > TLow + TSpan) {
    t = TLow + TSpan;
  } else if (!(t >= TLow)) {  // also NaN
    t = TLow;
  }
  return TToRow(t);
}

int PlotFrame::AbsorbanceTraceRow(double a) const {
  if (std::isnan(a)) return PlotBottom;
  return ValueRow(std::clamp(a, Ordinate.low, Ordinate.high));
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
  if (PlotYScale == 0) return TLow;
  const double fraction = static_cast<double>(row - PlotBottom) / PlotYScale;
  if (Absorbance)
    return std::pow(10.0, -(Ordinate.low + fraction * (Ordinate.high - Ordinate.low)));
  return OrdinateFitted ? TLow + fraction * TSpan : fraction;
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
  if (frame.OrdinateFitted) {
    const OrdinateRange& range = frame.Ordinate;
    for (int i = 0; i < range.TickCount(); ++i)
      ticks.push_back({frame.ValueRow(range.TickValue(i)), range.TickText(i)});
    return ticks;
  }
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
  if (frame.OrdinateFitted) {
    std::vector<TransmittanceTick> ticks = TransmittanceTicks(frame);
    for (std::size_t i = 1; i + 1 < ticks.size(); ++i) rows.push_back(ticks[i].row);
    return rows;
  }
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

std::vector<PlotPoint> TraceVertices(const PlotFrame& frame, const float* transY, int lastIndex,
                                     int firstIndex) {
  std::vector<PlotPoint> vertices;
  if (lastIndex < firstIndex || firstIndex < 0) return vertices;
  vertices.push_back({frame.PlotLeft, frame.TraceRow(transY[firstIndex])});
  int lastColumn = frame.PlotLeft;
  for (int i = firstIndex + 1; i <= lastIndex; ++i) {
    int c = frame.XToColumn(frame.PointX(i));
    if (c == lastColumn) continue;
    vertices.push_back({c, frame.TraceRow(transY[i])});
    lastColumn = c;
  }
  return vertices;
}

std::vector<PlotPoint> OverlayVertices(const PlotFrame& frame, const float* transY, int lastIndex,
                                       double xStart, double xStep, double scale) {
  const bool scaled = frame.Absorbance && scale != 1;
  std::vector<PlotPoint> vertices;
  bool any = false;
  int lastColumn = 0;
  for (int i = 0; i <= lastIndex; ++i) {
    const double x = xStart - xStep * i;
    if (!frame.ShowsWavenumber(x)) continue;
    const int c = frame.XToColumn(x);
    if (any && c == lastColumn) continue;
    const float t = transY[i];
    const int row =
        scaled && t > 0 ? frame.AbsorbanceTraceRow(-std::log10(t) * scale) : frame.TraceRow(t);
    vertices.push_back({c, row});
    lastColumn = c;
    any = true;
  }
  return vertices;
}

OrdinateRange FitTransmittanceRange(const float* transY, int first, int last) {
  double low = INFINITY;
  double high = -INFINITY;
  for (int i = std::max(first, 0); i <= last; ++i) {
    const double percent = 100.0 * transY[i];
    if (!std::isfinite(percent)) continue;
    low = std::min(low, percent);
    high = std::max(high, percent);
  }
  if (low > high) return OrdinateRange{};
  return FitOrdinateRange(low, high);
}

OrdinateRange FitAbsorbanceRange(const float* transY, int first, int last) {
  // Absorbance falls as transmittance rises: the range comes from the
  // smallest and largest positive transmittance, two logarithms in all.
  float smallest = INFINITY;
  float largest = 0;
  for (int i = std::max(first, 0); i <= last; ++i) {
    const float t = transY[i];
    if (!(t > 0) || t == INFINITY) continue;
    smallest = std::min(smallest, t);
    largest = std::max(largest, t);
  }
  double low = 0;
  double high = 1;
  if (largest > 0) {
    low = std::min(0.0, -std::log10(static_cast<double>(largest)));
    high = -std::log10(static_cast<double>(smallest));
  }
  constexpr double kNarrowest = 0.01;
  high = std::max(high, low + kNarrowest);
  return FitOrdinateRange(low, high);
}

PlotPoint TitlePosition(const PlotFrame& frame, int textWidth, int textHeight, int gap) {
  return {frame.PlotLeft + ToCoordinate(frame.PlotWidth * 0.5) - textWidth / 2,
          frame.PlotTop() - textHeight - gap};
}

}  // namespace tesvar
