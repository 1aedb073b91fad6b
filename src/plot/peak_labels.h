// Peak labels: wavenumber texts with a stem and a leader, kept in one list
// ordered from the highest to the lowest wavenumber (the plot's left-to-right
// order). Every renderer draws the same list with its own sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tesvar {

inline constexpr int kMaxLabels = 255;

struct PeakLabel {
  double X = 0;      // wavenumber of the labelled data point
  double Y = 0;      // transmittance at which the label is drawn (the click)
  uint8_t Kind = 0;  // 0 stem up, text left; 1 stem up, text right;
                     // 2 stem down, text left; 3 stem down, text right
};

inline bool StemUp(uint8_t kind) { return kind == 0 || kind == 1; }
inline bool TextLeft(uint8_t kind) { return kind == 0 || kind == 2; }

class LabelList {
 public:
  // Inserts before the first label whose X is smaller (after any equal ones).
  // Returns false, adding nothing, when the list already holds 255 labels.
  bool Insert(const PeakLabel& label);
  void Clear() { labels_.clear(); }
  // REQUIRES: 0 <= i < Count().
  void RemoveAt(int i) { labels_.erase(labels_.begin() + i); }

  int Count() const { return static_cast<int>(labels_.size()); }
  bool Empty() const { return labels_.empty(); }
  const PeakLabel& operator[](int i) const { return labels_[static_cast<std::size_t>(i)]; }
  std::vector<PeakLabel>::const_iterator begin() const { return labels_.begin(); }
  std::vector<PeakLabel>::const_iterator end() const { return labels_.end(); }

  // "2925, 1715, 1451": Round(X) of each label (ties to even), separated by
  // ", ". A piece is dropped when it would make the text reach 65535 bytes.
  std::string PeakListText() const;

 private:
  std::vector<PeakLabel> labels_;
};

}  // namespace tesvar
