// The file kinds the program reads and writes, in one table: extension,
// the dialog filter (description and pattern) and the dialog titles. The
// window's file dialogs and the command-line converter both take their
// settings from here, so a filter or an extension is written down once.
//
// JCAMP-DX appears twice because its two written forms (FIX and DIFDUP)
// share the extension but have their own save titles.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tesvar {

enum class FileKind {
  kSp,               // Perkin-Elmer binary spectrum, read and written
  kJcampFix,         // JCAMP-DX, uncompressed FIX form; also the import kind
  kJcampDifDup,      // JCAMP-DX, compressed DIFDUP form (written only)
  kAsciiList,        // x/y list, read by the window, written by the converter
  kHpgl,             // HPGL plot file, written only
  kWindowsMetafile,  // placeable Windows metafile, written only
  kSvg,              // SVG drawing, written only
  kPng,              // the screen plot as a PNG image, written by the converter only
  kPdf,              // the printout as a PDF document, written by the converter only
};

struct FileKindInfo {
  FileKind kind;
  const char* extension;    // without the dot: "sp"
  const char* description;  // "Perkin-Elmer 1600 (*.sp)"
  const char* pattern;      // "*.sp"
  const char* openTitle;    // title of the open dialog, nullptr when not read
  const char* saveTitle;    // title of the save dialog, nullptr when not written
};

const FileKindInfo& InfoFor(FileKind kind);

// Every kind, in menu order.
const FileKindInfo* AllFileKinds(std::size_t& count);

// The first kind with this extension (case-insensitive, with or without the
// leading dot); for "jdx" that is the FIX form.
std::optional<FileKind> KindForExtension(std::string_view extension);

// "Perkin-Elmer 1600 (*.sp)|*.sp": description, bar, pattern.
std::string BarFilter(FileKind kind);

// The filter in the "description (pattern)" form of Qt's file dialogs. The
// descriptions already end in their pattern, so this is the description.
std::string DialogFilter(FileKind kind);

// The reader chosen for a file named on the command line.
enum class PathKind { kNone, kPesp, kJdx, kAsc };

// Upper-cases the path and looks for ".SP", ".JDX" and ".ASC" anywhere in
// it, in that order, each later match overriding an earlier one. So
// "C:\SPECTRA.SP\X.JDX" is JCAMP-DX, and "a.spx" is an SP file.
PathKind ClassifyPath(std::string_view path);

// "PESP", "JDX", "ASC" or "" (the names the kinds are known by).
const char* PathKindName(PathKind kind);

}  // namespace tesvar
