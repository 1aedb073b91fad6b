// The kinds a person can open, gathered from the file-kind table: every
// row with a reader and a description that has an open dialog title or that
// the registry chooses for a file (by content, name marks or extensions). The "Any spectrum" open
// dialog lists their patterns together and then one by one, and the
// converter names them when no reader takes a file. A kind added to the
// table appears here without further change.
#pragma once

#include <string>
#include <vector>

#include "formats/file_kinds.h"

namespace tesvar {

// The openable rows, in table order. The compressed JCAMP-DX row, read only
// by the converter's check and never chosen for a file, is not one.
std::vector<const FileKindInfo*> OpenableKinds();

// Every file name pattern of the openable kinds, in table order, each once
// ("*.sp", "*.jdx", "*.asc"): a row's pattern (several separated by blanks
// or ';') and one "*.ext" for each extension it lists.
std::vector<std::string> OpenablePatterns();

// The open dialog's filter for a file of any kind: "All spectra (every
// pattern)" first, then each openable kind's own filter, joined by ";;" as
// Qt's file dialogs take a list of filters.
std::string AnySpectrumFilter();

// The openable kinds' descriptions, joined by ", ", for messages that say
// what is read ("Perkin-Elmer 1600 (*.sp), JCAMP-DX (*.jdx), ...").
std::string OpenableKindsText();

// The same, one "  description" line each, for the programs' --help.
std::string OpenableKindsLines();

}  // namespace tesvar
