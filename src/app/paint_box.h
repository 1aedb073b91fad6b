// PaintBox1: the plot canvas inside ScrollBox1. It keeps a backing image of
// its own size on which everything is drawn, so that the pixels keep what is
// drawn on them: inverted lines drawn twice vanish (the cursor and the
// baseline are moved that way), and a direct call of the paint handler
// draws over what is there.
//
// The widget only shows the backing image; an exposure (another window
// moving away, scrolling) copies it to the screen without running the plot.
// Invalidate() marks the picture stale: the next platform paint clears the
// image to white and runs OnPaint on it before showing it, as the platform
// did after an invalidation. Anything drawn between the invalidation and that
// paint is drawn on the stale picture and vanishes with it. Resizing
// invalidates.
#pragma once

#include <QWidget>
#include <functional>

#include "plot/cursor_tools.h"
#include "plot/image_surface_qt.h"

namespace tesvar {

class PaintBox : public QWidget {
  Q_OBJECT

 public:
  explicit PaintBox(QWidget* parent = nullptr);

  // The plot's paint handler; draws onto Canvas().
  std::function<void()> OnPaint;
  // Mouse handlers, with positions in surface pixels. Moves are reported
  // with or without a button held.
  std::function<void(MouseButton, int x, int y)> OnMouseDown;
  std::function<void(int x, int y)> OnMouseMove;
  std::function<void(MouseButton, int x, int y)> OnMouseUp;
  // A left press with Shift held starts a zoom box rather than a tool's
  // press; its moves and release come through the handlers above.
  std::function<void(int x, int y)> OnShiftLeftDown;

  // The surface to draw on, over the current picture; the widget shows the
  // result at its next paint.
  ImageSurface& Canvas();
  // The backing image as it stands (stale while Invalid()).
  const QImage& Picture() const { return surface_.image(); }

  void Invalidate();
  bool Invalid() const { return invalid_; }
  // What the platform paint does first: when the picture is stale, clear it
  // to white and run OnPaint. Tests call it in place of the event loop.
  void PaintIfInvalid();
  // Invalidate and paint at once, and show the result now if visible.
  void Repaint();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void MatchSize();

  ImageSurface surface_;
  bool invalid_ = true;
};

}  // namespace tesvar
