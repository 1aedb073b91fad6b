// Whole runs of FIX and DIFDUP lines, read 32 bytes at a time with AVX2,
// BMI, BMI2 and POPCNT. This file alone is compiled for them (see
// CMakeLists.txt); nothing in it runs before jcamp_data_section.cpp has
// found them on the processor, and everything but the two entries has
// internal linkage, so that no copy compiled for AVX2 can stand in for a
// function of another file.
#include "formats/jcamp_decoder_parts.h"

#if defined(__AVX2__) && defined(__BMI__) && defined(__BMI2__) && defined(__POPCNT__)
#include <immintrin.h>

#include <cmath>

namespace tesvar::decoder_parts {

namespace {

// Bit counts and limits straight from the instructions and the compiler:
// the templates and inline functions of the standard headers would be
// compiled here for AVX2 and BMI, and in a build without optimisation the
// linker could take such a copy for every file.
inline int CountrZero(uint32_t x) { return static_cast<int>(_tzcnt_u32(x)); }
inline int CountrZero(uint64_t x) { return static_cast<int>(_tzcnt_u64(x)); }
inline int Popcount(uint64_t x) { return static_cast<int>(_mm_popcnt_u64(x)); }
constexpr float kInfinity = __builtin_huge_valf();
constexpr int64_t kInt32Max = 2147483647;

// Lines of at most this many 32-byte blocks are read in runs.
constexpr int kDifRunBlocks = 4;

// One line of a DIF run, classified 32 bytes at a time. Each mask is two
// 64-bit words: bit i of word w stands for byte 64 w + i. (Words rather
// than one 128-bit integer: the abscissa and the first token lie in the
// first word, and shifts of a 128-bit integer by a variable count take
// several instructions each.)
struct DifRunLine {
  int length = 0;           // up to the first byte below 0x0E or from 0x80 on: most often
                            // the CR or LF that ends the line
  uint64_t digits[2] = {};  // '0' ... '9'
  uint64_t points = 0;      // '.' (in the first 32 bytes)
  uint64_t starts[2] = {};  // DIF and DUP letters: the token starts after the first token
  uint64_t dups[2] = {};    // DUP letters
};

// Byte j of the result: byte j - kBytes of the line, where previous holds
// the 32 bytes before current.
template <int kBytes>
inline __m256i ShiftIn32(__m256i current, __m256i previous) {
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
  __m256i operator()(int b) const {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(table->bytes[b & 0xFF]));
  }
  // The bytes of v from low to high (no more than 128 values) as 0xFF, the
  // others as 0: v - low, as a signed byte, is -128 ... high - low - 128
  // for them alone.
  __m256i Within(__m256i v, uint8_t low, uint8_t high) const {
    return _mm256_cmpgt_epi8((*this)(high - low + 1 - 128),
                             _mm256_add_epi8(v, (*this)(0x80 - low)));
  }
  // Ten times each byte of digits (0-9), looked up.
  __m256i Tens(__m256i digits) const {
    return _mm256_shuffle_epi8(_mm256_load_si256(reinterpret_cast<const __m256i*>(table->tens)),
                               digits);
  }
  // The byte pairs (1, 100), or (-1, -100).
  __m256i Weights(bool negative) const {
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
bool ScanDifRunLine(const char* p, DifRunLine& line, int16_t* values) {
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
    const __m256i d = _mm256_blendv_epi8(_mm256_subs_epu8(_mm256_and_si256(v, low5), offset),
                                         _mm256_and_si256(v, low4), c);
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
    auto add = [block](uint64_t(&mask)[2], int movemask) {
      mask[block >> 1] |= uint64_t{static_cast<uint32_t>(movemask)} << (32 * (block & 1));
    };
    add(digits, _mm256_movemask_epi8(c));
    // Points matter in the abscissa only, within the first 17 bytes.
    if (block == 0) add(points, _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, point)));
    add(starts, _mm256_movemask_epi8(_mm256_or_si256(dif, dup)));
    add(dups, _mm256_movemask_epi8(dup));
    if (endBits != 0) {
      line.length = 32 * block + CountrZero(endBits);
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
inline __m256 EightOrdinates(const int32_t* values, __m256d scale) {
  const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values));
  const __m128 low =
      _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(v)), scale));
  const __m128 high =
      _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(v, 1)), scale));
  return _mm256_insertf128_ps(_mm256_castps128_ps256(low), high, 1);
}

float StoreRun(int32_t* values, int count, double factor, float* y, int step) {
  for (int k = count; k < ((count + 7) & ~7); ++k) values[k] = values[count - 1];
  const __m256d scale = _mm256_set1_pd(factor);
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i reversed = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  __m256 largest = _mm256_set1_ps(-kInfinity);
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

}  // namespace

// run receives the ordinates of the whole run as integers, in the order of
// their slots; they are converted and written when the run ends. At most
// one a slot, and a line's worth more: kDifRunScratch.
std::size_t DifRunsAvx2(const char* const base, std::size_t size, std::size_t pos,
                        XyDecodeState& state, float* transY, int32_t* run) {
  const char* const textEnd = base + size;
  const double factor = state.YFactor;
  const int32_t step = state.IndexStep;
  RunningState current(state);
  bool lastFromDif = state.LastFromDif;
  // The running value as an integer of at most 2^30, so that a line's sums
  // (at most kDifRunStores values below 10^4 after a first one below 10^8)
  // stay within int32.
  constexpr double kLargest = 1073741824.0;  // 2^30
  if (!(std::fabs(current.last) <= kLargest) || current.last != std::trunc(current.last) ||
      (current.last == 0 && __builtin_signbit(current.last))) {
    return pos;
  }
  int64_t value = static_cast<int64_t>(current.last);
  const char* lastLine = nullptr;  // the last line read, for its abscissa
  int lastX = 0;

  alignas(32) int16_t values[32 * kDifRunBlocks];
  const int32_t startIndex = current.index;
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
    const int xEnd = CountrZero(notX);
    if (xEnd == 0 || xEnd > 16) break;
    const int xPoints = Popcount(line.points & ((uint64_t{1} << xEnd) - 1));
    if (xPoints > 1 || xEnd - xPoints < 1 || xEnd - xPoints > 15) break;
    // The first token runs to the next byte that is no digit; from there on
    // only DIF tokens of at most four bytes, DUP tokens among them, may
    // follow, a DIF token first.
    const uint64_t afterFirst = ~line.digits[0] & within[0] & ~((uint64_t{2} << xEnd) - 1);
    const int second = CountrZero(afterFirst);
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
    if (!((value < 0 ? -value : value) <= static_cast<int64_t>(kLargest))) break;

    uint8_t code;
    const int64_t own = CompactTokenValue(p + xEnd, second - xEnd, code);
    int64_t running = value;
    int32_t* const sums = run + total;  // this line's ordinates
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
          running += values[64 * w + CountrZero(m)];
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
          const int end = 64 * w + CountrZero(m);
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
    const int64_t end = static_cast<int64_t>(current.index) + static_cast<int64_t>(step) * count;
    if (current.index < 0 || current.index > kLastSlot || end < 0 || end > kLastSlot ||
        static_cast<int64_t>(current.read) + count > kInt32Max) {
      break;
    }
    total += static_cast<int>(count);
    current.index = static_cast<int32_t>(end);
    current.read += count;
    value = running;
    lastFromDif = true;
    lastLine = lineStart;
    lastX = xEnd;
    // Past the line end and any empty lines after it, as the import steps.
    p = lineStart + length;
    while (p < textEnd && (*p == '\r' || *p == '\n')) ++p;
  }
  if (total > 0) {
    const float runPeak = StoreRun(run, total, factor, transY + startIndex, step);
    if (runPeak > current.peak) current.peak = runPeak;
  }
  if (lastLine != nullptr) {
    const UsualNumber x = ReadUsualNumber(lastLine, lastLine + lastX);
    state.LineX = NumberValue(x.digits, x.decimals);
    current.last = static_cast<double>(value);
    current.WriteTo(state);
    state.DifMode = state.LastFromDif = true;
  }
  return static_cast<std::size_t>(p - base);
}

namespace {

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
inline uint32_t BytesEqual(__m256i v, char c) {
  return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(c))));
}
inline uint32_t BytesWithin(__m256i v, char low, char high) {
  return static_cast<uint32_t>(_mm256_movemask_epi8(
      _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8(static_cast<char>(low - 1))),
                       _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(high + 1)), v))));
}

// Classifies the line at p. False when it runs on past 64 bytes or a load
// would pass textEnd.
bool ScanPlainRunLine(const char* p, const char* textEnd, PlainRunLine& line) {
  if (textEnd - p < 64) return false;
  const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  const uint64_t ends = (BytesEqual(low, '\r') | BytesEqual(low, '\n')) |
                        uint64_t{BytesEqual(high, '\r') | BytesEqual(high, '\n')} << 32;
  if (ends == 0) return false;
  line.length = CountrZero(ends);
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
inline __m128i FourNumbers(const char* const (&from)[4]) {
  auto two = [](const char* a, const char* b) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)));
  };
  const __m256i words = _mm256_inserti128_si256(_mm256_castsi128_si256(two(from[0], from[1])),
                                                two(from[2], from[3]), 1);
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
  const __m256i values = _mm256_add_epi64(_mm256_mul_epu32(fours, _mm256_set1_epi64x(10000)),
                                          _mm256_srli_epi64(fours, 32));
  return _mm256_castsi256_si128(
      _mm256_permutevar8x32_epi32(values, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
}

}  // namespace

// DecodePlainXyDataLines for lines of up to 64 bytes: the same lines with
// the same effect. Returns the position of the first line it leaves to the
// byte-by-byte loop there.
//
// Two passes: the lines are read and checked first, and where each number
// ends is noted; then all the numbers are converted four at a time in one
// loop. Converted line by line, each line's chain of dependent steps (a
// number's load to its ordinate's store) held up the next line.
//
// words receives the first byte of each number's eight, from base; at most
// one a slot, and room for a line's worth more (see below):
// kPlainRunScratch.
std::size_t PlainRunsAvx2(const char* const base, std::size_t size, std::size_t pos,
                          XyDecodeState& state, float* transY, uint32_t* words) {
  const char* const textEnd = base + size;
  const int32_t step = state.IndexStep;
  RunningState current(state);
  const int32_t startIndex = current.index;
  if (startIndex < 0 || startIndex > kLastSlot) return pos;
  const char* p = base + pos;
  // Each number is loaded as the eight bytes that end with it, which may
  // begin before the line: they must lie within the text.
  if (p - base < 8) return pos;
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
      const int xEnd = CountrZero(notX);
      if (xEnd == 0 || xEnd > 10 || ((line.blanks >> xEnd) & 1) == 0) break;
      const int xPoints = Popcount(line.points & ((uint64_t{1} << xEnd) - 1));
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
      numbers = Popcount(blanks);
      shape = {length, line.digits & within, line.points & within, line.blanks & within, numbers,
               nullptr};
    }
    // The stores must all move the slot index within the arrays (the
    // count of ordinates read stays far below the int32 range then).
    const int64_t end = static_cast<int64_t>(current.index) + static_cast<int64_t>(step) * numbers;
    if (end < 0 || end > kLastSlot ||
        static_cast<int64_t>(current.read) + count + numbers > kInt32Max) {
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
        words[count++] = offset + static_cast<uint32_t>(CountrZero(m));
      }
    }
    shape.start = lineStart;
    current.index = static_cast<int32_t>(end);
    // Past the line end and any empty lines after it, as the import steps.
    p = lineStart + length + CountrZero(~(line.ends >> length));
    while (p < textEnd && (*p == '\r' || *p == '\n')) ++p;
  }
  if (count == 0) return static_cast<std::size_t>(p - base);

  // The numbers, four at a time; the lanes beyond the last repeat it.
  for (int k = count; k < ((count + 3) & ~3); ++k) words[k] = words[count - 1];
  const __m256d scale = _mm256_set1_pd(state.YFactor);
  float* const y = transY + startIndex;
  __m128 largest = _mm_set1_ps(-kInfinity);
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
  if (runPeak > current.peak) current.peak = runPeak;
  // The last number, for the Y check of an ASDF line after the run.
  const char* const lastWord = base + words[count - 1];
  int first = 7;
  while (lastWord[first - 1] != ' ') --first;
  current.last = NumberValue(ReadDigits(lastWord + first, lastWord + 8).value, 0);
  current.read += count;
  current.WriteTo(state);
  return static_cast<std::size_t>(p - base);
}

}  // namespace tesvar::decoder_parts

#else  // built without the flags: the run readers read nothing

namespace tesvar::decoder_parts {

std::size_t DifRunsAvx2(const char*, std::size_t, std::size_t pos, XyDecodeState&, float*,
                        int32_t*) {
  return pos;
}

std::size_t PlainRunsAvx2(const char*, std::size_t, std::size_t pos, XyDecodeState&, float*,
                          uint32_t*) {
  return pos;
}

}  // namespace tesvar::decoder_parts

#endif
