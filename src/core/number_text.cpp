#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tesvar {

int64_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.2e18) return std::numeric_limits<int64_t>::max();
  if (value <= -9.2e18) return std::numeric_limits<int64_t>::min();
  // The program never leaves the default rounding mode, to nearest with ties
  // to even, so nearbyint is exactly Round.
  double r = std::nearbyint(value);
  return static_cast<int64_t>(r);
}

int32_t RoundToInt32(double value) {
  int64_t r = RoundHalfEven(value);
  if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

int64_t RoundHalfAway(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.2e18) return std::numeric_limits<int64_t>::max();
  if (value <= -9.2e18) return std::numeric_limits<int64_t>::min();
  // Neighbouring doubles lie further apart than the 18th significant digit,
  // so a double that is not exactly a half never expands to one: rounding the
  // binary value agrees with FormatFixed's decimal rounding.
  return static_cast<int64_t>(std::round(value));
}

namespace {

// The 18 significant digits of |value| and its decimal exponent:
// |value| = d0.d1d2...d17 x 10^exp. Zero gives all zeros and exponent 0.
void Expand18(double value, char digits[18], int& exponent) {
  char buf[64];
  auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
  *res.ptr = '\0';
  // buf: "d.ddddddddddddddddde+XX"
  digits[0] = buf[0];
  std::memcpy(digits + 1, buf + 2, 17);
  exponent = std::atoi(buf + 20);
}

// Adds one to a string of decimal digits; may grow it by one digit.
void IncrementDigits(std::string& n) {
  for (std::size_t i = n.size(); i-- > 0;) {
    if (n[i] == '9') {
      n[i] = '0';
    } else {
      ++n[i];
      return;
    }
  }
  n.insert(n.begin(), '1');
}

// Puts the decimal point into a string of digits that stands for a number
// of units of the last of `decimals` places (with a leading "0" as needed).
void PutPoint(std::string& digits, int decimals) {
  if (decimals <= 0) return;
  const auto places = static_cast<std::size_t>(decimals);
  if (digits.size() < places + 1) digits.insert(0, places + 1 - digits.size(), '0');
  digits.insert(digits.size() - places, 1, '.');
}

// The text of |value| with `decimals` decimals when |value| is a whole
// number k of units of the last place (below 10^12 of them), as the
// abscissae of a spectrum nearly always are: k's digits with the point put
// in. The expansion would give the same: |value| lies within a relative
// 2^-53 of k units, so its digits after the last place are zeros or nines
// that round to k. False for any other value.
bool WholeUnitsText(double value, int decimals, std::string& text) {
  constexpr double kScales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
  if (decimals < 0 || decimals > 6) return false;
  const double scaled = std::fabs(value) * kScales[decimals];
  if (!(scaled < 1e12) || scaled != std::trunc(scaled)) return false;
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, static_cast<uint64_t>(scaled)).ptr;
  text.assign(digits, end);
  PutPoint(text, decimals);
  return true;
}

}  // namespace

std::string FormatFixed(double value, int decimals, int minWidth) {
  std::string out;
  if (std::isnan(value)) {
    out = "NAN";
  } else if (std::isinf(value)) {
    out = value < 0 ? "-INF" : "INF";
  } else if (std::string whole; WholeUnitsText(value, decimals, whole)) {
    out = value < 0 ? "-" + whole : whole;
  } else {
    char d[18];
    int exponent = 0;
    Expand18(value, d, exponent);
    // |value| x 10^decimals = D x 10^shift with D the 18-digit integer.
    int shift = exponent - 17 + decimals;
    std::string n;
    if (shift >= 0) {
      n.assign(d, 18);
      n.append(static_cast<std::size_t>(shift), '0');
    } else {
      int drop = -shift;
      if (drop > 18) {
        n = "0";
      } else {
        n.assign(d, static_cast<std::size_t>(18 - drop));
        if (n.empty()) n = "0";
        if (d[18 - drop] >= '5') IncrementDigits(n);
      }
    }
    std::size_t nz = n.find_first_not_of('0');
    n = nz == std::string::npos ? "0" : n.substr(nz);
    PutPoint(n, decimals);
    out = value < 0 ? "-" + n : n;
  }
  return PadLeft(out, minWidth > 0 ? static_cast<std::size_t>(minWidth) : 0);
}

std::string RealToText41(double value) { return FormatFixed(value, 1, 4); }

char* PutRealToText41(char* out, double value) {
  // The whole-units text of FormatFixed: the tenths' digits (two at least)
  // with the point before the last, a '-' for a value below 0, blanks in
  // front up to four characters.
  const double tenths = std::fabs(value) * 10;
  if (!(tenths < 1e12) || tenths != std::trunc(tenths)) return nullptr;
  char digits[16];
  char* const end = digits + sizeof digits;
  char* p = end;
  for (auto k = static_cast<uint64_t>(tenths); k != 0 || end - p < 2; k /= 10) {
    *--p = static_cast<char>('0' + k % 10);
  }
  const std::size_t size = static_cast<std::size_t>(end - p) + 1 + (value < 0 ? 1 : 0);
  for (std::size_t i = size; i < 4; ++i) *out++ = ' ';
  if (value < 0) *out++ = '-';
  while (end - p > 1) *out++ = *p++;
  *out++ = '.';
  *out++ = *p;
  return out;
}

std::string FormatExp23(double value) {
  std::string out(1, value < 0 ? '-' : ' ');
  if (!std::isfinite(value)) return out + (std::isnan(value) ? "NAN" : "INF");
  char d[18];
  int exponent = 0;
  Expand18(value, d, exponent);
  std::string m(d, 15);
  if (value == 0) {
    exponent = 0;
  } else if (d[15] >= '5') {
    IncrementDigits(m);
    if (m.size() > 15) {
      m.pop_back();
      ++exponent;
    }
  }
  out += m[0];
  out += '.';
  out.append(m, 1, 14);
  out += 'E';
  out += exponent < 0 ? '-' : '+';
  std::string e = std::to_string(std::abs(exponent));
  out.append(4 - std::min<std::size_t>(4, e.size()), '0');
  out += e;
  return out;
}

std::string FormatInt(int64_t value) { return std::to_string(value); }

std::string PadLeft(const std::string& text, std::size_t width) {
  if (text.size() >= width) return text;
  return std::string(width - text.size(), ' ') + text;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the real-number syntax from position i to the end; no blanks.
// sign? digits ('.' digits?)? ([eE] sign? digits)?, at least one mantissa
// digit (before or after the point).
bool IsRealSyntax(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t mantissaDigits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++mantissaDigits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == t.size();
}

bool ConvertReal(std::string_view t, double& value) {
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  double v = 0;
  auto res = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return false;
  value = negative ? -v : v;
  return true;
}

}  // namespace

bool ParseStrictReal(std::string_view text, double& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  text.remove_prefix(i);
  if (!IsRealSyntax(text)) return false;
  return ConvertReal(text, value);
}

bool ParseStrictInt(std::string_view text, int32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  if (i >= text.size()) return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit;
    if (IsDigit(c)) {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > 2147483648LL) return false;
  }
  int64_t v = negative ? -magnitude : magnitude;
  if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) {
    return false;
  }
  value = static_cast<int32_t>(v);
  return true;
}

bool ParseDecimal(std::string_view text, double& value) {
  if (!IsRealSyntax(text)) return false;
  return ConvertReal(text, value);
}

}  // namespace tesvar
