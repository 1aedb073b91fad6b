// Whole-file reading and safe replacement of files.
//
// Every writer builds its complete output in memory and hands it to
// WriteFileReplacing, which writes a temporary file beside the target and
// renames it over the target only after everything was written and closed:
// a failed save never destroys the file it was meant to replace.
#pragma once

#include <string>

#include "core/io_error.h"
#include "core/messages.h"

namespace tesvar {

class CannotCreateError : public IoError {
 public:
  using IoError::IoError;
};

// Reads the whole file. Throws IoError when it cannot be opened or read,
// and (as "File access denied") when it is not a regular file.
std::string ReadWholeFile(const std::string& path);

// ReadWholeFile into a string whose memory is used again: the imports keep
// one from file to file. What it held before is replaced.
void ReadWholeFileInto(const std::string& path, std::string& bytes);

// Whether a kept read buffer is large enough to be given back rather than
// kept for the next file.
inline bool TooLargeToKeep(const std::string& bytes) { return bytes.capacity() > (4u << 20); }

// Writes bytes to path through a temporary sibling and a rename. Throws
// CannotCreateError when the file cannot be created at all (nothing changed;
// SaveFile in save_result.h turns this into "Could not create file ..."), and IoError
// when writing, closing or renaming fails (the temporary file is removed, an
// existing target is left as it was).
void WriteFileReplacing(const std::string& path, const std::string& bytes);

bool FileExists(const std::string& path);

}  // namespace tesvar
