// What the readers of instrument text exports share: reading the names of
// x and y units from a header, and turning x/y columns into the record.
//
// The record holds transmittance against wavenumber. A header that names
// its units is taken at its word: percent transmittance is divided by 100,
// absorbance becomes T = 10^-A, a fraction stays as it is. A y column of
// unnamed units, or named only "transmittance", is read as the ASCII list
// reads its y values: as transmittance, brought to fractions by
// AdjustOrdinate when its largest value says percent. x named in anything
// but wavenumbers (nm, µm, wavelength, Raman shift), or y in a quantity
// other than transmittance or absorbance (reflectance, counts, intensity,
// Kubelka-Munk), refuses the file: the record cannot show such data, and a
// plot that looked like an infrared spectrum would mislead.
//
// Whatever rule applied is said in status panel 2 and as a note of the
// load ("percent transmittance", "absorbance converted to transmittance").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/text_lines.h"

namespace tesvar {

// How the y values of a file become transmittance fractions.
enum class OrdinateRule {
  kAsListed,    // the ASCII list's rule: as listed, AdjustOrdinate when needed
  kPercent,     // percent transmittance: divided by 100
  kFraction,    // transmittance as a fraction: as listed
  kAbsorbance,  // absorbance: T = 10^-A
};

// What a header's name for the x quantity says.
struct XUnitName {
  bool wavenumbers = false;  // 1/cm, cm-1, wavenumbers
  std::string foreign;       // "nm", "Raman shift", ...: names a quantity the record cannot hold
};
XUnitName ClassifyXUnit(std::string_view text);

// What a header's name for the y quantity says: the rule it asks for, or in
// `foreign` the other quantity it names ("reflectance", "counts").
struct YUnitName {
  OrdinateRule rule = OrdinateRule::kAsListed;
  std::string foreign;
};
YUnitName ClassifyYUnit(std::string_view text);

// The refusal texts for a foreign x or y quantity.
std::string ForeignXMessage(const std::string& name);  // "not an infrared spectrum: x in nm"
std::string ForeignYMessage(const std::string& name);

// Fills s from y values in file order over x from firstX to lastX (evenly
// spaced; the caller has checked them). The points are put in descending
// wavenumber order, y converted by `rule`, and the abscissa, scale and
// raw fields set as for every import; the header texts, dates and scans
// are the caller's. Refuses (error box, false) fewer than 2 or more than
// 16000 points and equal or unusable ends.
// REQUIRES: s is a fresh record (Spectrum::FreshFrom).
[[nodiscard]] bool FillFromColumns(double firstX, double lastX, const std::vector<double>& y,
                                   OrdinateRule rule, Spectrum& s, Messages& messages);

// The text without leading and trailing blanks, tabs and line end bytes.
std::string_view TrimBlanks(std::string_view text);

}  // namespace tesvar
