// Reading a 16000-point Bruker OPUS file (the record's capacity), built in
// memory in the layout instruments write: header, directory, the sample and
// acquisition parameters, float32 absorbances and their data-status block.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/messages.h"
#include "formats/file_kinds.h"

namespace {

template <typename T>
void Append(std::string& bytes, const T& value) {
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// A parameter record: key + NUL, int16 type, int16 size in 2-byte words.
void Record(std::string& block, const char* key, int16_t type, const std::string& value) {
  block.append(key, 3);
  block += '\0';
  Append(block, type);
  Append(block, static_cast<int16_t>(value.size() / 2));
  block += value;
}

template <typename T>
std::string Value(T value) {
  std::string out;
  Append(out, value);
  return out;
}

std::string Text(const std::string& text) {
  std::string out = text + '\0';
  if (out.size() % 2 != 0) out += '\0';
  return out;
}

std::string Ended(std::string block) {
  Record(block, "END", 0, "");
  block.resize((block.size() + 3) / 4 * 4, '\0');
  return block;
}

std::string FullOpus() {
  constexpr int32_t kPoints = 16000;
  std::string sample;
  Record(sample, "SNM", 2, Text("bench"));
  Record(sample, "CNM", 2, Text("Default"));
  std::string acquisition;
  Record(acquisition, "NSS", 0, Value<int32_t>(32));
  std::string status;
  Record(status, "DPF", 0, Value<int32_t>(1));
  Record(status, "NPT", 0, Value<int32_t>(kPoints));
  Record(status, "FXV", 1, Value(7999.5));
  Record(status, "LXV", 1, Value(0.5));
  Record(status, "CSF", 1, Value(1.0));
  Record(status, "DAT", 2, Text("06/11/2015"));
  Record(status, "TIM", 2, Text("14:38:14.100 (GMT+1)"));
  Record(status, "DXU", 3, Text("WN"));
  std::string data;
  for (int32_t i = 0; i < kPoints; ++i)
    Append(data, static_cast<float>(0.5 + 0.4 * std::sin(i * 0.01)));

  const std::vector<std::pair<uint32_t, std::string>> blocks = {{0x400000A0, Ended(sample)},
                                                                {0x40000030, Ended(acquisition)},
                                                                {0x4000100F, data},
                                                                {0x4000101F, Ended(status)}};
  constexpr int32_t kDirectoryAt = 24;
  std::string b("\x0A\x0A\xFE\xFE", 4);
  Append(b, 920622.0);
  Append(b, kDirectoryAt);
  Append(b, static_cast<int32_t>(blocks.size()));
  Append(b, static_cast<int32_t>(blocks.size()));
  int32_t at = kDirectoryAt + 12 * static_cast<int32_t>(blocks.size());
  for (const auto& [type, payload] : blocks) {
    Append(b, type);
    Append(b, static_cast<int32_t>(payload.size() / 4));
    Append(b, at);
    at += static_cast<int32_t>(payload.size());
  }
  for (const auto& block : blocks) b += block.second;
  return b;
}

void BM_ReadOpus16000(benchmark::State& state) {
  const std::string bytes = FullOpus();
  tesvar::Spectrum target;
  const tesvar::FileKindInfo& opus = tesvar::InfoFor(tesvar::FileKind::kOpus);
  for (auto _ : state) {
    bool ok = tesvar::LoadSpectrumText(bytes, "", opus, target).loaded();
    if (!ok) state.SkipWithError("the file was refused");
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_ReadOpus16000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
