// The --verify check: a written SP, JCAMP-DX or ASCII file is read back by
// the program's own reader and compared with the spectrum that was written.
//
// Allowed ordinate differences, from each format's rounding:
//   SP        raw integers of 1/4194304: 0.5 / 4194304
//   JCAMP-DX  integers of YFACTOR 0.00001: 0.000005
//   ASCII     6 decimals: 0.0000005
// each plus the float rounding of the two values compared (2^-23 of the
// largest ordinate). The point count must be the same and the X range the
// same within the rounding of the written abscissae (SP 6 decimals,
// JCAMP-DX 1 decimal, ASCII 4 decimals).
//
// Both imports rescale ordinates whose largest value lies above 2.0 or at or
// below 0.1 by a power of ten. Such a file fails the check, and the problem
// says so, rather than having the factor taken out of the comparison.
#pragma once

#include <string>

#include "core/spectrum.h"
#include "formats/file_kinds.h"

namespace tesvar::cli {

struct OutputCheck {
  bool ok = false;
  double largestDifference = 0;  // of the ordinates; infinity when not comparable
  double allowed = 0;
  std::string problem;  // why the file failed; "" when ok
};

// True for the kinds the check can read back.
bool CanCheck(FileKind kind);

// REQUIRES: CanCheck(kind).
OutputCheck CheckWrittenFile(const std::string& path, FileKind kind, const Spectrum& written);

// The ordinate bound of the format (without the float rounding).
double OrdinateRounding(FileKind kind);

}  // namespace tesvar::cli
