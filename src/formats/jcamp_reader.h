// JCAMP-DX import of an infrared transmittance or absorbance spectrum.
//
// The file is read in raw lines of at most 255 bytes, each ending at the
// first CR or LF (so CR LF gives the line and then an empty line, which is
// harmless). Header lines ("##LABEL= value") are read up to the line whose
// label is "##XYDATA"; in a label, blanks, tabs and "-_/\" are dropped and
// letters are compared in capitals ("##DATA TYPE=" is "##DATATYPE=").
// Only the first data block is read, up to "##END=". Lines holding "##" or
// "$" within the data are skipped; the others go to the data line decoder
// (jcamp_decoder.h).
//
// What must hold for a load: "##DATATYPE=" (if present) names an INFRARED
// spectrum, "##YUNITS=" (if present) TRANSmittance or ABSORBance (none given
// is taken as absorbance), 2 ... 16000 points declared by "##NPOINTS=", and
// "##FIRSTX=" different from "##LASTX=", the two no further apart than a
// double can hold ("Invalid abscissa values!"). Index 0 receives the highest
// wavenumber whatever the file's order. "##XFACTOR=", "##FIRSTY=" and
// "##MINY=" are checked for being numbers and not used.
//
// The header ends at the "##XYDATA" label only, not at the text in a value:
// files in the field write "##DataClass= ##XYDATA=" before their header
// labels, so only the label part of a line counts.
//
// A file this reading refuses is read once more as instruments write it
// (jcamp_instrument.h: comments, other data type spellings, compound files,
// (XY..XY) tables, exponent numbers). So every file the plain reading takes
// keeps its record and its messages, and the second reading only opens
// files that were refused. A compound file says "block K of N" in status
// panel 2 and as a note; a conversion of absorbance is noted too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/jcamp_decoder.h"

namespace tesvar {

// Header values of one import. Texts hold at most 80 characters.
struct JcampHeader {
  std::string Title;
  std::string DataType;  // upper-cased
  std::string Origin;
  std::string Owner;
  std::string Date;
  std::string Time;
  std::string Spectrometer;
  std::string InstrumentParameters;
  std::string XUnits;
  std::string YUnits;  // upper-cased
  double XFactor = 1.0;
  double YFactor = 1.0;
  double FirstXValue = 400.0;
  double LastXValue = 4500.0;
  int32_t DeclaredPoints = 0;
  double FirstY = 0.0;
  double MaxY = 1.0;
  double MinY = 0.0;
  std::string XyDataForm;
  // Set only by "##YUNITS="; none is converted like absorbance.
  tesvar::OrdinateKind OrdinateKind = tesvar::OrdinateKind::kNone;
};

inline constexpr std::size_t kMaxJcampText = 80;

// The next raw line from text at pos: at most maxLen of the bytes before the
// first CR or LF within the next 255 bytes; pos moves past that CR or LF (or
// past the 255 bytes when none came, so a longer line goes on as the next).
std::string_view ReadRawLine(std::string_view text, std::size_t& pos,
                             std::size_t maxLen = kMaxText);

// 'a'...'z' to capitals, other bytes as they are.
void UpperCaseText(std::string& text);

// One header line (leading blanks gone, label normalised). Returns "" or the
// message that refuses the file ("no IR spectrum", "invalid ##NPOINTS= x").
std::string ParseJcampLabel(std::string_view line, JcampHeader& header);

// Reads a JCAMP-DX text into `fresh`, the record the load entry made for
// it; path only gives the file time stamp that stands in for a missing
// "##DATE=". HeaderLine3 stays empty and Model as the load entry carried it
// over. Header messages go to an error box, data line messages to status
// panel 2. A data section with fewer or more ordinates than declared still
// loads (missing ones are 0) with "##NPOINTS= n (m)" in status panel 2.
[[nodiscard]] bool ReadJcampText(const std::string& text, const std::string& path, Spectrum& fresh,
                                 Messages& messages);

}  // namespace tesvar
