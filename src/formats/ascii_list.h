// Import of a plain x/y list (*.asc): one pair per line.
//
// A data line holds only separators " ,\t" and number characters
// "+-.0123456789eE"; its first number is x, its second y, anything after is
// ignored. Every other line (empty, with "##", with letters of a heading) is
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
#include "formats/load_result.h"

namespace tesvar {

// Imports from text; path only gives the file time stamp used as the date
// and time. All-or-nothing as the JCAMP-DX import.
[[nodiscard]] bool ParseAsciiList(const std::string& text, const std::string& path,
                                  Spectrum& current, Messages& messages);

// Loads the file through the load entry (file_kinds.h) with this reader; a
// file that cannot be read is refused with the error box "File read error!".
LoadResult ReadAsciiList(const std::string& path, Spectrum& current);

// Reverses the order of points 0 ... LastIndex in TransY and RawY.
void ReverseSpectrum(Spectrum& s);

// Sets the abscissae of `count` points read in file order from firstX to
// lastX: index 0 holds the highest wavenumber, so a list that ascends is
// reversed. Sets NPoints, LastIndex, XStart, XEnd, FirstX, LastX and DeltaX
// (XStep is left to the caller: the ASCII list sets it after AdjustOrdinate).
void PlaceListedPoints(Spectrum& s, int count, double firstX, double lastX);

}  // namespace tesvar
