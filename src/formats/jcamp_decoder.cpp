// The general decoder of a data line: the reference every faster reader
// must match bit for bit (jcamp_decoder_parts.h lists them).
#include "formats/jcamp_decoder.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "formats/asdf.h"
#include "formats/jcamp_decoder_parts.h"

namespace tesvar {

using decoder_parts::kLastSlot;
using decoder_parts::kLn10;
using decoder_parts::kPlainNumberLimit;
using decoder_parts::kPowersOfTen;

namespace {

// Character classes of the data lines, one table lookup per byte.
enum CharClass : uint8_t {
  kSeparator = 1,  // " ,+-\t" of plain-number lines
  kNumber = 2,     // ".0123456789"
  kLetter = 4,     // the ASDF letters: an ASDF line
  kStarter = 8,    // the letters and "?": a token starts
  kBlank = 16,     // removed from ASDF lines
};

struct ClassTable {
  uint8_t of[256] = {};
  constexpr ClassTable() {
    for (char c : std::string_view(" ,+-\t")) of[static_cast<unsigned char>(c)] |= kSeparator;
    for (char c : std::string_view(".0123456789")) of[static_cast<unsigned char>(c)] |= kNumber;
    for (char c : AsdfLetters) of[static_cast<unsigned char>(c)] |= kLetter;
    for (char c : AsdfStarters) of[static_cast<unsigned char>(c)] |= kStarter;
    of[static_cast<unsigned char>(' ')] |= kBlank;
    of[static_cast<unsigned char>('\t')] |= kBlank;
  }
};

constexpr ClassTable kClasses;

bool Is(char c, uint8_t cls) { return (kClasses.of[static_cast<unsigned char>(c)] & cls) != 0; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the exponent ("e-05", "E+3", "E3") that starts at
// line[p], or 0 when none does.
std::size_t ExponentAt(std::string_view line, std::size_t p) {
  if (p >= line.size() || (line[p] != 'e' && line[p] != 'E')) return 0;
  std::size_t q = p + 1;
  if (q < line.size() && (line[q] == '+' || line[q] == '-')) ++q;
  if (q >= line.size() || !IsDigit(line[q])) return 0;
  while (q < line.size() && IsDigit(line[q])) ++q;
  return q - p;
}

// Whether a line is plain numbers between separators, two or more of them,
// at least one with an exponent written straight after its digits. An ASDF
// line never has that shape: its letters follow the abscissa or another
// token with no blank before the digit that would have to precede them, and
// a line of one number ("4000E3") is not taken.
bool IsExponentNumberLine(std::string_view line) {
  std::size_t p = 0;
  int numbers = 0;
  bool exponent = false;
  while (p < line.size()) {
    while (p < line.size() && Is(line[p], kSeparator)) ++p;
    if (p == line.size()) break;
    bool digits = false;
    while (p < line.size() && Is(line[p], kNumber)) digits |= IsDigit(line[p++]);
    if (!digits) return false;
    if (std::size_t e = ExponentAt(line, p); e > 0) {
      exponent = true;
      p += e;
    }
    if (p < line.size() && !Is(line[p], kSeparator)) return false;
    ++numbers;
  }
  return exponent && numbers >= 2;
}

// Up to 15 digits with at most one '.' are converted here: the digits form
// an exact integer and the power of ten is exact, so the one division is
// correctly rounded, the same double the general conversion gives. Anything
// else goes through the general decimal conversion.
bool ConvertNumber(std::string_view text, double& value) {
  if (!text.empty() && text.size() <= 16) {
    uint64_t n = 0;
    int digits = 0;
    int decimals = -1;  // digits after the point; -1 without a point
    bool simple = true;
    for (char c : text) {
      if (c >= '0' && c <= '9') {
        n = n * 10 + static_cast<uint64_t>(c - '0');
        ++digits;
        if (decimals >= 0) ++decimals;
      } else if (c == '.' && decimals < 0) {
        decimals = 0;
      } else {
        simple = false;
        break;
      }
    }
    if (simple && digits > 0 && digits <= 15) {
      value = static_cast<double>(n);
      if (decimals > 0) value /= kPowersOfTen[decimals];
      return true;
    }
  }
  return ParseDecimal(text, value);
}

// Decodes one line. The state lives in members while the line is read (so
// that the inner loop keeps it in registers) and goes back to the caller's
// XyDecodeState when the decoder ends, on success and on failure alike.
class LineDecoder {
 public:
  LineDecoder(XyDecodeState& state, Spectrum& target)
      : st_(state),
        y_(target.TransY.data()),
        // Keep every store inside the arrays even for a state set up wrongly.
        index_(std::clamp(state.PointIndex, 0, kLastSlot)),
        step_(state.IndexStep),
        read_(state.PointsRead),
        last_(state.LastValue),
        difMode_(state.DifMode),
        lastFromDif_(state.LastFromDif),
        peak_(state.PeakT),
        factor_(state.YFactor),
        transmittance_(state.OrdinateKind == OrdinateKind::kTransmittance) {}

  ~LineDecoder() {
    st_.PointIndex = index_;
    st_.PointsRead =
        static_cast<int32_t>(std::min<int64_t>(read_, std::numeric_limits<int32_t>::max()));
    st_.LastValue = last_;
    st_.DifMode = difMode_;
    st_.LastFromDif = lastFromDif_;
    st_.PeakT = peak_;
  }

  LineDecoder(const LineDecoder&) = delete;
  LineDecoder& operator=(const LineDecoder&) = delete;

  // REQUIRES: the line holds no ASDF letter, or `exponents` is set and
  // IsExponentNumberLine holds for it.
  std::string PlainLine(std::string_view line, bool exponents);
  // `blanks`: the line holds blanks or tabs, which are removed first.
  std::string AsdfLine(std::string_view line, bool blanks);

 private:
  // Stores one ordinate with raw value v and sign s; comma repeats neither
  // raise PeakT nor change LastValue and stay within slots 1 ... 15999.
  // Returns false when the slot index could not move (the next ordinate
  // would overwrite the same slot).
  bool Store(double v, double sign, bool commaRepeat) {
    double y = v * factor_ * sign;
    double t = transmittance_ ? y : 1.0 / std::exp(y * kLn10);
    float stored = OrdinateToFloat(t);
    y_[index_] = stored;
    if (!commaRepeat && stored > peak_) peak_ = stored;
    ++read_;
    if (!commaRepeat) last_ = v * sign;
    int32_t next = index_ + step_;
    bool inRange =
        commaRepeat ? (next >= 1 && next <= kMaxPoints - 1) : (next >= 0 && next <= kLastSlot);
    if (inRange) index_ = next;
    return inRange;
  }

  // Stores `count` ordinates of an SQZ value (value) or, in DIF mode, of
  // successive differences. Once the slot index is stuck at an end of the
  // array all further ordinates land in one slot, so a huge DUP count is
  // finished in one step: the last of them is what stays, and as the run is
  // monotonic its largest TransY is its first or its last.
  // Returns the value last stored (the line's value from then on).
  double StoreRun(int64_t count, double value, double difference) {
    lastFromDif_ = difMode_;
    for (int64_t k = 0; k < count; ++k) {
      if (difMode_) value = last_ + difference;
      bool moved = Store(value, 1.0, false);
      int64_t remaining = count - k - 1;
      if (!moved && remaining > 1) {
        if (difMode_) {
          double start = last_;
          read_ += remaining - 1;
          value = start + static_cast<double>(remaining) * difference;
          Store(value, 1.0, false);
        } else {
          read_ += remaining;
        }
        break;
      }
    }
    return value;
  }

  XyDecodeState& st_;
  float* y_;
  int32_t index_;
  int32_t step_;
  int64_t read_;  // saturated to the int32 range when written back
  double last_;
  bool difMode_;
  bool lastFromDif_;
  double peak_;
  double factor_;
  bool transmittance_;
};

std::string LineDecoder::PlainLine(std::string_view line, bool exponents) {
  // The scan stops before the last character: one trailing separator is
  // never looked at, a longer run leaves an empty number behind.
  std::size_t len = line.size();
  std::size_t p = 0;
  int numbers = 0;
  while (p + 1 < len) {
    double sign = 1.0;
    int commas = 0;
    while (p + 1 < len && Is(line[p], kSeparator)) {
      char c = line[p];
      if (c == ',') ++commas;
      if (c == '-') sign = -1.0;
      if (c == '+') sign = 1.0;
      ++p;
    }
    for (int k = 1; k < commas; ++k) {
      Store(last_, 1.0, true);
      ++numbers;
    }
    std::size_t start = p;
    while (p < len && Is(line[p], kNumber)) ++p;
    if (exponents) p += ExponentAt(line, p);
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

std::string LineDecoder::AsdfLine(std::string_view raw, bool blanks) {
  std::string stripped;
  std::string_view line = raw;
  if (blanks) {
    stripped.resize(raw.size());
    char* w = stripped.data();
    for (char c : raw) {
      if (!Is(c, kBlank)) *w++ = c;
    }
    stripped.resize(static_cast<std::size_t>(w - stripped.data()));
    line = stripped;
  }
  if (line.empty()) return "";

  std::size_t p = 1;
  while (p < line.size() && Is(line[p], kNumber)) ++p;
  if (!ConvertNumber(line.substr(0, p), st_.LineX)) return "invalid X value";

  int64_t dup = 1;
  // Values of this line: a DUP token at the start of a line repeats the last
  // ordinate read, as there is no value of the line yet.
  double value = last_;
  double difference = 0;
  // After a line that ended in DIF form the first token is the Y check.
  bool yCheck = lastFromDif_;
  while (p < line.size()) {
    // Usual tokens are a letter and a few digits: they are read here in the
    // pass that finds their end. Anything else ('.', signs, very long
    // digit runs) goes to the general token decoding.
    std::size_t start = p;
    const asdf_sets::StarterInfo& info =
        asdf_sets::kStarters.info[static_cast<unsigned char>(line[p++])];
    uint64_t number = static_cast<uint64_t>(info.digit);
    std::size_t digitsStart = p;
    while (p < line.size() && line[p] >= '0' && line[p] <= '9') {
      number = number * 10 + static_cast<uint64_t>(line[p++] - '0');
    }
    bool simple = p - digitsStart <= 15 && (p == line.size() || Is(line[p], kStarter));
    if (!simple) {
      while (p < line.size() && !Is(line[p], kStarter)) ++p;
    }
    std::string_view token = line.substr(start, p - start);

    double own = 0;  // the token's own number, shown when it fails the Y check
    bool converted = true;
    if (info.kind == AsdfKind::kSqz || info.kind == AsdfKind::kDif || info.kind == AsdfKind::kDup) {
      if (simple) {
        own = info.negative ? -static_cast<double>(number) : static_cast<double>(number);
        converted = info.kind != AsdfKind::kDup ||
                    number <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
      } else {
        AsdfValue decoded;
        converted = DecodeAsdfToken(token, decoded);
        own = decoded.value;
      }
    }
    switch (info.kind) {
      case AsdfKind::kNone:
        return "not an ASDF number: " + std::string(token) + " " +
               FormatInt(std::min<int64_t>(read_, std::numeric_limits<int32_t>::max()));
      case AsdfKind::kRepeat:
        value = last_;
        own = value;
        break;
      case AsdfKind::kSqz:
        if (!converted) return "invalid SQZ number: " + SubstitutedToken(token);
        value = own;
        difMode_ = false;
        dup = 1;
        break;
      case AsdfKind::kDif:
        if (!converted) return "invalid DIF number: " + SubstitutedToken(token);
        difference = own;
        difMode_ = true;
        break;
      case AsdfKind::kDup: {
        if (!converted) return "invalid DUP number: " + SubstitutedToken(token);
        int64_t n = static_cast<int64_t>(own);
        dup = n > 1 ? n - 1 : n;
        break;
      }
    }

    if (yCheck) {
      // The line repeats the last ordinate of the line before. A DIF or DUP
      // token here has no value of its own to compare and fails.
      yCheck = false;
      bool isValue = info.kind == AsdfKind::kSqz || info.kind == AsdfKind::kRepeat;
      if (isValue && value == last_) {
        difMode_ = false;
        continue;
      }
      return "Y check failed: " + RealToText41(last_) + "/" + RealToText41(own) + " at " +
             RealToText41(st_.LineX);
    }
    yCheck = false;

    value = StoreRun(dup, value, difference);
    dup = 1;
  }
  return "";
}

}  // namespace

std::string DecodeXyDataLineGeneral(std::string_view line, XyDecodeState& state, Spectrum& target) {
  if (line.empty()) return "";
  LineDecoder decoder(state, target);
  if (state.ExponentNumbers && IsExponentNumberLine(line)) return decoder.PlainLine(line, true);
  // One pass classifies the line: any ASDF letter makes an ASDF line; a
  // plain-number line may hold separators and number characters only.
  uint8_t seen = 0;
  bool plain = true;
  for (char c : line) {
    uint8_t cls = kClasses.of[static_cast<unsigned char>(c)];
    seen |= cls;
    if ((cls & (kSeparator | kNumber)) == 0) plain = false;
  }
  if (seen & kLetter) return decoder.AsdfLine(line, (seen & kBlank) != 0);
  if (!plain) return "invalid data line " + std::string(line);
  return decoder.PlainLine(line, false);
}

}  // namespace tesvar
