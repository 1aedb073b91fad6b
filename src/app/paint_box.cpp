#include "app/paint_box.h"

#include <QPalette>

namespace tesvar {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
  // Qt clears the surface to this colour before every paint, as the old
  // platform did after an invalidation.
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setAutoFillBackground(true);
}

void PaintBox::paintEvent(QPaintEvent* event) {
  if (OnPaint) OnPaint(event);
}

}  // namespace tesvar
