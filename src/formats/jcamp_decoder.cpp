#include "formats/jcamp_decoder.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Runs of FIX and DIF lines are read with AVX2 where the processor has it:
// the functions that use it carry it as their target, so the rest of the
// program runs on any x86-64.
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TESVAR_AVX2_RUNS 1
#endif

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

#if defined(__SSE2__)
// ---------------------------------------------------------------------------
// Compact ASDF lines, the form DIFDUP writers give nearly every line: tokens
// of a letter and at most seven digits, no blanks, no "?". The line's bytes
// are classified sixteen at a time first; the token starts then come from a
// bit mask, so that no token waits for the one before it to be measured, and
// the values are summed as integers. The sums are the doubles the token loop
// of ReadUsualLine computes, exactly: every value is an integer below 2^53.

// Per starter letter: bits 0-3 its digit, bit 4 negative, bits 5-6 the kind.
enum : uint8_t { kCompactSqz = 1 << 5, kCompactDif = 2 << 5, kCompactDup = 3 << 5 };

struct CompactStarterTable {
  uint8_t code[256] = {};
  constexpr CompactStarterTable() {
    for (int c = 0; c < 256; ++c) {
      const asdf_sets::StarterInfo& info = asdf_sets::kStarters.info[c];
      uint8_t kind = info.kind == AsdfKind::kSqz   ? kCompactSqz
                     : info.kind == AsdfKind::kDif ? kCompactDif
                     : info.kind == AsdfKind::kDup ? kCompactDup
                                                   : 0;
      code[c] = static_cast<uint8_t>(kind | (info.negative ? 16 : 0) | info.digit);
    }
  }
};

constexpr CompactStarterTable kCompactStarters;

// The lambdas of the loop below must be inlined: called, they would keep
// the running values in memory. The loop itself must not be: inside
// ReadUsualLine it would run short of registers.
#if defined(__GNUC__)
#define TESVAR_INLINE __attribute__((always_inline))
#define TESVAR_NOINLINE __attribute__((noinline))
#else
#define TESVAR_INLINE
#define TESVAR_NOINLINE
#endif

// Lines longer than this are left to the byte-by-byte loop.
constexpr int kCompactBlocks = 8;

// The token starts of the line at p as a bit mask (bit i: byte i), and the
// line's length up to its CR, LF or limit. False when a byte before the end
// is neither a digit nor an ASDF letter, when the line runs on past
// kCompactBlocks x 16 bytes, or when a load would pass textEnd.
inline bool ScanCompactLine(const char* p, const char* limit, const char* textEnd,
                            uint64_t (&starts)[2], int& length) {
  const __m128i digitLow = _mm_set1_epi8('0' - 1), digitHigh = _mm_set1_epi8('9' + 1);
  const __m128i upperLow = _mm_set1_epi8('@' - 1), upperHigh = _mm_set1_epi8('Z' + 1);
  const __m128i lowerLow = _mm_set1_epi8('a' - 1), lowerHigh = _mm_set1_epi8('s' + 1);
  const __m128i percent = _mm_set1_epi8('%'), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  starts[0] = starts[1] = 0;
  for (int b = 0; b < kCompactBlocks; ++b) {
    const char* block = p + 16 * b;
    if (textEnd - block < 16) return false;
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    // Bytes of 0x80 and up are negative here and fall outside every range.
    __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(v, digitLow), _mm_cmpgt_epi8(digitHigh, v));
    __m128i starter = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(_mm_cmpgt_epi8(v, upperLow), _mm_cmpgt_epi8(upperHigh, v)),
                     _mm_and_si128(_mm_cmpgt_epi8(v, lowerLow), _mm_cmpgt_epi8(lowerHigh, v))),
        _mm_cmpeq_epi8(v, percent));
    __m128i lineEnd = _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf));
    auto startBits = static_cast<uint32_t>(_mm_movemask_epi8(starter));
    auto knownBits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(digit, starter)));
    auto endBits = static_cast<uint32_t>(_mm_movemask_epi8(lineEnd));
    std::ptrdiff_t room = limit - block;
    if (room < 16) endBits |= room <= 0 ? 0xFFFFu : 0xFFFFu << room;
    uint32_t before = 0xFFFFu;
    if (endBits != 0) before = (1u << std::countr_zero(endBits)) - 1;
    if ((knownBits & before) != before) return false;
    starts[b >> 2] |= static_cast<uint64_t>(startBits & before) << (16 * (b & 3));
    if (endBits != 0) {
      length = 16 * b + std::countr_zero(endBits);
      return textEnd - (p + length) >= 8;
    }
  }
  return false;
}

struct CompactLine {
  bool ok = false;
  const char* end = nullptr;
  int count = 0;
  double last = 0;
  bool difMode = false;
  bool lastFromDif = false;
  double peak = 0;
};

// Tokens a line of kCompactBlocks x 16 bytes may hold; DUP runs may take
// the buffer's slots up to this many before the end.
constexpr int kCompactTokens = 16 * kCompactBlocks;

// The value of a token of 1 to 8 bytes at `at` (its letter and digits; the
// bytes after it are read but drop out): code is the letter's entry of
// kCompactStarters.
inline int64_t CompactTokenValue(const char* at, int bytes, uint8_t& code) {
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  code = kCompactStarters.code[word & 0xFF];
  uint64_t magnitude;
  // The letter becomes the leading digit, and the digits go to the top
  // bytes, the first one lowest: the bytes below are leading zeros.
  if (bytes <= 4) {
    auto x = static_cast<uint32_t>(((word ^ 0x30303030u) & 0xFFFFFF00u) | (code & 15u));
    x <<= 32 - 8 * bytes;
    x = (x * 10 + (x >> 8)) & 0x00FF00FFu;
    x = (x * 100 + (x >> 16)) & 0xFFFFu;
    magnitude = x;
  } else {
    uint64_t x = ((word ^ 0x3030303030303030u) & ~uint64_t{0xFF}) | (code & 15u);
    x <<= 64 - 8 * bytes;
    x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFu;
    x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFu;
    x = (x * 10000 + (x >> 32)) & 0xFFFFFFFFu;
    magnitude = x;
  }
  // The sign without a branch: positive and negative differences alternate
  // at random in a noisy trace, and a branch on it would be mispredicted
  // every other token.
  uint64_t negative = 0 - static_cast<uint64_t>((code >> 4) & 1);
  return static_cast<int64_t>((magnitude ^ negative) - negative);
}

// The tokens of a scanned compact line. kPlainStore: transmittance with a
// YFACTOR so small that no ordinate can leave the float range, where a store
// is a multiplication and a conversion.
template <bool kPlainStore>
TESVAR_NOINLINE CompactLine DecodeCompactTokens(const char* p, const uint8_t* starts, int tokens,
                                                double last, bool difMode, bool lastFromDif,
                                                double factor, bool transmittance, double peak,
                                                float* out) {
  CompactLine r;
  int64_t value = static_cast<int64_t>(last);
  int64_t difference = 0;
  int count = 0;
  // The largest float stored on this line, the first of equal ones, as the
  // running comparison with the record's peak would keep it.
  float linePeak = -std::numeric_limits<float>::infinity();
  auto put = [&](int64_t v) TESVAR_INLINE {
    double y = static_cast<double>(v) * factor;
    float stored;
    if constexpr (kPlainStore) {
      stored = static_cast<float>(y);
    } else {
      stored = OrdinateToFloat(transmittance ? y : 1.0 / std::exp(y * kLn10));
    }
    out[count++] = stored;
    linePeak = stored > linePeak ? stored : linePeak;
  };

  int k = 0;
  // After a line that ended in DIF form the first token is the Y check, an
  // SQZ value equal to the last ordinate, which is not stored again.
  if (lastFromDif) {
    int bytes = starts[1] - starts[0];
    uint8_t code;
    if (bytes > 8 || CompactTokenValue(p, bytes, code) != value || (code & 0x60) != kCompactSqz) {
      return r;
    }
    difMode = false;
    k = 1;
  }
  for (; k < tokens; ++k) {
    int bytes = starts[k + 1] - starts[k];
    if (bytes > 8) return r;
    uint8_t code;
    int64_t own = CompactTokenValue(p + starts[k], bytes, code);
    switch (code & 0x60) {
      case kCompactDif:
        difference = own;
        difMode = lastFromDif = true;
        value += difference;
        put(value);
        break;
      case kCompactSqz:
        value = own;
        difMode = lastFromDif = false;
        put(value);
        break;
      default: {
        // DUP: the count includes the value before it. Room is left for
        // the tokens still to come.
        int64_t stores = own > 1 ? own - 1 : own;
        if (stores > kUsualBufferSize - kCompactTokens - count) return r;
        lastFromDif = difMode;
        for (int64_t n = 0; n < stores; ++n) {
          if (difMode) value += difference;
          put(value);
        }
      }
    }
  }

  r.ok = true;
  r.end = p + starts[tokens];
  r.count = count;
  r.last = count > 0 ? static_cast<double>(value) : last;
  r.difMode = difMode;
  r.lastFromDif = lastFromDif;
  r.peak = linePeak > peak ? linePeak : peak;
  return r;
}

template <int kBytes>
inline __m128i ShiftIn(__m128i current, __m128i previous) {
  // Byte j of the result: byte j - kBytes of the line (previous holds the
  // sixteen bytes before current).
  return _mm_or_si128(_mm_slli_si128(current, kBytes), _mm_srli_si128(previous, 16 - kBytes));
}

// Lines whose tokens after the first are all DIF tokens of at most four
// bytes (nearly all lines of a DIFDUP file) are read sixteen bytes at a
// time: each byte becomes a digit (the letters J-R and j-r their digits 1-9,
// '%' 0) and the value of the token run up to it is built by two doubling
// steps, V(j) = B(j) + 100 B(j-2) with B(j) = d(j) + 10 d(j-1), each step
// only within a token; the sign spreads from the letter the same way. At a
// token's last byte V is the token's signed value. values receives V for
// every byte of the line; the first token, bytes 0 ... firstEnd, may be of
// any kind and length (it is read apart). False when some token after it is
// of another kind or longer.
TESVAR_NOINLINE bool DifTokenValues(const char* p, int firstEnd, int length, int16_t* values) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i digitLow = _mm_set1_epi8('0' - 1), digitHigh = _mm_set1_epi8('9' + 1);
  const __m128i difLow = _mm_set1_epi8('J' - 1), difHigh = _mm_set1_epi8('R' + 1);
  const __m128i low5 = _mm_set1_epi8(0x1F), low4 = _mm_set1_epi8(0x0F);
  const __m128i lowerCase = _mm_set1_epi8(0x20), nine = _mm_set1_epi8(9);
  const __m128i percent = _mm_set1_epi8('%'), hundred = _mm_set1_epi16(100);
  __m128i prevD = zero, prevC = zero, prevN = zero, prevB = zero, prevT = zero, prevCC = zero;
  for (int at = 0; at < length; at += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    __m128i c = _mm_and_si128(_mm_cmpgt_epi8(v, digitLow), _mm_cmpgt_epi8(digitHigh, v));
    // DIF letters: J-R and j-r (the same after clearing the case bit) or '%'.
    __m128i upper = _mm_andnot_si128(lowerCase, v);
    __m128i isPercent = _mm_cmpeq_epi8(v, percent);
    __m128i dif = _mm_or_si128(
        _mm_and_si128(_mm_cmpgt_epi8(upper, difLow), _mm_cmpgt_epi8(difHigh, upper)), isPercent);
    // Bytes within the line that are neither digits nor DIF letters, and
    // digits ending a run of four (a token of five bytes or more), are
    // allowed in the first token only.
    __m128i c1 = ShiftIn<1>(c, prevC);
    __m128i cc = _mm_and_si128(c, c1);
    __m128i long4 = _mm_and_si128(cc, ShiftIn<2>(cc, prevCC));
    auto bad = static_cast<uint32_t>(_mm_movemask_epi8(
        _mm_or_si128(_mm_andnot_si128(_mm_or_si128(c, dif), _mm_set1_epi8(-1)), long4)));
    int from = firstEnd + 1 - at;  // bytes before this one belong to the first token
    if (from > 0) bad &= from >= 16 ? 0u : 0xFFFFu << from;
    int room = length - at;
    if (room < 16) bad &= (1u << room) - 1;
    if (bad != 0) return false;

    // Digits: '0'-'9' their low four bits, letters their low five less 9
    // (J 10 -> 1, R 18 -> 9, '%' 5 -> 0 by saturation).
    __m128i d = _mm_or_si128(_mm_and_si128(c, _mm_and_si128(v, low4)),
                             _mm_andnot_si128(c, _mm_subs_epu8(_mm_and_si128(v, low5), nine)));
    // Negative: j-r, the letters with the case bit ('%' has it too).
    __m128i n = _mm_andnot_si128(_mm_or_si128(c, isPercent),
                                 _mm_cmpeq_epi8(_mm_and_si128(v, lowerCase), lowerCase));
    __m128i d1 = ShiftIn<1>(d, prevD);
    __m128i d2 = _mm_add_epi8(d1, d1);
    __m128i d10 = _mm_add_epi8(_mm_add_epi8(_mm_add_epi8(d2, d2), _mm_add_epi8(d2, d2)), d2);
    __m128i b = _mm_add_epi8(d, _mm_and_si128(c, d10));
    __m128i t = _mm_or_si128(n, _mm_and_si128(c, ShiftIn<1>(n, prevN)));
    __m128i b2 = ShiftIn<2>(b, prevB);
    __m128i sign = _mm_or_si128(t, _mm_and_si128(cc, ShiftIn<2>(t, prevT)));
    for (int half = 0; half < 2; ++half) {
      __m128i bw = half == 0 ? _mm_unpacklo_epi8(b, zero) : _mm_unpackhi_epi8(b, zero);
      __m128i b2w = half == 0 ? _mm_unpacklo_epi8(b2, zero) : _mm_unpackhi_epi8(b2, zero);
      __m128i ccw = half == 0 ? _mm_unpacklo_epi8(cc, cc) : _mm_unpackhi_epi8(cc, cc);
      __m128i sw = half == 0 ? _mm_unpacklo_epi8(sign, sign) : _mm_unpackhi_epi8(sign, sign);
      __m128i value = _mm_add_epi16(bw, _mm_and_si128(ccw, _mm_mullo_epi16(b2w, hundred)));
      value = _mm_sub_epi16(_mm_xor_si128(value, sw), sw);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(values + at + 8 * half), value);
    }
    prevD = d;
    prevC = c;
    prevN = n;
    prevB = b;
    prevT = t;
    prevCC = cc;
  }
  return true;
}

// A compact line of an SQZ or DIF token and DIF tokens after it (see
// DifTokenValues), stored as plain transmittances. ok is false when the
// line is of another kind.
TESVAR_NOINLINE CompactLine DecodeDifRun(const char* p, const uint64_t (&mask)[2], int length,
                                         double last, bool lastFromDif, double factor, double peak,
                                         float* out) {
  CompactLine r;
  uint64_t rest0 = mask[0] & (mask[0] - 1);
  int firstEnd = (rest0 != 0     ? std::countr_zero(rest0)
                  : mask[1] != 0 ? 64 + std::countr_zero(mask[1])
                                 : length) -
                 1;
  if (firstEnd + 1 == length || firstEnd >= 8) return r;
  alignas(16) int16_t values[16 * kCompactBlocks];
  if (!DifTokenValues(p, firstEnd, length, values)) return r;

  int64_t value = static_cast<int64_t>(last);
  int count = 0;
  float linePeak = -std::numeric_limits<float>::infinity();
  auto put = [&](int64_t v) TESVAR_INLINE {
    float stored = static_cast<float>(static_cast<double>(v) * factor);
    out[count++] = stored;
    linePeak = stored > linePeak ? stored : linePeak;
  };
  uint8_t code;
  int64_t own = CompactTokenValue(p, firstEnd + 1, code);
  if (lastFromDif) {
    // The Y check: an SQZ value equal to the last ordinate, not stored.
    if ((code & 0x60) != kCompactSqz || own != value) return r;
  } else if ((code & 0x60) == kCompactSqz) {
    value = own;
    put(value);
  } else if ((code & 0x60) == kCompactDif) {
    value += own;
    put(value);
  } else {
    return r;
  }
  // The last bytes of the tokens after the first: the byte before each
  // start from the third on, and the line's last byte.
  uint64_t rest1 = rest0 & (rest0 - 1);
  uint64_t ends[2] = {(rest1 >> 1) | (mask[1] << 63), mask[1] >> 1};
  ends[(length - 1) >> 6] |= uint64_t{1} << ((length - 1) & 63);
  for (int w = 0; w < 2; ++w) {
    for (uint64_t m = ends[w]; m != 0; m &= m - 1) {
      value += values[64 * w + std::countr_zero(m)];
      put(value);
    }
  }
  r.ok = true;
  r.end = p + length;
  r.count = count;
  r.last = static_cast<double>(value);
  r.difMode = r.lastFromDif = true;
  r.peak = linePeak > peak ? linePeak : peak;
  return r;
}

// The token loop of ReadUsualLine for a compact line whose first token is
// at p. ok is false, and nothing is written but scratch slots of out, when
// the line is not compact or anything about it needs the byte-by-byte loop.
CompactLine ReadCompactAsdf(const char* p, const char* limit, const char* textEnd, double last,
                            bool difMode, bool lastFromDif, double factor, bool transmittance,
                            double peak, float* out) {
  // The running value as an integer: it must be one, of a size whose sums
  // stay exact (a line adds at most kUsualBufferSize values below 10^8).
  constexpr double kLargest = 4503599627370496.0;  // 2^52
  if (!(std::fabs(last) <= kLargest) || last != std::trunc(last) ||
      (last == 0 && std::signbit(last))) {
    return {};
  }
  uint64_t mask[2];
  int length;
  if (!ScanCompactLine(p, limit, textEnd, mask, length)) return {};
  // No stored value can leave the float range: |value| < 2^53.
  const bool plainStore = transmittance && std::fabs(factor) <= 1e22;
  if (plainStore) {
    CompactLine run = DecodeDifRun(p, mask, length, last, lastFromDif, factor, peak, out);
    if (run.ok) return run;
  }
  // The token starts in order, the line's end after the last one.
  uint8_t starts[kCompactTokens + 1];
  int tokens = 0;
  for (int w = 0; w < 2; ++w) {
    for (uint64_t m = mask[w]; m != 0; m &= m - 1) {
      starts[tokens++] = static_cast<uint8_t>(64 * w + std::countr_zero(m));
    }
  }
  starts[tokens] = static_cast<uint8_t>(length);
  if (plainStore) {
    return DecodeCompactTokens<true>(p, starts, tokens, last, difMode, lastFromDif, factor,
                                     transmittance, peak, out);
  }
  return DecodeCompactTokens<false>(p, starts, tokens, last, difMode, lastFromDif, factor,
                                    transmittance, peak, out);
}

#endif  // __SSE2__

// Reads one line into out (kUsualBufferSize slots). Everything the loops
// touch is a local, so that the compiler keeps it in registers: the bytes
// read are chars, which could alias any member of an object.
UsualLine ReadUsualLine(std::string_view text, std::size_t maxLen, const XyDecodeState& st,
                        float* out) {
  const char* const begin = text.data();
  const char* const limit = begin + std::min(maxLen, text.size());
  const char* const textEnd = begin + text.size();
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
#if defined(__SSE2__)
    const CompactLine compact = ReadCompactAsdf(p, limit, textEnd, last, difMode, lastFromDif,
                                                factor, transmittance, peak, out);
    if (compact.ok) {
      p = compact.end;
      count = compact.count;
      last = compact.last;
      difMode = compact.difMode;
      lastFromDif = compact.lastFromDif;
      peak = compact.peak;
      return finish(true, NumberValue(x.digits, x.decimals));
    }
#endif
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

#if defined(TESVAR_AVX2_RUNS)
namespace {

// The run reader below uses AVX2 (and BMI2, POPCNT), which not every x86-64
// processor has; without them the import reads each line on its own.
bool HaveRunInstructions() {
  static const bool have = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2") &&
                           __builtin_cpu_supports("popcnt");
  return have;
}

#define TESVAR_AVX2 __attribute__((target("avx2,bmi,bmi2,popcnt")))

// Lines of at most this many 32-byte blocks are read in runs.
constexpr int kDifRunBlocks = 4;

// One line of a DIF run, classified 32 bytes at a time. Each mask is two
// 64-bit words: bit i of word w stands for byte 64 w + i. (Words rather
// than one 128-bit integer: the abscissa and the first token lie in the
// first word, and shifts of a 128-bit integer by a variable count take
// several instructions each.)
struct DifRunLine {
  int length = 0;            // up to the first byte below 0x0E or from 0x80 on: most often
                             // the CR or LF that ends the line
  uint64_t digits[2] = {};   // '0' ... '9'
  uint64_t points = 0;       // '.' (in the first 32 bytes)
  uint64_t starts[2] = {};   // DIF and DUP letters: the token starts after the first token
  uint64_t dups[2] = {};     // DUP letters
};

// Byte j of the result: byte j - kBytes of the line, where previous holds
// the 32 bytes before current.
template <int kBytes>
TESVAR_AVX2 inline __m256i ShiftIn32(__m256i current, __m256i previous) {
  return _mm256_alignr_epi8(current, _mm256_permute2x128_si256(previous, current, 0x21),
                            16 - kBytes);
}

// Vectors of 32 equal bytes, read from memory where an instruction uses
// them. The line scans use more such constants than there are vector
// registers; built in registers, they were built anew for every line and
// spilled. The table's address is hidden from the compiler, which would
// otherwise see through the loads and build the constants again.
struct SplatTable {
  alignas(32) uint8_t bytes[256][32];
  alignas(32) uint8_t tens[32];        // byte i of each half: 10 i, for i up to 9
  alignas(32) uint8_t weights[2][32];  // byte pairs (1, 100), and (-1, -100)
};
constexpr SplatTable MakeSplatTable() {
  SplatTable t{};
  for (int b = 0; b < 256; ++b) {
    for (int i = 0; i < 32; ++i) t.bytes[b][i] = static_cast<uint8_t>(b);
  }
  for (int i = 0; i < 32; ++i) {
    t.tens[i] = static_cast<uint8_t>(i % 16 <= 9 ? 10 * (i % 16) : 0);
    t.weights[0][i] = i % 2 == 0 ? 1 : 100;
    t.weights[1][i] = static_cast<uint8_t>(i % 2 == 0 ? -1 : -100);
  }
  return t;
}
constexpr SplatTable kSplatTable = MakeSplatTable();

struct Splats {
  const SplatTable* table = &kSplatTable;
  Splats() { asm volatile("" : "+r"(table)); }
  TESVAR_AVX2 __m256i operator()(int b) const {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(table->bytes[b & 0xFF]));
  }
  // The bytes of v from low to high (no more than 128 values) as 0xFF, the
  // others as 0: v - low, as a signed byte, is -128 ... high - low - 128
  // for them alone.
  TESVAR_AVX2 __m256i Within(__m256i v, uint8_t low, uint8_t high) const {
    return _mm256_cmpgt_epi8((*this)(high - low + 1 - 128),
                             _mm256_add_epi8(v, (*this)(0x80 - low)));
  }
  // Ten times each byte of digits (0-9), looked up.
  TESVAR_AVX2 __m256i Tens(__m256i digits) const {
    return _mm256_shuffle_epi8(_mm256_load_si256(reinterpret_cast<const __m256i*>(table->tens)),
                               digits);
  }
  // The byte pairs (1, 100), or (-1, -100).
  TESVAR_AVX2 __m256i Weights(bool negative) const {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(table->weights[negative ? 1 : 0]));
  }
};

// Classifies the line at p and computes, for every byte, the signed value of
// the DIF or DUP token run up to it as DifTokenValues does sixteen bytes at
// a time (V(j) = B(j) + 100 B(j-2), B(j) = d(j) + 10 d(j-1), within tokens;
// DUP letters S-Z and s give the digits 1-9, and are never negative). At the
// last byte of a token of at most four bytes V is its value. False when the
// line runs on past kDifRunBlocks blocks. REQUIRES: 32 kDifRunBlocks bytes
// of text from p on.
TESVAR_AVX2 bool ScanDifRunLine(const char* p, DifRunLine& line, int16_t* values) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i prevD = zero, prevC = zero, prevN = zero, prevB = zero, prevT = zero;
  uint64_t digits[2] = {}, points[2] = {}, starts[2] = {}, dups[2] = {};
  // Unrolled, so that each block's bits go to their place by a constant
  // shift, and the masks stay in registers: a mask put together in memory
  // from 32-bit pieces and loaded whole would wait for the pieces to reach
  // the cache.
#pragma GCC unroll 4
  for (int block = 0; block < kDifRunBlocks; ++block) {
    const char* at = p + 32 * block;
    const Splats splat;
    const __m256i caseBit = splat(0x20), percent = splat('%');
    const __m256i smallS = splat('s'), point = splat('.');
    const __m256i lineEndHigh = splat(0x0E);
    const __m256i low4 = splat(0x0F), low5 = splat(0x1F);
    const __m256i nine = splat(9), one = splat(1);
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i c = splat.Within(v, '0', '9');
    // DIF letters: J-R and j-r (the same after clearing the case bit) or '%'.
    const __m256i upper = _mm256_andnot_si256(caseBit, v);
    const __m256i isPercent = _mm256_cmpeq_epi8(v, percent);
    const __m256i dif = _mm256_or_si256(splat.Within(upper, 'J', 'R'), isPercent);
    const __m256i dupUpper = splat.Within(v, 'S', 'Z');
    const __m256i dupSmall = _mm256_cmpeq_epi8(v, smallS);
    const __m256i dup = _mm256_or_si256(dupUpper, dupSmall);
    // CR and LF, with the bytes of no line of a run that share one compare
    // with them: the caller stops at a line that ends otherwise.
    const __m256i lineEnd = _mm256_cmpgt_epi8(lineEndHigh, v);
    const __m256i cc = _mm256_and_si256(c, ShiftIn32<1>(c, prevC));

    // Digits: '0'-'9' their low four bits; letters their low five less 9
    // (J 10 -> 1, R 18 -> 9, '%' 5 -> 0 by saturation), S-Z less 18 and s
    // less 10 (19 -> 1 and 9).
    const __m256i offset = _mm256_add_epi8(
        nine, _mm256_add_epi8(_mm256_and_si256(dupUpper, nine), _mm256_and_si256(dupSmall, one)));
    const __m256i d = _mm256_blendv_epi8(
        _mm256_subs_epu8(_mm256_and_si256(v, low5), offset), _mm256_and_si256(v, low4), c);
    const __m256i n = splat.Within(v, 'j', 'r');
    // (Only the digits of tokens matter here, all 0-9.)
    const __m256i b = _mm256_add_epi8(d, _mm256_and_si256(c, splat.Tens(ShiftIn32<1>(d, prevD))));
    const __m256i t = _mm256_or_si256(n, _mm256_and_si256(c, ShiftIn32<1>(n, prevN)));
    const __m256i b2 = ShiftIn32<2>(b, prevB);
    const __m256i sign = _mm256_or_si256(t, _mm256_and_si256(cc, ShiftIn32<2>(t, prevT)));
    const auto endBits = static_cast<uint32_t>(_mm256_movemask_epi8(lineEnd));
    // V = B + 100 B(j-2) as one multiply-add of byte pairs (B, B(j-2)) with
    // the weights (1, 100), or (-1, -100) in negative tokens. The pairs of
    // bytes 0-7 and 16-23 come out of one unpack, those of 8-15 and 24-31
    // out of the other; the 128-bit halves are put back in order after.
    {
      const __m256i b2m = _mm256_and_si256(cc, b2);
      const __m256i plus = splat.Weights(false), minus = splat.Weights(true);
      const __m256i low =
          _mm256_maddubs_epi16(_mm256_unpacklo_epi8(b, b2m),
                               _mm256_blendv_epi8(plus, minus, _mm256_unpacklo_epi8(sign, sign)));
      const __m256i high =
          _mm256_maddubs_epi16(_mm256_unpackhi_epi8(b, b2m),
                               _mm256_blendv_epi8(plus, minus, _mm256_unpackhi_epi8(sign, sign)));
      int16_t* const out = values + 32 * block;
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                          _mm256_permute2x128_si256(low, high, 0x20));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16),
                          _mm256_permute2x128_si256(low, high, 0x31));
    }
    prevD = d;
    prevC = c;
    prevN = n;
    prevB = b;
    prevT = t;

    // Each mask in two 64-bit halves, block 0 and 1 in the low one.
    auto add = [block](uint64_t (&mask)[2], int movemask) {
      mask[block >> 1] |= uint64_t{static_cast<uint32_t>(movemask)} << (32 * (block & 1));
    };
    add(digits, _mm256_movemask_epi8(c));
    // Points matter in the abscissa only, within the first 17 bytes.
    if (block == 0) add(points, _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, point)));
    add(starts, _mm256_movemask_epi8(_mm256_or_si256(dif, dup)));
    add(dups, _mm256_movemask_epi8(dup));
    if (endBits != 0) {
      line.length = 32 * block + std::countr_zero(endBits);
      for (int w = 0; w < 2; ++w) {
        line.digits[w] = digits[w];
        line.starts[w] = starts[w];
        line.dups[w] = dups[w];
      }
      line.points = points[0];
      return true;
    }
  }
  return false;
}

// Writes the ordinates of a run, given as integers, to the slots from y on
// in the direction step, converted eight at a time: exactly the floats the
// one-pass decoder stores. Returns the largest of them, the first of equal
// ones. REQUIRES: count > 0, and room in values for count + 7.
// Eight ordinates from eight integers: value x YFACTOR in double, then float.
TESVAR_AVX2 inline __m256 EightOrdinates(const int32_t* values, __m256d scale) {
  const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values));
  const __m128 low = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(v)), scale));
  const __m128 high =
      _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(v, 1)), scale));
  return _mm256_insertf128_ps(_mm256_castps128_ps256(low), high, 1);
}

TESVAR_AVX2 float StoreRun(int32_t* values, int count, double factor, float* y, int step) {
  for (int k = count; k < ((count + 7) & ~7); ++k) values[k] = values[count - 1];
  const __m256d scale = _mm256_set1_pd(factor);
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i reversed = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  __m256 largest = _mm256_set1_ps(-std::numeric_limits<float>::infinity());
  // Whole groups of eight, one loop for each direction; then the rest, whose
  // lanes beyond the last are neither written nor touched.
  const int whole = count & ~7;
  if (step == 1) {
    for (int k = 0; k < whole; k += 8) {
      const __m256 f = EightOrdinates(values + k, scale);
      largest = _mm256_max_ps(largest, f);
      _mm256_storeu_ps(y + k, f);
    }
  } else {
    for (int k = 0; k < whole; k += 8) {
      const __m256 f = EightOrdinates(values + k, scale);
      largest = _mm256_max_ps(largest, f);
      _mm256_storeu_ps(y - k - 7, _mm256_permutevar8x32_ps(f, reversed));
    }
  }
  if (whole < count) {
    const __m256 f = EightOrdinates(values + whole, scale);
    largest = _mm256_max_ps(largest, f);  // the lanes beyond repeat the last
    const int left = count - whole;
    if (step == 1) {
      _mm256_maskstore_ps(y + whole, _mm256_cmpgt_epi32(_mm256_set1_epi32(left), lanes), f);
    } else {
      _mm256_maskstore_ps(y - whole - 7, _mm256_cmpgt_epi32(lanes, _mm256_set1_epi32(7 - left)),
                          _mm256_permutevar8x32_ps(f, reversed));
    }
  }
  __m128 m = _mm_max_ps(_mm256_castps256_ps128(largest), _mm256_extractf128_ps(largest, 1));
  m = _mm_max_ps(m, _mm_movehl_ps(m, m));
  m = _mm_max_ss(m, _mm_shuffle_ps(m, m, 1));
  float runPeak = _mm_cvtss_f32(m);
  if (runPeak == 0) {
    // -0 or +0: the first one stored counts.
    int k = 0;
    while (y[k * step] != 0) ++k;
    runPeak = y[k * step];
  }
  return runPeak;
}

constexpr int kDifRunStores = kUsualBufferSize;

TESVAR_AVX2 std::size_t DifRuns(std::string_view text, std::size_t pos, XyDecodeState& state,
                                Spectrum& target) {
  const char* const base = text.data();
  const char* const textEnd = base + text.size();
  const double factor = state.YFactor;
  const int32_t step = state.IndexStep;
  int32_t index = state.PointIndex;
  int32_t read = state.PointsRead;
  double peak = state.PeakT;
  bool lastFromDif = state.LastFromDif;
  // The running value as an integer of at most 2^30, so that a line's sums
  // (at most kDifRunStores values below 10^4 after a first one below 10^8)
  // stay within int32.
  constexpr double kLargest = 1073741824.0;  // 2^30
  double lastValue = state.LastValue;
  if (!(std::fabs(lastValue) <= kLargest) || lastValue != std::trunc(lastValue) ||
      (lastValue == 0 && std::signbit(lastValue))) {
    return pos;
  }
  int64_t value = static_cast<int64_t>(lastValue);
  const char* lastLine = nullptr;  // the last line read, for its abscissa
  int lastX = 0;

  alignas(32) int16_t values[32 * kDifRunBlocks];
  // The ordinates of the whole run as integers, in the order of their
  // slots; they are converted and written when the run ends. At most one a
  // slot, and a line's worth more.
  const int32_t startIndex = index;
  std::unique_ptr<int32_t[]> run(new int32_t[kArraySlots + kDifRunStores + 8]);
  int total = 0;
  const char* p = base + pos;
  // Lines are scanned with loads of all kDifRunBlocks blocks in reach; the
  // last lines of a text are left to the line-by-line reader.
  while (textEnd - p >= 32 * kDifRunBlocks) {
    const char* const lineStart = p;
    DifRunLine line;
    if (!ScanDifRunLine(p, line, values)) break;
    const int length = line.length;  // 0 ... 127
    if (p[length] != '\r' && p[length] != '\n') break;
    const uint64_t within[2] = {length >= 64 ? ~uint64_t{0} : (uint64_t{1} << length) - 1,
                                length > 64 ? (uint64_t{1} << (length - 64)) - 1 : 0};
    // The abscissa: digits with at most one point, 1 to 15 digits, as the
    // one-pass decoder reads it; then the first token's letter. (Where no
    // byte ends it in the first word, countr_zero gives 64.)
    const uint64_t notX = ~(line.digits[0] | line.points) & within[0];
    const int xEnd = std::countr_zero(notX);
    if (xEnd == 0 || xEnd > 16) break;
    const int xPoints = std::popcount(line.points & ((uint64_t{1} << xEnd) - 1));
    if (xPoints > 1 || xEnd - xPoints < 1 || xEnd - xPoints > 15) break;
    // The first token runs to the next byte that is no digit; from there on
    // only DIF tokens of at most four bytes, DUP tokens among them, may
    // follow, a DIF token first.
    const uint64_t afterFirst = ~line.digits[0] & within[0] & ~((uint64_t{2} << xEnd) - 1);
    const int second = std::countr_zero(afterFirst);
    if (second - xEnd > 8) break;
    // From the second token on.
    const uint64_t rest[2] = {within[0] & ~((uint64_t{1} << second) - 1), within[1]};
    // Bytes not allowed there: anything but digits and DIF or DUP letters,
    // and digits ending a run of four (bit j: bytes j-3 ... j all digits).
    const uint64_t* const d = line.digits;
    const uint64_t pairs[2] = {d[0] & (d[0] << 1), d[1] & ((d[1] << 1) | (d[0] >> 63))};
    const uint64_t fours[2] = {pairs[0] & (pairs[0] << 2),
                               pairs[1] & ((pairs[1] << 2) | (pairs[0] >> 62))};
    const uint64_t others[2] = {~(d[0] | line.starts[0]) | fours[0],
                                ~(d[1] | line.starts[1]) | fours[1]};
    if (((others[0] & rest[0]) | (others[1] & rest[1])) != 0 ||
        ((line.dups[0] >> second) & 1) != 0) {
      break;
    }
    if (!(std::abs(value) <= static_cast<int64_t>(kLargest))) break;

    uint8_t code;
    const int64_t own = CompactTokenValue(p + xEnd, second - xEnd, code);
    int64_t running = value;
    int32_t* const sums = run.get() + total;  // this line's ordinates
    int count = 0;
    if (lastFromDif) {
      // The Y check: an SQZ value equal to the last ordinate, not stored.
      if ((code & 0x60) != kCompactSqz || own != running) break;
    } else if ((code & 0x60) == kCompactSqz) {
      running = own;
      sums[count++] = static_cast<int32_t>(running);
    } else if ((code & 0x60) == kCompactDif) {
      running += own;
      sums[count++] = static_cast<int32_t>(running);
    } else {
      break;
    }
    // The last byte of each token after the first: the byte before each
    // start from the third token on, and the line's last byte.
    const uint64_t later[2] = {line.starts[0] & rest[0] & ~(uint64_t{1} << second),
                               line.starts[1] & rest[1]};
    uint64_t ends[2] = {(later[0] >> 1) | (later[1] << 63), later[1] >> 1};
    ends[(length - 1) >> 6] |= uint64_t{1} << ((length - 1) & 63);
    const uint64_t dups[2] = {line.dups[0] & rest[0], line.dups[1] & rest[1]};
    bool fits = true;
    if ((dups[0] | dups[1]) == 0) {
      for (int w = 0; w < 2; ++w) {
        for (uint64_t m = ends[w]; m != 0; m &= m - 1) {
          running += values[64 * w + std::countr_zero(m)];
          sums[count++] = static_cast<int32_t>(running);
        }
      }
    } else {
      // DUP tokens repeat the last difference; the count includes the
      // value before them.
      int64_t difference = 0;
      int start = second;  // of the token, at most 126
      for (int w = 0; w < 2 && fits; ++w) {
        for (uint64_t m = ends[w]; m != 0; m &= m - 1) {
          const int end = 64 * w + std::countr_zero(m);
          const int64_t token = values[end];
          if (((dups[start >> 6] >> (start & 63)) & 1) == 0) {
            difference = token;
            running += difference;
            sums[count++] = static_cast<int32_t>(running);
          } else {
            // Room is left for the tokens still to come.
            const int64_t repeats = token > 1 ? token - 1 : token;
            if (repeats > kDifRunStores - 32 * kDifRunBlocks - count) {
              fits = false;
              break;
            }
            for (int64_t k = 0; k < repeats; ++k) {
              running += difference;
              sums[count++] = static_cast<int32_t>(running);
            }
          }
          start = end + 1;
        }
      }
    }
    if (!fits) break;

    // The stores must all move the slot index within the arrays.
    const int64_t end = static_cast<int64_t>(index) + static_cast<int64_t>(step) * count;
    if (index < 0 || index > kLastSlot || end < 0 || end > kLastSlot ||
        static_cast<int64_t>(read) + count > std::numeric_limits<int32_t>::max()) {
      break;
    }
    total += static_cast<int>(count);
    index = static_cast<int32_t>(end);
    read += count;
    value = running;
    lastFromDif = true;
    lastLine = lineStart;
    lastX = xEnd;
    // Past the line end and any empty lines after it, as the import steps.
    p = lineStart + length;
    while (p < textEnd && (*p == '\r' || *p == '\n')) ++p;
  }
  if (total > 0) {
    const float runPeak = StoreRun(run.get(), total, factor, target.TransY.data() + startIndex, step);
    if (runPeak > peak) peak = runPeak;
  }
  if (lastLine != nullptr) {
    const UsualNumber x = ReadUsualNumber(lastLine, lastLine + lastX);
    state.LineX = NumberValue(x.digits, x.decimals);
    state.PointIndex = index;
    state.PointsRead = read;
    state.LastValue = static_cast<double>(value);
    state.DifMode = state.LastFromDif = true;
    state.PeakT = peak;
  }
  return static_cast<std::size_t>(p - base);
}

// One plain line of up to 64 bytes, classified 32 bytes at a time.
struct PlainRunLine {
  int length = 0;       // up to the CR or LF
  uint64_t digits = 0;  // '0' ... '9'
  uint64_t points = 0;  // '.'
  uint64_t blanks = 0;  // ' '
  uint64_t ends = 0;    // CR and LF
};

// The bytes of v that equal c, and those in the range low ... high, as
// bits. (Bytes of 0x80 and up are negative here and fall outside the range.)
TESVAR_AVX2 inline uint32_t BytesEqual(__m256i v, char c) {
  return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(c))));
}
TESVAR_AVX2 inline uint32_t BytesWithin(__m256i v, char low, char high) {
  return static_cast<uint32_t>(_mm256_movemask_epi8(
      _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8(static_cast<char>(low - 1))),
                       _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(high + 1)), v))));
}

// Classifies the line at p. False when it runs on past 64 bytes or a load
// would pass textEnd.
TESVAR_AVX2 bool ScanPlainRunLine(const char* p, const char* textEnd, PlainRunLine& line) {
  if (textEnd - p < 64) return false;
  const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  const uint64_t ends = (BytesEqual(low, '\r') | BytesEqual(low, '\n')) |
                        uint64_t{BytesEqual(high, '\r') | BytesEqual(high, '\n')} << 32;
  if (ends == 0) return false;
  line.length = std::countr_zero(ends);
  line.ends = ends;
  line.digits = BytesWithin(low, '0', '9') | uint64_t{BytesWithin(high, '0', '9')} << 32;
  line.points = BytesEqual(low, '.') | uint64_t{BytesEqual(high, '.')} << 32;
  line.blanks = BytesEqual(low, ' ') | uint64_t{BytesEqual(high, ' ')} << 32;
  return true;
}

// The values of four numbers of one to seven digits, each given by the
// eight bytes that end with its last digit (its digits the top bytes, a
// blank before them), as 32-bit integers.
//
// The words are loaded straight from the text into the vector: put
// together in memory first, they would be loaded whole right after their
// stores, and wait for them.
TESVAR_AVX2 inline __m128i FourNumbers(const char* const (&from)[4]) {
  auto two = [](const char* a, const char* b) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)));
  };
  const __m256i words =
      _mm256_inserti128_si256(_mm256_castsi128_si256(two(from[0], from[1])), two(from[2], from[3]), 1);
  const __m256i x = _mm256_xor_si256(words, _mm256_set1_epi8('0'));  // digits become 0 ... 9
  // Every byte at or below the highest that is no digit (the blank at the
  // latest) is cleared: its mark is spread down the word.
  __m256i other = _mm256_cmpgt_epi8(x, _mm256_set1_epi8(9));
  other = _mm256_or_si256(other, _mm256_srli_epi64(other, 8));
  other = _mm256_or_si256(other, _mm256_srli_epi64(other, 16));
  other = _mm256_or_si256(other, _mm256_srli_epi64(other, 32));
  const __m256i digits = _mm256_andnot_si256(other, x);
  // Pairs, then fours of digits (the first byte the leading one), then the
  // two halves of each word.
  const __m256i pairs = _mm256_maddubs_epi16(digits, _mm256_set1_epi16(0x010A));
  const __m256i fours = _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00010064));
  const __m256i values =
      _mm256_add_epi64(_mm256_mul_epu32(fours, _mm256_set1_epi64x(10000)), _mm256_srli_epi64(fours, 32));
  return _mm256_castsi256_si128(
      _mm256_permutevar8x32_epi32(values, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
}

// DecodePlainXyDataLines for lines of up to 64 bytes: the same lines with
// the same effect. Returns the position of the first line it leaves to the
// byte-by-byte loop there.
//
// Two passes: the lines are read and checked first, and where each number
// ends is noted; then all the numbers are converted four at a time in one
// loop. Converted line by line, each line's chain of dependent steps (a
// number's load to its ordinate's store) held up the next line.
TESVAR_AVX2 std::size_t PlainRuns(std::string_view text, std::size_t pos, XyDecodeState& state,
                                  Spectrum& target) {
  const char* const base = text.data();
  const char* const textEnd = base + text.size();
  const int32_t step = state.IndexStep;
  const int32_t startIndex = state.PointIndex;
  if (startIndex < 0 || startIndex > kLastSlot) return pos;
  const char* p = base + pos;
  // Each number is loaded as the eight bytes that end with it, which may
  // begin before the line: they must lie within the text.
  if (p - base < 8) return pos;
  // The first byte of each number's eight, from base; at most one a slot,
  // and room for a line's worth more (see below).
  std::unique_ptr<uint32_t[]> words(new uint32_t[kArraySlots + 4 + 64]);
  int32_t index = startIndex;
  int count = 0;  // numbers noted
  // The last line read in full, as its masks show it. Columns of fixed
  // width give every line the same masks: a line with the masks of the
  // line before passes every check as that one did, and its numbers stand
  // at the same places.
  struct Shape {
    int length = -1;
    uint64_t digits = 0, points = 0, blanks = 0;
    int numbers = 0;
    const char* start = nullptr;
  } shape;
  while (p < textEnd) {
    const char* const lineStart = p;
    PlainRunLine line;
    if (!ScanPlainRunLine(p, textEnd, line)) break;
    const int length = line.length;  // 0 ... 63
    // The line end must leave eight bytes before the end of the text, as
    // the byte-by-byte loop wants them.
    if (textEnd - (lineStart + length) < 8) break;
    const uint64_t within = (uint64_t{1} << length) - 1;
    int numbers;
    if (length == shape.length && (line.digits & within) == shape.digits &&
        (line.points & within) == shape.points && (line.blanks & within) == shape.blanks) {
      numbers = shape.numbers;
    } else {
      // The abscissa: 1 to 9 digits with at most one point, then a blank.
      const uint64_t notX = ~(line.digits | line.points) & within;
      if (notX == 0) break;
      const int xEnd = std::countr_zero(notX);
      if (xEnd == 0 || xEnd > 10 || ((line.blanks >> xEnd) & 1) == 0) break;
      const int xPoints = std::popcount(line.points & ((uint64_t{1} << xEnd) - 1));
      if (xPoints > 1 || xEnd - xPoints < 1 || xEnd - xPoints > 9) break;
      // Then numbers of one to seven digits after single blanks, a digit last.
      const uint64_t rest = within & ~((uint64_t{1} << xEnd) - 1);
      const uint64_t blanks = line.blanks & rest;
      uint64_t eight = line.digits & rest;
      eight &= eight >> 1;
      eight &= eight >> 2;
      eight &= eight >> 4;
      if (((line.digits | blanks) & rest) != rest || (blanks & (blanks >> 1)) != 0 ||
          ((line.digits >> (length - 1)) & 1) == 0 || eight != 0) {
        break;
      }
      numbers = std::popcount(blanks);
      shape = {length, line.digits & within, line.points & within, line.blanks & within, numbers,
               nullptr};
    }
    // The stores must all move the slot index within the arrays (the
    // count of ordinates read stays far below the int32 range then).
    const int64_t end = static_cast<int64_t>(index) + static_cast<int64_t>(step) * numbers;
    if (end < 0 || end > kLastSlot ||
        static_cast<int64_t>(state.PointsRead) + count + numbers >
            std::numeric_limits<int32_t>::max()) {
      break;
    }
    if (shape.start != nullptr) {
      // The words of the line before, moved by the distance between the
      // lines, eight at a time: the words written past this line's last
      // are overwritten by the next line's.
      const __m256i delta = _mm256_set1_epi32(static_cast<int32_t>(lineStart - shape.start));
      for (int k = 0; k < numbers; k += 8) {
        const __m256i before =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&words[count - numbers + k]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(&words[count + k]),
                            _mm256_add_epi32(before, delta));
      }
      count += numbers;
    } else {
      // The last digit of each number: the byte before each blank after
      // the first, and the line's last byte.
      const uint32_t offset = static_cast<uint32_t>(lineStart - base) - 7;
      const uint64_t later = shape.blanks & (shape.blanks - 1);
      for (uint64_t m = (later >> 1) | (uint64_t{1} << (length - 1)); m != 0; m &= m - 1) {
        words[count++] = offset + static_cast<uint32_t>(std::countr_zero(m));
      }
    }
    shape.start = lineStart;
    index = static_cast<int32_t>(end);
    // Past the line end and any empty lines after it, as the import steps.
    p = lineStart + length + std::countr_one(line.ends >> length);
    while (p < textEnd && (*p == '\r' || *p == '\n')) ++p;
  }
  if (count == 0) return static_cast<std::size_t>(p - base);

  // The numbers, four at a time; the lanes beyond the last repeat it.
  for (int k = count; k < ((count + 3) & ~3); ++k) words[k] = words[count - 1];
  const __m256d scale = _mm256_set1_pd(state.YFactor);
  float* const y = target.TransY.data() + startIndex;
  __m128 largest = _mm_set1_ps(-std::numeric_limits<float>::infinity());
  int k = 0;
  for (; k < count; k += 4) {
    const char* const from[4] = {base + words[k], base + words[k + 1], base + words[k + 2],
                                 base + words[k + 3]};
    const __m128 v = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtepi32_pd(FourNumbers(from)), scale));
    largest = _mm_max_ps(largest, v);
    const int left = count - k;
    if (left >= 4) {
      if (step == 1) {
        _mm_storeu_ps(y + k, v);
      } else {
        _mm_storeu_ps(y - k - 3, _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)));
      }
    } else {
      // Lanes 0 ... left - 1 (3 - left + 1 ... 3 reversed); the others are
      // neither written nor touched.
      const __m128i lanes = _mm_setr_epi32(0, 1, 2, 3);
      if (step == 1) {
        _mm_maskstore_ps(y + k, _mm_cmpgt_epi32(_mm_set1_epi32(left), lanes), v);
      } else {
        _mm_maskstore_ps(y - k - 3, _mm_cmpgt_epi32(lanes, _mm_set1_epi32(3 - left)),
                         _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)));
      }
    }
  }
  largest = _mm_max_ps(largest, _mm_movehl_ps(largest, largest));
  largest = _mm_max_ss(largest, _mm_shuffle_ps(largest, largest, 1));
  // The numbers carry no sign, so all their zeros are the same zero: the
  // largest is the first of equal ones whichever lane it is.
  const float runPeak = _mm_cvtss_f32(largest);
  if (runPeak > state.PeakT) state.PeakT = runPeak;
  // The last number, for the Y check of an ASDF line after the run.
  const char* const lastWord = base + words[count - 1];
  int first = 7;
  while (lastWord[first - 1] != ' ') --first;
  state.LastValue = NumberValue(ReadDigits(lastWord + first, lastWord + 8).value, 0);
  state.PointIndex = index;
  state.PointsRead += count;
  return static_cast<std::size_t>(p - base);
}

}  // namespace
#endif  // TESVAR_AVX2_RUNS

#if defined(__SSE2__)
// The numbers of a plain line from p, at the blank after its abscissa, when
// the rest of the line is at most 63 bytes of integers of one to seven
// digits, each after a single blank. The blanks come from one bit mask, so
// that no number waits for the one before it to be measured. Returns how
// many were read (into values, as ordinates), with the last as an integer
// and the line's end; 0 for a line of any other form.
inline int PlainNumbersByMask(const char* p, const char* textEnd, double factor, float* values,
                              uint64_t& last, const char*& lineEnd) {
  const __m128i blank = _mm_set1_epi8(' '), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  const __m128i digitLow = _mm_set1_epi8('0' - 1), digitHigh = _mm_set1_epi8('9' + 1);
  uint64_t blanks = 0, digits = 0, ends = 0;
  for (int b = 0; b < 4 && ends == 0; ++b) {
    const char* block = p + 16 * b;
    if (textEnd - block < 16) return 0;
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    auto at = [b](int bits) {
      return static_cast<uint64_t>(static_cast<uint32_t>(bits)) << (16 * b);
    };
    blanks |= at(_mm_movemask_epi8(_mm_cmpeq_epi8(v, blank)));
    digits |= at(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpgt_epi8(v, digitLow), _mm_cmpgt_epi8(digitHigh, v))));
    ends |= at(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
  }
  if (ends == 0) return 0;
  int length = std::countr_zero(ends);  // 1 ... 63: byte 0 is a blank
  if (textEnd - p < length + 8) return 0;
  uint64_t line = (uint64_t{1} << length) - 1;
  blanks &= line;
  digits &= line;
  // Digits and single blanks only, a digit last.
  if ((blanks | digits) != line || (blanks & (blanks >> 1)) != 0 ||
      ((blanks >> (length - 1)) & 1) != 0) {
    return 0;
  }
  int count = 0;
  uint64_t value = 0;
  for (uint64_t m = blanks; m != 0;) {
    int start = std::countr_zero(m) + 1;
    m &= m - 1;
    int n = (m != 0 ? std::countr_zero(m) : length) - start;
    if (n > 7) return 0;
    uint64_t word;
    std::memcpy(&word, p + start, sizeof word);
    // The digits go to the top bytes (the first one lowest); the bytes
    // after the number drop out.
    uint64_t x = (word ^ 0x3030303030303030u) << (64 - 8 * n);
    x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFu;
    x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFu;
    x = (x * 10000 + (x >> 32)) & 0xFFFFFFFFu;
    value = x;
    values[count++] = static_cast<float>(static_cast<double>(value) * factor);
  }
  last = value;
  lineEnd = p + length;
  return count;
}
#endif

std::size_t DecodePlainXyDataLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                                   Spectrum& target) {
  if (state.OrdinateKind != OrdinateKind::kTransmittance || !(std::fabs(state.YFactor) <= 1e22) ||
      (state.IndexStep != 1 && state.IndexStep != -1)) {
    return pos;
  }
  // Every load of eight bytes stays before the end of the text.
  if (text.size() < 8) return pos;
#if defined(TESVAR_AVX2_RUNS)
  if (HaveRunInstructions()) pos = PlainRuns(text, pos, state, target);
#endif
  const char* const base = text.data();
  const char* const textEnd = base + text.size();
  const char* const loadEnd = textEnd - 8;
  const double factor = state.YFactor;
  const int32_t step = state.IndexStep;
  int32_t index = state.PointIndex;
  int32_t read = state.PointsRead;
  double last = state.LastValue;
  double peak = state.PeakT;
  // The ordinates of one line, kept until the line is known to be of the
  // form; a line of more (short numbers) is left to the one-pass decoder.
  float values[64];
  const char* p = base + pos;
  while (p <= loadEnd) {
    const char* const lineStart = p;
    // The abscissa: 1 to 9 digits with at most one point. Its value is
    // then below the plain-number limit and not needed; longer ones are
    // left to the one-pass decoder.
    int points = 0;
    while (p < textEnd && (static_cast<unsigned>(*p - '0') <= 9 || *p == '.')) {
      points += *p == '.';
      ++p;
    }
    std::ptrdiff_t xDigits = p - lineStart - points;
    if (points > 1 || xDigits < 1 || xDigits > 9) {
      p = lineStart;
      break;
    }
    int count = 0;
    uint64_t value = 0;
    bool plain = true;
#if defined(__SSE2__)
    if (p < textEnd && *p == ' ') {
      const char* lineEnd = p;
      count = PlainNumbersByMask(p, textEnd, factor, values, value, lineEnd);
      p = lineEnd;
    }
#endif
    // Longer lines one number after the other.
    if (count == 0) {
      while (p < loadEnd && *p == ' ') {
        ++p;
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        uint64_t digits = word ^ 0x3030303030303030u;  // digits become 0 ... 9
        uint64_t notDigit =
            (((digits & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | digits) & 0x8080808080808080u;
        int n = std::countr_zero(notDigit | 0x8000000000000000u) >> 3;
        if (n == 0 || n == 8 || count == 64) {
          plain = false;
          break;
        }
        p += n;
        unsigned shift = 32 - 4 * static_cast<unsigned>(n);
        digits = (digits << shift) << shift;
        digits = (digits * 10 + (digits >> 8)) & 0x00FF00FF00FF00FFu;
        digits = (digits * 100 + (digits >> 16)) & 0x0000FFFF0000FFFFu;
        digits = (digits * 10000 + (digits >> 32)) & 0xFFFFFFFFu;
        value = digits;
        values[count++] = static_cast<float>(static_cast<double>(value) * factor);
      }
    }
    // The line must end here, within the import's raw lines of 255 bytes,
    // and its stores must stay within the arrays.
    int64_t end = static_cast<int64_t>(index) + static_cast<int64_t>(step) * count;
    if (!plain || count == 0 || p > loadEnd || (*p != '\r' && *p != '\n') ||
        p - lineStart >= static_cast<std::ptrdiff_t>(kRawChunk) || index < 0 || index > kLastSlot ||
        end < 0 || end > kLastSlot ||
        static_cast<int64_t>(read) + count > std::numeric_limits<int32_t>::max()) {
      p = lineStart;
      break;
    }
    float* y = target.TransY.data() + index;
    for (int k = 0; k < count; ++k) {
      float stored = values[k];
      y[step * k] = stored;
      if (stored > peak) peak = stored;
    }
    index = static_cast<int32_t>(end);
    read += count;
    last = static_cast<double>(value);
    // Past the line end and any empty lines after it, as the import steps.
    while (p < textEnd && (*p == '\r' || *p == '\n')) ++p;
  }
  state.PointIndex = index;
  state.PointsRead = read;
  state.LastValue = last;
  state.PeakT = peak;
  return static_cast<std::size_t>(p - base);
}


bool DifRunsAvailable() {
#if defined(TESVAR_AVX2_RUNS)
  return HaveRunInstructions();
#else
  return false;
#endif
}

std::size_t DecodeDifXyDataLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                                 Spectrum& target) {
#if defined(TESVAR_AVX2_RUNS)
  if (HaveRunInstructions() && state.OrdinateKind == OrdinateKind::kTransmittance &&
      std::fabs(state.YFactor) <= 1e22 && (state.IndexStep == 1 || state.IndexStep == -1)) {
    return DifRuns(text, pos, state, target);
  }
#else
  (void)state;
  (void)target;
  (void)text;
#endif
  return pos;
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
