// The usual lines in one pass, and runs of FIX lines, without vector
// instructions of their own (the SSE2 parts are called where the path
// allows them).
//
// Nearly every data line is either a row of integers (or short decimals)
// between blanks and signs, or an ASDF line of letters with a few integer
// digits each. ReadUsualLine reads these byte by byte, eight digits at a
// time, without cutting the line into strings, and gives up at the first
// thing it does not know; the general decoder then reads the line instead.
// Its ordinates go to a buffer of its own first and reach TransY only when
// the whole line is read, so giving up leaves nothing behind. Every value is
// computed with the same operations, in the same order, as the general
// decoder computes it, so both give the same bits.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "formats/jcamp_decoder_parts.h"

namespace tesvar::decoder_parts {

namespace {

#if defined(__SSE2__)
constexpr bool kSse2Parts = true;
#else
constexpr bool kSse2Parts = false;  // jcamp_runs_sse2.cpp is empty
#endif

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
// kCompact: compact ASDF lines are read sixteen bytes at a time first.
template <bool kCompact>
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
    return UsualLine{
        static_cast<std::size_t>(p - begin), count, last, difMode, lastFromDif, peak, asdf, lineX};
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
    if constexpr (kCompact) {
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
    }
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

// DecodePlainXyDataLines after the run reader. kMask: lines of up to 64
// bytes are read by one bit mask of their blanks.
template <bool kMask>
std::size_t PlainLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                       Spectrum& target) {
  const char* const base = text.data();
  const char* const textEnd = base + text.size();
  const char* const loadEnd = textEnd - 8;
  const double factor = state.YFactor;
  const int32_t step = state.IndexStep;
  RunningState current(state);
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
    if constexpr (kMask) {
      if (p < textEnd && *p == ' ') {
        const char* lineEnd = p;
        count = PlainNumbersByMask(p, textEnd, factor, values, value, lineEnd);
        p = lineEnd;
      }
    }
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
    int64_t end = static_cast<int64_t>(current.index) + static_cast<int64_t>(step) * count;
    if (!plain || count == 0 || p > loadEnd || (*p != '\r' && *p != '\n') ||
        p - lineStart >= static_cast<std::ptrdiff_t>(kRawChunk) || current.index < 0 ||
        current.index > kLastSlot || end < 0 || end > kLastSlot ||
        static_cast<int64_t>(current.read) + count > std::numeric_limits<int32_t>::max()) {
      p = lineStart;
      break;
    }
    float* y = target.TransY.data() + current.index;
    for (int k = 0; k < count; ++k) {
      float stored = values[k];
      y[step * k] = stored;
      if (stored > current.peak) current.peak = stored;
    }
    current.index = static_cast<int32_t>(end);
    current.read += count;
    current.last = static_cast<double>(value);
    // Past the line end and any empty lines after it, as the import steps.
    while (p < textEnd && (*p == '\r' || *p == '\n')) ++p;
  }
  current.WriteTo(state);
  return static_cast<std::size_t>(p - base);
}

}  // namespace

std::size_t DecodeUsualLine(std::string_view text, std::size_t maxLen, XyDecodeState& state,
                            Spectrum& target, bool compact, bool wholeLine) {
  float out[kUsualBufferSize];
  UsualLine line = compact ? ReadUsualLine<kSse2Parts>(text, maxLen, state, out)
                           : ReadUsualLine<false>(text, maxLen, state, out);
  if (line.length == kNotUsualLine || (wholeLine && line.length != text.size()) ||
      !CommitUsualLine(line, out, state, target)) {
    return kNotUsualLine;
  }
  return line.length;
}

std::size_t DecodePlainLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                             Spectrum& target, DecoderPath path) {
  if (state.OrdinateKind != OrdinateKind::kTransmittance || !(std::fabs(state.YFactor) <= 1e22) ||
      (state.IndexStep != 1 && state.IndexStep != -1)) {
    return pos;
  }
  // Every load of eight bytes stays before the end of the text.
  if (text.size() < 8) return pos;
  if (path == DecoderPath::kAvx2) {
    std::unique_ptr<uint32_t[]> scratch(new uint32_t[kPlainRunScratch]);
    pos = PlainRunsAvx2(text.data(), text.size(), pos, state, target.TransY.data(), scratch.get());
  }
  if (UsesSse2(path)) return PlainLines<kSse2Parts>(text, pos, state, target);
  return PlainLines<false>(text, pos, state, target);
}

}  // namespace tesvar::decoder_parts
