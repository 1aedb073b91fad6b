#include "formats/unit_names.h"

#include <initializer_list>

namespace tesvar {

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Words of a unit name: runs of letters, digits, '%' and non-ASCII bytes
// (a 'µ' in UTF-8 or Latin-1), so "(nm)" holds the word "NM" and
// "Wavelength/µm" the words "WAVELENGTH" and "µM".
std::vector<std::string> Words(const std::string& upper) {
  std::vector<std::string> words;
  std::string word;
  for (char c : upper) {
    const auto u = static_cast<unsigned char>(c);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '%' || u >= 0x80) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

bool HasWord(const std::vector<std::string>& words, std::initializer_list<std::string_view> any) {
  for (const std::string& word : words) {
    for (std::string_view wanted : any) {
      if (word == wanted) return true;
    }
  }
  return false;
}

bool Has(const std::string& upper, std::initializer_list<std::string_view> any) {
  for (std::string_view part : any) {
    if (upper.find(part) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

XUnitName ClassifyXUnit(std::string_view text) {
  XUnitName name;
  const std::string upper = Upper(text);
  const std::vector<std::string> words = Words(upper);
  // A Raman shift is written in 1/cm too: it must be named before the
  // wavenumbers are recognised.
  if (Has(upper, {"RAMAN"})) {
    name.foreign = "Raman shift";
  } else if (Has(upper, {"WAVENUMBER", "1/CM", "CM-1", "CM^-1", "CM**-1", "CM**(-1)", "CM^(-1)"}) ||
             HasWord(words, {"CM1", "KAYSER"})) {
    name.wavenumbers = true;
  } else if (HasWord(words, {"NM", "NANOMETER", "NANOMETERS", "NANOMETRE", "NANOMETRES"})) {
    name.foreign = "nm";
  } else if (HasWord(words, {"UM", "\xC2\xB5M", "\xB5M", "MICRON", "MICRONS", "MICROMETER",
                             "MICROMETERS", "MICROMETRE", "MICROMETRES"})) {
    name.foreign = "\xC2\xB5m";
  } else if (Has(upper, {"WAVELENGTH"})) {
    name.foreign = "wavelength";
  } else if (HasWord(words, {"MIN", "MINUTES", "SECONDS", "SEC", "TIME"})) {
    name.foreign = "time";
  } else if (HasWord(words, {"HZ", "KHZ", "MHZ"})) {
    name.foreign = "Hz";
  } else if (HasWord(words, {"PPM"})) {
    name.foreign = "ppm";
  } else if (Has(upper, {"M/Z"})) {
    name.foreign = "m/z";
  }
  return name;
}

YUnitName ClassifyYUnit(std::string_view text) {
  YUnitName name;
  const std::string upper = Upper(text);
  const std::vector<std::string> words = Words(upper);
  // The other quantities first: "%R" and "reflectance" also hold the
  // letters of transmittance's and absorbance's short names.
  if (Has(upper, {"REFLECT"}) || HasWord(words, {"%R", "R%"})) {
    name.foreign = "reflectance";
  } else if (Has(upper, {"KUBELKA"}) || HasWord(words, {"KM"}) || Has(upper, {"K-M"})) {
    name.foreign = "Kubelka-Munk";
  } else if (Has(upper, {"LOG(1/R)", "LOG 1/R"})) {
    name.foreign = "log(1/R)";
  } else if (Has(upper, {"COUNT"})) {
    name.foreign = "counts";
  } else if (Has(upper, {"INTENSIT"}) || HasWord(words, {"INT"})) {
    name.foreign = "intensity";
  } else if (Has(upper, {"ABSORPTIVIT"})) {
    name.foreign = "absorptivity";
  } else if (Has(upper, {"SINGLE BEAM", "SINGLEBEAM", "SINGLE-BEAM"})) {
    name.foreign = "single beam";
  } else if (Has(upper, {"INTERFEROGRAM"})) {
    name.foreign = "interferogram";
  } else if (Has(upper, {"EMISSION"})) {
    name.foreign = "emission";
  } else if (HasWord(words, {"%T", "T%"}) ||
             (Has(upper, {"TRANSM"}) && Has(upper, {"%", "PERCENT"})) ||
             HasWord(words, {"PERCENT"})) {
    name.rule = OrdinateRule::kPercent;
  } else if (Has(upper, {"TRANSM"})) {
    name.rule = Has(upper, {"FRACTION"}) ? OrdinateRule::kFraction : OrdinateRule::kAsListed;
  } else if (Has(upper, {"A.U", "ARB"})) {
    // Arbitrary units: nothing is known, the ASCII list's rule applies.
  } else if (Has(upper, {"ABSORBANCE"}) || HasWord(words, {"A", "ABS", "ABSORBANCES"})) {
    name.rule = OrdinateRule::kAbsorbance;
  }
  return name;
}

std::string ForeignXMessage(const std::string& name) {
  return "not an infrared spectrum: x in " + name;
}

std::string ForeignYMessage(const std::string& name) {
  return "not a transmittance or absorbance spectrum: y in " + name;
}

}  // namespace tesvar
