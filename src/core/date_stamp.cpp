#include "core/date_stamp.h"

#include <langinfo.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

namespace tesvar {

namespace {

std::string& ShortDateFormatStore() {
  static std::string format = "dd/mm/yyyy";
  return format;
}

// SOURCE_DATE_EPOCH as seconds, or false when unset or not a plain number.
bool SourceDateEpoch(std::time_t& t) {
  const char* env = std::getenv("SOURCE_DATE_EPOCH");
  if (env == nullptr || *env == '\0') return false;
  char* end = nullptr;
  long long v = std::strtoll(env, &end, 10);
  if (*end != '\0' || v < 0) return false;
  t = static_cast<std::time_t>(v);
  return true;
}

StampTime FromTm(const std::tm& tm) {
  StampTime s;
  s.year = tm.tm_year + 1900;
  s.month = tm.tm_mon + 1;
  s.day = tm.tm_mday;
  s.hour = tm.tm_hour;
  s.minute = tm.tm_min;
  s.second = tm.tm_sec;
  return s;
}

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v % 100);
  return buf;
}

}  // namespace

StampTime CurrentStampTime() {
  std::time_t t;
  if (SourceDateEpoch(t)) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    return FromTm(tm);
  }
  t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return FromTm(tm);
}

StampTime StampTimeFromEpoch(std::time_t t) {
  std::time_t ignored;
  std::tm tm{};
  if (SourceDateEpoch(ignored)) {
    gmtime_r(&t, &tm);
  } else {
    localtime_r(&t, &tm);
  }
  return FromTm(tm);
}

char SystemDateSeparator() {
  const char* fmt = nl_langinfo(D_FMT);
  for (const char* p = fmt; p != nullptr && *p != '\0'; ++p) {
    if (*p == '%') {
      // Skip the conversion and its modifiers (%Ey, %Od ...).
      ++p;
      while (*p == 'E' || *p == 'O' || *p == '-' || *p == '_' || *p == '0' || *p == '^') ++p;
      if (*p == '\0') break;
      continue;
    }
    return *p;
  }
  return '/';
}

void SetShortDateFormat(const std::string& format) { ShortDateFormatStore() = format; }

const std::string& ShortDateFormat() { return ShortDateFormatStore(); }

std::string FormatDatePattern(const std::string& pattern, const StampTime& t, char separator) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    auto starts = [&](const char* token) { return pattern.compare(i, std::strlen(token), token) == 0; };
    if (starts("yyyy")) {
      out += std::to_string(t.year);
      i += 4;
    } else if (starts("yy")) {
      out += TwoDigits(t.year);
      i += 2;
    } else if (starts("mm")) {
      out += TwoDigits(t.month);
      i += 2;
    } else if (starts("m")) {
      out += std::to_string(t.month);
      i += 1;
    } else if (starts("dd")) {
      out += TwoDigits(t.day);
      i += 2;
    } else if (starts("d")) {
      out += std::to_string(t.day);
      i += 1;
    } else if (pattern[i] == '/') {
      out += separator;
      i += 1;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

std::string FormatLongTime(const StampTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  const char* fmt = nl_langinfo(T_FMT);
  if (fmt == nullptr || *fmt == '\0') fmt = "%H:%M:%S";
  char buf[128];
  std::size_t n = std::strftime(buf, sizeof buf, fmt, &tm);
  return std::string(buf, n);
}

void StampModification(std::string& modDate, std::string& modTime) {
  SetShortDateFormat("yy/mm/dd");
  StampTime now = CurrentStampTime();
  std::string date = FormatDatePattern(ShortDateFormat(), now, SystemDateSeparator());
  for (char& c : date) {
    if (c == '.') c = '/';
  }
  modDate = date;
  modTime = FormatLongTime(now) + ".00";
}

bool FileDateStamp(const std::string& path, std::string& date, std::string& time) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  StampTime t = StampTimeFromEpoch(st.st_mtime);
  SetShortDateFormat("dd/mm/yyyy");
  date = FormatDatePattern(ShortDateFormat(), t, '/');
  time = FormatLongTime(t);
  return true;
}

}  // namespace tesvar
