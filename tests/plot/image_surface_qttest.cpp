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
using tesvar::PenMode;
using tesvar::PenStyle;

namespace {

using Path = QList<int>;  // x0, y0, then the points of successive LineTo calls
using Points = QList<QPoint>;

void Draw(ImageSurface& s, const Path& path, int shift = 0) {
  s.MoveTo(path[0] + shift, path[1] + shift);
  for (int i = 2; i + 1 < path.size(); i += 2) s.LineTo(path[i] + shift, path[i + 1] + shift);
}

tesvar::Rgb FromQRgb(QRgb c) { return {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))}; }

// The pixels, in row-major order, that are dark or that are not white.
template <typename Pick>
Points Pixels(const QImage& image, Pick pick) {
  Points out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (pick(image.pixel(x, y))) out.append(QPoint(x, y));
    }
  }
  return out;
}
Points Dark(const QImage& image) {
  return Pixels(image, [](QRgb c) { return qGray(c) < 128; });
}
Points NotWhite(const QImage& image) {
  return Pixels(image, [](QRgb c) { return (c & 0xFFFFFF) != 0xFFFFFF; });
}

Points Sorted(Points points) {
  std::sort(points.begin(), points.end(), [](const QPoint& a, const QPoint& b) {
    return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
  });
  return points;
}

QByteArray Bytes(const QImage& image) {
  return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

// Lines that start, end or run outside a 16 x 8 image, or lie wholly outside.
const QList<Path> kClipped = {
    {-5, -3, 20, 9},  {3, -10, 7, 20},  {20, 2, -7, 5},  {-20, -20, -1, -1}, {16, 0, 30, 7},
    {-4, 10, 20, -6}, {15, 7, -30, -1}, {-1, 3, 16, 3},  {8, -1, 8, 8},      {0, 8, 15, 8},
    {-9, 0, 0, 9},    {16, -3, 5, 8},   {-40, 7, 40, 0}, {2, 50, 3, -50},
};

}  // namespace

class ImageSurfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void linePixels_data();
  void linePixels();
  void lineCoversEveryStepOnce();
  void notXorRule_data();
  void notXorRule();
  void notXorTwiceRestoresImage_data();
  void notXorTwiceRestoresImage();
  void copyOverNotXor();
  void clippingMatchesUnboundedImage_data();
  void clippingMatchesUnboundedImage();
  void textFillsCellWithWhite_data();
  void textFillsCellWithWhite();
  void textIsWindows1252AtCellTop();
  void fontsResolveToLiberation_data();
  void fontsResolveToLiberation();
  void fontHeights();
  void monoImageMatchesRgb_data();
  void monoImageMatchesRgb();
  void imageHandling();
};

// Expected pixels worked out by hand from the rule "one pixel per step along
// the major axis, the minor coordinate the ideal one rounded half up, the end
// pixel left out; dotted: the start pixel and every second one after it,
// afresh for each LineTo, pixels clipped away counted".
// (0,0)->(4,2): ideal y at x = 0..3 is 0, .5, 1, 1.5 -> 0, 1, 1, 2. Backwards
// from (4,2) the ideal y at x = 4..1 is 2, 1.5, 1, .5 -> 2, 2, 1, 1.
// (5,-1e9)->(6,1e9): the ideal x is 5.5 at y = 0 and more below it -> x = 6.
void ImageSurfaceTest::linePixels_data() {
  QTest::addColumn<Path>("path");
  QTest::addColumn<bool>("dotted");
  QTest::addColumn<Points>("expected");
  auto row = [](const char* name, Path path, Points expected, bool dotted = false) {
    QTest::newRow(name) << path << dotted << expected;
  };
  row("horizontal right", {1, 1, 5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}});
  row("horizontal left", {5, 1, 1, 1}, {{2, 1}, {3, 1}, {4, 1}, {5, 1}});
  row("vertical down", {2, 0, 2, 3}, {{2, 0}, {2, 1}, {2, 2}});
  row("vertical up", {2, 3, 2, 0}, {{2, 1}, {2, 2}, {2, 3}});
  row("diagonal", {0, 0, 3, 3}, {{0, 0}, {1, 1}, {2, 2}});
  row("anti-diagonal", {3, 0, 0, 3}, {{3, 0}, {2, 1}, {1, 2}});
  row("shallow, ties", {0, 0, 4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}});
  row("shallow backwards", {4, 2, 0, 0}, {{1, 1}, {2, 1}, {3, 2}, {4, 2}});
  row("steep", {0, 0, 2, 4}, {{0, 0}, {1, 1}, {1, 2}, {2, 3}});           // x: 0, .5, 1, 1.5
  row("gentle", {0, 0, 5, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}});  // y: 0 .. .8
  row("zero length", {3, 3, 3, 3}, {});
  row("dotted", {0, 5, 10, 5}, {{0, 5}, {2, 5}, {4, 5}, {6, 5}, {8, 5}}, true);
  row("dotted, odd length", {0, 5, 9, 5}, {{0, 5}, {2, 5}, {4, 5}, {6, 5}, {8, 5}}, true);
  row("dotted diagonal", {0, 0, 6, 6}, {{0, 0}, {2, 2}, {4, 4}}, true);
  row("dotted upwards", {3, 9, 3, 0}, {{3, 1}, {3, 3}, {3, 5}, {3, 7}, {3, 9}}, true);
  row("dots restart per LineTo", {0, 1, 5, 1, 10, 1},
      {{0, 1}, {2, 1}, {4, 1}, {5, 1}, {7, 1}, {9, 1}}, true);
  row("dots keep phase when clipped", {-3, 5, 10, 5}, {{1, 5}, {3, 5}, {5, 5}, {7, 5}, {9, 5}},
      true);
  Points row3, row4, diagonal, column6;
  for (int x = 0; x < 20; ++x) row3.append({x, 3});
  for (int x = 0; x < 20; ++x) row4.append({x, 4});
  for (int i = 0; i < 10; ++i) diagonal.append({i, i});
  for (int i = 0; i < 10; ++i) column6.append({6, i});
  row("wide horizontal", {-2000000000, 3, 2000000000, 3}, row3);
  row("whole int range", {INT_MIN, 4, INT_MAX, 4}, row4);
  row("long diagonal", {-1000000000, -1000000000, 1000000000, 1000000000}, diagonal);
  row("corner to corner", {INT_MAX, INT_MAX, INT_MIN, INT_MIN}, diagonal);
  row("steep from afar", {5, -1000000000, 6, 1000000000}, column6);
  row("passes by", {-1000000000, -5, 1000000000, -5}, {});
}

void ImageSurfaceTest::linePixels() {
  QFETCH(Path, path);
  QFETCH(bool, dotted);
  QFETCH(Points, expected);
  ImageSurface s(20, 10);
  s.SetPenColor(tesvar::kGrey);
  s.SetPenStyle(dotted ? PenStyle::kDot : PenStyle::kSolid);
  Draw(s, path);
  QCOMPARE(NotWhite(s.image()), Sorted(expected));
  for (const QPoint& p : expected) QCOMPARE(s.image().pixel(p), qRgb(128, 128, 128));
  QCOMPARE(s.position(), std::make_pair(path[path.size() - 2], path.back()));
}

// Over many directions: one pixel per major-axis step, the start pixel drawn,
// the end pixel not, each pixel within half a pixel of the ideal line.
void ImageSurfaceTest::lineCoversEveryStepOnce() {
  for (int dx = -13; dx <= 13; ++dx) {
    for (int dy = -13; dy <= 13; ++dy) {
      const int x0 = 15, y0 = 15, n = std::max(std::abs(dx), std::abs(dy));
      ImageSurface s(31, 31);
      Draw(s, {x0, y0, x0 + dx, y0 + dy});
      const Points pixels = NotWhite(s.image());
      QCOMPARE(pixels.size(), n);
      QCOMPARE(pixels.contains(QPoint(x0, y0)), n > 0);
      QVERIFY(!pixels.contains(QPoint(x0 + dx, y0 + dy)));
      const bool xMajor = std::abs(dx) >= std::abs(dy);
      for (const QPoint& p : pixels) {
        const double t = xMajor ? std::abs(p.x() - x0) : std::abs(p.y() - y0);
        const double off = xMajor ? p.y() - (y0 + t * dy / n) : p.x() - (x0 + t * dx / n);
        QVERIFY2(std::abs(off) <= 0.5,
                 qPrintable(QString::asprintf("+%d+%d: pixel %d,%d", dx, dy, p.x(), p.y())));
      }
    }
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
  // A different colour in almost every pixel: no mistaken change can hide.
  QImage start(16, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) start.setPixel(x, y, qRgb(x * 7, y * 13, (x * y) % 256));
  }
  if (format != QImage::Format_RGB32) start = start.convertToFormat(format, Qt::ThresholdDither);
  ImageSurface s(start);
  s.SetPenColor(FromQRgb(pen));
  s.SetPenMode(PenMode::kNotXor);
  s.SetPenStyle(dotted ? PenStyle::kDot : PenStyle::kSolid);
  QList<Path> lines = kClipped;
  lines.append({{0, 0, 15, 7}, {15, 0, 0, 7, 3, 1}, {1, 4, 14, 4, 14, 0}});
  for (const Path& path : lines) Draw(s, path);
  QVERIFY(Bytes(s.image()) != Bytes(start));
  for (const Path& path : lines) Draw(s, path);
  QCOMPARE(Bytes(s.image()), Bytes(start));
}

void ImageSurfaceTest::copyOverNotXor() {
  ImageSurface s(8, 3);
  s.SetPenMode(PenMode::kNotXor);
  Draw(s, {0, 1, 8, 1});
  QCOMPARE(s.image().pixel(4, 1), qRgb(0, 0, 0));
  s.SetPenMode(PenMode::kCopy);
  s.SetPenColor(tesvar::kGrey);
  Draw(s, {0, 1, 8, 1});
  for (int x = 0; x < 8; ++x) QCOMPARE(s.image().pixel(x, 1), qRgb(128, 128, 128));
  s.SetPenColor(tesvar::kBlack);
  s.SetPenMode(PenMode::kNotXor);
  Draw(s, {0, 1, 8, 1});
  QCOMPARE(s.image().pixel(4, 1), qRgb(127, 127, 127));
  QCOMPARE(NotWhite(s.image()).size(), 8);
}

// A clipped line must colour exactly what it colours in an image that holds
// it whole. Drawing is translation invariant, so the reference is the same
// line shifted into a bigger image, then cropped.
void ImageSurfaceTest::clippingMatchesUnboundedImage_data() {
  QTest::addColumn<Path>("path");
  QTest::addColumn<bool>("dotted");
  for (const Path& p : kClipped) {
    for (bool dotted : {false, true}) {
      QTest::addRow("%d,%d->%d,%d%s", p[0], p[1], p[2], p[3], dotted ? " dotted" : "")
          << p << dotted;
    }
  }
}

void ImageSurfaceTest::clippingMatchesUnboundedImage() {
  QFETCH(Path, path);
  QFETCH(bool, dotted);
  const int margin = 64;
  ImageSurface small(16, 8), big(16 + 2 * margin, 8 + 2 * margin);
  for (ImageSurface* s : {&small, &big}) s->SetPenStyle(dotted ? PenStyle::kDot : PenStyle::kSolid);
  Draw(small, path);
  Draw(big, path, margin);
  QCOMPARE(small.image(), big.image().copy(margin, margin, 16, 8));
}

void ImageSurfaceTest::textFillsCellWithWhite_data() {
  QTest::addColumn<QImage::Format>("format");
  QTest::newRow("rgb") << QImage::Format_RGB32;
  QTest::newRow("mono") << QImage::Format_Mono;
}

// On black, whatever the pen: the cell turns white with black characters,
// nothing outside it changes.
void ImageSurfaceTest::textFillsCellWithWhite() {
  QFETCH(QImage::Format, format);
  ImageSurface s(QImage(60, 30, format));
  s.Clear(tesvar::kBlack);
  s.SetPenColor(tesvar::kGrey);
  s.SetPenMode(PenMode::kNotXor);
  s.SetFont("Arial Narrow", -12);
  const std::string text = "%T 100";
  const QRect cell(7, 5, s.TextWidth(text), s.TextHeight(text));
  QVERIFY(cell.width() > 10);
  s.TextOut(cell.x(), cell.y(), text);

  const QImage& image = s.image();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!cell.contains(x, y))
        QVERIFY2(image.pixel(x, y) == 0xFF000000, qPrintable(QString("%1,%2").arg(x).arg(y)));
    }
  }
  const QImage inCell = image.copy(cell);
  QVERIFY(Dark(inCell).size() > 10);  // the characters, in black
  QVERIFY(!Pixels(inCell, [](QRgb c) { return c == 0xFF000000; }).isEmpty());
  const Points white = Pixels(inCell, [](QRgb c) { return c == 0xFFFFFFFF; });
  QVERIFY(white.size() > cell.width() * cell.height() / 2);  // on a white cell
  for (int x = 0; x < cell.width(); ++x) QVERIFY(white.contains({x, 0}));
}

// 8-bit text is Windows-1252 (the Euro sign and the quotes of 0x80-0x9F,
// Latin-1 above) and drawn with the cell top at y: the pixels Qt draws for
// the decoded characters on a baseline ascent rows down.
void ImageSurfaceTest::textIsWindows1252AtCellTop() {
  const std::string text = "\x93\xC4\x94 1715.3 cm\xAD\xB9 \xB0 \x80";
  const QString decoded = QString(QChar(0x201C)) + QChar(0xC4) + QChar(0x201D) + " 1715.3 cm" +
                          QChar(0xAD) + QChar(0xB9) + " " + QChar(0xB0) + " " + QChar(0x20AC);
  ImageSurface s(120, 20);
  s.SetFont("Arial", -12);
  QCOMPARE(s.TextWidth("\xC4\xC4\xC4"), s.TextWidth("AAA"));  // A-umlaut has the advance of A
  QCOMPARE(s.TextWidth(text), QFontMetrics(s.font()).horizontalAdvance(decoded));
  s.TextOut(3, 2, text);

  QImage reference(120, 20, QImage::Format_RGB32);
  reference.fill(qRgb(255, 255, 255));
  QPainter painter(&reference);
  painter.setFont(s.font());
  painter.drawText(QPoint(3, 2 + QFontMetrics(s.font()).ascent()), decoded);
  painter.end();
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

// Liberation Sans: ascent 0.905 em, descent 0.212 em, so a 12 pixel em has a
// cell of 11 + 3 = 14 pixels, and a positive height 14 (a cell height) gives
// that font back. Digits are hinted to whole pixels: 1139/2048 em = 6.67 ->
// 7 pixels; in Liberation Sans Narrow 934/2048 em = 5.47 -> 5 pixels.
void ImageSurfaceTest::fontHeights() {
  ImageSurface s(1, 1);
  s.SetFont("Arial", -12);
  QCOMPARE(s.TextHeight("0"), 14);
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

// A 1-bit image gets the same line pixels as the screen image, for a colour
// table of either order and either bit order; any pen but white is ink.
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
    for (const Path& path : kClipped) Draw(*s, path);
    s->SetPenMode(PenMode::kNotXor);
    Draw(*s, {0, 6, 16, 6, 4, 0});
  }
  QCOMPARE(m.image().format(), format);
  QCOMPARE(Dark(m.image()), Dark(rgb.image()));
  QCOMPARE(Dark(m.image()), NotWhite(rgb.image()));

  m.Clear();
  m.SetPenMode(PenMode::kCopy);
  m.SetPenColor(tesvar::kGrey);
  Draw(m, {0, 0, 10, 0});
  QCOMPARE(Dark(m.image()).size(), 10);
  m.SetPenColor(tesvar::kWhite);
  Draw(m, {0, 0, 5, 0});
  QCOMPARE(Dark(m.image()).size(), 5);
  const QByteArray before = Bytes(m.image());
  m.SetPenMode(PenMode::kNotXor);  // a white pen keeps every pixel
  Draw(m, {0, 0, 10, 0});
  QCOMPARE(Bytes(m.image()), before);
}

void ImageSurfaceTest::imageHandling() {
  ImageSurface s(QImage(8, 8, QImage::Format_MonoLSB));
  s.SetPenMode(PenMode::kNotXor);
  s.Resize(0, 0);
  QVERIFY(s.image().isNull());
  Draw(s, {0, 0, 5, 5});  // nothing to draw on, no crash
  s.TextOut(0, 0, "x");
  s.Resize(20, 4);  // keeps the format and the pen, white
  QCOMPARE(s.image().format(), QImage::Format_MonoLSB);
  QCOMPARE(s.image().size(), QSize(20, 4));
  QVERIFY(Dark(s.image()).isEmpty());
  QCOMPARE(s.penMode(), PenMode::kNotXor);
  s.Clear(tesvar::kBlack);
  QCOMPARE(Dark(s.image()).size(), 80);

  ImageSurface argb(QImage(3, 2, QImage::Format_ARGB32));
  QCOMPARE(argb.image().format(), QImage::Format_RGB32);

  QImage given(6, 6, QImage::Format_RGB32);  // the caller's copy stays as it was
  given.fill(qRgb(255, 255, 255));
  ImageSurface onGiven(given);
  Draw(onGiven, {0, 0, 6, 6});
  onGiven.TextOut(0, 0, "A");
  QVERIFY(NotWhite(given).isEmpty());
  QVERIFY(!NotWhite(onGiven.image()).isEmpty());
}

// The tests run on a font configuration that knows the installed fonts but
// none of the desktop's aliases (which map Arial to Liberation Sans on most
// Linux systems), so they show that the surface finds the fonts by itself.
int main(int argc, char** argv) {
  const std::string dir = tesvar::test::MakeTempDir();
  const std::string config =
      "<fontconfig><dir>/usr/share/fonts</dir>"
      "<dir>/usr/local/share/fonts</dir>"
      "<cachedir>/var/cache/fontconfig</cachedir><cachedir>" +
      dir + "/cache</cachedir></fontconfig>\n";
  tesvar::test::WriteFile(dir + "/fonts.conf", config);
  qputenv("FONTCONFIG_FILE", QByteArray::fromStdString(dir + "/fonts.conf"));
  QGuiApplication app(argc, argv);
  ImageSurfaceTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "image_surface_qttest.moc"
