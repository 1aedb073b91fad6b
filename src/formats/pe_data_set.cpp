#include "formats/pe_data_set.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "core/byte_order.h"
#include "core/date_stamp.h"
#include "formats/import_rules.h"
#include "formats/unit_names.h"

namespace tesvar {

namespace {

constexpr std::string_view kMagic = "PEPE";
constexpr std::size_t kFirstBlock = 44;  // after the magic and the description
constexpr std::size_t kBlockHeader = 6;  // uint16 id, uint32 size
constexpr std::size_t kTypeWord = 2;

// Block ids.
constexpr uint16_t kDataSet = 0x0078;
constexpr uint16_t kHistoryRecord = 0x0079;
constexpr uint16_t kCreation = 0x007A;
constexpr uint16_t kInfraredHeader = 0x007C;
// Members of the data set.
constexpr uint16_t kXRange = 0x8B72;
constexpr uint16_t kXInterval = 0x8B74;
constexpr uint16_t kPointCount = 0x8B75;
constexpr uint16_t kXLabel = 0x8B77;
constexpr uint16_t kYLabel = 0x8B78;
constexpr uint16_t kXUnit = 0x8B79;
constexpr uint16_t kYUnit = 0x8B7A;
constexpr uint16_t kOrdinates = 0x8B7C;
constexpr uint16_t kName = 0x8B7D;
constexpr uint16_t kHistory = 0x8B7F;
constexpr uint16_t kAlias = 0x8B81;
// Members of a history record.
constexpr uint16_t kOperator = 0x8B72;
constexpr uint16_t kDate = 0x8B74;
constexpr uint16_t kSampleDescription = 0x8B76;
constexpr uint16_t kOlderRecord = 0x8B77;
// Members of a creation block and of the infrared instrument header.
constexpr uint16_t kInstrument = 0x8B79;
constexpr uint16_t kScans = 0x8C00;

// Type words of leaves.
constexpr uint16_t kInt32 = 0x752B;
constexpr uint16_t kUint16 = 0x752C;
constexpr uint16_t kEnum = 0x7515;
constexpr uint16_t kFloat64 = 0x751C;
constexpr uint16_t kFloat64Too = 0x751B;
constexpr uint16_t kRange = 0x751D;
constexpr uint16_t kText = 0x7523;
constexpr uint16_t kArray = 0x7516;

// Unit codes.
constexpr int kUnitWavenumbers = 10;
constexpr int kUnitNanometres = 11;
constexpr int kUnitAbsorbance = 1;
constexpr int kUnitPercentT = 2;
constexpr int kUnitPercentR = 3;
constexpr int kUnitIntensity = 21;

// A block: its id and where its data lies in the file.
struct Block {
  uint16_t id = 0;
  std::size_t at = 0;    // offset of the block header
  std::size_t data = 0;  // offset of the data
  std::size_t size = 0;  // bytes of data

  // The leaf's type word, or 0 for a container.
  uint16_t Type(const std::string& bytes) const {
    if (size < kTypeWord) return 0;
    const auto word = LittleEndianAt<uint16_t>(bytes, data);
    return (word >> 8) == 0x75 ? word : 0;
  }
  bool IsContainer(const std::string& bytes) const { return Type(bytes) == 0; }
};

std::string Hex(uint16_t id) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out(4, '0');
  for (int i = 3; i >= 0; --i, id = static_cast<uint16_t>(id >> 4)) out[i] = digits[id & 15];
  return out;
}

// Reading fails with a message that names the place.
struct Damage {
  std::string text;
};

[[noreturn]] void Fail(const std::string& what, std::size_t at) {
  throw Damage{"damaged PerkinElmer data set: " + what + " at byte " + std::to_string(at)};
}

// The blocks of one level, [begin, end), in order. Every block must lie
// wholly inside the level.
class Blocks {
 public:
  Blocks(const std::string& bytes, std::size_t begin, std::size_t end)
      : bytes_(bytes), at_(begin), end_(end) {}
  explicit Blocks(const std::string& bytes, const Block& container)
      : Blocks(bytes, container.data, container.data + container.size) {}

  bool Next(Block& block) {
    if (at_ == end_) return false;
    if (end_ - at_ < kBlockHeader) Fail("block header cut short", at_);
    block.id = LittleEndianAt<uint16_t>(bytes_, at_);
    const auto size = LittleEndianAt<uint32_t>(bytes_, at_ + 2);
    if (size > end_ - at_ - kBlockHeader) {
      Fail("block " + Hex(block.id) + " runs past its end", at_);
    }
    block.at = at_;
    block.data = at_ + kBlockHeader;
    block.size = size;
    at_ = block.data + block.size;
    return true;
  }

 private:
  const std::string& bytes_;
  std::size_t at_;
  std::size_t end_;
};

// Leaf values. Each checks the type word and that the value fits the leaf.
class Leaf {
 public:
  Leaf(const std::string& bytes, const Block& block) : bytes_(bytes), block_(block) {}

  void Expect(uint16_t type, std::size_t valueBytes, const char* what) const {
    if (block_.Type(bytes_) != type || block_.size - kTypeWord < valueBytes) {
      Fail("member " + Hex(block_.id) + " is not " + what, block_.at);
    }
  }
  void ExpectEither(uint16_t a, uint16_t b, std::size_t valueBytes, const char* what) const {
    Expect(block_.Type(bytes_) == b ? b : a, valueBytes, what);
  }
  template <class T>
  T Value(std::size_t offset = 0) const {
    return LittleEndianAt<T>(bytes_, block_.data + kTypeWord + offset);
  }

  int Int32() const {
    Expect(kInt32, 4, "an integer");
    return Value<int32_t>();
  }
  int Enum() const {
    Expect(kEnum, 2, "a code");
    return Value<int16_t>();
  }
  int Uint16() const {
    Expect(kUint16, 2, "a number");
    return Value<uint16_t>();
  }
  double Float64() const {
    ExpectEither(kFloat64, kFloat64Too, 8, "a number");
    return Value<double>();
  }
  std::pair<double, double> Range() const {
    Expect(kRange, 16, "a range");
    return {Value<double>(), Value<double>(8)};
  }
  std::string Text() const {
    Expect(kText, 2, "a text");
    const std::size_t length = Value<uint16_t>();
    if (length > block_.size - kTypeWord - 2)
      Fail("text " + Hex(block_.id) + " too long", block_.at);
    return bytes_.substr(block_.data + kTypeWord + 2, length);
  }
  // The array's float64 values: where they start and how many there are.
  std::pair<std::size_t, std::size_t> Array() const {
    Expect(kArray, 4, "an array");
    const std::size_t length = Value<uint32_t>();
    if (length > block_.size - kTypeWord - 4 || length % 8 != 0) {
      Fail("array " + Hex(block_.id) + " of a wrong length", block_.at);
    }
    return {block_.data + kTypeWord + 4, length / 8};
  }

 private:
  const std::string& bytes_;
  const Block& block_;
};

struct HistoryRecord {
  std::string operatorName;
  std::string date;
  std::string sampleDescription;
};

struct History {
  std::vector<HistoryRecord> records;  // newest first; the last is the oldest kept
  int scans = 0;                       // 0: not known
};

HistoryRecord ReadRecord(const std::string& bytes, const Block& record, Block& older,
                         bool& hasOlder) {
  HistoryRecord out;
  Blocks members(bytes, record);
  Block m;
  while (members.Next(m)) {
    switch (m.id) {
      case kOperator:
        out.operatorName = Leaf(bytes, m).Text();
        break;
      case kDate:
        out.date = Leaf(bytes, m).Text();
        break;
      case kSampleDescription:
        out.sampleDescription = Leaf(bytes, m).Text();
        break;
      case kOlderRecord:
        if (m.IsContainer(bytes)) {
          older = m;
          hasOlder = true;
        }
        break;
      default:
        break;
    }
  }
  return out;
}

// The scans of an infrared instrument header.
int ReadScans(const std::string& bytes, const Block& header) {
  Blocks members(bytes, header);
  Block m;
  while (members.Next(m)) {
    if (m.id == kScans) return Leaf(bytes, m).Uint16();
  }
  return 0;
}

// The creation block: the oldest record and the instrument header, the
// header either directly inside or within its instrument member.
void ReadCreation(const std::string& bytes, const Block& creation, History& history) {
  Blocks members(bytes, creation);
  Block m;
  while (members.Next(m)) {
    if (!m.IsContainer(bytes)) continue;
    if (m.id == kHistoryRecord) {
      Block unused;
      bool hasOlder = false;
      history.records.push_back(ReadRecord(bytes, m, unused, hasOlder));
    } else if (m.id == kInfraredHeader) {
      history.scans = ReadScans(bytes, m);
    } else if (m.id == kInstrument) {
      Blocks inner(bytes, m);
      Block h;
      while (inner.Next(h)) {
        if (h.id == kInfraredHeader && h.IsContainer(bytes)) history.scans = ReadScans(bytes, h);
      }
    }
  }
}

// Follows the chain of records from the newest down. Each step goes into a
// block inside the one before, so the walk ends within the file.
History ReadHistory(const std::string& bytes, const Block& container) {
  History history;
  Block level = container;
  for (;;) {
    Blocks blocks(bytes, level);
    Block b;
    bool next = false;
    while (!next && blocks.Next(b)) {
      if (!b.IsContainer(bytes)) continue;
      if (b.id == kHistoryRecord) {
        Block older;
        bool hasOlder = false;
        history.records.push_back(ReadRecord(bytes, b, older, hasOlder));
        if (!hasOlder) return history;
        level = older;
        next = true;
      } else if (b.id == kCreation) {
        ReadCreation(bytes, b, history);
        return history;
      }
    }
    if (!next) return history;
  }
}

// "Thu Mar 09 09:19:21 2006", in any case, with anything after the year.
bool ParseHistoryDate(std::string_view text, StampTime& t) {
  std::vector<std::string_view> words;
  while (!text.empty() && words.size() < 5) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    text.remove_prefix(start);
    const std::size_t end = std::min(text.find(' '), text.size());
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  if (words.size() < 5) return false;
  static constexpr std::string_view kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  std::string month(words[1]);
  for (char& c : month) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  t.month = 0;
  for (int i = 0; i < 12; ++i) {
    if (month == kMonths[i]) t.month = i + 1;
  }
  const auto number = [](std::string_view digits, int& value) {
    if (digits.empty() || digits.size() > 4) return false;
    value = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    return true;
  };
  const std::string_view clock = words[3];
  if (t.month == 0 || !number(words[2], t.day) || !number(words[4], t.year) || clock.size() != 8 ||
      clock[2] != ':' || clock[5] != ':' || !number(clock.substr(0, 2), t.hour) ||
      !number(clock.substr(3, 2), t.minute) || !number(clock.substr(6, 2), t.second)) {
    return false;
  }
  return t.day >= 1 && t.day <= 31 && t.hour < 24 && t.minute < 60 && t.second < 61;
}

bool DateFromHistory(const std::string& text, std::string& date, std::string& time) {
  StampTime t;
  if (!ParseHistoryDate(text, t)) return false;
  // The date form of every import's dates.
  SetShortDateFormat("dd/mm/yyyy");
  date = FormatDatePattern(ShortDateFormat(), t, '/');
  time = FormatLongTime(t);
  return true;
}

// How the y values become transmittance: by the label where it names the
// quantity, else by the unit code. Refuses with the quantity's name.
OrdinateRule YRule(const std::string& label, bool haveLabel, int code) {
  if (label == "A") return OrdinateRule::kAbsorbance;
  if (label == "%T") return OrdinateRule::kPercent;
  if (label == "T") return OrdinateRule::kFraction;
  const YUnitName named = ClassifyYUnit(label);
  if (!named.foreign.empty()) throw Damage{ForeignYMessage(named.foreign)};
  if (named.rule != OrdinateRule::kAsListed) return named.rule;
  if (label.find("ransm") != std::string::npos || label.find("RANSM") != std::string::npos) {
    return OrdinateRule::kAsListed;  // transmittance of no stated scale
  }
  switch (code) {
    case kUnitAbsorbance:
      return OrdinateRule::kAbsorbance;
    case kUnitPercentT:
      return OrdinateRule::kPercent;
    case kUnitPercentR:
      throw Damage{ForeignYMessage("reflectance")};
    case kUnitIntensity:
      throw Damage{ForeignYMessage("intensity")};
    default:
      break;
  }
  if (haveLabel && !label.empty()) throw Damage{ForeignYMessage(CutText(label, 40))};
  throw Damage{ForeignYMessage(code >= 0 ? "y unit " + std::to_string(code) : "no stated unit")};
}

void CheckX(const std::string& label, bool haveLabel, int code) {
  const XUnitName named = ClassifyXUnit(label);
  if (!named.foreign.empty()) throw Damage{ForeignXMessage(named.foreign)};
  if (code == kUnitNanometres) throw Damage{ForeignXMessage("nm")};
  if (named.wavenumbers || code == kUnitWavenumbers) return;
  if (haveLabel && !label.empty()) throw Damage{ForeignXMessage(CutText(label, 40))};
  throw Damage{ForeignXMessage(code >= 0 ? "x unit " + std::to_string(code) : "no stated unit")};
}

struct DataSet {
  bool haveRange = false, haveInterval = false, havePoints = false, haveOrdinates = false;
  bool haveXLabel = false, haveYLabel = false, haveHistory = false;
  std::pair<double, double> range;
  double interval = 0;
  std::size_t intervalAt = 0;
  int points = 0;
  std::string xLabel, yLabel, name, alias;
  int xUnit = -1, yUnit = -1;
  Block ordinates, history;
};

DataSet ReadDataSet(const std::string& bytes, const Block& set) {
  DataSet d;
  Blocks members(bytes, set);
  Block m;
  while (members.Next(m)) {
    const Leaf leaf(bytes, m);
    switch (m.id) {
      case kXRange:
        d.range = leaf.Range();
        d.haveRange = true;
        break;
      case kXInterval:
        d.interval = leaf.Float64();
        d.intervalAt = m.at;
        d.haveInterval = true;
        break;
      case kPointCount:
        d.points = leaf.Int32();
        d.havePoints = true;
        break;
      case kXLabel:
        d.xLabel = leaf.Text();
        d.haveXLabel = true;
        break;
      case kYLabel:
        d.yLabel = leaf.Text();
        d.haveYLabel = true;
        break;
      case kXUnit:
        d.xUnit = leaf.Enum();
        break;
      case kYUnit:
        d.yUnit = leaf.Enum();
        break;
      case kOrdinates:
        leaf.Array();  // checked here, read once the count is known
        d.ordinates = m;
        d.haveOrdinates = true;
        break;
      case kName:
        d.name = leaf.Text();
        break;
      case kAlias:
        d.alias = leaf.Text();
        break;
      case kHistory:
        if (m.IsContainer(bytes)) {
          d.history = m;
          d.haveHistory = true;
        }
        break;
      default:
        break;
    }
  }
  return d;
}

// The data set block among the top-level blocks, all of which must fit.
Block FindDataSet(const std::string& bytes) {
  Blocks top(bytes, kFirstBlock, bytes.size());
  Block b;
  Block found;
  bool have = false;
  while (top.Next(b)) {
    if (!have && b.id == kDataSet && b.IsContainer(bytes)) {
      found = b;
      have = true;
    }
  }
  if (!have) throw Damage{"no data set in the PerkinElmer file"};
  return found;
}

bool Load(const std::string& bytes, const std::string& path, Spectrum& s, Messages& messages) {
  if (bytes.size() < kFirstBlock || !IsPeDataSet(bytes)) {
    throw Damage{"damaged PerkinElmer data set: the file is too short"};
  }
  const Block set = FindDataSet(bytes);
  const DataSet d = ReadDataSet(bytes, set);
  if (!d.haveRange || !d.havePoints || !d.haveOrdinates) {
    Fail(std::string("no ") + (!d.haveRange    ? "x range"
                               : !d.havePoints ? "point count"
                                               : "ordinates"),
         set.at);
  }
  CheckX(d.xLabel, d.haveXLabel, d.xUnit);
  const OrdinateRule rule = YRule(d.yLabel, d.haveYLabel, d.yUnit);

  if (!PointCountAllowed(static_cast<std::size_t>(std::max(d.points, 0)), messages)) return false;
  const auto [firstOrdinate, stored] = Leaf(bytes, d.ordinates).Array();
  if (stored != static_cast<std::size_t>(d.points)) {
    Fail("the ordinates do not match the point count", d.ordinates.at);
  }
  const auto [firstX, lastX] = d.range;
  if (!std::isfinite(firstX) || !std::isfinite(lastX)) throw Damage{"Invalid abscissa values!"};
  if (d.haveInterval) {
    // The record holds first and last x only; the stored interval must say
    // the same, or the x values would not be the file's.
    const double step = (lastX - firstX) / (d.points - 1);
    if (!(std::fabs(step - d.interval) <= 0.01 * std::fabs(d.interval))) {
      Fail("the x interval does not fit the x range", d.intervalAt);
    }
  }

  std::vector<double> y(static_cast<std::size_t>(d.points));
  std::memcpy(y.data(), bytes.data() + firstOrdinate, y.size() * sizeof(double));
  for (std::size_t i = 0; i < y.size(); ++i) {
    if (!std::isfinite(y[i]))
      Fail("ordinate " + std::to_string(i + 1) + " not a number", d.ordinates.at);
  }

  History history;
  if (d.haveHistory) history = ReadHistory(bytes, d.history);

  if (!FillFromColumns(firstX, lastX, y, rule, s, messages)) return false;

  s.NScans = history.scans > 0 ? history.scans : 1;
  const HistoryRecord* oldest = history.records.empty() ? nullptr : &history.records.back();
  if (oldest != nullptr && !oldest->operatorName.empty()) {
    s.OperatorName = CutText(oldest->operatorName);
  } else {
    for (const HistoryRecord& r : history.records) {
      if (!r.operatorName.empty()) {
        s.OperatorName = CutText(r.operatorName);
        break;
      }
    }
  }
  const bool acquired = oldest != nullptr && DateFromHistory(oldest->date, s.AcqDate, s.AcqTime);
  if (!acquired) FileDateStamp(path, s.AcqDate, s.AcqTime);
  if (history.records.empty() ||
      !DateFromHistory(history.records.front().date, s.ModDate, s.ModTime)) {
    s.ModDate = s.AcqDate;
    s.ModTime = s.AcqTime;
  }

  std::string title = d.alias.empty() ? FileNamePart(d.name) : d.alias;
  if (title.empty()) title = "imported PerkinElmer data set";
  for (auto r = history.records.rbegin(); r != history.records.rend(); ++r) {
    if (!r->sampleDescription.empty()) {
      title += ": " + r->sampleDescription;
      break;
    }
  }
  s.SetComment(CutText(title));
  return true;
}

}  // namespace

bool IsPeDataSet(std::string_view firstBytes) { return firstBytes.substr(0, 4) == kMagic; }

bool ReadPeDataSetBytes(const std::string& bytes, const std::string& path, Spectrum& fresh,
                        Messages& messages) {
  try {
    return Load(bytes, path, fresh, messages);
  } catch (const Damage& damage) {
    messages.ErrorBox(damage.text);
    return false;
  }
}

}  // namespace tesvar
