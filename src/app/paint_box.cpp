#include "app/paint_box.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace tesvar {

namespace {

MouseButton FromQt(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return MouseButton::kLeft;
    case Qt::RightButton:
      return MouseButton::kRight;
    case Qt::MiddleButton:
      return MouseButton::kMiddle;
    default:
      return MouseButton::kOther;
  }
}

}  // namespace

PaintBox::PaintBox(QWidget* parent) : QWidget(parent), surface_(0, 0) {
  // The backing image covers every pixel; Qt need not clear anything first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void PaintBox::MatchSize() {
  // A hidden widget is resized without a resize event; the image follows
  // the size wherever it is next used.
  if (surface_.width() == width() && surface_.height() == height()) return;
  surface_.Resize(width(), height());
  invalid_ = true;
}

ImageSurface& PaintBox::Canvas() {
  MatchSize();
  // Whoever asks for the canvas draws on it.
  update();
  return surface_;
}

void PaintBox::Invalidate() {
  invalid_ = true;
  update();
}

void PaintBox::PaintIfInvalid() {
  MatchSize();
  if (!invalid_) return;
  invalid_ = false;
  surface_.Clear(kWhite);
  if (OnPaint) OnPaint();
}

void PaintBox::Repaint() {
  Invalidate();
  // Shown at once when visible; a hidden surface is painted all the same so
  // that its picture is current.
  if (isVisible()) repaint();
  PaintIfInvalid();
}

void PaintBox::paintEvent(QPaintEvent* event) {
  PaintIfInvalid();
  QPainter painter(this);
  const QRect area = event->rect();
  painter.drawImage(area, surface_.image(), area);
}

void PaintBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  MatchSize();
  Invalidate();
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier) &&
      OnShiftLeftDown) {
    OnShiftLeftDown(at.x(), at.y());
    return;
  }
  if (OnMouseDown) OnMouseDown(FromQt(event->button()), at.x(), at.y());
}

void PaintBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (OnMouseMove) OnMouseMove(at.x(), at.y());
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (OnMouseUp) OnMouseUp(FromQt(event->button()), at.x(), at.y());
}

}  // namespace tesvar
