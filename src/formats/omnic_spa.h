// Import of Thermo OMNIC spectra (*.spa), a binary format.
//
// The file begins with "Spectral Data File". At 30 stands the title
// (NUL-terminated, at most 256 bytes, Latin-1), at 294 an int16 count of
// directory entries, at 296 the acquisition time (u32 seconds since
// 1899-12-31 00:00 UTC), and from 304 the directory: 16 bytes an entry,
// +0 the block's key (u8), +2 its offset and +6 its size (u32 each). Block 2
// is the spectral header: +4 the point count, +8 the x unit, +12 the y
// quantity (u32 each), +16 and +20 the first and last x (float32), +36 the
// number of scans. Block 3 holds the ordinates as float32, in the order of
// the x values from the first to the last. The other blocks (history,
// interferograms, experiment settings) have no place in the record.
//
// x must be wavenumbers (unit 1). y in absorbance (17) is converted to
// transmittance, percent transmittance (16) divided by 100; every other
// quantity (reflectance, Kubelka-Munk, single beam, ...) is refused with a
// message naming it. The title becomes the comment and the acquisition
// time the date. Every offset, count and size is checked against the file
// before it is used: a damaged file is refused with a message.
#pragma once

#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// Whether the first bytes are those of an OMNIC spectrum file.
bool IsOmnicSpa(std::string_view firstBytes);

// Imports from the file's bytes; path gives the file time stamp used as the
// date where the file keeps no acquisition time. Fills `fresh`, the record
// the load entry made for it.
[[nodiscard]] bool ReadOmnicSpaBytes(const std::string& bytes, const std::string& path,
                                     Spectrum& fresh, Messages& messages);

}  // namespace tesvar
