// Undo and redo of the edits made on the plot: a baseline correction, a
// label placed and labels removed. Each edit keeps what it changed as it
// was before (the ordinates, or the label list), and going back or forth
// exchanges that with what is shown, so that the record is exactly what it
// was: a spectrum corrected and undone writes the bytes it was read with.
//
// The history also knows where the spectrum was last saved, so that undoing
// back to that state leaves nothing to ask "Save changes?" about. Labels are
// not saved in an SP file: only baseline corrections between the shown state
// and the saved one make the spectrum differ from its file.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "plot/peak_labels.h"

namespace tesvar {

struct Spectrum;

enum class EditKind {
  kBaseline,      // the ordinates were levelled or tilted
  kLabelPlaced,   // a label was added to the list
  kLabelRemoved,  // one label, or every label, was taken away
};

class EditHistory {
 public:
  // Before an edit of `kind`: keeps the part of the state it changes.
  void Record(EditKind kind, const Spectrum& spectrum, const LabelList& labels);

  bool CanUndo() const { return applied_ > 0; }
  bool CanRedo() const { return applied_ < entries_.size(); }

  // Goes back to before the last edit (forth to after the edit undone
  // last); returns its kind. REQUIRES: CanUndo() (CanRedo()).
  EditKind Undo(Spectrum& spectrum, LabelList& labels);
  EditKind Redo(Spectrum& spectrum, LabelList& labels);

  // A load: nothing to undo, and what is shown is the file.
  void Clear();
  // The shown state was written to the spectrum's file.
  void MarkSaved() { saved_ = applied_; }
  // A change the history does not keep (an edit of the header): no undo
  // leads back to the saved state any more.
  void ForgetSaved() { saved_.reset(); }

  // Whether the ordinates shown differ from those last saved.
  bool SpectrumChangedSinceSave() const;

 private:
  struct Entry {
    EditKind kind;
    // The other state of what the edit changed: before it while it is
    // applied, after it once undone. Only the part of its kind is kept.
    std::vector<float> transY;
    LabelList labels;
  };
  void Exchange(Entry& entry, Spectrum& spectrum, LabelList& labels);

  std::vector<Entry> entries_;
  std::size_t applied_ = 0;  // entries_[0, applied_) are in what is shown
  // The number of edits applied when the state shown was saved; none when
  // that state can no longer be reached.
  std::optional<std::size_t> saved_ = 0;
};

}  // namespace tesvar
