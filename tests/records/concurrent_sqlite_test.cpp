// Eight station processes write the one local records file at once.
#include <gtest/gtest.h>

#include <set>

#include "concurrent_writers.h"
#include "records/sqlite_store.h"
#include "temp_folder.h"

namespace {

TEST(ConcurrentSqlite, EightProcessesWritingAtOnceLeaveEveryRecordOnce) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("marlinq-records.sqlite");
    constexpr int kWriters = 8;
    constexpr int kEach = 25;
    // The file does not exist yet: the writers also race to create its layout.
    auto writers = testsupport::StartWriters(kWriters, {path, "-", std::to_string(kEach)});
    const auto report = testsupport::WaitForWriters(writers);
    EXPECT_EQ(report.stored.size(), static_cast<std::size_t>(kWriters * kEach));
    EXPECT_TRUE(report.unsent.empty());

    records::SqliteStore store;
    std::string error;
    ASSERT_TRUE(store.Open(path, &error)) << error;
    std::vector<records::StoredRecord> found;
    ASSERT_TRUE(store.Find({}, &found, &error)) << error;
    std::multiset<std::string> keys;
    for (const auto& s : found) {
        keys.insert(s.record.key);
        EXPECT_EQ(s.record.values.size(), 5u) << s.record.key;
    }
    for (const auto& key : report.stored) {
        EXPECT_EQ(keys.count(key), 1u) << key;
    }
    EXPECT_EQ(found.size(), report.stored.size());
}

}  // namespace
