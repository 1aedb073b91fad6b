// The command line of tesvar-convert:
//
//   tesvar-convert [OPTIONS] INPUT OUTPUT
//   tesvar-convert [OPTIONS] --to EXT --output-dir DIR INPUT...
//   tesvar-convert --info INPUT...
//   tesvar-convert --peaks INPUT...
//   tesvar-convert --search LIBDIR [--hits N] [--verbose] INPUT...
//   tesvar-convert --index LIBDIR [--verbose]
//
// Options take their value as the next argument or after '=' ("--to jdx",
// "--to=jdx"); "--" ends the options, so that a file name may begin with
// '-'. The output kind comes from OUTPUT's extension or from --to, through
// the one table of file kinds (formats/file_kinds.h), and its writer from
// the writers table (output/writers.h); --compressed picks a writer's
// compressed form (jdx: DIFDUP). Options that do not concern the chosen output
// (--grid for an SP file, --verify for an SVG drawing) are accepted and have
// no effect, so a script can pass one set of options for every format.
#pragma once

#include <string>
#include <vector>

#include "core/version.h"
#include "formats/file_kinds.h"
#include "output/writers.h"

namespace tesvar::cli {

inline constexpr const char* kProgramName = "tesvar-convert";
inline constexpr const char* kVersionText = "tesvar-convert " TESVAR_VERSION;

// Largest --screen and --size side: the widest plot surface the window
// makes is 12800 pixels, and a metafile's coordinates are 16-bit.
inline constexpr int kMaxPictureSide = 16384;

enum class Mode {
  kConvertOne,  // INPUT OUTPUT
  kBatch,       // --to EXT --output-dir DIR INPUT...
  kInfo,
  kPeaks,
  kSearch,  // --search LIBDIR INPUT...
  kIndex,   // --index LIBDIR
  kHelp,
  kVersion,
};

using PictureSize = tesvar::PictureSize;

struct ConvertOptions {
  Mode mode = Mode::kConvertOne;
  std::vector<std::string> inputs;
  std::string output;     // kConvertOne
  std::string outputDir;  // kBatch
  FileKind outputKind = FileKind::kSp;
  bool compressed = false;
  bool grid = false;
  bool labelPeaks = false;
  bool verify = false;
  PictureSize screen{1280, 1024};  // the screen the metafile is recorded for
  PictureSize size{1200, 400};     // the PNG image
  // Picture outputs only: comparison spectra drawn with each INPUT, the
  // absorbance view, comparisons scaled to the INPUT's largest absorbance.
  std::vector<std::string> compare;
  bool absorbance = false;
  bool scaleComparisons = false;
  // --search and --index: the library folder, the hits shown for each
  // INPUT, and whether the skipped files are listed.
  std::string library;
  int hits = 10;
  bool verbose = false;
};

// Largest --hits.
inline constexpr int kMaxHits = 10000;

struct ParseResult {
  bool ok = false;
  std::string error;  // the usage error when not ok
  ConvertOptions options;
};

// args without the program name.
ParseResult ParseConvertOptions(const std::vector<std::string>& args);

// "1280x1024" -> 1280, 1024; both 1 ... kMaxPictureSide.
bool ParsePictureSize(const std::string& text, PictureSize& size);

// The output kind for an extension ("jdx", ".PNG"), the DIFDUP form for jdx
// when compressed; false for an extension no writer has.
bool OutputKindFor(const std::string& extension, bool compressed, FileKind& kind);

// ".sp, .jdx, .asc, ..." from the writers table, each once.
std::string OutputExtensionList();

std::string HelpText();

}  // namespace tesvar::cli
