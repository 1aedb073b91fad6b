// Makes the bundled sample spectrum samples/polystyrene.sp: a synthetic
// polystyrene film from 4000 to 450 1/cm at 1 1/cm, bands at the
// well-known polystyrene positions on a gently sloping, slightly scattering
// baseline. Deterministic, so the committed file can be made again:
//   build/make_samples samples/polystyrene.sp
#include <cmath>
#include <cstdio>
#include <string>

#include "core/spectrum.h"
#include "formats/sp_file.h"

namespace {

struct Band {
  double position;    // 1/cm
  double absorbance;  // peak height
  double halfWidth;   // half width at half height, 1/cm
};

// Positions, relative strengths and widths of a 25 um film, roughly.
constexpr Band kBands[] = {
    {3082, 0.28, 6},  {3060, 0.55, 7}, {3026, 0.75, 8}, {3001, 0.20, 5}, {2924, 0.95, 14},
    {2850, 0.45, 10}, {1944, 0.14, 9}, {1871, 0.12, 9}, {1801, 0.10, 9}, {1745, 0.05, 8},
    {1601, 0.48, 4},  {1583, 0.22, 4}, {1493, 0.92, 5}, {1452, 0.85, 6}, {1370, 0.08, 6},
    {1181, 0.07, 5},  {1155, 0.09, 5}, {1069, 0.28, 5}, {1028, 0.42, 5}, {965, 0.10, 5},
    {906, 0.30, 5},   {842, 0.06, 6},  {757, 1.25, 7},  {698, 1.60, 8},  {540, 0.45, 10},
};

double Absorbance(double x) {
  // Scattering and a little interference ripple make the baseline real.
  double a = 0.035 + 0.04 * (x - 450) / 3550 * (x - 450) / 3550;
  a += 0.006 * std::sin(x / 47.0);
  for (const Band& b : kBands) {
    double u = (x - b.position) / b.halfWidth;
    a += b.absorbance / (1 + u * u);
  }
  return a;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples OUTPUT.sp\n");
    return 2;
  }
  tesvar::Spectrum s;
  s.IdentLine = "PE IR       SPECTRUM    BINARY      1600        11.00";
  s.HeaderLine3 = "Tesvar sample";
  s.AcqDate = "26/12/01";
  s.AcqTime = "10:00:00.00";
  s.ModDate = "26/12/01";
  s.ModTime = "10:00:00.00";
  s.OperatorName = "Tesvar";
  s.SetComment("Polystyrene film (synthetic sample)");
  s.FirstX = 4000;
  s.LastX = 450;
  s.DeltaX = -1;
  s.NScans = 16;
  s.NPoints = 3551;
  s.LastIndex = s.NPoints - 1;
  for (int i = 0; i <= s.LastIndex; ++i) {
    double x = s.FirstX - i;
    s.TransY[i] = static_cast<float>(std::pow(10.0, -Absorbance(x)));
  }
  std::string bytes = tesvar::BuildSpBytes(s);
  std::FILE* f = std::fopen(argv[1], "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
      std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
