#include "cli/converter.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <iostream>
#include <new>
#include <system_error>

#include "cli/output_check.h"
#include "cli/spectrum_report.h"
#include "core/number_text.h"
#include "formats/file_kinds.h"
#include "formats/readable_kinds.h"
#include "output/writers.h"

namespace tesvar::cli {

void StreamMessages::Print(const std::string& text) {
  err_ << kProgramName << ": " << file_ << ": " << text << '\n';
  ++printed_;
}

void StreamMessages::FlushStatus() {
  if (!statusText_.empty()) Print(statusText_);
  statusText_.clear();
}

void Converter::Message(const std::string& file, const std::string& text) {
  StreamMessages(err_, file).Print(text);
}

bool Converter::Load(const std::string& input, Spectrum& spectrum,
                     std::vector<std::string>* about) {
  StreamMessages messages(err_, input);
  const LoadResult result = LoadSpectrumFile(input, spectrum);
  if (result.outcome == LoadOutcome::kNoReader) {
    messages.Print("unknown file kind (read are: " + OpenableKindsText() + ")");
    return false;
  }
  if (about != nullptr) *about = LoadLines(result);
  result.Tell(messages);
  messages.FlushStatus();
  if (!result.loaded()) {
    // Every reader says why; this covers one that someday might not.
    if (messages.printed() == 0) messages.Print("not loaded");
    return false;
  }
  return true;
}

bool Converter::LoadComparisons(const ConvertOptions& options) {
  for (const std::string& path : options.compare) {
    const LoadResult result = comparisons_.AddFile(path);
    if (result.loaded()) continue;
    StreamMessages messages(err_, path);
    if (result.outcome == LoadOutcome::kNoReader) {
      messages.Print("unknown file kind (read are: " + OpenableKindsText() + ")");
    } else {
      result.Tell(messages);
      messages.FlushStatus();
      if (messages.printed() == 0) messages.Print(result.refusal);
    }
    messages.Print("not converted: a comparison spectrum could not be read");
    return false;
  }
  return true;
}

SaveResult Converter::Write(const std::string& input, const std::string& output, Spectrum& spectrum,
                            const ConvertOptions& options) {
  const WriterInfo& writer = *WriterFor(options.outputKind);
  const PlotOverlay overlay{&comparisons_, LegendName(input), options.absorbance,
                            options.scaleComparisons};
  const LabelList labels = writer.labels && options.labelPeaks ? BandLabels(spectrum) : LabelList();
  const WriteRequest request{.spectrum = spectrum,
                             .labels = labels,
                             .grid = writer.grid && options.grid,
                             .screen = {options.screen.width, options.screen.height},
                             .image = {options.size.width, options.size.height},
                             .pictures = pictures_,
                             .overlay = &overlay};
  return writer.write(output, request);
}

bool Converter::Verify(const std::string& output, FileKind kind, const Spectrum& spectrum) {
  OutputCheck check = CheckWrittenFile(output, kind, spectrum);
  if (std::isfinite(check.largestDifference)) {
    out_ << output << ": largest ordinate difference " << FormatFixed(check.largestDifference, 9)
         << " (allowed " << FormatFixed(check.allowed, 9) << ")\n";
  }
  if (!check.ok) Message(output, "verify failed: " + check.problem);
  return check.ok;
}

bool Converter::ConvertFile(const std::string& input, const std::string& output,
                            const ConvertOptions& options) {
  Spectrum spectrum;
  if (!Load(input, spectrum)) return false;
  const SaveResult written = Write(input, output, spectrum, options);
  if (!written.saved()) {
    Message(output, written.refusal);
    return false;
  }
  if (afterWrite) afterWrite(output);
  if (options.verify && WriterFor(options.outputKind)->readBack) {
    return Verify(output, options.outputKind, spectrum);
  }
  return true;
}

bool Converter::PrintReport(const std::string& input, const ConvertOptions& options,
                            bool withHeading, bool first) {
  Spectrum spectrum;
  std::vector<std::string> about;
  if (!Load(input, spectrum, &about)) return false;
  // Several files are told apart as head(1) does it.
  if (withHeading) out_ << (first ? "" : "\n") << "==> " << input << " <==\n";
  std::vector<std::string> lines;
  if (options.mode == Mode::kInfo) {
    lines = InfoLines(spectrum);
    lines.insert(lines.end(), about.begin(), about.end());
  } else {
    lines = PeakLines(spectrum);
  }
  for (const std::string& line : lines) out_ << line << '\n';
  return true;
}

int Converter::Run(const ConvertOptions& options) {
  bool allOk = true;
  switch (options.mode) {
    case Mode::kInfo:
    case Mode::kPeaks: {
      bool first = true;
      for (const std::string& input : options.inputs) {
        bool ok = PrintReport(input, options, options.inputs.size() > 1, first);
        first = first && !ok;
        allOk = ok && allOk;
        out_.flush();
      }
      break;
    }
    case Mode::kConvertOne:
      if (!LoadComparisons(options)) return kExitFailed;
      allOk = ConvertFile(options.inputs.front(), options.output, options);
      break;
    case Mode::kBatch: {
      if (!LoadComparisons(options)) return kExitFailed;
      std::error_code ec;
      std::filesystem::create_directories(options.outputDir, ec);
      if (ec && !std::filesystem::is_directory(options.outputDir)) {
        Message(options.outputDir, "cannot make the output folder: " + ec.message());
        return kExitFailed;
      }
      const std::string ext = std::string(".") + WriterFor(options.outputKind)->extension;
      for (const std::string& input : options.inputs) {
        const std::string output =
            (std::filesystem::path(options.outputDir) / ChangeExtension(FileNamePart(input), ext))
                .lexically_normal()
                .string();
        auto [it, fresh] = writtenFrom_.emplace(output, input);
        if (!fresh) {
          Message(input, "not converted: " + output + " is already the output of " + it->second);
          allOk = false;
          continue;
        }
        allOk = ConvertFile(input, output, options) && allOk;
        out_.flush();
      }
      break;
    }
    case Mode::kSearch:
    case Mode::kIndex:
      return RunLibrary(options);
    case Mode::kHelp:
    case Mode::kVersion:
      break;
  }
  return allOk ? kExitOk : kExitFailed;
}

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      PictureRenderer* pictures) {
  ParseResult parsed = ParseConvertOptions(args);
  if (!parsed.ok) {
    err << kProgramName << ": " << parsed.error << '\n'
        << "Try '" << kProgramName << " --help' for more information.\n";
    return kExitUsage;
  }
  if (parsed.options.mode == Mode::kHelp) {
    out << HelpText();
    return kExitOk;
  }
  if (parsed.options.mode == Mode::kVersion) {
    out << kVersionText << '\n';
    return kExitOk;
  }
  Converter converter(out, err, pictures);
  converter.progressOnTerminal = &err == &std::cerr && isatty(STDERR_FILENO) != 0;
  try {
    return converter.Run(parsed.options);
  } catch (const std::bad_alloc&) {
    err << kProgramName << ": out of memory\n";
    return kExitFailed;
  }
}

}  // namespace tesvar::cli
