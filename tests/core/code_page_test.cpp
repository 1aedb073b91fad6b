#include "core/code_page.h"

#include <gtest/gtest.h>

namespace tesvar {
namespace {

TEST(CodePage, EveryByteComesBackUnchanged) {
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(UnicodeToCodePage(CodePageToUnicode(static_cast<unsigned char>(b))), b) << b;
  }
}

TEST(CodePage, Characters) {
  struct Case {
    unsigned char byte;
    char32_t character;
  } cases[] = {
      {'M', U'M'},
      {0xFC, U'ü'},
      {0xE9, U'é'},
      {0xFF, U'ÿ'},
      {0x80, U'€'},
      {0x8A, U'Š'},
      {0x8C, U'Œ'},
      {0x93, U'“'},
      {0x96, U'–'},
      {0x99, U'™'},
      {0x9F, U'Ÿ'},
      // Unassigned in Windows-1252: the Latin-1 control of the same number.
      {0x81, U'\u0081'},
      {0x8D, U'\u008D'},
      {0x8F, U'\u008F'},
      {0x90, U'\u0090'},
      {0x9D, U'\u009D'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodePageToUnicode(c.byte), c.character) << int(c.byte);
    EXPECT_EQ(UnicodeToCodePage(c.character), c.byte) << int(c.byte);
  }
}

TEST(CodePage, CharactersItCannotHold) {
  // Central European and Romanian letters, the controls whose bytes show a
  // letter, and characters beyond the Basic Multilingual Plane.
  for (char32_t c :
       {U'ł', U'Ș', U'ő', U'Ω', U'\u0080', U'\u0099', U'\u0100', U'\u20AD', U'\U0001F600'}) {
    EXPECT_EQ(UnicodeToCodePage(c), -1) << static_cast<unsigned>(c);
  }
}

}  // namespace
}  // namespace tesvar
