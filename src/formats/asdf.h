// ASCII squeezed difference form (ASDF) of the JCAMP-DX 4.24 standard.
//
// An ordinate integer is written with its leading digit (and sign) replaced
// by a letter from one of five digit sets:
//   SQZ positive  "@ABCDEFGHI"   leading digit 0..9 of a value >= 0
//   SQZ negative  "abcdefghi"    leading digit 1..9 of a value < 0
//   DIF positive  "%JKLMNOPQR"   leading digit 0..9 of a difference >= 0
//   DIF negative  "jklmnopqr"    leading digit 1..9 of a difference < 0
//   DUP           "STUVWXYZs"    leading digit 1..9 of a repeat count
// The other digits follow unchanged: SQZ 85300 -> "H5300", DIF -130 ->
// "j30", DUP 12 -> "S2". Tokens follow each other without separators; each
// letter of the sets (and "?", the repeat token) starts a new one.
//
// We write SQZ, DIF and DUP only (no PAC form). On input a token may carry a
// '.' and further digits ("A2.5" is 12.5); what a sequence of tokens means is
// applied by the data line decoder (jcamp_decoder.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tesvar {

// The 47 letters of the five sets: a data line holding one of them is an
// ASDF line, any other is read as plain numbers.
inline constexpr std::string_view AsdfLetters = "@ABCDEFGHIabcdefghi%JKLMNOPQRjklmnopqrSTUVWXYZs";
// The letters plus "?": each of these starts a token within an ASDF line.
inline constexpr std::string_view AsdfStarters = "@ABCDEFGHIabcdefghi%JKLMNOPQRjklmnopqrSTUVWXYZs?";

// Encoders. Magnitudes keep all their digits (int64 so that differences of
// two int32 ordinates never overflow); there is no negative zero.
std::string EncodeSqz(int64_t value);
std::string EncodeDif(int64_t value);
// REQUIRES: count >= 1 (the writer asks for 2 and more only).
std::string EncodeDup(int64_t count);

// Appending forms of the encoders.
void AppendSqz(std::string& out, int64_t value);
void AppendDif(std::string& out, int64_t value);
void AppendDup(std::string& out, int64_t count);

// The longest token: a letter for the first of the 19 digits of |INT64_MIN|.
inline constexpr std::size_t kMaxAsdfToken = 19;
// Forms that write the token at out and return its end, for the writer's
// hot loop. REQUIRES: room for kMaxAsdfToken bytes at out.
char* PutSqz(char* out, int64_t value);
char* PutDif(char* out, int64_t value);
char* PutDup(char* out, int64_t count);

enum class AsdfKind { kNone, kSqz, kDif, kDup, kRepeat };

namespace asdf_sets {
inline constexpr std::string_view kSqzPositive = "@ABCDEFGHI";
inline constexpr std::string_view kSqzNegative = "abcdefghi";
inline constexpr std::string_view kDifPositive = "%JKLMNOPQR";
inline constexpr std::string_view kDifNegative = "jklmnopqr";
inline constexpr std::string_view kDup = "STUVWXYZs";

// What each byte stands for as the first character of a token; a table so
// that the decoder's inner loop needs no search.
struct StarterInfo {
  AsdfKind kind = AsdfKind::kNone;
  int8_t digit = 0;
  bool negative = false;
};

struct StarterTable {
  StarterInfo info[256];
  constexpr StarterTable() {
    Fill(kSqzPositive, AsdfKind::kSqz, 0, false);
    Fill(kSqzNegative, AsdfKind::kSqz, 1, true);
    Fill(kDifPositive, AsdfKind::kDif, 0, false);
    Fill(kDifNegative, AsdfKind::kDif, 1, true);
    Fill(kDup, AsdfKind::kDup, 1, false);
    info[static_cast<unsigned char>('?')].kind = AsdfKind::kRepeat;
  }
  constexpr void Fill(std::string_view set, AsdfKind kind, int first, bool negative) {
    for (std::size_t i = 0; i < set.size(); ++i) {
      info[static_cast<unsigned char>(set[i])] = {kind, static_cast<int8_t>(first + i), negative};
    }
  }
};

inline constexpr StarterTable kStarters;
}  // namespace asdf_sets

// What the first character of a token stands for. For SQZ, DIF and DUP,
// `digit` receives the substituted leading digit and `negative` the sign.
inline AsdfKind ClassifyAsdfStarter(char c, int& digit, bool& negative) {
  const asdf_sets::StarterInfo& info = asdf_sets::kStarters.info[static_cast<unsigned char>(c)];
  digit = info.digit;
  negative = info.negative;
  return info.kind;
}

// A token of SQZ, DIF or DUP kind with its first character replaced by the
// digit it stands for ("j30" -> "130"); the text of the decoder's messages.
std::string SubstitutedToken(std::string_view token);

// Decodes one token. kNone: the first character starts no token. kRepeat:
// the token is "?" (anything after it is ignored). Otherwise `value` is the
// signed number (a general decimal conversion for SQZ and DIF, an integer for
// DUP); false when the rest of the token does not convert.
struct AsdfValue {
  AsdfKind kind = AsdfKind::kNone;
  double value = 0;
};
bool DecodeAsdfToken(std::string_view token, AsdfValue& out);

}  // namespace tesvar
