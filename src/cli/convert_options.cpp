#include "cli/convert_options.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/number_text.h"
#include "core/spectrum.h"
#include "formats/readable_kinds.h"
#include "output/writers.h"
#include "plot/comparisons.h"

namespace tesvar::cli {

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Everything the command line said, before the modes are checked.
struct RawOptions {
  bool info = false;
  bool peaks = false;
  std::optional<std::string> to;
  std::optional<std::string> outputDir;
  std::optional<PictureSize> screen;
  std::optional<PictureSize> size;
  bool compressed = false;
  bool grid = false;
  bool labelPeaks = false;
  bool verify = false;
  std::vector<std::string> compare;
  bool absorbance = false;
  bool scaleComparisons = false;
  std::optional<std::string> search;
  std::optional<std::string> index;
  std::optional<int> hits;
  bool verbose = false;
  std::vector<std::string> positional;

  // The first option given that only a picture output takes.
  const char* PictureOption() const {
    if (!compare.empty()) return "--compare";
    if (absorbance) return "--absorbance";
    if (scaleComparisons) return "--scale-comparisons";
    return nullptr;
  }

  // The first conversion option given, for the message that refuses it
  // beside --info or --peaks.
  const char* ConversionOption() const {
    if (to) return "--to";
    if (outputDir) return "--output-dir";
    if (compressed) return "--compressed";
    if (grid) return "--grid";
    if (labelPeaks) return "--label-peaks";
    if (verify) return "--verify";
    if (screen) return "--screen";
    if (size) return "--size";
    return PictureOption();
  }
};

ParseResult Fail(std::string error) {
  ParseResult result;
  result.error = std::move(error);
  return result;
}

// The extension of a path's file-name part, without the dot; "" when none.
std::string ExtensionOf(const std::string& path) {
  std::string name = FileNamePart(path);
  std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace

bool ParsePictureSize(const std::string& text, PictureSize& size) {
  std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  auto side = [](const std::string& digits, int& value) {
    if (digits.empty() || digits.size() > 6) return false;
    int v = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      v = v * 10 + (c - '0');
    }
    if (v < 1 || v > kMaxPictureSide) return false;
    value = v;
    return true;
  };
  PictureSize parsed;
  if (!side(text.substr(0, x), parsed.width) || !side(text.substr(x + 1), parsed.height)) {
    return false;
  }
  size = parsed;
  return true;
}

bool OutputKindFor(const std::string& extension, bool compressed, FileKind& kind) {
  std::optional<FileKind> found = KindForExtension(extension);
  if (!found) return false;
  const WriterInfo& writer = *WriterFor(*found);
  kind = compressed && writer.compressedForm ? *writer.compressedForm : writer.kind;
  return true;
}

std::string OutputExtensionList() {
  std::string list;
  std::vector<std::string> seen;
  for (const WriterInfo& writer : AllWriters()) {
    std::string ext = writer.extension;
    if (std::find(seen.begin(), seen.end(), ext) != seen.end()) continue;
    seen.push_back(ext);
    if (!list.empty()) list += ", ";
    list += "." + ext;
  }
  return list;
}

namespace {

// The outputs of --help, two to a line: "  sp   Perkin-Elmer SP file" and
// its neighbour, each in the place the writers table gives it.
std::string OutputsText() {
  std::vector<const WriterInfo*> places;
  for (const WriterInfo& writer : AllWriters()) {
    if (writer.name == nullptr) continue;
    const auto place = static_cast<std::size_t>(writer.helpPlace);
    if (places.size() <= place) places.resize(place + 1);
    places[place] = &writer;
  }
  std::string text;
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (places[i] == nullptr) continue;
    std::string cell = std::string(places[i]->extension) + " ";
    cell.resize(std::max<std::size_t>(cell.size(), 5), ' ');
    cell += places[i]->name;
    const bool left = i % 2 == 0 && i + 1 < places.size();
    if (left) cell.resize(std::max<std::size_t>(cell.size() + 1, 35), ' ');
    text += (i % 2 == 0 ? "  " : "") + cell + (left ? "" : "\n");
  }
  return text;
}

}  // namespace

ParseResult ParseConvertOptions(const std::vector<std::string>& args) {
  RawOptions raw;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      raw.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      ParseResult help;
      help.ok = true;
      help.options.mode = Mode::kHelp;
      return help;
    }
    if (arg == "--version") {
      ParseResult version;
      version.ok = true;
      version.options.mode = Mode::kVersion;
      return version;
    }

    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (StartsWith(arg, "--")) {
      std::size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        inlineValue = arg.substr(eq + 1);
      }
    }

    struct Flag {
      const char* name;
      bool* target;
    };
    const Flag flags[] = {
        {"--info", &raw.info},
        {"--peaks", &raw.peaks},
        {"--compressed", &raw.compressed},
        {"--grid", &raw.grid},
        {"--label-peaks", &raw.labelPeaks},
        {"--verify", &raw.verify},
        {"--absorbance", &raw.absorbance},
        {"--scale-comparisons", &raw.scaleComparisons},
        {"--verbose", &raw.verbose},
    };
    bool isFlag = false;
    for (const Flag& flag : flags) {
      if (name != flag.name) continue;
      if (inlineValue) return Fail("option '" + name + "' takes no value");
      *flag.target = true;
      isFlag = true;
    }
    if (isFlag) continue;

    if (name != "--to" && name != "--output-dir" && name != "--screen" && name != "--size" &&
        name != "--compare" && name != "--search" && name != "--index" && name != "--hits") {
      return Fail("unknown option '" + arg + "'");
    }
    std::string value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return Fail("option '" + name + "' needs a value");
    }
    if (name == "--to") {
      FileKind ignored;
      if (!OutputKindFor(value, false, ignored)) {
        return Fail("--to '" + value + "': no writer for this extension (use one of " +
                    OutputExtensionList() + ")");
      }
      raw.to = value;
    } else if (name == "--search" || name == "--index") {
      if (value.empty()) return Fail(name + " needs a folder name");
      (name == "--search" ? raw.search : raw.index) = value;
    } else if (name == "--hits") {
      int n = 0;
      if (value.empty() || value.size() > 5 ||
          value.find_first_not_of("0123456789") != std::string::npos ||
          (n = std::stoi(value)) < 1 || n > kMaxHits) {
        return Fail("--hits '" + value + "': expected a number from 1 to " + FormatInt(kMaxHits));
      }
      raw.hits = n;
    } else if (name == "--compare") {
      if (value.empty()) return Fail("--compare needs a file name");
      if (raw.compare.size() == static_cast<std::size_t>(kMaxComparisons)) {
        return Fail("--compare: at most " + FormatInt(kMaxComparisons) + " comparison spectra");
      }
      raw.compare.push_back(value);
    } else if (name == "--output-dir") {
      if (value.empty()) return Fail("--output-dir needs a folder name");
      raw.outputDir = value;
    } else {
      PictureSize size;
      if (!ParsePictureSize(value, size)) {
        return Fail(name + " '" + value + "': expected WIDTHxHEIGHT, each 1 to " +
                    FormatInt(kMaxPictureSide));
      }
      (name == "--screen" ? raw.screen : raw.size) = size;
    }
  }

  ParseResult result;
  ConvertOptions& o = result.options;
  o.compressed = raw.compressed;
  o.grid = raw.grid;
  o.labelPeaks = raw.labelPeaks;
  o.verify = raw.verify;
  if (raw.screen) o.screen = *raw.screen;
  if (raw.size) o.size = *raw.size;
  o.compare = raw.compare;
  o.absorbance = raw.absorbance;
  o.scaleComparisons = raw.scaleComparisons;
  if (raw.scaleComparisons && !raw.absorbance) {
    return Fail("--scale-comparisons needs --absorbance");
  }
  // Comparisons and the absorbance view are drawn; a data file holds the
  // INPUT's own values and nothing else.
  const auto pictureOnly = [&]() -> std::optional<std::string> {
    const char* option = raw.PictureOption();
    if (option == nullptr || WriterFor(o.outputKind)->picture) return std::nullopt;
    return std::string(option) + " is for picture outputs (plt, svg, wmf, png, pdf), not ." +
           WriterFor(o.outputKind)->extension;
  };

  if (raw.search || raw.index) {
    if (raw.search && raw.index) return Fail("--search and --index cannot be combined");
    const char* what = raw.search ? "--search" : "--index";
    if (raw.info || raw.peaks) {
      return Fail(std::string(what) + " cannot be combined with " +
                  (raw.info ? "--info" : "--peaks"));
    }
    if (const char* other = raw.ConversionOption()) {
      return Fail(std::string(what) + " cannot be combined with " + other);
    }
    if (raw.index && raw.hits) return Fail("--hits is for --search");
    if (raw.search && raw.positional.empty()) return Fail("--search needs at least one INPUT");
    if (raw.index && !raw.positional.empty()) return Fail("--index takes no INPUT");
    o.mode = raw.search ? Mode::kSearch : Mode::kIndex;
    o.library = raw.search ? *raw.search : *raw.index;
    o.hits = raw.hits.value_or(10);
    o.verbose = raw.verbose;
    o.inputs = raw.positional;
    result.ok = true;
    return result;
  }
  if (raw.hits) return Fail("--hits is for --search");
  if (raw.verbose) return Fail("--verbose is for --search and --index");

  if (raw.info || raw.peaks) {
    if (raw.info && raw.peaks) return Fail("--info and --peaks cannot be combined");
    const char* what = raw.info ? "--info" : "--peaks";
    if (const char* other = raw.ConversionOption()) {
      return Fail(std::string(what) + " cannot be combined with " + other);
    }
    if (raw.positional.empty()) return Fail(std::string(what) + " needs at least one INPUT");
    o.mode = raw.info ? Mode::kInfo : Mode::kPeaks;
    o.inputs = raw.positional;
    result.ok = true;
    return result;
  }

  if (raw.to || raw.outputDir) {
    if (!raw.to) return Fail("--output-dir needs --to EXT");
    if (!raw.outputDir) return Fail("--to needs --output-dir DIR");
    if (raw.positional.empty()) return Fail("no INPUT files given");
    o.mode = Mode::kBatch;
    o.outputDir = *raw.outputDir;
    o.inputs = raw.positional;
    (void)OutputKindFor(*raw.to, raw.compressed, o.outputKind);
    if (auto error = pictureOnly()) return Fail(*error);
    result.ok = true;
    return result;
  }

  if (raw.positional.size() < 2) {
    return Fail(raw.positional.empty() ? "missing INPUT and OUTPUT" : "missing OUTPUT");
  }
  if (raw.positional.size() > 2) {
    return Fail("too many files; to convert several, use --to EXT --output-dir DIR INPUT...");
  }
  o.mode = Mode::kConvertOne;
  o.inputs = {raw.positional[0]};
  o.output = raw.positional[1];
  if (!OutputKindFor(ExtensionOf(o.output), raw.compressed, o.outputKind)) {
    return Fail("cannot tell the output format from '" + o.output + "' (use one of " +
                OutputExtensionList() + ")");
  }
  if (auto error = pictureOnly()) return Fail(*error);
  result.ok = true;
  return result;
}

std::string HelpText() {
  // The kinds read come from the file-kind table, one a line.
  const std::string inputs = OpenableKindsLines();
  return "Usage: tesvar-convert [OPTIONS] INPUT OUTPUT\n"
         "       tesvar-convert [OPTIONS] --to EXT --output-dir DIR INPUT...\n"
         "       tesvar-convert --info INPUT...\n"
         "       tesvar-convert --peaks INPUT...\n"
         "       tesvar-convert --search LIBDIR [--hits N] INPUT...\n"
         "       tesvar-convert --index LIBDIR\n"
         "\n"
         "Converts infrared spectra. INPUT is a file of one of these kinds, told by its\n"
         "content where that is unmistakable, else by its name:\n" +
         inputs + "The output's extension chooses the writer:\n" + OutputsText() +
         "\n"
         "Options:\n"
         "  --to EXT            output kind for all INPUTs (with --output-dir)\n"
         "  --output-dir DIR    write INPUT's name with the new extension into DIR\n"
         "                      (made when missing)\n"
         "  --compressed        JCAMP-DX in the compressed DIFDUP form\n"
         "  --grid              draw the grid (plt, svg, wmf, png, pdf)\n"
         "  --label-peaks       label every band the band search finds (plt, svg, wmf,\n"
         "                      png, pdf)\n"
         "  --screen WxH        screen size the metafile is made for (default 1280x1024)\n"
         "  --size WxH          size of the PNG image (default 1200x400)\n"
         "  --compare FILE      draw FILE's spectrum with each INPUT's, in a colour of its\n"
         "                      own, with a legend (repeatable, at most 8; picture outputs)\n"
         "  --absorbance        draw absorbance (A = -log10 T), bands up (picture outputs)\n"
         "  --scale-comparisons with --absorbance: scale each comparison to the INPUT's\n"
         "                      largest absorbance\n"
         "  --verify            read each written sp, jdx or asc file back and print the\n"
         "                      largest ordinate difference; fail when it is more than\n"
         "                      the format's rounding allows\n"
         "  --info              print the header parameters, one \"Label: value\" line each,\n"
         "                      then the kind of an imported file and how it was read\n"
         "  --peaks             print the wavenumbers of all bands, one per line\n"
         "  --search LIBDIR     print the members of the library folder LIBDIR (read\n"
         "                      recursively) that match each INPUT best: rank, hit\n"
         "                      quality 0-100, path, title, tab-separated\n"
         "  --hits N            how many members --search prints (default 10)\n"
         "  --index LIBDIR      build or update the library's index only\n"
         "  --verbose           with --search or --index: list the skipped files\n"
         "  -h, --help          print this help and exit\n"
         "  --version           print the version and exit\n"
         "\n"
         "Exit status: 0 when every INPUT was converted, 1 when any failed (the others\n"
         "are still converted), 2 for a usage error. Set SOURCE_DATE_EPOCH for\n"
         "reproducible date stamps in sp and jdx output.\n";
}

}  // namespace tesvar::cli
