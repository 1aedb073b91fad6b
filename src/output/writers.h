// The kinds of file the program writes, in one table: one row a written
// kind, with its extension, what it is called, whether it holds the data
// or a picture of the plot, which options it takes, what the read-back
// check needs to know of it, and the one call that writes it. The window's
// Save and export commands, the command-line converter, its --help and its
// --verify check all take their writer from here, so a written kind is
// added by one row and its writer.
//
// The pictures drawn with the toolkit (metafile, PNG image, PDF printout)
// are written through a PictureRenderer the caller hands in with the
// request: the table stays free of the toolkit and still the one place
// that chooses.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "core/save_result.h"
#include "core/spectrum.h"
#include "formats/file_kinds.h"
#include "plot/comparisons.h"
#include "plot/peak_labels.h"

namespace tesvar {

class PictureRenderer;

struct PictureSize {
  int width = 0;
  int height = 0;
};

// Everything a writer may take besides the path. A row uses only what its
// options say; the rest is passed by.
struct WriteRequest {
  Spectrum& spectrum;  // the SP and JCAMP-DX writers stamp its modification date
  const LabelList& labels;
  bool grid = false;
  PictureSize screen{1280, 1024};       // the screen the metafile is recorded for
  PictureSize image{1200, 400};         // the PNG image
  PictureRenderer* pictures = nullptr;  // null: the toolkit-drawn kinds are refused
  // What the pictures show besides the spectrum: comparisons, absorbance.
  // Null: nothing, and every picture is the single spectrum in %T.
  const PlotOverlay* overlay = nullptr;

  const PlotOverlay& Overlay() const {
    static const PlotOverlay kNone;
    return overlay != nullptr ? *overlay : kNone;
  }
};

// The kinds drawn with the toolkit. Each call writes the file and says how
// it went, as every writer does.
class PictureRenderer {
 public:
  virtual ~PictureRenderer() = default;
  // The placeable metafile for a screen of request.screen.
  virtual SaveResult WriteMetafile(const std::string& path, const WriteRequest& request) = 0;
  // The screen plot as a PNG image of request.image.
  virtual SaveResult WriteScreenImage(const std::string& path, const WriteRequest& request) = 0;
  // The printout of an A4 page as a PDF document.
  virtual SaveResult WritePrintout(const std::string& path, const WriteRequest& request) = 0;
};

using SpectrumWriter = SaveResult (*)(const std::string& path, const WriteRequest& request);

struct WriterInfo {
  FileKind kind;
  const char* extension;  // without the dot: "sp"
  // What --help calls it; nullptr for a form chosen by an option rather
  // than by its extension (compressed JCAMP-DX).
  const char* name = nullptr;
  // The place of the name in --help's two-column list, read across.
  int helpPlace = -1;
  bool picture = false;  // a picture of the plot rather than the data

  // The options that apply.
  bool grid = false;
  bool labels = false;
  bool screenSize = false;
  bool imageSize = false;
  // The kind written instead when --compressed is given.
  std::optional<FileKind> compressedForm = std::nullopt;

  // Read-back check: whether a written file is read back and compared,
  // and how far its written ordinates and abscissae may lie from the
  // record's by rounding alone.
  bool readBack = false;
  double ordinateRounding = 0;
  double abscissaRounding = 0;

  SpectrumWriter write = nullptr;
};

// Every written kind, in menu order.
std::span<const WriterInfo> AllWriters();

// The row of a written kind; nullptr for a kind that is only read.
const WriterInfo* WriterFor(FileKind kind);

// Writes the kind through its row.
// REQUIRES: WriterFor(kind) is not null.
SaveResult WriteSpectrum(FileKind kind, const std::string& path, const WriteRequest& request);

}  // namespace tesvar
