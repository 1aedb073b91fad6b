// Times JCAMP-DX imports on request, for bench/jcampconverter_timing.sh,
// which asks for ours and times the other reader in turn, so that both are
// measured within the same few milliseconds of a shared machine's load.
//
// Each line read from stdin, "COUNT PATH", imports PATH COUNT times, one
// after another into the same record (as the program imports file after
// file), times each import by itself and answers one line on stdout: the
// median in microseconds, or "failed" when an import failed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "core/messages.h"
#include "formats/file_kinds.h"

int main() {
  tesvar::Spectrum record;
  std::vector<double> times;
  int count = 0;
  std::string path;
  while (std::cin >> count && std::getline(std::cin >> std::ws, path)) {
    times.clear();
    bool ok = count > 0;
    for (int i = 0; i < count && ok; ++i) {
      const auto start = std::chrono::steady_clock::now();
      ok = tesvar::ReadJcampFile(path, record).loaded();
      const auto end = std::chrono::steady_clock::now();
      times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    if (!ok) {
      std::printf("failed\n");
    } else {
      std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
      std::printf("%.2f\n", times[times.size() / 2]);
    }
    std::fflush(stdout);
  }
  return 0;
}
