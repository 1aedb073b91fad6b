// Import of a plain x/y list (*.asc): one pair per line.
//
// A data line holds only separators " ,\t" and number characters
// "+-.0123456789eE"; its first number is x, its second y, anything after is
// ignored. One exception: where x is followed by blanks or tabs and the
// ordinate is digits, a comma and digits, the only comma of the line, the
// comma is the decimal sign ("3998.0 0,92" reads y 0.92) and the load notes
// "decimal commas read". Every other line (empty, with "##", with letters of a heading) is
// skipped silently, but a line mentioning "scans" sets NScans first. Lines
// end in CR LF, LF or CR and are read up to 255 characters.
//
// Only the first and the last x are used: the points are taken as evenly
// spaced between them, and an ascending list is reversed so that index 0
// holds the highest wavenumber. The y values are taken as transmittance;
// percent values are brought to fractions by AdjustOrdinate.
//
// Refused, with nothing loaded: fewer than 2 data lines ("Not enough data
// points!"), more than 16000 ("Too many data points!"), the same first and
// last x ("First and last X are equal!", which would give the plot no
// width), first and last x further apart than a double holds ("Invalid
// abscissa values!"), and an x or y that does not convert (status panel 2).
#pragma once

#include <string>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// Reads the list into `fresh`, the record the load entry made for it; path
// only gives the file time stamp used as the date and time.
[[nodiscard]] bool ReadAsciiListText(const std::string& text, const std::string& path,
                                     Spectrum& fresh, Messages& messages);

}  // namespace tesvar
