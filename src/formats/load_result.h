// What one load of a spectrum file came to: loaded or refused, and what the
// reader said on the way, in the order said.
//
// Readers speak through Messages while they work; the load entry
// (LoadSpectrumFile in file_kinds.h) records that into a LoadResult instead
// of letting it reach the user at once, and catches the I/O failure of
// reading the file. The caller decides when to tell the user (Tell) and
// what a loaded spectrum changes. A refused load leaves the record it was
// given as it was, every field of it.
#pragma once

#include <string>
#include <vector>

#include "core/messages.h"

namespace tesvar {

struct FileKindInfo;

// One thing a reader said, as the Messages call it came through.
struct LoadNotice {
  enum class Kind { kErrorBox, kBell, kStatusText, kReport };
  Kind kind = Kind::kErrorBox;
  int panel = 0;  // kStatusText only
  std::string text;

  bool operator==(const LoadNotice&) const = default;
};

enum class LoadOutcome {
  kNoReader,  // no reader takes a file of this name or content: nothing read, nothing said
  kRefused,   // the reader refused it, or the file could not be read
  kLoaded,
};

struct [[nodiscard]] LoadResult {
  // The row of the reader chosen for the file; nullptr when none was.
  const FileKindInfo* kind = nullptr;
  LoadOutcome outcome = LoadOutcome::kNoReader;
  // Why the file was refused, as the user is shown it ("Unknown file
  // format!", "invalid X value: 4000-85", "File not found."); "" when loaded.
  std::string refusal;
  // Everything said, in order; a refusal is the last notice.
  std::vector<LoadNotice> notices;
  // The reader's notes on how it read the file (Messages::Note), in order.
  std::vector<std::string> notes;

  bool loaded() const { return outcome == LoadOutcome::kLoaded; }

  // Says every notice through messages, in order.
  void Tell(Messages& messages) const;
};

// Messages that keeps what is said as notices of a result.
class NoticeRecorder : public Messages {
 public:
  NoticeRecorder(std::vector<LoadNotice>& notices, std::vector<std::string>& notes)
      : notices_(notices), notes_(notes) {}
  void ErrorBox(const std::string& text) override;
  void Bell() override;
  void StatusText(int panel, const std::string& text) override;
  void Report(const std::string& text) override;
  void Note(const std::string& text) override;

 private:
  std::vector<LoadNotice>& notices_;
  std::vector<std::string>& notes_;
};

}  // namespace tesvar
