// HPGL plot files (*.plt): the whole spectrum on a pen plotter's fixed
// frame, whatever the screen's expansion or scroll position.
//
// Layout, in plotter units (Y upwards): frame 9000 x 6000 with its lower left
// corner at (1000, 1000). The file is 8-bit text with CR LF line ends, in
// this order:
//   "IN;CS0;CA7;TL0,1.0;VS10;"       initialisation (no pen select, no line end)
//   "LT 1;" ... "LT;"                dotted grid, only when the grid is on
//   "PU 1000,Y;" "PD X,Y;" x 5 ...   the curve: point 0 at the left edge, then
//                                    every second point and the last one
//   frame, ordinate ticks, numbers "  0".."100" and "%T"
//   abscissa ticks every 100 1/cm (long at multiples of 500), numbers at
//   multiples of 500, the unit "cm" with a raised "-1" at 1800 1/cm
//   "PUX,7200;SS;LB..."              the title, centred on 112.5 units a byte
//   one line per peak label          stem, leader and RealToText41 text
//   "PU;"                            end
// With comparisons, each is drawn first with pen 2 + its place (pens 2 to 9),
// then "SP1;" and the rest as above, and the legend (names beside short
// lines of each pen) before the end; the absorbance view puts the
// absorbance axis and "A" where the %T axis stands. Without either the file
// is as above, byte for byte.
// Labels (LB) end with ETX (byte 3). Coordinates are written as integers,
// rounded halves away from zero.
//
// The title's DOS code page 437 letters are sent through the alternate
// character set 7 (HP Roman Extension): SO switches to it before a run of
// translated bytes, SI back after it. The plotter is left in the alternate
// set when the title ends in a translated byte; "SS;" before the next title
// selects the standard set again.
//
// Checked with hp2xx, which ignores CS, CA, SS and the SO/SI bytes (it has
// no alternate set); the translation itself was derived from the HP Roman-8
// table, not tried on a real plotter.
#pragma once

#include <string>

#include "core/save_result.h"
#include "core/spectrum.h"
#include "plot/comparisons.h"
#include "plot/peak_labels.h"

namespace tesvar {

// The complete plot file for the spectrum.
// REQUIRES: TransY holds LastIndex + 1 values.
std::string BuildHpgl(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                      const PlotOverlay& overlay = {});

// Builds the plot and writes it over path (SaveFile: a file that cannot be
// created is "Could not create file PATH"; the target is left as it was on
// any failure).
SaveResult WriteHpglFile(const std::string& path, const Spectrum& spectrum, bool gridOn,
                         const LabelList& labels, const PlotOverlay& overlay = {});

}  // namespace tesvar
