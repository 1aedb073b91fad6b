// JCAMP-DX import and export of a 16000-point spectrum (the record's
// capacity), in both forms. Goal: each under 1 ms (median of the repeats).
//
// The files read are left in TESVAR_JCAMP_BENCH_DIR when that is set, so that
// bench/jcampconverter_timing.sh can time jcampconverter on the same bytes;
// otherwise they go to a temporary folder that is removed at the end. The
// imports read on the decoder path TESVAR_DECODER_PATH names (reference,
// scalar, sse2, avx2), else on the fastest this processor runs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/messages.h"
#include "formats/file_kinds.h"
#include "formats/jcamp_writer.h"

namespace {

// An IR-like trace: a drifting baseline near 92 %T, forty bands of various
// widths and depths, and a little noise, so that DIFDUP lines look real.
tesvar::Spectrum FullSpectrum() {
  tesvar::Spectrum s;
  s.SetComment("benchmark spectrum");
  s.OperatorName = "bench";
  s.AcqDate = "26/12/01";
  s.AcqTime = "10:00:00.00";
  s.NScans = 16;
  s.NPoints = tesvar::kMaxPoints;
  s.LastIndex = s.NPoints - 1;
  s.FirstX = s.XStart = 7999.5;
  s.XStep = 0.5;
  s.LastX = s.XEnd = s.XStart - s.XStep * s.LastIndex;
  unsigned seed = 2024;
  for (int i = 0; i < s.NPoints; ++i) {
    double x = s.PointX(i);
    double t = 0.92 - 0.02 * std::sin(x / 1500.0);
    for (int b = 0; b < 40; ++b) {
      double centre = 500 + b * 187.3;
      double width = 3 + (b * 7) % 25;
      double depth = 0.1 + 0.02 * ((b * 13) % 35);
      double u = (x - centre) / width;
      t -= depth * t / (1 + u * u);
    }
    seed = seed * 1103515245u + 12345u;
    t += (static_cast<int>((seed >> 16) % 1001) - 500) * 1e-6;
    s.TransY[i] = static_cast<float>(t);
  }
  return s;
}

struct BenchFiles {
  std::string dir;
  bool keep = false;
  std::string fix, difdup;
  BenchFiles() {
    const char* env = std::getenv("TESVAR_JCAMP_BENCH_DIR");
    if (env != nullptr && *env != '\0') {
      dir = env;
      keep = true;
      std::filesystem::create_directories(dir);
    } else {
      dir = std::string(P_tmpdir) + "/tesvar-jcamp-bench-" + std::to_string(::getpid());
      std::filesystem::create_directories(dir);
    }
    tesvar::Spectrum s = FullSpectrum();
    fix = dir + "/full16000_fix.jdx";
    difdup = dir + "/full16000_difdup.jdx";
    tesvar::WriteFileReplacing(fix, tesvar::BuildJcampText(s, tesvar::JcampForm::kFix));
    tesvar::WriteFileReplacing(difdup, tesvar::BuildJcampText(s, tesvar::JcampForm::kDifDup));
  }
  ~BenchFiles() {
    std::error_code ec;
    if (!keep) std::filesystem::remove_all(dir, ec);
  }
};

const BenchFiles& Files() {
  static BenchFiles files;
  return files;
}

void Import(benchmark::State& state, const std::string& path) {
  tesvar::Spectrum target;
  for (auto _ : state) {
    bool ok = tesvar::ReadJcampFile(path, target).loaded();
    if (!ok || target.NPoints != tesvar::kMaxPoints) state.SkipWithError("import failed");
    benchmark::DoNotOptimize(target.TransY.data());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
}

void BM_ImportDifDup16000(benchmark::State& state) { Import(state, Files().difdup); }
void BM_ImportFix16000(benchmark::State& state) { Import(state, Files().fix); }

// Export to a new file (stamp, build, write), as the export menu does.
void Export(benchmark::State& state, tesvar::JcampForm form) {
  tesvar::Spectrum s = FullSpectrum();
  std::string path = Files().dir + "/export.jdx";
  for (auto _ : state) {
    if (!tesvar::WriteJcampFile(path, s, form).saved()) state.SkipWithError("export failed");
    state.PauseTiming();
    std::remove(path.c_str());
    state.ResumeTiming();
  }
}

void BM_ExportFix16000(benchmark::State& state) { Export(state, tesvar::JcampForm::kFix); }
void BM_ExportDifDup16000(benchmark::State& state) { Export(state, tesvar::JcampForm::kDifDup); }

// The text alone, without the file system.
void Build(benchmark::State& state, tesvar::JcampForm form) {
  tesvar::Spectrum s = FullSpectrum();
  for (auto _ : state) benchmark::DoNotOptimize(tesvar::BuildJcampText(s, form));
}

void BM_BuildFix16000(benchmark::State& state) { Build(state, tesvar::JcampForm::kFix); }
void BM_BuildDifDup16000(benchmark::State& state) { Build(state, tesvar::JcampForm::kDifDup); }

constexpr int kRepeats = 15;

// On a shared machine the median drifts with the neighbours' load; the
// fastest repeat shows the code's own speed, for comparing two builds.
double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

BENCHMARK(BM_ImportDifDup16000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepeats)
    ->ComputeStatistics("min", Fastest)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ImportFix16000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepeats)
    ->ComputeStatistics("min", Fastest)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ExportFix16000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepeats)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ExportDifDup16000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepeats)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BuildFix16000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepeats)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BuildDifDup16000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepeats)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
