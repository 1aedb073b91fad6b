#include "core/spectrum.h"

namespace tesvar {

// Value-initialised slots are zeroed with one memset; the fill constructor
// ("RawY(kArraySlots, 0)") compiled to a loop over every slot, a cost every
// load pays.
Spectrum::Spectrum() : RawY(kArraySlots), TransY(kArraySlots) {}

Spectrum Spectrum::FreshFrom(const Spectrum& previous) {
  Spectrum fresh;
  fresh.Model = previous.Model;
  fresh.CurrentPath = previous.CurrentPath;
  fresh.CurrentName = previous.CurrentName;
  fresh.Imported = previous.Imported;
  fresh.SpectrumShown = previous.SpectrumShown;
  return fresh;
}

void Spectrum::SetComment(const std::string& text) {
  Comment = CutText(text);
  UpdateShortComment();
}

void Spectrum::UpdateShortComment() { ShortComment = CutText(Comment, kMaxTitle); }

std::string CutText(const std::string& text, std::size_t max) {
  return text.size() > max ? text.substr(0, max) : text;
}

std::string FileNamePart(const std::string& path) {
  std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ChangeExtension(const std::string& path, const std::string& ext) {
  std::size_t slash = path.find_last_of("/\\");
  std::size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    return path.substr(0, dot) + ext;
  }
  return path + ext;
}

}  // namespace tesvar
