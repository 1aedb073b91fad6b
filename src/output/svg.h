// SVG 1.0 drawings (*.svg) of the whole spectrum.
//
// The picture follows the HPGL plot (same axis, ticks and numbers) on a
// canvas of 1200 x 400 user units shown as 16 cm x 8 cm, Y downwards: frame
// from x 100 (1090 wide) and from y 10 down to 350. Every number in the
// document is an integer: wavenumbers map to 100 + Round(axis offset), a
// transmittance t to 350 + Round(-340 t), both Round with ties to even.
// Lines end in CR LF; the document is, in order:
//   XML declaration, SVG 1.0 doctype, <svg> root (two lines each)
//   <desc>IR spectrum of TITLE</desc>, the generator comment
//   the title text (if any), centred above the frame at y -5
//   the blue grid group (only when the grid is on)
//   one polyline of points 1..LastIndex, a line end after every 8th pair
//   the frame rectangle, the axes group (ticks, numbers, "%T", "cm" "-1")
//   the peak-label group (only when there are labels)
// With comparisons, their polylines (each in its colour, clipped to the
// frame) come before the spectrum's and a legend group after the labels; the
// absorbance view puts the absorbance axis and "A" where the %T axis stands.
// Without either, the document is as above, byte for byte.
//
// Titles come from old files in an 8-bit code page and may hold "&" or "<":
// they are written escaped and as UTF-8 (bytes 0x80-0xFF read as
// Windows-1252, its five unassigned codes as Latin-1), and control bytes,
// which XML cannot hold, become U+FFFD, so the document is always
// well-formed.
#pragma once

#include <string>

#include "core/save_result.h"
#include "core/spectrum.h"
#include "plot/comparisons.h"
#include "plot/peak_labels.h"

namespace tesvar {

// REQUIRES: TransY holds LastIndex + 1 values.
std::string BuildSvg(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                     const PlotOverlay& overlay = {});

// Builds the document and writes it over path (SaveFile: a file that cannot be
// created is "Could not create file PATH"; the target is left as it was on
// any failure).
SaveResult WriteSvgFile(const std::string& path, const Spectrum& spectrum, bool gridOn,
                        const LabelList& labels, const PlotOverlay& overlay = {});

// An 8-bit title as XML character data in UTF-8 (see above).
std::string TitleAsXmlText(const std::string& title);

}  // namespace tesvar
