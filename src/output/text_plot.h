// What the plot exports written as text (HPGL, SVG) hold while they build
// their document: the record and the choices they draw, the wavenumber axis
// over their own frame width with its ticks, and the text, line by line
// with CR LF ends. Each export maps the ticks and points to its own units.
#pragma once

#include <string>
#include <vector>

#include "core/spectrum.h"
#include "plot/peak_labels.h"
#include "plot/wavenumber_axis.h"

namespace tesvar {

class TextPlot {
 protected:
  TextPlot(const Spectrum& s, bool gridOn, const LabelList& labels, double frameWidth)
      : s_(s),
        gridOn_(gridOn),
        labels_(labels),
        axis_(s.XStart, s.XEnd, frameWidth),
        ticks_(axis_.Ticks()) {}

  static constexpr const char* kNewline = "\r\n";

  void Line(const std::string& text) {
    out_ += text;
    out_ += kNewline;
  }

  const Spectrum& s_;
  const bool gridOn_;
  const LabelList& labels_;
  const WavenumberAxis axis_;
  const std::vector<AxisTick> ticks_;
  std::string out_;
};

}  // namespace tesvar
