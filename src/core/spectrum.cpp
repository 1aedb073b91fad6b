#include "core/spectrum.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tesvar {

// Value-initialised slots are zeroed with one memset; the fill constructor
// ("RawY(kArraySlots, 0)") compiled to a loop over every slot, a cost every
// load pays.
Spectrum::Spectrum() : RawY(kArraySlots), TransY(kArraySlots) {}

namespace {

// The arrays of the record last replaced on this thread, for the next load.
struct SpareArrays {
  std::vector<int32_t> RawY;
  std::vector<float> TransY;
};
thread_local SpareArrays spare;

bool FullSize(const std::vector<int32_t>& raw, const std::vector<float>& trans) {
  return raw.size() == kArraySlots && trans.size() == kArraySlots;
}

}  // namespace

Spectrum Spectrum::FreshFrom(const Spectrum& previous) {
  Spectrum fresh{NoArrays{}};
  if (FullSize(spare.RawY, spare.TransY)) {
    fresh.RawY = std::move(spare.RawY);
    fresh.TransY = std::move(spare.TransY);
    spare = SpareArrays{};
    // All bits zero is 0 and 0.0f; a fill of floats compiles to a loop.
    std::memset(fresh.RawY.data(), 0, sizeof(int32_t) * kArraySlots);
    std::memset(fresh.TransY.data(), 0, sizeof(float) * kArraySlots);
  } else {
    fresh.RawY = std::vector<int32_t>(kArraySlots);
    fresh.TransY = std::vector<float>(kArraySlots);
  }
  fresh.Model = previous.Model;
  return fresh;
}

void Spectrum::StartAfresh() {
  Spectrum fresh{NoArrays{}};
  fresh.Model = Model;
  fresh.RawY = std::move(RawY);
  fresh.TransY = std::move(TransY);
  std::memset(fresh.RawY.data(), 0, sizeof(int32_t) * fresh.RawY.size());
  std::memset(fresh.TransY.data(), 0, sizeof(float) * fresh.TransY.size());
  *this = std::move(fresh);
}

void Spectrum::Replace(Spectrum& current, Spectrum&& loaded) {
  std::swap(current, loaded);
  current.UpdateShortComment();
  if (!current.YConverted) {
    const auto slots = static_cast<int>(std::min(current.RawY.size(), current.TransY.size()));
    const int last = std::min<int>(current.LastIndex, slots - 1);
    for (int i = 0; i <= last; ++i) {
      current.TransY[i] = static_cast<float>(current.RawY[i] / (current.YScale * 100));
    }
    current.YConverted = true;
  }
  Recycle(std::move(loaded));
}

void Spectrum::Recycle(Spectrum&& unused) {
  if (FullSize(unused.RawY, unused.TransY)) {
    spare.RawY = std::move(unused.RawY);
    spare.TransY = std::move(unused.TransY);
  }
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
