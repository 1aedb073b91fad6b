// The one 8-bit character set of the record's texts (operator, comment,
// dates; the title drawn from the comment): Windows-1252.
//
// The header texts are bytes in every file kind read. The spectra in the
// field come from instruments driven by Windows PCs in Western Europe and
// America, whose software writes the texts in the PC's code page,
// Windows-1252 there. It is Latin-1 with printable characters in 0x80-0x9F
// ("€", typographic quotes and dashes, "Š", "Ž", "Œ"), where Latin-1 has
// only control codes no instrument writes. The five codes Windows-1252
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the Latin-1
// control of the same number, so that every byte read from a file survives
// an edit and a save unchanged.
#pragma once

#include <string>

namespace tesvar {

// The character a byte of a record text stands for.
char32_t CodePageToUnicode(unsigned char byte);

// The byte that stands for `c` in a record text, or -1 when the character
// set has none ("ł", "Ș", U+0080).
int UnicodeToCodePage(char32_t c);

// Appends `c` (a character of the 8-bit set, so below U+10000) as UTF-8, for
// the outputs that are read as Unicode text (SVG, the converter's lines).
void AppendUtf8(std::string& out, char32_t c);

}  // namespace tesvar
