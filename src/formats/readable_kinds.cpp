#include "formats/readable_kinds.h"

#include <algorithm>
#include <cctype>

namespace tesvar {

namespace {

void AddOnce(std::vector<std::string>& patterns, std::string pattern) {
  if (pattern.empty()) return;
  if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end()) {
    patterns.push_back(std::move(pattern));
  }
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// A row the registry can choose for a file: by its content, its name marks
// or its extensions. A row none of these picks is read only when a caller
// names it (the compressed JCAMP-DX row, for the converter's check).
bool Choosable(const FileKindInfo& info) {
  return info.signature != nullptr || !info.nameMarks[0].empty() || !info.extensions[0].empty();
}

}  // namespace

std::vector<const FileKindInfo*> OpenableKinds() {
  std::size_t count = 0;
  const FileKindInfo* kinds = AllFileKinds(count);
  std::vector<const FileKindInfo*> out;
  for (std::size_t i = 0; i < count; ++i) {
    const FileKindInfo& info = kinds[i];
    if (info.read == nullptr || info.description == nullptr) continue;
    if (info.openTitle == nullptr && !Choosable(info)) continue;
    out.push_back(&info);
  }
  return out;
}

std::vector<std::string> OpenablePatterns() {
  std::vector<std::string> patterns;
  for (const FileKindInfo* info : OpenableKinds()) {
    if (info->pattern != nullptr) {
      std::string word;
      for (const char* p = info->pattern;; ++p) {
        if (*p == '\0' || *p == ' ' || *p == ';') {
          AddOnce(patterns, word);
          word.clear();
          if (*p == '\0') break;
        } else {
          word += *p;
        }
      }
    }
    for (std::string_view extension : info->extensions) {
      if (!extension.empty()) AddOnce(patterns, "*." + Lower(extension));
    }
  }
  return patterns;
}

std::string AnySpectrumFilter() {
  std::string all;
  for (const std::string& pattern : OpenablePatterns()) {
    all += (all.empty() ? "" : " ") + pattern;
  }
  std::string filter = "All spectra (" + all + ")";
  std::vector<std::string> listed;
  for (const FileKindInfo* info : OpenableKinds()) {
    std::string own = OpenDialogFilter(*info);
    if (std::find(listed.begin(), listed.end(), own) != listed.end()) continue;
    filter += ";;" + own;
    listed.push_back(std::move(own));
  }
  return filter;
}

std::string OpenableKindsText() {
  std::string text;
  for (const FileKindInfo* info : OpenableKinds()) {
    if (!text.empty()) text += ", ";
    text += info->description;
  }
  return text;
}

std::string OpenableKindsLines() {
  std::string lines;
  for (const FileKindInfo* info : OpenableKinds())
    lines += std::string("  ") + info->description + "\n";
  return lines;
}

}  // namespace tesvar
