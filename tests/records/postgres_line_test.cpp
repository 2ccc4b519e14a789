// A production line: several stations write to the shared database at once, and the database
// goes away in the middle of a run.
#include <gtest/gtest.h>

#include <map>

#include "concurrent_writers.h"
#include "platform/data_directory.h"
#include "postgres_env.h"
#include "records/record_sink.h"
#include "records/sqlite_store.h"
#include "sample_records.h"
#include "tcp_relay.h"
#include "tests/support/cli_capture.h"

namespace {

using testsupport::SqlValue;

constexpr int kWriters = 8;

class PostgresLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(testsupport::Postgres().Problem(), "");
        url = testsupport::Postgres().EmptyDatabase();
        // Where marlinq-cli of this process looks for the records file.
        localFile = records::DefaultRecordsPath();
    }

    // The record keys the server holds, each with how often.
    std::map<std::string, int> ServerKeys() {
        std::map<std::string, int> keys;
        for (const auto& row : testsupport::Sql(url, "SELECT record_key FROM production_records")) {
            ++keys[row[0]];
        }
        return keys;
    }

    std::vector<records::StoredRecord> LocalRecords(bool unsentOnly) {
        records::SqliteStore store;
        std::vector<records::StoredRecord> found;
        std::string error;
        EXPECT_TRUE(store.Open(localFile, &error)) << error;
        records::RecordQuery query;
        query.unsentOnly = unsentOnly;
        EXPECT_TRUE(store.Find(query, &found, &error)) << error;
        return found;
    }

    std::string url;
    std::string localFile;
};

TEST_F(PostgresLineTest, EightStationsWritingAtOnceLeaveEveryRecordOnceOnTheServer) {
    constexpr int kEach = 3;
    auto writers = testsupport::StartWriters(kWriters, {localFile, url, std::to_string(kEach)});
    const auto report = testsupport::WaitForWriters(writers);
    EXPECT_EQ(report.stored.size(), static_cast<std::size_t>(kWriters * kEach));
    EXPECT_TRUE(report.unsent.empty());
    const auto keys = ServerKeys();
    EXPECT_EQ(keys.size(), report.stored.size());
    for (const auto& key : report.stored) {
        const auto it = keys.find(key);
        EXPECT_TRUE(it != keys.end() && it->second == 1) << key;
    }
    EXPECT_EQ(SqlValue(url, "SELECT count(*) FROM production_record_values"),
              std::to_string(kWriters * kEach * 5));
    EXPECT_TRUE(LocalRecords(false).empty()) << "nothing waits locally while the server takes every record";
}

TEST_F(PostgresLineTest, RecordsWrittenWhileTheServerIsDownWaitAndAreSentOnceBySync) {
    // The stations reach the server through a relay of the test's own: when the relay goes away,
    // the server is gone for them (what they were connected to is cut, a new connection is
    // refused), and it comes back on the same port as a restarted server would.
    std::string host;
    int port = 0;
    ASSERT_TRUE(testsupport::ServerAddress(url, &host, &port)) << url;
    testsupport::TcpRelay server;
    std::string error;
    ASSERT_TRUE(server.Start(host, port, &error)) << error;
    const std::string stationUrl = testsupport::WithServerAddress(url, "127.0.0.1", server.Port());
    constexpr int kBefore = 1;
    constexpr int kAfter = 2;
    auto writers = testsupport::StartWriters(
        kWriters, {localFile, stationUrl, std::to_string(kBefore + kAfter), std::to_string(kBefore)});
    for (auto& w : writers) {
        ASSERT_TRUE(w->ReadUntil("paused", 20000)) << w->Output();
    }
    server.Stop();
    for (auto& w : writers) {
        ASSERT_TRUE(w->Write("go\n"));
    }
    const auto report = testsupport::WaitForWriters(writers);
    // Every caller was told its record is stored: on the server before the stop, locally after.
    EXPECT_EQ(report.stored.size(), static_cast<std::size_t>(kWriters * kBefore));
    EXPECT_EQ(report.unsent.size(), static_cast<std::size_t>(kWriters * kAfter));
    const auto waiting = LocalRecords(true);
    EXPECT_EQ(waiting.size(), report.unsent.size());

    // While the server is still down a sync sends nothing and keeps every record waiting.
    const auto failed = testsupport::RunCli({"records", "--sync", stationUrl});
    EXPECT_EQ(failed.code, 1) << failed.out << failed.err;
    EXPECT_NE(failed.err.find(std::to_string(kWriters * kAfter) + " still waiting"), std::string::npos)
        << failed.err;
    EXPECT_EQ(LocalRecords(true).size(), report.unsent.size());

    ASSERT_TRUE(server.Restart(&error)) << error;
    const auto sync = testsupport::RunCli({"records", "--sync", stationUrl});
    EXPECT_EQ(sync.code, 0) << sync.err;
    EXPECT_NE(sync.out.find("sent " + std::to_string(kWriters * kAfter) + " records"), std::string::npos)
        << sync.out;
    const auto again = testsupport::RunCli({"records", "--sync", stationUrl});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_NE(again.out.find("sent 0 records"), std::string::npos) << again.out;

    const auto keys = ServerKeys();
    EXPECT_EQ(keys.size(), static_cast<std::size_t>(kWriters * (kBefore + kAfter)));
    for (const auto* list : {&report.stored, &report.unsent}) {
        for (const auto& key : *list) {
            const auto it = keys.find(key);
            EXPECT_TRUE(it != keys.end() && it->second == 1) << key;
        }
    }
    EXPECT_TRUE(LocalRecords(true).empty());
    EXPECT_EQ(LocalRecords(false).size(), report.unsent.size()) << "the local copies stay, marked sent";
}

TEST_F(PostgresLineTest, ARecordConfirmedButNotMarkedIsSentAgainHarmlessly) {
    // As when the confirmation was lost: the record is on the server and still marked unsent here.
    const auto r = testsupport::PassedRecord();
    records::SqliteStore local;
    std::string error;
    ASSERT_TRUE(local.Open(localFile, &error)) << error;
    ASSERT_TRUE(local.Add(r, true, &error)) << error;
    ASSERT_TRUE(records::StoreRecord(r, url, localFile).stored);
    const auto result = records::SyncUnsent(url, localFile);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.sent, 1u);
    EXPECT_EQ(result.left, 0u);
    EXPECT_EQ(ServerKeys(), (std::map<std::string, int>{{r.key, 1}}));
}

}  // namespace
