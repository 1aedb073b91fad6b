// Fuzzes the JCAMP-DX data line decoder the way the import drives it: the
// lines of one input share one decoding state, as the lines of one
// "##XYDATA=" section do.
//
// Input: one byte choosing the state the import would have set up (bits
// 0-1 the ordinate kind: none, transmittance, absorbance, transmittance;
// bits 2-4 YFACTOR from kFactors; bit 5 X ascending), two bytes of declared
// point count for a file whose X ascends, then the data section's text.
//
// The section is decoded by the import's loop, DecodeDataSection, on each
// path of the decoder this processor runs (or only on the one
// TESVAR_DECODER_PATH names), and through the general decoder alone, raw
// line by raw line. Each path must give the same message, the same state and
// the same slots, bit for bit: every faster reader promises exactly the
// general decoder's effect. Checked besides: the running slot index stays
// within the arrays, ordinates land only on the slots the index passed
// (those it passed over were all written, all others are untouched), and the
// counts never go backwards.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

struct Outcome {
  std::string message;
  tesvar::XyDecodeState state;
};

// One raw line through the general decoder, or skipped as the import skips
// it. False when the section ends there: at "##END=" or with a message.
bool GeneralLine(std::string_view text, std::size_t& pos, Outcome& out, tesvar::Spectrum& target) {
  std::string_view line = tesvar::ReadRawLine(text, pos);
  line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
  if (line.find('#') != std::string_view::npos) {
    if (line.find("##END=") != std::string_view::npos) return false;
    if (line.find("##") != std::string_view::npos) return true;
  }
  if (line.empty() || line.find('$') != std::string_view::npos) return true;
  int32_t readBefore = out.state.PointsRead;
  out.message = tesvar::DecodeXyDataLineGeneral(line, out.state, target);
  FUZZ_CHECK(out.state.PointIndex >= 0 && out.state.PointIndex < tesvar::kArraySlots);
  FUZZ_CHECK(out.state.PointsRead >= readBefore);
  return out.message.empty();
}

Outcome DecodeGeneral(std::string_view text, std::size_t pos, const tesvar::XyDecodeState& start,
                      tesvar::Spectrum& target) {
  Outcome out{"", start};
  while (pos < text.size() && GeneralLine(text, pos, out, target)) {
  }
  return out;
}

// The paths to run: the one TESVAR_DECODER_PATH names, else every path.
const std::vector<tesvar::DecoderPath>& Paths() {
  static const std::vector<tesvar::DecoderPath> paths = [] {
    using tesvar::DecoderPath;
    const char* named = std::getenv("TESVAR_DECODER_PATH");
    if (named != nullptr && *named != '\0' && std::string_view(named) != "auto") {
      return std::vector<DecoderPath>{tesvar::ActiveDecoderPath()};
    }
    std::vector<DecoderPath> all;
    for (DecoderPath path :
         {DecoderPath::kReference, DecoderPath::kScalar, DecoderPath::kSse2, DecoderPath::kAvx2}) {
      if (tesvar::CanRunDecoderPath(path)) all.push_back(path);
    }
    return all;
  }();
  return paths;
}

template <typename T>
bool SameBits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckSameOutcome(const Outcome& a, const Outcome& b) {
  FUZZ_CHECK(a.message == b.message);
  const tesvar::XyDecodeState& x = a.state;
  const tesvar::XyDecodeState& y = b.state;
  FUZZ_CHECK(x.PointIndex == y.PointIndex && x.IndexStep == y.IndexStep);
  FUZZ_CHECK(x.PointsRead == y.PointsRead);
  FUZZ_CHECK(SameBits(x.LastValue, y.LastValue));
  FUZZ_CHECK(x.DifMode == y.DifMode && x.LastFromDif == y.LastFromDif);
  FUZZ_CHECK(SameBits(x.PeakT, y.PeakT));
  FUZZ_CHECK(SameBits(x.LineX, y.LineX));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesvar;
  if (size < 3) return 0;
  // Records for all runs: only TransY is used, and it is reset for each.
  static Spectrum* imported = new Spectrum;
  static Spectrum* general = new Spectrum;
  general->TransY = UntouchedSlots();

  XyDecodeState st;
  uint8_t setup = data[0];
  st.OrdinateKind = kKinds[setup & 3];
  st.YFactor = kFactors[(setup >> 2) & 7];
  if (setup & 0x20) {
    int declared = 2 + (data[1] | data[2] << 8) % (kMaxPoints - 1);
    st.IndexStep = -1;
    st.PointIndex = declared - 1;
  }

  // The data section follows its label line, as in a file (the run
  // readers look at the bytes before a line).
  static const std::string kLabel = "##XYDATA= (X++(Y..Y))\r\n";
  std::string text = kLabel;
  text.append(reinterpret_cast<const char*>(data) + 3, size - 3);
  Outcome b = DecodeGeneral(text, kLabel.size(), st, *general);
  for (DecoderPath path : Paths()) {
    FUZZ_CHECK(ForceDecoderPath(path));
    imported->TransY = UntouchedSlots();
    Outcome a{"", st};
    a.message = DecodeDataSection(text, kLabel.size(), a.state, *imported);
    CheckSameOutcome(a, b);
    FUZZ_CHECK(imported->TransY.size() == general->TransY.size());
    FUZZ_CHECK(std::memcmp(imported->TransY.data(), general->TransY.data(),
                           sizeof(float) * general->TransY.size()) == 0);
  }

  const int32_t start = st.PointIndex;
  const int32_t end = b.state.PointIndex;
  FUZZ_CHECK(std::abs(end - start) <= b.state.PointsRead);
  CheckSlots(general->TransY, std::min(start, end), std::max(start, end), end);
  return 0;
}
