#include "plot/edit_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/spectrum.h"

namespace tesvar {
namespace {

// A record of three points and its labels, edited as the plot tools do:
// each edit is recorded first, then made.
struct Shown {
  Spectrum spectrum;
  LabelList labels;
  EditHistory history;

  Shown() {
    spectrum.NPoints = 3;
    spectrum.LastIndex = 2;
    for (int i = 0; i < 3; ++i) spectrum.TransY[i] = 0.5f + 0.1f * static_cast<float>(i);
  }
  void Baseline(float shift) {
    history.Record(EditKind::kBaseline, spectrum, labels);
    for (int i = 0; i < 3; ++i) spectrum.TransY[i] += shift;
  }
  void Label(double x) {
    history.Record(EditKind::kLabelPlaced, spectrum, labels);
    labels.Insert({x, 0.5, 0});
  }
  void RemoveFirstLabel() {
    history.Record(EditKind::kLabelRemoved, spectrum, labels);
    labels.RemoveAt(0);
  }
  // Runs "b" (a correction of +0.01), "l" (a label), "x" (the first label
  // removed), "u" (undo), "r" (redo), "s" (saved), "h" (header edited),
  // "c" (a load: history cleared).
  void Run(const std::string& steps) {
    float shift = 0.01f;
    double x = 1000;
    for (char step : steps) {
      if (step == 'b') Baseline(shift *= 2);
      if (step == 'l') Label(x += 100);
      if (step == 'x') RemoveFirstLabel();
      if (step == 'u') history.Undo(spectrum, labels);
      if (step == 'r') history.Redo(spectrum, labels);
      if (step == 's') history.MarkSaved();
      if (step == 'h') history.ForgetSaved();
      if (step == 'c') history.Clear();
    }
  }
  std::vector<float> Ordinates() const {
    return {spectrum.TransY[0], spectrum.TransY[1], spectrum.TransY[2]};
  }
  std::string LabelText() const { return labels.PeakListText(); }
};

// Each sequence gives the same record, labels and states as the sequence
// made without the steps undone and redone (the "equivalent" run).
TEST(EditHistory, SequencesEndWhereTheirEquivalentDoes) {
  struct Case {
    const char* steps;
    const char* equivalent;
    bool canUndo, canRedo, changedSinceSave;
  };
  const Case cases[] = {
      {"", "", false, false, false},
      {"b", "b", true, false, true},
      {"bu", "", false, true, false},
      {"bur", "b", true, false, true},
      {"bbu", "b", true, true, true},
      {"bbuu", "", false, true, false},
      {"bbuurr", "bb", true, false, true},
      {"l", "l", true, false, false},
      {"llu", "l", true, true, false},
      {"lbuu", "", false, true, false},
      {"lx", "lx", true, false, false},
      {"lxu", "l", true, true, false},
      {"llxuu", "l", true, true, false},
      // A new edit after undoing drops what could have been redone.
      {"bbul", "bl", true, false, true},
      // The saved state: corrections between it and what is shown count.
      {"bs", "b", true, false, false},
      {"bsb", "bb", true, false, true},
      {"bsbu", "b", true, true, false},
      {"bsu", "", false, true, true},
      {"bsur", "b", true, false, false},
      {"bslu", "b", true, true, false},
      // Saved, undone past it, then edited anew: the saved state is gone.
      {"bsul", "l", true, false, true},
      // A header edit is not undone: the file's state cannot come back.
      {"hbu", "", false, true, true},
      {"bhu", "", false, true, true},
      // A load starts afresh.
      {"bbc", "bb", false, false, false},
      {"bbuc", "b", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    Shown shown, equivalent;
    shown.Run(c.steps);
    // The equivalent's values, without its history.
    float shift = 0.01f;
    double x = 1000;
    for (char step : std::string(c.equivalent)) {
      if (step == 'b') {
        shift *= 2;
        for (int i = 0; i < 3; ++i) equivalent.spectrum.TransY[i] += shift;
      }
      if (step == 'l') equivalent.labels.Insert({x += 100, 0.5, 0});
      if (step == 'x') equivalent.labels.RemoveAt(0);
    }
    EXPECT_EQ(shown.history.CanUndo(), c.canUndo);
    EXPECT_EQ(shown.history.CanRedo(), c.canRedo);
    EXPECT_EQ(shown.history.SpectrumChangedSinceSave(), c.changedSinceSave);
    EXPECT_EQ(shown.Ordinates(), equivalent.Ordinates());
    EXPECT_EQ(shown.LabelText(), equivalent.LabelText());
  }
}

// Undo gives back the very ordinates of before (not a correction of the
// opposite sign, which rounding would leave a bit off), and redo those of
// after; the points beyond the spectrum are not touched.
TEST(EditHistory, UndoRestoresTheExactOrdinates) {
  Shown shown;
  shown.spectrum.TransY[3] = 7.0f;
  const std::vector<float> before = shown.Ordinates();
  shown.Baseline(0.1f);
  shown.Baseline(-0.3f);
  const std::vector<float> after = shown.Ordinates();
  shown.Run("uu");
  EXPECT_EQ(shown.Ordinates(), before);
  EXPECT_EQ(shown.spectrum.TransY[3], 7.0f);
  shown.Run("rr");
  EXPECT_EQ(shown.Ordinates(), after);
  EXPECT_EQ(shown.spectrum.TransY.size(), static_cast<std::size_t>(kArraySlots));
}

// Label edits leave the ordinates alone, and corrections the labels.
TEST(EditHistory, EachEditTakesBackOnlyWhatItChanged) {
  Shown shown;
  shown.Label(1500);
  shown.Baseline(0.2f);
  const std::vector<float> corrected = shown.Ordinates();
  shown.Label(1700);
  shown.Run("u");
  EXPECT_EQ(shown.Ordinates(), corrected);
  EXPECT_EQ(shown.LabelText(), "1500");
  shown.Run("u");
  EXPECT_EQ(shown.LabelText(), "1500");
  EXPECT_NE(shown.Ordinates(), corrected);
}

}  // namespace
}  // namespace tesvar
