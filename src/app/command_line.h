// The command line of the window program: an optional file to load and the
// switch that turns on the baseline tool.
//
//   tesvar [-e | /e] [file]...
//   tesvar --help | -h | --version
//
// Arguments are taken in order. "-e", "-E", "/e" and "/E" switch the baseline
// tool on; any other argument that begins with '-' is ignored. Every other
// non-empty argument names the file to load and replaces an earlier one; when
// no file of that name exists the file to load becomes none again, so the
// last file argument decides and a missing last file cancels an earlier one.
//
// '/' begins an absolute path, so of the arguments beginning with '/' only
// the exact switch "/e" ("/E") is a switch; every other one names a file.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tesvar {

struct StartOptions {
  bool CursorBaselineMode = false;
  std::string FileToLoad;  // empty: nothing to load
};

// What a line asks before any window is made: the help or the version, for
// a person in a terminal or a script without a display.
enum class InformationRequest { kNone, kHelp, kVersion };

// The first of "--help", "-h" and "--version" on the line, as the converter
// takes them; kNone when there is none.
InformationRequest FindInformationRequest(const std::vector<std::string>& args);

// The text printed for a request other than kNone.
std::string InformationText(InformationRequest request);

StartOptions ParseCommandLine(const std::vector<std::string>& args,
                              const std::function<bool(const std::string&)>& fileExists);

}  // namespace tesvar
