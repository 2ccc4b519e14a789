#include "records/utc_time.h"

#include <cstdio>

namespace records {

namespace {

// The number written in text[from, from + digits); -1 when a character there is not a digit.
int Digits(std::string_view text, std::size_t from, std::size_t digits) {
    int n = 0;
    for (std::size_t i = from; i < from + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

bool IsDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    const int y = Digits(text, 0, 4);
    const int m = Digits(text, 5, 2);
    const int d = Digits(text, 8, 2);
    if (y < 0 || m < 1 || m > 12 || d < 1) {
        return false;
    }
    const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(static_cast<unsigned>(m)),
                                           std::chrono::day(static_cast<unsigned>(d))};
    return date.ok();
}

}  // namespace

std::string UtcTimestamp(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss time{floor<seconds>(when - day)};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

bool IsUtcTimestamp(std::string_view text) {
    if (text.size() != 20 || !IsDate(text.substr(0, 10)) || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z') {
        return false;
    }
    const int h = Digits(text, 11, 2);
    const int m = Digits(text, 14, 2);
    const int s = Digits(text, 17, 2);
    return h >= 0 && h < 24 && m >= 0 && m < 60 && s >= 0 && s < 60;
}

std::optional<std::string> SinceBound(std::string_view text) {
    if (IsDate(text)) {
        return std::string(text) + "T00:00:00Z";
    }
    if (IsUtcTimestamp(text)) {
        return std::string(text);
    }
    return std::nullopt;
}

}  // namespace records
