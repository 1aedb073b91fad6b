// The converter as a lab would run it on an archive: 1000 SP files of 3551
// points (copies of samples/polystyrene.sp, 4000 to 450 1/cm) to compressed
// DIFDUP JCAMP-DX in one batch call of the real tesvar-convert program,
// process start included. The goal is under 1 s per call.
//   build-X/convert_bench                      (tesvar-convert beside it)
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/file_io.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000;

std::string ConverterPath() {
  return (fs::read_symlink("/proc/self/exe").parent_path() / "tesvar-convert").string();
}

void BM_Convert1000SpToDifDup(benchmark::State& state) {
  const std::string converter = ConverterPath();
  if (!fs::exists(converter)) {
    state.SkipWithError("tesvar-convert is not built beside this benchmark");
    return;
  }
  const fs::path work =
      fs::temp_directory_path() / ("tesvar-convert-bench-" + std::to_string(::getpid()));
  fs::create_directories(work / "in");
  const std::string sample = tesvar::ReadWholeFile(TESVAR_SOURCE_DIR "/samples/polystyrene.sp");
  std::vector<std::string> args = {converter, "--compressed", "--to",
                                   "jdx",     "--output-dir", (work / "out").string()};
  for (int i = 0; i < kFiles; ++i) {
    std::string path = (work / "in" / ("s" + std::to_string(i) + ".sp")).string();
    tesvar::WriteFileReplacing(path, sample);
    args.push_back(path);
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  for (auto _ : state) {
    pid_t pid;
    if (posix_spawn(&pid, converter.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start tesvar-convert");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("tesvar-convert failed");
      break;
    }
  }
  state.counters["files/s"] = benchmark::Counter(static_cast<double>(kFiles),
                                                 benchmark::Counter::kIsIterationInvariantRate);
  std::error_code ec;
  fs::remove_all(work, ec);
}
BENCHMARK(BM_Convert1000SpToDifDup)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
