// Conversions between the record's byte strings and Qt's strings, in one
// place at the window's edge.
//   - Record texts (comment, operator, dates) are single-byte, as in the SP
//     files of the instruments: Latin-1 both ways, so that every byte
//     survives a round trip through an edit field unchanged.
//   - Paths are in the file system's encoding (QFile::encodeName).
//   - Messages of the readers and writers mix both (a path inside a fixed
//     text, a value from a file): UTF-8 when they are valid UTF-8, else
//     Latin-1.
#pragma once

#include <QString>
#include <string>

namespace tesvar {

QString FromRecordText(const std::string& text);
// Characters outside Latin-1 become '?'.
std::string ToRecordText(const QString& text);

QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

QString FromMessage(const std::string& text);

}  // namespace tesvar
