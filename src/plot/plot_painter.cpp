#include "plot/plot_painter.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/spectrum.h"
#include "plot/peak_labels.h"
#include "plot/view_state.h"

namespace tesvar {

int UnitLength::Resolve(int labelUnit) const {
  return pixels + static_cast<int>(RoundHalfEven(perLabelUnit * labelUnit));
}

PlotStyle ScreenPlotStyle() {
  PlotStyle style;
  style.frame = ScreenFrameRules();
  style.axisFont = {"Arial Narrow", -12};
  style.titleFont = FontSpec{"Arial", -12};
  return style;
}

PlotStyle MetafilePlotStyle(int dpi) {
  PlotStyle style;
  style.frame = MetafileFrameRules();
  style.axisFont = {"Arial Narrow", FontHeightForPoints(14, dpi)};
  style.labelFont = FontSpec{"Arial Narrow", FontHeightForPoints(10, dpi)};
  style.textGap = 8;
  style.textBeforeTick = true;
  style.percentGap = 6;
  style.numberRow = {24};
  style.cmRow = {40};
  style.exponentRow = {30};
  style.majorTick = {9};
  style.minorTick = {5};
  style.labelTextFirst = true;
  return style;
}

PlotStyle PrintPlotStyle(int surfaceWidth) {
  // The page bitmap is drawn at 96 dpi whatever the printer's resolution;
  // the point sizes grow with the page width instead.
  constexpr int kBitmapDpi = 96;
  PlotStyle style;
  style.frame = PrintFrameRules();
  style.axisFont = {"Arial Narrow", FontHeightForPoints(surfaceWidth / 100, kBitmapDpi)};
  FontSpec small{"Arial Narrow", FontHeightForPoints(surfaceWidth / 140, kBitmapDpi)};
  style.labelFont = small;
  style.exponentFont = small;
  style.gridColor = kBlack;  // the bitmap has one bit per pixel
  style.tickLength = 0;
  style.tickText = " ";
  style.textSuffix = "0";
  style.textGap = 0;
  style.percentSuffix = "0";
  style.percentGap = 0;
  style.titleGap = 8;
  style.numberRow = {0, 3};
  style.cmRow = {0, 4};
  style.exponentRow = {0, 3};
  style.majorTick = {0, 1};
  style.minorTick = {0, 0.7};
  style.labelTextGap = 4;
  return style;
}

namespace {

void SetFont(DrawingSurface& s, const FontSpec& font) { s.SetFont(font.name, font.height); }

void Line(DrawingSurface& s, int x1, int y1, int x2, int y2) {
  s.MoveTo(x1, y1);
  s.LineTo(x2, y2);
}

void BeginPlot(DrawingSurface& s, const PlotStyle& style) {
  s.SetPenColor(kBlack);
  s.SetPenStyle(PenStyle::kSolid);
  s.SetPenMode(PenMode::kCopy);
  SetFont(s, style.axisFont);
}

// A transmittance or spectrum array may hold fewer slots than LastIndex
// claims; the trace never reads past the array.
int LastDrawnIndex(const Spectrum& spectrum) {
  return std::min<int>(spectrum.LastIndex, static_cast<int>(spectrum.TransY.size()) - 1);
}

}  // namespace

void DrawGrid(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style) {
  s.SetPenColor(style.gridColor);
  s.SetPenStyle(PenStyle::kDot);
  for (int row : GridRows(frame)) Line(s, frame.PlotLeft, row, frame.PlotRight(), row);
  for (int column : GridColumns(frame)) {
    Line(s, column, frame.PlotBottom, column, frame.PlotTop());
  }
  s.SetPenColor(kBlack);
  s.SetPenStyle(PenStyle::kSolid);
}

namespace {

// Where the parts of a label go: the stem from (c, stemEnd) to the label's
// point (c, r), the leader from there to leaderEnd, the text at (textX, textY).
struct PeakLabelLayout {
  std::string text;
  int c, r, stemEnd, leaderEnd, textX, textY;
};

PeakLabelLayout LayOutPeakLabel(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style,
                                uint8_t kind, double x, double y) {
  const int u = frame.LabelUnit;
  PeakLabelLayout l;
  l.text = RealToText41(x);
  l.c = frame.XToColumn(x);
  l.r = frame.TToRow(y);
  l.stemEnd = StemUp(kind) ? l.r - u : l.r + u;
  l.leaderEnd = TextLeft(kind) ? l.c - 3 * u : l.c + 3 * u;
  l.textX = TextLeft(kind) ? l.leaderEnd - style.labelTextGap - s.TextWidth(l.text)
                           : l.leaderEnd + style.labelTextGap;
  l.textY = l.r - s.TextHeight(l.text) / 2;
  return l;
}

}  // namespace

bool PeakLabelHit(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style,
                  const PeakLabel& label, int x, int y) {
  if (style.labelFont) SetFont(s, *style.labelFont);
  const PeakLabelLayout l = LayOutPeakLabel(s, frame, style, label.Kind, label.X, label.Y);
  const int textRight = l.textX + s.TextWidth(l.text);
  const int textBottom = l.textY + s.TextHeight(l.text);
  if (style.labelFont) SetFont(s, style.axisFont);
  const int left = std::min({l.c, l.leaderEnd, l.textX});
  const int right = std::max({l.c, l.leaderEnd, textRight});
  const int top = std::min(l.stemEnd, l.textY);
  const int bottom = std::max(l.stemEnd, textBottom);
  return x >= left && x <= right && y >= top && y <= bottom;
}

void DrawPeakLabel(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style, uint8_t kind,
                   double x, double y) {
  const auto [text, c, r, stemEnd, leaderEnd, textX, textY] =
      LayOutPeakLabel(s, frame, style, kind, x, y);
  if (style.labelTextFirst) {
    s.TextOut(textX, textY, text);
    Line(s, c, r, leaderEnd, r);
    Line(s, c, stemEnd, c, r);
  } else {
    s.MoveTo(c, stemEnd);
    s.LineTo(c, r);
    s.LineTo(leaderEnd, r);
    s.TextOut(textX, textY, text);
  }
}

void DrawPeakLabels(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style,
                    const LabelList& labels) {
  if (labels.Empty()) return;
  if (style.labelFont) SetFont(s, *style.labelFont);
  for (const PeakLabel& label : labels) {
    if (frame.Zoomed && !frame.ShowsWavenumber(label.X)) continue;
    // The absorbance axis turns the plot upside down: a label below its
    // band in %T stands above it, and its stem turns to point at the band.
    const uint8_t kind = frame.Absorbance ? label.Kind ^ 2 : label.Kind;
    DrawPeakLabel(s, frame, style, kind, label.X, label.Y);
  }
  if (style.labelFont) SetFont(s, style.axisFont);
}

void DrawPercentUnit(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style) {
  const std::string unit = frame.Absorbance ? "A" : "%T";
  int x = frame.PlotLeft - s.TextWidth(unit + style.percentSuffix) - style.percentGap;
  int y = frame.PlotBottom + static_cast<int>(RoundHalfEven(frame.PlotYScale * 0.93)) -
          s.TextHeight(unit) / 2;
  s.TextOut(x, y, unit);
}

void DrawTitle(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style,
               const std::string& title) {
  if (style.titleFont) SetFont(s, *style.titleFont);
  PlotPoint at = TitlePosition(frame, s.TextWidth(title), s.TextHeight(title), style.titleGap);
  s.TextOut(at.x, at.y, title);
  if (style.titleFont) SetFont(s, style.axisFont);
}

void DrawTrace(DrawingSurface& s, const PlotFrame& frame, const float* transY, int lastIndex,
               int firstIndex) {
  std::vector<PlotPoint> vertices = TraceVertices(frame, transY, lastIndex, firstIndex);
  if (vertices.empty()) return;
  s.MoveTo(vertices[0].x, vertices[0].y);
  for (std::size_t i = 1; i < vertices.size(); ++i) s.LineTo(vertices[i].x, vertices[i].y);
}

void DrawComparisonTraces(DrawingSurface& s, const PlotFrame& frame, const Spectrum& shown,
                          const PlotOverlay& overlay) {
  if (!overlay.HasComparisons()) return;
  for (int i = 0; i < overlay.comparisons->Size(); ++i) {
    const Spectrum& c = (*overlay.comparisons)[i].spectrum;
    const double scale = DrawnScale(shown, overlay, i, frame.Axis.XStart(), frame.Axis.XEnd());
    const std::vector<PlotPoint> vertices =
        OverlayVertices(frame, c.TransY.data(), LastDrawnIndex(c), c.XStart, c.XStep, scale);
    if (vertices.empty()) continue;
    s.SetPenColor(ComparisonColor(i));
    s.MoveTo(vertices[0].x, vertices[0].y);
    for (std::size_t k = 1; k < vertices.size(); ++k) s.LineTo(vertices[k].x, vertices[k].y);
  }
  s.SetPenColor(kBlack);
}

void DrawLegend(DrawingSurface& s, const PlotFrame& frame, const Spectrum& shown,
                const PlotOverlay& overlay) {
  if (!overlay.HasComparisons()) return;
  const std::vector<std::string> texts =
      LegendTexts(shown, overlay, frame.Axis.XStart(), frame.Axis.XEnd());
  const int zero = std::max(1, s.TextWidth("0"));
  const int rowHeight = s.TextHeight("0");
  const int margin = zero;
  int widest = 0;
  for (const std::string& text : texts) widest = std::max(widest, s.TextWidth(text));
  const int textX = frame.PlotRight() - margin - widest;
  const int lineRight = textX - zero / 2 - 1;
  const int lineLeft = lineRight - 3 * zero;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const int top = frame.PlotTop() + margin / 2 + static_cast<int>(i) * rowHeight;
    const int row = top + rowHeight / 2;
    s.SetPenColor(i == 0 ? kBlack : ComparisonColor(static_cast<int>(i) - 1));
    // Two rows of pixels, so that a colour reads on paper too.
    Line(s, lineLeft, row, lineRight, row);
    Line(s, lineLeft, row + 1, lineRight, row + 1);
    s.TextOut(textX, top, texts[i]);
  }
  s.SetPenColor(kBlack);
}

void ApplyOverlayOrdinate(PlotFrame& frame, const Spectrum& shown, const PlotOverlay& overlay,
                          int first, int last) {
  if (overlay.absorbance)
    frame.ShowAbsorbance(FitAbsorbanceRange(shown.TransY.data(), first, last));
}

void DrawTransmittanceAxis(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style) {
  int tickStart = frame.PlotLeft - style.tickLength;
  if (!style.tickText.empty()) tickStart -= s.TextWidth(style.tickText);
  for (const TransmittanceTick& tick : TransmittanceTicks(frame)) {
    if (!style.textBeforeTick) Line(s, tickStart, tick.row, frame.PlotLeft, tick.row);
    if (!tick.text.empty()) {
      int x = frame.PlotLeft - s.TextWidth(tick.text + style.textSuffix) - style.textGap;
      s.TextOut(x, tick.row - s.TextHeight(tick.text) / 2, tick.text);
    }
    if (style.textBeforeTick) Line(s, tickStart, tick.row, frame.PlotLeft, tick.row);
  }
}

void DrawWavenumberAxis(DrawingSurface& s, const PlotFrame& frame, const PlotStyle& style) {
  const int u = frame.LabelUnit;
  const int bottom = frame.PlotBottom;
  for (const WavenumberTick& tick : WavenumberTicks(frame)) {
    const int c = tick.column;
    if (tick.unit) {
      // "cm" ends at the 1800 column and a raised "-1" starts there.
      s.TextOut(c - s.TextWidth("cm"), bottom + style.cmRow.Resolve(u) - s.TextHeight("cm") / 2,
                "cm");
      if (style.exponentFont) SetFont(s, *style.exponentFont);
      s.TextOut(c, bottom + style.exponentRow.Resolve(u) - s.TextHeight("-1") / 2, "-1");
      if (style.exponentFont) SetFont(s, style.axisFont);
    }
    if (tick.major) {
      s.TextOut(c - s.TextWidth(tick.text) / 2,
                bottom + style.numberRow.Resolve(u) - s.TextHeight(tick.text) / 2, tick.text);
      Line(s, c, bottom, c, bottom + style.majorTick.Resolve(u));
    } else {
      Line(s, c, bottom, c, bottom + style.minorTick.Resolve(u));
    }
  }
}

void DrawFrame(DrawingSurface& s, const PlotFrame& frame) {
  s.MoveTo(frame.PlotLeft, frame.PlotBottom);
  s.LineTo(frame.PlotRight(), frame.PlotBottom);
  s.LineTo(frame.PlotRight(), frame.PlotTop());
  s.LineTo(frame.PlotLeft, frame.PlotTop());
  s.LineTo(frame.PlotLeft, frame.PlotBottom);
}

std::optional<PlotFrame> PaintScreenPlot(DrawingSurface& s, int width, int height,
                                         const Spectrum& spectrum, ViewState& view,
                                         const PlotOverlay& overlay) {
  if (!view.SpectrumShown) return std::nullopt;
  const PlotStyle style = ScreenPlotStyle();
  BeginPlot(s, style);
  PlotFrame frame = PlotFrame::Measure(style.frame, s, width, height, spectrum);
  const int first = view.FirstShownIndex();
  const int last = std::min(view.LastShownIndex(spectrum.LastIndex), LastDrawnIndex(spectrum));
  if (view.Zoomed()) frame.ShowRange(spectrum.PointX(first), spectrum.PointX(last));
  if (overlay.absorbance) {
    ApplyOverlayOrdinate(frame, spectrum, overlay, first, last);
  } else if (view.FitOrdinate) {
    frame.FitOrdinate(FitTransmittanceRange(spectrum.TransY.data(), first, last));
  }
  frame.CopyTo(view);
  if (view.GridOn) DrawGrid(s, frame, style);
  // Labels go under the trace: they are drawn first.
  if (view.ToolMode == kLabelTool) DrawPeakLabels(s, frame, style, view.Labels);
  DrawPercentUnit(s, frame, style);
  DrawTitle(s, frame, style, spectrum.ShortComment);
  // The shown spectrum is drawn last, on top of its comparisons.
  DrawComparisonTraces(s, frame, spectrum, overlay);
  DrawTrace(s, frame, spectrum.TransY.data(), last, first);
  DrawTransmittanceAxis(s, frame, style);
  DrawWavenumberAxis(s, frame, style);
  DrawFrame(s, frame);
  DrawLegend(s, frame, spectrum, overlay);
  return frame;
}

PlotFrame DrawMetafilePlot(DrawingSurface& s, int screenWidth, int screenHeight, int dpi,
                           const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                           const PlotOverlay& overlay) {
  const PlotStyle style = MetafilePlotStyle(dpi);
  BeginPlot(s, style);
  PlotFrame frame = PlotFrame::Measure(style.frame, s, screenWidth, screenHeight, spectrum);
  ApplyOverlayOrdinate(frame, spectrum, overlay, 0, LastDrawnIndex(spectrum));
  if (gridOn) DrawGrid(s, frame, style);
  DrawPeakLabels(s, frame, style, labels);
  DrawPercentUnit(s, frame, style);
  DrawTitle(s, frame, style, spectrum.ShortComment);
  DrawTransmittanceAxis(s, frame, style);
  DrawWavenumberAxis(s, frame, style);
  DrawComparisonTraces(s, frame, spectrum, overlay);
  DrawTrace(s, frame, spectrum.TransY.data(), LastDrawnIndex(spectrum));
  DrawFrame(s, frame);
  DrawLegend(s, frame, spectrum, overlay);
  return frame;
}

PlotFrame DrawPrintPlot(DrawingSurface& s, int width, int height, const Spectrum& spectrum,
                        bool gridOn, const LabelList& labels, const PlotOverlay& overlay) {
  const PlotStyle style = PrintPlotStyle(width);
  BeginPlot(s, style);
  PlotFrame frame = PlotFrame::Measure(style.frame, s, width, height, spectrum);
  ApplyOverlayOrdinate(frame, spectrum, overlay, 0, LastDrawnIndex(spectrum));
  DrawPercentUnit(s, frame, style);
  DrawTitle(s, frame, style, spectrum.ShortComment);
  if (gridOn) DrawGrid(s, frame, style);
  DrawComparisonTraces(s, frame, spectrum, overlay);
  DrawTrace(s, frame, spectrum.TransY.data(), LastDrawnIndex(spectrum));
  DrawPeakLabels(s, frame, style, labels);
  DrawTransmittanceAxis(s, frame, style);
  DrawWavenumberAxis(s, frame, style);
  DrawFrame(s, frame);
  DrawLegend(s, frame, spectrum, overlay);
  return frame;
}

PrintBitmapSize PrintBitmapForPage(int printableWidth) {
  int width = std::max(0, printableWidth - 2 * kPrintPageOffset);
  return {width, width / 2};
}

}  // namespace tesvar
