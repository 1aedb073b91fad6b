#include "app/status_bar.h"

#include <QLabel>
#include <algorithm>

namespace tesvar {

StatusBar::StatusBar(QWidget* parent) : QFrame(parent) {
  setObjectName("StatusBar1");
  for (int i = 0; i < kPanelCount; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setFrameShape(QFrame::Panel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
    panels_[i]->setTextFormat(Qt::PlainText);
    panels_[i]->setIndent(2);
  }
}

QString StatusBar::PanelText(int panel) const {
  if (panel < 0 || panel >= kPanelCount) return QString();
  return panels_[panel]->text();
}

void StatusBar::SetPanelText(int panel, const QString& text) {
  if (panel < 0 || panel >= kPanelCount) return;
  panels_[panel]->setText(text);
  panels_[panel]->setToolTip(text);
}

void StatusBar::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  int left = 0;
  for (int i = 0; i < kPanelCount; ++i) {
    const int width =
        i == kPanelCount - 1 ? std::max(kPanelWidths[i], this->width() - left) : kPanelWidths[i];
    panels_[i]->setGeometry(left, 2, width - 2, height() - 2);
    left += width;
  }
}

}  // namespace tesvar
