// The converter's --index and --search: a folder of reference spectra as a
// library (library/library_index.h), searched for each INPUT.
#include <chrono>

#include "cli/converter.h"
#include "core/code_page.h"
#include "core/number_text.h"
#include "library/library_index.h"

namespace tesvar::cli {

namespace {

// A record text (8-bit) as UTF-8 for the terminal, tabs and line ends as
// blanks so that a title cannot break the tab-separated line.
std::string TitleText(const std::string& title) {
  std::string out;
  for (char ch : title) {
    const char32_t c = CodePageToUnicode(static_cast<unsigned char>(ch));
    AppendUtf8(out, c < 0x20 ? U' ' : c);
  }
  return out;
}

}  // namespace

int Converter::RunLibrary(const ConvertOptions& options) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  bool shown = false;
  // Progress on a terminal, once indexing has taken more than a second.
  const auto progress = [&](int done, int total) {
    if (progressOnTerminal && (shown || Clock::now() - start > std::chrono::seconds(1))) {
      err_ << '\r' << kProgramName << ": indexing " << done << " of " << total << std::flush;
      shown = true;
    }
    return true;
  };
  LibraryIndex index;
  const IndexReport report = index.Update(
      options.library, libraryCache.empty() ? LibraryCacheFolder() : libraryCache, progress);
  if (shown) err_ << '\r' << std::string(40, ' ') << '\r' << std::flush;
  if (!report.note.empty()) Message(options.library, report.note);
  if (!report.error.empty()) {
    Message(options.library, report.error);
    return kExitFailed;
  }
  if (options.verbose) {
    for (const SkippedFile& file : report.skippedFiles) {
      Message(file.path, "skipped: " + file.reason);
    }
  }
  if (options.mode == Mode::kIndex) {
    out_ << options.library << ": " << report.members << " members; read " << report.read
         << ", skipped " << report.skipped << ", removed " << report.removed << '\n';
    return kExitOk;
  }

  bool allOk = true;
  bool first = true;
  for (const std::string& input : options.inputs) {
    Spectrum spectrum;
    if (!Load(input, spectrum)) {
      allOk = false;
      continue;
    }
    if (options.inputs.size() > 1) out_ << (first ? "" : "\n") << "==> " << input << " <==\n";
    first = false;
    const std::vector<LibraryHit> hits = index.Search(MakeMatchProfile(spectrum), options.hits);
    int rank = 0;
    for (const LibraryHit& hit : hits) {
      out_ << ++rank << '\t' << FormatFixed(hit.quality, 1) << '\t' << hit.member->path << '\t'
           << TitleText(hit.member->title) << '\n';
    }
    out_.flush();
  }
  return allOk ? kExitOk : kExitFailed;
}

}  // namespace tesvar::cli
