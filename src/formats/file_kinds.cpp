#include "formats/file_kinds.h"

#include <cctype>

namespace tesvar {

namespace {

constexpr FileKindInfo kKinds[] = {
    {FileKind::kSp, "sp", "Perkin-Elmer 1600 (*.sp)", "*.sp", "Load spectrum",
     "Save spectrum as..."},
    {FileKind::kJcampFix, "jdx", "JCAMP-DX (*.jdx)", "*.jdx", "Import spectrum",
     "Save JCAMP-DX spectrum as..."},
    {FileKind::kJcampDifDup, "jdx", "JCAMP-DX (*.jdx)", "*.jdx", nullptr,
     "Save compressed JCAMP-DX spectrum as..."},
    {FileKind::kAsciiList, "asc", "ASCII list (*.asc)", "*.asc", "Import spectrum", nullptr},
    {FileKind::kHpgl, "plt", "HPGL plot file (*.plt)", "*.plt", nullptr,
     "Save HPGL plot file as..."},
    {FileKind::kWindowsMetafile, "wmf", "Windows metafile (*.wmf)", "*.wmf", nullptr,
     "Save Windows metafile as..."},
    {FileKind::kSvg, "svg", "Scalable vector graphics file (*.svg)", "*.svg", nullptr,
     "Save SVG file as..."},
    {FileKind::kPng, "png", "PNG image (*.png)", "*.png", nullptr, nullptr},
    {FileKind::kPdf, "pdf", "PDF document (*.pdf)", "*.pdf", nullptr, nullptr},
};

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

const FileKindInfo& InfoFor(FileKind kind) {
  for (const FileKindInfo& info : kKinds) {
    if (info.kind == kind) return info;
  }
  return kKinds[0];  // unreachable: every enumerator has a row
}

const FileKindInfo* AllFileKinds(std::size_t& count) {
  count = std::size(kKinds);
  return kKinds;
}

std::optional<FileKind> KindForExtension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  std::string wanted = Upper(extension);
  for (const FileKindInfo& info : kKinds) {
    if (Upper(info.extension) == wanted) return info.kind;
  }
  return std::nullopt;
}

std::string BarFilter(FileKind kind) {
  const FileKindInfo& info = InfoFor(kind);
  return std::string(info.description) + "|" + info.pattern;
}

std::string DialogFilter(FileKind kind) {
  const FileKindInfo& info = InfoFor(kind);
  std::string description = info.description;
  std::string bracketed = std::string("(") + info.pattern + ")";
  if (description.size() >= bracketed.size() &&
      description.compare(description.size() - bracketed.size(), bracketed.size(), bracketed) ==
          0) {
    return description;
  }
  return description + " " + bracketed;
}

PathKind ClassifyPath(std::string_view path) {
  std::string upper = Upper(path);
  PathKind kind = PathKind::kNone;
  if (upper.find(".SP") != std::string::npos) kind = PathKind::kPesp;
  if (upper.find(".JDX") != std::string::npos) kind = PathKind::kJdx;
  if (upper.find(".ASC") != std::string::npos) kind = PathKind::kAsc;
  return kind;
}

const char* PathKindName(PathKind kind) {
  switch (kind) {
    case PathKind::kPesp:
      return "PESP";
    case PathKind::kJdx:
      return "JDX";
    case PathKind::kAsc:
      return "ASC";
    case PathKind::kNone:
      break;
  }
  return "";
}

}  // namespace tesvar
