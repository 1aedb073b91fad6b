// Reading and writing a 16000-point SP file (the format's capacity).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/file_io.h"
#include "core/messages.h"
#include "formats/file_kinds.h"
#include "formats/sp_file.h"

namespace {

tesvar::Spectrum FullSpectrum() {
  tesvar::Spectrum s;
  s.IdentLine = "PE IR";
  s.SetComment("bench");
  s.FirstX = 16000;
  s.LastX = 1;
  s.DeltaX = -1;
  s.NPoints = 16000;
  s.LastIndex = 15999;
  for (int i = 0; i < 16000; ++i) s.TransY[i] = static_cast<float>(0.5 + 0.4 * std::sin(i * 0.01));
  return s;
}

std::string TempPath() {
  return std::string(P_tmpdir) + "/tesvar-bench-" + std::to_string(::getpid()) + ".sp";
}

void BM_ReadSp16000(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  std::string path = TempPath();
  if (!tesvar::WriteSpFile(path, s).saved()) state.SkipWithError("save failed");
  tesvar::Spectrum target;
  for (auto _ : state) {
    bool ok = tesvar::ReadSpFile(path, target).loaded();
    benchmark::DoNotOptimize(ok);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadSp16000)->Unit(benchmark::kMicrosecond);

// Building the file in memory: what the format itself costs.
void BM_BuildSp16000(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  for (auto _ : state) benchmark::DoNotOptimize(tesvar::BuildSpBytes(s));
}
BENCHMARK(BM_BuildSp16000)->Unit(benchmark::kMicrosecond);

// Saving under a new name (the usual export).
void BM_WriteSp16000NewFile(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  std::string path = TempPath();
  for (auto _ : state) {
    if (!tesvar::WriteSpFile(path, s).saved()) state.SkipWithError("save failed");
    state.PauseTiming();
    std::remove(path.c_str());
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WriteSp16000NewFile)->Unit(benchmark::kMicrosecond);

// Saving over an existing file. The rename that keeps the old file safe
// makes ext4 flush the new data first (auto_da_alloc), which dominates here.
void BM_WriteSp16000Replace(benchmark::State& state) {
  tesvar::Spectrum s = FullSpectrum();
  std::string path = TempPath();
  for (auto _ : state) {
    if (!tesvar::WriteSpFile(path, s).saved()) state.SkipWithError("save failed");
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_WriteSp16000Replace)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
