#include "cli/spectrum_report.h"

#include "core/number_text.h"
#include "formats/file_kinds.h"
#include "plot/peak_search.h"

namespace tesvar::cli {

namespace {

std::string OneLine(std::string text) {
  for (char& c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = '?';
  }
  return text;
}

}  // namespace

std::vector<std::string> InfoLines(const Spectrum& s) {
  return {
      "Date of acquisition: " + OneLine(s.AcqDate + ",  " + s.AcqTime),
      "Last modification: " + OneLine(s.ModDate + ",  " + s.ModTime),
      "Operator: " + OneLine(s.OperatorName),
      "Comment: " + OneLine(s.Comment),
      "First X (1/cm): " + FormatFixed(s.FirstX, 1, 5),
      "Last X (1/cm): " + FormatFixed(s.LastX, 1, 5),
      "Delta X (1/cm): " + FormatFixed(s.DeltaX, 2, 3),
      "Number of data points: " + FormatInt(s.NPoints),
      "Number of scans: " + FormatInt(s.NScans),
  };
}

std::vector<std::string> LoadLines(const LoadResult& result) {
  std::vector<std::string> lines;
  if (result.kind != nullptr && result.kind->loadsAsImport && result.kind->description != nullptr) {
    lines.push_back(std::string("File kind: ") + result.kind->description);
  }
  for (const std::string& note : result.notes) lines.push_back("Note: " + OneLine(note));
  return lines;
}

std::vector<int> BandIndices(const Spectrum& s) {
  std::vector<int> bands;
  int index = 0;
  for (;;) {
    int from = index;
    FindPeak(s.TransY.data(), s.LastIndex, s.XStep, index, PeakDirection::kRight);
    if (index == from) break;  // no further band
    bands.push_back(index);
  }
  return bands;
}

std::vector<std::string> PeakLines(const Spectrum& s) {
  std::vector<std::string> lines;
  for (int i : BandIndices(s)) lines.push_back(RealToText41(s.PointX(i)));
  return lines;
}

LabelList BandLabels(const Spectrum& s) {
  LabelList labels;
  for (int i : BandIndices(s)) {
    PeakLabel label;
    label.X = s.PointX(i);
    label.Y = s.TransY[i] - kBandLabelDrop;
    label.Kind = 0;
    if (!labels.Insert(label)) break;
  }
  return labels;
}

}  // namespace tesvar::cli
