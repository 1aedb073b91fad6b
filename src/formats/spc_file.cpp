#include "formats/spc_file.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "core/byte_order.h"
#include "core/date_stamp.h"
#include "formats/import_rules.h"
#include "formats/spc_codes.h"
#include "formats/text_lines.h"
#include "formats/unit_names.h"
#include "formats/x_grid.h"

namespace tesvar {

namespace {

// The flags byte (byte 0 of either header).
constexpr uint8_t kShortY = 0x01;        // y as 16-bit integers
constexpr uint8_t kMultifile = 0x04;     // several spectra, each with its subheader
constexpr uint8_t kOwnLabels = 0x20;     // the header holds its own axis labels
constexpr uint8_t kXPerSpectrum = 0x40;  // each spectrum lists its own x
constexpr uint8_t kXListed = 0x80;       // x listed as float32 values

constexpr uint8_t kNewVersion = 0x4B;
constexpr uint8_t kBigEndianVersion = 0x4C;
constexpr uint8_t kOldVersion = 0x4D;

constexpr std::size_t kNewHeaderSize = 512;
constexpr std::size_t kOldHeaderSize = 256;
constexpr std::size_t kOldFirstSubheader = 224;
constexpr std::size_t kSubheaderSize = 32;

// The exponent that marks float32 y values.
constexpr int kFloatExponent = -128;

constexpr const char* kHeaderIncomplete = "damaged SPC file: header incomplete";
constexpr const char* kDataIncomplete = "damaged SPC file: data incomplete";

// The file's bytes, read only where they are there: every read names an
// offset and a length that Has() has checked against the size.
class Bytes {
 public:
  explicit Bytes(const std::string& bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  // Written so that no sum can overflow.
  bool Has(std::size_t offset, std::size_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }

  uint8_t U8(std::size_t at) const { return static_cast<uint8_t>(bytes_[at]); }
  int8_t I8(std::size_t at) const { return static_cast<int8_t>(U8(at)); }
  uint16_t U16(std::size_t at) const { return Read<uint16_t>(at); }
  int16_t I16(std::size_t at) const { return Read<int16_t>(at); }
  uint32_t U32(std::size_t at) const { return Read<uint32_t>(at); }
  int32_t I32(std::size_t at) const { return Read<int32_t>(at); }
  float F32(std::size_t at) const { return Read<float>(at); }
  double F64(std::size_t at) const { return Read<double>(at); }

  // A text field of `length` bytes: up to its first NUL (what follows it
  // is often left over from an earlier text), without surrounding blanks.
  std::string Text(std::size_t at, std::size_t length) const {
    std::string_view field(bytes_.data() + at, length);
    field = field.substr(0, field.find('\0'));
    return std::string(TrimBlanks(field));
  }

 private:
  template <typename T>
  T Read(std::size_t at) const {
    return LittleEndianAt<T>(bytes_, at);
  }

  const std::string& bytes_;
};

// What the header says, in either layout.
struct Header {
  bool old = false;
  uint8_t flags = 0;
  int exponent = 0;  // the file's y exponent
  double firstX = 0;
  double lastX = 0;
  int xType = 0;
  int yType = 0;
  std::string xLabel;  // with kOwnLabels
  std::string memo;
  StampTime date;
  bool hasDate = false;
  int32_t scans = 1;
};

// Where the first spectrum lies.
struct Layout {
  std::size_t points = 0;
  std::size_t xList = 0;  // offset of its float32 x values; 0: x from the header
  std::size_t subheader = 0;
  std::size_t y = 0;
  int exponent = 0;        // kFloatExponent: float32 y
  std::size_t yBytes = 0;  // bytes of one y value
  std::size_t spectra = 1;
};

// A date of the file; false for "none" and impossible values.
bool UsableDate(const StampTime& t) {
  return t.year >= 1900 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
         t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60;
}

void ReadNewHeader(const Bytes& b, Header& h) {
  h.flags = b.U8(0);
  h.exponent = b.I8(3);
  h.firstX = b.F64(8);
  h.lastX = b.F64(16);
  h.xType = b.U8(28);
  h.yType = b.U8(29);
  // Year in bits 31-20, month 19-16, day 15-11, hour 10-6, minute 5-0.
  const uint32_t date = b.U32(32);
  if (date != 0) {
    h.date.year = static_cast<int>(date >> 20);
    h.date.month = static_cast<int>((date >> 16) & 0x0F);
    h.date.day = static_cast<int>((date >> 11) & 0x1F);
    h.date.hour = static_cast<int>((date >> 6) & 0x1F);
    h.date.minute = static_cast<int>(date & 0x3F);
    h.hasDate = UsableDate(h.date);
  }
  h.memo = b.Text(88, 130);
  h.xLabel = b.Text(218, 30);
}

void ReadOldHeader(const Bytes& b, Header& h) {
  h.old = true;
  h.flags = b.U8(0);
  h.exponent = b.I16(2);
  h.firstX = b.F32(8);
  h.lastX = b.F32(12);
  h.xType = b.U8(16);
  h.yType = b.U8(17);
  // The low 12 bits of the year; files in the field hold years such as 92
  // and 113, counted from 1900.
  const int year = b.U16(18) & 0x0FFF;
  if (year != 0) {
    h.date.year = year < 1900 ? year + 1900 : year;
    h.date.month = b.U8(20);
    h.date.day = b.U8(21);
    h.date.hour = b.U8(22);
    h.date.minute = b.U8(23);
    h.hasDate = UsableDate(h.date);
  }
  const uint16_t scans = b.U16(34);
  if (scans > 0) h.scans = scans;
  h.memo = b.Text(64, 130);
  h.xLabel = b.Text(194, 30);
}

// x must be wavenumbers: type 1, or arbitrary with the file's own x label
// naming them.
bool CheckX(const Header& h, Messages& messages) {
  if (h.xType == 1) return true;
  if (h.xType == 0 && (h.flags & kOwnLabels) != 0) {
    const XUnitName unit = ClassifyXUnit(h.xLabel);
    if (unit.wavenumbers) return true;
    if (!unit.foreign.empty()) return Refuse(messages, ForeignXMessage(unit.foreign));
  }
  return Refuse(messages, ForeignXMessage(XTypeName(h.xType)));
}

bool RuleForY(int yType, OrdinateRule& rule, Messages& messages) {
  switch (yType) {
    case 0:
    case 128:  // transmission: a fraction or a percentage, the values tell
      rule = OrdinateRule::kAsListed;
      return true;
    case 2:
      rule = OrdinateRule::kAbsorbance;
      return true;
    case 11:
      rule = OrdinateRule::kPercent;
      return true;
    default:
      return Refuse(messages, ForeignYMessage(YTypeName(yType)));
  }
}

// The y exponent and the size of a y value, once the subheader is known to
// be there. A single spectrum's scale is the file's; each spectrum of a
// multifile has its own in its subheader, taken as written even where it
// is 0. Float32 values take four bytes whatever the 16-bit flag says.
void SetYFormat(const Bytes& b, const Header& h, Layout& at) {
  at.exponent = (h.flags & kMultifile) != 0 ? static_cast<int>(b.I8(at.subheader + 1)) : h.exponent;
  at.yBytes = at.exponent != kFloatExponent && (h.flags & kShortY) != 0 ? 2 : 4;
}

// Finds the first spectrum of the new layout.
bool LocateNew(const Bytes& b, const Header& h, Layout& at, Messages& messages) {
  const bool multifile = (h.flags & kMultifile) != 0;
  if (multifile) {
    at.spectra = b.U32(24);
    if (at.spectra == 0) return Refuse(messages, "damaged SPC file: no spectrum in the multifile");
  }
  if ((h.flags & kXPerSpectrum) != 0) {
    // Each spectrum: subheader (its point count at 16), x values, y values.
    at.subheader = kNewHeaderSize;
    if (!b.Has(at.subheader, kSubheaderSize)) return Refuse(messages, kDataIncomplete);
    at.points = b.U32(at.subheader + 16);
    if (!PointCountAllowed(at.points, messages)) return false;
    at.xList = at.subheader + kSubheaderSize;
    at.y = at.xList + 4 * at.points;
  } else {
    at.points = b.U32(4);
    if (!PointCountAllowed(at.points, messages)) return false;
    at.subheader = kNewHeaderSize;
    if ((h.flags & kXListed) != 0) {
      at.xList = kNewHeaderSize;
      at.subheader += 4 * at.points;
    }
    at.y = at.subheader + kSubheaderSize;
  }
  if (!b.Has(at.subheader, kSubheaderSize)) return Refuse(messages, kDataIncomplete);
  SetYFormat(b, h, at);
  if (!b.Has(at.y, at.yBytes * at.points)) return Refuse(messages, kDataIncomplete);
  return true;
}

// Finds the first spectrum of the old layout: its subheader at 224, its y
// values from 256; further subheader and data pairs follow to the end.
bool LocateOld(const Bytes& b, const Header& h, Layout& at, Messages& messages) {
  if ((h.flags & (kXListed | kXPerSpectrum)) != 0) {
    return Refuse(messages, "SPC file of the old layout with listed x values: not supported");
  }
  const float count = b.F32(4);
  if (!(count >= 0 && count <= 1e9f) || count != std::floor(count)) {
    return Refuse(messages, "damaged SPC file: invalid number of points");
  }
  at.points = static_cast<std::size_t>(count);
  if (!PointCountAllowed(at.points, messages)) return false;
  at.subheader = kOldFirstSubheader;
  at.y = kOldHeaderSize;
  SetYFormat(b, h, at);
  if (!b.Has(at.y, at.yBytes * at.points)) return Refuse(messages, kDataIncomplete);
  if ((h.flags & kMultifile) != 0) {
    at.spectra = (b.size() - kOldFirstSubheader) / (kSubheaderSize + at.yBytes * at.points);
  }
  return true;
}

// The y values of the first spectrum, scaled by its exponent.
bool ReadY(const Bytes& b, const Header& h, const Layout& at, std::vector<double>& y,
           Messages& messages) {
  const int exponent = at.exponent;
  y.resize(at.points);
  if (exponent == kFloatExponent) {
    for (std::size_t i = 0; i < at.points; ++i) y[i] = b.F32(at.y + 4 * i);
  } else if (at.yBytes == 2) {
    const double scale = std::ldexp(1.0, exponent - 16);
    for (std::size_t i = 0; i < at.points; ++i) y[i] = b.I16(at.y + 2 * i) * scale;
  } else if (h.old) {
    // The old layout stores the high 16-bit word first, each word
    // little-endian: bytes b0 b1 b2 b3 hold b1 b0 b3 b2 from the top.
    const double scale = std::ldexp(1.0, exponent - 32);
    for (std::size_t i = 0; i < at.points; ++i) {
      const std::size_t p = at.y + 4 * i;
      const uint32_t bits = (uint32_t{b.U8(p + 1)} << 24) | (uint32_t{b.U8(p)} << 16) |
                            (uint32_t{b.U8(p + 3)} << 8) | uint32_t{b.U8(p + 2)};
      y[i] = static_cast<int32_t>(bits) * scale;
    }
  } else {
    const double scale = std::ldexp(1.0, exponent - 32);
    for (std::size_t i = 0; i < at.points; ++i) y[i] = b.I32(at.y + 4 * i) * scale;
  }
  for (const double v : y) {
    if (!std::isfinite(v)) return Refuse(messages, "damaged SPC file: an ordinate is not a number");
  }
  return true;
}

// The x range: the header's, or the ends of the listed x values when they
// are evenly spaced.
bool ReadXRange(const Bytes& b, const Header& h, const Layout& at, double& firstX, double& lastX,
                Messages& messages) {
  if (at.xList == 0) {
    firstX = h.firstX;
    lastX = h.lastX;
    return true;
  }
  std::vector<double> x(at.points);
  for (std::size_t i = 0; i < at.points; ++i) x[i] = b.F32(at.xList + 4 * i);
  if (!EvenlySpaced(x.data(), x.size())) return Refuse(messages, kUnevenXMessage);
  firstX = x.front();
  lastX = x.back();
  return true;
}

}  // namespace

bool ReadSpcBytes(const std::string& bytes, const std::string& path, Spectrum& s,
                  Messages& messages) {
  const Bytes b(bytes);
  if (!b.Has(0, 2)) return Refuse(messages, kHeaderIncomplete);
  Header h;
  switch (b.U8(1)) {
    case kNewVersion:
      if (!b.Has(0, kNewHeaderSize)) return Refuse(messages, kHeaderIncomplete);
      ReadNewHeader(b, h);
      break;
    case kOldVersion:
      if (!b.Has(0, kOldHeaderSize)) return Refuse(messages, kHeaderIncomplete);
      ReadOldHeader(b, h);
      break;
    case kBigEndianVersion:
      return Refuse(messages, "big-endian SPC files are not supported");
    default:
      return Refuse(messages, "Unknown file format!");
  }

  OrdinateRule rule = OrdinateRule::kAsListed;
  if (!CheckX(h, messages) || !RuleForY(h.yType, rule, messages)) return false;

  Layout at;
  if (!(h.old ? LocateOld(b, h, at, messages) : LocateNew(b, h, at, messages))) return false;
  double firstX = 0;
  double lastX = 0;
  std::vector<double> y;
  if (!ReadXRange(b, h, at, firstX, lastX, messages) || !ReadY(b, h, at, y, messages)) {
    return false;
  }

  std::string which;
  if (at.spectra > 1) {
    which = "spectrum 1 of " + std::to_string(at.spectra);
    messages.Note(which);
  }
  PanelTwoKept said(messages);
  if (!FillFromColumns(firstX, lastX, y, rule, s, said)) return false;
  if (!which.empty()) messages.StatusText(2, which + "; " + said.last);

  s.NScans = h.scans;
  std::string date, time;
  ImportDateStamp(h.hasDate ? &h.date : nullptr, path, date, time);
  s.AcqDate = s.ModDate = date;
  s.AcqTime = s.ModTime = time;
  s.SetComment(h.memo.empty() ? "imported SPC file" : CutText(h.memo));
  return true;
}

}  // namespace tesvar
