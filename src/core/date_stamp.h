// Date and time stamping for the writers and importers.
//
// Dates are formatted with a process-wide "short date format" that each
// writer sets before it formats ("yy/mm/dd" for SP and JCAMP-DX output,
// "dd/mm/yyyy" for imports) and leaves so: the date texts in files written
// so far have these forms, and files must go on matching them. The system's date
// separator and long time format come from the POSIX locale (LC_TIME,
// nl_langinfo). The clock honours SOURCE_DATE_EPOCH (seconds since 1970,
// UTC) so that output can be made reproducible; times are then UTC.
#pragma once

#include <ctime>
#include <string>

namespace tesvar {

struct StampTime {
  int year = 1970, month = 1, day = 1;  // month 1..12
  int hour = 0, minute = 0, second = 0;
};

// Now, from SOURCE_DATE_EPOCH when set and valid, else the local clock.
StampTime CurrentStampTime();
// A file time stamp as broken-down time (UTC under SOURCE_DATE_EPOCH, for
// the same reason as above; local otherwise).
StampTime StampTimeFromEpoch(std::time_t t);

// The system's date separator: the first character of the locale's date
// format (D_FMT) that is not a conversion. '/' when it has none.
char SystemDateSeparator();

// The process-wide short date format ("yy/mm/dd", "dd/mm/yyyy").
void SetShortDateFormat(const std::string& format);
const std::string& ShortDateFormat();

// Formats a date with a pattern of "yyyy", "yy", "mm", "m", "dd", "d"
// (year, month, day, with or without leading zeros) and '/' (the separator
// given); other characters are copied.
std::string FormatDatePattern(const std::string& pattern, const StampTime& t, char separator);

// The time in the system's long time format (the locale's T_FMT).
std::string FormatLongTime(const StampTime& t);

// The modification stamp of the SP and JCAMP-DX writers: the short date
// format is set to "yy/mm/dd", today's date is formatted with the system's
// separator and every '.' becomes '/'; the time is the long time format
// followed by ".00".
void StampModification(std::string& modDate, std::string& modTime);

// The date of a file's time stamp for the importers: the short date format is
// set to "dd/mm/yyyy" with '/'; the time in the long time format. False when
// the file's time stamp cannot be read.
bool FileDateStamp(const std::string& path, std::string& date, std::string& time);

// The acquisition date and time of an imported file: the file's own,
// `acquired` where it keeps one, as "dd/mm/yyyy" and the long time format;
// else the file's time stamp; both empty where neither can be had.
void ImportDateStamp(const StampTime* acquired, const std::string& path, std::string& date,
                     std::string& time);

}  // namespace tesvar
