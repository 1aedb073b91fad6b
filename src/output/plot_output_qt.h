// The picture outputs that need Qt: the metafile picture (for the clipboard
// and *.wmf files), the printout (on a printer or in a PDF file) and the
// screen plot as an image. The window's commands and the command-line
// converter both come through here; the plot rules themselves live in
// plot/plot_painter.h and the metafile bytes in output/metafile.h.
//
// Text metrics always come from an ImageSurface, so the metafile, the
// clipboard bitmap and the screen use the same (Liberation) font widths.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "core/save_result.h"
#include "output/metafile.h"
#include "output/writers.h"
#include "plot/comparisons.h"

class QPrinter;

namespace tesvar {

class LabelList;
struct Spectrum;
struct ViewState;

// The metafile is recorded with the screen as reference device.
inline constexpr int kScreenDpi = 96;
inline constexpr int kMetafileUnitsPerInch = 100;

struct MetafilePicture {
  std::vector<DrawingOp> ops;  // the recording, in device pixels of the screen
  int width = 0;               // screen width - 1
  int height = 0;              // screen height - 1
  std::string wmf;             // the placeable metafile of `ops`
};

// Records the metafile plot of the whole spectrum on a picture as large as a
// screen of screenWidth x screenHeight pixels.
MetafilePicture RecordPlotMetafile(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                                   int screenWidth, int screenHeight,
                                   const PlotOverlay& overlay = {});

// The recording replayed on a white RGB32 image of the picture's size (a
// null image for an empty picture): the bitmap applications paste.
QImage RenderRecording(const MetafilePicture& picture);

// Empties the clipboard and puts the picture on it as a bitmap image and as
// the metafile bytes under "image/x-wmf".
// REQUIRES: a QGuiApplication exists.
void PutPictureOnClipboard(const MetafilePicture& picture);

// Saves the placeable metafile. A file that cannot be created is refused as
// "Could not write file PATH".
SaveResult WriteMetafileFile(const std::string& path, const MetafilePicture& picture);

// The printout bitmap for a printable width in device pixels: 1 bit per
// pixel (colour 0 black, 1 white), (width - 200) x (width - 200) div 2,
// white, with the print plot on it; RGB where comparisons bring their
// colours. A null image when that is empty.
QImage RenderPrintBitmap(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                         int printableWidth, const PlotOverlay& overlay = {});

// Prints one page: the bitmap for the printer's printable width, copied
// pixel for pixel (at the printer's resolution, unscaled) to (100, 100) of
// the printable area. Throws IoError when the printer cannot start the
// document.
void PrintPlot(QPrinter& printer, const Spectrum& spectrum, bool gridOn, const LabelList& labels,
               const PlotOverlay& overlay = {});

// The printout of an A4 page at 600 dpi as a PDF file, replacing `path`
// only when complete. The whole sheet is printable: 210 mm at 600 dpi are
// 4960 whole pixels, so the bitmap is 4760 x 2380. A file
// that cannot be created is refused as "Could not write file PATH".
SaveResult WritePrintPdf(const std::string& path, const Spectrum& spectrum, bool gridOn,
                         const LabelList& labels, const PlotOverlay& overlay = {});

// The bytes of that PDF document. Throws IoError when the printer cannot
// write its scratch file.
std::string PrintPdfBytes(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                          const PlotOverlay& overlay = {});

// The screen plot (as the window paints it, without the cursor line) on a
// white RGB32 image of width x height. Stores the frame in `view`; white
// when no spectrum is shown.
QImage RenderScreenPlot(const Spectrum& spectrum, ViewState& view, int width, int height,
                        const PlotOverlay& overlay = {});

// The PNG bytes of the screen plot at width x height: grid as asked, the
// labels drawn as the label tool shows them; "" when the image cannot be made.
std::string ScreenPlotPng(const Spectrum& spectrum, const LabelList& labels, bool grid, int width,
                          int height, const PlotOverlay& overlay = {});

// The toolkit-drawn rows of the writers table, drawn as above.
// REQUIRES: a QGuiApplication exists.
class QtPictureRenderer : public PictureRenderer {
 public:
  SaveResult WriteMetafile(const std::string& path, const WriteRequest& request) override;
  SaveResult WriteScreenImage(const std::string& path, const WriteRequest& request) override;
  SaveResult WritePrintout(const std::string& path, const WriteRequest& request) override;
};

}  // namespace tesvar
