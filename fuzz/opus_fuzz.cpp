// Fuzzes the Bruker OPUS reader with arbitrary bytes. Whatever loads must be
// a usable record, draw, and read back from the program's own exports
// (fuzz_checks.h).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  tesvar::Spectrum& spectrum = tesvar::fuzz::LoadTarget();
  if (!tesvar::fuzz::Load(tesvar::FileKind::kOpus, bytes, spectrum)) {
    FUZZ_CHECK(!spectrum.DataLoaded);
    return 0;
  }
  tesvar::fuzz::CheckAccepted(spectrum, data, size);
  return 0;
}
