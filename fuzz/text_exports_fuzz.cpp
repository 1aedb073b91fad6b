// Fuzzes the readers of instrument text exports with arbitrary text: the
// first byte picks the reader (delimited text, PerkinElmer ASCII export,
// Agilent .asp), the rest is the file. Whatever loads must be a usable
// record, draw, and read back from the program's own exports
// (fuzz_checks.h). No file is touched: the empty path has no time stamp.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  tesvar::Spectrum& spectrum = tesvar::fuzz::LoadTarget();
  bool loaded = false;
  switch (data[0] % 3) {
    case 0:
      loaded = tesvar::fuzz::Load(tesvar::FileKind::kDelimitedText, text, spectrum);
      break;
    case 1:
      loaded = tesvar::fuzz::Load(tesvar::FileKind::kPeAscii, text, spectrum);
      break;
    default:
      loaded = tesvar::fuzz::Load(tesvar::FileKind::kAspText, text, spectrum);
      break;
  }
  if (!loaded) {
    FUZZ_CHECK(!spectrum.DataLoaded);
    return 0;
  }
  // Index 0 always holds the highest wavenumber.
  FUZZ_CHECK(spectrum.XStart > spectrum.XEnd);
  tesvar::fuzz::CheckAccepted(spectrum, data, size);
  return 0;
}
