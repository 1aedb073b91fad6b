// Import of Agilent / GRAMS "ASCII with header" spectra (*.asp).
//
// One number a line: 1 number of points (0: count the values), 2 first x,
// 3 last x, 4 x type, 5 y type, 6 resolution; an optional comment line
// starting with '\'' (it becomes the comment); then one y value a line.
// The x values are evenly spaced from the first to the last. The types are
// the SPC codes: x must be wavenumbers (1); y absorbance (2) is converted
// to transmittance, percent (11) divided by 100, arbitrary (0) and
// transmission (128) read as the ASCII list reads y values (128 does not
// say whether it is a fraction or percent; AdjustOrdinate decides). Other
// types are refused with a message naming them. Lines end in CR LF or LF;
// what follows the declared number of values is not read.
#pragma once

#include <string>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// Reads the text into `fresh`, the record the load entry made for it; path
// only gives the file time stamp used as the date and time.
[[nodiscard]] bool ReadAspText(const std::string& text, const std::string& path, Spectrum& fresh,
                               Messages& messages);

}  // namespace tesvar
