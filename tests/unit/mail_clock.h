// The local time 2026-12-08 03:01:52 of the e-mail tests, whose date text is
// "08 Dec 26 03:01:52".
#pragma once

#include <ctime>

namespace soc::test {

inline std::time_t mail_test_time() {
  std::tm tm{};
  tm.tm_year = 126;
  tm.tm_mon = 11;
  tm.tm_mday = 8;
  tm.tm_hour = 3;
  tm.tm_min = 1;
  tm.tm_sec = 52;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

}  // namespace soc::test
