#include "plot/peak_labels.h"

#include "core/number_text.h"

namespace tesvar {

bool LabelList::Insert(const PeakLabel& label) {
  if (Count() >= kMaxLabels) return false;
  auto pos = labels_.begin();
  while (pos != labels_.end() && !(pos->X < label.X)) ++pos;
  labels_.insert(pos, label);
  return true;
}

std::string LabelList::PeakListText() const {
  std::string text;
  for (const PeakLabel& label : labels_) {
    std::string piece = FormatInt(RoundHalfEven(label.X));
    if (!text.empty()) piece = ", " + piece;
    if (text.size() + piece.size() + 1 < 65535) text += piece;
  }
  return text;
}

}  // namespace tesvar
