#include "formats/asdf.h"

#include <cstdint>
#include <limits>

#include "core/number_text.h"

namespace tesvar {

namespace {

// Writes |value| in decimal with its first digit replaced from the set:
// `zeroBased` sets start at digit 0, the others at digit 1. The digits are
// counted first and written in place from the last.
char* PutEncoded(char* out, uint64_t magnitude, std::string_view set, bool zeroBased) {
  const auto letter = [&](uint64_t lead) {
    return set[static_cast<std::size_t>(zeroBased ? lead : lead - 1)];
  };
  // Differences of neighbouring ordinates have one to three digits, as a
  // rule.
  if (magnitude < 10) {
    out[0] = letter(magnitude);
    return out + 1;
  }
  if (magnitude < 100) {
    out[0] = letter(magnitude / 10);
    out[1] = static_cast<char>('0' + magnitude % 10);
    return out + 2;
  }
  if (magnitude < 1000) {
    out[0] = letter(magnitude / 100);
    out[1] = static_cast<char>('0' + magnitude / 10 % 10);
    out[2] = static_cast<char>('0' + magnitude % 10);
    return out + 3;
  }
  int count = 1;
  for (uint64_t rest = magnitude; rest >= 10; rest /= 10) ++count;
  char* p = out + count;
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  *p = letter(static_cast<uint64_t>(*p - '0'));
  return out + count;
}

void AppendEncoded(std::string& out, uint64_t magnitude, std::string_view set, bool zeroBased) {
  char token[kMaxAsdfToken];
  out.append(token, PutEncoded(token, magnitude, set, zeroBased));
}

uint64_t Magnitude(int64_t value) {
  // Two's complement negation in unsigned arithmetic: no overflow at INT64_MIN.
  return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

char* PutSqz(char* out, int64_t value) {
  return value < 0 ? PutEncoded(out, Magnitude(value), asdf_sets::kSqzNegative, false)
                   : PutEncoded(out, Magnitude(value), asdf_sets::kSqzPositive, true);
}

char* PutDif(char* out, int64_t value) {
  return value < 0 ? PutEncoded(out, Magnitude(value), asdf_sets::kDifNegative, false)
                   : PutEncoded(out, Magnitude(value), asdf_sets::kDifPositive, true);
}

char* PutDup(char* out, int64_t count) {
  // A count below 1 has no letter; the writer never asks for one.
  return PutEncoded(out, count < 1 ? 1 : static_cast<uint64_t>(count), asdf_sets::kDup, false);
}

void AppendSqz(std::string& out, int64_t value) {
  if (value < 0) {
    AppendEncoded(out, Magnitude(value), asdf_sets::kSqzNegative, false);
  } else {
    AppendEncoded(out, Magnitude(value), asdf_sets::kSqzPositive, true);
  }
}

void AppendDif(std::string& out, int64_t value) {
  if (value < 0) {
    AppendEncoded(out, Magnitude(value), asdf_sets::kDifNegative, false);
  } else {
    AppendEncoded(out, Magnitude(value), asdf_sets::kDifPositive, true);
  }
}

void AppendDup(std::string& out, int64_t count) {
  // A count below 1 has no letter; the writer never asks for one.
  AppendEncoded(out, count < 1 ? 1 : static_cast<uint64_t>(count), asdf_sets::kDup, false);
}

std::string EncodeSqz(int64_t value) {
  std::string s;
  AppendSqz(s, value);
  return s;
}

std::string EncodeDif(int64_t value) {
  std::string s;
  AppendDif(s, value);
  return s;
}

std::string EncodeDup(int64_t count) {
  std::string s;
  AppendDup(s, count);
  return s;
}

std::string SubstitutedToken(std::string_view token) {
  std::string s(token);
  int digit = 0;
  bool negative = false;
  if (!s.empty()) {
    AsdfKind kind = ClassifyAsdfStarter(s[0], digit, negative);
    if (kind == AsdfKind::kSqz || kind == AsdfKind::kDif || kind == AsdfKind::kDup) {
      s[0] = static_cast<char>('0' + digit);
    }
  }
  return s;
}

bool DecodeAsdfToken(std::string_view token, AsdfValue& out) {
  out = AsdfValue{};
  if (token.empty()) return false;
  int digit = 0;
  bool negative = false;
  out.kind = ClassifyAsdfStarter(token[0], digit, negative);
  if (out.kind == AsdfKind::kNone) return false;
  if (out.kind == AsdfKind::kRepeat) return true;

  // Usual tokens are a handful of digits: read them as an integer directly
  // (exact below 2^53); anything else goes through the general conversion.
  std::string_view rest = token.substr(1);
  bool allDigits = rest.size() <= 15;
  uint64_t integer = static_cast<uint64_t>(digit);
  for (std::size_t i = 0; allDigits && i < rest.size(); ++i) {
    if (!IsDigit(rest[i])) {
      allDigits = false;
    } else {
      integer = integer * 10 + static_cast<uint64_t>(rest[i] - '0');
    }
  }

  if (out.kind == AsdfKind::kDup) {
    // A repeat count is an integer of the int32 range.
    if (!allDigits || integer > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
      return false;
    }
    out.value = static_cast<double>(integer);
    return true;
  }

  double v;
  if (allDigits) {
    v = static_cast<double>(integer);
  } else if (!ParseDecimal(SubstitutedToken(token), v)) {
    return false;
  }
  out.value = negative ? -v : v;
  return true;
}

}  // namespace tesvar
