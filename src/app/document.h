// What the window knows of the shown spectrum beyond the record itself: the
// file it belongs to and whether it holds changes that file lacks. The
// record is what a reader gives; this is the window's, so the same record
// can be read for a comparison or a library without a window around it.
#pragma once

#include <string>

namespace tesvar {

struct Document {
  // The file last loaded, or chosen in Save As; Save writes next to it.
  std::string CurrentPath;
  // Its name without the folder: the window caption, and the name the
  // exports offer.
  std::string CurrentName;
  // Read by another kind's reader and not saved as an SP file since: Save
  // writes NAME.sp and never the file read.
  bool Imported = false;
  // The file the spectrum was read from, as the load named it.
  std::string ReadFrom;
  // A baseline correction or an edit of the parameters since it was read or
  // saved as an SP file. Exports do not count (they do not keep the
  // spectrum), nor do labels (no SP file holds them).
  bool Modified = false;
};

}  // namespace tesvar
