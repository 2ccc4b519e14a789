// The line's shared database on a PostgreSQL server: every station of the line adds its records
// there.
//
// Nothing here waits without a bound: the connection gives up after kConnectTimeoutMs, each
// statement after kStatementTimeoutMs (the server cancels it; and this side stops waiting for the
// answer then too, so a server that went silent does not hold the caller), and the socket drops a
// peer that stops acknowledging after kSocketTimeoutMs.
//
// Tables (layout version 1, kept in production_records_schema):
//   production_records             one row per record, record_key unique
//   production_record_values       (record_key, position, name, value)
//   production_record_differences  (record_key, position, name, sent, reported)
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "records/production_record.h"

struct pg_conn;
struct pg_result;

namespace records {

inline constexpr int kConnectTimeoutMs = 5000;
inline constexpr int kStatementTimeoutMs = 10000;
inline constexpr int kSocketTimeoutMs = 10000;

struct PostgresTimeouts {
    int connectMs = kConnectTimeoutMs;
    int statementMs = kStatementTimeoutMs;
    int socketMs = kSocketTimeoutMs;
};

class PostgresStore {
  public:
    explicit PostgresStore(PostgresTimeouts timeouts = {}) : m_timeouts(timeouts) {}
    ~PostgresStore();
    PostgresStore(const PostgresStore&) = delete;
    PostgresStore& operator=(const PostgresStore&) = delete;

    // Connects to url (see CheckPostgresUrl) and creates the tables when they are missing. false
    // with the reason in *error: the URL, the connection, or a layout this program does not know.
    bool Connect(const std::string& url, std::string* error);

    // Adds record in one statement; true once the server confirmed it holds the record (added
    // now, or there already under its key). A record that breaks the rules of CheckRecord is
    // refused before anything is sent.
    bool Add(const ProductionRecord& record, std::string* error);

  private:
    // Runs sql with text parameters and waits for its end within the statement bound. *result
    // (when given) gets the last result. false with the reason in *error.
    bool Run(const char* sql, const std::vector<std::string>& params, std::string* error,
             std::unique_ptr<pg_result, void (*)(pg_result*)>* result = nullptr);
    // Waits until the next result can be taken without blocking, at most until deadline.
    bool AwaitAnswer(std::chrono::steady_clock::time_point deadline, std::string* error);
    // Takes the connection just started through the server's handshake, waiting for its socket
    // here rather than inside libpq, so that the connect bound holds to the millisecond (libpq's
    // own bound counts whole seconds, two at least). false with the reason in *error.
    bool AwaitConnection(std::string* error);
    bool Prepare(std::string* error);
    std::string Failure(const std::string& doing) const;

    PostgresTimeouts m_timeouts;
    pg_conn* m_conn = nullptr;
    std::string m_shownUrl;
};

}  // namespace records
