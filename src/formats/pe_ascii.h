// Import of PerkinElmer ASCII exports ("PEDS" text, often named *.asc).
//
// The header has the layout of the SP file's up to "#HDR" (line 1 the
// identification "PE IR", "PE UV" or "PE FL" in 12-character fields with
// "ASCII" among them; 3 source file; 4-7 dates and times; 8 operator;
// 9 sample description; 10 last x; 11 scans), and its fields are read as
// the SP reader reads them. The instrument block that follows varies in
// length, so the "#HDR", "#GR" and "#DATA" lines are searched for. After
// "#GR": x unit ("CM-1"; "NM" in UV and fluorescence exports), y unit
// ("%T", "A"; empty in fluorescence), y factor and offset (the data are
// already in the y unit: neither is applied), first x, x step, number of
// points. After "#DATA": one "x<TAB>y" line a point, trailing blanks
// allowed.
//
// x must be in wavenumbers, y in a unit unit_names.h accepts; the x values
// must lie on an even grid. Refused with a message otherwise, and when the
// data lines are fewer than the declared points. Written from the layout of
// real IR and fluorescence exports; no IR export with a licence that allows
// keeping it was found, so the tests build theirs from that layout.
#pragma once

#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// Whether the first bytes are a PerkinElmer ASCII export: the first line
// starts with "PE IR", "PE UV" or "PE FL" and names "ASCII". The binary SP
// files start with "PE IR" too but name "BINARY" there.
bool IsPeAsciiExport(std::string_view firstBytes);

// Reads the export into `fresh`, the record the load entry made for it.
[[nodiscard]] bool ReadPeAsciiText(const std::string& text, const std::string& path,
                                   Spectrum& fresh, Messages& messages);

}  // namespace tesvar
