// What one save of a file came to: written, or why not.
//
// The writers build the whole file in memory and hand it to SaveFile, which
// replaces the target safely (file_io.h) and turns every failure into the
// result instead of an exception: a writer never both returns and throws.
// The result has the shape of a load's (formats/load_result.h): the refusal
// as the user is shown it, and Tell to show it. The caller decides when and
// where: the window in a box, the converter on standard error.
#pragma once

#include <string>

#include "core/io_error.h"
#include "core/messages.h"

namespace tesvar {

enum class SaveOutcome {
  kSaved,
  kCannotCreate,  // the file could not be created at all; nothing changed
  kWriteFailed,   // writing, closing or renaming failed; an existing file is kept
  kNotWritten,    // the writer refused before touching the disk ("Invalid ordinate value!")
};

struct [[nodiscard]] SaveResult {
  SaveOutcome outcome = SaveOutcome::kSaved;
  // Why the file was not saved, as the user is shown it: the writer's own
  // error box ("Could not create file PATH") or, for a failure it has no
  // words of its own for, the generic error report text ("Disk full.").
  // "" when saved.
  std::string refusal;
  bool refusalIsReport = false;  // refusal is the generic report's text, not an error box
  // The generic report text of the I/O failure behind the refusal ("File
  // access denied."); "" when none was behind it.
  std::string cause;

  bool saved() const { return outcome == SaveOutcome::kSaved; }

  // Says the refusal through messages: as the error box or the generic
  // report. Says nothing when saved.
  void Tell(Messages& messages) const;

  // Refusals of a writer that wrote nothing: an error box of its own.
  static SaveResult NotWritten(std::string text);
  // An I/O failure while writing: the generic report of it.
  static SaveResult WriteFailed(const IoError& error);
};

inline constexpr const char* kCouldNotCreateText = "Could not create file ";

// Writes bytes over path through WriteFileReplacing. A file that cannot be
// created is refused as cannotCreateText followed by the path (an error
// box); any other failure as the generic report of the I/O failure.
SaveResult SaveFile(const std::string& path, const std::string& bytes,
                    const std::string& cannotCreateText = kCouldNotCreateText);

}  // namespace tesvar
