// The screen plot at its widest (12800 x 316 px) with a full 16000-point
// spectrum, drawn on the screen's image: alone in %T, as every picture is
// without comparisons, and with 8 comparisons of 16000 points each in the
// absorbance view, scaled, with their legend: the dearest repaint the
// window can be asked for.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <string>

#include "plot/comparisons.h"
#include "plot/image_surface_qt.h"
#include "plot/plot_painter.h"
#include "plot/view_state.h"

namespace {

constexpr int kWidth = 12800;
constexpr int kHeight = 316;

// Bands at 2925 and 1715 1/cm, shifted and deepened a little for each
// comparison so that no two traces coincide.
tesvar::Spectrum Made(int k) {
  tesvar::Spectrum s;
  s.XStart = 4000;
  s.LastIndex = 15999;
  s.NPoints = 16000;
  s.XStep = 3600.0 / 15999;
  s.XEnd = s.PointX(15999);
  for (int i = 0; i <= s.LastIndex; ++i) {
    const double x = s.PointX(i);
    s.TransY[i] = static_cast<float>(
        0.9 - (0.5 + 0.04 * k) * std::exp(-std::pow((x - 1715 - 3 * k) / 15, 2)) -
        0.3 * std::exp(-std::pow((x - 2925 + 5 * k) / 40, 2)) + 0.005 * std::sin(i * 0.37 + k));
  }
  s.SetComment("benchmark spectrum");
  s.DataLoaded = s.YConverted = true;
  return s;
}

void Repaint(benchmark::State& state, const tesvar::PlotOverlay& overlay) {
  const tesvar::Spectrum shown = Made(0);
  tesvar::ViewState view;
  view.SpectrumShown = true;
  tesvar::ImageSurface surface(kWidth, kHeight);
  for (auto _ : state) {
    surface.Clear();
    auto frame = tesvar::PaintScreenPlot(surface, kWidth, kHeight, shown, view, overlay);
    benchmark::DoNotOptimize(frame);
  }
}

void BM_RepaintAlone(benchmark::State& state) { Repaint(state, {}); }
BENCHMARK(BM_RepaintAlone)->Unit(benchmark::kMillisecond);

void BM_RepaintWith8ComparisonsInAbsorbance(benchmark::State& state) {
  tesvar::ComparisonList list;
  for (int k = 1; k <= tesvar::kMaxComparisons; ++k) {
    list.Add({"c.sp", "comparison " + std::to_string(k) + ".sp", Made(k)});
  }
  tesvar::PlotOverlay overlay{&list, "shown.sp", true, true};
  Repaint(state, overlay);
}
BENCHMARK(BM_RepaintWith8ComparisonsInAbsorbance)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
