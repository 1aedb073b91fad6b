#include "formats/opus_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/byte_order.h"
#include "core/date_stamp.h"
#include "formats/import_rules.h"
#include "formats/unit_names.h"

namespace tesvar {

namespace {

constexpr std::string_view kSignature("\x0A\x0A\xFE\xFE", 4);

constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kDirectoryOffsetAt = 12;
constexpr std::size_t kBlocksInUseAt = 20;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kRecordHeaderSize = 8;  // key, NUL, value type, value size

// What a block holds is its type's low 24 bits; the top byte is the
// processing mark. A block with bits beyond these kinds (reports, peak
// tables, compact data) has other low bits and so is never taken.
constexpr uint32_t kKindBits = 0x00FFFFFF;
constexpr uint32_t kAbsorbance = 0x100F;
constexpr uint32_t kTransmittance = 0x140F;
constexpr uint32_t kStatusOfData = 0x10;  // type + 0x10: the data block's status
constexpr uint32_t kAcquisition = 0x30;
constexpr uint32_t kSample = 0xA0;
constexpr int kMarkShift = 24;

constexpr int kInt32Value = 0;
constexpr int kRealValue = 1;
constexpr int kFloat32Points = 1;  // DPF: the only data point format in the field

const std::string kDamaged = "damaged OPUS file: ";

struct Entry {
  uint32_t type = 0;
  int32_t words = 0;
  int32_t offset = 0;
};

uint32_t Mark(const Entry& e) { return e.type >> kMarkShift; }

// The block an entry names, or nullopt (with a refusal) when it does not lie
// inside the file.
std::optional<std::string_view> BlockOf(std::string_view bytes, const Entry& e,
                                        Messages& messages) {
  const std::size_t words = e.words < 0 ? SIZE_MAX : static_cast<std::size_t>(e.words);
  if (e.offset < 0 || static_cast<std::size_t>(e.offset) > bytes.size() ||
      words > (bytes.size() - static_cast<std::size_t>(e.offset)) / 4) {
    Refuse(messages, kDamaged + "a block runs past the end of the file");
    return std::nullopt;
  }
  return bytes.substr(static_cast<std::size_t>(e.offset), words * 4);
}

// The records of a parameter block, each key with its value type and bytes.
class Parameters {
 public:
  // Reads records up to END or the end of the block. False (with a
  // refusal) when a record's value runs past the block.
  bool Read(std::string_view block, Messages& messages) {
    std::size_t at = 0;
    while (block.size() - at >= kRecordHeaderSize) {
      const std::string_view key = block.substr(at, 3);
      if (key == "END") return true;
      const int type = LittleEndianAt<int16_t>(block, at + 4);
      const uint16_t words = LittleEndianAt<uint16_t>(block, at + 6);
      at += kRecordHeaderSize;
      if (std::size_t{words} * 2 > block.size() - at) {
        return Refuse(messages,
                      kDamaged + "the parameter " + Printable(key) + " runs past its block");
      }
      records_.push_back({key, type, block.substr(at, std::size_t{words} * 2)});
      at += std::size_t{words} * 2;
    }
    return true;
  }

  std::optional<int32_t> Int(std::string_view key) const {
    const Record* r = Find(key);
    if (r == nullptr || r->type != kInt32Value || r->value.size() < 4) return std::nullopt;
    return LittleEndianAt<int32_t>(r->value, 0);
  }

  std::optional<double> Real(std::string_view key) const {
    const Record* r = Find(key);
    if (r == nullptr || r->type != kRealValue || r->value.size() < 8) return std::nullopt;
    return LittleEndianAt<double>(r->value, 0);
  }

  // A text value up to its NUL; control characters become blanks, as the
  // record's header texts are one line each.
  std::optional<std::string> Text(std::string_view key) const {
    const Record* r = Find(key);
    if (r == nullptr || r->type == kInt32Value || r->type == kRealValue) return std::nullopt;
    return Printable(r->value.substr(0, r->value.find('\0')));
  }

  static std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return out;
  }

 private:
  struct Record {
    std::string_view key;
    int type;
    std::string_view value;
  };

  const Record* Find(std::string_view key) const {
    for (const Record& r : records_) {
      if (r.key == key) return &r;
    }
    return nullptr;
  }

  std::vector<Record> records_;
};

// The data block of a kind: the processed one where the file holds it both
// as measured and processed, else the first.
const Entry* DataBlock(const std::vector<Entry>& entries, uint32_t kind, bool& twice) {
  const Entry* chosen = nullptr;
  twice = false;
  for (const Entry& e : entries) {
    if ((e.type & kKindBits) != kind) continue;
    if (chosen == nullptr) {
      chosen = &e;
    } else if (Mark(*chosen) != Mark(e)) {
      twice = true;
      if (Mark(e) == 0) chosen = &e;
    }
  }
  return chosen;
}

const Entry* EntryOfType(const std::vector<Entry>& entries, uint32_t type) {
  for (const Entry& e : entries) {
    if (e.type == type) return &e;
  }
  return nullptr;
}

const Entry* FirstOfKind(const std::vector<Entry>& entries, uint32_t kind) {
  for (const Entry& e : entries) {
    if ((e.type & kKindBits) == kind) return &e;
  }
  return nullptr;
}

// The data kinds (bits 10 to 15 of a block's type) that files in the field
// hold beside or instead of the spectrum, as a refusal names them.
constexpr std::pair<int, const char*> kHeldNames[] = {
    {-1, "no data block"},   {1, "a single channel"}, {2, "an interferogram"},
    {3, "a phase spectrum"}, {12, "reflectance"},     {22, "a match result"},
};

// What a file without absorbance or transmittance holds instead, for the
// refusal: a result (reflectance, ...) before the single channel it was
// computed from, and that before the interferogram and the phase.
std::string HeldInstead(const std::vector<Entry>& entries) {
  int best = -1;
  int bestRank = 0;
  for (const Entry& e : entries) {
    const uint32_t kind = e.type & kKindBits;
    // A data block: a complex part, no parameter kind, no further bits.
    if ((kind & 0x3) == 0 || (kind & 0x3F0) != 0 || (kind & 0xFF0000) != 0) continue;
    const int dataKind = static_cast<int>(kind >> 10) & 0x3F;
    const int rank = dataKind == 1 ? 3 : dataKind == 2 ? 2 : dataKind == 3 ? 1 : 4;
    if (rank > bestRank) {
      best = dataKind;
      bestRank = rank;
    }
  }
  for (const auto& [dataKind, name] : kHeldNames) {
    if (dataKind == best) return name;
  }
  return "data kind " + std::to_string(best);
}

std::string OpusXUnitName(const std::string& code) {
  if (code == "MI") return "\xC2\xB5m";
  if (code == "LGW") return "log wavenumber";
  if (code == "PNT") return "points";
  return code.empty() ? "an unnamed unit" : code;
}

// Reads `count` digits at text[at] into value.
bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  if (at + count > text.size()) return false;
  const char* first = text.data() + at;
  const auto [end, error] = std::from_chars(first, first + count, value);
  return error == std::errc() && end == first + count;
}

// DAT "dd/mm/yyyy" and TIM "hh:mm:ss.sss (GMT+h)" of a data-status block, as
// the record's date and time. The instrument's local time is kept as
// written: the record has no time zone.
bool StampFrom(const std::string& date, const std::string& time, StampTime& t) {
  return Digits(date, 0, 2, t.day) && Digits(date, 3, 2, t.month) && Digits(date, 6, 4, t.year) &&
         t.day >= 1 && t.day <= 31 && t.month >= 1 && t.month <= 12 && Digits(time, 0, 2, t.hour) &&
         Digits(time, 3, 2, t.minute) && Digits(time, 6, 2, t.second) && t.hour < 24 &&
         t.minute < 60 && t.second < 61;
}

bool ReadParameterBlock(std::string_view bytes, const Entry* e, Parameters& out,
                        Messages& messages) {
  if (e == nullptr) return true;
  const std::optional<std::string_view> block = BlockOf(bytes, *e, messages);
  return block && out.Read(*block, messages);
}

}  // namespace

bool IsOpusFile(std::string_view firstBytes) { return firstBytes.starts_with(kSignature); }

bool ReadOpusBytes(const std::string& bytes, const std::string& path, Spectrum& s,
                   Messages& messages) {
  if (!IsOpusFile(bytes)) return Refuse(messages, "Unknown file format!");
  if (bytes.size() < kHeaderSize) return Refuse(messages, kDamaged + "it ends in its header");
  const int32_t directoryAt = LittleEndianAt<int32_t>(bytes, kDirectoryOffsetAt);
  const int32_t inUse = LittleEndianAt<int32_t>(bytes, kBlocksInUseAt);
  if (directoryAt < 0 || inUse < 0 || static_cast<std::size_t>(directoryAt) > bytes.size() ||
      static_cast<std::size_t>(inUse) >
          (bytes.size() - static_cast<std::size_t>(directoryAt)) / kEntrySize) {
    return Refuse(messages, kDamaged + "its directory runs past the end of the file");
  }
  std::vector<Entry> entries(static_cast<std::size_t>(inUse));
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const std::size_t at = static_cast<std::size_t>(directoryAt) + k * kEntrySize;
    entries[k] = {LittleEndianAt<uint32_t>(bytes, at), LittleEndianAt<int32_t>(bytes, at + 4),
                  LittleEndianAt<int32_t>(bytes, at + 8)};
  }

  bool twice = false;
  OrdinateRule rule = OrdinateRule::kAbsorbance;
  const Entry* data = DataBlock(entries, kAbsorbance, twice);
  if (data == nullptr) {
    rule = OrdinateRule::kAsListed;
    data = DataBlock(entries, kTransmittance, twice);
  }
  if (data == nullptr) {
    return Refuse(messages, "not a transmittance or absorbance spectrum: " + HeldInstead(entries));
  }
  const Entry* statusEntry = EntryOfType(entries, data->type + kStatusOfData);
  if (statusEntry == nullptr) {
    return Refuse(messages, kDamaged + "the spectrum has no data-status block");
  }
  Parameters status;
  if (!ReadParameterBlock(bytes, statusEntry, status, messages)) return false;

  const std::string xUnit = status.Text("DXU").value_or("");
  if (xUnit != "WN") return Refuse(messages, ForeignXMessage(OpusXUnitName(xUnit)));
  const int32_t format = status.Int("DPF").value_or(kFloat32Points);
  if (format != kFloat32Points) {
    return Refuse(messages, kDamaged + "data point format " + std::to_string(format));
  }
  const std::optional<int32_t> declared = status.Int("NPT");
  const std::optional<double> firstX = status.Real("FXV");
  const std::optional<double> lastX = status.Real("LXV");
  if (!declared || !firstX || !lastX) {
    return Refuse(messages, kDamaged + "the spectrum's point count or x range is missing");
  }
  const double factor = status.Real("CSF").value_or(1.0);
  if (!std::isfinite(factor) || factor == 0) {
    return Refuse(messages, kDamaged + "the y factor is not a usable number");
  }
  const std::size_t points = *declared < 0 ? 0 : static_cast<std::size_t>(*declared);
  if (TooManyPoints(points, messages)) return false;
  const std::optional<std::string_view> values = BlockOf(bytes, *data, messages);
  if (!values) return false;
  // Data blocks are often a few values longer than the count; fewer is damage.
  if (values->size() / sizeof(float) < points) {
    return Refuse(messages, kDamaged + "fewer values than points");
  }
  std::vector<double> ys(points);
  for (std::size_t i = 0; i < points; ++i) {
    const double y = LittleEndianAt<float>(*values, i * sizeof(float)) * factor;
    if (!std::isfinite(y)) {
      return Refuse(messages, kDamaged + "value " + std::to_string(i + 1) + " is not a number");
    }
    ys[i] = y;
  }

  Parameters sample;
  Parameters acquisition;
  if (!ReadParameterBlock(bytes, FirstOfKind(entries, kSample), sample, messages) ||
      !ReadParameterBlock(bytes, FirstOfKind(entries, kAcquisition), acquisition, messages)) {
    return false;
  }

  const std::string quantity = rule == OrdinateRule::kAbsorbance ? "absorbance" : "transmittance";
  const std::string which = twice ? "processed " + quantity + " read, not as measured" : "";
  if (twice) messages.Note(which);
  PanelTwoKept said(messages);
  if (!FillFromColumns(*firstX, *lastX, ys, rule, s, said)) return false;
  if (twice) messages.StatusText(2, which + "; " + said.last);

  const int32_t scans = acquisition.Int("NSS").value_or(0);
  s.NScans = scans > 0 ? scans : 1;
  s.OperatorName = CutText(sample.Text("CNM").value_or(""));
  const std::string name = sample.Text("SNM").value_or("");
  s.SetComment(name.empty() ? "imported OPUS file" : CutText(name));
  StampTime t;
  const bool dated = StampFrom(status.Text("DAT").value_or(""), status.Text("TIM").value_or(""), t);
  std::string date, time;
  ImportDateStamp(dated ? &t : nullptr, path, date, time);
  s.AcqDate = s.ModDate = date;
  s.AcqTime = s.ModTime = time;
  return true;
}

}  // namespace tesvar
