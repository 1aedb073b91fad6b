#include "app/command_line.h"

namespace tesvar {

namespace {

bool IsBaselineSwitch(const std::string& arg) {
  return arg.size() == 2 && (arg[0] == '/' || arg[0] == '-') && (arg[1] == 'e' || arg[1] == 'E');
}

}  // namespace

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
