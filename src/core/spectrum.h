// A spectrum held in memory: the header of a Perkin-Elmer 1600/2000 FT-IR
// file, the ordinate arrays, the working abscissa values and the state
// flags. Every reader fills a Spectrum, every writer and renderer reads it.
//
// Readers never fill a record in use: the load entry gives them a fresh
// record (FreshFrom) and replaces the caller's record only when the whole
// load succeeded, so a failed load leaves the spectrum on screen, a
// comparison or a library member untouched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tesvar {

// Capacity of the ordinate arrays: at most 16000 points, one spare slot.
inline constexpr int kMaxPoints = 16000;
inline constexpr int kArraySlots = 16001;

// Text fields hold at most this many bytes; longer input is cut.
inline constexpr std::size_t kMaxText = 255;
inline constexpr std::size_t kMaxTitle = 50;

// Raw ordinate integers per unit for the two ordinate kinds of SP files.
inline constexpr double kPercentYScale = 41943.04;      // 2^22 / 100, %T files
inline constexpr double kAbsorbanceYScale = 8388608.0;  // 2^23, absorbance files
// A transmittance fraction of 1.0 is stored as this raw integer (%T scale x 100).
inline constexpr double kRawPerFraction = 4194304.0;

// The identification line that imports store in IdentLine (65 characters).
inline constexpr const char* kImportIdentLine =
    "PE IR                   SPECTRUM    BINARY      1600        11.00";

struct Spectrum {
  Spectrum();

  // A record for a new load: empty header and zeroed arrays, carrying over
  // only the instrument Model, which imports keep (their files name no SP
  // instrument).
  static Spectrum FreshFrom(const Spectrum& previous);

  // Makes this record fresh again for a second reading of the same file:
  // every field as FreshFrom leaves it, the arrays zeroed, Model kept.
  void StartAfresh();

  // Puts a record that loaded in full in the place of the current one. The
  // arrays of the record it replaces are kept for the next FreshFrom on this
  // thread: loads follow one another, and freeing 128 KB of arrays at each
  // load and allocating them again at the next made the heap shrink and grow
  // each time, with the new pages faulted in afresh.
  //
  // The record put in place is complete for the plot, which only reads it:
  // its title is the start of its comment, and a record that came with raw
  // ordinates only (YConverted false) gets TransY[i] = RawY[i] / (YScale x
  // 100) here, once. The readers convert as they read, so this is the rule
  // for any record that does not.
  static void Replace(Spectrum& current, Spectrum&& loaded);

  // Keeps the arrays of a record no longer needed (a refused load's) for
  // the next FreshFrom on this thread, as Replace does with the record it
  // replaces: a folder of refused files costs no allocation each.
  static void Recycle(Spectrum&& unused);

  std::string IdentLine;
  std::string HeaderLine3;
  std::string AcqDate;
  std::string AcqTime;
  std::string ModDate;
  std::string ModTime;
  std::string OperatorName;
  std::string Comment;
  std::string ShortComment;  // first 50 bytes of Comment, the plot title

  double LastX = 0;
  int32_t NScans = 0;
  double FirstX = 0;
  double DeltaX = 0;
  int32_t NPoints = 0;
  uint8_t Model = 0;  // 0 none yet, 1 = 1600, 2 = 2000
  double YScale = 0;

  double XStart = 0;  // abscissa of index 0 (the highest wavenumber)
  double XEnd = 0;    // abscissa of LastIndex
  double XStep = 0;   // positive for descending abscissae
  int32_t LastIndex = 0;

  std::vector<int32_t> RawY;  // kArraySlots slots
  std::vector<float> TransY;  // kArraySlots slots, 1.0 = 100 %T

  bool DataLoaded = false;
  bool YConverted = false;

  // Abscissa of point i.
  double PointX(int i) const { return XStart - XStep * i; }

  // Sets Comment (cut to 255 bytes) and recomputes ShortComment.
  void SetComment(const std::string& text);
  void UpdateShortComment();

 private:
  struct NoArrays {};
  explicit Spectrum(NoArrays) {}
};

// Cuts text to at most max bytes.
std::string CutText(const std::string& text, std::size_t max = kMaxText);

// The file-name part of a path (after the last '/' or '\').
std::string FileNamePart(const std::string& path);

// The path with its extension (from the last '.' after the last directory
// separator) replaced by ext, which includes the dot; added when there is none.
std::string ChangeExtension(const std::string& path, const std::string& ext);

}  // namespace tesvar
