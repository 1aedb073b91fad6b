#include "app/command_line.h"

#include "core/version.h"
#include "formats/readable_kinds.h"

namespace tesvar {

namespace {

bool IsBaselineSwitch(const std::string& arg) {
  return arg.size() == 2 && (arg[0] == '/' || arg[0] == '-') && (arg[1] == 'e' || arg[1] == 'E');
}

// The kinds read come from the file-kind table, one a line, so that the
// help never lists a kind this build does not read.
std::string HelpText() {
  return "Usage: tesvar [-e] [FILE]\n"
         "       tesvar --help | --version\n"
         "\n"
         "Shows an infrared spectrum as %T against wavenumber, with a cursor, baseline\n"
         "correction and peak labels, and saves or exports it. FILE is loaded at start\n"
         "when it exists and is of one of these kinds, told by its content where that is\n"
         "unmistakable, else by its name:\n" +
         OpenableKindsLines() +
         "\n"
         "Options:\n"
         "  -e, /e              the right mouse button corrects the baseline\n"
         "  -h, --help          print this help and exit\n"
         "  --version           print the version and exit\n"
         "\n"
         "Other arguments beginning with '-' are ignored; of several FILEs the last\n"
         "counts. To convert files without a window, use tesvar-convert.\n";
}

}  // namespace

InformationRequest FindInformationRequest(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return InformationRequest::kHelp;
    if (arg == "--version") return InformationRequest::kVersion;
  }
  return InformationRequest::kNone;
}

std::string InformationText(InformationRequest request) {
  switch (request) {
    case InformationRequest::kHelp:
      return HelpText();
    case InformationRequest::kVersion:
      return "tesvar " TESVAR_VERSION "\n";
    case InformationRequest::kNone:
      break;
  }
  return std::string();
}

StartOptions ParseCommandLine(const std::vector<std::string>& args,
                              const std::function<bool(const std::string&)>& fileExists) {
  StartOptions options;
  for (const std::string& arg : args) {
    if (IsBaselineSwitch(arg)) {
      options.CursorBaselineMode = true;
      continue;
    }
    if (arg.empty() || arg[0] == '-') continue;
    options.FileToLoad = fileExists(arg) ? arg : std::string();
  }
  return options;
}

}  // namespace tesvar
