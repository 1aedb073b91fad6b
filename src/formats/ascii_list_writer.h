// Export of a spectrum as a plain x/y list (*.asc), the form the ASCII import
// (ascii_list.h) reads back.
//
// One line per point, from index 0 (the highest wavenumber) down:
//   wavenumber XStart - i x XStep with 4 decimals, a tab, TransY[i] as a
//   fraction with 6 decimals, CR LF
// for example "4000.0000\t0.853125\r\n". Both numbers are rounded at their
// last digit, halves away from zero (FormatFixed). Nothing else is written:
// no heading, so the import sees only data lines.
//
// What the import gives back: the same NPoints and X range (within 0.00005)
// and TransY within 0.0000005 plus float rounding - unless the largest
// written ordinate lies above 2.0 or at or below 0.1, where the import
// rescales every ordinate by a power of ten (AdjustOrdinate).
#pragma once

#include <string>

#include "core/save_result.h"
#include "core/spectrum.h"

namespace tesvar {

// The list for points 0 ... LastIndex. Empty when an ordinate is not a
// finite number (no line could carry it: the import would skip it).
// REQUIRES: TransY holds LastIndex + 1 values.
std::string BuildAsciiList(const Spectrum& spectrum);

// Writes the list over path safely (SaveFile: a file that cannot be created
// is "Could not create file PATH"). An ordinate that is not a finite number
// is refused as "Invalid ordinate value!" and nothing is written.
SaveResult WriteAsciiListFile(const std::string& path, const Spectrum& spectrum);

}  // namespace tesvar
