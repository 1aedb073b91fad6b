// The names files give their x and y quantities ("cm-1", "Wavelength
// (nm)", "%T", "Absorbance", "Reflectance"), and what each says for reading
// them.
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
#pragma once

#include <string>
#include <string_view>

#include "formats/import_rules.h"

namespace tesvar {

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

}  // namespace tesvar
