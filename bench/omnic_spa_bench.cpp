// Reading a 16000-point OMNIC .spa file (the record's capacity), built in
// memory in the layout instruments write: title, directory, spectral
// header, float32 absorbances.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/messages.h"
#include "formats/file_kinds.h"

namespace {

void Put(std::string& bytes, std::size_t at, const void* value, std::size_t size) {
  std::memcpy(bytes.data() + at, value, size);
}

std::string FullSpa() {
  constexpr uint32_t kPoints = 16000;
  constexpr std::size_t kHeader = 400;
  constexpr std::size_t kOrdinates = 440;
  std::string b(kOrdinates + 4 * kPoints, '\0');
  Put(b, 0, "Spectral Data File\r\n", 20);
  Put(b, 30, "bench", 5);
  const int16_t entries = 2;
  Put(b, 294, &entries, 2);
  const uint32_t acquired = 3637622741u;
  Put(b, 296, &acquired, 4);
  const uint32_t directory[] = {kHeader, 40, kOrdinates, 4 * kPoints};
  b[304] = 2;
  Put(b, 306, &directory[0], 8);
  b[320] = 3;
  Put(b, 322, &directory[2], 8);
  const uint32_t header[] = {3, kPoints, 1, 17};
  Put(b, kHeader, header, sizeof header);
  const float ends[] = {7999.5f, 0.5f};
  Put(b, kHeader + 16, ends, sizeof ends);
  for (uint32_t i = 0; i < kPoints; ++i) {
    const float a = static_cast<float>(0.5 + 0.4 * std::sin(i * 0.01));
    Put(b, kOrdinates + 4 * i, &a, 4);
  }
  return b;
}

void BM_ReadSpa16000(benchmark::State& state) {
  const std::string bytes = FullSpa();
  tesvar::Spectrum target;
  const tesvar::FileKindInfo& spa = tesvar::InfoFor(tesvar::FileKind::kOmnicSpa);
  for (auto _ : state) {
    bool ok = tesvar::LoadSpectrumText(bytes, "", spa, target).loaded();
    if (!ok) state.SkipWithError("the file was refused");
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_ReadSpa16000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
