// Fuzzes the readers of instrument text exports with arbitrary text: the
// first byte picks the reader (delimited text, PerkinElmer ASCII export,
// Agilent .asp), the rest is the file. Whatever loads must be a usable
// record, draw, and read back from the program's own exports
// (fuzz_checks.h). No file is touched: the empty path has no time stamp.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/asp_text.h"
#include "formats/delimited_text.h"
#include "formats/pe_ascii.h"
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  tesvar::Spectrum& spectrum = tesvar::fuzz::LoadTarget();
  tesvar::SilentMessages messages;
  bool loaded = false;
  switch (data[0] % 3) {
    case 0:
      loaded = tesvar::ParseDelimitedText(text, "", spectrum, messages);
      break;
    case 1:
      loaded = tesvar::ParsePeAscii(text, "", spectrum, messages);
      break;
    default:
      loaded = tesvar::ParseAspText(text, "", spectrum, messages);
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
