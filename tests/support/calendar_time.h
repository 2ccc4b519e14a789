// A broken-down calendar time, UTC or local alike, for code that formats a moment.
#pragma once

#include <ctime>

namespace testsupport {

// month 1 to 12, as written in a date.
inline std::tm CalendarTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

}  // namespace testsupport
