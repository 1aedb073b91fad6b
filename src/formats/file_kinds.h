// The file kinds the program reads and writes, in one table (in the spirit
// of a format list: one row a kind). A row holds the extension, the dialog
// filter (description and pattern) and titles, and for a kind that is read
// the reader itself: the marks that pick it by name, an optional content
// signature over the file's first bytes, the reader function, whether a
// load counts as an import, and how an unreadable file is reported. The
// window's file dialogs, its command line, the command-line converter and
// its read-back check all take their settings and readers from here, so a
// kind is added by one row and its reader.
//
// JCAMP-DX appears twice because its two written forms (FIX and DIFDUP)
// share the extension but have their own save titles; both are read by the
// JCAMP-DX reader.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/load_result.h"

namespace tesvar {

enum class FileKind {
  kSp,               // Perkin-Elmer binary spectrum, read and written
  kJcampFix,         // JCAMP-DX, uncompressed FIX form; also the import kind
  kJcampDifDup,      // JCAMP-DX, compressed DIFDUP form (written only)
  kAsciiList,        // x/y list, read by the window, written by the converter
  kDelimitedText,    // x/y columns of spreadsheets and instruments, read only
  kPeAscii,          // PerkinElmer ASCII export, read only
  kAspText,          // Agilent / GRAMS ASCII with header, read only
  kPeDataSet,        // PerkinElmer binary data set ("PEPE" .sp), read only
  kOmnicSpa,         // Thermo OMNIC binary spectrum, read only
  kSpc,              // Galactic SPC, binary, read only
  kOpus,             // Bruker OPUS, binary, read only
  kHpgl,             // HPGL plot file, written only
  kWindowsMetafile,  // placeable Windows metafile, written only
  kSvg,              // SVG drawing, written only
  kPng,              // the screen plot as a PNG image, written by the converter only
  kPdf,              // the printout as a PDF document, written by the converter only
};

// A reader: takes the whole file's bytes and fills `fresh`, a record the
// load entry made for this load (empty header, zeroed arrays, the instrument
// Model of the record it will replace). Returns whether the file is a
// spectrum it read in full; only then is the record used. `path` only gives
// the file's time stamp where the format has no date of its own. What the
// reader has to say goes to `messages`; the load entry records it into the
// LoadResult. A reader never sees the caller's record: the load entry alone
// makes the fresh record, checks the point count of what came back, and puts
// it in the caller's place.
using SpectrumReader = bool (*)(const std::string& bytes, const std::string& path, Spectrum& fresh,
                                Messages& messages);

// Whether the first bytes of a file are unmistakably of one kind.
using ContentSignature = bool (*)(std::string_view firstBytes);

struct FileKindInfo {
  FileKind kind;
  const char* extension;            // without the dot: "sp"
  const char* description;          // "Perkin-Elmer 1600 (*.sp)"
  const char* pattern;              // "*.sp"
  const char* openTitle = nullptr;  // title of the open dialog, nullptr when not read
  const char* saveTitle = nullptr;  // title of the save dialog, nullptr when not written
  // The open dialog's filter where the kind is read under more names than
  // it is written with; nullptr: the description.
  const char* openDescription = nullptr;

  // Reading (all empty for kinds that are only written).
  const char* readerName = nullptr;  // "PESP", "JDX", "ASC": the name the kind is known by
  // Texts that pick this kind when they stand anywhere in the upper-cased
  // path (".SP" also in "C:\SPECTRA.SP\X.JDX"); "" ends the list.
  std::array<std::string_view, 3> nameMarks = {};
  // File name extensions (without the dot, any case) that pick this kind
  // when the name's last extension is one of them; "" ends the list. They
  // are looked at before the name marks.
  std::array<std::string_view, 8> extensions = {};
  ContentSignature signature = nullptr;  // nullptr: chosen by name only
  SpectrumReader read = nullptr;
  bool loadsAsImport = false;  // a load of it is an import: Save writes a new SP file
  // The error box for a file that cannot be opened or read; nullptr: the
  // I/O failure goes to the generic error report.
  const char* readFailureText = nullptr;
  // Read only: no writer, so never a kind to write (KindForExtension and
  // the converter's outputs pass it by).
  bool readOnly = false;
};

const FileKindInfo& InfoFor(FileKind kind);

// Every kind, in menu order.
const FileKindInfo* AllFileKinds(std::size_t& count);

// The first kind written with this extension (case-insensitive, with or
// without the leading dot); for "jdx" that is the FIX form. Read-only kinds
// are passed by.
std::optional<FileKind> KindForExtension(std::string_view extension);

// "Perkin-Elmer 1600 (*.sp)|*.sp": description, bar, pattern.
std::string BarFilter(FileKind kind);

// The filter in the "description (pattern)" form of Qt's file dialogs. The
// descriptions already end in their pattern, so this is the description.
std::string DialogFilter(FileKind kind);

// The filter of the open dialog for the kind: its openDescription, else
// DialogFilter.
std::string OpenDialogFilter(const FileKindInfo& info);

// The reader for a file by its name. A row that lists the file name's last
// extension takes it ("x.sp.dx" with "dx"). Otherwise the rows' name marks
// are looked for in the upper-cased path in table order, each later match
// overriding an earlier one: so "C:\SPECTRA.SP\X.JDX" is JCAMP-DX, and
// "a.spx" is an SP file. nullptr when neither picks a row.
const FileKindInfo* ClassifyPath(std::string_view path);

// The reader for a file: a row whose signature takes its first bytes,
// else the one its name asks for (ClassifyPath).
const FileKindInfo* ClassifyFile(std::string_view path, std::string_view firstBytes);

// "PESP", "JDX", "ASC" or "" (the names the readers are known by).
const char* PathKindName(const FileKindInfo* kind);

// The one load entry: reads the file and hands it to the kind's reader.
// The result says whether the spectrum loaded and records everything the
// reader said; an I/O failure of reading the file becomes the refusal, as
// the kind's error box or as the generic error report text. `target` (the
// shown spectrum, a comparison, a library member: any record) is replaced
// only by a spectrum that loaded in full, and then has DataLoaded set. A
// PerkinElmer data set opened as an SP file (they share the name) goes to
// the data-set reader; the result's kind says which reader read it.
LoadResult LoadSpectrumFile(const std::string& path, const FileKindInfo& kind, Spectrum& target);

// The same with the reader chosen from the file (ClassifyFile); the
// outcome is kNoReader, with nothing read, when no reader takes it.
LoadResult LoadSpectrumFile(const std::string& path, Spectrum& target);

// The same, from bytes already at hand (tests, tools).
LoadResult LoadSpectrumText(const std::string& bytes, const std::string& path,
                            const FileKindInfo& kind, Spectrum& target);

// The load entry with one kind's reader: an SP file (a file that cannot be
// opened or read is refused with the text of the generic error report,
// "File not found."), a JCAMP-DX file and an ASCII list (refused with the
// error box "File read error!").
LoadResult ReadSpFile(const std::string& path, Spectrum& target);
LoadResult ReadJcampFile(const std::string& path, Spectrum& target);
LoadResult ReadAsciiList(const std::string& path, Spectrum& target);

}  // namespace tesvar
