#include "postgres_env.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace testsupport {

namespace {

PostgresEnvironment* g_environment = nullptr;

}  // namespace

PostgresEnvironment& Postgres() {
    if (g_environment == nullptr) {
        // Owned by gtest once added.
        g_environment =
            static_cast<PostgresEnvironment*>(::testing::AddGlobalTestEnvironment(new PostgresEnvironment));
    }
    return *g_environment;
}

std::string WithDatabase(const std::string& url, const std::string& database) {
    const auto scheme = url.find("://");
    const auto slash = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
    const auto query = url.find('?');
    if (slash == std::string::npos || (query != std::string::npos && query < slash)) {
        return url.substr(0, query) + "/" + database + (query == std::string::npos ? "" : url.substr(query));
    }
    return url.substr(0, slash + 1) + database + (query == std::string::npos ? "" : url.substr(query));
}

namespace {

// Where the host and port of url lie: from *begin, *length characters.
bool AddressSpan(const std::string& url, std::size_t* begin, std::size_t* length) {
    const auto scheme = url.find("://");
    if (scheme == std::string::npos) {
        return false;
    }
    const auto end = std::min(url.find('/', scheme + 3), url.find('?', scheme + 3));
    const auto authority =
        url.substr(scheme + 3, end == std::string::npos ? std::string::npos : end - scheme - 3);
    const auto at = authority.rfind('@');
    *begin = scheme + 3 + (at == std::string::npos ? 0 : at + 1);
    *length = authority.size() - (*begin - scheme - 3);
    return *length > 0 && url[*begin] != '[';
}

}  // namespace

bool ServerAddress(const std::string& url, std::string* host, int* port) {
    std::size_t begin = 0;
    std::size_t length = 0;
    if (!AddressSpan(url, &begin, &length)) {
        return false;
    }
    const std::string address = url.substr(begin, length);
    const auto colon = address.rfind(':');
    *host = address.substr(0, colon);
    *port = colon == std::string::npos ? 5432 : std::atoi(address.c_str() + colon + 1);
    return !host->empty() && *port > 0 && *port < 65536;
}

std::string WithServerAddress(const std::string& url, const std::string& host, int port) {
    std::size_t begin = 0;
    std::size_t length = 0;
    if (!AddressSpan(url, &begin, &length)) {
        return url;
    }
    return url.substr(0, begin) + host + ":" + std::to_string(port) + url.substr(begin + length);
}

std::vector<std::vector<std::string>> Sql(const std::string& url, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    PGconn* conn = PQconnectdb(url.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        ADD_FAILURE() << "cannot connect to " << url << ": " << PQerrorMessage(conn);
        PQfinish(conn);
        return rows;
    }
    PGresult* result = PQexec(conn, sql.c_str());
    const auto status = PQresultStatus(result);
    if (status == PGRES_TUPLES_OK) {
        for (int r = 0; r < PQntuples(result); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < PQnfields(result); ++c) {
                row.push_back(PQgetisnull(result, r, c) != 0 ? "<null>" : PQgetvalue(result, r, c));
            }
            rows.push_back(std::move(row));
        }
    } else if (status != PGRES_COMMAND_OK) {
        ADD_FAILURE() << sql << ": " << PQresultErrorMessage(result);
    }
    PQclear(result);
    PQfinish(conn);
    return rows;
}

std::string SqlValue(const std::string& url, const std::string& sql) {
    const auto rows = Sql(url, sql);
    if (rows.size() != 1 || rows[0].size() != 1) {
        ADD_FAILURE() << sql << ": expected one value, got " << rows.size() << " rows";
        return "<none>";
    }
    return rows[0][0];
}

void PostgresEnvironment::SetUp() {
    const char* given = std::getenv("MARLINQ_TEST_POSTGRES_URL");
    if (given != nullptr && *given != '\0') {
        m_adminUrl = given;
    } else {
        m_own = std::make_unique<PostgresServer>();
        if (!m_own->Create(&m_problem)) {
            m_own.reset();
            m_problem = "the PostgreSQL tests need a server and none could be started: " + m_problem;
            return;
        }
        m_adminUrl = m_own->Url("postgres");
    }
}

void PostgresEnvironment::TearDown() {
    // On a server the tests did not start, they leave nothing behind.
    if (!m_own) {
        for (const auto& name : m_databases) {
            Sql(m_adminUrl, "DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
        }
    }
    m_own.reset();
}

std::string PostgresEnvironment::EmptyDatabase() {
    if (m_databases.empty()) {
        const std::string name = "marlinq_test_" + std::to_string(::getpid());
        Sql(m_adminUrl, "CREATE DATABASE " + name);
        m_databases.push_back(name);
        return WithDatabase(m_adminUrl, name);
    }
    // Everything a test made lives in the public schema: a new one leaves the database as empty
    // as a new database, in a fraction of the time a server takes to copy one.
    const std::string url = WithDatabase(m_adminUrl, m_databases.front());
    Sql(url, "DROP SCHEMA public CASCADE; CREATE SCHEMA public");
    return url;
}

}  // namespace testsupport

namespace {

// Registered before main runs the tests, so that the server starts once for the whole program.
[[maybe_unused]] const testsupport::PostgresEnvironment& g_registered = testsupport::Postgres();

}  // namespace
