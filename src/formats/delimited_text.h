// Import of delimited text exports (*.csv, *.tsv, *.txt, *.dat, *.prn,
// *.dpt): x and y in columns, as spreadsheets and instrument software write
// them.
//
// A data line is a line whose first two fields are numbers; they are x and
// y, further fields are ignored. Fields are separated by a tab or a
// semicolon (blanks around them are dropped), else by commas, else by
// blanks. Where the separator is a tab, a semicolon or a blank, a comma in a
// number is its decimal point ("4000,5;85,2", "4000,5 85,2"); a line that
// holds no tab or semicolon has decimal commas only when every blank-
// separated field holds one, as "4000,5 85,2" does and "4000, 85.2" does
// not. Lines before the first data line are the header; the data end at the
// first line after them that is neither empty nor a data line, and what
// follows is a footer that is not read for data.
//
// The header may name the units: a "XUNITS" or "YUNITS" line (key and
// value separated by '=', a comma, a semicolon, a tab or ':', with or
// without a leading "##", as JCAMP-like exports write them), else the
// column headings of the last header line ("Wavenumber (cm-1),Absorbance").
// The names are honoured as unit_names.h says. A "TITLE" line gives the
// comment, an "OWNER" line the operator.
//
// The x values must lie on an even grid (x_grid.h), ascending or
// descending. Refused with a message: fewer than 2 or more than 16000
// data lines, uneven x, x or y units the record cannot hold.
#pragma once

#include <string>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// Reads the text into `fresh`, the record the load entry made for it; path
// only gives the file time stamp used as the date and time.
[[nodiscard]] bool ReadDelimitedText(const std::string& text, const std::string& path,
                                     Spectrum& fresh, Messages& messages);

}  // namespace tesvar
