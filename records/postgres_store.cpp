#include "records/postgres_store.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "records/libpq_library.h"
#include "records/postgres_url.h"
#include "records/record_check.h"
#include "records/socket_wait.h"

namespace records {

namespace {

using Result = std::unique_ptr<pg_result, void (*)(pg_result*)>;

constexpr int kLayoutVersion = 1;
constexpr int kAnswerGraceMs = 1000;
// Held while the tables are checked and created, so that stations starting at once on a new
// database do not race to create them. Any constant works; this one spells "mrlq".
constexpr const char* kLayoutLock = "SELECT pg_advisory_xact_lock(1836215409)";

constexpr const char* kCreateTables = R"sql(
CREATE TABLE production_records (
    record_key       text PRIMARY KEY,
    started          timestamptz NOT NULL,
    ended            timestamptz NOT NULL,
    station          text NOT NULL,
    operator         text NOT NULL,
    port             integer NOT NULL,
    imsi             text NOT NULL,
    app_version      text NOT NULL,
    hardware_version text NOT NULL,
    parameter_file   text NOT NULL,
    parameter_sha256 text NOT NULL,
    outcome          text NOT NULL CHECK (outcome IN ('passed', 'failed', 'mismatch')),
    failure          text NOT NULL,
    received         timestamptz NOT NULL DEFAULT now()
);
CREATE TABLE production_record_values (
    record_key text NOT NULL REFERENCES production_records (record_key) ON DELETE CASCADE,
    position   integer NOT NULL,
    name       text NOT NULL,
    value      text NOT NULL,
    PRIMARY KEY (record_key, position)
);
CREATE TABLE production_record_differences (
    record_key text NOT NULL REFERENCES production_records (record_key) ON DELETE CASCADE,
    position   integer NOT NULL,
    name       text NOT NULL,
    sent       text NOT NULL,
    reported   text NOT NULL,
    PRIMARY KEY (record_key, position)
);
CREATE INDEX production_records_imsi ON production_records (imsi);
CREATE INDEX production_records_started ON production_records (started);
INSERT INTO production_records_schema (version) VALUES (1);
)sql";

// The record, its values and its differences in one statement, so one transaction: the values
// go in only when the record row did (a record already there is left as it is).
constexpr const char* kInsertRecord = R"sql(
WITH r AS (
    INSERT INTO production_records (record_key, started, ended, station, operator, port, imsi, app_version,
                                    hardware_version, parameter_file, parameter_sha256, outcome, failure)
    VALUES ($1, $2, $3, $4, $5, $6::integer, $7, $8, $9, $10, $11, $12, $13)
    ON CONFLICT (record_key) DO NOTHING
    RETURNING record_key
), v AS (
    INSERT INTO production_record_values (record_key, position, name, value)
    SELECT r.record_key, t.ord - 1, t.name, t.value
    FROM r, unnest($14::text[], $15::text[]) WITH ORDINALITY AS t(name, value, ord)
), d AS (
    INSERT INTO production_record_differences (record_key, position, name, sent, reported)
    SELECT r.record_key, t.ord - 1, t.name, t.sent, t.reported
    FROM r, unnest($16::text[], $17::text[], $18::text[]) WITH ORDINALITY AS t(name, sent, reported, ord)
)
SELECT count(*) FROM r
)sql";

// texts as a PostgreSQL array literal: every element quoted, with its quotes and backslashes
// escaped, so that commas, braces, blanks and line ends stay inside their element.
template <typename Item, typename Field>
std::string ArrayLiteral(const std::vector<Item>& items, Field field) {
    std::string text = "{";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += i == 0 ? "\"" : ",\"";
        for (const char c : field(items[i])) {
            if (c == '"' || c == '\\') {
                text += '\\';
            }
            text += c;
        }
        text += '"';
    }
    return text + "}";
}

// libpq's message on one line, without its trailing line end.
std::string OneLine(const char* message) {
    std::string line;
    for (const char* p = message; p != nullptr && *p != '\0'; ++p) {
        if (*p == '\n') {
            line += "; ";
        } else if (*p != '\r') {
            line += *p;
        }
    }
    while (line.size() >= 2 && line.compare(line.size() - 2, 2, "; ") == 0) {
        line.resize(line.size() - 2);
    }
    return line.empty() ? "no reason given" : line;
}

// The loaded libpq: called only where a connection exists, so Connect has loaded it.
const LibPq& Pq() {
    std::string ignored;
    return *LoadLibPq(&ignored);
}

// "5 s", "0.2 s": a bound as the messages give it.
std::string SecondsText(int ms) {
    char text[32];
    if (ms % 1000 == 0) {
        std::snprintf(text, sizeof text, "%d s", ms / 1000);
    } else {
        std::snprintf(text, sizeof text, "%.1f s", ms / 1000.0);
    }
    return text;
}

}  // namespace

PostgresStore::~PostgresStore() {
    if (m_conn != nullptr) {
        Pq().finish(m_conn);
    }
}

std::string PostgresStore::Failure(const std::string& doing) const {
    return "cannot " + doing + " " + m_shownUrl + ": " + OneLine(Pq().errorMessage(m_conn));
}

bool PostgresStore::Connect(const std::string& url, std::string* error) {
    if (m_conn != nullptr) {
        Pq().finish(m_conn);
        m_conn = nullptr;
    }
    if (const std::string bad = CheckPostgresUrl(url); !bad.empty()) {
        *error = bad;
        return false;
    }
    m_shownUrl = ShownPostgresUrl(url);
    std::string problem;
    const LibPq* pq = LoadLibPq(&problem);
    if (pq == nullptr) {
        *error = "cannot connect to " + m_shownUrl + ": " + problem;
        return false;
    }
    const std::string socketTimeout = std::to_string(m_timeouts.socketMs);
    // The server's notices ("already exists, skipping") are no news to a station.
    const std::string options =
        "-c statement_timeout=" + std::to_string(m_timeouts.statementMs) + " -c client_min_messages=warning";
    // The URL first: the keywords after it take the place of what it says about them.
    const char* keywords[] = {
        "dbname",           "tcp_user_timeout", "keepalives",      "keepalives_idle",  "keepalives_interval",
        "keepalives_count", "options",          "client_encoding", "application_name", nullptr};
    const char* values[] = {url.c_str(), socketTimeout.c_str(), "1",    "5",       "2",
                            "3",         options.c_str(),       "UTF8", "marlinq", nullptr};
    m_conn = pq->connectStartParams(keywords, values, 1);
    if (m_conn == nullptr) {
        *error = "cannot connect to " + m_shownUrl + ": out of memory";
        return false;
    }
    if (!AwaitConnection(error)) {
        pq->finish(m_conn);
        m_conn = nullptr;
        return false;
    }
    if (!Prepare(error)) {
        if (m_conn != nullptr) {
            pq->finish(m_conn);
            m_conn = nullptr;
        }
        return false;
    }
    return true;
}

bool PostgresStore::AwaitConnection(std::string* error) {
    if (Pq().status(m_conn) == CONNECTION_BAD) {
        *error = Failure("connect to");
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeouts.connectMs);
    // A connection just started waits to be writable first.
    PostgresPollingStatusType polling = PGRES_POLLING_WRITING;
    for (;;) {
        if (polling == PGRES_POLLING_OK) {
            return true;
        }
        if (polling == PGRES_POLLING_FAILED) {
            *error = Failure("connect to");
            return false;
        }
        if (polling == PGRES_POLLING_READING || polling == PGRES_POLLING_WRITING) {
            const SocketWait wait = WaitForSocket(
                Pq().socket(m_conn),
                polling == PGRES_POLLING_READING ? SocketEvent::Readable : SocketEvent::Writable, deadline);
            if (wait == SocketWait::TimedOut) {
                *error = "cannot connect to " + m_shownUrl + ": timeout expired after " +
                         SecondsText(m_timeouts.connectMs);
                return false;
            }
            if (wait == SocketWait::Failed) {
                *error = "cannot connect to " + m_shownUrl + ": its socket cannot be waited for";
                return false;
            }
        }
        polling = Pq().connectPoll(m_conn);
    }
}

bool PostgresStore::Prepare(std::string* error) {
    std::string ignored;
    Result version(nullptr, Pq().clear);
    // The usual case in one round trip: the tables are there, at this layout.
    if (Run("SELECT max(version) FROM production_records_schema", {}, &ignored, &version) &&
        Pq().ntuples(version.get()) == 1 && std::atoi(Pq().getvalue(version.get(), 0, 0)) == kLayoutVersion) {
        return true;
    }
    if (m_conn == nullptr) {
        *error = ignored;  // the connection itself failed
        return false;
    }
    if (!Run("BEGIN", {}, error) || !Run(kLayoutLock, {}, error) ||
        !Run("CREATE TABLE IF NOT EXISTS production_records_schema (version integer NOT NULL)", {}, error) ||
        !Run("SELECT coalesce(max(version), 0) FROM production_records_schema", {}, error, &version)) {
        Run("ROLLBACK", {}, &ignored);
        return false;
    }
    const char* text = Pq().ntuples(version.get()) == 1 ? Pq().getvalue(version.get(), 0, 0) : "";
    const int found = std::atoi(text);
    if (found > kLayoutVersion) {
        *error = m_shownUrl + " holds records of a newer version of the tool (layout " +
                 std::to_string(found) + ", this one knows up to " + std::to_string(kLayoutVersion) + ")";
        Run("ROLLBACK", {}, &ignored);
        return false;
    }
    if (found == 0 && !Run(kCreateTables, {}, error)) {
        Run("ROLLBACK", {}, &ignored);
        return false;
    }
    return Run("COMMIT", {}, error);
}

bool PostgresStore::Add(const ProductionRecord& r, std::string* error) {
    if (const std::string bad = CheckRecord(r); !bad.empty()) {
        *error = "record not stored: " + bad;
        return false;
    }
    if (m_conn == nullptr) {
        *error = "no connection to the shared database";
        return false;
    }
    const std::vector<std::string> params = {
        r.key,
        r.started,
        r.ended,
        r.station,
        r.operatorName,
        std::to_string(r.port),
        r.imsi,
        r.appVersion,
        r.hardwareVersion,
        r.parameterFile,
        r.parameterSha256,
        OutcomeText(r.outcome),
        r.failure,
        ArrayLiteral(r.values, [](const SentValue& v) -> const std::string& { return v.name; }),
        ArrayLiteral(r.values, [](const SentValue& v) -> const std::string& { return v.value; }),
        ArrayLiteral(r.differences, [](const VerifyDifference& d) -> const std::string& { return d.name; }),
        ArrayLiteral(r.differences, [](const VerifyDifference& d) -> const std::string& { return d.sent; }),
        ArrayLiteral(r.differences,
                     [](const VerifyDifference& d) -> const std::string& { return d.reported; }),
    };
    Result result(nullptr, Pq().clear);
    return Run(kInsertRecord, params, error, &result);
}

bool PostgresStore::Run(const char* sql, const std::vector<std::string>& params, std::string* error,
                        Result* result) {
    if (m_conn == nullptr) {
        *error = "no connection to " + m_shownUrl;
        return false;
    }
    std::vector<const char*> values;
    for (const auto& p : params) {
        values.push_back(p.c_str());
    }
    const int sent = params.empty() ? Pq().sendQuery(m_conn, sql)
                                    : Pq().sendQueryParams(m_conn, sql, static_cast<int>(params.size()),
                                                           nullptr, values.data(), nullptr, nullptr, 0);
    if (sent == 0) {
        *error = Failure("send to");
        return false;
    }
    // Each answer is awaited here, not inside libpq, so that the wait has a bound of its own.
    // A little longer than the server's own bound, so that normally the server's cancel, with its
    // clear message, comes first.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeouts.statementMs + kAnswerGraceMs);
    bool ok = true;
    for (;;) {
        if (!AwaitAnswer(deadline, error)) {
            // The connection is left in the middle of a statement: no further use of it.
            Pq().finish(m_conn);
            m_conn = nullptr;
            return false;
        }
        pg_result* r = Pq().getResult(m_conn);
        if (r == nullptr) {
            break;
        }
        Result owned(r, Pq().clear);
        const auto status = Pq().resultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            if (ok) {
                *error = m_shownUrl + " refused a statement: " + OneLine(Pq().resultErrorMessage(r));
            }
            ok = false;
        } else if (result != nullptr) {
            *result = std::move(owned);
        }
    }
    return ok;
}

bool PostgresStore::AwaitAnswer(std::chrono::steady_clock::time_point deadline, std::string* error) {
    while (Pq().isBusy(m_conn) != 0) {
        const SocketWait wait = WaitForSocket(Pq().socket(m_conn), SocketEvent::Readable, deadline);
        if (wait == SocketWait::TimedOut) {
            *error = "no answer from " + m_shownUrl + " within " +
                     std::to_string((m_timeouts.statementMs + kAnswerGraceMs + 999) / 1000) + " s";
            return false;
        }
        if (wait == SocketWait::Failed || Pq().consumeInput(m_conn) == 0) {
            *error = Failure("read the answer of");
            return false;
        }
    }
    return true;
}

}  // namespace records
