// StatusBar1: a status bar of three panels from the left: the point count
// (80 pixels), the cursor read-out (200) and the notes of a load or its
// progress, which takes the rest of the bar and at least 50 pixels. The
// notes run to "absorbance converted, block 1 of 5": in a panel of their
// own width they would be cut to a few letters. Each panel's tooltip holds
// its whole text, for a bar narrower than that.
#pragma once

#include <QFrame>
#include <QString>

class QLabel;

namespace tesvar {

class StatusBar : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kPanelCount = 3;
  // The widths of the panels; the last is the smallest it takes.
  static constexpr int kPanelWidths[kPanelCount] = {80, 200, 50};

  explicit StatusBar(QWidget* parent = nullptr);

  QString PanelText(int panel) const;
  void SetPanelText(int panel, const QString& text);
  QLabel* Panel(int panel) const { return panels_[panel]; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* panels_[kPanelCount];
};

}  // namespace tesvar
