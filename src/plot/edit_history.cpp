#include "plot/edit_history.h"

#include <algorithm>
#include <utility>

#include "core/spectrum.h"

namespace tesvar {

void EditHistory::Record(EditKind kind, const Spectrum& spectrum, const LabelList& labels) {
  // A new edit after undoing drops what could have been redone; a save made
  // in that part can no longer be reached.
  if (saved_ && *saved_ > applied_) saved_.reset();
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(applied_), entries_.end());
  Entry entry{kind, {}, {}};
  if (kind == EditKind::kBaseline) {
    entry.transY = spectrum.TransY;
  } else {
    entry.labels = labels;
  }
  entries_.push_back(std::move(entry));
  ++applied_;
}

void EditHistory::Exchange(Entry& entry, Spectrum& spectrum, LabelList& labels) {
  if (entry.kind == EditKind::kBaseline) {
    std::swap(entry.transY, spectrum.TransY);
  } else {
    std::swap(entry.labels, labels);
  }
}

EditKind EditHistory::Undo(Spectrum& spectrum, LabelList& labels) {
  Entry& entry = entries_[--applied_];
  Exchange(entry, spectrum, labels);
  return entry.kind;
}

EditKind EditHistory::Redo(Spectrum& spectrum, LabelList& labels) {
  Entry& entry = entries_[applied_++];
  Exchange(entry, spectrum, labels);
  return entry.kind;
}

void EditHistory::Clear() {
  entries_.clear();
  applied_ = 0;
  saved_ = 0;
}

bool EditHistory::SpectrumChangedSinceSave() const {
  if (!saved_) return true;
  const std::size_t from = std::min(applied_, *saved_);
  const std::size_t to = std::max(applied_, *saved_);
  return std::any_of(entries_.begin() + static_cast<std::ptrdiff_t>(from),
                     entries_.begin() + static_cast<std::ptrdiff_t>(to),
                     [](const Entry& e) { return e.kind == EditKind::kBaseline; });
}

}  // namespace tesvar
