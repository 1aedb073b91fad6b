// A vector recording of drawing operations and its conversion to a
// placeable Windows metafile (*.wmf), written by hand so that no platform
// metafile API is needed.
//
// Placeable metafile layout (all numbers little-endian):
//   offset  size  placeable header (22 bytes)
//        0     4  key 0x9AC6CDD7
//        4     2  handle, 0
//        6     8  bounding box left, top, right, bottom (int16, logical units)
//       14     2  units per inch (100)
//       16     4  reserved, 0
//       20     2  checksum: XOR of the ten 16-bit words before it
//   then the standard metafile header (18 bytes: type 1, header size 9 words,
//   version 0x0300, file size in words, number of objects, largest record in
//   words, 0) and the records, each: size in 16-bit words (uint32), function
//   (uint16), parameters (16-bit words, points as y then x). The last record
//   is META_EOF (size 3, function 0).
//
// Logical units are the device pixels of the recording surface. Every pen
// and font change creates a new object, selects it and deletes the one it
// replaces, so at most one pen and one font exist at a time.
//
// Text metrics are not a property of the metafile: the recording measures
// with a DrawingSurface the caller provides (on the screen, a Qt image
// surface with the same fonts), and forwards font changes to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plot/drawing_surface.h"

namespace tesvar {

struct DrawingOp {
  enum Kind { kPenColor, kPenStyle, kPenMode, kFont, kMoveTo, kLineTo, kTextOut };
  explicit DrawingOp(Kind k) : kind(k) {}
  Kind kind;
  int x = 0, y = 0;  // points; the font height is in y
  Rgb color{};
  PenStyle style = PenStyle::kSolid;
  PenMode mode = PenMode::kCopy;
  std::string text;  // text of kTextOut, font name of kFont
};

class RecordingSurface : public DrawingSurface {
 public:
  // REQUIRES: metrics outlives the recording.
  explicit RecordingSurface(DrawingSurface& metrics) : metrics_(metrics) {}

  void SetPenColor(Rgb color) override;
  void SetPenStyle(PenStyle style) override;
  void SetPenMode(PenMode mode) override;
  void SetFont(const std::string& name, int height) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override { return metrics_.TextWidth(text); }
  int TextHeight(const std::string& text) override { return metrics_.TextHeight(text); }

  const std::vector<DrawingOp>& ops() const { return ops_; }

 private:
  DrawingSurface& metrics_;
  std::vector<DrawingOp> ops_;
};

// Draws a recording onto another surface (the clipboard's bitmap).
void ReplayRecording(const std::vector<DrawingOp>& ops, DrawingSurface& target);

// The placeable metafile of a recording on a picture of width x height
// logical units, at unitsPerInch.
std::string BuildPlaceableMetafile(const std::vector<DrawingOp>& ops, int width, int height,
                                   int unitsPerInch = 100);

}  // namespace tesvar
