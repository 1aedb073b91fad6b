// The one drawing interface behind the screen, the metafile and the
// printout, so that the plot rules are written once. Every surface keeps the
// same conventions, on which the layout, the text placement and the
// inverted feedback lines of the plot depend:
//   - coordinates are integer device units, x to the right, y downwards;
//   - LineTo draws from the current position to (x, y) WITHOUT colouring the
//     end pixel, and moves the current position there;
//   - pen mode NotXor makes each covered pixel the inverse of (pen XOR
//     pixel); with a black pen it inverts, and drawing the same line twice
//     restores the picture;
//   - TextOut draws with the text cell's top-left corner at (x, y) and fills
//     the cell with the white background first;
//   - fonts are named ("Arial Narrow") and sized by a font height: a
//     negative height is the character height in device pixels, a positive
//     one the cell height (ascent + descent).
#pragma once

#include <cstdint>
#include <string>

namespace tesvar {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kGrey{128, 128, 128};
inline constexpr Rgb kWhite{255, 255, 255};

enum class PenStyle { kSolid, kDot };
enum class PenMode { kCopy, kNotXor };

// The font height of a size in points on a device of the given resolution:
// the character height -(points x dpi / 72), rounded half away from zero.
int FontHeightForPoints(int points, int dpi);

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  virtual void SetPenColor(Rgb color) = 0;
  virtual void SetPenStyle(PenStyle style) = 0;
  virtual void SetPenMode(PenMode mode) = 0;
  virtual void SetFont(const std::string& name, int height) = 0;

  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void TextOut(int x, int y, const std::string& text) = 0;

  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;
};

}  // namespace tesvar
