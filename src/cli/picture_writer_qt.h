// The converter's picture outputs, drawn with Qt on the offscreen platform:
// the metafile for a screen of --screen size, the screen plot as a PNG image
// of --size and the A4 printout as a PDF document (output/plot_output_qt.h).
#pragma once

#include <string>

#include "cli/converter.h"
#include "core/date_stamp.h"

namespace tesvar::cli {

class QtPictureWriter : public PictureWriter {
 public:
  // REQUIRES: a QGuiApplication exists.
  bool Write(FileKind kind, const std::string& path, Spectrum& spectrum, const LabelList& labels,
             const ConvertOptions& options, Messages& messages) override;
};

// The PNG bytes of the screen plot at width x height: grid as asked, the
// labels drawn as the label tool shows them; "" when the image cannot be made.
std::string ScreenPlotPng(const Spectrum& spectrum, const LabelList& labels, bool grid, int width,
                          int height);

// The PDF with the date of its "/CreationDate (D:yyyymmddhhmmssZ)" entry
// replaced by t (UTC), byte offsets unchanged; unchanged when it has none of
// that form.
std::string WithPdfCreationDate(std::string pdf, const StampTime& t);

}  // namespace tesvar::cli
