#include "formats/ascii_list_writer.h"

#include <algorithm>
#include <cmath>

#include "core/file_io.h"
#include "core/number_text.h"

namespace tesvar {

std::string BuildAsciiList(const Spectrum& spectrum) {
  const int last = std::min(spectrum.LastIndex, kArraySlots - 1);
  std::string out;
  // "4000.0000\t0.853125\r\n" is 20 bytes; wider wavenumbers only grow it.
  out.reserve(24 * static_cast<std::size_t>(std::max(last + 1, 0)));
  for (int i = 0; i <= last; ++i) {
    const double y = spectrum.TransY[i];
    if (!std::isfinite(y)) return std::string();
    out += FormatFixed(spectrum.PointX(i), 4);
    out += '\t';
    out += FormatFixed(y, 6);
    out += "\r\n";
  }
  return out;
}

SaveResult WriteAsciiListFile(const std::string& path, const Spectrum& spectrum) {
  std::string text = BuildAsciiList(spectrum);
  if (text.empty() && spectrum.LastIndex >= 0)
    return SaveResult::NotWritten("Invalid ordinate value!");
  return SaveFile(path, text);
}

}  // namespace tesvar
