#include "formats/jcamp_decoder.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "formats/asdf.h"

namespace tesvar {

namespace {

// ln 10 as the old program wrote it; 10^-y is computed as 1 / e^(y ln 10).
constexpr double kLn10 = 2.302585093;
// Plain numbers of this magnitude or more are refused.
constexpr double kPlainNumberLimit = 1419480976.0;
constexpr int32_t kLastSlot = kArraySlots - 1;

bool IsPlainSeparator(char c) { return c == ' ' || c == ',' || c == '+' || c == '-' || c == '\t'; }
bool IsPlainNumberChar(char c) { return c == '.' || (c >= '0' && c <= '9'); }
bool IsAsdfLetter(char c) { return AsdfLetters.find(c) != std::string_view::npos; }
bool IsAsdfStarter(char c) { return AsdfStarters.find(c) != std::string_view::npos; }

// Builds a lookup table once; the classification runs over every byte.
struct CharTable {
  bool letter[256] = {};
  bool starter[256] = {};
  CharTable() {
    for (int c = 0; c < 256; ++c) {
      letter[c] = IsAsdfLetter(static_cast<char>(c));
      starter[c] = IsAsdfStarter(static_cast<char>(c));
    }
  }
};
const CharTable& Chars() {
  static const CharTable table;
  return table;
}
bool IsLetter(char c) { return Chars().letter[static_cast<unsigned char>(c)]; }
bool IsStarter(char c) { return Chars().starter[static_cast<unsigned char>(c)]; }

// Digits only (up to 15) are read as an integer directly; anything else by
// the general decimal conversion.
bool ConvertNumber(std::string_view text, double& value) {
  if (!text.empty() && text.size() <= 15) {
    uint64_t n = 0;
    bool digits = true;
    for (char c : text) {
      if (c < '0' || c > '9') {
        digits = false;
        break;
      }
      n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    if (digits) {
      value = static_cast<double>(n);
      return true;
    }
  }
  return ParseDecimal(text, value);
}

class LineDecoder {
 public:
  LineDecoder(XyDecodeState& state, Spectrum& target) : st_(state), y_(target.TransY.data()) {
    // Keep every store inside the arrays even for a state set up wrongly.
    st_.PointIndex = std::clamp(st_.PointIndex, 0, kLastSlot);
  }

  std::string PlainLine(std::string_view line);
  std::string AsdfLine(std::string_view line);

 private:
  // Stores one ordinate with raw value v and sign s; comma repeats neither
  // raise PeakT nor change LastValue and stay within slots 1 ... 15999.
  // Returns false when the slot index could not move (the next ordinate
  // would overwrite the same slot).
  bool Store(double v, double sign, bool commaRepeat) {
    double y = v * st_.YFactor * sign;
    double t = st_.Kind == OrdinateKind::kTransmittance ? y : 1.0 / std::exp(y * kLn10);
    float stored = OrdinateToFloat(t);
    y_[st_.PointIndex] = stored;
    if (!commaRepeat && stored > st_.PeakT) st_.PeakT = stored;
    CountPoints(1);
    if (!commaRepeat) st_.LastValue = v * sign;
    int32_t next = st_.PointIndex + st_.IndexStep;
    bool inRange = commaRepeat ? (next >= 1 && next <= kMaxPoints - 1)
                               : (next >= 0 && next <= kLastSlot);
    if (inRange) st_.PointIndex = next;
    return inRange;
  }

  void CountPoints(int64_t n) {
    int64_t sum = static_cast<int64_t>(st_.PointsRead) + n;
    st_.PointsRead = static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
  }

  // Stores `count` ordinates of an SQZ value (value) or, in DIF mode, of
  // successive differences. Once the slot index is stuck at an end of the
  // array all further ordinates land in one slot, so a huge DUP count is
  // finished in one step: the last of them is what stays, and as the run is
  // monotonic its largest TransY is its first or its last.
  void StoreRun(int64_t count, double& value, double difference) {
    for (int64_t k = 0; k < count; ++k) {
      if (st_.DifMode) value = st_.LastValue + difference;
      bool moved = Store(value, 1.0, false);
      st_.LastFromDif = st_.DifMode;
      int64_t remaining = count - k - 1;
      if (!moved && remaining > 1) {
        if (st_.DifMode) {
          double start = st_.LastValue;
          CountPoints(remaining - 1);
          value = start + static_cast<double>(remaining) * difference;
          Store(value, 1.0, false);
        } else {
          CountPoints(remaining);
        }
        return;
      }
    }
  }

  XyDecodeState& st_;
  float* y_;
};

std::string LineDecoder::PlainLine(std::string_view line) {
  for (char c : line) {
    if (!IsPlainSeparator(c) && !IsPlainNumberChar(c)) {
      return "invalid data line " + std::string(line);
    }
  }
  // The scan stops before the last character: one trailing separator is
  // never looked at, a longer run leaves an empty number behind.
  std::size_t len = line.size();
  std::size_t p = 0;
  int numbers = 0;
  while (p + 1 < len) {
    double sign = 1.0;
    int commas = 0;
    while (p + 1 < len && IsPlainSeparator(line[p])) {
      char c = line[p];
      if (c == ',') ++commas;
      if (c == '-') sign = -1.0;
      if (c == '+') sign = 1.0;
      ++p;
    }
    for (int k = 1; k < commas; ++k) {
      Store(st_.LastValue, 1.0, true);
      ++numbers;
    }
    std::size_t start = p;
    while (p < len && IsPlainNumberChar(line[p])) ++p;
    std::string_view text = line.substr(start, p - start);
    double v = 0;
    if (!ConvertNumber(text, v) || !(std::fabs(v) < kPlainNumberLimit)) {
      return "invalid data point: " + (text.empty() ? std::string("-----") : std::string(text));
    }
    ++numbers;
    if (numbers > 1) Store(v, sign, false);
  }
  return "";
}

std::string LineDecoder::AsdfLine(std::string_view raw) {
  std::string line;
  line.reserve(raw.size());
  for (char c : raw) {
    if (c != ' ' && c != '\t') line += c;
  }
  if (line.empty()) return "";

  std::size_t p = 1;
  while (p < line.size() && IsPlainNumberChar(line[p])) ++p;
  if (!ConvertNumber(std::string_view(line).substr(0, p), st_.LineX)) return "invalid X value";

  int tokenCount = 1;
  int64_t dup = 1;
  // Values of this line: a DUP token at the start of a line repeats the last
  // ordinate read, as there is no value of the line yet.
  double value = st_.LastValue;
  double difference = 0;
  while (p < line.size()) {
    std::size_t start = p++;
    while (p < line.size() && !IsStarter(line[p])) ++p;
    std::string_view token = std::string_view(line).substr(start, p - start);
    ++tokenCount;

    AsdfValue decoded;
    bool converted = DecodeAsdfToken(token, decoded);
    // The number the token itself stands for, shown when it fails the Y check.
    double own = decoded.value;
    switch (decoded.kind) {
      case AsdfKind::kNone:
        return "not an ASDF number: " + std::string(token) + " " + FormatInt(st_.PointsRead);
      case AsdfKind::kRepeat:
        value = st_.LastValue;
        own = value;
        break;
      case AsdfKind::kSqz:
        if (!converted) return "invalid SQZ number: " + SubstitutedToken(token);
        value = decoded.value;
        st_.DifMode = false;
        dup = 1;
        break;
      case AsdfKind::kDif:
        if (!converted) return "invalid DIF number: " + SubstitutedToken(token);
        difference = decoded.value;
        st_.DifMode = true;
        break;
      case AsdfKind::kDup: {
        if (!converted) return "invalid DUP number: " + SubstitutedToken(token);
        int64_t n = static_cast<int64_t>(decoded.value);
        dup = n > 1 ? n - 1 : n;
        break;
      }
    }

    if (st_.LastFromDif && tokenCount == 2) {
      // The Y check: the line repeats the last ordinate of the line before.
      // A DIF or DUP token here has no value of its own to compare and fails.
      bool isValue = decoded.kind == AsdfKind::kSqz || decoded.kind == AsdfKind::kRepeat;
      if (isValue && value == st_.LastValue) {
        st_.DifMode = false;
        continue;
      }
      return "Y check failed: " + RealToText41(st_.LastValue) + "/" + RealToText41(own) + " at " +
             RealToText41(st_.LineX);
    }

    StoreRun(dup, value, difference);
    // The stores count as tokens too, so only the first token is checked.
    tokenCount += static_cast<int>(std::min<int64_t>(dup, 1000));
    dup = 1;
  }
  return "";
}

}  // namespace

float OrdinateToFloat(double value) {
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::string DecodeXyDataLine(std::string_view line, XyDecodeState& state, Spectrum& target) {
  if (line.empty()) return "";
  LineDecoder decoder(state, target);
  for (char c : line) {
    if (IsLetter(c)) return decoder.AsdfLine(line);
  }
  return decoder.PlainLine(line);
}

}  // namespace tesvar
