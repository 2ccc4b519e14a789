// The shared database: its tables, a record arriving whole and once, and the bounds on waiting.
#include "records/postgres_store.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <libpq-fe.h>

#include "postgres_env.h"
#include "records/postgres_url.h"
#include "sample_records.h"

namespace {

using testsupport::Sql;
using testsupport::SqlValue;

class PostgresStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(testsupport::Postgres().Problem(), "");
        url = testsupport::Postgres().EmptyDatabase();
    }
    std::string url;
};

TEST_F(PostgresStoreTest, TheTablesAreCreatedOnceWithTheirLayoutVersion) {
    for (int i = 0; i < 3; ++i) {
        records::PostgresStore store;
        std::string error;
        ASSERT_TRUE(store.Connect(url, &error)) << error;
    }
    EXPECT_EQ(SqlValue(url, "SELECT count(*) || ':' || max(version) FROM production_records_schema"), "1:1");
    EXPECT_EQ(SqlValue(url,
                       "SELECT count(*) FROM information_schema.tables WHERE table_name IN "
                       "('production_records', 'production_record_values', 'production_record_differences')"),
              "3");
}

TEST_F(PostgresStoreTest, ARecordArrivesWholeAndASecondSendIsHarmless) {
    const auto r = testsupport::MismatchRecord();
    records::PostgresStore store;
    std::string error;
    ASSERT_TRUE(store.Connect(url, &error)) << error;
    ASSERT_TRUE(store.Add(r, &error)) << error;
    ASSERT_TRUE(store.Add(r, &error)) << "the same key again: " << error;

    const auto rows =
        Sql(url,
            "SELECT record_key, to_char(started AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), "
            "to_char(ended AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), station, operator, "
            "port, imsi, app_version, hardware_version, parameter_file, parameter_sha256, outcome, "
            "failure FROM production_records");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{r.key, r.started, r.ended, r.station, r.operatorName, "201",
                                                 r.imsi, r.appVersion, r.hardwareVersion, r.parameterFile,
                                                 r.parameterSha256, "mismatch", r.failure}));
    const auto values = Sql(url, "SELECT name, value FROM production_record_values ORDER BY position");
    ASSERT_EQ(values.size(), r.values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i], (std::vector<std::string>{r.values[i].name, r.values[i].value})) << i;
    }
    const auto diffs =
        Sql(url, "SELECT name, sent, reported FROM production_record_differences ORDER BY position");
    ASSERT_EQ(diffs.size(), r.differences.size());
    for (std::size_t i = 0; i < diffs.size(); ++i) {
        EXPECT_EQ(diffs[i], (std::vector<std::string>{r.differences[i].name, r.differences[i].sent,
                                                      r.differences[i].reported}))
            << i;
    }
}

TEST_F(PostgresStoreTest, ARecordWithoutValuesArrivesToo) {
    const auto r = testsupport::FailedRecord();
    records::PostgresStore store;
    std::string error;
    ASSERT_TRUE(store.Connect(url, &error)) << error;
    ASSERT_TRUE(store.Add(r, &error)) << error;
    EXPECT_EQ(SqlValue(url, "SELECT outcome || '|' || imsi || '|' || failure FROM production_records"),
              "failed||" + r.failure);
    EXPECT_EQ(SqlValue(url, "SELECT count(*) FROM production_record_values"), "0");
}

TEST_F(PostgresStoreTest, ABrokenRecordIsRefusedBeforeAnythingIsSent) {
    auto r = testsupport::PassedRecord();
    r.values.push_back({"tcp.Port", std::string("5\0"
                                                "020",
                                                5)});
    records::PostgresStore store;
    std::string error;
    ASSERT_TRUE(store.Connect(url, &error)) << error;
    EXPECT_FALSE(store.Add(r, &error));
    EXPECT_NE(error.find("value of tcp.Port"), std::string::npos) << error;
    EXPECT_EQ(SqlValue(url, "SELECT count(*) FROM production_records"), "0");
}

TEST_F(PostgresStoreTest, ADatabaseOfANewerLayoutIsRefused) {
    {
        records::PostgresStore store;
        std::string error;
        ASSERT_TRUE(store.Connect(url, &error)) << error;
    }
    Sql(url, "INSERT INTO production_records_schema VALUES (2)");
    records::PostgresStore store;
    std::string error;
    EXPECT_FALSE(store.Connect(url, &error));
    EXPECT_NE(error.find("newer version"), std::string::npos) << error;
}

TEST_F(PostgresStoreTest, AStatementStuckOnTheServerEndsWithinItsBound) {
    records::PostgresStore store({.connectMs = 2000, .statementMs = 100, .socketMs = 2000});
    std::string error;
    ASSERT_TRUE(store.Connect(url, &error)) << error;
    // Another session holds the table, so the insert waits on the server until a bound ends it.
    PGconn* holder = PQconnectdb(url.c_str());
    ASSERT_EQ(PQstatus(holder), CONNECTION_OK);
    PQclear(PQexec(holder, "BEGIN; LOCK TABLE production_records IN ACCESS EXCLUSIVE MODE"));
    EXPECT_FALSE(store.Add(testsupport::PassedRecord(), &error));
    EXPECT_NE(error.find("statement timeout"), std::string::npos) << error;
    PQfinish(holder);
    EXPECT_EQ(SqlValue(url, "SELECT count(*) FROM production_records"), "0");
}

TEST(PostgresUnreachable, AServerThatNeverAnswersEndsTheConnectionAttempt) {
    // A listener of the test's own that takes connections but never says a word.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(s, 4), 0);
    ASSERT_EQ(::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &length), 0);
    const std::string url =
        "postgresql://marlinq@127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/records";
    records::PostgresStore store({.connectMs = 200, .statementMs = 1000, .socketMs = 1000});
    std::string error;
    EXPECT_FALSE(store.Connect(url, &error));
    EXPECT_NE(error.find("cannot connect to postgresql://marlinq@127.0.0.1:"), std::string::npos) << error;
    EXPECT_NE(error.find(": timeout expired after 0.2 s"), std::string::npos) << error;
    ::close(s);
}

TEST(PostgresUrl, MalformedAddressesAreRefusedWithTheReasonAndNoPassword) {
    struct Case {
        std::string url;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"mysql://u@h:1/db", "does not start with postgresql://"},
        {"postgresql://u@h:1/db with blank", "blank or a control character"},
        {"postgresql://u:secret@h:1/db\n", "blank or a control character"},
        {"postgresql://u:secret@h:port/db", "names no port"},
        {"postgresql://u:secret@h:70000/db", "names no port"},
        {"postgresql://u:secret@h:5432/db?bogus=1", "cannot be read"},
        {"postgresql://u:secret@/db", "names no host"},
        {"postgresql://u@h:5432", "names no database"},
        {"postgresql://u@h:5432/" + std::string(1100, 'd'), "more than 1024"},
    };
    for (const auto& c : cases) {
        const std::string message = records::CheckPostgresUrl(c.url);
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.url << ": " << message;
        EXPECT_EQ(message.find("secret"), std::string::npos) << message;
    }
    EXPECT_EQ(records::CheckPostgresUrl("postgresql://marlinq@127.0.0.1:5432/records"), "");
    EXPECT_EQ(records::CheckPostgresUrl("postgres://line3@db.example.net/records?sslmode=require"), "");
    EXPECT_EQ(records::ShownPostgresUrl("postgresql://u:secret@h:5432/db"), "postgresql://u@h:5432/db");
}

}  // namespace
