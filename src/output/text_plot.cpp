#include "output/text_plot.h"

#include <algorithm>
#include <cmath>

#include "plot/plot_geometry.h"

namespace tesvar {

TextPlot::TextPlot(const Spectrum& s, bool gridOn, const LabelList& labels, double frameWidth,
                   const PlotOverlay& overlay)
    : s_(s),
      gridOn_(gridOn),
      labels_(labels),
      overlay_(overlay),
      axis_(s.XStart, s.XEnd, frameWidth),
      ticks_(axis_.Ticks()),
      absorbance_(overlay.absorbance) {
  if (absorbance_) ordinate_ = FitAbsorbanceRange(s.TransY.data(), 0, LastDrawn(s));
}

int TextPlot::LastDrawn(const Spectrum& spectrum) {
  return std::min<int>(spectrum.LastIndex, static_cast<int>(spectrum.TransY.size()) - 1);
}

double TextPlot::Height(double t) const {
  if (!absorbance_) return t;
  if (!(t > 0)) return 1;
  return (-std::log10(t) - ordinate_.low) / (ordinate_.high - ordinate_.low);
}

double TextPlot::TraceHeight(double t) const {
  if (std::isnan(t)) return 0;
  return std::clamp(Height(t), 0.0, 1.0);
}

std::vector<std::pair<double, double>> TextPlot::ComparisonPoints(int index) const {
  const Spectrum& c = (*overlay_.comparisons)[index].spectrum;
  const double scale = DrawnScale(s_, overlay_, index, axis_.XStart(), axis_.XEnd());
  std::vector<std::pair<double, double>> points;
  for (int i = 0; i <= LastDrawn(c); ++i) {
    const double x = c.PointX(i);
    if (!(x <= axis_.XStart() && x >= axis_.XEnd())) continue;
    const double t = c.TransY[i];
    if (absorbance_ && scale != 1 && t > 0) {
      const double a = -std::log10(t) * scale;
      points.emplace_back(
          x, std::clamp((a - ordinate_.low) / (ordinate_.high - ordinate_.low), 0.0, 1.0));
    } else {
      points.emplace_back(x, TraceHeight(t));
    }
  }
  return points;
}

std::vector<std::string> TextPlot::Legend() const {
  return LegendTexts(s_, overlay_, axis_.XStart(), axis_.XEnd());
}

}  // namespace tesvar
