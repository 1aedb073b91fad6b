// File failures that an operation does not handle itself. They end the
// operation and reach the window's generic error report (a box titled with
// the application title), or the converter's message on standard error.
#pragma once

#include <stdexcept>
#include <string>

namespace tesvar {

// The error numbers of the generic error report. The report shows a text
// for some ("File not found", "Disk full") and "I/O error N" for the rest,
// so each system error is first mapped to one of these numbers.
enum IoCode : int {
  kFileNotFound = 2,
  kPathNotFound = 3,
  kAccessDenied = 5,
  // A device that failed a read or a write (EIO). Passed through, EIO (5)
  // would read as "File access denied"; 31 shows as "I/O error 31".
  kDeviceFailure = 31,
  kReadBeyondEnd = 100,
  kDiskFull = 101,
};

class IoError : public std::runtime_error {
 public:
  IoError(int code, const std::string& path);
  int code() const { return code_; }
  const std::string& path() const { return path_; }

  // The text of the generic error report: "File not found", "Disk full",
  // "I/O error 28" ... (without the closing full stop).
  static std::string TextFor(int code);
  // Maps an errno value to the code above (unknown values pass through;
  // none of those a file operation gives is one of the codes above).
  static int FromErrno(int err);

 private:
  int code_;
  std::string path_;
};

// The message as the generic error report shows it: a full stop is appended
// when the text's last character sorts after '.'.
std::string GenericReportText(const std::string& text);

}  // namespace tesvar
