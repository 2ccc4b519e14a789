// The PostgreSQL server of a test program: the one named by MARLINQ_TEST_POSTGRES_URL (as CI
// starts it), else one started for this program and stopped at its end. Each test gets a new
// database of its own on it. Without a server the PostgreSQL tests fail with the reason; they are
// never skipped.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "postgres_server.h"

namespace testsupport {

class PostgresEnvironment : public ::testing::Environment {
  public:
    void SetUp() override;
    void TearDown() override;

    // Empty when a server is there; otherwise why not.
    const std::string& Problem() const { return m_problem; }
    // A new, empty database; its URL.
    std::string NewDatabase();
    // The server started by this program; null when the tests use MARLINQ_TEST_POSTGRES_URL.
    PostgresServer* OwnServer() { return m_own.get(); }

  private:
    std::unique_ptr<PostgresServer> m_own;
    std::string m_adminUrl;
    std::string m_problem;
    std::vector<std::string> m_databases;
};

// The environment registered by the test program's main.
PostgresEnvironment& Postgres();

// url with its database replaced by database.
std::string WithDatabase(const std::string& url, const std::string& database);

// Runs sql on url; the rows of its result as text (a NULL as "<null>"). A failure fails the test.
std::vector<std::vector<std::string>> Sql(const std::string& url, const std::string& sql);

// The single value of sql's result.
std::string SqlValue(const std::string& url, const std::string& sql);

}  // namespace testsupport
