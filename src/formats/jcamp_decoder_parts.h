// What the data line readers share: the constants every path computes
// with, the conversions of digits and tokens the one-pass readers use, and
// the entries of the readers that live in files of their own:
//   jcamp_decoder.cpp       the general decoder, which reads every form a
//                           line may take and gives every message;
//   jcamp_runs_scalar.cpp   the usual lines in one pass, byte by byte and
//                           eight bytes to a word, and runs of FIX lines;
//   jcamp_runs_sse2.cpp     compact ASDF lines and FIX lines sixteen bytes
//                           at a time;
//   jcamp_runs_avx2.cpp     whole runs of FIX and DIFDUP lines, 32 bytes at
//                           a time (compiled for AVX2);
//   jcamp_data_section.cpp  the choice of path and the loop over a section.
//
// The inline helpers are in an unnamed namespace: jcamp_runs_avx2.cpp is
// compiled for AVX2, and a helper of external linkage could have its AVX2
// copy picked by the linker for every file, to fail on processors without.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/byte_order.h"
#include "formats/asdf.h"
#include "formats/import_rules.h"
#include "formats/jcamp_decoder.h"

// Byte order: the readers load up to eight bytes of text as one integer and
// take the first byte for its lowest (digits are folded from the low bytes
// up, a token's letter is word & 0xFF, bit i of a byte mask stands for byte
// i). They are built for little-endian processors alone (core/byte_order.h
// checks it).

namespace tesvar::decoder_parts {

// ln 10 to ten digits: every stored ordinate is computed with it, 10^-y as
// 1 / e^(y ln 10), so every path must use this same constant to give the
// same bits.
constexpr double kLn10 = 2.302585093;
// Plain numbers of this magnitude or more are refused.
constexpr double kPlainNumberLimit = 1419480976.0;
constexpr int32_t kLastSlot = kArraySlots - 1;

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

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

// Ordinates one line may give before this path leaves it to the general
// decoder (long DUP runs).
constexpr int kUsualBufferSize = 1024;

// Lines longer than this many sixteen-byte blocks are left to the
// byte-by-byte loop of the one-pass reader.
constexpr int kCompactBlocks = 8;
// Tokens a line of kCompactBlocks x 16 bytes may hold; DUP runs may take
// the buffer's slots up to this many before the end.
constexpr int kCompactTokens = 16 * kCompactBlocks;

// The token kinds of a starter letter's code (see kCompactStarters).
enum : uint8_t { kCompactSqz = 1 << 5, kCompactDif = 2 << 5, kCompactDup = 3 << 5 };

struct CompactLine {
  bool ok = false;
  const char* end = nullptr;
  int count = 0;
  double last = 0;
  bool difMode = false;
  bool lastFromDif = false;
  double peak = 0;
};

// A compact ASDF line whose first token is at p, read sixteen bytes at a
// time into out (kUsualBufferSize slots), for the one-pass reader. ok is
// false, and nothing is written but scratch slots of out, when the line is
// not compact or anything about it needs the byte-by-byte loop.
// (jcamp_runs_sse2.cpp; x86-64 only.)
CompactLine ReadCompactAsdf(const char* p, const char* limit, const char* textEnd, double last,
                            bool difMode, bool lastFromDif, double factor, bool transmittance,
                            double peak, float* out);

// The numbers of a plain line from p, at the blank after its abscissa, when
// the rest of the line is at most 63 bytes of integers of one to seven
// digits, each after a single blank. Returns how many were read (into
// values, as ordinates), with the last as an integer and the line's end; 0
// for a line of any other form. (jcamp_runs_sse2.cpp; x86-64 only.)
int PlainNumbersByMask(const char* p, const char* textEnd, double factor, float* values,
                       uint64_t& last, const char*& lineEnd);

// Scratch room the run readers of jcamp_runs_avx2.cpp want from their
// caller: a run's ordinates as integers (at most one a slot, and a line's
// worth more), and for plain runs where each number ends.
constexpr int kDifRunScratch = kArraySlots + kUsualBufferSize + 8;
constexpr int kPlainRunScratch = kArraySlots + 4 + 64;

// DecodeDifXyDataLines and the first part of DecodePlainXyDataLines with
// AVX2 (and BMI, BMI2, POPCNT), for transmittances under a YFACTOR of at
// most 1e22 and a step of 1 or -1. The text is base[0 ... size). Only to be
// called once the processor is known to have these instructions.
std::size_t DifRunsAvx2(const char* base, std::size_t size, std::size_t pos, XyDecodeState& state,
                        float* transY, int32_t* scratch);
std::size_t PlainRunsAvx2(const char* base, std::size_t size, std::size_t pos, XyDecodeState& state,
                          float* transY, uint32_t* scratch);

// The one-pass reader of one line (DecodeUsualXyDataLine) with the compact
// lines read sixteen bytes at a time or not. With wholeLine the line must
// take up all of text (DecodeXyDataLine), else nothing is stored.
std::size_t DecodeUsualLine(std::string_view text, std::size_t maxLen, XyDecodeState& state,
                            Spectrum& target, bool compact, bool wholeLine);

// DecodePlainXyDataLines on the given path (not kAuto or kReference).
std::size_t DecodePlainLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                             Spectrum& target, DecoderPath path);

namespace {

// Whether the path reads with the parts of jcamp_runs_sse2.cpp.
constexpr bool UsesSse2(DecoderPath path) {
  return path == DecoderPath::kSse2 || path == DecoderPath::kAvx2;
}

// The running part of the decoding state, which a run reader keeps in a
// local object while it reads and writes back when it ends: kept in the
// caller's XyDecodeState, each change would go to memory at once, as the
// bytes of the text (chars) could alias it.
struct RunningState {
  int32_t index;
  int32_t read;
  double last;
  double peak;

  explicit RunningState(const XyDecodeState& state)
      : index(state.PointIndex), read(state.PointsRead), last(state.LastValue), peak(state.PeakT) {}
  void WriteTo(XyDecodeState& state) const {
    state.PointIndex = index;
    state.PointsRead = read;
    state.LastValue = last;
    state.PeakT = peak;
  }
};

struct DigitRun {
  uint64_t value;  // meaningless beyond 16 digits (callers give up there)
  int count;       // at most 17
};

// The run of digits at p, ending at limit at the latest.
inline DigitRun ReadDigits(const char* p, const char* limit) {
  if (limit - p >= 8) {
    // Eight bytes at once: find the first that is no digit, then fold the
    // digits before it into an integer with three multiplications.
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    uint64_t x = word ^ 0x3030303030303030u;  // digits become 0 ... 9
    uint64_t notDigit =
        (((x & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | x) & 0x8080808080808080u;
    if (notDigit != 0) {
      // (The builtin rather than std::countr_zero: see jcamp_runs_avx2.cpp.)
      int n = __builtin_ctzll(notDigit) >> 3;
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

// Per starter letter: bits 0-3 its digit, bit 4 negative, bits 5-6 the kind.
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

}  // namespace

}  // namespace tesvar::decoder_parts
