// TPE1Dlg, the "Parameters" dialog: the header of the current spectrum,
// with operator and comment editable and everything else read-only. A new
// dialog is made for every showing, so it always starts from the record.
#pragma once

#include <QDialog>
#include <functional>

#include "core/spectrum.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tesvar {

class TPE1Dlg : public QDialog {
  Q_OBJECT

 public:
  // redrawPlot draws the plot at once; OK calls it when the comment (the
  // plot title) was changed.
  TPE1Dlg(Spectrum& spectrum, std::function<void()> redrawPlot, QWidget* parent = nullptr);

  QFrame* PEBevel1;
  QLabel* AcqLabel;
  QLabel* ModLabel;
  QLabel* UserLabel;
  QLabel* CommentLabel;
  QLabel* FirstXLabel;
  QLabel* LastXLabel;
  QLabel* DeltaXLabel;
  QLabel* nPointsLabel;
  QLabel* nScansLabel;
  QLineEdit* AcqEdit;
  QLineEdit* ModEdit;
  QLineEdit* UserEdit;
  QLineEdit* CommentEdit;
  QLineEdit* FirstXEdit;
  QLineEdit* LastXEdit;
  QLineEdit* DeltaXEdit;
  QLineEdit* nPointsEdit;
  QLineEdit* nScansEdit;
  // Says which character an edit refused (empty while nothing was refused).
  QLabel* RefusalLabel;
  QPushButton* CancelBtn;
  QPushButton* OKBtn;

  void FormCreate();
  // While the plot is zoomed the two range rows show the wavenumbers at the
  // frame's left and right edges, and say so, rather than the file's first
  // and last abscissa; nothing the dialog writes back depends on them.
  void ShowRange(double shownStart, double shownEnd);
  void OKBtnClick();
  void CancelBtnClick();
  void RefuseCharacter(const QString& character);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* AddRow(int top, const char* labelName, const char* caption, QLabel*& label,
                    const char* editName, int editWidth, bool editable);

  Spectrum& spectrum_;
  std::function<void()> redrawPlot_;
};

}  // namespace tesvar
