// Perkin-Elmer 1600/2000 FT-IR spectrum files (*.sp).
//
// Layout (lines end in CR LF; line numbers from 1; H is the line holding
// "#HDR"):
//   1      identification, columns 1-5 "PE IR"      -> IdentLine
//   2      unused ("-1")
//   3      free text                                -> HeaderLine3
//   4..9   acquisition date, time, modification date, time, operator,
//          comment
//   10     last abscissa (real)                     -> LastX
//   11     number of scans (integer)                -> NScans
//   12-20  unused
//   21     instrument line, "1600" / "2000"         -> Model
//   ...    skipped up to the line containing "#HDR"
//   H+1..4 unused ("-1", "-1", "#GR", "CM-1")
//   H+5    ordinate mode: 'A' absorbance (2^23 per unit), "%T" (41943.04
//          per %T); 'A' and 'T' together: absorbance scale, taken as %T
//   H+6    ordinate factor, H+7 unused
//   H+8    first abscissa, H+9 step, H+10 number of points
//   ...    further lines, then the line "#DATA"
//   data   right after the "#DATA" line end: 4-byte little-endian signed
//          integers, one per point, to the end of the file.
//
// Header lines are read with at most 255 characters; a line ends at CR (an
// LF right after it belongs to the line end; a lone LF is an ordinary
// character, so a comment may carry one); Ctrl-Z ends the header. Numbers
// must fill their whole line.
//
// The data start after the "#DATA" line that follows the "#HDR" block, not
// at the first "#D" of the file: a comment may hold "#D", and the data must
// not start inside it. Loads are all-or-nothing.
#pragma once

#include <string>

#include "core/messages.h"
#include "core/save_result.h"
#include "core/spectrum.h"

namespace tesvar {

// Reads SP bytes into `fresh`, the record the load entry made for them (the
// format keeps its own dates: the path is not needed). Returns whether the
// file is an SP file read in full; a refusal says why in an error box.
[[nodiscard]] bool ReadSpBytes(const std::string& bytes, const std::string& path, Spectrum& fresh,
                               Messages& messages);

// The SP file bytes for the record, always as percent transmittance.
// Recomputes RawY from TransY as a side effect. A Ctrl-Z or CR in a header
// text (an import may bring one) is written as a blank: either would end
// the header or the line for the reader.
std::string BuildSpBytes(Spectrum& spectrum);

// Stamps ModDate/ModTime, builds the file and writes it over path safely
// (SaveFile: a file that cannot be created is "Could not create file PATH";
// on any failure the target is left as it was).
SaveResult WriteSpFile(const std::string& path, Spectrum& spectrum);

}  // namespace tesvar
