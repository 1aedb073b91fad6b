#include "core/date_stamp.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace tesvar {
namespace {

TEST(DateStamp, Patterns) {
  const StampTime t{2026, 12, 7, 14, 3, 27};
  EXPECT_EQ(FormatDatePattern("yy/mm/dd", t, '/'), "26/12/07");
  EXPECT_EQ(FormatDatePattern("yy/mm/dd", t, '.'), "26.12.07");
  EXPECT_EQ(FormatDatePattern("dd/mm/yyyy", t, '/'), "07/12/2026");
  EXPECT_EQ(FormatDatePattern("d/m/yy", t, '-'), "7-12-26");
  std::setlocale(LC_TIME, "C");
  EXPECT_EQ(FormatLongTime(t), "14:03:27");
  EXPECT_EQ(SystemDateSeparator(), '/');
}

TEST(DateStamp, SourceDateEpochMakesStampsReproducible) {
  std::setlocale(LC_TIME, "C");
  setenv("SOURCE_DATE_EPOCH", "1796652207", 1);  // 2026-12-07 14:03:27 UTC
  std::string date, time;
  StampModification(date, time);
  EXPECT_EQ(date, "26/12/07");
  EXPECT_EQ(time, "14:03:27.00");
  EXPECT_EQ(ShortDateFormat(), "yy/mm/dd");
  setenv("SOURCE_DATE_EPOCH", "0", 1);
  StampModification(date, time);
  EXPECT_EQ(date, "70/01/01");
  EXPECT_EQ(time, "00:00:00.00");
  unsetenv("SOURCE_DATE_EPOCH");
}

}  // namespace
}  // namespace tesvar
