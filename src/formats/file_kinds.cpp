#include "formats/file_kinds.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "core/file_io.h"
#include "core/io_error.h"
#include "formats/ascii_list.h"
#include "formats/asp_text.h"
#include "formats/delimited_text.h"
#include "formats/import_rules.h"
#include "formats/jcamp_instrument.h"
#include "formats/jcamp_reader.h"
#include "formats/omnic_spa.h"
#include "formats/opus_file.h"
#include "formats/pe_ascii.h"
#include "formats/pe_data_set.h"
#include "formats/sp_file.h"
#include "formats/spc_file.h"

namespace tesvar {

namespace {

constexpr const char* kImportReadFailure = "File read error!";

// In menu order. A kind that is read names its reader; the name marks are
// looked for in this order, so a later row's mark wins over an earlier's.
constexpr FileKindInfo kKinds[] = {
    {.kind = FileKind::kSp,
     .extension = "sp",
     .description = "Perkin-Elmer 1600 (*.sp)",
     .pattern = "*.sp",
     .openTitle = "Load spectrum",
     .saveTitle = "Save spectrum as...",
     .readerName = "PESP",
     .nameMarks = {".SP"},
     .read = &ReadSpBytes},
    {.kind = FileKind::kJcampFix,
     .extension = "jdx",
     .description = "JCAMP-DX (*.jdx)",
     .pattern = "*.jdx",
     .openTitle = "Import spectrum",
     .saveTitle = "Save JCAMP-DX spectrum as...",
     .openDescription = "JCAMP-DX (*.jdx *.dx *.jcm *.jcamp)",
     .readerName = "JDX",
     .nameMarks = {".JDX"},
     // ".jdx" is found by its name mark, as it always was ("x.asc.jdx" stays
     // an ASCII list); these are the names other programs give.
     .extensions = {"dx", "jcm", "jcamp"},
     .signature = &LooksLikeJcamp,
     .read = &ReadJcampText,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure},
    // Read back by the converter's check; opened and chosen as kJcampFix.
    {.kind = FileKind::kJcampDifDup,
     .extension = "jdx",
     .description = "JCAMP-DX (*.jdx)",
     .pattern = "*.jdx",
     .saveTitle = "Save compressed JCAMP-DX spectrum as...",
     .read = &ReadJcampText,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure},
    {.kind = FileKind::kAsciiList,
     .extension = "asc",
     .description = "ASCII list (*.asc)",
     .pattern = "*.asc",
     .openTitle = "Import spectrum",
     .readerName = "ASC",
     .nameMarks = {".ASC"},
     .read = &ReadAsciiListText,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure},
    {.kind = FileKind::kDelimitedText,
     .extension = "csv",
     .description = "Delimited text (*.csv *.tsv *.txt *.dat *.prn *.dpt)",
     .pattern = "*.csv *.tsv *.txt *.dat *.prn *.dpt",
     .openTitle = "Import spectrum",
     .readerName = "CSV",
     .extensions = {"csv", "tsv", "txt", "dat", "prn", "dpt"},
     .read = &ReadDelimitedText,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure,
     .readOnly = true},
    // Chosen by its first line whatever the name: such exports are often
    // named *.asc, which the ASCII list reader would refuse.
    {.kind = FileKind::kPeAscii,
     .extension = "asc",
     .description = "PerkinElmer ASCII export (*.asc)",
     .pattern = "*.asc",
     .openTitle = "Import spectrum",
     .readerName = "PEASC",
     .signature = &IsPeAsciiExport,
     .read = &ReadPeAsciiText,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure,
     .readOnly = true},
    {.kind = FileKind::kAspText,
     .extension = "asp",
     .description = "Agilent ASCII spectrum (*.asp)",
     .pattern = "*.asp",
     .openTitle = "Import spectrum",
     .readerName = "ASP",
     .extensions = {"asp"},
     .read = &ReadAspText,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure,
     .readOnly = true},
    // Chosen by its first bytes whatever the name: these files share the
    // SP files' extension, and the SP row takes every other ".sp" file.
    {.kind = FileKind::kPeDataSet,
     .extension = "sp",
     .description = "PerkinElmer data set (*.sp)",
     .pattern = "*.sp",
     .openTitle = "Import spectrum",
     .readerName = "PEPE",
     .signature = &IsPeDataSet,
     .read = &ReadPeDataSetBytes,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure,
     .readOnly = true},
    // Chosen by its first bytes, else by its extension, which the ".SP"
    // name mark would otherwise take for an SP file.
    {.kind = FileKind::kOmnicSpa,
     .extension = "spa",
     .description = "Thermo OMNIC spectrum (*.spa)",
     .pattern = "*.spa",
     .openTitle = "Import spectrum",
     .readerName = "SPA",
     .extensions = {"spa"},
     .signature = &IsOmnicSpa,
     .read = &ReadOmnicSpaBytes,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure,
     .readOnly = true},
    // ".spc" holds the ".SP" name mark: the extension, looked at first,
    // keeps such files from the SP reader.
    {.kind = FileKind::kSpc,
     .extension = "spc",
     .description = "Galactic SPC (*.spc)",
     .pattern = "*.spc",
     .openTitle = "Import spectrum",
     .readerName = "SPC",
     .extensions = {"spc"},
     .read = &ReadSpcBytes,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure,
     .readOnly = true},
    // Chosen by its first bytes alone: the instruments name these files by
    // a running counter (".0", ".1", ".001"), which says nothing of the kind.
    // The pattern shows every name with a number after its last dot.
    {.kind = FileKind::kOpus,
     .extension = "0",
     .description = "Bruker OPUS (*.0 *.1 ...)",
     .pattern = "*.[0-9]*",
     .openTitle = "Import spectrum",
     .readerName = "OPUS",
     .signature = &IsOpusFile,
     .read = &ReadOpusBytes,
     .loadsAsImport = true,
     .readFailureText = kImportReadFailure,
     .readOnly = true},
    {FileKind::kHpgl, "plt", "HPGL plot file (*.plt)", "*.plt", nullptr,
     "Save HPGL plot file as..."},
    {FileKind::kWindowsMetafile, "wmf", "Windows metafile (*.wmf)", "*.wmf", nullptr,
     "Save Windows metafile as..."},
    {FileKind::kSvg, "svg", "Scalable vector graphics file (*.svg)", "*.svg", nullptr,
     "Save SVG file as..."},
    {FileKind::kPng, "png", "PNG image (*.png)", "*.png", nullptr, nullptr},
    {FileKind::kPdf, "pdf", "PDF document (*.pdf)", "*.pdf", nullptr, nullptr},
};

// The first bytes a signature is shown.
constexpr std::size_t kSignatureBytes = 512;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// A file that cannot be opened or read: the kind's error box, or the
// generic error report when the kind has none (or no kind was chosen).
LoadResult Unreadable(const FileKindInfo* kind, const IoError& error) {
  LoadResult result;
  result.kind = kind;
  result.outcome = LoadOutcome::kRefused;
  if (kind != nullptr && kind->readFailureText != nullptr) {
    result.refusal = kind->readFailureText;
    result.notices.push_back({LoadNotice::Kind::kErrorBox, 0, result.refusal});
  } else {
    result.refusal = GenericReportText(error.what());
    result.notices.push_back({LoadNotice::Kind::kReport, 0, result.refusal});
  }
  return result;
}

// The file's bytes go to a buffer kept from one load to the next: allocated
// and freed each time, it made the heap grow and shrink at every load.
std::string& ReadBuffer() {
  thread_local std::string buffer;
  return buffer;
}

void ReleaseIfLarge(std::string& buffer) {
  if (TooLargeToKeep(buffer)) std::string().swap(buffer);
}

// The SP open dialog shows every ".sp" file, and current PerkinElmer
// software writes its binary data sets under that name too; the SP reader
// refuses them all (they do not begin "PE IR"). A file opened as an SP file
// that begins like a data set goes to the data-set reader instead.
const FileKindInfo& ReaderForOpened(const FileKindInfo& kind, std::string_view bytes) {
  if (kind.kind == FileKind::kSp && IsPeDataSet(bytes)) return InfoFor(FileKind::kPeDataSet);
  return kind;
}

}  // namespace

const FileKindInfo& InfoFor(FileKind kind) {
  for (const FileKindInfo& info : kKinds) {
    if (info.kind == kind) return info;
  }
  return kKinds[0];  // unreachable: every enumerator has a row
}

const FileKindInfo* AllFileKinds(std::size_t& count) {
  count = std::size(kKinds);
  return kKinds;
}

std::optional<FileKind> KindForExtension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  std::string wanted = Upper(extension);
  for (const FileKindInfo& info : kKinds) {
    if (!info.readOnly && Upper(info.extension) == wanted) return info.kind;
  }
  return std::nullopt;
}

std::string BarFilter(FileKind kind) {
  const FileKindInfo& info = InfoFor(kind);
  return std::string(info.description) + "|" + info.pattern;
}

std::string DialogFilter(FileKind kind) {
  const FileKindInfo& info = InfoFor(kind);
  std::string description = info.description;
  std::string bracketed = std::string("(") + info.pattern + ")";
  if (description.size() >= bracketed.size() &&
      description.compare(description.size() - bracketed.size(), bracketed.size(), bracketed) ==
          0) {
    return description;
  }
  return description + " " + bracketed;
}

std::string OpenDialogFilter(const FileKindInfo& info) {
  return info.openDescription != nullptr ? std::string(info.openDescription)
                                         : DialogFilter(info.kind);
}

const FileKindInfo* ClassifyPath(std::string_view path) {
  const std::string upper = Upper(path);
  const std::size_t nameStart = upper.find_last_of("/\\") + 1;  // npos + 1 = 0
  const std::size_t dot = upper.rfind('.');
  if (dot != std::string::npos && dot >= nameStart && dot + 1 < upper.size()) {
    const std::string_view extension = std::string_view(upper).substr(dot + 1);
    for (const FileKindInfo& info : kKinds) {
      for (std::string_view listed : info.extensions) {
        if (!listed.empty() && Upper(listed) == extension) return &info;
      }
    }
  }
  const FileKindInfo* found = nullptr;
  for (const FileKindInfo& info : kKinds) {
    for (std::string_view mark : info.nameMarks) {
      if (!mark.empty() && upper.find(mark) != std::string::npos) found = &info;
    }
  }
  return found;
}

const FileKindInfo* ClassifyFile(std::string_view path, std::string_view firstBytes) {
  for (const FileKindInfo& info : kKinds) {
    if (info.signature != nullptr && info.signature(firstBytes.substr(0, kSignatureBytes))) {
      return &info;
    }
  }
  return ClassifyPath(path);
}

const char* PathKindName(const FileKindInfo* kind) {
  return kind != nullptr && kind->readerName != nullptr ? kind->readerName : "";
}

namespace {

// What every record a reader gives back must hold before it takes anyone's
// place: the point-count rule (the readers ask it too, before they fill the
// arrays; this keeps a reader that someday forgot from handing on a record
// the plot and the writers cannot take) and the last index that goes with
// the count.
bool Acceptable(const Spectrum& read, Messages& messages) {
  if (!PointCountAllowed(static_cast<std::size_t>(std::max(read.NPoints, 0)), messages)) {
    return false;
  }
  return read.LastIndex == read.NPoints - 1 || Refuse(messages, "Invalid number of data points!");
}

}  // namespace

LoadResult LoadSpectrumText(const std::string& bytes, const std::string& path,
                            const FileKindInfo& kind, Spectrum& target) {
  LoadResult result;
  result.kind = &kind;
  if (kind.read == nullptr) return result;
  NoticeRecorder recorder(result.notices, result.notes);
  Spectrum fresh = Spectrum::FreshFrom(target);
  const bool loaded = kind.read(bytes, path, fresh, recorder) && Acceptable(fresh, recorder);
  if (loaded) {
    fresh.DataLoaded = true;
    Spectrum::Replace(target, std::move(fresh));
  } else {
    Spectrum::Recycle(std::move(fresh));
  }
  result.outcome = loaded ? LoadOutcome::kLoaded : LoadOutcome::kRefused;
  if (!loaded) {
    // The reader's last word is why: an error box or the status panel text.
    for (auto it = result.notices.rbegin(); it != result.notices.rend(); ++it) {
      if (it->kind == LoadNotice::Kind::kErrorBox || it->kind == LoadNotice::Kind::kStatusText) {
        result.refusal = it->text;
        break;
      }
    }
  }
  return result;
}

LoadResult LoadSpectrumFile(const std::string& path, const FileKindInfo& kind, Spectrum& target) {
  if (kind.read == nullptr) return LoadResult{};
  std::string& text = ReadBuffer();
  try {
    ReadWholeFileInto(path, text);
  } catch (const IoError& error) {
    return Unreadable(&kind, error);
  }
  LoadResult result = LoadSpectrumText(text, path, ReaderForOpened(kind, text), target);
  ReleaseIfLarge(text);
  return result;
}

LoadResult LoadSpectrumFile(const std::string& path, Spectrum& target) {
  const FileKindInfo* byName = ClassifyPath(path);
  std::string& text = ReadBuffer();
  try {
    ReadWholeFileInto(path, text);
  } catch (const IoError& error) {
    // Neither name nor content can ask for a reader: none takes it.
    return byName != nullptr ? Unreadable(byName, error) : LoadResult{};
  }
  const FileKindInfo* kind = ClassifyFile(path, text);
  LoadResult result = kind != nullptr ? LoadSpectrumText(text, path, *kind, target) : LoadResult{};
  ReleaseIfLarge(text);
  return result;
}

LoadResult ReadSpFile(const std::string& path, Spectrum& target) {
  return LoadSpectrumFile(path, InfoFor(FileKind::kSp), target);
}

LoadResult ReadJcampFile(const std::string& path, Spectrum& target) {
  return LoadSpectrumFile(path, InfoFor(FileKind::kJcampFix), target);
}

LoadResult ReadAsciiList(const std::string& path, Spectrum& target) {
  return LoadSpectrumFile(path, InfoFor(FileKind::kAsciiList), target);
}

}  // namespace tesvar
