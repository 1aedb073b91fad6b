// Building the HPGL plot and the SVG drawing of a 16000-point spectrum (the
// record's capacity) with the grid and a full list of peak labels.
#include <benchmark/benchmark.h>

#include <cmath>

#include "output/hpgl.h"
#include "output/svg.h"

namespace {

tesvar::Spectrum FullSpectrum() {
  tesvar::Spectrum s;
  s.XStart = 7999.5;
  s.XEnd = 0.0;
  s.LastIndex = 15999;
  s.XStep = (s.XStart - s.XEnd) / s.LastIndex;
  s.ShortComment = "Benchmark spectrum \x8e\x94 & <50 bytes>";
  for (int i = 0; i <= s.LastIndex; ++i) {
    s.TransY[static_cast<std::size_t>(i)] = static_cast<float>(0.5 + 0.45 * std::sin(i * 0.01));
  }
  return s;
}

tesvar::LabelList FullLabels(const tesvar::Spectrum& s) {
  tesvar::LabelList labels;
  for (int k = 0; k < tesvar::kMaxLabels; ++k) {
    labels.Insert({s.PointX(k * 62), 0.5, static_cast<uint8_t>(k % 4)});
  }
  return labels;
}

void BM_BuildHpgl16000(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  tesvar::LabelList labels = FullLabels(s);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string plot = tesvar::BuildHpgl(s, true, labels);
    bytes = plot.size();
    benchmark::DoNotOptimize(plot);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BuildHpgl16000)->Unit(benchmark::kMicrosecond);

void BM_BuildSvg16000(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  tesvar::LabelList labels = FullLabels(s);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string doc = tesvar::BuildSvg(s, true, labels);
    bytes = doc.size();
    benchmark::DoNotOptimize(doc);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BuildSvg16000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
