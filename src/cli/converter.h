// The converter's work for one command line: reads each INPUT with the
// reader the file-kind table chooses for it (the window's rule: by content
// where that is unmistakable, else by name), writes it with the writer the
// writers table (output/writers.h) has for the output kind, checks it when
// asked, or prints its header or its bands. Streams and the picture
// renderer come from the caller, so the whole run can be tested without a
// process or a display.
//
// Every message goes to the error stream as "tesvar-convert: FILE: text",
// FILE being the file the text is about (the INPUT for the readers' texts,
// the output for a writer's refusal and the check's). A reader's status
// text that is still standing when it returns ("##NPOINTS= 10 (8)",
// "invalid X value: 4000-85") is printed as well; progress texts that it
// cleared are not.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "cli/convert_options.h"
#include "core/messages.h"
#include "core/spectrum.h"
#include "output/writers.h"
#include "plot/comparisons.h"
#include "plot/peak_labels.h"

namespace tesvar::cli {

enum ExitStatus : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// Prints what a reader says about one file.
class StreamMessages : public Messages {
 public:
  StreamMessages(std::ostream& err, std::string file) : err_(err), file_(std::move(file)) {}
  void ErrorBox(const std::string& text) override { Print(text); }
  void Bell() override { Print("warning: malformed number in the header"); }
  void StatusText(int panel, const std::string& text) override {
    if (panel == 2) statusText_ = text;
  }
  void Report(const std::string& text) override { Print(text); }
  // Prints the status text left standing, once.
  void FlushStatus();
  void Print(const std::string& text);
  int printed() const { return printed_; }

 private:
  std::ostream& err_;
  std::string file_;
  std::string statusText_;
  int printed_ = 0;
};

class Converter {
 public:
  // pictures may be null: metafile, PNG and PDF outputs then fail.
  Converter(std::ostream& out, std::ostream& err, PictureRenderer* pictures)
      : out_(out), err_(err), pictures_(pictures) {}

  // Runs a parsed command line (not kHelp or kVersion); kExitOk or kExitFailed.
  int Run(const ConvertOptions& options);

  // Called with each written file before it is checked (tests spoil it here).
  std::function<void(const std::string& path)> afterWrite;
  // Standard error is a terminal: a long indexing shows its progress there.
  bool progressOnTerminal = false;
  // The library's index lives here (tests set their own).
  std::string libraryCache;

 private:
  // Reads input into spectrum, telling what the reader said. `about`, when
  // given, receives the lines --info adds on how the file was read.
  bool Load(const std::string& input, Spectrum& spectrum,
            std::vector<std::string>* about = nullptr);
  bool ConvertFile(const std::string& input, const std::string& output,
                   const ConvertOptions& options);
  SaveResult Write(const std::string& input, const std::string& output, Spectrum& spectrum,
                   const ConvertOptions& options);
  // Reads the --compare files once for the whole run; false, telling why,
  // when one cannot be read.
  bool LoadComparisons(const ConvertOptions& options);
  bool Verify(const std::string& output, FileKind kind, const Spectrum& spectrum);
  bool PrintReport(const std::string& input, const ConvertOptions& options, bool withHeading,
                   bool first);
  void Message(const std::string& file, const std::string& text);
  // --index and --search (converter_library.cpp).
  int RunLibrary(const ConvertOptions& options);

  ComparisonList comparisons_;
  std::ostream& out_;
  std::ostream& err_;
  PictureRenderer* pictures_;
  std::map<std::string, std::string> writtenFrom_;  // batch output -> its INPUT
};

// The whole command: parses args (without the program name), prints help,
// version or the usage error, runs. Returns the exit status.
int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      PictureRenderer* pictures);

}  // namespace tesvar::cli
