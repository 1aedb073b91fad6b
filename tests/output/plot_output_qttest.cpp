// The picture outputs on Qt: the metafile picture read back by an
// independent reader, the clipboard, the metafile file and its failures,
// the printout bitmap, the PDF printout and the screen image.
//
// With TESVAR_PICTURE_DIR set, writePictures leaves a metafile, a PDF and a
// screen PNG of the sample there for picture_peers_test.sh, which opens
// them with wmf2gd and pdftoppm.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>
#include <QtTest>
#include <algorithm>
#include <map>

#include "core/messages.h"
#include "core/number_text.h"
#include "core/spectrum.h"
#include "formats/file_kinds.h"
#include "formats/sp_file.h"
#include "output/plot_output_qt.h"
#include "output/wmf_reader.h"
#include "plot/image_surface_qt.h"
#include "plot/view_state.h"
#include "test_support.h"

using namespace tesvar;
using test::ParsedWmf;
using test::WmfRecord;

namespace {

// The sample runs from 4000 to 450 1/cm in steps of 1 (3551 points).
Spectrum Sample() {
  Spectrum s;
  const std::string path = std::string(TESVAR_SOURCE_DIR) + "/samples/polystyrene.sp";
  if (!ReadSpFile(path, s).loaded()) qFatal("cannot read %s", path.c_str());
  return s;
}

LabelList Labels(const QList<PeakLabel>& list) {
  LabelList labels;
  for (const PeakLabel& l : list) labels.Insert(l);
  return labels;
}

// One label of every kind, one of them below the frame.
const QList<PeakLabel> kFourLabels = {
    {3026.0, 0.45, 0}, {2850.0, 0.9, 3}, {1601.4, 0.3, 1}, {700.0, -0.05, 2}};

std::vector<std::string> Texts(const ParsedWmf& w) {
  std::vector<std::string> texts;
  for (const WmfRecord& r : w.records) {
    if (r.function == test::kWmfTextOut) texts.push_back(test::WmfText(r));
  }
  return texts;
}

int Count(const ParsedWmf& w, uint16_t function) {
  return static_cast<int>(
      std::count_if(w.records.begin(), w.records.end(),
                    [&](const WmfRecord& r) { return r.function == function; }));
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Font heights of the CreateFontIndirect records, in order.
QList<int> FontHeights(const ParsedWmf& w) {
  QList<int> heights;
  for (const WmfRecord& r : w.records) {
    if (r.function == test::kWmfCreateFont) heights.append(static_cast<int16_t>(r.params[0]));
  }
  return heights;
}

// Pixels that are not white: ink on a 1-bit image, anything drawn on RGB32.
qint64 Ink(const QImage& image) {
  qint64 ink = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ink += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
  }
  return ink;
}

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class PlotOutputTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void metafileOfSample_data();
  void metafileOfSample();
  void gridAddsDottedGreyLines();
  void labelsAddTextsAndLines_data();
  void labelsAddTextsAndLines();
  void clipboardHoldsBitmapAndMetafile();
  void writeMetafile_data();
  void writeMetafile();
  void printBitmap_data();
  void printBitmap();
  void pdfHasOnePageWithTheBitmapUnscaled();
  void pdfInMissingFolder();
  void screenPlot_data();
  void screenPlot();
  void writePictures();
  void comparisonsInTheirColours();

 private:
  Spectrum sample_;
  std::string tempDir_;
};

void PlotOutputTest::initTestCase() {
  sample_ = Sample();
  tempDir_ = test::MakeTempDir();
}

void PlotOutputTest::metafileOfSample_data() {
  QTest::addColumn<int>("screenWidth");
  QTest::addColumn<int>("screenHeight");
  QTest::newRow("1280 x 1024") << 1280 << 1024;
  QTest::newRow("1920 x 1080") << 1920 << 1080;
}

void PlotOutputTest::metafileOfSample() {
  QFETCH(int, screenWidth);
  QFETCH(int, screenHeight);
  const MetafilePicture picture =
      RecordPlotMetafile(sample_, false, LabelList(), screenWidth, screenHeight);
  QCOMPARE(picture.width, screenWidth - 1);
  QCOMPARE(picture.height, screenHeight - 1);

  const ParsedWmf w = test::ParseWmf(picture.wmf);
  QVERIFY2(w.ok(), w.Problems().c_str());
  // The picture is one pixel smaller than the screen in each direction.
  QCOMPARE(w.left, 0);
  QCOMPARE(w.top, 0);
  QCOMPARE(w.right, screenWidth - 1);
  QCOMPARE(w.bottom, screenHeight - 1);
  QCOMPARE(w.inch, 100);

  const std::vector<std::string> texts = Texts(w);
  // Ordinate numbers at even tenths, abscissa numbers at multiples of 500
  // in four characters, the unit at 1800 1/cm (inside 4000 ... 450), the
  // title.
  for (const char* t : {"0", "20", "40", "60", "80", "100", "%T", "4000", "3500", "2000", "1500",
                        "1000", " 500", "cm", "-1"}) {
    QVERIFY2(Contains(texts, t), t);
  }
  QVERIFY(!Contains(texts, "10"));
  QVERIFY(!Contains(texts, " 400"));
  QVERIFY(Contains(texts, sample_.ShortComment));
  QCOMPARE(sample_.ShortComment, std::string("Polystyrene film (synthetic sample)"));
  // 6 ordinate numbers, "%T", the title, 8 abscissa numbers, "cm", "-1".
  QCOMPARE(texts.size(), std::size_t{18});

  // Only the axis font, 14 pt at 96 dpi = 18.67 px, character height 19.
  QCOMPARE(FontHeights(w), QList<int>{-19});
  for (const WmfRecord& r : w.records) {
    if (r.function == test::kWmfCreateFont)
      QCOMPARE(test::WmfFaceName(r), std::string("Arial Narrow"));
  }
  // Line segments: the frame width FW = (SW - 2) - (2 TW + 4) holds about
  // 1200 columns for 3551 points, at most 0.5 column per point, so the curve
  // reaches every column from L + 1 to L + FW once: FW segments. Then 11
  // ordinate ticks, 36 abscissa ticks (4000 down to 500) and 4 frame sides.
  ImageSurface metrics(1, 1);
  metrics.SetFont("Arial Narrow", -19);
  const int frameWidth = (screenWidth - 2) - (2 * metrics.TextWidth("000") + 4);
  QCOMPARE(Count(w, test::kWmfLineTo), frameWidth + 11 + 36 + 4);
  // One move-to per tick, one for the curve, one for the frame.
  QCOMPARE(Count(w, test::kWmfMoveTo), 11 + 36 + 1 + 1);
}

void PlotOutputTest::gridAddsDottedGreyLines() {
  const ParsedWmf off = test::ParseWmf(RecordPlotMetafile(sample_, false, {}, 1280, 1024).wmf);
  const ParsedWmf on = test::ParseWmf(RecordPlotMetafile(sample_, true, {}, 1280, 1024).wmf);
  QVERIFY(off.ok() && on.ok());

  // Pen records: colour in params[3..4] (red | green << 8, blue), style in
  // params[0] (2 = dotted).
  auto pens = [](const ParsedWmf& w) {
    QList<QList<int>> list;
    for (const WmfRecord& r : w.records) {
      if (r.function == test::kWmfCreatePen) {
        list.append({r.params[0], r.params[3] & 0xFF, r.params[3] >> 8, r.params[4] & 0xFF});
      }
    }
    return list;
  };
  const QList<QList<int>> solidBlack = {{0, 0, 0, 0}};
  QCOMPARE(pens(off), solidBlack);
  // Grey first (still solid), then dotted, back to black (still dotted),
  // then solid again.
  const QList<QList<int>> grid = {
      {0, 0, 0, 0}, {0, 128, 128, 128}, {2, 128, 128, 128}, {2, 0, 0, 0}, {0, 0, 0, 0}};
  QCOMPARE(pens(on), grid);
  // Lines: 9 horizontal, and vertical ones at 4000, 3500, 3000, 2500, 2000
  // (multiples of 500 from 2000 up) and every 100 from 1900 down to 500
  // (15): 29 more line segments and move-tos.
  QCOMPARE(Count(on, test::kWmfLineTo) - Count(off, test::kWmfLineTo), 29);
  QCOMPARE(Count(on, test::kWmfMoveTo) - Count(off, test::kWmfMoveTo), 29);
  QCOMPARE(Texts(on), Texts(off));
}

void PlotOutputTest::labelsAddTextsAndLines_data() {
  QTest::addColumn<QList<PeakLabel>>("labels");
  QTest::addColumn<QStringList>("texts");
  // One decimal, right-aligned in at least 4 characters: no blank before
  // "700.0", which already has 5.
  QTest::newRow("every kind") << kFourLabels << QStringList{"3026.0", "2850.0", "1601.4", "700.0"};
  QTest::newRow("list order is descending")
      << QList<PeakLabel>{{450.0, 1.2, 0}, {4000.0, 0.5, 3}} << QStringList{"4000.0", "450.0"};
}

void PlotOutputTest::labelsAddTextsAndLines() {
  QFETCH(QList<PeakLabel>, labels);
  QFETCH(QStringList, texts);
  const ParsedWmf plain = test::ParseWmf(RecordPlotMetafile(sample_, false, {}, 1280, 1024).wmf);
  const ParsedWmf w =
      test::ParseWmf(RecordPlotMetafile(sample_, false, Labels(labels), 1280, 1024).wmf);
  QVERIFY2(w.ok(), w.Problems().c_str());

  // The labels come first (no grid), in list order, before "%T".
  const std::vector<std::string> all = Texts(w);
  QVERIFY(all.size() > static_cast<std::size_t>(texts.size()));
  for (int i = 0; i < texts.size(); ++i) QCOMPARE(all[i], texts[i].toStdString());
  QCOMPARE(all[texts.size()], std::string("%T"));
  QCOMPARE(all.size() - Texts(plain).size(), static_cast<std::size_t>(texts.size()));
  // A leader and a stem each.
  QCOMPARE(Count(w, test::kWmfLineTo) - Count(plain, test::kWmfLineTo), 2 * texts.size());
  // The label font (10 pt = 13.33 px, character height 13) before the
  // labels, the axis font after them.
  QCOMPARE(FontHeights(w), (QList<int>{-19, -13, -19}));
}

void PlotOutputTest::clipboardHoldsBitmapAndMetafile() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("left over");
  const MetafilePicture picture =
      RecordPlotMetafile(sample_, true, Labels(kFourLabels), 1280, 1024);
  PutPictureOnClipboard(picture);

  const QMimeData* data = clipboard->mimeData();
  QVERIFY(data != nullptr);
  QVERIFY(!data->hasText());  // emptied first
  QVERIFY(data->hasImage());
  const QImage image = qvariant_cast<QImage>(data->imageData());
  QCOMPARE(image.size(), QSize(1279, 1023));
  QCOMPARE(image.convertToFormat(QImage::Format_RGB32), RenderRecording(picture));
  const qint64 ink = Ink(image);
  QVERIFY2(ink > 5000 && ink < 1279 * 1023 / 10, QByteArray::number(ink));

  // The metafile bytes are the same as those saved to a file.
  QVERIFY(data->hasFormat("image/x-wmf"));
  const std::string path = tempDir_ + "/clip.wmf";
  RecordedMessages m;
  QVERIFY(test::Told(WriteMetafileFile(path, picture), m));
  QCOMPARE(data->data("image/x-wmf"), FileBytes(QString::fromStdString(path)));
  QVERIFY(test::ParseWmf(data->data("image/x-wmf").toStdString()).ok());
}

void PlotOutputTest::writeMetafile_data() {
  QTest::addColumn<QString>("relative");  // below the temporary folder
  QTest::addColumn<bool>("written");
  QTest::newRow("new file") << "new.wmf" << true;
  QTest::newRow("missing folder") << "no/such/folder/plot.wmf" << false;
  QTest::newRow("a folder of that name") << "folder.wmf" << false;
}

void PlotOutputTest::writeMetafile() {
  QFETCH(QString, relative);
  QFETCH(bool, written);
  const std::string path = tempDir_ + "/" + relative.toStdString();
  QDir(QString::fromStdString(tempDir_)).mkpath("folder.wmf");

  const MetafilePicture picture = RecordPlotMetafile(sample_, false, {}, 1280, 1024);
  RecordedMessages m;
  QCOMPARE(test::Told(WriteMetafileFile(path, picture), m), written);
  if (written) {
    QVERIFY(m.errors.empty());
    QCOMPARE(test::ReadFile(path), picture.wmf);
  } else {
    QCOMPARE(m.errors, std::vector<std::string>{"Could not write file " + path});
  }
}

void PlotOutputTest::printBitmap_data() {
  QTest::addColumn<int>("printableWidth");
  QTest::addColumn<QSize>("size");
  // W = printable width - 2 x 100, H = W div 2.
  QTest::newRow("2400") << 2400 << QSize(2200, 1100);
  QTest::newRow("A4 at 600 dpi") << 4960 << QSize(4760, 2380);
  QTest::newRow("no height") << 201 << QSize();  // 1 x 0
}

void PlotOutputTest::printBitmap() {
  QFETCH(int, printableWidth);
  QFETCH(QSize, size);
  const QImage bitmap = RenderPrintBitmap(sample_, true, Labels(kFourLabels), printableWidth);
  if (!size.isValid()) {
    QVERIFY(bitmap.isNull());
    return;
  }
  QCOMPARE(bitmap.size(), size);
  QCOMPARE(bitmap.format(), QImage::Format_Mono);
  QCOMPARE(bitmap.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
  const qint64 ink = Ink(bitmap);
  const qint64 area = qint64{size.width()} * size.height();
  QVERIFY2(ink > area / 500 && ink < area / 5, QByteArray::number(ink));

  // The frame's right edge is W - 41 (PlotLeft + PlotWidth with PlotWidth =
  // (W - 1) - PlotLeft - 40); the 40 columns right of it stay white.
  const int right = size.width() - 41;
  const int middle = size.height() / 2;
  QCOMPARE(bitmap.pixelIndex(right, middle), 0);
  for (int x = right + 1; x < size.width(); ++x) {
    for (int y = 0; y < size.height(); ++y) {
      if (bitmap.pixelIndex(x, y) != 1) QFAIL(qPrintable(QString("ink at %1, %2").arg(x).arg(y)));
    }
  }
}

void PlotOutputTest::pdfHasOnePageWithTheBitmapUnscaled() {
  const std::string path = tempDir_ + "/printout.pdf";
  test::WriteFile(path, "an older file");
  RecordedMessages m;
  QVERIFY(test::Told(WritePrintPdf(path, sample_, true, Labels(kFourLabels)), m));
  QVERIFY(m.errors.empty());
  const QByteArray pdf = FileBytes(QString::fromStdString(path));
  QVERIFY(pdf.startsWith("%PDF-"));
  QVERIFY(pdf.trimmed().endsWith("%%EOF"));
  // One page object ("/Type /Pages" is the page tree), A4 in points.
  const QString text = QString::fromLatin1(pdf);
  QCOMPARE(text.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")), 1);
  QVERIFY(text.contains(
      QRegularExpression("/MediaBox\\s*\\[\\s*0\\s+0\\s+595(\\.0*)?\\s+842(\\.0*)?\\s*\\]")));
  // The bitmap for a printable width of 4960 pixels, kept at one bit per
  // pixel: 4760 x 2380.
  QVERIFY(text.contains(QRegularExpression("/Width\\s+4760\\b")));
  QVERIFY(text.contains(QRegularExpression("/Height\\s+2380\\b")));
  QVERIFY(text.contains(QRegularExpression("/BitsPerComponent\\s+1\\b")));
}

void PlotOutputTest::pdfInMissingFolder() {
  const std::string path = tempDir_ + "/missing/printout.pdf";
  RecordedMessages m;
  QVERIFY(!test::Told(WritePrintPdf(path, sample_, false, {}), m));
  QCOMPARE(m.errors, std::vector<std::string>{"Could not write file " + path});
  QVERIFY(!QFile::exists(QString::fromStdString(path)));
}

void PlotOutputTest::screenPlot_data() {
  QTest::addColumn<bool>("shown");
  QTest::addColumn<bool>("grid");
  QTest::addColumn<QSize>("size");
  QTest::newRow("converter default") << true << false << QSize(1200, 400);
  QTest::newRow("grid") << true << true << QSize(1200, 400);
  QTest::newRow("nothing shown") << false << false << QSize(640, 300);
}

void PlotOutputTest::screenPlot() {
  QFETCH(bool, shown);
  QFETCH(bool, grid);
  QFETCH(QSize, size);
  Spectrum spectrum = sample_;
  ViewState view;
  view.SpectrumShown = shown;
  view.GridOn = grid;
  const QImage image = RenderScreenPlot(spectrum, view, size.width(), size.height());
  QCOMPARE(image.size(), size);
  QCOMPARE(image.format(), QImage::Format_RGB32);
  const qint64 ink = Ink(image);
  if (!shown) {
    QCOMPARE(ink, qint64{0});
    return;
  }
  QVERIFY2(ink > size.width() && ink < qint64{size.width()} * size.height() / 5,
           QByteArray::number(ink));
  // The frame of this paint went into the view: its right edge is W - 3.
  QCOMPARE(view.PlotLeft + view.PlotWidth, size.width() - 3);
  QCOMPARE(image.pixel(size.width() - 3, view.PlotBottom - 1) & 0xFFFFFF, 0u);
  QCOMPARE(image.pixel(size.width() - 2, view.PlotBottom - 1) & 0xFFFFFF, 0xFFFFFFu);
  // The grid line at 50 %T is dotted grey: every other pixel, less where
  // the trace crosses it. Without the grid that row has no grey at all.
  const int row = view.PlotBottom + static_cast<int>(RoundHalfEven(view.PlotYScale * 5 * 0.1));
  int grey = 0;
  for (int x = view.PlotLeft + 1; x < view.PlotLeft + view.PlotWidth; ++x) {
    grey += (image.pixel(x, row) & 0xFFFFFF) == 0x808080;
  }
  if (grid) {
    QVERIFY2(grey > view.PlotWidth / 3, QByteArray::number(grey));
  } else {
    QCOMPARE(grey, 0);
  }
}

void PlotOutputTest::writePictures() {
  const QByteArray dir = qgetenv("TESVAR_PICTURE_DIR");
  const std::string out = dir.isEmpty() ? tempDir_ : dir.toStdString();
  RecordedMessages m;
  const LabelList labels = Labels(kFourLabels);
  QVERIFY(test::Told(
      WriteMetafileFile(out + "/sample.wmf", RecordPlotMetafile(sample_, true, labels, 1280, 1024)),
      m));
  QVERIFY(test::Told(
      WriteMetafileFile(out + "/plain.wmf", RecordPlotMetafile(sample_, false, {}, 1280, 1024)),
      m));
  QVERIFY(test::Told(WritePrintPdf(out + "/printout.pdf", sample_, true, labels), m));
  Spectrum spectrum = sample_;
  ViewState view;
  view.SpectrumShown = true;
  view.GridOn = true;
  view.ToolMode = kLabelTool;
  view.Labels = labels;
  QVERIFY(RenderScreenPlot(spectrum, view, 1200, 400)
              .save(QString::fromStdString(out + "/screen.png")));
  QVERIFY(RenderRecording(RecordPlotMetafile(sample_, true, labels, 1280, 1024))
              .save(QString::fromStdString(out + "/clipboard.png")));
  QVERIFY(m.errors.empty());
}

// The pictures the toolkit draws show the comparisons in their colours and
// the legend's names: the screen image, the colour printout (monochrome
// without comparisons), and the metafile's pens and texts.
void PlotOutputTest::comparisonsInTheirColours() {
  ComparisonList list;
  Spectrum shifted = sample_;
  for (int i = 0; i <= shifted.LastIndex; ++i) shifted.TransY[i] *= 0.8f;
  QVERIFY(list.Add({"/refs/half.sp", "half.sp", shifted}));
  QVERIFY(list.Add({"/refs/same.sp", "same.sp", sample_}));
  const PlotOverlay overlay{&list, "polystyrene.sp", true, false};
  const auto count = [](const QImage& image, QRgb colour) {
    qint64 n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == colour;
    }
    return n;
  };
  constexpr QRgb kOrange = 0xE69F00;
  constexpr QRgb kSkyBlue = 0x56B4E9;

  Spectrum spectrum = sample_;
  ViewState view;
  view.SpectrumShown = true;
  const QImage screen = RenderScreenPlot(spectrum, view, 1200, 400, overlay);
  QVERIFY(view.AbsorbanceShown);
  QVERIFY2(count(screen, kOrange) > 500, QByteArray::number(count(screen, kOrange)));
  // The second comparison lies under the black spectrum, drawn on top:
  // only its legend line shows.
  QVERIFY(count(screen, kSkyBlue) > 0);
  QVERIFY(count(screen, kSkyBlue) < 100);

  const QImage page = RenderPrintBitmap(sample_, false, {}, 1400, overlay);
  QCOMPARE(page.format(), QImage::Format_RGB32);
  QVERIFY(count(page, kOrange) > 500);
  QCOMPARE(RenderPrintBitmap(sample_, false, {}, 1400).format(), QImage::Format_Mono);

  const MetafilePicture picture = RecordPlotMetafile(sample_, false, {}, 1280, 1024, overlay);
  std::vector<std::string> texts;
  int orangePens = 0;
  for (const DrawingOp& op : picture.ops) {
    if (op.kind == DrawingOp::kTextOut) texts.push_back(op.text);
    orangePens += op.kind == DrawingOp::kPenColor && op.color == Rgb{230, 159, 0};
  }
  QCOMPARE(orangePens, 2);  // its trace and its legend line
  for (const char* name : {"polystyrene.sp", "half.sp", "same.sp", "A"}) {
    QVERIFY2(std::count(texts.begin(), texts.end(), name) == 1, name);
  }
  QVERIFY(std::count(texts.begin(), texts.end(), "%T") == 0);
}

QTEST_MAIN(PlotOutputTest)
#include "plot_output_qttest.moc"
