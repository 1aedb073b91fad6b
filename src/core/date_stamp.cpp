#include "core/date_stamp.h"

#include <langinfo.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

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
  // Longer tokens first, so that "yyyy" is not read as two "yy".
  struct Token {
    std::string_view text;
    int StampTime::*field;
    bool twoDigits;
  };
  static constexpr Token kTokens[] = {
      {"yyyy", &StampTime::year, false}, {"yy", &StampTime::year, true},
      {"mm", &StampTime::month, true},   {"m", &StampTime::month, false},
      {"dd", &StampTime::day, true},     {"d", &StampTime::day, false},
  };
  std::string out;
  const std::string_view rest(pattern);
  for (std::size_t i = 0; i < rest.size();) {
    const Token* token = nullptr;
    for (const Token& candidate : kTokens) {
      if (rest.substr(i, candidate.text.size()) == candidate.text) {
        token = &candidate;
        break;
      }
    }
    if (token) {
      const int value = t.*(token->field);
      out += token->twoDigits ? TwoDigits(value) : std::to_string(value);
      i += token->text.size();
    } else {
      out += rest[i] == '/' ? separator : rest[i];
      ++i;
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

void ImportDateStamp(const StampTime* acquired, const std::string& path, std::string& date,
                     std::string& time) {
  if (acquired != nullptr) {
    SetShortDateFormat("dd/mm/yyyy");
    date = FormatDatePattern(ShortDateFormat(), *acquired, '/');
    time = FormatLongTime(*acquired);
  } else if (!FileDateStamp(path, date, time)) {
    date.clear();
    time.clear();
  }
}

}  // namespace tesvar
