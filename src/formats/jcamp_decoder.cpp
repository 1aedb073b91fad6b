#include "formats/jcamp_decoder.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
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

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

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

  // REQUIRES: the line holds no ASDF letter.
  std::string PlainLine(std::string_view line);
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

std::string LineDecoder::PlainLine(std::string_view line) {
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

// ---------------------------------------------------------------------------
// The usual lines in one pass.
//
// Nearly every data line is either a row of integers (or short decimals)
// between blanks and signs, or an ASDF line of letters with a few integer
// digits each. UsualLine reads these byte by byte, eight digits at a time,
// without cutting the line into strings, and gives up at the first thing it
// does not know; the general decoder above then reads the line instead. Its
// ordinates go to a buffer of its own first and reach TransY only when the
// whole line is read, so giving up leaves nothing behind. Every value is
// computed with the same operations, in the same order, as the general
// decoder computes it, so both give the same bits.

enum UsualClass : uint8_t {
  kUsualOther = 0,  // anything this path does not read
  kUsualDigit,
  kUsualPoint,
  kUsualBlank,  // blank or tab
  kUsualPlus,
  kUsualMinus,
  kUsualLetter,    // one of the ASDF letters
  kUsualQuestion,  // "?"
  kUsualLineEnd,   // CR or LF
};

struct UsualClassTable {
  uint8_t of[256] = {};
  constexpr UsualClassTable() {
    for (char c = '0'; c <= '9'; ++c) of[static_cast<unsigned char>(c)] = kUsualDigit;
    of[static_cast<unsigned char>('.')] = kUsualPoint;
    of[static_cast<unsigned char>(' ')] = kUsualBlank;
    of[static_cast<unsigned char>('\t')] = kUsualBlank;
    of[static_cast<unsigned char>('+')] = kUsualPlus;
    of[static_cast<unsigned char>('-')] = kUsualMinus;
    for (char c : AsdfLetters) of[static_cast<unsigned char>(c)] = kUsualLetter;
    of[static_cast<unsigned char>('?')] = kUsualQuestion;
    of[static_cast<unsigned char>('\r')] = kUsualLineEnd;
    of[static_cast<unsigned char>('\n')] = kUsualLineEnd;
  }
};

constexpr UsualClassTable kUsual;

constexpr uint64_t kTens[] = {1,
                              10,
                              100,
                              1000,
                              10000,
                              100000,
                              1000000,
                              10000000,
                              100000000,
                              1000000000,
                              10000000000,
                              100000000000,
                              1000000000000,
                              10000000000000,
                              100000000000000,
                              1000000000000000};

struct DigitRun {
  uint64_t value;  // meaningless beyond 16 digits (callers give up there)
  int count;       // at most 17
};

// The run of digits at p, ending at limit at the latest.
inline DigitRun ReadDigits(const char* p, const char* limit) {
  if constexpr (std::endian::native == std::endian::little) {
    if (limit - p >= 8) {
      // Eight bytes at once: find the first that is no digit, then fold the
      // digits before it into an integer with three multiplications.
      uint64_t word;
      std::memcpy(&word, p, sizeof word);
      uint64_t x = word ^ 0x3030303030303030u;  // digits become 0 ... 9
      uint64_t notDigit =
          (((x & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | x) & 0x8080808080808080u;
      if (notDigit != 0) {
        int n = std::countr_zero(notDigit) >> 3;
        // The n digits go to the top bytes (the first one lowest), zeros
        // below them are leading zeros; two shifts so that n = 0 works.
        unsigned shift = 32 - 4 * static_cast<unsigned>(n);
        x = (x << shift) << shift;
        x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFu;
        x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFu;
        x = (x * 10000 + (x >> 32)) & 0xFFFFFFFFu;
        return {x, n};
      }
    }
  }
  uint64_t v = 0;
  int n = 0;
  while (p != limit && *p >= '0' && *p <= '9' && n < 17) {
    v = v * 10 + static_cast<uint64_t>(*p - '0');
    ++n;
    ++p;
  }
  return {v, n};
}

// The value ConvertNumber gives for a text of at most 15 digits, `decimals`
// of them after a point (all digits as one integer).
inline double NumberValue(uint64_t digits, int decimals) {
  double value = static_cast<double>(digits);
  if (decimals > 0) value /= kPowersOfTen[decimals];
  return value;
}

// A run of ".0123456789" at p with at most one point and 1 to 15 digits, as
// ConvertNumber reads it without the general conversion. Everything is
// passed by value so that it stays in registers even when not inlined.
struct UsualNumber {
  const char* end;  // the first byte after the run
  uint64_t digits;  // all digits as one integer
  int decimals;     // digits after the point
  bool ok;
};

inline UsualNumber ReadUsualNumber(const char* p, const char* limit) {
  DigitRun whole = ReadDigits(p, limit);
  p += whole.count;
  if (p == limit || *p != '.') return {p, whole.value, 0, whole.count > 0 && whole.count <= 15};
  ++p;
  DigitRun fraction = ReadDigits(p, limit);
  p += fraction.count;
  int total = whole.count + fraction.count;
  bool ok = fraction.count <= 15 && total > 0 && total <= 15 && (p == limit || *p != '.');
  return {p, ok ? whole.value * kTens[fraction.count] + fraction.value : 0, fraction.count, ok};
}

// Ordinates one line may give before this path leaves it to the general
// decoder (long DUP runs).
constexpr int kUsualBufferSize = 1024;

// What a usual line leaves behind; its ordinates are in the caller's buffer.
struct UsualLine {
  std::size_t length = kNotUsualLine;  // kNotUsualLine: leave it to the general decoder
  int count = 0;
  double last = 0;
  bool difMode = false;
  bool lastFromDif = false;
  double peak = 0;
  bool asdf = false;
  double lineX = 0;
};

// Reads one line into out (kUsualBufferSize slots). Everything the loops
// touch is a local, so that the compiler keeps it in registers: the bytes
// read are chars, which could alias any member of an object.
UsualLine ReadUsualLine(std::string_view text, std::size_t maxLen, const XyDecodeState& st,
                        float* out) {
  const char* const begin = text.data();
  const char* const limit = begin + std::min(maxLen, text.size());
  const char* p = begin;
  double last = st.LastValue;
  double peak = st.PeakT;
  bool difMode = st.DifMode;
  bool lastFromDif = st.LastFromDif;
  const double factor = st.YFactor;
  const bool transmittance = st.OrdinateKind == OrdinateKind::kTransmittance;
  int count = 0;
  const UsualLine notUsual;

  // The class of the byte at p; the end of the line counts as a line end.
  auto next = [&]() -> uint8_t {
    return p == limit ? uint8_t{kUsualLineEnd} : kUsual.of[static_cast<unsigned char>(*p)];
  };
  // Store() of the general decoder, into the buffer. REQUIRES: room.
  auto put = [&](double v, double sign) {
    double y = v * factor * sign;
    double t = transmittance ? y : 1.0 / std::exp(y * kLn10);
    float stored = OrdinateToFloat(t);
    out[count++] = stored;
    if (stored > peak) peak = stored;
    last = v * sign;
  };
  auto finish = [&](bool asdf, double lineX) {
    UsualLine r;
    r.length = static_cast<std::size_t>(p - begin);
    r.count = count;
    r.last = last;
    r.difMode = difMode;
    r.lastFromDif = lastFromDif;
    r.peak = peak;
    r.asdf = asdf;
    r.lineX = lineX;
    return r;
  };

  if (next() == kUsualLineEnd) return finish(false, 0);
  // The first number decides nothing yet: "4000 85" is a plain-number line,
  // "4000 H5300" (blanks go) an ASDF one.
  const UsualNumber x = ReadUsualNumber(p, limit);
  if (!x.ok) return notUsual;
  p = x.end;
  const char* afterX = p;
  while (next() == kUsualBlank) ++p;

  if (next() == kUsualLetter) {
    double value = last;
    double difference = 0;
    bool yCheck = lastFromDif;
    for (;;) {
      // p is at a letter or "?" that starts a token.
      const asdf_sets::StarterInfo& info =
          asdf_sets::kStarters.info[static_cast<unsigned char>(*p)];
      ++p;
      DigitRun rest = ReadDigits(p, limit);
      p += rest.count;
      if (rest.count > 15) return notUsual;
      // A token ends at the next token, at blanks or at the line end.
      uint8_t after = next();
      if (after == kUsualBlank) {
        while (after == kUsualBlank) {
          ++p;
          after = next();
        }
        if (after != kUsualLetter && after != kUsualQuestion && after != kUsualLineEnd) {
          return notUsual;
        }
      } else if (after != kUsualLetter && after != kUsualQuestion && after != kUsualLineEnd) {
        return notUsual;
      }
      uint64_t n = static_cast<uint64_t>(info.digit) * kTens[rest.count] + rest.value;
      double own = info.negative ? -static_cast<double>(n) : static_cast<double>(n);
      if (count == kUsualBufferSize) return notUsual;

      if (info.kind == AsdfKind::kDif && !yCheck) {
        // The usual token, one difference and one ordinate.
        difference = own;
        difMode = lastFromDif = true;
        value = last + difference;
        put(value, 1.0);
      } else if (info.kind == AsdfKind::kSqz && !yCheck) {
        value = own;
        difMode = lastFromDif = false;
        put(value, 1.0);
      } else {
        int64_t stores = 1;
        switch (info.kind) {
          case AsdfKind::kRepeat:
            value = last;
            break;
          case AsdfKind::kSqz:
            value = own;
            difMode = false;
            break;
          case AsdfKind::kDif:
            difference = own;
            difMode = true;
            break;
          case AsdfKind::kDup:
            if (n > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return notUsual;
            stores = n > 1 ? static_cast<int64_t>(n) - 1 : static_cast<int64_t>(n);
            break;
          case AsdfKind::kNone:
            return notUsual;
        }
        if (yCheck) {
          // The general decoder gives the message of a failed check.
          yCheck = false;
          bool isValue = info.kind == AsdfKind::kSqz || info.kind == AsdfKind::kRepeat;
          if (!(isValue && value == last)) return notUsual;
          difMode = false;
        } else {
          if (stores > kUsualBufferSize - count) return notUsual;
          lastFromDif = difMode;
          for (int64_t k = 0; k < stores; ++k) {
            if (difMode) value = last + difference;
            put(value, 1.0);
          }
        }
      }
      if (after == kUsualLineEnd) break;
    }
    return finish(true, NumberValue(x.digits, x.decimals));
  }

  // A plain-number line. One byte is no number at all for the general
  // decoder (it reads while it is before the last byte).
  p = afterX;
  if (p - begin < 2 && next() == kUsualLineEnd) return finish(false, 0);
  if (!(NumberValue(x.digits, x.decimals) < kPlainNumberLimit)) return notUsual;
  for (;;) {
    // A run of blanks, tabs and signs (commas go to the general decoder).
    // The general decoder never takes the last byte of a line for a
    // separator: one at the end is ignored, a longer run there is an error.
    double sign = 1.0;
    const char* runStart = p;
    uint8_t c = next();
    for (;; ++p, c = next()) {
      if (c == kUsualMinus) {
        sign = -1.0;
      } else if (c == kUsualPlus) {
        sign = 1.0;
      } else if (c != kUsualBlank) {
        break;
      }
    }
    if (c == kUsualLineEnd) {
      if (p - runStart > 1) return notUsual;
      break;
    }
    if (p == runStart) return notUsual;  // a number runs on into another byte
    const UsualNumber number = ReadUsualNumber(p, limit);
    if (!number.ok) return notUsual;
    p = number.end;
    double v = NumberValue(number.digits, number.decimals);
    if (!(std::fabs(v) < kPlainNumberLimit) || count == kUsualBufferSize) return notUsual;
    put(v, sign);
  }
  return finish(false, 0);
}

// Writes a line read by ReadUsualLine to the record and the state; false,
// with nothing written, when its stores would not all move the slot index.
bool CommitUsualLine(const UsualLine& line, const float* out, XyDecodeState& st, Spectrum& target) {
  int64_t start = st.PointIndex;
  int64_t step = st.IndexStep;
  int64_t end = start + step * line.count;
  if (start < 0 || start > kLastSlot || (step != 1 && step != -1) || end < 0 || end > kLastSlot ||
      static_cast<int64_t>(st.PointsRead) + line.count > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  float* y = target.TransY.data() + start;
  if (step == 1) {
    std::copy(out, out + line.count, y);
  } else {
    for (int k = 0; k < line.count; ++k) y[-k] = out[k];
  }
  st.PointIndex = static_cast<int32_t>(end);
  st.PointsRead += line.count;
  st.LastValue = line.last;
  st.DifMode = line.difMode;
  st.LastFromDif = line.lastFromDif;
  st.PeakT = line.peak;
  if (line.asdf) st.LineX = line.lineX;
  return true;
}

}  // namespace

float OrdinateToFloat(double value) {
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::size_t DecodeUsualXyDataLine(std::string_view text, std::size_t maxLen, XyDecodeState& state,
                                  Spectrum& target) {
  float out[kUsualBufferSize];
  UsualLine line = ReadUsualLine(text, maxLen, state, out);
  if (line.length == kNotUsualLine || !CommitUsualLine(line, out, state, target)) {
    return kNotUsualLine;
  }
  return line.length;
}

std::string DecodeXyDataLine(std::string_view line, XyDecodeState& state, Spectrum& target) {
  float out[kUsualBufferSize];
  UsualLine usual = ReadUsualLine(line, line.size(), state, out);
  if (usual.length == line.size() && CommitUsualLine(usual, out, state, target)) return "";
  return DecodeXyDataLineGeneral(line, state, target);
}

std::string DecodeXyDataLineGeneral(std::string_view line, XyDecodeState& state, Spectrum& target) {
  if (line.empty()) return "";
  LineDecoder decoder(state, target);
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
  return decoder.PlainLine(line);
}

}  // namespace tesvar
