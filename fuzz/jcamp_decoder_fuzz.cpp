// Fuzzes the JCAMP-DX data line decoder the way the import drives it: the
// lines of one input share one decoding state, as the lines of one
// "##XYDATA=" section do.
//
// Input: one byte choosing the state the import would have set up (bits
// 0-1 the ordinate kind: none, transmittance, absorbance, transmittance;
// bits 2-4 YFACTOR from kFactors; bit 5 X ascending), two bytes of declared
// point count for a file whose X ascends, then the data section's text.
//
// Checked: the running slot index stays within the arrays, ordinates land
// only on the slots the index passed (those it passed over were all
// written, all others are untouched), and the counts never go backwards.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "formats/jcamp_decoder.h"
#include "formats/jcamp_reader.h"
#include "fuzz_checks.h"

namespace {

// A float no decoded ordinate can be: a NaN with a payload of its own.
constexpr uint32_t kUntouched = 0x7FC0DEADu;

FUZZ_UNTRACED bool Untouched(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits == kUntouched;
}

// All slots untouched, to copy from and compare with in one call each (a
// loop over the 16001 slots would cost more than the decoding).
const std::vector<float>& UntouchedSlots() {
  static const std::vector<float> slots = [] {
    float untouched;
    std::memcpy(&untouched, &kUntouched, sizeof untouched);
    return std::vector<float>(tesvar::kArraySlots, untouched);
  }();
  return slots;
}

bool SameSlots(const std::vector<float>& slots, int32_t from, int32_t to) {
  if (from >= to) return true;
  return std::memcmp(slots.data() + from, UntouchedSlots().data() + from,
                     sizeof(float) * static_cast<std::size_t>(to - from)) == 0;
}

// Slots lo ... hi are the ones the index visited: those outside were never
// written, those passed over (all but the last index) were.
FUZZ_UNTRACED void CheckSlots(const std::vector<float>& slots, int32_t lo, int32_t hi,
                              int32_t end) {
  FUZZ_CHECK(SameSlots(slots, 0, lo));
  FUZZ_CHECK(SameSlots(slots, hi + 1, static_cast<int32_t>(slots.size())));
  for (int32_t i = lo; i <= hi; ++i) {
    if (i != end) FUZZ_CHECK(!Untouched(slots[i]));
  }
}

constexpr tesvar::OrdinateKind kKinds[4] = {
    tesvar::OrdinateKind::kNone, tesvar::OrdinateKind::kTransmittance,
    tesvar::OrdinateKind::kAbsorbance, tesvar::OrdinateKind::kTransmittance};
constexpr double kFactors[8] = {1.0, 0.00001, 0.01, 10.0, 1e-300, 1e300, -1.0, 0.0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesvar;
  if (size < 3) return 0;
  // One record for all runs: only TransY is used, and it is reset below.
  static Spectrum* target = new Spectrum;
  target->TransY = UntouchedSlots();

  XyDecodeState st;
  uint8_t setup = data[0];
  st.OrdinateKind = kKinds[setup & 3];
  st.YFactor = kFactors[(setup >> 2) & 7];
  if (setup & 0x20) {
    int declared = 2 + (data[1] | data[2] << 8) % (kMaxPoints - 1);
    st.IndexStep = -1;
    st.PointIndex = declared - 1;
  }
  const int32_t start = st.PointIndex;

  std::string_view text(reinterpret_cast<const char*>(data) + 3, size - 3);
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::string_view line = ReadRawLine(text, pos);
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    if (line.find("##END=") != std::string_view::npos) break;
    if (line.empty() || line.find("##") != std::string_view::npos ||
        line.find('$') != std::string_view::npos) {
      continue;
    }
    int32_t readBefore = st.PointsRead;
    std::string message = DecodeXyDataLine(line, st, *target);
    FUZZ_CHECK(st.PointIndex >= 0 && st.PointIndex < kArraySlots);
    FUZZ_CHECK(st.PointsRead >= readBefore);
    if (!message.empty()) break;
  }

  const int32_t end = st.PointIndex;
  FUZZ_CHECK(std::abs(end - start) <= st.PointsRead);
  CheckSlots(target->TransY, std::min(start, end), std::max(start, end), end);
  return 0;
}
