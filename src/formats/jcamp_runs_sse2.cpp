// The one-pass reader's SSE2 parts: compact ASDF lines, the form DIFDUP
// writers give nearly every line (tokens of a letter and at most seven
// digits, no blanks, no "?"), and the numbers of FIX lines, both from bit
// masks of sixteen bytes at a time. SSE2 is part of every x86-64 processor;
// elsewhere this file is empty and the byte-by-byte loops read every line.
#include "formats/jcamp_decoder_parts.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace tesvar::decoder_parts {

namespace {

// The line's bytes are classified sixteen at a time first; the token starts
// then come from a bit mask, so that no token waits for the one before it to
// be measured, and the values are summed as integers. The sums are the
// doubles the token loop of the byte-by-byte reader computes, exactly: every
// value is an integer below 2^53.

// The lambdas of the loop below must be inlined: called, they would keep
// the running values in memory. The loop itself must not be: inlined into
// its caller it would run short of registers.
#if defined(__GNUC__)
#define TESVAR_INLINE __attribute__((always_inline))
#define TESVAR_NOINLINE __attribute__((noinline))
#else
#define TESVAR_INLINE
#define TESVAR_NOINLINE
#endif

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

}  // namespace

// The token loop of the byte-by-byte reader for a compact line.
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

// The blanks of the line come from one bit mask, so that no number waits
// for the one before it to be measured.
int PlainNumbersByMask(const char* p, const char* textEnd, double factor, float* values,
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

}  // namespace tesvar::decoder_parts

#endif  // __SSE2__
