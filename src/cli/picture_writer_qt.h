// The converter's picture outputs, drawn with Qt on the offscreen platform:
// the metafile for a screen of --screen size, the screen plot as a PNG image
// of --size and the A4 printout as a PDF document (output/plot_output_qt.h).
#pragma once

#include <string>

#include "core/date_stamp.h"
#include "output/plot_output_qt.h"

namespace tesvar::cli {

// The window's pictures, with the PDF's creation date taken from
// SOURCE_DATE_EPOCH when that is set.
class QtPictureWriter : public QtPictureRenderer {
 public:
  // REQUIRES: a QGuiApplication exists.
  SaveResult WritePrintout(const std::string& path, const WriteRequest& request) override;
};

// The PDF with the date of its "/CreationDate (D:yyyymmddhhmmssZ)" entry
// replaced by t (UTC), byte offsets unchanged; unchanged when it has none of
// that form.
std::string WithPdfCreationDate(std::string pdf, const StampTime& t);

}  // namespace tesvar::cli
