// What the plot exports written as text (HPGL, SVG) hold while they build
// their document: the record and the choices they draw, the wavenumber axis
// over their own frame width with its ticks, the ordinate (0-100 %T, or
// absorbance over the spectrum's range), and the text, line by line with
// CR LF ends. Each export maps the ticks and points to its own units.
#pragma once

#include <string>
#include <vector>

#include "core/spectrum.h"
#include "plot/comparisons.h"
#include "plot/ordinate_axis.h"
#include "plot/peak_labels.h"
#include "plot/wavenumber_axis.h"

namespace tesvar {

class TextPlot {
 protected:
  TextPlot(const Spectrum& s, bool gridOn, const LabelList& labels, double frameWidth,
           const PlotOverlay& overlay);

  static constexpr const char* kNewline = "\r\n";

  void Line(const std::string& text) {
    out_ += text;
    out_ += kNewline;
  }

  // The height of transmittance t as a share of the frame's height: t
  // itself on the %T axis; on the absorbance axis its place in the range,
  // T <= 0 at the top. Unclamped, for the labels.
  double Height(double t) const;
  // The same kept within the frame (NaN at the bottom), for the traces.
  double TraceHeight(double t) const;

  // The last index a trace of `spectrum` may read.
  static int LastDrawn(const Spectrum& spectrum);
  // The points of comparison `index` between the frame's edges, as
  // (wavenumber, TraceHeight) pairs, scaled where the overlay says so.
  std::vector<std::pair<double, double>> ComparisonPoints(int index) const;
  std::vector<std::string> Legend() const;
  // A label's kind as drawn: upside down on the absorbance axis, where a
  // label below its band in %T stands above it.
  uint8_t DrawnKind(uint8_t kind) const { return absorbance_ ? kind ^ 2 : kind; }

  const Spectrum& s_;
  const bool gridOn_;
  const LabelList& labels_;
  const PlotOverlay& overlay_;
  const WavenumberAxis axis_;
  const std::vector<AxisTick> ticks_;
  const bool absorbance_;
  OrdinateRange ordinate_;  // the absorbance axis's range and ticks
  std::string out_;
};

}  // namespace tesvar
