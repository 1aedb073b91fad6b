#include "output/plot_output_qt.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <utility>

#include "app/qt_text.h"
#include "core/file_io.h"
#include "core/io_error.h"
#include "core/save_result.h"
#include "core/spectrum.h"
#include "plot/image_surface_qt.h"
#include "plot/plot_painter.h"
#include "plot/view_state.h"

namespace tesvar {

namespace {

constexpr int kPdfDpi = 600;

// The metafile and the printout name their failure differently from the
// text exports.
constexpr const char* kCannotWrite = "Could not write file ";

// One document with one page: the bitmap at (100, 100), one bitmap pixel
// per device pixel. A painter on a printer has its origin at the corner of
// the paint rectangle and one unit per device pixel.
void PrintOnPage(QPrinter& printer, const QImage& bitmap) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    throw IoError(kAccessDenied, target.toStdString());
  }
  if (!bitmap.isNull()) painter.drawImage(QPoint(kPrintPageOffset, kPrintPageOffset), bitmap);
  if (!painter.end()) throw IoError(kAccessDenied, printer.outputFileName().toStdString());
}

// The whole device pixels across a sheet, as a printer driver counts them:
// A4 (210 mm) at 600 dpi is 4960.6, so 4960. QPrinter itself would say 4958,
// because Qt keeps paper sizes in whole points (A4 is 595 pt wide to it).
int WholePixelsAcross(const QPageSize& paper, int dpi) {
  return static_cast<int>(paper.size(QPageSize::Millimeter).width() / 25.4 * dpi);
}

}  // namespace

MetafilePicture RecordPlotMetafile(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                                   int screenWidth, int screenHeight, const PlotOverlay& overlay) {
  // Only the fonts of this surface matter: it answers the text metrics.
  ImageSurface metrics(1, 1);
  RecordingSurface recording(metrics);
  DrawMetafilePlot(recording, screenWidth, screenHeight, kScreenDpi, spectrum, gridOn, labels,
                   overlay);
  MetafilePicture picture;
  picture.ops = recording.ops();
  picture.width = std::max(0, screenWidth - 1);
  picture.height = std::max(0, screenHeight - 1);
  picture.wmf =
      BuildPlaceableMetafile(picture.ops, picture.width, picture.height, kMetafileUnitsPerInch);
  return picture;
}

QImage RenderRecording(const MetafilePicture& picture) {
  ImageSurface surface(picture.width, picture.height);
  if (surface.image().isNull()) return QImage();
  ReplayRecording(picture.ops, surface);
  return surface.image();
}

void PutPictureOnClipboard(const MetafilePicture& picture) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  auto* data = new QMimeData;
  data->setImageData(RenderRecording(picture));
  data->setData(QStringLiteral("image/x-wmf"),
                QByteArray(picture.wmf.data(), static_cast<qsizetype>(picture.wmf.size())));
  clipboard->setMimeData(data);  // the clipboard owns it now
}

SaveResult WriteMetafileFile(const std::string& path, const MetafilePicture& picture) {
  return SaveFile(path, picture.wmf, kCannotWrite);
}

QImage RenderPrintBitmap(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                         int printableWidth, const PlotOverlay& overlay) {
  const PrintBitmapSize size = PrintBitmapForPage(printableWidth);
  if (size.width <= 0 || size.height <= 0) return QImage();
  QImage bitmap;
  if (overlay.HasComparisons()) {
    // The comparisons' colours need a colour page.
    bitmap = QImage(size.width, size.height, QImage::Format_RGB32);
    if (bitmap.isNull()) return QImage();
    bitmap.fill(Qt::white);
  } else {
    // Black at 0 and white at 1, the colour table of a monochrome bitmap for
    // the page; Qt's PDF writer also keeps such an image at one bit per pixel.
    bitmap = QImage(size.width, size.height, QImage::Format_Mono);
    bitmap.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    bitmap.fill(1);
  }
  ImageSurface surface(std::move(bitmap));
  DrawPrintPlot(surface, size.width, size.height, spectrum, gridOn, labels, overlay);
  return surface.image();
}

void PrintPlot(QPrinter& printer, const Spectrum& spectrum, bool gridOn, const LabelList& labels,
               const PlotOverlay& overlay) {
  // QPrinter's width is that of its paint rectangle (the printable area, or
  // the whole page in full-page mode) in device pixels.
  PrintOnPage(printer, RenderPrintBitmap(spectrum, gridOn, labels, printer.width(), overlay));
}

SaveResult WritePrintPdf(const std::string& path, const Spectrum& spectrum, bool gridOn,
                         const LabelList& labels, const PlotOverlay& overlay) {
  try {
    return SaveFile(path, PrintPdfBytes(spectrum, gridOn, labels, overlay), kCannotWrite);
  } catch (const IoError& e) {
    return SaveResult::WriteFailed(e);
  }
}

std::string PrintPdfBytes(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                          const PlotOverlay& overlay) {
  // The printer writes straight into its file, so it writes a temporary
  // one; the finished document then replaces the target like every other
  // file the program saves.
  QTemporaryDir scratch;
  if (!scratch.isValid()) throw IoError(kAccessDenied, scratch.path().toStdString());
  const QString printed = scratch.filePath(QStringLiteral("printout.pdf"));
  const QPageSize paper(QPageSize::A4);
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    printer.setResolution(kPdfDpi);
    printer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF()));
    printer.setFullPage(true);
    printer.setCreator(QStringLiteral("Tesvar"));
    printer.setDocName(FromRecordText(spectrum.ShortComment));
    PrintOnPage(printer, RenderPrintBitmap(spectrum, gridOn, labels,
                                           WholePixelsAcross(paper, kPdfDpi), overlay));
  }
  return ReadWholeFile(printed.toStdString());
}

QImage RenderScreenPlot(const Spectrum& spectrum, ViewState& view, int width, int height,
                        const PlotOverlay& overlay) {
  ImageSurface surface(width, height);
  if (surface.image().isNull()) return QImage();
  (void)PaintScreenPlot(surface, width, height, spectrum, view, overlay);
  return surface.image();
}

std::string ScreenPlotPng(const Spectrum& spectrum, const LabelList& labels, bool grid, int width,
                          int height, const PlotOverlay& overlay) {
  ViewState view;
  view.SpectrumShown = true;
  view.GridOn = grid;
  view.Labels = labels;
  // The screen draws labels only in the label tool.
  view.ToolMode = labels.Empty() ? kCursorTool : kLabelTool;
  QImage image = RenderScreenPlot(spectrum, view, width, height, overlay);
  if (image.isNull()) return std::string();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) return std::string();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

SaveResult QtPictureRenderer::WriteMetafile(const std::string& path, const WriteRequest& request) {
  return WriteMetafileFile(
      path, RecordPlotMetafile(request.spectrum, request.grid, request.labels, request.screen.width,
                               request.screen.height, request.Overlay()));
}

SaveResult QtPictureRenderer::WriteScreenImage(const std::string& path,
                                               const WriteRequest& request) {
  const std::string png =
      ScreenPlotPng(request.spectrum, request.labels, request.grid, request.image.width,
                    request.image.height, request.Overlay());
  if (png.empty()) return SaveResult::NotWritten("Could not make the image for " + path);
  return SaveFile(path, png);
}

SaveResult QtPictureRenderer::WritePrintout(const std::string& path, const WriteRequest& request) {
  return WritePrintPdf(path, request.spectrum, request.grid, request.labels, request.Overlay());
}

}  // namespace tesvar
