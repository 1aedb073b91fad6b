// Import of PerkinElmer binary data sets: the `.sp` files of current
// PerkinElmer software, which begin with "PEPE" (the SP reader takes every
// other `.sp` file).
//
// Layout, little-endian: "PEPE" at byte 0, a NUL-padded description from 4
// to 43 ("2D constant interval DataSet file"), then blocks from byte 44. A
// block is a uint16 id, a uint32 size and `size` data bytes. The top level
// holds one data set block (id 0x0078) and sometimes more blocks after it
// (a code page), which are passed by. The data set's members are blocks too:
// a leaf when its data begins with a type word whose high byte is 0x75 (the
// value follows the word), else a container of further blocks. The members
// read:
//   8B72 range (751D, 2 x f64)  first and last x
//   8B74 f64 (751B/751C)        signed x interval
//   8B75 int32 (752B)           number of points
//   8B77, 8B78 text (7523)      x and y axis labels ("cm-1", "nm", "A", "%T")
//   8B79, 8B7A enum (7515)      x unit (10 cm-1, 11 nm), y unit (1 A, 2 %T,
//                               3 %R, 21 intensity)
//   8B7C array (7516)           uint32 byte count, then float64 ordinates
//   8B7D, 8B81 text             name (often a full path), alias
//   8B7F container              history, newest record first
// A text is a uint16 length and that many bytes, no NUL, in the Windows
// Latin-1 code page. A history record (0x0079) holds 8B72 operator, 8B74
// the date as text ("Thu Mar 09 09:19:21 2006", any case, sometimes
// followed by a time zone name), 8B76 a sample description and 8B77 the
// next older record: another 0x0079, or a 0x007A block holding the
// creation record (0x0079) and the instrument header, directly or in its
// 8B79 member. The infrared instrument header (0x007C) keeps the number of
// scans in 8C00 (uint16); that meaning is inferred from files in the field,
// as is everything about the history. The same ids mean other things at
// other depths, so the tree is walked level by level, never searched.
//
// x = first + i x interval; the interval must agree with the range and the
// point count. x must be wavenumbers; y in A, %T or T becomes transmittance
// (unit_names.h), any other quantity refuses the file with its name.
// Texts: the alias (else the name's file part) and the sample description
// make the comment; the creation record's operator (else the newest one
// named); its date is the acquisition date, the newest record's the
// modification date.
#pragma once

#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/spectrum.h"

namespace tesvar {

// Whether a file's first bytes are those of a PerkinElmer data set.
bool IsPeDataSet(std::string_view firstBytes);

// Imports a data set from the whole file's bytes; path only gives the file
// time stamp where the history holds no readable date. Fills `fresh`, the
// record the load entry made for it; a refusal says why in an error box.
[[nodiscard]] bool ReadPeDataSetBytes(const std::string& bytes, const std::string& path,
                                      Spectrum& fresh, Messages& messages);

}  // namespace tesvar
