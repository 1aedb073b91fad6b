// The names of the x and y type codes of Galactic's SPC family: the binary
// .spc files and the .asp text files store their axes as these codes. The
// readers take x in wavenumbers (1) and a few y types; every other code is
// refused with a message that names the quantity it stands for.
#pragma once

#include <string>

namespace tesvar {

// The x type codes other than wavenumbers, by name ("nm", "Raman shift");
// an unknown code as "x type N".
std::string XTypeName(int code);

// The y type codes that are refused, by name ("reflectance", "counts");
// an unknown code as "y type N".
std::string YTypeName(int code);

}  // namespace tesvar
