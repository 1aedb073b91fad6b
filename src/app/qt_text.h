// Conversions between the record's byte strings and Qt's strings, in one
// place at the window's edge.
//   - Record texts (comment, operator, dates) are single-byte, as in the
//     files of the instruments: Windows-1252 both ways (core/code_page.h says
//     why), so that every byte survives a round trip through an edit field
//     unchanged. The dialogs, the screen, the printout and the clipboard all
//     convert here.
//   - Paths are in the file system's encoding (QFile::encodeName).
//   - Messages of the readers and writers mix both (a path inside a fixed
//     text, a value from a file): UTF-8 when they are valid UTF-8, else
//     the record texts' set.
#pragma once

#include <QString>
#include <string>

namespace tesvar {

QString FromRecordText(const std::string& text);
// Characters the record's set cannot hold become '?'; an edit field refuses
// them first (FirstUnstorableCharacter).
std::string ToRecordText(const QString& text);
// The first character of `text` a record text cannot hold (one character,
// two UTF-16 units beyond the Basic Multilingual Plane), or an empty string.
QString FirstUnstorableCharacter(const QString& text);

QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

QString FromMessage(const std::string& text);

}  // namespace tesvar
