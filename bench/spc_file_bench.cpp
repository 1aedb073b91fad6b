// Reading a 16000-point Galactic SPC file (the record's capacity), built in
// memory here: int32 y with an exponent, the layout most files in the field
// have, and float32 y.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/file_kinds.h"

namespace {

constexpr uint32_t kPoints = 16000;

template <typename T>
void Put(std::string& bytes, std::size_t at, T value) {
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Header (512 bytes), subheader (32), the y values: percent transmittance
// 50 +- 40 as int32 x 2^(7-32) or as float32.
std::string SpcFile(bool floats) {
  std::string b(512 + 32 + 4 * kPoints, '\0');
  b[1] = 0x4B;
  b[3] = static_cast<char>(floats ? -128 : 7);
  Put<uint32_t>(b, 4, kPoints);
  Put<double>(b, 8, 16000.0);
  Put<double>(b, 16, 1.0);
  Put<uint32_t>(b, 24, 1);
  b[28] = 1;   // wavenumbers
  b[29] = 11;  // percent
  for (uint32_t i = 0; i < kPoints; ++i) {
    const double percent = 50 + 40 * std::sin(i * 0.01);
    if (floats) {
      Put<float>(b, 544 + 4 * i, static_cast<float>(percent));
    } else {
      Put<int32_t>(b, 544 + 4 * i, static_cast<int32_t>(std::lround(std::ldexp(percent, 25))));
    }
  }
  return b;
}

void ReadSpc(benchmark::State& state, bool floats) {
  const std::string bytes = SpcFile(floats);
  tesvar::Spectrum target;
  const tesvar::FileKindInfo& spc = tesvar::InfoFor(tesvar::FileKind::kSpc);
  for (auto _ : state) {
    bool ok = tesvar::LoadSpectrumText(bytes, "", spc, target).loaded();
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError("the file was refused");
  }
}

void BM_ReadSpcInt32x16000(benchmark::State& state) { ReadSpc(state, false); }
BENCHMARK(BM_ReadSpcInt32x16000)->Unit(benchmark::kMicrosecond);

void BM_ReadSpcFloat16000(benchmark::State& state) { ReadSpc(state, true); }
BENCHMARK(BM_ReadSpcFloat16000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
