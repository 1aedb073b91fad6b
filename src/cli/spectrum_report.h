// What the converter prints about a spectrum and the labels it draws:
// the header as the parameters dialog shows it, and the bands that repeated
// "peak >" presses find from the first point.
#pragma once

#include <string>
#include <vector>

#include "core/spectrum.h"
#include "formats/load_result.h"
#include "plot/peak_labels.h"

namespace tesvar::cli {

// The nine fields of the parameters dialog in its order, "Caption: value",
// with the dialog's number forms (First X "4000.0", Delta X "-0.96" ...).
// Control bytes in the texts (a lone LF may stand in an SP header line)
// become '?', so that every field stays on one line.
std::vector<std::string> InfoLines(const Spectrum& spectrum);

// What --info adds after the header on how the file was read: for a file
// read as an import, "File kind: " and the kind's description; then one
// "Note: " line for each of the reader's notes (the block read, the unit
// conversion applied). A file read by the SP reader, the program's own
// format, adds a line only for a note, so its report stays the nine fields.
std::vector<std::string> LoadLines(const LoadResult& result);

// The indices of every band found by FindPeak to the right, starting at
// index 0 and going on from each find, in increasing index order.
std::vector<int> BandIndices(const Spectrum& spectrum);

// The wavenumbers of BandIndices, one RealToText41 text each ("1601.0").
std::vector<std::string> PeakLines(const Spectrum& spectrum);

// How far below a band its label is drawn, in transmittance.
inline constexpr double kBandLabelDrop = 0.03;

// One label per band (at most 255, the first ones from the left): kind 0,
// stem up to the band and text on the left, drawn kBandLabelDrop below the
// band's transmittance, at the band's wavenumber.
LabelList BandLabels(const Spectrum& spectrum);

}  // namespace tesvar::cli
