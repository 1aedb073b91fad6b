// Reading a 16000-point PerkinElmer data set (the record's capacity), built
// in memory here: a data set block with its range, interval, count, labels
// and float64 absorbances, after a history of two records as instruments
// write it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/messages.h"
#include "formats/file_kinds.h"

namespace {

std::string Block(uint16_t id, const std::string& data) {
  std::string out(6, '\0');
  const auto size = static_cast<uint32_t>(data.size());
  std::memcpy(out.data(), &id, 2);
  std::memcpy(out.data() + 2, &size, 4);
  return out + data;
}

template <class T>
std::string Value(uint16_t type, T value) {
  std::string out(2 + sizeof value, '\0');
  std::memcpy(out.data(), &type, 2);
  std::memcpy(out.data() + 2, &value, sizeof value);
  return out;
}

std::string Text(const std::string& text) {
  return Value<uint16_t>(0x7523, static_cast<uint16_t>(text.size())) + text;
}

std::string DataSet16000(const std::string& yLabel) {
  constexpr int kPoints = 16000;
  std::vector<double> y(kPoints);
  for (int i = 0; i < kPoints; ++i) y[i] = 0.5 + 0.4 * std::sin(i * 0.01);
  std::string range = Value<double>(0x751D, 16000.0);
  const double last = 1.0;
  range.append(reinterpret_cast<const char*>(&last), 8);
  std::string array = Value<uint32_t>(0x7516, 8 * kPoints);
  array.append(reinterpret_cast<const char*>(y.data()), 8 * y.size());
  const std::string creation =
      Block(0x007A, Block(0x0079, Block(0x8B72, Text("Operator")) +
                                      Block(0x8B74, Text("Thu Mar 09 09:17:56 2006"))));
  const std::string history = Block(
      0x8B7F,
      Block(0x0079, Block(0x8B74, Text("Thu Mar 09 09:19:21 2006")) + Block(0x8B77, creation)));
  const std::string members =
      history + Block(0x8B72, range) + Block(0x8B74, Value<double>(0x751B, -1.0)) +
      Block(0x8B75, Value<int32_t>(0x752B, kPoints)) + Block(0x8B77, Text("cm-1")) +
      Block(0x8B78, Text(yLabel)) + Block(0x8B81, Text("bench")) + Block(0x8B7C, array);
  std::string head = "PEPE2D constant interval DataSet file";
  head.resize(44, '\0');
  return head + Block(0x0078, members);
}

// Absorbance, the usual quantity of these files: each point costs an
// exponential on its way to transmittance.
void BM_ReadPeDataSet16000(benchmark::State& state) {
  const std::string bytes = DataSet16000("A");
  tesvar::Spectrum target;
  const tesvar::FileKindInfo& dataSet = tesvar::InfoFor(tesvar::FileKind::kPeDataSet);
  for (auto _ : state) {
    const bool ok = tesvar::LoadSpectrumText(bytes, "", dataSet, target).loaded();
    if (!ok) state.SkipWithError("the data set was refused");
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_ReadPeDataSet16000)->Unit(benchmark::kMicrosecond);

// Percent transmittance: the walk and the copying alone.
void BM_ReadPeDataSet16000Percent(benchmark::State& state) {
  const std::string bytes = DataSet16000("%T");
  tesvar::Spectrum target;
  const tesvar::FileKindInfo& dataSet = tesvar::InfoFor(tesvar::FileKind::kPeDataSet);
  for (auto _ : state) {
    const bool ok = tesvar::LoadSpectrumText(bytes, "", dataSet, target).loaded();
    if (!ok) state.SkipWithError("the data set was refused");
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_ReadPeDataSet16000Percent)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
