// The byte order the program is built for, checked once at compile time.
// Binary spectrum files (Galactic SPC, Thermo OMNIC, PerkinElmer data sets)
// store their numbers little-endian, and the JCAMP-DX data line readers take
// the first byte of a loaded word for its lowest: all of them copy bytes
// into numbers as they stand, which is right on little-endian processors
// alone.
#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <string_view>

static_assert(std::endian::native == std::endian::little,
              "file numbers and text words are read in the machine's byte order");

namespace tesvar {

// The little-endian number of type T at bytes[at]. The caller has checked
// that at + sizeof(T) <= bytes.size(); the copy has no alignment needs.
template <typename T>
T LittleEndianAt(std::string_view bytes, std::size_t at) {
  T value;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

}  // namespace tesvar
