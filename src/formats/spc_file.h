// Import of Galactic SPC files (*.spc), the binary exchange format that
// most infrared software writes.
//
// Two little-endian layouts are read: the new one (version byte 0x4B, a
// 512-byte header) and the old one (0x4D, a 256-byte header whose 32-bit
// integers keep their high 16-bit word first). The big-endian variant of
// the new layout (0x4C) is refused with a message.
//
// A file holds one spectrum or, as a multifile, several of one kind; the
// first is read and status panel 2 says "spectrum 1 of N". x is evenly
// spaced from the header's first to last x, or listed as a float32 array
// (for all spectra, or per spectrum), which is read only when its values lie
// on an even grid. y is stored as float32, or as 32-bit or 16-bit integers
// scaled by 2^(e-32) or 2^(e-16), where e is the file's exponent for a
// single spectrum and each spectrum's own exponent in a multifile (e = -128
// marks float32).
//
// x must be wavenumbers: x type 1, or 0 with the file's own axis labels
// naming wavenumbers. y type 2 (absorbance) becomes T = 10^-A, 11 (percent)
// is divided by 100, 128 (transmission, fraction or percent) and 0
// (arbitrary) are read as the ASCII list reads y values; every other x or y
// type is refused naming the quantity. The memo becomes the comment, the
// file's date the acquisition date (the file time stamp where it has none).
#pragma once

#include <string>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// Imports the whole file's bytes; path only gives the file time stamp used
// where the file has no date. Fills `fresh`, the record the load entry made
// for it; a refusal goes to an error box.
[[nodiscard]] bool ReadSpcBytes(const std::string& bytes, const std::string& path, Spectrum& fresh,
                                Messages& messages);

}  // namespace tesvar
