// The --verify check: a written SP, JCAMP-DX or ASCII file is read back by
// the program's own reader and compared with the spectrum that was written.
//
// Which kinds are read back, and the ordinate and abscissa rounding each
// format allows, are facts of the writers table (output/writers.h): SP
// 0.5 / 4194304, JCAMP-DX 0.000005, ASCII 0.0000005 in the ordinates,
// each plus the float rounding of the two values compared (2^-23 of the
// largest ordinate). The point count must be the same and the X range the
// same within the rounding of the written abscissae.
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

// REQUIRES: WriterFor(kind)->readBack.
OutputCheck CheckWrittenFile(const std::string& path, FileKind kind, const Spectrum& written);

}  // namespace tesvar::cli
