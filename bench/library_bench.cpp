// A library of 10,000 spectra of 3,600 points (4000-400 1/cm every 1 1/cm)
// in the three data kinds the program writes (SP, JCAMP-DX, ASCII list),
// made by the benchmark in a temporary folder: indexing it from scratch, an
// update with nothing changed, one search with the index open, and a whole
// tesvar-convert --search run. The index's memory is reported as counters
// (the members' prepared values, and the process's peak resident size).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/file_io.h"
#include "core/spectrum.h"
#include "formats/ascii_list_writer.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "library/library_index.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMembers = 10000;

// Member k: four bands whose places and heights follow from k, so that no
// two members are alike.
tesvar::Spectrum Member(int k) {
  tesvar::Spectrum s;
  s.IdentLine = tesvar::kImportIdentLine;
  s.NPoints = 3601;
  s.LastIndex = 3600;
  s.XStart = s.FirstX = 4000;
  s.XStep = 1;
  s.DeltaX = -1;
  s.XEnd = s.LastX = 400;
  s.NScans = 1;
  const double c[4] = {3500 - (k % 97) * 7.0, 2950 - (k % 13) * 5.0, 1750 - (k % 89) * 9.0,
                       1100 - (k % 53) * 11.0};
  for (int i = 0; i <= s.LastIndex; ++i) {
    const double x = s.PointX(i);
    double a = 0.02;
    for (int b = 0; b < 4; ++b)
      a += (0.3 + 0.1 * ((k >> b) % 5)) * std::exp(-std::pow((x - c[b]) / 18, 2));
    s.TransY[i] = static_cast<float>(std::pow(10.0, -a));
  }
  s.SetComment("reference " + std::to_string(k));
  s.DataLoaded = s.YConverted = true;
  return s;
}

struct Library {
  std::string root, folder, cache;
  Library() {
    root =
        (fs::temp_directory_path() / ("tesvar-library-bench-" + std::to_string(getpid()))).string();
    folder = root + "/refs";
    cache = root + "/cache";
    for (int k = 0; k < kMembers; ++k) {
      const std::string dir = folder + "/" + std::to_string(k / 1000);
      if (k % 1000 == 0) fs::create_directories(dir);
      tesvar::Spectrum s = Member(k);
      const std::string name = dir + "/m" + std::to_string(k);
      switch (k % 3) {
        case 0:
          tesvar::WriteFileReplacing(name + ".sp", tesvar::BuildSpBytes(s));
          break;
        case 1:
          tesvar::WriteFileReplacing(name + ".jdx",
                                     tesvar::BuildJcampText(s, tesvar::JcampForm::kDifDup));
          break;
        default:
          (void)tesvar::WriteAsciiListFile(name + ".asc", s);
      }
    }
    tesvar::Spectrum q = Member(4242);
    tesvar::WriteFileReplacing(root + "/query.sp", tesvar::BuildSpBytes(q));
  }
  ~Library() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

Library& TheLibrary() {
  static Library library;
  return library;
}

void ReportMemory(benchmark::State& state, const tesvar::LibraryIndex& index) {
  std::size_t bytes = 0;
  for (const auto& m : index.Members()) {
    bytes +=
        m.prepared.values.size() * sizeof(int16_t) + m.path.size() + m.title.size() + sizeof(m);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["members_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

void BM_IndexFromScratch(benchmark::State& state) {
  Library& lib = TheLibrary();
  for (auto _ : state) {
    state.PauseTiming();
    std::error_code ec;
    fs::remove_all(lib.cache, ec);
    state.ResumeTiming();
    tesvar::LibraryIndex index;
    const tesvar::IndexReport r = index.Update(lib.folder, lib.cache);
    if (r.members != kMembers) state.SkipWithError("not every member was read");
    ReportMemory(state, index);
  }
}
BENCHMARK(BM_IndexFromScratch)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_UpdateNothingChanged(benchmark::State& state) {
  Library& lib = TheLibrary();
  {
    tesvar::LibraryIndex warm;
    (void)warm.Update(lib.folder, lib.cache);
  }
  for (auto _ : state) {
    tesvar::LibraryIndex index;
    const tesvar::IndexReport r = index.Update(lib.folder, lib.cache);
    if (r.read != 0) state.SkipWithError("files were read again");
  }
}
BENCHMARK(BM_UpdateNothingChanged)->Unit(benchmark::kMillisecond);

void BM_SearchIndexOpen(benchmark::State& state) {
  Library& lib = TheLibrary();
  tesvar::LibraryIndex index;
  (void)index.Update(lib.folder, lib.cache);
  const tesvar::MatchProfile query = tesvar::MakeMatchProfile(Member(4242));
  for (auto _ : state) {
    const auto hits = index.Search(query, 10);
    if (hits.empty() || hits[0].quality < 99.9)
      state.SkipWithError("the query did not find itself");
    benchmark::DoNotOptimize(hits);
  }
  ReportMemory(state, index);
}
BENCHMARK(BM_SearchIndexOpen)->Unit(benchmark::kMillisecond);

// The whole program, as a user runs it: start, update the index, read the
// query, search, print.
void BM_ConverterSearchRun(benchmark::State& state) {
  Library& lib = TheLibrary();
  const std::string command = "XDG_CACHE_HOME=" + lib.cache +
                              " " TESVAR_BINARY_DIR "/tesvar-convert --search " + lib.folder + " " +
                              lib.root + "/query.sp > /dev/null";
  if (std::system(command.c_str()) != 0) state.SkipWithError("tesvar-convert failed");
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("tesvar-convert failed");
  }
}
BENCHMARK(BM_ConverterSearchRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
