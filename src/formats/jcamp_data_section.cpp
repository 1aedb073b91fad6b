// The loop over a data section, and the choice of the path that reads it.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string_view>

#include "formats/jcamp_decoder_parts.h"
#include "formats/jcamp_reader.h"

namespace tesvar {

namespace {

// The run readers of jcamp_runs_avx2.cpp use AVX2 (and BMI, BMI2, POPCNT),
// which not every x86-64 processor has; without them the import reads each
// line on its own.
bool HaveRunInstructions() {
#if defined(__GNUC__) && defined(__x86_64__)
  static const bool have = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                           __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
  return have;
#else
  return false;
#endif
}

constexpr DecoderPath kPaths[] = {DecoderPath::kReference, DecoderPath::kScalar, DecoderPath::kSse2,
                                  DecoderPath::kAvx2};

DecoderPath FastestPath() {
  for (int i = static_cast<int>(std::size(kPaths)) - 1; i > 0; --i) {
    if (CanRunDecoderPath(kPaths[i])) return kPaths[i];
  }
  return DecoderPath::kScalar;
}

// TESVAR_DECODER_PATH names the path (reference, scalar, sse2, avx2 or
// auto); a name this processor cannot run, or none known, is said on
// stderr and the fastest path is taken.
DecoderPath StartPath() {
  const char* name = std::getenv("TESVAR_DECODER_PATH");
  if (name == nullptr || *name == '\0' || std::string_view(name) == "auto") return FastestPath();
  for (DecoderPath path : kPaths) {
    if (std::string_view(name) != DecoderPathName(path)) continue;
    if (CanRunDecoderPath(path)) return path;
    std::fprintf(stderr, "TESVAR_DECODER_PATH=%s: this processor cannot run it; using %s\n", name,
                 DecoderPathName(FastestPath()));
    return FastestPath();
  }
  std::fprintf(stderr, "TESVAR_DECODER_PATH=%s: no such path; using %s\n", name,
               DecoderPathName(FastestPath()));
  return FastestPath();
}

// Read once, at the first use.
DecoderPath StartPathOnce() {
  static const DecoderPath path = StartPath();
  return path;
}

std::atomic<DecoderPath>& Active() {
  static std::atomic<DecoderPath> path{StartPathOnce()};
  return path;
}

// Where a run of DIFDUP lines may be read.
bool DifRunsFit(const XyDecodeState& state, DecoderPath path) {
  return path == DecoderPath::kAvx2 && state.OrdinateKind == OrdinateKind::kTransmittance &&
         std::fabs(state.YFactor) <= 1e22 && (state.IndexStep == 1 || state.IndexStep == -1);
}

std::size_t DifLines(std::string_view text, std::size_t pos, XyDecodeState& state, Spectrum& target,
                     DecoderPath path) {
  if (!DifRunsFit(state, path)) return pos;
  std::unique_ptr<int32_t[]> scratch(new int32_t[decoder_parts::kDifRunScratch]);
  return decoder_parts::DifRunsAvx2(text.data(), text.size(), pos, state, target.TransY.data(),
                                    scratch.get());
}

std::size_t PlainLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                       Spectrum& target, DecoderPath path) {
  if (path == DecoderPath::kReference) return pos;
  return decoder_parts::DecodePlainLines(text, pos, state, target, path);
}

std::size_t UsualLine(std::string_view text, std::size_t maxLen, XyDecodeState& state,
                      Spectrum& target, DecoderPath path) {
  if (path == DecoderPath::kReference) return kNotUsualLine;
  return decoder_parts::DecodeUsualLine(text, maxLen, state, target, decoder_parts::UsesSse2(path),
                                        false);
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

const char* DecoderPathName(DecoderPath path) {
  constexpr const char* kNames[] = {"auto", "reference", "scalar", "sse2", "avx2"};
  const auto at = static_cast<std::size_t>(path);
  return at < std::size(kNames) ? kNames[at] : "";
}

bool CanRunDecoderPath(DecoderPath path) {
  switch (path) {
    case DecoderPath::kAuto:
    case DecoderPath::kReference:
    case DecoderPath::kScalar:
      return true;
    case DecoderPath::kSse2:
#if defined(__SSE2__)
      return true;
#else
      return false;
#endif
    case DecoderPath::kAvx2:
      return HaveRunInstructions();
  }
  return false;
}

bool ForceDecoderPath(DecoderPath path) {
  if (!CanRunDecoderPath(path)) return false;
  Active().store(path == DecoderPath::kAuto ? StartPathOnce() : path, std::memory_order_relaxed);
  return true;
}

DecoderPath ActiveDecoderPath() { return Active().load(std::memory_order_relaxed); }

std::size_t DecodeUsualXyDataLine(std::string_view text, std::size_t maxLen, XyDecodeState& state,
                                  Spectrum& target) {
  return UsualLine(text, maxLen, state, target, ActiveDecoderPath());
}

std::string DecodeXyDataLine(std::string_view line, XyDecodeState& state, Spectrum& target) {
  const DecoderPath path = ActiveDecoderPath();
  if (path != DecoderPath::kReference && !state.ExponentNumbers &&
      decoder_parts::DecodeUsualLine(line, line.size(), state, target,
                                     decoder_parts::UsesSse2(path), true) != kNotUsualLine) {
    return "";
  }
  return DecodeXyDataLineGeneral(line, state, target);
}

std::size_t DecodePlainXyDataLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                                   Spectrum& target) {
  return PlainLines(text, pos, state, target, ActiveDecoderPath());
}

bool DifRunsAvailable() { return ActiveDecoderPath() == DecoderPath::kAvx2; }

std::size_t DecodeDifXyDataLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                                 Spectrum& target) {
  return DifLines(text, pos, state, target, ActiveDecoderPath());
}

std::string DecodeDataSection(std::string_view text, std::size_t pos, XyDecodeState& state,
                              Spectrum& target) {
  // The faster paths know no exponents: such a section goes line by line.
  const DecoderPath path = state.ExponentNumbers ? DecoderPath::kReference : ActiveDecoderPath();
  bool plainLines = true;
  int difMisses = 0;
  while (pos < text.size()) {
    // Runs of lines as FIX and DIFDUP writers give them are read in one
    // go ...
    const std::size_t from = pos;
    if (plainLines) pos = PlainLines(text, pos, state, target, path);
    if (pos >= text.size()) break;
    if (difMisses < 8) {
      // A section whose lines are of another form soon stops trying.
      const std::size_t before = pos;
      pos = DifLines(text, pos, state, target, path);
      if (pos != before) {
        plainLines = false;
        difMisses = 0;
        continue;
      }
      ++difMisses;
    }
    // ... and nearly every other line in one pass straight from the text,
    // which also finds where the raw line ends; such a line holds no '#'
    // or '$'.
    std::size_t blanks = 0;
    while (blanks < kRawChunk && pos + blanks < text.size() &&
           (text[pos + blanks] == ' ' || text[pos + blanks] == '\t')) {
      ++blanks;
    }
    std::size_t length =
        UsualLine(text.substr(pos + blanks), kRawChunk - blanks, state, target, path);
    if (length != kNotUsualLine) {
      // A data line the plain reader left to this one (an ASDF line, as a
      // rule): the section is of another form, and trying each of its lines
      // there first would only cost time.
      if (pos == from && length > 0) plainLines = false;
      std::size_t end = blanks + length;
      // Past the CR or LF that ended the line, as ReadRawLine moves.
      pos += end < kRawChunk && pos + end < text.size() ? end + 1 : end;
      // The LF of a CR LF pair (and any blank line) is an empty raw line,
      // which changes nothing: step over it here.
      while (pos < text.size() && (text[pos] == '\n' || text[pos] == '\r')) ++pos;
      continue;
    }

    // The rest raw line by raw line through the general decoder: comments
    // ("$$") and labels are passed over, "##END=" ends the section.
    std::string_view line = ReadRawLine(text, pos);
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    if (line.find('#') != std::string_view::npos) {
      if (Contains(line, "##END=")) break;
      if (Contains(line, "##")) continue;
    }
    if (line.empty() || Contains(line, "$")) continue;
    std::string message = DecodeXyDataLineGeneral(line, state, target);
    if (!message.empty()) return message;
  }
  return "";
}

}  // namespace tesvar
