#include "formats/spc_codes.h"

namespace tesvar {

std::string XTypeName(int code) {
  switch (code) {
    case 0:
      return "arbitrary units";
    case 2:
      return "\xC2\xB5m";
    case 3:
      return "nm";
    case 4:
      return "seconds";
    case 5:
      return "minutes";
    case 6:
      return "Hz";
    case 7:
      return "kHz";
    case 8:
      return "MHz";
    case 9:
      return "m/z";
    case 10:
      return "ppm";
    case 11:
      return "days";
    case 12:
      return "years";
    case 13:
      return "Raman shift";
    case 14:
      return "eV";
    case 22:
      return "points";
    case 255:
      return "interferogram";
    default:
      return "x type " + std::to_string(code);
  }
}

std::string YTypeName(int code) {
  switch (code) {
    case 1:
      return "interferogram";
    case 3:
      return "Kubelka-Munk";
    case 4:
      return "counts";
    case 5:
      return "volts";
    case 10:
      return "log(1/R)";
    case 12:
      return "intensity";
    case 13:
      return "relative intensity";
    case 14:
      return "energy";
    case 129:
      return "reflectance";
    case 130:
      return "single beam";
    case 131:
      return "emission";
    default:
      return "y type " + std::to_string(code);
  }
}

}  // namespace tesvar
