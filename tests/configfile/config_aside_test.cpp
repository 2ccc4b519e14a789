// An unreadable parameter file is set aside under a name that tells when, never over another copy.
#include <gtest/gtest.h>

#include "config_test_support.h"
#include "configfile/config_aside.h"
#include "tests/support/calendar_time.h"

namespace {

using namespace configtest;

TEST(ConfigAside, TheCopyIsNamedByTheUtcTimeAndNeverReplacesAnEarlierOne) {
    TempDir dir;
    const std::string config = dir / "Config.xml";
    const std::tm when = testsupport::CalendarTime(2026, 12, 9, 20, 15, 0);
    EXPECT_EQ(configfile::UnreadableCopyName(config, when), config + ".unreadable-20261209T201500Z");
    std::string error;
    WriteBytes(config, "first");
    EXPECT_EQ(configfile::SetAsideUnreadable(config, when, &error), config + ".unreadable-20261209T201500Z");
    WriteBytes(config, "second");
    EXPECT_EQ(configfile::SetAsideUnreadable(config, when, &error),
              config + ".unreadable-20261209T201500Z-2");
    // A link of that name counts as taken too, whatever it names.
    fs::create_symlink(dir / "nowhere", dir / "Config.xml.unreadable-20261209T201500Z-3");
    WriteBytes(config, "third");
    EXPECT_EQ(configfile::SetAsideUnreadable(config, when, &error),
              config + ".unreadable-20261209T201500Z-4");
    EXPECT_EQ(ReadBytes(config + ".unreadable-20261209T201500Z"), "first");
    EXPECT_EQ(ReadBytes(config + ".unreadable-20261209T201500Z-2"), "second");
    EXPECT_EQ(ReadBytes(config + ".unreadable-20261209T201500Z-4"), "third");
    EXPECT_FALSE(fs::exists(config));
    // Nothing to rename: no copy, and the reason.
    EXPECT_EQ(configfile::SetAsideUnreadable(config, when, &error), "");
    EXPECT_EQ(error, "No such file or directory");
}

}  // namespace
