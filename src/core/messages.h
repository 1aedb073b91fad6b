// How readers and writers talk to the user. The window implements this with
// message boxes and its status bar, the tests record what was said, and the
// command-line converter prints it.
#pragma once

#include <string>
#include <vector>

namespace tesvar {

class Messages {
 public:
  virtual ~Messages() = default;
  // A modal error box with one OK button ("Unknown file format!").
  virtual void ErrorBox(const std::string& text) = 0;
  // The warning bell (a malformed but tolerated header line).
  virtual void Bell() = 0;
  // Text for a status bar panel (0, 1 or 2); the importers use panel 2.
  virtual void StatusText(int panel, const std::string& text) = 0;
  // The generic error report of a failure no operation handles itself (a
  // file that cannot be read): the text as GenericReportText makes it.
  virtual void Report(const std::string& text) = 0;
  // A fact about how a file was read, for reports of a load ("block 2 of
  // 3", "absorbance converted to transmittance"). Not a message to the
  // user: what of it the user must see goes to StatusText as well.
  virtual void Note(const std::string& /*text*/) {}
};

// Swallows everything; for callers that check only the result.
class SilentMessages : public Messages {
 public:
  void ErrorBox(const std::string&) override {}
  void Bell() override {}
  void StatusText(int, const std::string&) override {}
  void Report(const std::string&) override {}
};

// Keeps everything that was said, in order; for tests and batch tools.
class RecordedMessages : public Messages {
 public:
  void ErrorBox(const std::string& text) override { errors.push_back(text); }
  void Bell() override { ++bells; }
  void StatusText(int panel, const std::string& text) override {
    if (panel >= 0 && panel < 3) status[panel] = text;
    statusLog.push_back(text);
  }
  void Report(const std::string& text) override { reports.push_back(text); }

  std::vector<std::string> errors;
  int bells = 0;
  std::string status[3];
  std::vector<std::string> statusLog;
  std::vector<std::string> reports;
};

}  // namespace tesvar
