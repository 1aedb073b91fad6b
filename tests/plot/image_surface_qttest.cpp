// The image surface's pixel rules: which pixels a line covers, the pen modes
// and the dotted pen, clipping, text cells, font resolution and 1-bit images.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QtTest>
#include <algorithm>
#include <climits>

#include "plot/image_surface_qt.h"
#include "test_support.h"

using tesvar::ImageSurface;
using tesvar::kBlack;
using tesvar::kGrey;
using tesvar::kWhite;
using tesvar::PenMode;
using tesvar::PenStyle;
using tesvar::Rgb;

namespace {

struct Segment {
  int x0, y0, x1, y1;
};

Rgb FromQRgb(QRgb c) { return {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))}; }

bool IsDark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// Pixels whose colour differs from `background`, in row-major order.
QList<QPoint> PixelsNot(const QImage& image, QRgb background) {
  QList<QPoint> out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) out.append(QPoint(x, y));
    }
  }
  return out;
}

QList<QPoint> Sorted(QList<QPoint> points) {
  std::sort(points.begin(), points.end(), [](const QPoint& a, const QPoint& b) {
    return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
  });
  return points;
}

QList<QPoint> DarkPixels(const QImage& image) {
  QList<QPoint> out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (IsDark(image, x, y)) out.append(QPoint(x, y));
    }
  }
  return out;
}

void Draw(ImageSurface& s, const Segment& g) {
  s.MoveTo(g.x0, g.y0);
  s.LineTo(g.x1, g.y1);
}

QByteArray Bytes(const QImage& image) {
  return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

// An RGB32 picture with a different colour in almost every pixel, so that a
// pixel changed by mistake cannot go unnoticed.
QImage Patterned(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
  }
  return image;
}

// Lines that start, end or run outside a 16 x 8 image, or lie wholly outside.
const QList<Segment>& ClippedSegments() {
  static const QList<Segment> segments = {
      {-5, -3, 20, 9},  {3, -10, 7, 20},  {20, 2, -7, 5},  {-20, -20, -1, -1}, {16, 0, 30, 7},
      {-4, 10, 20, -6}, {15, 7, -30, -1}, {-1, 3, 16, 3},  {8, -1, 8, 8},      {0, 8, 15, 8},
      {-9, 0, 0, 9},    {16, -3, 5, 8},   {-40, 7, 40, 0}, {2, 50, 3, -50},
  };
  return segments;
}

}  // namespace

class ImageSurfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void linePixels_data();
  void linePixels();
  void lineCoversEveryStepOnce_data();
  void lineCoversEveryStepOnce();
  void notXorRule_data();
  void notXorRule();
  void notXorTwiceRestoresImage_data();
  void notXorTwiceRestoresImage();
  void copyOverNotXor();
  void dottedPen_data();
  void dottedPen();
  void clippingMatchesUnboundedImage_data();
  void clippingMatchesUnboundedImage();
  void farCoordinates_data();
  void farCoordinates();
  void textFillsCellWithWhite_data();
  void textFillsCellWithWhite();
  void textTopAtY();
  void textIsBlackWhateverThePen();
  void textIsLatin1();
  void fontsResolveToLiberation_data();
  void fontsResolveToLiberation();
  void positiveHeightIsCellHeight();
  void monoImageMatchesRgb_data();
  void monoImageMatchesRgb();
  void monoPenColours();
  void resizeAndClear();
  void givenImageIsNotChanged();
};

// Expected pixels derived by hand from the rule "one pixel per step along the
// major axis, minor coordinate = ideal value rounded half up, end pixel left
// out". For (0,0)->(4,2) the ideal y at x = 0..3 is 0, 0.5, 1, 1.5, rounded
// half up 0, 1, 1, 2. Drawn backwards from (4,2) the ideal y at x = 4..1 is
// 2, 1.5, 1, 0.5 -> 2, 2, 1, 1: the same pixels but for the end left out.
void ImageSurfaceTest::linePixels_data() {
  QTest::addColumn<QList<int>>("line");
  QTest::addColumn<QList<QPoint>>("expected");
  QTest::newRow("horizontal right")
      << QList<int>{1, 1, 5, 1} << QList<QPoint>{{1, 1}, {2, 1}, {3, 1}, {4, 1}};
  QTest::newRow("horizontal left")
      << QList<int>{5, 1, 1, 1} << QList<QPoint>{{2, 1}, {3, 1}, {4, 1}, {5, 1}};
  QTest::newRow("vertical down") << QList<int>{2, 0, 2, 3} << QList<QPoint>{{2, 0}, {2, 1}, {2, 2}};
  QTest::newRow("vertical up") << QList<int>{2, 3, 2, 0} << QList<QPoint>{{2, 1}, {2, 2}, {2, 3}};
  QTest::newRow("diagonal") << QList<int>{0, 0, 3, 3} << QList<QPoint>{{0, 0}, {1, 1}, {2, 2}};
  QTest::newRow("anti-diagonal") << QList<int>{3, 0, 0, 3} << QList<QPoint>{{3, 0}, {2, 1}, {1, 2}};
  QTest::newRow("shallow, ties") << QList<int>{0, 0, 4, 2}
                                 << QList<QPoint>{{0, 0}, {1, 1}, {2, 1}, {3, 2}};
  QTest::newRow("shallow backwards")
      << QList<int>{4, 2, 0, 0} << QList<QPoint>{{1, 1}, {2, 1}, {3, 2}, {4, 2}};
  // x = floor((4t + 4) / 8) for t = 0..3: ideal 0, 0.5, 1, 1.5.
  QTest::newRow("steep") << QList<int>{0, 0, 2, 4} << QList<QPoint>{{0, 0}, {1, 1}, {1, 2}, {2, 3}};
  // Ideal y 0, 0.2, 0.4, 0.6, 0.8.
  QTest::newRow("gentle") << QList<int>{0, 0, 5, 1}
                          << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}};
  QTest::newRow("zero length") << QList<int>{3, 3, 3, 3} << QList<QPoint>{};
}

void ImageSurfaceTest::linePixels() {
  QFETCH(QList<int>, line);
  QFETCH(QList<QPoint>, expected);
  ImageSurface s(10, 10);
  Draw(s, {line[0], line[1], line[2], line[3]});
  QCOMPARE(PixelsNot(s.image(), qRgb(255, 255, 255)), Sorted(expected));
  QCOMPARE(s.position(), std::make_pair(line[2], line[3]));
}

// Property check over many directions: exactly one pixel per major-axis step,
// the start pixel coloured, the end pixel not, every pixel within half a
// pixel of the ideal line.
void ImageSurfaceTest::lineCoversEveryStepOnce_data() {
  QTest::addColumn<int>("dx");
  QTest::addColumn<int>("dy");
  for (int dx = -13; dx <= 13; dx += 2) {
    for (int dy : {-13, -9, -4, -1, 0, 2, 7, 12, 13}) {
      QTest::addRow("%d,%d", dx, dy) << dx << dy;
    }
  }
}

void ImageSurfaceTest::lineCoversEveryStepOnce() {
  QFETCH(int, dx);
  QFETCH(int, dy);
  const int x0 = 15, y0 = 15;
  ImageSurface s(31, 31);
  Draw(s, {x0, y0, x0 + dx, y0 + dy});
  QList<QPoint> pixels = PixelsNot(s.image(), qRgb(255, 255, 255));
  const int n = std::max(std::abs(dx), std::abs(dy));
  QCOMPARE(pixels.size(), n);
  QVERIFY(pixels.contains(QPoint(x0, y0)));
  QVERIFY(!pixels.contains(QPoint(x0 + dx, y0 + dy)));
  for (const QPoint& p : pixels) {
    // Distance along the minor axis from the ideal line, times n.
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const double t =
        xMajor ? double(p.x() - x0) / (dx > 0 ? 1 : -1) : double(p.y() - y0) / (dy > 0 ? 1 : -1);
    const double ideal = xMajor ? y0 + t * dy / n : x0 + t * dx / n;
    const double actual = xMajor ? p.y() : p.x();
    QVERIFY2(std::abs(actual - ideal) <= 0.5,
             qPrintable(QString("pixel %1,%2 off the line").arg(p.x()).arg(p.y())));
  }
}

// ~(pen XOR pixel) on the colour bits, worked out by hand for pixel 12 34 56.
void ImageSurfaceTest::notXorRule_data() {
  QTest::addColumn<QRgb>("pen");
  QTest::addColumn<QRgb>("expected");
  QTest::newRow("black inverts") << qRgb(0, 0, 0) << qRgb(0xED, 0xCB, 0xA9);
  QTest::newRow("white keeps") << qRgb(255, 255, 255) << qRgb(0x12, 0x34, 0x56);
  // 80 80 80 ^ 12 34 56 = 92 B4 D6, inverted 6D 4B 29.
  QTest::newRow("grey") << qRgb(128, 128, 128) << qRgb(0x6D, 0x4B, 0x29);
  QTest::newRow("own colour gives white") << qRgb(0x12, 0x34, 0x56) << qRgb(255, 255, 255);
}

void ImageSurfaceTest::notXorRule() {
  QFETCH(QRgb, pen);
  QFETCH(QRgb, expected);
  ImageSurface s(4, 1);
  s.Clear({0x12, 0x34, 0x56});
  s.SetPenColor(FromQRgb(pen));
  s.SetPenMode(PenMode::kNotXor);
  Draw(s, {0, 0, 3, 0});
  for (int x = 0; x < 3; ++x) QCOMPARE(s.image().pixel(x, 0), expected);
  QCOMPARE(s.image().pixel(3, 0), qRgb(0x12, 0x34, 0x56));
}

void ImageSurfaceTest::notXorTwiceRestoresImage_data() {
  QTest::addColumn<QImage::Format>("format");
  QTest::addColumn<QRgb>("pen");
  QTest::addColumn<bool>("dotted");
  QTest::newRow("rgb black") << QImage::Format_RGB32 << qRgb(0, 0, 0) << false;
  QTest::newRow("rgb grey dotted") << QImage::Format_RGB32 << qRgb(128, 128, 128) << true;
  QTest::newRow("rgb red") << QImage::Format_RGB32 << qRgb(200, 10, 0) << false;
  QTest::newRow("mono black") << QImage::Format_Mono << qRgb(0, 0, 0) << false;
  QTest::newRow("mono lsb dotted") << QImage::Format_MonoLSB << qRgb(0, 0, 0) << true;
}

void ImageSurfaceTest::notXorTwiceRestoresImage() {
  QFETCH(QImage::Format, format);
  QFETCH(QRgb, pen);
  QFETCH(bool, dotted);
  QImage start = Patterned(16, 8);
  if (format != QImage::Format_RGB32) start = start.convertToFormat(format, Qt::ThresholdDither);
  ImageSurface s(start);
  s.SetPenColor(FromQRgb(pen));
  s.SetPenMode(PenMode::kNotXor);
  s.SetPenStyle(dotted ? PenStyle::kDot : PenStyle::kSolid);
  QList<Segment> lines = ClippedSegments();
  lines.append({{0, 0, 15, 7}, {15, 0, 0, 7}, {3, 1, 3, 6}, {1, 4, 14, 4}});
  for (const Segment& g : lines) Draw(s, g);
  QVERIFY(Bytes(s.image()) != Bytes(start));
  for (const Segment& g : lines) Draw(s, g);
  QCOMPARE(Bytes(s.image()), Bytes(start));
}

void ImageSurfaceTest::copyOverNotXor() {
  ImageSurface s(8, 3);
  s.SetPenMode(PenMode::kNotXor);
  Draw(s, {0, 1, 8, 1});
  QCOMPARE(s.image().pixel(4, 1), qRgb(0, 0, 0));
  s.SetPenMode(PenMode::kCopy);
  s.SetPenColor(kGrey);
  Draw(s, {0, 1, 8, 1});
  for (int x = 0; x < 8; ++x) QCOMPARE(s.image().pixel(x, 1), qRgb(128, 128, 128));
  s.SetPenColor(kBlack);
  s.SetPenMode(PenMode::kNotXor);
  Draw(s, {0, 1, 8, 1});
  QCOMPARE(s.image().pixel(4, 1), qRgb(127, 127, 127));
  QCOMPARE(PixelsNot(s.image(), qRgb(255, 255, 255)).size(), 8);
}

// The dots are the start pixel and every second pixel after it; each LineTo
// starts the pattern afresh; pixels clipped away still count.
void ImageSurfaceTest::dottedPen_data() {
  QTest::addColumn<QList<int>>("path");  // x0, y0, then the LineTo points
  QTest::addColumn<QList<QPoint>>("expected");
  QTest::newRow("horizontal") << QList<int>{0, 5, 10, 5}
                              << QList<QPoint>{{0, 5}, {2, 5}, {4, 5}, {6, 5}, {8, 5}};
  QTest::newRow("odd length") << QList<int>{0, 5, 9, 5}
                              << QList<QPoint>{{0, 5}, {2, 5}, {4, 5}, {6, 5}, {8, 5}};
  QTest::newRow("diagonal") << QList<int>{0, 0, 6, 6} << QList<QPoint>{{0, 0}, {2, 2}, {4, 4}};
  QTest::newRow("upwards") << QList<int>{3, 9, 3, 0}
                           << QList<QPoint>{{3, 1}, {3, 3}, {3, 5}, {3, 7}, {3, 9}};
  QTest::newRow("restarts per LineTo")
      << QList<int>{0, 1, 5, 1, 10, 1}
      << QList<QPoint>{{0, 1}, {2, 1}, {4, 1}, {5, 1}, {7, 1}, {9, 1}};
  QTest::newRow("clipped start keeps phase")
      << QList<int>{-3, 5, 10, 5} << QList<QPoint>{{1, 5}, {3, 5}, {5, 5}, {7, 5}, {9, 5}};
}

void ImageSurfaceTest::dottedPen() {
  QFETCH(QList<int>, path);
  QFETCH(QList<QPoint>, expected);
  ImageSurface s(12, 10);
  s.SetPenColor(kGrey);
  s.SetPenStyle(PenStyle::kDot);
  s.MoveTo(path[0], path[1]);
  for (int i = 2; i + 1 < path.size(); i += 2) s.LineTo(path[i], path[i + 1]);
  QCOMPARE(PixelsNot(s.image(), qRgb(255, 255, 255)), Sorted(expected));
  for (const QPoint& p : expected) QCOMPARE(s.image().pixel(p), qRgb(128, 128, 128));
}

// A line clipped to the image must colour exactly the pixels it colours in an
// image large enough to hold it whole; drawing is translation invariant, so
// the reference is the same line shifted into a bigger image, then cropped.
void ImageSurfaceTest::clippingMatchesUnboundedImage_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<bool>("dotted");
  for (int i = 0; i < ClippedSegments().size(); ++i) {
    const Segment& g = ClippedSegments()[i];
    for (bool dotted : {false, true}) {
      QTest::addRow("%d,%d->%d,%d%s", g.x0, g.y0, g.x1, g.y1, dotted ? " dotted" : "")
          << i << dotted;
    }
  }
}

void ImageSurfaceTest::clippingMatchesUnboundedImage() {
  QFETCH(int, index);
  QFETCH(bool, dotted);
  const Segment g = ClippedSegments()[index];
  const int margin = 64;
  ImageSurface small(16, 8), big(16 + 2 * margin, 8 + 2 * margin);
  for (ImageSurface* s : {&small, &big}) s->SetPenStyle(dotted ? PenStyle::kDot : PenStyle::kSolid);
  Draw(small, g);
  Draw(big, {g.x0 + margin, g.y0 + margin, g.x1 + margin, g.y1 + margin});
  QCOMPARE(small.image(), big.image().copy(margin, margin, 16, 8));
  QCOMPARE(small.position(), std::make_pair(g.x1, g.y1));
}

// Lines from far outside; the expected pixels are worked out by hand.
void ImageSurfaceTest::farCoordinates_data() {
  QTest::addColumn<QList<int>>("line");
  QTest::addColumn<QList<QPoint>>("expected");
  QList<QPoint> row3, row4, diagonal, column6;
  for (int x = 0; x < 20; ++x) row3.append({x, 3}), row4.append({x, 4});
  for (int i = 0; i < 10; ++i) diagonal.append({i, i}), column6.append({6, i});
  QTest::newRow("wide horizontal") << QList<int>{-2000000000, 3, 2000000000, 3} << row3;
  QTest::newRow("int range") << QList<int>{INT_MIN, 4, INT_MAX, 4} << row4;
  QTest::newRow("long diagonal") << QList<int>{-1000000000, -1000000000, 1000000000, 1000000000}
                                 << diagonal;
  QTest::newRow("corner to corner") << QList<int>{INT_MAX, INT_MAX, INT_MIN, INT_MIN} << diagonal;
  // Steep, x rising by one over 2e9 rows: the ideal x is 5.5 at y = 0 and
  // above 5.5 below it, so every row of the image is at x = 6.
  QTest::newRow("steep from afar") << QList<int>{5, -1000000000, 6, 1000000000} << column6;
  QTest::newRow("passes by") << QList<int>{-1000000000, -5, 1000000000, -5} << QList<QPoint>{};
}

void ImageSurfaceTest::farCoordinates() {
  QFETCH(QList<int>, line);
  QFETCH(QList<QPoint>, expected);
  ImageSurface s(20, 10);
  Draw(s, {line[0], line[1], line[2], line[3]});
  QCOMPARE(PixelsNot(s.image(), qRgb(255, 255, 255)), Sorted(expected));
}

void ImageSurfaceTest::textFillsCellWithWhite_data() {
  QTest::addColumn<QImage::Format>("format");
  QTest::newRow("rgb") << QImage::Format_RGB32;
  QTest::newRow("mono") << QImage::Format_Mono;
}

void ImageSurfaceTest::textFillsCellWithWhite() {
  QFETCH(QImage::Format, format);
  ImageSurface s(QImage(60, 30, format));
  s.Clear(kBlack);
  s.SetFont("Arial Narrow", -12);
  const std::string text = "%T 100";
  const QRect cell(7, 5, s.TextWidth(text), s.TextHeight(text));
  QVERIFY(cell.width() > 10);
  QCOMPARE(cell.height(), 14);
  s.TextOut(cell.x(), cell.y(), text);
  int white = 0, dark = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 60; ++x) {
      const bool inCell = cell.contains(x, y);
      if (!inCell) {
        QVERIFY2(IsDark(s.image(), x, y), qPrintable(QString("%1,%2 touched").arg(x).arg(y)));
        continue;
      }
      if (s.image().pixel(x, y) == qRgb(255, 255, 255)) ++white;
      if (IsDark(s.image(), x, y)) ++dark;
    }
  }
  QVERIFY(dark > 10);                                  // the characters are there
  QVERIFY(white > cell.width() * cell.height() / 2);   // on a white cell
  for (int x = cell.left(); x <= cell.right(); ++x) {  // the cell's top row is blank
    QCOMPARE(s.image().pixel(x, cell.top()), qRgb(255, 255, 255));
  }
}

// The cell's top is at y: a capital sits on the baseline, ascent rows down.
void ImageSurfaceTest::textTopAtY() {
  ImageSurface s(40, 40);
  s.SetFont("Arial", -12);
  const int x = 10, y = 12;
  s.TextOut(x, y, "H");
  const QList<QPoint> ink = DarkPixels(s.image());
  QVERIFY(!ink.isEmpty());
  int top = INT_MAX, bottom = INT_MIN, left = INT_MAX;
  for (const QPoint& p : ink) {
    top = std::min(top, p.y());
    bottom = std::max(bottom, p.y());
    left = std::min(left, p.x());
  }
  const int ascent = QFontMetrics(s.font()).ascent();
  QVERIFY2(std::abs(bottom - (y + ascent - 1)) <= 1, qPrintable(QString::number(bottom)));
  QVERIFY(top > y);
  QVERIFY(bottom - top >= 7);  // a cap height of about 0.72 em
  QVERIFY(left >= x && left <= x + 2);
}

void ImageSurfaceTest::textIsBlackWhateverThePen() {
  ImageSurface s(40, 20);
  s.SetPenColor(kGrey);
  s.SetPenMode(PenMode::kNotXor);
  s.SetFont("Arial", -12);
  s.TextOut(2, 2, "HIH");
  bool black = false;
  for (const QPoint& p : DarkPixels(s.image()))
    black = black || s.image().pixel(p) == qRgb(0, 0, 0);
  QVERIFY(black);
  for (const QPoint& p : PixelsNot(s.image(), qRgb(255, 255, 255))) {
    const QRgb c = s.image().pixel(p);
    QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));  // no pen colour involved
  }
}

// 8-bit text is Latin-1, drawn with the cell top at y: the same pixels as Qt
// draws for the decoded characters on their baseline, ascent rows down.
void ImageSurfaceTest::textIsLatin1() {
  const std::string text = "\xC4 1715.3 cm\xAD\xB9 \xB0";
  const QString decoded =
      QString(QChar(0xC4)) + " 1715.3 cm" + QChar(0xAD) + QChar(0xB9) + " " + QChar(0xB0);
  ImageSurface s(120, 20);
  s.SetFont("Arial", -12);
  QCOMPARE(s.TextWidth("\xC4\xC4\xC4"), s.TextWidth("AAA"));  // A-umlaut has the advance of A
  QCOMPARE(s.TextWidth(text), QFontMetrics(s.font()).horizontalAdvance(decoded));
  s.TextOut(3, 2, text);

  QImage reference(120, 20, QImage::Format_RGB32);
  reference.fill(qRgb(255, 255, 255));
  {
    QPainter painter(&reference);
    painter.setFont(s.font());
    painter.setPen(Qt::black);
    painter.drawText(QPoint(3, 2 + QFontMetrics(s.font()).ascent()), decoded);
  }
  QCOMPARE(s.image(), reference);
}

void ImageSurfaceTest::fontsResolveToLiberation_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("height");
  QTest::addColumn<QString>("family");
  QTest::addColumn<int>("pixels");
  QTest::newRow("axis font") << "Arial Narrow" << -12 << "Liberation Sans Narrow" << 12;
  QTest::newRow("title font") << "Arial" << -12 << "Liberation Sans" << 12;
  QTest::newRow("any case") << "ARIAL NARROW" << -20 << "Liberation Sans Narrow" << 20;
  // 22 point at 96 dpi: -MulDiv(22, 96, 72) = -29.
  QTest::newRow("print size") << "Arial Narrow" << tesvar::FontHeightForPoints(22, 96)
                              << "Liberation Sans Narrow" << 29;
}

void ImageSurfaceTest::fontsResolveToLiberation() {
  QFETCH(QString, name);
  QFETCH(int, height);
  QFETCH(QString, family);
  QFETCH(int, pixels);
  QVERIFY2(QFontDatabase::families().contains(family),
           qPrintable(family + " is not installed (Debian package fonts-liberation)"));
  ImageSurface s(1, 1);
  s.SetFont(name.toStdString(), height);
  QFontInfo info(s.font());
  QCOMPARE(info.family(), family);
  QCOMPARE(info.pixelSize(), pixels);
}

// Liberation Sans has an ascent of 0.905 em and a descent of 0.212 em: at a
// 12 pixel em that is 11 + 3 = 14 pixels of cell. A positive height asks for
// the cell, so 14 gives that same font back.
void ImageSurfaceTest::positiveHeightIsCellHeight() {
  ImageSurface s(1, 1);
  s.SetFont("Arial", -12);
  QCOMPARE(s.TextHeight("0"), 14);
  // Digits are hinted to whole pixels: 1139/2048 em = 6.67 pixels -> 7 in
  // Liberation Sans, 934/2048 em = 5.47 -> 5 in Liberation Sans Narrow.
  QCOMPARE(s.TextWidth("00000"), 35);
  s.SetFont("Arial Narrow", -12);
  QCOMPARE(s.TextWidth("00000"), 25);
  s.SetFont("Arial", 14);
  QCOMPARE(QFontInfo(s.font()).pixelSize(), 12);
  int previous = 0;
  for (int cell = 6; cell <= 80; ++cell) {
    s.SetFont("Arial Narrow", cell);
    const int got = s.TextHeight("0");
    QVERIFY2(std::abs(got - cell) <= 1, qPrintable(QString("cell %1 -> %2").arg(cell).arg(got)));
    QVERIFY(got >= previous);
    previous = got;
  }
}

// A 1-bit image gets the same line pixels as the screen image: on a black and
// white table of either order, and in either bit order.
void ImageSurfaceTest::monoImageMatchesRgb_data() {
  QTest::addColumn<QImage::Format>("format");
  QTest::addColumn<bool>("whiteFirst");
  QTest::newRow("mono, black = 0") << QImage::Format_Mono << false;
  QTest::newRow("mono, white = 0") << QImage::Format_Mono << true;
  QTest::newRow("mono lsb") << QImage::Format_MonoLSB << false;
}

void ImageSurfaceTest::monoImageMatchesRgb() {
  QFETCH(QImage::Format, format);
  QFETCH(bool, whiteFirst);
  QImage mono(16, 8, format);
  mono.setColorTable(whiteFirst ? QList<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)}
                                : QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)});
  ImageSurface m(mono), rgb(16, 8);
  m.Clear();
  for (ImageSurface* s : {&m, &rgb}) {
    s->SetPenStyle(PenStyle::kDot);
    Draw(*s, {-2, 1, 17, 1});
    s->SetPenStyle(PenStyle::kSolid);
    for (const Segment& g : ClippedSegments()) Draw(*s, g);
    s->SetPenMode(PenMode::kNotXor);
    Draw(*s, {0, 6, 16, 6});
    Draw(*s, {4, 0, 4, 8});
  }
  QCOMPARE(m.image().format(), format);
  QCOMPARE(DarkPixels(m.image()), DarkPixels(rgb.image()));
  QCOMPARE(DarkPixels(m.image()), PixelsNot(rgb.image(), qRgb(255, 255, 255)));
}

void ImageSurfaceTest::monoPenColours() {
  ImageSurface s(QImage(10, 3, QImage::Format_Mono));
  s.Clear();
  QVERIFY(DarkPixels(s.image()).isEmpty());
  s.SetPenColor(kGrey);  // any colour but white is ink on paper
  Draw(s, {0, 0, 10, 0});
  QCOMPARE(DarkPixels(s.image()).size(), 10);
  s.SetPenColor(kWhite);
  Draw(s, {0, 0, 5, 0});
  QCOMPARE(DarkPixels(s.image()).size(), 5);
  const QByteArray before = Bytes(s.image());
  s.SetPenMode(PenMode::kNotXor);  // a white pen keeps every pixel
  Draw(s, {0, 0, 10, 0});
  QCOMPARE(Bytes(s.image()), before);
}

void ImageSurfaceTest::resizeAndClear() {
  ImageSurface s(QImage(8, 8, QImage::Format_MonoLSB));
  s.SetPenMode(PenMode::kNotXor);
  s.Resize(0, 0);
  QVERIFY(s.image().isNull());
  s.MoveTo(0, 0);
  s.LineTo(5, 5);  // nothing to draw on, no crash
  s.TextOut(0, 0, "x");
  s.Resize(20, 4);
  QCOMPARE(s.image().format(), QImage::Format_MonoLSB);
  QCOMPARE(s.image().size(), QSize(20, 4));
  QVERIFY(DarkPixels(s.image()).isEmpty());
  QCOMPARE(s.penMode(), PenMode::kNotXor);
  s.Clear(kBlack);
  QCOMPARE(DarkPixels(s.image()).size(), 80);

  ImageSurface argb(QImage(3, 2, QImage::Format_ARGB32));
  QCOMPARE(argb.image().format(), QImage::Format_RGB32);
  argb.Clear({1, 2, 3});
  QCOMPARE(argb.image().pixel(2, 1), qRgb(1, 2, 3));
}

void ImageSurfaceTest::givenImageIsNotChanged() {
  QImage given(6, 6, QImage::Format_RGB32);
  given.fill(qRgb(255, 255, 255));
  ImageSurface s(given);
  Draw(s, {0, 0, 6, 6});
  s.TextOut(0, 0, "A");
  QVERIFY(PixelsNot(given, qRgb(255, 255, 255)).isEmpty());
  QVERIFY(!PixelsNot(s.image(), qRgb(255, 255, 255)).isEmpty());
}

// The tests run on a font configuration that knows the installed fonts but
// none of the desktop's aliases (which map Arial to Liberation Sans on most
// Linux systems), so they show that the surface finds the fonts by itself.
int main(int argc, char** argv) {
  const std::string dir = tesvar::test::MakeTempDir();
  tesvar::test::WriteFile(dir + "/fonts.conf",
                          "<?xml version=\"1.0\"?>\n"
                          "<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                          "<fontconfig>\n"
                          "  <dir>/usr/share/fonts</dir>\n"
                          "  <dir>/usr/local/share/fonts</dir>\n"
                          "  <cachedir>/var/cache/fontconfig</cachedir>\n"
                          "  <cachedir>" +
                              dir +
                              "/cache</cachedir>\n"
                              "</fontconfig>\n");
  qputenv("FONTCONFIG_FILE", QByteArray::fromStdString(dir + "/fonts.conf"));
  QGuiApplication app(argc, argv);
  ImageSurfaceTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "image_surface_qttest.moc"
