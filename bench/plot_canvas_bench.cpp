// What the window's plot surface costs at its widest (expanded to 12800 px)
// with a full 16000-point spectrum: a repaint on white (clearing the backing
// image, the whole plot and the cursor line) and one "fine >" step (two
// inverted cursor lines and the read-out).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/user_interface.h"

namespace {

tesvar::TForm1* MakeWindow(tesvar::UserInterface& ui) {
  auto* w = new tesvar::TForm1({}, ui);
  tesvar::Spectrum& s = w->spectrum();
  s.XStart = 4000;
  s.LastIndex = 15999;
  s.NPoints = 16000;
  s.XStep = 3600.0 / 15999;
  s.XEnd = s.PointX(15999);
  for (int i = 0; i <= s.LastIndex; ++i) {
    double x = s.PointX(i);
    s.TransY[i] = static_cast<float>(0.9 - 0.6 * std::exp(-std::pow((x - 1715) / 15, 2)) -
                                     0.3 * std::exp(-std::pow((x - 2925) / 40, 2)));
  }
  s.SetComment("benchmark spectrum");
  s.DataLoaded = s.YConverted = true;
  w->SetPaintBoxWidth(12800);
  // In the part the unscrolled box shows, so that the steps draw.
  w->view().CursorIndex = 100;
  return w;
}

void BM_RepaintAt12800(benchmark::State& state) {
  tesvar::QtUserInterface ui;
  tesvar::TForm1* w = MakeWindow(ui);
  for (auto _ : state) {
    w->PaintBox1->Repaint();
    benchmark::DoNotOptimize(w->PaintBox1->Picture().constBits());
  }
  delete w;
}
BENCHMARK(BM_RepaintAt12800)->Unit(benchmark::kMillisecond);

void BM_FineStepAt12800(benchmark::State& state) {
  tesvar::QtUserInterface ui;
  tesvar::TForm1* w = MakeWindow(ui);
  w->PaintBox1->Repaint();
  bool right = true;
  for (auto _ : state) {
    right ? w->RightBtnClick() : w->LeftBtnClick();
    right = !right;
  }
  delete w;
}
BENCHMARK(BM_FineStepAt12800)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
