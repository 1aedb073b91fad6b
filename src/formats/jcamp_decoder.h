// One data line of a JCAMP-DX "##XYDATA=" section, stored into TransY.
//
// A line holding any ASDF letter (asdf.h) is an ASDF line, any other a
// plain-number (AFFN) line. The first number of a line is its abscissa; it
// serves only for the Y check message: ordinates go to a running slot index,
// never to the place their X would say.
//
// Plain-number lines: numbers of ".0123456789" separated by runs of
// " ,+-\t"; each number takes the sign of its own separator run ("4000 85
// -3" stores 85 and -3), and a run of k >= 2 commas repeats the last
// ordinate k - 1 times. One trailing separator is tolerated, two are not
// ("invalid data point: -----"). Exponents are read only where the state
// asks for them (ExponentNumbers): otherwise "8.5E1" holds the SQZ letter
// 'E' and is taken as an ASDF line.
//
// ASDF lines: blanks and tabs are removed, the abscissa is the leading run
// of ".0123456789", then SQZ/DIF/DUP/"?" tokens follow. After a line that
// ended in DIF form, the first value of the next line is the Y check: it
// must equal the last ordinate and is not stored again.
//
// Stored value: y = raw x YFACTOR; transmittance as it is, absorbance (or no
// "##YUNITS=" seen) as 10^-y.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum.h"

namespace tesvar {

enum class OrdinateKind { kNone, kTransmittance, kAbsorbance };

// Decoding state of one import, carried from line to line.
struct XyDecodeState {
  int32_t PointIndex = 0;    // slot of TransY for the next ordinate
  int32_t IndexStep = 1;     // +1, or -1 for files whose X ascends
  int32_t PointsRead = 0;    // ordinates stored so far
  double LastValue = 0;      // last ordinate as read, signed, before YFACTOR
  bool DifMode = false;      // the last SQZ/DIF token was a DIF token
  bool LastFromDif = false;  // DifMode when the last ordinate was stored
  double PeakT = 0;          // largest TransY stored (not by comma repeats)
  double LineX = 0;          // abscissa of the current ASDF line
  tesvar::OrdinateKind OrdinateKind = tesvar::OrdinateKind::kNone;
  double YFactor = 1.0;
  // Lines of plain numbers some of which carry an exponent ("4000 4.6e-05
  // 1.2E+3") are read as numbers. Off for the files the reader has always
  // read: there such a line is an ASDF line ('E' and 'e' are SQZ letters),
  // and every file that loaded keeps its values. When set, the whole
  // section is read by the general decoder.
  bool ExponentNumbers = false;
};

// The ways a data section can be read. Every path gives the same
// ordinates, state and messages, bit for bit; they differ in speed and in
// what the processor must offer.
enum class DecoderPath {
  kAuto,       // the path chosen at the first use (see ForceDecoderPath)
  kReference,  // the general decoder alone, raw line by raw line
  kScalar,     // the usual lines in one pass, byte by byte and a word at a time
  kSse2,       // and compact ASDF lines and FIX lines sixteen bytes at a time
  kAvx2,       // and whole runs of FIX and DIFDUP lines, 32 bytes at a time
};

// "auto", "reference", "scalar", "sse2", "avx2".
const char* DecoderPathName(DecoderPath path);

// Whether this processor can run the path.
bool CanRunDecoderPath(DecoderPath path);

// Makes every function below read on the given path, for the tests and the
// fuzz targets; kAuto returns to the path chosen at the first use: the one
// the environment variable TESVAR_DECODER_PATH names (by DecoderPathName),
// else the fastest this processor runs. False, with the path left as it
// was, when this processor cannot run it.
bool ForceDecoderPath(DecoderPath path);

// The path in force (never kAuto).
DecoderPath ActiveDecoderPath();

// Reads a "##XYDATA=" section from text[pos] on (the line after its label)
// into target.TransY: its data lines until "##END=" or the end of the text,
// passing over other labels, comments ("$$") and empty lines, cut into raw
// lines of at most kRawChunk bytes. Returns "" or the message of the line
// that ends the import; the ordinates stored before it stay in target.
std::string DecodeDataSection(std::string_view text, std::size_t pos, XyDecodeState& state,
                              Spectrum& target);

// Decodes one line (without leading blanks or tabs) into target.TransY.
// Returns "" on success or the message that ends the import. Ordinates
// stored before a failure stay in target. Every slot written lies within
// 0 ... 16000 whatever the line holds.
std::string DecodeXyDataLine(std::string_view line, XyDecodeState& state, Spectrum& target);

// The same through the general decoder alone, which reads every form a line
// may take and gives every message. DecodeXyDataLine tries
// DecodeUsualXyDataLine first and comes here for the rest.
std::string DecodeXyDataLineGeneral(std::string_view line, XyDecodeState& state, Spectrum& target);

inline constexpr std::size_t kNotUsualLine = std::string_view::npos;

// The import reads a data section in raw lines of at most this many bytes.
inline constexpr std::size_t kRawChunk = 255;

// The lines of nearly every file in one pass over their bytes, for the
// import of a whole data section: plain-number lines of integers or simple
// decimals between blanks, tabs and signs, and ASDF lines of SQZ, DIF, DUP
// and "?" tokens with integer digits, blanks only between tokens.
//
// The line starts at text[0] (leading blanks already skipped) and ends
// before its first CR or LF, after maxLen bytes, or at the end of text; text
// may run on to the end of the file (bytes beyond the line are read ahead
// but never used). Returns the line's length when it was decoded, with
// exactly the effect DecodeXyDataLine has on it. Returns kNotUsualLine, and
// has changed nothing, when the line holds anything else: another character
// (a '#' or '$' among them, so such lines remain the reader's to skip), a
// comma, a decimal or exponent in a token, more than 15 digits in a number, a
// failing Y check or any other message, a DUP run longer than a few hundred
// points, or stores at the ends of the arrays; and always on the reference
// path.
std::size_t DecodeUsualXyDataLine(std::string_view text, std::size_t maxLen, XyDecodeState& state,
                                  Spectrum& target);

// Reads the data section from text[pos] on while its lines have the form
// FIX writers give: an abscissa, then integers of one to seven digits each
// after a single blank, the line ended by CR LF or LF (and further empty
// lines), with transmittances and a YFACTOR under which no ordinate leaves
// the float range. Each such line has exactly the effect the import's loop
// gives it through DecodeUsualXyDataLine, and is read without a call per
// line. Returns the position of the first line it leaves to that loop (pos
// itself when it reads none, and always on the reference path); that line
// is untouched.
std::size_t DecodePlainXyDataLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                                   Spectrum& target);

// The same for the lines DIFDUP writers give nearly every line: an
// abscissa, an SQZ token (the Y check after a line in DIF form) or a DIF
// token, then DIF tokens of at most four bytes with DUP tokens among them
// (a DIF token first), nothing else, the line ended by CR LF or LF within
// 128 bytes; with transmittances, a YFACTOR under which no ordinate leaves
// the float range, and running values within 2^30. Each such line has
// exactly the effect DecodeUsualXyDataLine gives it. Returns the position of
// the first line it leaves to the import's loop (pos itself when it reads
// none, and always on paths other than kAvx2).
std::size_t DecodeDifXyDataLines(std::string_view text, std::size_t pos, XyDecodeState& state,
                                 Spectrum& target);

// Whether DecodeDifXyDataLines reads anything on the path in force.
bool DifRunsAvailable();

}  // namespace tesvar
