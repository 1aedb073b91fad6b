// A drawing surface on a QImage that keeps the conventions of DrawingSurface
// to the pixel, so that the plot, the inverted cursor lines and the printout
// come out the same on every system and every kind of image.
//
// Lines are not painted with QPainter (which antialiases and colours the end
// point) but by an integer rasteriser of our own:
//   - one pixel per step along the major axis; the start pixel is coloured,
//     the end pixel is not;
//   - the minor coordinate is the ideal line's value rounded to the nearest
//     integer, halves towards +x/+y. The rule does not depend on the drawing
//     direction, so A->B and B->A cover the same pixels apart from the end
//     that each leaves out;
//   - clipped to the image exactly: a line partly outside colours the same
//     pixels inside as if the image were unbounded; coordinates may be any int.
//
// Pen modes: Copy sets the pixel to the pen colour; NotXor sets it to
// ~(pen XOR pixel) on the colour bits, so a black pen inverts and drawing the
// same line twice gives back the image byte for byte.
//
// Pen style Dot colours every other pixel along a line: the start pixel and
// then every second one. The pattern starts afresh with every LineTo, so a
// line's dots depend only on its own end points and not on what was drawn
// before; that keeps a NotXor line drawn twice exactly self-cancelling, and a
// grid line looks the same whichever order the grid is drawn in. The gaps are
// left untouched (a transparent background), so a grid drawn over a finished
// picture does not cut holes into the trace.
//
// TextOut fills the text cell (TextWidth x TextHeight at the top-left corner
// x, y) with white whatever the pen mode, then draws the characters in black
// with their cell top at y. 8-bit text is Latin-1. Glyphs are fully hinted,
// so advances are whole pixels and the text widths do not change with the
// desktop's font settings.
//
// Images: Format_RGB32 for the screen, or a 1-bit image (Format_Mono or
// Format_MonoLSB) for the printout. On a 1-bit image every colour other than
// pure white is ink (the darker entry of its colour table), white is paper;
// NotXor with an ink pen inverts, with a white pen it changes nothing, the
// same as on RGB32 with a black or a white pen. Text on a 1-bit image is
// rendered without antialiasing so that it stays black and white. Images of
// other formats are converted to Format_RGB32 when adopted.
#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <map>
#include <string>
#include <utility>

#include "plot/drawing_surface.h"

namespace tesvar {

class ImageSurface : public DrawingSurface {
 public:
  // A white Format_RGB32 image of the given size (empty for sizes <= 0).
  ImageSurface(int width, int height);
  // Draws on a copy of `image` (implicitly shared until the first change);
  // read the result back through image().
  explicit ImageSurface(QImage image);

  void SetPenColor(Rgb color) override;
  void SetPenStyle(PenStyle style) override;
  void SetPenMode(PenMode mode) override;
  // "Arial Narrow" and "Arial" resolve to Liberation Sans Narrow and
  // Liberation Sans whatever the desktop's font aliases say. A negative
  // height is the character (em) height in pixels, a positive one the cell
  // height (ascent + descent), 0 the default of 12 pixels em height.
  void SetFont(const std::string& name, int height) override;

  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const std::string& text) override;

  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;

  // Fills the whole image with `color` (white for an invalidated surface).
  void Clear(Rgb color = kWhite);
  // Replaces the image by a white one of the new size in the same format;
  // the pen, font and current position are kept.
  void Resize(int width, int height);

  const QImage& image() const { return image_; }
  int width() const { return image_.width(); }
  int height() const { return image_.height(); }

  Rgb penColor() const { return penColor_; }
  PenStyle penStyle() const { return penStyle_; }
  PenMode penMode() const { return penMode_; }
  std::pair<int, int> position() const { return {posX_, posY_}; }
  // The font SetFont selected, as Qt resolves it.
  const QFont& font() const { return font_; }

 private:
  void Adopt(QImage image);
  bool IsMono() const;
  // Whether a colour is ink on a 1-bit image.
  static bool IsInk(Rgb color) { return !(color == kWhite); }
  void FillRect(int x, int y, int w, int h);
  void DrawTextMono(int x, int y, const QString& text);

  QImage image_;
  // Kept apart from image_ so that a resize through an empty size keeps them.
  QImage::Format format_ = QImage::Format_RGB32;
  QList<QRgb> monoColors_;  // colour table of a 1-bit image
  int inkIndex_ = 0;        // its entry for ink

  Rgb penColor_ = kBlack;
  PenStyle penStyle_ = PenStyle::kSolid;
  PenMode penMode_ = PenMode::kCopy;
  int posX_ = 0, posY_ = 0;

  QFont font_;
  std::map<std::pair<std::string, int>, QFont> fontCache_;
};

}  // namespace tesvar
