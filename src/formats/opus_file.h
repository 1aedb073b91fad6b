// Import of Bruker OPUS files, a binary format. Instruments name them by a
// running counter ("sample.0", "run.001"), so only the first bytes,
// 0A 0A FE FE, say what they are.
//
// Little-endian throughout. A 24-byte header gives at 12 the offset of the
// directory and at 20 the number of blocks in use; a directory entry is
// 12 bytes: the block's type, its length in 4-byte words and its offset
// from the start of the file. The type's low 24 bits say what the block
// holds (0x100F absorbance, 0x140F transmittance, +0x10 the data-status
// parameters of that data block: point count, first and last x, y factor,
// x unit, date and time); its top byte marks a block as measured (0x40) or
// written again by a later processing step (0x00). Parameter blocks are
// records of a 3-letter key and NUL, an int16 value type, an int16 value
// size in 2-byte words and the value (int32, float64 or a NUL-terminated
// text), up to the key END. Data blocks hold float32 values.
//
// The spectrum is the absorbance, else the transmittance; where the file
// holds it as measured and as processed, the processed one, which is what
// the instrument's software shows as the file's result. x must be
// wavenumbers. Every offset, length and count is checked against the file
// before it is used: a damaged file is refused with a message.
#pragma once

#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// Whether the first bytes are those of an OPUS file.
bool IsOpusFile(std::string_view firstBytes);

// Imports from the file's bytes; path gives the file time stamp used as the
// date where the data block has none. Fills `fresh`, the record the load
// entry made for it.
[[nodiscard]] bool ReadOpusBytes(const std::string& bytes, const std::string& path, Spectrum& fresh,
                                 Messages& messages);

}  // namespace tesvar
