#include "cli/converter.h"

#include <cmath>
#include <filesystem>
#include <new>
#include <system_error>

#include "cli/output_check.h"
#include "cli/spectrum_report.h"
#include "core/file_io.h"
#include "core/io_error.h"
#include "core/number_text.h"
#include "formats/ascii_list_writer.h"
#include "formats/file_kinds.h"
#include "formats/jcamp_writer.h"
#include "formats/readable_kinds.h"
#include "formats/sp_file.h"
#include "output/hpgl.h"
#include "output/svg.h"

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

bool Converter::Write(const std::string& output, Spectrum& spectrum,
                      const ConvertOptions& options) {
  StreamMessages messages(err_, output);
  const LabelList labels = options.labelPeaks ? BandLabels(spectrum) : LabelList();
  switch (options.outputKind) {
    case FileKind::kSp:
      try {
        WriteSpFile(output, spectrum);
      } catch (const CannotCreateError&) {
        messages.Print("Could not create file " + output);
        return false;
      }
      return true;
    case FileKind::kJcampFix:
      return WriteJcampFile(output, spectrum, JcampForm::kFix, messages);
    case FileKind::kJcampDifDup:
      return WriteJcampFile(output, spectrum, JcampForm::kDifDup, messages);
    case FileKind::kAsciiList:
      return WriteAsciiListFile(output, spectrum, messages);
    case FileKind::kHpgl:
      return WriteHpglFile(output, spectrum, options.grid, labels, messages);
    case FileKind::kSvg:
      return WriteSvgFile(output, spectrum, options.grid, labels, messages);
    case FileKind::kWindowsMetafile:
    case FileKind::kPng:
    case FileKind::kPdf:
      if (pictures_ == nullptr) {
        messages.Print("this output is not available in this build");
        return false;
      }
      return pictures_->Write(options.outputKind, output, spectrum, labels, options, messages);
    case FileKind::kDelimitedText:
    case FileKind::kPeAscii:
    case FileKind::kAspText:
    case FileKind::kPeDataSet:
    case FileKind::kOmnicSpa:
    case FileKind::kSpc:
      break;  // read only: never chosen as an output
  }
  return false;
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
  try {
    if (!Write(output, spectrum, options)) return false;
  } catch (const IoError& e) {
    Message(output, GenericReportText(e.what()));
    return false;
  }
  if (afterWrite) afterWrite(output);
  if (options.verify && CanCheck(options.outputKind)) {
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
      allOk = ConvertFile(options.inputs.front(), options.output, options);
      break;
    case Mode::kBatch: {
      std::error_code ec;
      std::filesystem::create_directories(options.outputDir, ec);
      if (ec && !std::filesystem::is_directory(options.outputDir)) {
        Message(options.outputDir, "cannot make the output folder: " + ec.message());
        return kExitFailed;
      }
      const std::string ext = std::string(".") + InfoFor(options.outputKind).extension;
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
    case Mode::kHelp:
    case Mode::kVersion:
      break;
  }
  return allOk ? kExitOk : kExitFailed;
}

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      PictureWriter* pictures) {
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
  try {
    return converter.Run(parsed.options);
  } catch (const std::bad_alloc&) {
    err << kProgramName << ": out of memory\n";
    return kExitFailed;
  }
}

}  // namespace tesvar::cli
