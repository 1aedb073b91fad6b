// JCAMP-DX as instruments and their programs write it, brought into the form
// the JCAMP-DX reader (jcamp_reader.h) reads. The reader reads a file as it
// always has first; only a file it refuses is read again through this.
//
// What the files in the field hold that the plain reading does not take:
// - "$$" starts a comment that runs to the line end, after numeric header
//   values ("##NPOINTS= 3951 $$ counted") and on data lines. Text values
//   (TITLE, OWNER, ...) keep what they hold.
// - Labels in any case ("##xydata="): compared in capitals, without blanks,
//   tabs and "-_/\", as the reader compares them.
// - Data types other than "INFRARED ..." for an infrared spectrum ("IR
//   SPECTRUM", "FTIR", "FT-IR SPECTRUM"), taken when x is in wavenumbers
//   ("1/CM", "CM-1", "WAVENUMBERS", any case). Peak tables, interferograms
//   and link blocks are no spectrum to show.
// - Compound files ("##DATA TYPE= LINK", "##BLOCKS= n"): child blocks
//   "##TITLE=" ... "##END=" after the link header; the first that is an
//   infrared spectrum in transmittance or absorbance is read.
// - (XY..XY) tables ("##XYPOINTS=" or "##XYDATA= (XY..XY)"): x,y pairs
//   separated by ",", ";", blanks or tabs. The record keeps an even x grid,
//   so the x values (times XFACTOR) must lie on one (x_grid.h); first and
//   last x and the count are taken from the table itself.
// Numbers in exponent form on data lines are read by the data line decoder
// (XyDecodeState::ExponentNumbers), which the reader sets for this reading.
#pragma once

#include <string>
#include <string_view>

namespace tesvar {

struct InstrumentJcamp {
  // The file in the reader's form; empty with `refusal` set when refused.
  std::string text;
  // Why the file cannot be read ("no IR spectrum", "x values are not evenly
  // spaced"); "" when it can be tried.
  std::string refusal;
  // "block K of N" when a block of a compound file was taken, else "".
  std::string block;
  // Whether an (XY..XY) table was rewritten as y values.
  bool table = false;
};

InstrumentJcamp RewriteInstrumentJcamp(std::string_view text);

// Whether a file's first bytes are JCAMP-DX beyond doubt: after an optional
// UTF-8 byte order mark and blank lines, the first line is a "##TITLE="
// label, and a "##JCAMP-DX=" label (any spelling: "##JCAMP_DX=",
// "##JCAMPDX=", any case) follows among the lines seen. Text exports that
// borrow "##TITLE=" lines without that label are not taken.
bool LooksLikeJcamp(std::string_view firstBytes);

}  // namespace tesvar
