#include "output/metafile.h"

#include <algorithm>

namespace tesvar {

void RecordingSurface::SetPenColor(Rgb color) {
  DrawingOp op(DrawingOp::kPenColor);
  op.color = color;
  ops_.push_back(op);
}

void RecordingSurface::SetPenStyle(PenStyle style) {
  DrawingOp op(DrawingOp::kPenStyle);
  op.style = style;
  ops_.push_back(op);
}

void RecordingSurface::SetPenMode(PenMode mode) {
  DrawingOp op(DrawingOp::kPenMode);
  op.mode = mode;
  ops_.push_back(op);
}

void RecordingSurface::SetFont(const std::string& name, int height) {
  metrics_.SetFont(name, height);
  DrawingOp op(DrawingOp::kFont);
  op.text = name;
  op.y = height;
  ops_.push_back(op);
}

void RecordingSurface::MoveTo(int x, int y) {
  DrawingOp op(DrawingOp::kMoveTo);
  op.x = x;
  op.y = y;
  ops_.push_back(op);
}

void RecordingSurface::LineTo(int x, int y) {
  DrawingOp op(DrawingOp::kLineTo);
  op.x = x;
  op.y = y;
  ops_.push_back(op);
}

void RecordingSurface::TextOut(int x, int y, const std::string& text) {
  DrawingOp op(DrawingOp::kTextOut);
  op.x = x;
  op.y = y;
  op.text = text;
  ops_.push_back(op);
}

void ReplayRecording(const std::vector<DrawingOp>& ops, DrawingSurface& target) {
  for (const DrawingOp& op : ops) {
    switch (op.kind) {
      case DrawingOp::kPenColor:
        target.SetPenColor(op.color);
        break;
      case DrawingOp::kPenStyle:
        target.SetPenStyle(op.style);
        break;
      case DrawingOp::kPenMode:
        target.SetPenMode(op.mode);
        break;
      case DrawingOp::kFont:
        target.SetFont(op.text, op.y);
        break;
      case DrawingOp::kMoveTo:
        target.MoveTo(op.x, op.y);
        break;
      case DrawingOp::kLineTo:
        target.LineTo(op.x, op.y);
        break;
      case DrawingOp::kTextOut:
        target.TextOut(op.x, op.y, op.text);
        break;
    }
  }
}

namespace {

// Windows metafile record functions and constants.
enum : uint16_t {
  kMetaEof = 0x0000,
  kMetaSetBkColor = 0x0201,
  kMetaSetBkMode = 0x0102,
  kMetaSetRop2 = 0x0104,
  kMetaSetTextColor = 0x0209,
  kMetaSetTextAlign = 0x012E,
  kMetaSetWindowOrg = 0x020B,
  kMetaSetWindowExt = 0x020C,
  kMetaSelectObject = 0x012D,
  kMetaDeleteObject = 0x01F0,
  kMetaCreatePenIndirect = 0x02FA,
  kMetaCreateFontIndirect = 0x02FB,
  kMetaMoveTo = 0x0214,
  kMetaLineTo = 0x0213,
  kMetaTextOut = 0x0521,
};
constexpr uint16_t kOpaque = 2;
constexpr uint16_t kR2CopyPen = 13;
constexpr uint16_t kR2NotXorPen = 10;
constexpr uint16_t kPsSolid = 0;
constexpr uint16_t kPsDot = 2;
constexpr uint16_t kFwNormal = 400;
constexpr uint8_t kDefaultCharset = 1;
constexpr std::size_t kFaceNameMax = 32;  // including the terminating zero

int16_t Clamp16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

class MetafileWriter {
 public:
  void Record(uint16_t function, const std::vector<uint16_t>& params) {
    uint32_t size = static_cast<uint32_t>(3 + params.size());
    Put32(size);
    Put16(function);
    for (uint16_t p : params) Put16(p);
    maxRecord_ = std::max(maxRecord_, size);
  }

  // An object goes into the lowest free slot of the object table.
  uint16_t AddObject() {
    auto free = std::find(used_.begin(), used_.end(), false);
    if (free == used_.end()) {
      used_.push_back(true);
      return static_cast<uint16_t>(used_.size() - 1);
    }
    *free = true;
    return static_cast<uint16_t>(free - used_.begin());
  }
  void RemoveObject(uint16_t index) { used_[index] = false; }

  // Creates the object whose record is given, selects it and deletes the
  // object it replaces.
  void Replace(uint16_t createFunction, const std::vector<uint16_t>& params, int& current) {
    Record(createFunction, params);
    uint16_t index = AddObject();
    Record(kMetaSelectObject, {index});
    if (current >= 0) {
      Record(kMetaDeleteObject, {static_cast<uint16_t>(current)});
      RemoveObject(static_cast<uint16_t>(current));
    }
    current = index;
  }

  const std::string& records() const { return out_; }
  uint32_t maxRecord() const { return maxRecord_; }
  uint16_t objectCount() const { return static_cast<uint16_t>(used_.size()); }

 private:
  void Put16(uint16_t v) {
    out_ += static_cast<char>(v & 0xFF);
    out_ += static_cast<char>(v >> 8);
  }
  void Put32(uint32_t v) {
    Put16(static_cast<uint16_t>(v & 0xFFFF));
    Put16(static_cast<uint16_t>(v >> 16));
  }

  std::string out_;
  uint32_t maxRecord_ = 0;
  std::vector<bool> used_;
};

uint16_t Word(int v) { return static_cast<uint16_t>(Clamp16(v)); }

std::vector<uint16_t> ColorRef(Rgb c) {
  return {static_cast<uint16_t>(c.r | (c.g << 8)), static_cast<uint16_t>(c.b)};
}

std::vector<uint16_t> PenParams(Rgb color, PenStyle style) {
  std::vector<uint16_t> p = {style == PenStyle::kDot ? kPsDot : kPsSolid, 1, 0};  // width (1, 0)
  auto c = ColorRef(color);
  p.insert(p.end(), c.begin(), c.end());
  return p;
}

std::vector<uint16_t> FontParams(const std::string& name, int height) {
  std::vector<uint16_t> p = {Word(height), 0, 0, 0, kFwNormal};
  // italic, underline | strike-out, charset | out precision,
  // clip precision | quality, pitch and family | (face name follows)
  p.push_back(0);
  p.push_back(static_cast<uint16_t>(0 | (kDefaultCharset << 8)));
  p.push_back(0);
  p.push_back(0);
  std::string face = name.substr(0, kFaceNameMax - 1);
  face.push_back('\0');
  if (face.size() % 2 != 0) face.push_back('\0');
  for (std::size_t i = 0; i < face.size(); i += 2) {
    p.push_back(static_cast<uint16_t>(static_cast<unsigned char>(face[i]) |
                                      (static_cast<unsigned char>(face[i + 1]) << 8)));
  }
  return p;
}

std::vector<uint16_t> TextOutParams(int x, int y, const std::string& text) {
  std::string t = text.substr(0, 32767);
  std::vector<uint16_t> p = {static_cast<uint16_t>(t.size())};
  if (t.size() % 2 != 0) t.push_back('\0');
  for (std::size_t i = 0; i < t.size(); i += 2) {
    p.push_back(static_cast<uint16_t>(static_cast<unsigned char>(t[i]) |
                                      (static_cast<unsigned char>(t[i + 1]) << 8)));
  }
  p.push_back(Word(y));
  p.push_back(Word(x));
  return p;
}

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

}  // namespace

std::string BuildPlaceableMetafile(const std::vector<DrawingOp>& ops, int width, int height,
                                   int unitsPerInch) {
  MetafileWriter w;
  w.Record(kMetaSetWindowOrg, {0, 0});
  w.Record(kMetaSetWindowExt, {Word(height), Word(width)});
  // Text cells are filled with the white background, as on the screen.
  w.Record(kMetaSetBkMode, {kOpaque});
  w.Record(kMetaSetBkColor, ColorRef(kWhite));
  w.Record(kMetaSetTextColor, ColorRef(kBlack));
  w.Record(kMetaSetTextAlign, {0});  // top-left reference point, no current-position update
  w.Record(kMetaSetRop2, {kR2CopyPen});

  Rgb penColor = kBlack;
  PenStyle penStyle = PenStyle::kSolid;
  int pen = -1, font = -1;
  w.Replace(kMetaCreatePenIndirect, PenParams(penColor, penStyle), pen);
  for (const DrawingOp& op : ops) {
    switch (op.kind) {
      case DrawingOp::kPenColor:
        if (op.color == penColor) break;
        penColor = op.color;
        w.Replace(kMetaCreatePenIndirect, PenParams(penColor, penStyle), pen);
        break;
      case DrawingOp::kPenStyle:
        if (op.style == penStyle) break;
        penStyle = op.style;
        w.Replace(kMetaCreatePenIndirect, PenParams(penColor, penStyle), pen);
        break;
      case DrawingOp::kPenMode:
        w.Record(kMetaSetRop2, {op.mode == PenMode::kNotXor ? kR2NotXorPen : kR2CopyPen});
        break;
      case DrawingOp::kFont:
        w.Replace(kMetaCreateFontIndirect, FontParams(op.text, op.y), font);
        break;
      case DrawingOp::kMoveTo:
        w.Record(kMetaMoveTo, {Word(op.y), Word(op.x)});
        break;
      case DrawingOp::kLineTo:
        w.Record(kMetaLineTo, {Word(op.y), Word(op.x)});
        break;
      case DrawingOp::kTextOut:
        w.Record(kMetaTextOut, TextOutParams(op.x, op.y, op.text));
        break;
    }
  }
  w.Record(kMetaEof, {});

  std::string out;
  // Placeable header.
  uint16_t words[10] = {
      0xCDD7, 0x9AC6, 0, 0, 0, Word(width), Word(height), static_cast<uint16_t>(unitsPerInch),
      0,      0};
  uint16_t checksum = 0;
  for (uint16_t v : words) {
    Put16(out, v);
    checksum ^= v;
  }
  Put16(out, checksum);
  // Standard header.
  uint32_t totalWords = static_cast<uint32_t>(9 + w.records().size() / 2);
  Put16(out, 1);  // in memory (a disk metafile's type is also 1 in practice)
  Put16(out, 9);
  Put16(out, 0x0300);
  Put16(out, static_cast<uint16_t>(totalWords & 0xFFFF));
  Put16(out, static_cast<uint16_t>(totalWords >> 16));
  Put16(out, w.objectCount());
  Put16(out, static_cast<uint16_t>(w.maxRecord() & 0xFFFF));
  Put16(out, static_cast<uint16_t>(w.maxRecord() >> 16));
  Put16(out, 0);
  out += w.records();
  return out;
}

}  // namespace tesvar
