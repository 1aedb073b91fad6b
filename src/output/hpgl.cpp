#include "output/hpgl.h"

#include <array>
#include <cstdint>

#include "core/number_text.h"
#include "core/save_result.h"
#include "output/text_plot.h"

namespace tesvar {

namespace {

constexpr double kFrameLeft = 1000;
constexpr double kFrameWidth = 9000;
constexpr double kFrameBottom = 1000;
constexpr double kFrameHeight = 6000;
constexpr int kCommandsPerLine = 5;

constexpr char kEtx = '\x03';
constexpr char kShiftOut = '\x0e';
constexpr char kShiftIn = '\x0f';

// Code page 437 byte -> its position in character set 7 (HP Roman-8 code
// minus 128). 0 marks bytes that are sent unchanged.
constexpr std::array<uint8_t, 256> MakeAlternateSetTable() {
  std::array<uint8_t, 256> t{};
  const uint8_t pairs[][2] = {
      {0x80, 0x34}, {0x81, 0x4F}, {0x82, 0x45}, {0x83, 0x40}, {0x84, 0x4C}, {0x85, 0x48},
      {0x86, 0x54}, {0x87, 0x35}, {0x88, 0x41}, {0x89, 0x4D}, {0x8A, 0x49}, {0x8B, 0x5D},
      {0x8C, 0x51}, {0x8D, 0x59}, {0x8E, 0x58}, {0x8F, 0x50}, {0x90, 0x5C}, {0x91, 0x57},
      {0x92, 0x53}, {0x93, 0x42}, {0x94, 0x4E}, {0x95, 0x4A}, {0x96, 0x43}, {0x97, 0x4B},
      {0x98, 0x6F}, {0x99, 0x5A}, {0x9A, 0x5B}, {0x9B, 0x3F}, {0x9C, 0x3B}, {0x9D, 0x3C},
      {0x9F, 0x3E}, {0xA0, 0x44}, {0xA1, 0x55}, {0xA2, 0x46}, {0xA3, 0x47}, {0xA4, 0x37},
      {0xA5, 0x36}, {0xA6, 0x79}, {0xA7, 0x7A}, {0xA8, 0x39}, {0xAB, 0x78}, {0xAC, 0x77},
      {0xAD, 0x38}, {0xF1, 0x7E}, {0xF8, 0x33}, {0x15, 0x3D}, {0xAE, 0x7B}, {0xAF, 0x7D},
  };
  for (const auto& p : pairs) t[p[0]] = p[1];
  return t;
}

constexpr std::array<uint8_t, 256> kAlternateSet = MakeAlternateSetTable();

// A plotter coordinate as written: rounded, halves away from zero.
std::string Coord(double v) { return FormatInt(RoundHalfAway(v)); }

std::string Point(double x, double y) { return Coord(x) + "," + Coord(y); }

class HpglPlot : TextPlot {
 public:
  HpglPlot(const Spectrum& s, bool gridOn, const LabelList& labels, const PlotOverlay& overlay)
      : TextPlot(s, gridOn, labels, kFrameWidth, overlay) {}

  std::string Build() {
    out_.reserve(static_cast<std::size_t>(s_.LastIndex) * 7 + 4096);
    out_ += "IN;CS0;CA7;TL0,1.0;VS10;";
    if (gridOn_) Grid();
    const bool comparisons = overlay_.HasComparisons();
    if (comparisons) {
      for (int i = 0; i < overlay_.comparisons->Size(); ++i) ComparisonCurve(i);
      // Everything else with pen 1, as a file without comparisons leaves it
      // to the plotter's pen.
      out_ += "SP1;";
    }
    Curve();
    FrameAndOrdinate();
    Abscissa();
    if (!s_.ShortComment.empty()) Title();
    for (const PeakLabel& label : labels_) Label(label);
    if (comparisons) Legend();
    out_ += "PU;";
    return std::move(out_);
  }

 private:
  double X(double w) const { return kFrameLeft + axis_.Offset(w); }
  // The height of a trace point: the transmittance on the %T axis.
  double TraceT(double t) const { return absorbance_ ? TraceHeight(t) : t; }
  static double Y(double t) {
    if (t > 1) t = 1;
    if (t < 0) t = 0;
    return kFrameBottom + kFrameHeight * t;
  }

  // The height of the absorbance axis's tick i.
  double TickY(int i) const {
    const double v = ordinate_.TickValue(i);
    return kFrameBottom + kFrameHeight * (v - ordinate_.low) / (ordinate_.high - ordinate_.low);
  }

  void Grid() {
    Line("LT 1;");
    if (absorbance_) {
      for (int i = 1; i + 1 < ordinate_.TickCount(); ++i) {
        Line("PU 1000," + Coord(TickY(i)) + ";");
        Line("PD 10000," + Coord(TickY(i)) + ";");
      }
    } else {
      for (int k = 1; k <= 9; ++k) {
        std::string y = Coord(kFrameBottom + 600 * k);
        Line("PU 1000," + y + ";");
        Line("PD 10000," + y + ";");
      }
    }
    for (const AxisTick& tick : ticks_) {
      if (!tick.grid) continue;
      std::string x = Coord(X(tick.wavenumber));
      Line("PU " + x + ",1000;");
      Line("PD " + x + ",7000;");
    }
    Line("LT;");
  }

  void Curve() {
    // Point 0 goes to the frame edge itself, not through the axis.
    Line("PU 1000," + Coord(Y(TraceT(s_.TransY[0]))) + ";");
    int counted = 0;
    for (int i = 1; i <= s_.LastIndex; ++i) {
      bool last = i == s_.LastIndex;
      if (i % 2 != 0 && !last) continue;
      out_ +=
          "PD " + Point(X(s_.PointX(i)), Y(TraceT(s_.TransY[static_cast<std::size_t>(i)]))) + ";";
      ++counted;
      if (counted % kCommandsPerLine == 0 || last) out_ += kNewline;
    }
  }

  // Comparison `index` with pen 2 + index, every second point as the
  // shown curve is drawn.
  void ComparisonCurve(int index) {
    const std::vector<std::pair<double, double>> points = ComparisonPoints(index);
    if (points.empty()) return;
    out_ += "SP" + FormatInt(2 + index) + ";";
    Line("PU " + Point(X(points[0].first), Y(points[0].second)) + ";");
    int counted = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
      const bool last = i + 1 == points.size();
      if (i % 2 != 0 && !last) continue;
      out_ += "PD " + Point(X(points[i].first), Y(points[i].second)) + ";";
      ++counted;
      if (counted % kCommandsPerLine == 0 || last) out_ += kNewline;
    }
  }

  // Top right inside the frame: each name beside a short line of its pen,
  // the shown spectrum (pen 1) first. Names are sent in plain ASCII: a
  // plotter's standard set has nothing else, and a control byte could end
  // the label early.
  void Legend() {
    const std::vector<std::string> texts = TextPlot::Legend();
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const int64_t y = 6750 - 250 * static_cast<int64_t>(i);
      std::string name;
      for (char c : texts[i]) name += c >= 0x20 && c < 0x7F ? c : '?';
      const double x = 9450 - static_cast<double>(name.size()) * 112.5;
      Line("SP" + FormatInt(1 + static_cast<int64_t>(i)) + ";PU 9550," + FormatInt(y) +
           ";PD 9900," + FormatInt(y) + ";");
      Line("SP1;PU " + Point(x, static_cast<double>(y - 60)) + ";LB" + name + kEtx);
    }
  }

  void FrameAndOrdinate() {
    Line("PU 1000,1000;PD 1000,7000;PD 10000,7000;PD 10000,1000;PD 1000,1000;");
    if (absorbance_) {
      AbsorbanceOrdinate();
      return;
    }
    for (int j = 0; j <= 10; ++j) {
      std::string y = Coord(kFrameBottom + kFrameHeight * 0.1 * j);
      Line("PU 1000," + y + ";PD 950," + y + ";PD 1000," + y + ";");
    }
    for (int j = 0; j <= 10; j += 2) {
      Line("PU 520," + Coord(kFrameBottom + 600 * j - 60) + ";LB" + PadLeft(FormatInt(10 * j), 3) +
           kEtx);
    }
    out_ += "PU 600,6670;LB%T";
    out_ += kEtx;
  }

  void AbsorbanceOrdinate() {
    for (int i = 0; i < ordinate_.TickCount(); ++i) {
      std::string y = Coord(TickY(i));
      Line("PU 1000," + y + ";PD 950," + y + ";PD 1000," + y + ";");
    }
    for (int i = 0; i < ordinate_.TickCount(); ++i) {
      const std::string text = ordinate_.TickText(i);
      if (text.empty()) continue;
      // Right-aligned at 880 on cells of 90 units, as the %T numbers stand.
      const double x = 880 - static_cast<double>(text.size()) * 90;
      Line("PU " + Point(x, TickY(i) - 60) + ";LB" + text + kEtx);
    }
    out_ += "PU 600,6670;LBA";
    out_ += kEtx;
  }

  void Abscissa() {
    for (const AxisTick& tick : ticks_) {
      std::string x = Coord(X(tick.wavenumber));
      const char* depth = tick.major ? "920" : "960";
      Line("PU " + x + ",1000;PD " + x + "," + depth + ";PD " + x + ",1000;");
    }
    for (const AxisTick& tick : ticks_) {
      int64_t x = RoundHalfAway(X(tick.wavenumber));
      if (tick.unit) {
        Line("PU " + FormatInt(x) + ",520;LBcm" + kEtx + "CP 0,0.3;LB-1" + kEtx);
      }
      if (tick.major) {
        Line("PU " + FormatInt(x) + ",720;");
        Line("PU " + FormatInt(x - (tick.wavenumber >= 1000 ? 230 : 170)) + ",720;");
        Line("LB" + tick.text + kEtx);
      }
    }
  }

  void Title() {
    const std::string& title = s_.ShortComment;
    // Centred on a cell of 112.5 units a byte; Round, ties to even.
    int64_t x = RoundHalfEven(kFrameWidth * 0.5 - static_cast<double>(title.size()) * 56.25) +
                static_cast<int64_t>(kFrameLeft);
    out_ += "PU" + FormatInt(x) + ",7200;SS;LB";
    bool previousTranslated = false;
    for (char c : title) {
      uint8_t alt = kAlternateSet[static_cast<uint8_t>(c)];
      if (alt != 0) {
        if (!previousTranslated) out_ += kShiftOut;
        out_ += static_cast<char>(alt);
      } else {
        if (previousTranslated) out_ += kShiftIn;
        out_ += c;
      }
      previousTranslated = alt != 0;
    }
    out_ += kEtx;
  }

  void Label(const PeakLabel& label) {
    std::string text = RealToText41(label.X);
    double n = static_cast<double>(text.size());
    double px = X(label.X);
    // Not clamped, unlike the curve.
    double py = kFrameBottom + kFrameHeight * (absorbance_ ? Height(label.Y) : label.Y);
    const uint8_t kind = DrawnKind(label.Kind);
    double sy = StemUp(kind) ? py + 50 : py - 50;
    bool left = TextLeft(kind);
    double lx = left ? px - 150 : px + 150;
    double tx = left ? px - 150 - (n + 1) * 90 : px + 150;
    double ty = py - 60;
    Line("PU " + Point(px, sy) + ";PD " + Point(px, py) + ";PD " + Point(lx, py) + ";PU " +
         Point(tx, ty) + ";LB" + (left ? "" : " ") + text + kEtx);
  }
};

}  // namespace

std::string BuildHpgl(const Spectrum& spectrum, bool gridOn, const LabelList& labels,
                      const PlotOverlay& overlay) {
  return HpglPlot(spectrum, gridOn, labels, overlay).Build();
}

SaveResult WriteHpglFile(const std::string& path, const Spectrum& spectrum, bool gridOn,
                         const LabelList& labels, const PlotOverlay& overlay) {
  return SaveFile(path, BuildHpgl(spectrum, gridOn, labels, overlay));
}

}  // namespace tesvar
