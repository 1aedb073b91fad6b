// PaintBox1: the white drawing surface inside ScrollBox1. The window sets
// its size (expand, compress, resize); the plot is painted onto it.
//
// Kept apart from the window so that the plot canvas can take its place
// without touching the window code: the window only creates it, sizes it,
// asks it to repaint (update() to invalidate, repaint() to draw at once)
// and reads its size.
#pragma once

#include <QWidget>
#include <functional>

namespace tesvar {

class PaintBox : public QWidget {
  Q_OBJECT

 public:
  explicit PaintBox(QWidget* parent = nullptr);

  // Called on every paint, after Qt has cleared the surface to white; the
  // plot draws here. Unset, the surface stays white.
  std::function<void(QPaintEvent*)> OnPaint;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tesvar
