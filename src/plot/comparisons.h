// Comparison spectra: up to eight records drawn in the frame of the shown
// spectrum, each in a colour of its own, for a sample against its reference
// or a batch against the last one. They are not edits of the shown
// spectrum: the cursor, the tools, the labels and Save act on the shown one
// alone, and comparisons stay when another spectrum is opened.
//
// What a picture shows besides the shown spectrum (the comparisons, the
// absorbance view and the scaling of comparisons) travels as one
// PlotOverlay, so the screen, the metafile, the printout, SVG and HPGL draw
// the same thing. The default overlay shows nothing more: every picture is
// then what it was without comparisons.
#pragma once

#include <string>
#include <vector>

#include "core/spectrum.h"
#include "formats/load_result.h"
#include "plot/drawing_surface.h"

namespace tesvar {

inline constexpr int kMaxComparisons = 8;

// The colour of comparison `index` (0 ..): the Okabe-Ito colours that
// readers with the common kinds of colour blindness can tell apart, without
// their yellow, which is lost on white paper, then grey and a dark wine.
Rgb ComparisonColor(int index);

struct Comparison {
  std::string path;
  // The legend's text: the file's name without its folder. Titles in the
  // field are often empty or the same boilerplate for every file.
  std::string name;
  Spectrum spectrum;
};

class ComparisonList {
 public:
  // Reads the file through the one load entry into a new comparison at the
  // end of the list. A ninth comparison, or a file that no reader takes or
  // that is refused, changes nothing; the result says why.
  LoadResult AddFile(const std::string& path);
  // Adds a spectrum already read (the library's hits, tests); false, and
  // nothing changed, when the list is full.
  bool Add(Comparison comparison);
  void Remove(int index);
  void Clear() { items_.clear(); }

  int Size() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  const Comparison& operator[](int index) const { return items_[index]; }
  std::vector<Comparison>::const_iterator begin() const { return items_.begin(); }
  std::vector<Comparison>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<Comparison> items_;
};

// A file name as the legend shows it: the name without its folder, in the
// record texts' 8-bit set (file names are UTF-8; a letter the set lacks
// becomes "?", bytes that are not UTF-8 are kept).
std::string LegendName(const std::string& path);

// The refusal of a file added to a full list.
std::string ComparisonsFullText();
// The refusal of a file that no reader takes.
std::string NoComparisonReaderText();

struct PlotOverlay {
  // None or empty: no comparison traces and no legend.
  const ComparisonList* comparisons = nullptr;
  // The shown spectrum's name in the legend (its file name, no folder).
  std::string shownName;
  // Every trace as A = -log10 T, bands pointing up.
  bool absorbance = false;
  // Absorbance view only: each comparison multiplied so that its largest
  // absorbance over the plotted range equals the shown spectrum's.
  bool scaleComparisons = false;

  bool HasComparisons() const { return comparisons != nullptr && !comparisons->Empty(); }
  bool Scaled() const { return absorbance && scaleComparisons && HasComparisons(); }
};

// The absorbance of a transmittance (1.0 = 100 %T). T <= 0 has none: +inf,
// drawn at the top of the frame. NaN stays NaN.
double AbsorbanceOf(double t);

// The largest finite absorbance of the spectrum's points between the
// wavenumbers high and low (both included); -inf when none.
double LargestAbsorbance(const Spectrum& spectrum, double high, double low);

// The factor that brings the comparison's largest absorbance between high
// and low to `shownLargest`; 1 when either has no positive absorbance there.
double ComparisonScale(const Spectrum& comparison, double shownLargest, double high, double low);

// The factor comparison `index`'s absorbance is drawn with over the
// wavenumbers high .. low of the shown spectrum: 1, or its scale where the
// overlay scales comparisons.
double DrawnScale(const Spectrum& shown, const PlotOverlay& overlay, int index, double high,
                  double low);

// The legend's texts for a plot over high .. low: the shown spectrum's name
// first, then each comparison's; a scaled one says so and by how much.
std::vector<std::string> LegendTexts(const Spectrum& shown, const PlotOverlay& overlay, double high,
                                     double low);

}  // namespace tesvar
