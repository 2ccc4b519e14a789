// Where a record goes when the shared database is not given, cannot be reached, or the record is
// broken.
#include "records/record_sink.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "records/sqlite_store.h"
#include "sample_records.h"
#include "temp_folder.h"

namespace {

// A port of 127.0.0.1 where nothing listens: bound by the test, then released.
int ClosedLocalPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
        port = ntohs(addr.sin_port);
    }
    ::close(s);
    return port;
}

std::vector<records::StoredRecord> Local(const std::string& path) {
    records::SqliteStore store;
    std::vector<records::StoredRecord> found;
    std::string error;
    EXPECT_TRUE(store.Open(path, &error)) << error;
    EXPECT_TRUE(store.Find({}, &found, &error)) << error;
    return found;
}

TEST(RecordSink, WithoutADatabaseTheRecordIsStoredLocallyAsSent) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("marlinq-records.sqlite");
    const auto r = testsupport::PassedRecord();
    const auto result = records::StoreRecord(r, "", path);
    EXPECT_TRUE(result.stored) << result.error;
    EXPECT_FALSE(result.unsent);
    EXPECT_EQ(result.note, "");
    const auto local = Local(path);
    ASSERT_EQ(local.size(), 1u);
    EXPECT_EQ(local[0].record, r);
    EXPECT_FALSE(local[0].unsent);
}

TEST(RecordSink, AnUnreachableDatabaseKeepsTheRecordLocallyToBeSent) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("marlinq-records.sqlite");
    const auto r = testsupport::MismatchRecord();
    const std::string url =
        "postgresql://marlinq@127.0.0.1:" + std::to_string(ClosedLocalPort()) + "/records";
    const auto result = records::StoreRecord(r, url, path);
    EXPECT_TRUE(result.stored) << result.error;
    EXPECT_TRUE(result.unsent);
    EXPECT_NE(result.note.find(r.key), std::string::npos) << result.note;
    EXPECT_NE(result.note.find("to be sent"), std::string::npos) << result.note;
    EXPECT_NE(result.note.find("cannot connect to postgresql://marlinq@127.0.0.1:"), std::string::npos)
        << result.note;
    const auto local = Local(path);
    ASSERT_EQ(local.size(), 1u);
    EXPECT_EQ(local[0].record, r);
    EXPECT_TRUE(local[0].unsent);
}

TEST(RecordSink, ARecordThatCanBeStoredNowhereIsAnError) {
    testsupport::TempFolder folder;
    // The local file's folder does not exist and the database cannot be reached.
    const std::string path = folder.File("missing/marlinq-records.sqlite");
    const std::string url =
        "postgresql://marlinq@127.0.0.1:" + std::to_string(ClosedLocalPort()) + "/records";
    const auto result = records::StoreRecord(testsupport::PassedRecord(), url, path);
    EXPECT_FALSE(result.stored);
    EXPECT_NE(result.error.find("cannot connect"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(path), std::string::npos) << result.error;

    const auto local = records::StoreRecord(testsupport::PassedRecord(), "", path);
    EXPECT_FALSE(local.stored);
    EXPECT_NE(local.error.find(path), std::string::npos) << local.error;
}

TEST(RecordSink, ABrokenRecordIsStoredNowhere) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("marlinq-records.sqlite");
    auto r = testsupport::PassedRecord();
    r.started = "yesterday";
    const auto result = records::StoreRecord(r, "postgresql://marlinq@127.0.0.1:1/records", path);
    EXPECT_FALSE(result.stored);
    EXPECT_NE(result.error.find("start time"), std::string::npos) << result.error;
    EXPECT_FALSE(std::filesystem::exists(path)) << "refused before anything was written";
}

TEST(RecordSink, SyncWithNothingWaitingSendsNothingAndNeedsNoServer) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("marlinq-records.sqlite");
    ASSERT_TRUE(records::StoreRecord(testsupport::PassedRecord(), "", path).stored);
    const auto result = records::SyncUnsent("postgresql://marlinq@127.0.0.1:1/records", path);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.sent, 0u);
    EXPECT_EQ(result.left, 0u);
}

}  // namespace
