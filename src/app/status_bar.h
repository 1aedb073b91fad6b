// StatusBar1: a status bar of three fixed panels, 80, 200 and 50 pixels
// wide from the left (point count, cursor read-out, progress text).
#pragma once

#include <QFrame>
#include <QString>

class QLabel;

namespace tesvar {

class StatusBar : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kPanelCount = 3;
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
