// Fuzzes the SP reader with arbitrary bytes. Whatever loads must be
// writable and must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/messages.h"
#include "formats/sp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  tesvar::Spectrum spectrum;
  tesvar::SilentMessages messages;
  if (!tesvar::ParseSpBytes(bytes, spectrum, messages)) return 0;
  if (spectrum.NPoints < 2 || spectrum.NPoints > tesvar::kMaxPoints) std::abort();
  std::string written = tesvar::BuildSpBytes(spectrum);
  tesvar::Spectrum back;
  if (!tesvar::ParseSpBytes(written, back, messages)) std::abort();
  if (back.NPoints != spectrum.NPoints) std::abort();
  return 0;
}
