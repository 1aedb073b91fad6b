// The picture outputs at their largest: the screen paint of a full
// 16000-point spectrum on the widest plot surface (12800 x 316, RGB32)
// through the real image surface, pixels included; and, for the converter,
// the metafile recording and the A4 printout bitmap of the same spectrum.
// Goal for the screen paint: under 5 ms (median).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>

#include "core/spectrum.h"
#include "output/plot_output_qt.h"
#include "plot/image_surface_qt.h"
#include "plot/plot_painter.h"
#include "plot/view_state.h"

namespace {

constexpr int kWidth = 12800;
constexpr int kHeight = 316;

// 4000 to 400 1/cm in 16000 points: two strong bands, a weak ripple.
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

tesvar::LabelList TwentyLabels() {
  tesvar::LabelList labels;
  for (int i = 0; i < 20; ++i) labels.Insert({3900.0 - 170 * i, 0.5, uint8_t(i % 4)});
  return labels;
}

// One paint over the previous picture (a direct call of the paint handler);
// range(0) = grid, range(1) = label tool with 20 labels.
void BM_ScreenPaint16000At12800(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  tesvar::ViewState view;
  view.SpectrumShown = true;
  view.GridOn = state.range(0) != 0;
  if (state.range(1) != 0) {
    view.ToolMode = tesvar::kLabelTool;
    view.Labels = TwentyLabels();
  }
  tesvar::ImageSurface surface(kWidth, kHeight);
  for (auto _ : state) {
    auto frame = tesvar::PaintScreenPlot(surface, kWidth, kHeight, s, view);
    benchmark::DoNotOptimize(frame);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ScreenPaint16000At12800)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// The platform's repaint after an invalidation: white first, then the paint.
void BM_ScreenRepaint16000At12800(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  tesvar::ViewState view;
  view.SpectrumShown = true;
  tesvar::ImageSurface surface(kWidth, kHeight);
  for (auto _ : state) {
    surface.Clear();
    auto frame = tesvar::PaintScreenPlot(surface, kWidth, kHeight, s, view);
    benchmark::DoNotOptimize(frame);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ScreenRepaint16000At12800)->Unit(benchmark::kMillisecond);

// The metafile picture of a 1280 x 1024 screen, bytes included.
void BM_RecordMetafile16000(benchmark::State& state) {
  const tesvar::Spectrum s = FullSpectrum();
  const tesvar::LabelList labels = TwentyLabels();
  for (auto _ : state) {
    tesvar::MetafilePicture picture = tesvar::RecordPlotMetafile(s, true, labels, 1280, 1024);
    benchmark::DoNotOptimize(picture.wmf.data());
  }
}
BENCHMARK(BM_RecordMetafile16000)->Unit(benchmark::kMillisecond);

// The 1-bit printout bitmap of an A4 page at 600 dpi (4760 x 2380).
void BM_PrintBitmapA4(benchmark::State& state) {
  const tesvar::Spectrum s = FullSpectrum();
  const tesvar::LabelList labels = TwentyLabels();
  for (auto _ : state) {
    QImage bitmap = tesvar::RenderPrintBitmap(s, true, labels, 4960);
    benchmark::DoNotOptimize(bitmap.constBits());
  }
}
BENCHMARK(BM_PrintBitmapA4)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
