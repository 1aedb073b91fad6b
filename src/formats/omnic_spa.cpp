#include "formats/omnic_spa.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "core/byte_order.h"
#include "core/date_stamp.h"
#include "formats/import_rules.h"
#include "formats/unit_names.h"

namespace tesvar {

namespace {

constexpr std::string_view kMagic = "Spectral Data File";

constexpr std::size_t kTitleOffset = 30;
constexpr std::size_t kTitleLength = 256;
constexpr std::size_t kEntryCountOffset = 294;
constexpr std::size_t kAcquisitionOffset = 296;
constexpr std::size_t kDirectoryOffset = 304;
constexpr std::size_t kEntrySize = 16;

constexpr uint8_t kHeaderKey = 2;
constexpr uint8_t kOrdinatesKey = 3;

// The spectral header up to the last x; the scans at 36 are read where
// the header reaches them.
constexpr std::size_t kHeaderMinimum = 24;
constexpr std::size_t kScansOffset = 36;

constexpr uint32_t kWavenumbers = 1;
constexpr uint32_t kPercentTransmittance = 16;
constexpr uint32_t kAbsorbance = 17;

// 1899-12-31 to 1970-01-01.
constexpr int64_t kDaysBefore1970 = 25568;

// The x units other than wavenumbers, by name.
std::string SpaXUnitName(uint32_t code) {
  switch (code) {
    case 2:
      return "data points";
    case 3:
      return "nm";
    case 4:
      return "\xC2\xB5m";
    case 32:
      return "Raman shift";
    default:
      return "x unit " + std::to_string(code);
  }
}

// The y quantities that are refused, by name.
std::string SpaYQuantityName(uint32_t code) {
  switch (code) {
    case 11:
    case 21:
      return "reflectance";
    case 12:
      return "log(1/R)";
    case 15:
      return "single beam";
    case 20:
      return "Kubelka-Munk";
    case 22:
      return "interferogram";
    case 26:
      return "photoacoustic";
    case 31:
      return "Raman intensity";
    default:
      return "y quantity " + std::to_string(code);
  }
}

// A block the directory names, known to lie inside the file.
struct Block {
  std::size_t offset = 0;
  std::size_t size = 0;
  bool found = false;
};

// The title: up to its NUL within its 256 bytes. It is one line of text in
// every export, so control characters become blanks.
std::string Title(const std::string& bytes) {
  const std::size_t available = std::min(kTitleLength, bytes.size() - kTitleOffset);
  std::string title(bytes.data() + kTitleOffset, available);
  title.resize(std::min(title.find('\0'), title.size()));
  for (char& c : title) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return title;
}

// Seconds since 1899-12-31 00:00 UTC as a UTC date and time (the file
// keeps no time zone of its own).
StampTime AcquisitionTime(uint32_t seconds) {
  const int64_t days = static_cast<int64_t>(seconds / 86400) - kDaysBefore1970;
  const int64_t ofDay = seconds % 86400;
  // Days since 1970-01-01 to the civil date, in eras of 400 years.
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  StampTime t;
  t.year = static_cast<int>(year);
  t.month = static_cast<int>(month);
  t.day = static_cast<int>(day);
  t.hour = static_cast<int>(ofDay / 3600);
  t.minute = static_cast<int>(ofDay / 60 % 60);
  t.second = static_cast<int>(ofDay % 60);
  return t;
}

}  // namespace

bool IsOmnicSpa(std::string_view firstBytes) { return firstBytes.starts_with(kMagic); }

bool ReadOmnicSpaBytes(const std::string& bytes, const std::string& path, Spectrum& s,
                       Messages& messages) {
  if (!IsOmnicSpa(bytes)) return Refuse(messages, "Unknown file format!");
  const std::size_t fileSize = bytes.size();
  if (fileSize < kDirectoryOffset) {
    return Refuse(messages, "damaged SPA file: it ends before its directory");
  }
  const int16_t entries = LittleEndianAt<int16_t>(bytes, kEntryCountOffset);
  if (entries < 0 ||
      static_cast<std::size_t>(entries) > (fileSize - kDirectoryOffset) / kEntrySize) {
    return Refuse(messages, "damaged SPA file: its directory runs past the end of the file");
  }

  // The first header and the first ordinate block the directory names.
  Block header;
  Block ordinates;
  for (std::size_t k = 0; k < static_cast<std::size_t>(entries); ++k) {
    const std::size_t at = kDirectoryOffset + k * kEntrySize;
    const uint8_t key = static_cast<uint8_t>(bytes[at]);
    Block* block = key == kHeaderKey ? &header : key == kOrdinatesKey ? &ordinates : nullptr;
    if (block == nullptr || block->found) continue;
    const std::size_t offset = LittleEndianAt<uint32_t>(bytes, at + 2);
    const std::size_t size = LittleEndianAt<uint32_t>(bytes, at + 6);
    if (offset > fileSize || size > fileSize - offset) {
      return Refuse(messages, "damaged SPA file: a block runs past the end of the file");
    }
    *block = {offset, size, true};
  }
  if (!header.found) return Refuse(messages, "damaged SPA file: no spectral header");
  if (!ordinates.found) return Refuse(messages, "damaged SPA file: no ordinates");
  if (header.size < kHeaderMinimum) {
    return Refuse(messages, "damaged SPA file: the spectral header is too short");
  }

  const uint32_t points = LittleEndianAt<uint32_t>(bytes, header.offset + 4);
  const uint32_t xUnit = LittleEndianAt<uint32_t>(bytes, header.offset + 8);
  const uint32_t yQuantity = LittleEndianAt<uint32_t>(bytes, header.offset + 12);
  const double firstX = LittleEndianAt<float>(bytes, header.offset + 16);
  const double lastX = LittleEndianAt<float>(bytes, header.offset + 20);

  if (xUnit != kWavenumbers) return Refuse(messages, ForeignXMessage(SpaXUnitName(xUnit)));
  OrdinateRule rule = OrdinateRule::kAbsorbance;
  if (yQuantity == kAbsorbance) {
    rule = OrdinateRule::kAbsorbance;
  } else if (yQuantity == kPercentTransmittance) {
    rule = OrdinateRule::kPercent;
  } else {
    return Refuse(messages, ForeignYMessage(SpaYQuantityName(yQuantity)));
  }
  if (TooManyPoints(points, messages)) return false;
  if (ordinates.size / sizeof(float) < points) {
    return Refuse(messages, "damaged SPA file: fewer ordinates than points");
  }

  std::vector<double> ys(points);
  for (std::size_t i = 0; i < points; ++i) {
    const float y = LittleEndianAt<float>(bytes, ordinates.offset + i * sizeof(float));
    if (!std::isfinite(y)) {
      return Refuse(messages,
                    "damaged SPA file: ordinate " + std::to_string(i + 1) + " is not a number");
    }
    ys[i] = y;
  }

  if (!FillFromColumns(firstX, lastX, ys, rule, s, messages)) return false;

  s.NScans = 1;
  if (header.size >= kScansOffset + sizeof(uint32_t)) {
    const uint32_t scans = LittleEndianAt<uint32_t>(bytes, header.offset + kScansOffset);
    if (scans > 0 && scans <= static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
      s.NScans = static_cast<int32_t>(scans);
    }
  }
  const uint32_t acquired = LittleEndianAt<uint32_t>(bytes, kAcquisitionOffset);
  const StampTime t = AcquisitionTime(acquired);
  std::string date, time;
  ImportDateStamp(acquired != 0 ? &t : nullptr, path, date, time);
  s.AcqDate = s.ModDate = date;
  s.AcqTime = s.ModTime = time;
  const std::string title = Title(bytes);
  s.SetComment(title.empty() ? "imported SPA file" : CutText(title));
  return true;
}

}  // namespace tesvar
