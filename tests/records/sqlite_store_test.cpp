// The local records file: its layout and migrations, records read back whole, and the listings.
#include "records/sqlite_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/app_directory.h"
#include "records/sqlite_schema.h"
#include "sample_records.h"
#include "temp_folder.h"

namespace {

using records::ProductionRecord;
using records::StoredRecord;

// A statement's single number, through a connection of the test's own.
long long QueryNumber(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    long long n = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            n = sqlite3_column_int64(stmt, 0);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return n;
}

std::string QueryText(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string text = "(none)";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return text;
}

bool Execute(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) ==
                  SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

records::RecordQuery Query(const std::string& since, const std::string& imsi, bool failedOnly,
                           bool unsentOnly) {
    records::RecordQuery q;
    q.since = since;
    q.imsi = imsi;
    q.failedOnly = failedOnly;
    q.unsentOnly = unsentOnly;
    return q;
}

class SqliteStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = folder.File("marlinq-records.sqlite");
        std::string error;
        ASSERT_TRUE(store.Open(path, &error)) << error;
    }
    std::vector<StoredRecord> Find(const records::RecordQuery& query) {
        std::vector<StoredRecord> found;
        std::string error;
        EXPECT_TRUE(store.Find(query, &found, &error)) << error;
        return found;
    }
    void Add(const ProductionRecord& r, bool unsent = false) {
        std::string error;
        ASSERT_TRUE(store.Add(r, unsent, &error)) << error;
    }

    testsupport::TempFolder folder;
    std::string path;
    records::SqliteStore store;
};

TEST_F(SqliteStoreTest, ANewFileGetsTheWholeLayoutInWalMode) {
    EXPECT_EQ(QueryNumber(path, "PRAGMA user_version"), records::SqliteSchemaVersion());
    EXPECT_EQ(QueryText(path, "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(QueryNumber(path,
                          "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                          "('records', 'record_values', 'record_differences')"),
              3);
    EXPECT_EQ(QueryNumber(path, "SELECT count(*) FROM pragma_table_info('records') WHERE name = 'unsent'"),
              1);
}

TEST_F(SqliteStoreTest, ARecordRoundTripsWithEveryField) {
    const ProductionRecord passed = testsupport::PassedRecord();
    const ProductionRecord mismatch = testsupport::MismatchRecord();
    const ProductionRecord failed = testsupport::FailedRecord();
    Add(passed);
    Add(mismatch, true);
    Add(failed);
    const auto all = Find({});
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].record, passed);
    EXPECT_FALSE(all[0].unsent);
    EXPECT_EQ(all[1].record, mismatch);
    EXPECT_TRUE(all[1].unsent);
    EXPECT_EQ(all[2].record, failed);
    // Reopened by another store, as a later run of the tool does.
    records::SqliteStore again;
    std::string error;
    ASSERT_TRUE(again.Open(path, &error)) << error;
    std::vector<StoredRecord> reread;
    ASSERT_TRUE(again.Find({}, &reread, &error)) << error;
    ASSERT_EQ(reread.size(), 3u);
    EXPECT_EQ(reread[1].record.differences, mismatch.differences);
    EXPECT_EQ(reread[0].record.values, passed.values);
}

TEST_F(SqliteStoreTest, TheSameRecordWrittenTwiceIsHeldOnce) {
    const ProductionRecord r = testsupport::PassedRecord();
    Add(r, true);
    Add(r, false);
    const auto all = Find({});
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(all[0].unsent) << "the first write stands";
    EXPECT_EQ(QueryNumber(path, "SELECT count(*) FROM record_values"),
              static_cast<long long>(r.values.size()));
}

TEST_F(SqliteStoreTest, ABrokenRecordIsRefusedAndNothingIsWritten) {
    ProductionRecord r = testsupport::PassedRecord();
    r.imsi = "not an imsi";
    std::string error;
    EXPECT_FALSE(store.Add(r, false, &error));
    EXPECT_NE(error.find("IMSI"), std::string::npos) << error;
    EXPECT_EQ(QueryNumber(path, "SELECT count(*) FROM records"), 0);
}

TEST_F(SqliteStoreTest, ListingsSelectBySinceImsiFailureAndUnsent) {
    const auto a = testsupport::PassedRecord("460010000000001", "2026-12-09T23:59:59Z");
    const auto b = testsupport::MismatchRecord("460010000000002", "2026-12-10T00:00:00Z");
    const auto c = testsupport::FailedRecord("460010000000001", "2026-12-11T10:00:00Z");
    const auto d = testsupport::PassedRecord("460010000000002", "2026-12-12T10:00:00Z");
    Add(c, true);  // written out of time order: listings are in time order
    Add(a);
    Add(d, true);
    Add(b);
    auto keys = [](const std::vector<StoredRecord>& found) {
        std::vector<std::string> k;
        for (const auto& s : found) {
            k.push_back(s.record.key);
        }
        return k;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(keys(Find({})), (V{a.key, b.key, c.key, d.key}));
    EXPECT_EQ(keys(Find(Query("2026-12-10T00:00:00Z", "", false, false))), (V{b.key, c.key, d.key}));
    EXPECT_EQ(keys(Find(Query("", "460010000000001", false, false))), (V{a.key, c.key}));
    EXPECT_EQ(keys(Find(Query("", "", true, false))), (V{b.key, c.key}));
    EXPECT_EQ(keys(Find(Query("", "", false, true))), (V{c.key, d.key}));
    EXPECT_EQ(keys(Find(Query("2026-12-11T00:00:00Z", "460010000000002", false, false))), (V{d.key}));
    EXPECT_EQ(keys(Find(Query("", "460010000000003", false, false))), V{});
    std::string error;
    ASSERT_TRUE(store.MarkSent(c.key, &error)) << error;
    EXPECT_EQ(keys(Find(Query("", "", false, true))), (V{d.key}));
    ASSERT_TRUE(store.MarkSent(c.key, &error)) << "marking twice is harmless: " << error;
}

TEST_F(SqliteStoreTest, APassedUnitIsFoundByImsiAndParameterDigestOnly) {
    const auto passed = testsupport::PassedRecord("460010000000009");
    Add(testsupport::MismatchRecord("460010000000008"));
    Add(passed);
    bool found = false;
    std::string error;
    ASSERT_TRUE(store.HasPassed("460010000000009", passed.parameterSha256, &found, &error)) << error;
    EXPECT_TRUE(found);
    ASSERT_TRUE(store.HasPassed("460010000000009", records::Sha256Hex("another file"), &found, &error));
    EXPECT_FALSE(found) << "another parameter file must be written again";
    ASSERT_TRUE(store.HasPassed("460010000000008", passed.parameterSha256, &found, &error));
    EXPECT_FALSE(found) << "a mismatch is not done";
    ASSERT_TRUE(store.HasPassed("", passed.parameterSha256, &found, &error));
    EXPECT_FALSE(found);
}

TEST_F(SqliteStoreTest, ADamagedRowIsRefusedOnReadWithItsKey) {
    const auto r = testsupport::PassedRecord();
    Add(r);
    ASSERT_TRUE(Execute(path, "UPDATE records SET imsi = '12ab' WHERE record_key = '" + r.key + "'"));
    std::vector<StoredRecord> found;
    std::string error;
    EXPECT_FALSE(store.Find({}, &found, &error));
    EXPECT_NE(error.find(r.key), std::string::npos) << error;
    EXPECT_NE(error.find("IMSI"), std::string::npos) << error;
    EXPECT_TRUE(found.empty());

    ASSERT_TRUE(Execute(path, "UPDATE records SET imsi = '', outcome = 'maybe'"));
    EXPECT_FALSE(store.Find({}, &found, &error));
    EXPECT_NE(error.find(r.key), std::string::npos) << error;

    // A huge value is refused by its length, before it is copied.
    ASSERT_TRUE(Execute(path,
                        "UPDATE records SET outcome = 'passed'; UPDATE record_values SET value = "
                        "hex(zeroblob(100000)) WHERE position = 0"));
    EXPECT_FALSE(store.Find({}, &found, &error));
    EXPECT_NE(error.find("4096 bytes"), std::string::npos) << error;

    ASSERT_TRUE(Execute(path, "UPDATE record_values SET value = x'41ff42' WHERE position = 0"));
    EXPECT_FALSE(store.Find({}, &found, &error)) << "a blob is not text";
}

TEST(SqliteMigration, AnOlderFileIsBroughtUpToDateAndKeepsItsRecords) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("old.sqlite");
    // A file as the first layout left it: no unsent column yet.
    ASSERT_TRUE(Execute(path, records::SqliteMigrations().front().sql));
    ASSERT_TRUE(Execute(path, "PRAGMA user_version = 1"));
    const auto old = testsupport::PassedRecord();
    ASSERT_TRUE(Execute(
        path, "INSERT INTO records VALUES ('" + old.key +
                  "', '2026-01-02T03:04:05Z', '2026-01-02T03:05:00Z', 'st', 'op', 7, '460010000000001', "
                  "'V1', 'HW1', 'p.xml', '', 'passed', '');"
                  "INSERT INTO record_values VALUES ('" +
                  old.key + "', 0, 'tcp.Port', '5020')"));
    records::SqliteStore store;
    std::string error;
    ASSERT_TRUE(store.Open(path, &error)) << error;
    EXPECT_EQ(QueryNumber(path, "PRAGMA user_version"), records::SqliteSchemaVersion());
    std::vector<StoredRecord> found;
    ASSERT_TRUE(store.Find({}, &found, &error)) << error;
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].record.key, old.key);
    EXPECT_EQ(found[0].record.port, 7);
    EXPECT_FALSE(found[0].unsent) << "records from before the shared database stay local";
    EXPECT_EQ(found[0].record.values, (std::vector<records::SentValue>{{"tcp.Port", "5020"}}));
    // The new layout is usable at once.
    const auto fresh = testsupport::MismatchRecord();
    ASSERT_TRUE(store.Add(fresh, true, &error)) << error;
    ASSERT_TRUE(store.Find(Query("", "", false, true), &found, &error)) << error;
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].record, fresh);
}

TEST(SqliteMigration, NewerAndForeignFilesAreRefusedUntouched) {
    testsupport::TempFolder folder;
    const std::string newer = folder.File("newer.sqlite");
    ASSERT_TRUE(Execute(newer, "CREATE TABLE records (x); PRAGMA user_version = 99"));
    records::SqliteStore store;
    std::string error;
    EXPECT_FALSE(store.Open(newer, &error));
    EXPECT_NE(error.find("newer version"), std::string::npos) << error;
    EXPECT_NE(error.find(newer), std::string::npos) << error;
    EXPECT_EQ(QueryNumber(newer, "PRAGMA user_version"), 99);

    const std::string foreign = folder.File("foreign.sqlite");
    ASSERT_TRUE(Execute(foreign, "CREATE TABLE customers (name TEXT)"));
    EXPECT_FALSE(store.Open(foreign, &error));
    EXPECT_NE(error.find("not a records file"), std::string::npos) << error;
    EXPECT_EQ(QueryNumber(foreign, "SELECT count(*) FROM sqlite_master"), 1);

    const std::string notSqlite = folder.File("text.sqlite");
    std::ofstream(notSqlite) << "these are not the records you are looking for\n";
    EXPECT_FALSE(store.Open(notSqlite, &error));
    EXPECT_NE(error.find(notSqlite), std::string::npos) << error;
}

// Stations that start at the same moment open a new file together: while one of them holds the
// file for writing (it is switching it to WAL or laying out the tables), the others wait for it
// instead of failing with "database is locked".
TEST(SqliteOpen, AFileAnotherConnectionIsStillWritingIsOpenedOnceTheWriterIsDone) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("marlinq-records.sqlite");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              SQLITE_OK);
    // Like every station's connection, it waits for the others' locks: its commit needs the file
    // to itself for a moment.
    sqlite3_busy_timeout(other, records::kBusyTimeoutMs);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    // The other connection lets go a little after the open has begun; an open that gives up at
    // once has failed by then.
    int committed = SQLITE_ERROR;
    std::thread done([other, &committed] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        committed = sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    records::SqliteStore store;
    std::string error;
    const bool opened = store.Open(path, &error);
    done.join();
    sqlite3_close(other);
    EXPECT_EQ(committed, SQLITE_OK);
    EXPECT_TRUE(opened) << error;
    EXPECT_EQ(QueryText(path, "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(QueryNumber(path, "PRAGMA user_version"), records::SqliteSchemaVersion());
}

TEST(SqliteDefaultPath, TheFileLiesInTheFolderWhereTheToolKeepsItsFiles) {
    // The test entry gives each test a program folder of its own, where the tool keeps its files.
    const std::string folder = platform::GetAppDirectory();
    EXPECT_EQ(records::DefaultRecordsPath(), folder + "marlinq-records.sqlite");
    EXPECT_EQ(records::RecordsFileIn("/some/where/"), "/some/where/marlinq-records.sqlite");
}

}  // namespace
