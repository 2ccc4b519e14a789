// Record times: written as UTC with a Z, read back only when they name a real moment.
#include "records/utc_time.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

TEST(UtcTime, IsWrittenAsIsoWithZToTheSecond) {
    EXPECT_EQ(records::UtcTimestamp(system_clock::time_point{}), "1970-01-01T00:00:00Z");
    // 2026-12-10 02:23:05.900 UTC: the fraction is dropped, not rounded up.
    const auto when =
        sys_days{year(2026) / December / 10} + hours(2) + minutes(23) + seconds(5) + milliseconds(900);
    EXPECT_EQ(records::UtcTimestamp(when), "2026-12-10T02:23:05Z");
    const auto leap = sys_days{year(2028) / February / 29} + hours(23) + minutes(59) + seconds(59);
    EXPECT_EQ(records::UtcTimestamp(leap), "2028-02-29T23:59:59Z");
}

TEST(UtcTime, OnlyRealMomentsInTheOneFormAreAccepted) {
    EXPECT_TRUE(records::IsUtcTimestamp("2026-12-10T02:23:00Z"));
    EXPECT_TRUE(records::IsUtcTimestamp("2028-02-29T00:00:00Z"));
    for (const char* bad :
         {"2026-02-29T00:00:00Z", "2026-13-01T00:00:00Z", "2026-12-00T00:00:00Z", "2026-12-10T24:00:00Z",
          "2026-12-10T02:60:00Z", "2026-12-10T02:23:60Z", "2026-12-10T02:23:00", "2026-12-10 02:23:00Z",
          "2026-12-10T02:23:00+01:00", "2026-1-10T02:23:00Z", "２026-12-10T02:23:00Z", ""}) {
        EXPECT_FALSE(records::IsUtcTimestamp(bad)) << bad;
    }
}

TEST(UtcTime, SinceTakesADateAsItsMidnightOrAWholeTime) {
    EXPECT_EQ(records::SinceBound("2026-12-10"), "2026-12-10T00:00:00Z");
    EXPECT_EQ(records::SinceBound("2026-12-10T02:23:00Z"), "2026-12-10T02:23:00Z");
    EXPECT_FALSE(records::SinceBound("2026-02-30"));
    EXPECT_FALSE(records::SinceBound("yesterday"));
    EXPECT_FALSE(records::SinceBound("2026-12-10'; DROP TABLE records; --"));
}

}  // namespace
