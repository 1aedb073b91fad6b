// The whole screen plot of a full 16000-point spectrum on the widest
// surface (expanded to 12800 x 316), through surfaces that do not rasterise:
// what the layout, the thinning and the drawing calls cost by themselves.
// The pixel cost belongs to the image surface's own benchmark.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "core/spectrum.h"
#include "plot/drawing_surface.h"
#include "plot/plot_painter.h"
#include "plot/view_state.h"

namespace {

// Accepts everything; counts line segments so that nothing is optimised away.
class NullSurface : public tesvar::DrawingSurface {
 public:
  void SetPenColor(tesvar::Rgb) override {}
  void SetPenStyle(tesvar::PenStyle) override {}
  void SetPenMode(tesvar::PenMode) override {}
  void SetFont(const std::string&, int) override {}
  void MoveTo(int x, int) override { sum += x; }
  void LineTo(int x, int y) override { sum += x ^ y; }
  void TextOut(int x, int, const std::string& text) override { sum += x + text.size(); }
  int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
  int TextHeight(const std::string&) override { return 14; }
  long long sum = 0;
};

tesvar::Spectrum FullSpectrum() {
  tesvar::Spectrum s;
  s.XStart = 4000;
  s.LastIndex = 15999;
  s.XStep = 3600.0 / 15999;
  s.XEnd = s.PointX(15999);
  for (int i = 0; i <= s.LastIndex; ++i) {
    double w = s.PointX(i);
    s.TransY[i] = static_cast<float>(0.9 - 0.6 * std::exp(-std::pow((w - 1715) / 15, 2)) -
                                     0.4 * std::exp(-std::pow((w - 2925) / 40, 2)) +
                                     0.01 * std::sin(i * 0.37));
  }
  s.SetComment("Benchmark spectrum");
  s.DataLoaded = s.YConverted = true;
  return s;
}

void BM_ScreenPlot16000At12800(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  tesvar::ViewState view;
  view.SpectrumShown = true;
  view.GridOn = state.range(0) != 0;
  view.ToolMode = tesvar::kLabelTool;
  for (int i = 0; i < 20; ++i) view.Labels.Insert({3900.0 - 170 * i, 0.5, uint8_t(i % 4)});
  NullSurface surface;
  for (auto _ : state) {
    auto frame = tesvar::PaintScreenPlot(surface, 12800, 316, s, view);
    benchmark::DoNotOptimize(frame);
  }
  benchmark::DoNotOptimize(surface.sum);
}
BENCHMARK(BM_ScreenPlot16000At12800)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PrintPlot16000(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  tesvar::LabelList labels;
  NullSurface surface;
  tesvar::PrintBitmapSize size = tesvar::PrintBitmapForPage(4960);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        tesvar::DrawPrintPlot(surface, size.width, size.height, s, true, labels));
  }
}
BENCHMARK(BM_PrintPlot16000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
