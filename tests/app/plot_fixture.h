// A window showing a synthetic spectrum on a plot surface sized so that the
// frame is 520 x 200 pixels, which makes every pixel position of the plot
// tests a sum that can be worked out by hand:
//   361 points from 4000 to 400 1/cm, 10 1/cm apart. The span is
//   2000 + 2 x 1600 = 5200 "high" 1/cm, so one 1/cm takes 0.1 px above
//   2000 and 0.2 px below. Point i lies at column L + i for i <= 200
//   (2000 1/cm at L + 200) and at L + 2i - 200 below 2000 1/cm.
//   Column L + r shows 4000 - 10r for r <= 200, else 3000 - 5r.
//   Transmittance t lies at row B - Round(200 t); row B - k reads k / 200.
// L (PlotLeft, the width of "00000") and B (PlotBottom) depend on the
// axis font; the surface is made L + 523 wide (frame width 520) and
// 3h + 201 high for the text height h of "0" (frame height 200).
#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QScrollArea>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "core/number_text.h"
#include "plot/synthetic_ordinates.h"
#include "scripted_ui.h"

namespace tesvar::test {

inline constexpr int kBoxWidth = 640;

class PlotWindow {
 public:
  explicit PlotWindow(const std::vector<float>& ordinates = RisingOrdinates(),
                      QStringList extraArgs = {}) {
    dir_ = MakeTempDir();
    const std::string path = dir_ + "/synthetic.sp";
    MakeSpFile(path, kPoints, "synthetic");
    extraArgs.prepend(QString::fromStdString(path));
    w = std::make_unique<TForm1>(extraArgs, ui);
    w->show();
    (void)QTest::qWaitForWindowExposed(w.get());
    // A scroll box 640 px wide shows the whole surface until it is
    // expanded.
    w->resize(kBoxWidth + 54, w->height());
    QCoreApplication::processEvents();
    // The text height h from a paint at the current size: PlotYScale =
    // 3h + 1 - H.
    w->PaintBox1->PaintIfInvalid();
    const int h = (w->view().PlotYScale - 1 + w->PaintBox1->height()) / 3;
    left = w->view().PlotLeft;
    w->PaintBox1->resize(left + 523, 3 * h + 201);
    SetOrdinates(ordinates);
    bottom = w->view().PlotBottom;
  }

  // Replaces the ordinates and paints afresh.
  void SetOrdinates(const std::vector<float>& ordinates) {
    for (int i = 0; i < kPoints; ++i) w->spectrum().TransY[i] = ordinates[i];
    w->PaintBox1->Repaint();
  }

  // Whether the frame came out as planned (the tests' arithmetic needs it).
  bool Pinned() const {
    return w->view().PlotWidth == 520 && w->view().PlotYScale == -200 &&
           w->view().PlotLeft == left && w->ScrollBox1->width() == kBoxWidth;
  }

  int Column(int i) const { return i <= 200 ? left + i : left + 2 * i - 200; }
  int Row(double t) const { return bottom - static_cast<int>(RoundHalfEven(200 * t)); }
  int Right() const { return left + 520; }
  int Top() const { return bottom - 200; }

  // The picture as the screen would show it after pending repaints.
  QImage Picture() {
    w->PaintBox1->PaintIfInvalid();
    return w->PaintBox1->Picture().copy();
  }

  ViewState& view() { return w->view(); }
  std::vector<float> Ordinates() const {
    return std::vector<float>(w->spectrum().TransY.begin(), w->spectrum().TransY.begin() + kPoints);
  }

  ScriptedUi ui;
  std::unique_ptr<TForm1> w;
  int left = 0;
  int bottom = 0;

 private:
  std::string dir_;
};

inline bool IsBlack(const QImage& image, int x, int y) {
  return (image.pixel(x, y) & 0xffffff) == 0x000000;
}
inline bool IsWhite(const QImage& image, int x, int y) {
  return (image.pixel(x, y) & 0xffffff) == 0xffffff;
}
inline bool IsGrey(const QImage& image, int x, int y) {
  return (image.pixel(x, y) & 0xffffff) == 0x808080;
}

}  // namespace tesvar::test
