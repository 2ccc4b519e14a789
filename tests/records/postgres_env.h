// The PostgreSQL server of a test program: the one named by MARLINQ_TEST_POSTGRES_URL (as CI
// starts it), else one started for this program and stopped at its end. Each test gets the
// program's own database on it, empty. Without a server the PostgreSQL tests fail with the
// reason; they are never skipped.
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
    // The program's database, emptied of what earlier tests left; its URL.
    std::string EmptyDatabase();

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

// The server's host and port in url (the port 5432 when it names none); false when url names no
// host. A host in brackets is not taken.
bool ServerAddress(const std::string& url, std::string* host, int* port);

// url with its host and port replaced by host and port.
std::string WithServerAddress(const std::string& url, const std::string& host, int port);

// Runs sql on url; the rows of its result as text (a NULL as "<null>"). A failure fails the test.
std::vector<std::vector<std::string>> Sql(const std::string& url, const std::string& sql);

// The single value of sql's result.
std::string SqlValue(const std::string& url, const std::string& sql);

}  // namespace testsupport
