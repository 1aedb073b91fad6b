// The window's commands for comparison spectra and the absorbance view:
// File > Compare with..., View > Absorbance, View > Scale comparisons and
// View > Comparisons. What is drawn is the plot's (plot/comparisons.h); the
// window holds the list and the choices.
#include <QAction>
#include <QMenu>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/qt_text.h"
#include "app/status_bar.h"
#include "app/view_settings.h"
#include "formats/readable_kinds.h"

namespace tesvar {

void TForm1::BuildComparisonMenus() {
  Absorbance1 = MakeAction(View1, "Absorbance1", "A&bsorbance", &TForm1::Absorbance1Click);
  Absorbance1->setCheckable(true);
  Absorbance1->setShortcut(QKeySequence("Ctrl+Shift+A"));
  ScaleComparisons1 =
      MakeAction(View1, "ScaleComparisons1", "&Scale comparisons", &TForm1::ScaleComparisons1Click);
  ScaleComparisons1->setCheckable(true);
  Comparisons1 = View1->addMenu("&Comparisons");
  Comparisons1->setObjectName("Comparisons1");
}

void TForm1::UpdateComparisonStates() {
  Absorbance1->setChecked(view_.Absorbance);
  ScaleComparisons1->setChecked(view_.ScaleComparisons);
  // Scaling compares absorbances; in %T it has no meaning.
  ScaleComparisons1->setEnabled(view_.Absorbance);
  Comparisons1->menuAction()->setEnabled(!comparisons_.Empty());
  Comparisons1->clear();
  for (int i = 0; i < comparisons_.Size(); ++i) {
    QAction* remove = Comparisons1->addAction(
        "Remove " + FromRecordText(comparisons_[i].name).replace('&', "&&"));
    remove->setObjectName(QString("RemoveComparison%1").arg(i + 1));
    // Queued: the removal rebuilds this menu, which must not delete the
    // action while it is still telling of its trigger.
    connect(
        remove, &QAction::triggered, this,
        [this, i] { RunHandler([this, i] { RemoveComparison(i); }); }, Qt::QueuedConnection);
  }
  Comparisons1->addSeparator();
  QAction* all = Comparisons1->addAction("Remove &all");
  all->setObjectName("RemoveAllComparisons");
  connect(
      all, &QAction::triggered, this, [this] { RunHandler([this] { RemoveAllComparisons(); }); },
      Qt::QueuedConnection);
}

PlotOverlay TForm1::Overlay() const {
  return {&comparisons_, LegendName(document_.CurrentPath), view_.Absorbance,
          view_.ScaleComparisons};
}

bool TForm1::AddComparisonFile(const std::string& path) {
  const LoadResult result = comparisons_.AddFile(path);
  if (!result.loaded()) {
    if (result.notices.empty()) {
      ui_.ErrorBox(FromMessage(result.refusal), FromPath(FileNamePart(path)));
    } else {
      WindowMessages messages = MessagesAbout(path);
      result.Tell(messages);
    }
    return false;
  }
  UpdateCommandStates();
  PaintBox1->Repaint();
  return true;
}

void TForm1::Comparewith1Click() {
  FileDialogSettings settings = AnySpectrumSettings();
  settings.Title = "Compare with";
  for (const QString& file : ui_.OpenFiles(settings)) AddComparisonFile(ToPath(file));
}

void TForm1::Absorbance1Click() {
  // The menu action has already toggled its check mark.
  view_.Absorbance = Absorbance1->isChecked();
  StoreAbsorbance(view_.Absorbance);
  UpdateCommandStates();
  PaintBox1->Repaint();
}

void TForm1::ScaleComparisons1Click() {
  view_.ScaleComparisons = ScaleComparisons1->isChecked();
  StoreScaleComparisons(view_.ScaleComparisons);
  PaintBox1->Repaint();
}

void TForm1::RemoveComparison(int index) {
  comparisons_.Remove(index);
  UpdateCommandStates();
  PaintBox1->Repaint();
}

void TForm1::RemoveAllComparisons() {
  comparisons_.Clear();
  UpdateCommandStates();
  PaintBox1->Repaint();
}

}  // namespace tesvar
