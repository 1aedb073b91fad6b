#include "cli/picture_writer_qt.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <cstdlib>

#include "core/date_stamp.h"
#include "core/file_io.h"
#include "output/plot_output_qt.h"
#include "plot/view_state.h"

namespace tesvar::cli {

std::string WithPdfCreationDate(std::string pdf, const StampTime& t) {
  static const std::string kKey = "/CreationDate (D:";
  std::size_t at = pdf.find(kKey);
  if (at == std::string::npos) return pdf;
  std::size_t digits = at + kKey.size();
  if (digits + 15 > pdf.size() || pdf[digits + 14] != 'Z') return pdf;
  for (std::size_t i = digits; i < digits + 14; ++i) {
    if (pdf[i] < '0' || pdf[i] > '9') return pdf;
  }
  // The same 14 digits: every byte offset of the cross-reference table stays.
  std::string stamp = FormatDatePattern("yyyymmdd", t, '/');
  for (int v : {t.hour, t.minute, t.second}) {
    stamp += static_cast<char>('0' + v / 10);
    stamp += static_cast<char>('0' + v % 10);
  }
  if (stamp.size() == 14) pdf.replace(digits, 14, stamp);
  return pdf;
}

std::string ScreenPlotPng(const Spectrum& spectrum, const LabelList& labels, bool grid, int width,
                          int height) {
  ViewState view;
  view.SpectrumShown = true;
  view.GridOn = grid;
  view.Labels = labels;
  // The screen draws labels only in the label tool.
  view.ToolMode = labels.Empty() ? kCursorTool : kLabelTool;
  QImage image = RenderScreenPlot(spectrum, view, width, height);
  if (image.isNull()) return std::string();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) return std::string();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool QtPictureWriter::Write(FileKind kind, const std::string& path, Spectrum& spectrum,
                            const LabelList& labels, const ConvertOptions& options,
                            Messages& messages) {
  switch (kind) {
    case FileKind::kWindowsMetafile: {
      MetafilePicture picture = RecordPlotMetafile(spectrum, options.grid, labels,
                                                   options.screen.width, options.screen.height);
      return WriteMetafileFile(path, picture, messages);
    }
    case FileKind::kPdf: {
      if (!WritePrintPdf(path, spectrum, options.grid, labels, messages)) return false;
      // Qt stamps the document with the clock; a reproducible build asks
      // for SOURCE_DATE_EPOCH instead, as the SP and JCAMP-DX stamps do.
      if (std::getenv("SOURCE_DATE_EPOCH") != nullptr) {
        const std::string pdf = ReadWholeFile(path);
        const std::string stamped = WithPdfCreationDate(pdf, CurrentStampTime());
        if (stamped != pdf) WriteFileReplacing(path, stamped);
      }
      return true;
    }
    case FileKind::kPng: {
      std::string png =
          ScreenPlotPng(spectrum, labels, options.grid, options.size.width, options.size.height);
      if (png.empty()) {
        messages.ErrorBox("Could not make the image for " + path);
        return false;
      }
      return WriteFileOrReport(path, png, messages);
    }
    default:
      return false;
  }
}

}  // namespace tesvar::cli
