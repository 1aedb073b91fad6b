// Drawing on the screen image at the widest plot: a 16000-point trace across
// a 12800-pixel-wide surface (expand doubles the width up to that size).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <vector>

#include "plot/image_surface_qt.h"

namespace {

constexpr int kWidth = 12800;
constexpr int kHeight = 316;
constexpr int kPoints = 16000;

struct Vertex {
  int x, y;
};

// A spectrum-like trace: a slow baseline with sharp bands and a little
// noise, so that segments range from flat to a few hundred pixels tall.
std::vector<Vertex> Trace() {
  std::vector<Vertex> v(kPoints);
  unsigned noise = 12345;
  for (int i = 0; i < kPoints; ++i) {
    noise = noise * 1103515245u + 12345u;
    double t = 0.85 + 0.1 * std::sin(i * 0.001) -
               0.7 * std::exp(-std::pow((i % 1600 - 800) / 6.0, 2)) +
               ((noise >> 16) % 100) * 0.0005;
    v[i].x = 20 + static_cast<int>(std::lround(i * (kWidth - 40) / double(kPoints - 1)));
    v[i].y = 290 - static_cast<int>(std::lround(t * 270));
  }
  return v;
}

void DrawTrace(tesvar::ImageSurface& s, const std::vector<Vertex>& v) {
  s.MoveTo(v[0].x, v[0].y);
  for (int i = 1; i < kPoints; ++i) s.LineTo(v[i].x, v[i].y);
}

void BM_Trace16000Copy(benchmark::State& state) {
  tesvar::ImageSurface s(kWidth, kHeight);
  const std::vector<Vertex> v = Trace();
  for (auto _ : state) {
    DrawTrace(s, v);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Trace16000Copy)->Unit(benchmark::kMillisecond);

// The same trace inverted (the cost of the cursor and baseline feedback).
void BM_Trace16000NotXor(benchmark::State& state) {
  tesvar::ImageSurface s(kWidth, kHeight);
  s.SetPenMode(tesvar::PenMode::kNotXor);
  const std::vector<Vertex> v = Trace();
  for (auto _ : state) {
    DrawTrace(s, v);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Trace16000NotXor)->Unit(benchmark::kMillisecond);

// Invalidate: the whole 16 MB image back to white.
void BM_ClearWhite(benchmark::State& state) {
  tesvar::ImageSurface s(kWidth, kHeight);
  for (auto _ : state) {
    s.Clear();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ClearWhite)->Unit(benchmark::kMillisecond);

// A screen paint's worth of text: about 70 axis numbers, the units and the
// title, each with its white cell.
void BM_AxisTexts(benchmark::State& state) {
  tesvar::ImageSurface s(kWidth, kHeight);
  for (auto _ : state) {
    s.SetFont("Arial Narrow", -12);
    for (int k = 0; k < 70; ++k) s.TextOut(40 + k * 180, 295, "1500");
    s.TextOut(5, 20, "%T");
    s.SetFont("Arial", -12);
    s.TextOut(6000, 2, "Polystyrene film, 0.05 mm");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AxisTexts)->Unit(benchmark::kMillisecond);

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
