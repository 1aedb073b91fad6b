// Number <-> text conversions shared by every reader and writer. No writer
// formats numbers on its own: the file formats fix these forms to the byte.
//
// Rounding rules:
//   RoundHalfEven   - "Round": nearest integer, ties to the even one.
//   FormatFixed     - decimal rounding at the last kept digit, halves away
//                     from zero, applied to the value's 18-significant-digit
//                     decimal expansion (so 0.25 -> "0.3", 399.96 -> "400.0").
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace tesvar {

// Nearest integer, ties to even. Values beyond the int64 range are clamped,
// NaN gives 0.
int64_t RoundHalfEven(double value);

// The same, clamped to the int32 range (for raw ordinate integers).
int32_t RoundToInt32(double value);

// RoundToInt32 for the loops over every ordinate of a spectrum, with the
// same result for every value. Adding and taking away 1.5 x 2^52 leaves a
// double of magnitude below 2^51 rounded to an integer, halves to even (the
// default rounding mode, which the program never leaves); RoundToInt32 takes
// the rest (values beyond the int32 range, infinities, NaN). Inline, so that
// the common case is two additions in the caller's loop.
inline int32_t RoundToInt32Inline(double value) {
  constexpr double kShift = 6755399441055744.0;
  if (std::fabs(value) < 2147483647.0) return static_cast<int32_t>((value + kShift) - kShift);
  return RoundToInt32(value);
}

// Nearest integer, halves away from zero: the integer a fixed conversion with
// no decimals writes (plotter coordinates), but without FormatFixed's "-0".
// Same clamping and NaN rule as RoundHalfEven.
int64_t RoundHalfAway(double value);

// Fixed notation with `decimals` digits after the point, right-justified with
// blanks to at least minWidth characters. A '-' stands before every negative
// value, also when the rounded digits are all zero ("-0.0").
std::string FormatFixed(double value, int decimals, int minWidth = 0);

// One decimal, at least 4 characters: every wavenumber label and read-out.
// 5 -> " 5.0", 1234.56 -> "1234.6", 0.25 -> " 0.3", -0.04 -> "-0.0".
std::string RealToText41(double value);
// RealToText41's text of an abscissa that is a whole number of tenths
// below 10^11 (nearly every one is), written at out without building a
// string; null for any other value, which RealToText41 then writes.
// REQUIRES: room for 16 bytes at out.
char* PutRealToText41(char* out, double value);

// The 23-character exponent form of SP line 10: sign blank or '-', one digit,
// '.', 14 digits, 'E', exponent sign, 4 exponent digits.
// 450 -> " 4.50000000000000E+0002".
std::string FormatExp23(double value);

// Decimal integer, no leading blanks.
std::string FormatInt(int64_t value);

// Right-aligned in a field of `width` characters.
std::string PadLeft(const std::string& text, std::size_t width);

// Strict parsers for header lines: the whole text must be the number.
// Real: optional leading blanks, optional sign, digits, optional '.' and
// digits, optional 'E'/'e' with optional sign and digits.
bool ParseStrictReal(std::string_view text, double& value);
// Integer: optional leading blanks, optional sign, then decimal digits or
// '$' and hexadecimal digits; must fit a signed 32-bit integer.
bool ParseStrictInt(std::string_view text, int32_t& value);

// A general decimal conversion as the importers use it: optional sign,
// digits with an optional '.', optional exponent ("4.0E3", ".5", "5.").
// The whole text must be used; no blanks.
bool ParseDecimal(std::string_view text, double& value);

}  // namespace tesvar
