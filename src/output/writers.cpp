#include "output/writers.h"

#include <array>

#include "formats/ascii_list_writer.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "output/hpgl.h"
#include "output/svg.h"

namespace tesvar {

namespace {

SaveResult WriteSp(const std::string& path, const WriteRequest& request) {
  return WriteSpFile(path, request.spectrum);
}

SaveResult WriteJcampFix(const std::string& path, const WriteRequest& request) {
  return WriteJcampFile(path, request.spectrum, JcampForm::kFix);
}

SaveResult WriteJcampDifDup(const std::string& path, const WriteRequest& request) {
  return WriteJcampFile(path, request.spectrum, JcampForm::kDifDup);
}

SaveResult WriteAsciiList(const std::string& path, const WriteRequest& request) {
  return WriteAsciiListFile(path, request.spectrum);
}

SaveResult WriteHpgl(const std::string& path, const WriteRequest& request) {
  return WriteHpglFile(path, request.spectrum, request.grid, request.labels, request.Overlay());
}

SaveResult WriteSvg(const std::string& path, const WriteRequest& request) {
  return WriteSvgFile(path, request.spectrum, request.grid, request.labels, request.Overlay());
}

// A caller without the toolkit (a test, a tool) hands in no renderer.
SaveResult NoRenderer() {
  return SaveResult::NotWritten("this output is not available in this build");
}

SaveResult WriteMetafile(const std::string& path, const WriteRequest& request) {
  if (request.pictures == nullptr) return NoRenderer();
  return request.pictures->WriteMetafile(path, request);
}

SaveResult WriteScreenImage(const std::string& path, const WriteRequest& request) {
  if (request.pictures == nullptr) return NoRenderer();
  return request.pictures->WriteScreenImage(path, request);
}

SaveResult WritePrintout(const std::string& path, const WriteRequest& request) {
  if (request.pictures == nullptr) return NoRenderer();
  return request.pictures->WritePrintout(path, request);
}

// The readers give back what was written within the written digits: SP
// ordinates are integers of 1/4194304 and abscissae have 6 decimals,
// JCAMP-DX ordinates integers of YFACTOR 0.00001 and abscissae 1 decimal,
// the ASCII list 6 and 4 decimals.
constexpr double kSpOrdinate = 0.5 / kRawPerFraction;
constexpr double kJcampOrdinate = 0.000005;
constexpr double kAsciiOrdinate = 0.0000005;
constexpr double kSpAbscissa = 0.0000005;
constexpr double kJcampAbscissa = 0.05;
constexpr double kAsciiAbscissa = 0.00005;

// In the order of the kinds table; the JCAMP-DX FIX row comes first for
// "jdx", its DIFDUP form only through --compressed.
constexpr std::array<WriterInfo, 9> kWriters = {{
    {.kind = FileKind::kSp,
     .extension = "sp",
     .name = "Perkin-Elmer SP file",
     .helpPlace = 0,
     .readBack = true,
     .ordinateRounding = kSpOrdinate,
     .abscissaRounding = kSpAbscissa,
     .write = WriteSp},
    {.kind = FileKind::kJcampFix,
     .extension = "jdx",
     .name = "JCAMP-DX (FIX form)",
     .helpPlace = 2,
     .compressedForm = FileKind::kJcampDifDup,
     .readBack = true,
     .ordinateRounding = kJcampOrdinate,
     .abscissaRounding = kJcampAbscissa,
     .write = WriteJcampFix},
    {.kind = FileKind::kJcampDifDup,
     .extension = "jdx",
     .readBack = true,
     .ordinateRounding = kJcampOrdinate,
     .abscissaRounding = kJcampAbscissa,
     .write = WriteJcampDifDup},
    {.kind = FileKind::kAsciiList,
     .extension = "asc",
     .name = "ASCII x/y list",
     .helpPlace = 4,
     .readBack = true,
     .ordinateRounding = kAsciiOrdinate,
     .abscissaRounding = kAsciiAbscissa,
     .write = WriteAsciiList},
    {.kind = FileKind::kHpgl,
     .extension = "plt",
     .name = "HPGL plot file",
     .helpPlace = 1,
     .picture = true,
     .grid = true,
     .labels = true,
     .write = WriteHpgl},
    {.kind = FileKind::kWindowsMetafile,
     .extension = "wmf",
     .name = "placeable Windows metafile",
     .helpPlace = 5,
     .picture = true,
     .grid = true,
     .labels = true,
     .screenSize = true,
     .write = WriteMetafile},
    {.kind = FileKind::kSvg,
     .extension = "svg",
     .name = "SVG drawing",
     .helpPlace = 3,
     .picture = true,
     .grid = true,
     .labels = true,
     .write = WriteSvg},
    {.kind = FileKind::kPng,
     .extension = "png",
     .name = "the screen plot as an image",
     .helpPlace = 6,
     .picture = true,
     .grid = true,
     .labels = true,
     .imageSize = true,
     .write = WriteScreenImage},
    {.kind = FileKind::kPdf,
     .extension = "pdf",
     .name = "the printout of an A4 page",
     .helpPlace = 7,
     .picture = true,
     .grid = true,
     .labels = true,
     .write = WritePrintout},
}};

}  // namespace

std::span<const WriterInfo> AllWriters() { return kWriters; }

const WriterInfo* WriterFor(FileKind kind) {
  for (const WriterInfo& writer : kWriters) {
    if (writer.kind == kind) return &writer;
  }
  return nullptr;
}

SaveResult WriteSpectrum(FileKind kind, const std::string& path, const WriteRequest& request) {
  return WriterFor(kind)->write(path, request);
}

}  // namespace tesvar
