#include "records/sqlite_store.h"

#include <chrono>

#include "platform/data_directory.h"
#include "records/record_check.h"
#include "records/sqlite_schema.h"
#include "records/sqlite_statement.h"

namespace records {

namespace {

constexpr const char* kInsertRecord =
    "INSERT INTO records (record_key, started, ended, station, operator, port, imsi, app_version, "
    "hardware_version, parameter_file, parameter_sha256, outcome, failure, unsent) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14) ON CONFLICT (record_key) DO "
    "NOTHING";
constexpr const char* kInsertValue =
    "INSERT INTO record_values (record_key, position, name, value) VALUES (?1, ?2, ?3, ?4)";
constexpr const char* kInsertDifference =
    "INSERT INTO record_differences (record_key, position, name, sent, reported) VALUES (?1, ?2, ?3, ?4, ?5)";

// The columns Find reads, in this order.
constexpr const char* kSelectRecords =
    "SELECT record_key, started, ended, station, operator, port, imsi, app_version, hardware_version, "
    "parameter_file, parameter_sha256, outcome, failure, unsent FROM records "
    "WHERE (?1 = '' OR started >= ?1) AND (?2 = '' OR imsi = ?2) "
    "AND (?3 = 0 OR outcome IN ('failed', 'mismatch')) AND (?4 = 0 OR unsent = 1) "
    "ORDER BY started, rowid";

// A column read back is refused beyond the longest text a record may hold; CheckRecord then holds
// each field to its own limit.
constexpr std::size_t kLongestText = kValueBytes > kMessageBytes ? kValueBytes : kMessageBytes;

// Reads one record row of kSelectRecords; false when a column is not what it must be.
bool ReadRecordRow(const SqliteStatement& s, StoredRecord* out) {
    ProductionRecord& r = out->record;
    std::string outcome;
    long long port = 0;
    long long unsent = 0;
    const bool read = s.ColumnText(0, kKeyDigits, &r.key) && s.ColumnText(1, 20, &r.started) &&
                      s.ColumnText(2, 20, &r.ended) && s.ColumnText(3, kNameBytes, &r.station) &&
                      s.ColumnText(4, kNameBytes, &r.operatorName) && s.ColumnInteger(5, &port) &&
                      s.ColumnText(6, 15, &r.imsi) && s.ColumnText(7, kNameBytes, &r.appVersion) &&
                      s.ColumnText(8, kNameBytes, &r.hardwareVersion) &&
                      s.ColumnText(9, kFileNameBytes, &r.parameterFile) &&
                      s.ColumnText(10, kDigestDigits, &r.parameterSha256) && s.ColumnText(11, 16, &outcome) &&
                      s.ColumnText(12, kMessageBytes, &r.failure) && s.ColumnInteger(13, &unsent);
    if (!read || port < 0 || port > kHighestPort || (unsent != 0 && unsent != 1)) {
        return false;
    }
    const auto parsed = ParseOutcome(outcome);
    if (!parsed) {
        return false;
    }
    r.port = static_cast<int>(port);
    r.outcome = *parsed;
    out->unsent = unsent == 1;
    return true;
}

// Puts the file in WAL mode. The switch needs the file to itself, and SQLite does not call the
// busy handler for it when another connection writes the file (as a process that opens a new file
// at the same moment does while it switches or lays out the tables): such a refusal is retried
// for as long as any other wait of this file.
bool SwitchToWal(sqlite3* db, std::string* why) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (;;) {
        if (SqliteExec(db, "PRAGMA journal_mode = WAL", why)) {
            return true;
        }
        if ((sqlite3_errcode(db) & 0xFF) != SQLITE_BUSY || std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        sqlite3_sleep(1);
    }
}

}  // namespace

std::string RecordsFileIn(const std::string& folder) {
    return folder + kRecordsFileName;
}

std::string DefaultRecordsPath() {
    return RecordsFileIn(platform::GetDataDirectory());
}

SqliteStore::~SqliteStore() {
    sqlite3_close(m_db);
}

std::string SqliteStore::Failure(const std::string& doing) const {
    return "cannot " + doing + " " + m_path + ": " + sqlite3_errmsg(m_db);
}

bool SqliteStore::Open(const std::string& path, std::string* error) {
    sqlite3_close(m_db);
    m_db = nullptr;
    m_path = path;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        *error = m_db != nullptr ? Failure("open") : "cannot open " + path + ": out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    // Set before anything reads the file, so that every step below waits for other writers.
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    std::string why;
    // WAL lets readers go on while one process writes; NORMAL sync is durable across a crash of
    // the program in WAL mode; foreign keys hold the values to their record.
    if (!SwitchToWal(m_db, &why) || !SqliteExec(m_db, "PRAGMA synchronous = NORMAL", &why) ||
        !SqliteExec(m_db, "PRAGMA foreign_keys = ON", &why)) {
        *error = "cannot open " + path + ": " + why;
        return false;
    }
    return MigrateSqlite(m_db, path, error);
}

bool SqliteStore::Add(const ProductionRecord& record, bool unsent, std::string* error) {
    if (const std::string bad = CheckRecord(record); !bad.empty()) {
        *error = "record not stored: " + bad;
        return false;
    }
    std::string why;
    if (!SqliteExec(m_db, "BEGIN IMMEDIATE", &why)) {
        *error = "cannot write a record to " + m_path + ": " + why;
        return false;
    }
    if (!Insert(record, unsent, error) || !SqliteExec(m_db, "COMMIT", &why)) {
        if (error->empty()) {
            *error = "cannot write a record to " + m_path + ": " + why;
        }
        SqliteExec(m_db, "ROLLBACK", &why);
        return false;
    }
    return true;
}

bool SqliteStore::Insert(const ProductionRecord& r, bool unsent, std::string* error) {
    error->clear();
    SqliteStatement row(m_db, kInsertRecord);
    const bool bound = row.Prepared() && row.Bind(1, r.key) && row.Bind(2, r.started) &&
                       row.Bind(3, r.ended) && row.Bind(4, r.station) && row.Bind(5, r.operatorName) &&
                       row.Bind(6, static_cast<long long>(r.port)) && row.Bind(7, r.imsi) &&
                       row.Bind(8, r.appVersion) && row.Bind(9, r.hardwareVersion) &&
                       row.Bind(10, r.parameterFile) && row.Bind(11, r.parameterSha256) &&
                       row.Bind(12, OutcomeText(r.outcome)) && row.Bind(13, r.failure) &&
                       row.Bind(14, static_cast<long long>(unsent ? 1 : 0));
    if (!bound || row.Step() != SQLITE_DONE) {
        *error = Failure("write a record to");
        return false;
    }
    if (sqlite3_changes(m_db) == 0) {
        return true;  // the same record was stored before
    }
    SqliteStatement value(m_db, kInsertValue);
    for (std::size_t i = 0; i < r.values.size(); ++i) {
        const auto& v = r.values[i];
        if (!value.Prepared() || !value.Reset() || !value.Bind(1, r.key) ||
            !value.Bind(2, static_cast<long long>(i)) || !value.Bind(3, v.name) || !value.Bind(4, v.value) ||
            value.Step() != SQLITE_DONE) {
            *error = Failure("write a record's values to");
            return false;
        }
    }
    SqliteStatement difference(m_db, kInsertDifference);
    for (std::size_t i = 0; i < r.differences.size(); ++i) {
        const auto& d = r.differences[i];
        if (!difference.Prepared() || !difference.Reset() || !difference.Bind(1, r.key) ||
            !difference.Bind(2, static_cast<long long>(i)) || !difference.Bind(3, d.name) ||
            !difference.Bind(4, d.sent) || !difference.Bind(5, d.reported) ||
            difference.Step() != SQLITE_DONE) {
            *error = Failure("write a record's differences to");
            return false;
        }
    }
    return true;
}

bool SqliteStore::ReadChildren(ProductionRecord* r, std::string* error) {
    SqliteStatement values(m_db,
                           "SELECT name, value FROM record_values WHERE record_key = ?1 ORDER BY position");
    if (!values.Prepared() || !values.Bind(1, r->key)) {
        *error = Failure("read");
        return false;
    }
    int step = SQLITE_ROW;
    // One row past the limit is enough for CheckRecord to name the excess.
    while (r->values.size() <= kValuesPerRecord && (step = values.Step()) == SQLITE_ROW) {
        SentValue v;
        if (!values.ColumnText(0, kParameterNameBytes, &v.name) ||
            !values.ColumnText(1, kValueBytes, &v.value)) {
            *error = m_path + ": record " + r->key + " holds a value that is not text of at most " +
                     std::to_string(kValueBytes) + " bytes";
            return false;
        }
        r->values.push_back(std::move(v));
    }
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        *error = Failure("read");
        return false;
    }
    SqliteStatement diffs(
        m_db, "SELECT name, sent, reported FROM record_differences WHERE record_key = ?1 ORDER BY position");
    if (!diffs.Prepared() || !diffs.Bind(1, r->key)) {
        *error = Failure("read");
        return false;
    }
    step = SQLITE_ROW;
    while (r->differences.size() <= kValuesPerRecord && (step = diffs.Step()) == SQLITE_ROW) {
        VerifyDifference d;
        if (!diffs.ColumnText(0, kParameterNameBytes, &d.name) ||
            !diffs.ColumnText(1, kValueBytes, &d.sent) || !diffs.ColumnText(2, kValueBytes, &d.reported)) {
            *error = m_path + ": record " + r->key + " holds a difference that is not text of at most " +
                     std::to_string(kValueBytes) + " bytes";
            return false;
        }
        r->differences.push_back(std::move(d));
    }
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        *error = Failure("read");
        return false;
    }
    return true;
}

bool SqliteStore::Find(const RecordQuery& query, std::vector<StoredRecord>* found, std::string* error) {
    found->clear();
    // One read transaction, so that the rows and their values come from one state of the file.
    std::string why;
    if (!SqliteExec(m_db, "BEGIN", &why)) {
        *error = "cannot read " + m_path + ": " + why;
        return false;
    }
    bool ok = true;
    {
        SqliteStatement rows(m_db, kSelectRecords);
        if (!rows.Prepared() || !rows.Bind(1, query.since) || !rows.Bind(2, query.imsi) ||
            !rows.Bind(3, static_cast<long long>(query.failedOnly ? 1 : 0)) ||
            !rows.Bind(4, static_cast<long long>(query.unsentOnly ? 1 : 0))) {
            *error = Failure("read");
            ok = false;
        }
        int step = SQLITE_ROW;
        while (ok && (step = rows.Step()) == SQLITE_ROW) {
            StoredRecord stored;
            if (!ReadRecordRow(rows, &stored)) {
                std::string key;
                rows.ColumnText(0, kKeyDigits, &key);
                *error =
                    m_path + ": the record '" + Shown(key) + "' has a field that is not what a record holds";
                ok = false;
                break;
            }
            if (!ReadChildren(&stored.record, error)) {
                ok = false;
                break;
            }
            if (const std::string bad = CheckRecord(stored.record); !bad.empty()) {
                *error = m_path + ": record " + stored.record.key + ": " + bad;
                ok = false;
                break;
            }
            found->push_back(std::move(stored));
        }
        if (ok && step != SQLITE_DONE) {
            *error = Failure("read");
            ok = false;
        }
    }
    SqliteExec(m_db, ok ? "COMMIT" : "ROLLBACK", &why);
    if (!ok) {
        found->clear();
    }
    return ok;
}

bool SqliteStore::MarkSent(const std::string& key, std::string* error) {
    SqliteStatement mark(m_db, "UPDATE records SET unsent = 0 WHERE record_key = ?1");
    if (!mark.Prepared() || !mark.Bind(1, key) || mark.Step() != SQLITE_DONE) {
        *error = Failure("mark a record sent in");
        return false;
    }
    return true;
}

bool SqliteStore::HasPassed(const std::string& imsi, const std::string& digest, bool* found,
                            std::string* error) {
    *found = false;
    if (imsi.empty() || digest.empty()) {
        return true;  // a unit whose IMSI or file is unknown is never taken for one already done
    }
    SqliteStatement look(
        m_db,
        "SELECT 1 FROM records WHERE imsi = ?1 AND parameter_sha256 = ?2 AND outcome = 'passed' "
        "LIMIT 1");
    if (!look.Prepared() || !look.Bind(1, imsi) || !look.Bind(2, digest)) {
        *error = Failure("read");
        return false;
    }
    const int step = look.Step();
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        *error = Failure("read");
        return false;
    }
    *found = step == SQLITE_ROW;
    return true;
}

}  // namespace records
