// A DrawingSurface for tests that logs every drawing operation as a line of
// text and answers text metrics from the font height alone, so that expected
// coordinates can be worked out by hand:
//   TextWidth  = length x (|height| div 2)   ("Arial Narrow" -12: 6 per char)
//   TextHeight = |height| + 2                (-12: 14)
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "plot/drawing_surface.h"

namespace tesvar::test {

class LoggingSurface : public DrawingSurface {
 public:
  void SetPenColor(Rgb c) override {
    Log("pen " + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b));
  }
  void SetPenStyle(PenStyle style) override {
    Log(style == PenStyle::kDot ? "style dot" : "style solid");
  }
  void SetPenMode(PenMode mode) override {
    Log(mode == PenMode::kNotXor ? "mode notxor" : "mode copy");
  }
  void SetFont(const std::string& name, int height) override {
    height_ = height;
    Log("font " + name + " " + std::to_string(height));
  }
  void MoveTo(int x, int y) override { Log("move " + Xy(x, y)); }
  void LineTo(int x, int y) override { Log("line " + Xy(x, y)); }
  void TextOut(int x, int y, const std::string& text) override {
    Log("text " + Xy(x, y) + " '" + text + "'");
  }
  int TextWidth(const std::string& text) override {
    return static_cast<int>(text.size()) * (std::abs(height_) / 2);
  }
  int TextHeight(const std::string&) override { return std::abs(height_) + 2; }

  std::vector<std::string> ops;

  // The ops joined by ", ", and the log cleared.
  std::string Take() {
    std::string all;
    for (const std::string& op : ops) all += (all.empty() ? "" : ", ") + op;
    ops.clear();
    return all;
  }

 private:
  static std::string Xy(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
  void Log(std::string op) { ops.push_back(std::move(op)); }
  int height_ = -12;
};

}  // namespace tesvar::test
