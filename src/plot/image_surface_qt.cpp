#include "plot/image_surface_qt.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/qt_text.h"

namespace tesvar {

namespace {

using Wide = __int128;  // products of two 33-bit line extents

// The fonts the plot names, and the metric-compatible free fonts Debian ships
// in fonts-liberation. Naming them directly keeps the match independent of
// the desktop's fontconfig aliases.
struct FontSubstitute {
  const char* name;
  const char* substitute;
};
constexpr FontSubstitute kFontSubstitutes[] = {
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Arial", "Liberation Sans"},
};

constexpr int kDefaultPixelSize = 12;

QString FamilyFor(const QString& name) {
  for (const FontSubstitute& s : kFontSubstitutes) {
    if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) {
      return QLatin1String(s.substitute);
    }
  }
  return {};
}

QFont MakeFont(const std::string& name, int height) {
  QString requested = FromRecordText(name);
  QFont font;
  QString substitute = FamilyFor(requested);
  if (substitute.isEmpty()) {
    font.setFamilies({requested});
  } else {
    // The requested name stays as a fallback for a system without
    // fonts-liberation.
    font.setFamilies({substitute, requested});
  }
  // Colour fringes would be wrong on an image that may be copied, scaled or
  // printed; greyscale antialiasing looks the same on every device.
  font.setStyleStrategy(QFont::NoSubpixelAntialias);
  // Hinted glyphs have whole-pixel advances, which the layout's text widths
  // count on (Arial digits 7 pixels wide at 12 pixels). Asking for it
  // explicitly also keeps the text widths, and so the plot layout, from
  // following the desktop's fontconfig hinting settings.
  font.setHintingPreference(QFont::PreferFullHinting);
  if (height < 0) {
    font.setPixelSize(-height);
  } else if (height == 0) {
    font.setPixelSize(kDefaultPixelSize);
  } else {
    // A cell height: the pixel size whose cell height comes closest, the
    // smaller size on a tie so the text never outgrows the cell asked for.
    // Cell heights grow with the size, so the search stops once past it.
    int bestSize = 1;
    int bestError = -1;
    for (int size = 1; size <= 2 * height + 2; ++size) {
      font.setPixelSize(size);
      int cell = QFontMetrics(font).height();
      int error = std::abs(cell - height);
      if (bestError < 0 || error < bestError) {
        bestError = error;
        bestSize = size;
      }
      if (cell > height) break;
    }
    font.setPixelSize(bestSize);
  }
  return font;
}

// floor(num / den) for den > 0.
Wide FloorDiv(Wide num, Wide den) {
  Wide q = num / den;
  if (num % den < 0) --q;
  return q;
}

// One line from (x0, y0) towards (x1, y1), as steps t = 0 .. n-1 along the
// major axis (n = the larger of |dx| and |dy|; step n, the end pixel, is not
// drawn). The minor coordinate of step t is that of the ideal line rounded
// half up: minor0 + floor((2 t dMinor + n) / 2n).
struct LineSteps {
  bool xMajor;
  int64_t major0, minor0;
  int64_t majorStep;  // +1 or -1
  int64_t dMinor;     // signed minor extent
  int64_t n;

  LineSteps(int x0, int y0, int x1, int y1) {
    int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
    xMajor = std::llabs(dx) >= std::llabs(dy);
    int64_t dMajor = xMajor ? dx : dy;
    major0 = xMajor ? x0 : y0;
    minor0 = xMajor ? y0 : x0;
    dMinor = xMajor ? dy : dx;
    majorStep = dMajor < 0 ? -1 : 1;
    n = std::llabs(dMajor);
  }

  int64_t MinorAt(int64_t t) const {
    return minor0 + static_cast<int64_t>(FloorDiv(Wide{2} * t * dMinor + n, Wide{2} * n));
  }
};

// Narrows [lo, hi] to the steps whose minor coordinate lies in [0, limit).
// The minor coordinate is monotonic in t, so each bound is a binary search.
void ClipMinor(const LineSteps& line, int64_t limit, int64_t& lo, int64_t& hi) {
  auto inside = [&](int64_t t, bool wantAbove) {
    int64_t m = line.MinorAt(t);
    return wantAbove ? m >= 0 : m < limit;
  };
  bool rising = line.dMinor >= 0;
  // First step that satisfies the bound that rises into range...
  auto firstTrue = [&](int64_t a, int64_t b, auto pred) {
    while (a < b) {
      int64_t mid = a + (b - a) / 2;
      if (pred(mid))
        b = mid;
      else
        a = mid + 1;
    }
    return a;
  };
  if (lo > hi) return;
  if (rising) {
    lo = firstTrue(lo, hi + 1, [&](int64_t t) { return inside(t, true); });
    hi = firstTrue(lo, hi + 1, [&](int64_t t) { return !inside(t, false); }) - 1;
  } else {
    lo = firstTrue(lo, hi + 1, [&](int64_t t) { return inside(t, false); });
    hi = firstTrue(lo, hi + 1, [&](int64_t t) { return !inside(t, true); }) - 1;
  }
}

// Calls plot(x, y) for every pixel of the line inside a width x height image,
// skipping odd steps when dotted.
template <typename Plot>
void RasterLine(int x0, int y0, int x1, int y1, int width, int height, bool dotted, Plot plot) {
  LineSteps line(x0, y0, x1, y1);
  if (line.n == 0 || width <= 0 || height <= 0) return;
  int64_t majorLimit = line.xMajor ? width : height;
  int64_t minorLimit = line.xMajor ? height : width;

  int64_t lo = 0, hi = line.n - 1;
  bool allInside = x0 >= 0 && x0 < width && y0 >= 0 && y0 < height && x1 >= 0 && x1 < width &&
                   y1 >= 0 && y1 < height;
  if (!allInside) {
    // Major axis: a linear range of steps.
    if (line.majorStep > 0) {
      lo = std::max(lo, -line.major0);
      hi = std::min(hi, majorLimit - 1 - line.major0);
    } else {
      lo = std::max(lo, line.major0 - (majorLimit - 1));
      hi = std::min(hi, line.major0);
    }
    ClipMinor(line, minorLimit, lo, hi);
    if (lo > hi) return;
  }

  // Incremental form of MinorAt: minor = minor0 + q with the remainder
  // r = (2 t dMinor + n) - 2n q kept in [0, 2n).
  const int64_t twoN = 2 * line.n;
  const int64_t twoD = 2 * line.dMinor;
  Wide num = Wide{2} * lo * line.dMinor + line.n;
  int64_t q = static_cast<int64_t>(FloorDiv(num, twoN));
  int64_t r = static_cast<int64_t>(num - Wide{twoN} * q);
  int64_t major = line.major0 + line.majorStep * lo;
  int64_t minor = line.minor0 + q;
  for (int64_t t = lo; t <= hi; ++t) {
    if (!dotted || (t & 1) == 0) {
      if (line.xMajor) {
        plot(static_cast<int>(major), static_cast<int>(minor));
      } else {
        plot(static_cast<int>(minor), static_cast<int>(major));
      }
    }
    major += line.majorStep;
    r += twoD;
    if (r >= twoN) {
      r -= twoN;
      ++minor;
    } else if (r < 0) {
      r += twoN;
      --minor;
    }
  }
}

uint32_t ToArgb(Rgb c) {
  return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | uint32_t{c.b};
}

}  // namespace

ImageSurface::ImageSurface(int width, int height) {
  if (width > 0 && height > 0) {
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(ToArgb(kWhite));
  }
  font_ = MakeFont("Arial", -kDefaultPixelSize);
}

ImageSurface::ImageSurface(QImage image) {
  Adopt(std::move(image));
  font_ = MakeFont("Arial", -kDefaultPixelSize);
}

void ImageSurface::Adopt(QImage image) {
  QImage::Format f = image.format();
  if (f == QImage::Format_Mono || f == QImage::Format_MonoLSB) {
    if (image.colorCount() != 2 || qGray(image.color(0)) == qGray(image.color(1))) {
      image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    }
    inkIndex_ = qGray(image.color(0)) < qGray(image.color(1)) ? 0 : 1;
    monoColors_ = image.colorTable();
    format_ = f;
    image_ = std::move(image);
  } else if (f == QImage::Format_RGB32 || image.isNull()) {
    format_ = QImage::Format_RGB32;
    image_ = std::move(image);
  } else {
    format_ = QImage::Format_RGB32;
    image_ = image.convertToFormat(QImage::Format_RGB32);
  }
}

bool ImageSurface::IsMono() const {
  return format_ == QImage::Format_Mono || format_ == QImage::Format_MonoLSB;
}

void ImageSurface::SetPenColor(Rgb color) { penColor_ = color; }
void ImageSurface::SetPenStyle(PenStyle style) { penStyle_ = style; }
void ImageSurface::SetPenMode(PenMode mode) { penMode_ = mode; }

void ImageSurface::SetFont(const std::string& name, int height) {
  auto key = std::make_pair(name, height);
  auto it = fontCache_.find(key);
  if (it == fontCache_.end()) it = fontCache_.emplace(key, MakeFont(name, height)).first;
  font_ = it->second;
}

void ImageSurface::MoveTo(int x, int y) {
  posX_ = x;
  posY_ = y;
}

void ImageSurface::LineTo(int x, int y) {
  int x0 = posX_, y0 = posY_;
  posX_ = x;
  posY_ = y;
  if (image_.isNull()) return;
  const int w = image_.width(), h = image_.height();
  const bool dotted = penStyle_ == PenStyle::kDot;
  uchar* const bits = image_.bits();  // detaches a shared image once per line
  const qsizetype stride = image_.bytesPerLine();

  if (!IsMono()) {
    const uint32_t pen = ToArgb(penColor_);
    auto pixel = [bits, stride](int px, int py) {
      return reinterpret_cast<uint32_t*>(bits + py * stride) + px;
    };
    if (penMode_ == PenMode::kCopy) {
      RasterLine(x0, y0, x, y, w, h, dotted, [&](int px, int py) { *pixel(px, py) = pen; });
    } else {
      RasterLine(x0, y0, x, y, w, h, dotted, [&](int px, int py) {
        uint32_t* p = pixel(px, py);
        *p = (~(pen ^ *p) & 0x00FFFFFFu) | 0xFF000000u;
      });
    }
    return;
  }

  const bool msbFirst = format_ == QImage::Format_Mono;
  auto locate = [bits, stride, msbFirst](int px, int py, uchar*& byte, uchar& mask) {
    byte = bits + py * stride + (px >> 3);
    mask = msbFirst ? static_cast<uchar>(0x80u >> (px & 7)) : static_cast<uchar>(1u << (px & 7));
  };
  const bool ink = IsInk(penColor_);
  if (penMode_ == PenMode::kNotXor) {
    // ~(pen XOR pixel): an ink (black) pen inverts, a white pen keeps.
    if (!ink) return;
    RasterLine(x0, y0, x, y, w, h, dotted, [&](int px, int py) {
      uchar* byte;
      uchar mask;
      locate(px, py, byte, mask);
      *byte ^= mask;
    });
    return;
  }
  const bool setBit = (ink ? inkIndex_ : 1 - inkIndex_) == 1;
  RasterLine(x0, y0, x, y, w, h, dotted, [&](int px, int py) {
    uchar* byte;
    uchar mask;
    locate(px, py, byte, mask);
    if (setBit) {
      *byte |= mask;
    } else {
      *byte &= static_cast<uchar>(~mask);
    }
  });
}

void ImageSurface::FillRect(int x, int y, int w, int h) {
  QRect cell = QRect(x, y, w, h).intersected(image_.rect());
  if (cell.isEmpty()) return;
  if (!IsMono()) {
    const uint32_t white = ToArgb(kWhite);
    for (int row = cell.top(); row <= cell.bottom(); ++row) {
      uint32_t* line = reinterpret_cast<uint32_t*>(image_.scanLine(row));
      std::fill(line + cell.left(), line + cell.right() + 1, white);
    }
    return;
  }
  const uint paper = static_cast<uint>(1 - inkIndex_);
  for (int row = cell.top(); row <= cell.bottom(); ++row) {
    for (int col = cell.left(); col <= cell.right(); ++col) image_.setPixel(col, row, paper);
  }
}

void ImageSurface::DrawTextMono(int x, int y, const QString& text) {
  // QPainter cannot draw on a 1-bit image, so the text is drawn without
  // antialiasing into a grey buffer around its cell (wide enough for glyphs
  // that overhang the cell) and its dark pixels are copied as ink.
  QFont font = font_;
  font.setStyleStrategy(QFont::NoAntialias);
  QFontMetrics metrics(font);
  const int margin = metrics.height();
  QImage buffer(metrics.horizontalAdvance(text) + 2 * margin, metrics.height() + 2 * margin,
                QImage::Format_Grayscale8);
  buffer.fill(255);
  {
    QPainter painter(&buffer);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(margin, margin + metrics.ascent()), text);
  }
  const uint ink = static_cast<uint>(inkIndex_);
  for (int row = 0; row < buffer.height(); ++row) {
    const int iy = y - margin + row;
    if (iy < 0 || iy >= image_.height()) continue;
    const uchar* grey = buffer.constScanLine(row);
    for (int col = 0; col < buffer.width(); ++col) {
      const int ix = x - margin + col;
      if (grey[col] < 128 && ix >= 0 && ix < image_.width()) image_.setPixel(ix, iy, ink);
    }
  }
}

void ImageSurface::TextOut(int x, int y, const std::string& text) {
  if (image_.isNull()) return;
  QString s = FromRecordText(text);
  QFontMetrics metrics(font_);
  FillRect(x, y, metrics.horizontalAdvance(s), metrics.height());
  if (s.isEmpty()) return;
  if (IsMono()) {
    DrawTextMono(x, y, s);
    return;
  }
  QPainter painter(&image_);
  painter.setFont(font_);
  painter.setPen(Qt::black);
  painter.drawText(QPoint(x, y + metrics.ascent()), s);
}

int ImageSurface::TextWidth(const std::string& text) {
  return QFontMetrics(font_).horizontalAdvance(FromRecordText(text));
}

int ImageSurface::TextHeight(const std::string&) { return QFontMetrics(font_).height(); }

void ImageSurface::Clear(Rgb color) {
  if (image_.isNull()) return;
  if (IsMono()) {
    image_.fill(static_cast<uint>(IsInk(color) ? inkIndex_ : 1 - inkIndex_));
  } else {
    image_.fill(ToArgb(color));
  }
}

void ImageSurface::Resize(int width, int height) {
  if (width <= 0 || height <= 0) {
    image_ = QImage();
    return;
  }
  QImage fresh(width, height, format_);
  if (IsMono()) fresh.setColorTable(monoColors_);
  image_ = std::move(fresh);
  Clear(kWhite);
}

}  // namespace tesvar
