#include "records/sqlite_schema.h"

#include "records/sqlite_statement.h"

namespace records {

namespace {

constexpr const char* kVersion1 = R"sql(
CREATE TABLE records (
    record_key       TEXT PRIMARY KEY NOT NULL,
    started          TEXT NOT NULL,
    ended            TEXT NOT NULL,
    station          TEXT NOT NULL,
    operator         TEXT NOT NULL,
    port             INTEGER NOT NULL,
    imsi             TEXT NOT NULL,
    app_version      TEXT NOT NULL,
    hardware_version TEXT NOT NULL,
    parameter_file   TEXT NOT NULL,
    parameter_sha256 TEXT NOT NULL,
    outcome          TEXT NOT NULL,
    failure          TEXT NOT NULL
);
CREATE TABLE record_values (
    record_key TEXT NOT NULL REFERENCES records(record_key),
    position   INTEGER NOT NULL,
    name       TEXT NOT NULL,
    value      TEXT NOT NULL,
    PRIMARY KEY (record_key, position)
);
CREATE TABLE record_differences (
    record_key TEXT NOT NULL REFERENCES records(record_key),
    position   INTEGER NOT NULL,
    name       TEXT NOT NULL,
    sent       TEXT NOT NULL,
    reported   TEXT NOT NULL,
    PRIMARY KEY (record_key, position)
);
CREATE INDEX records_started ON records(started);
CREATE INDEX records_imsi ON records(imsi);
)sql";

// The shared database arrived with version 2: records written before it stay local (sent).
constexpr const char* kVersion2 = R"sql(
ALTER TABLE records ADD COLUMN unsent INTEGER NOT NULL DEFAULT 0;
CREATE INDEX records_unsent ON records(unsent) WHERE unsent = 1;
CREATE INDEX records_passed ON records(imsi, parameter_sha256) WHERE outcome = 'passed';
)sql";

bool ReadVersion(sqlite3* db, int* version, std::string* error) {
    SqliteStatement stmt(db, "PRAGMA user_version");
    long long v = 0;
    if (!stmt.Prepared() || stmt.Step() != SQLITE_ROW || !stmt.ColumnInteger(0, &v)) {
        *error = sqlite3_errmsg(db);
        return false;
    }
    *version = static_cast<int>(v);
    return true;
}

bool HasTables(sqlite3* db, bool* any, std::string* error) {
    SqliteStatement stmt(db, "SELECT count(*) FROM sqlite_master");
    long long n = 0;
    if (!stmt.Prepared() || stmt.Step() != SQLITE_ROW || !stmt.ColumnInteger(0, &n)) {
        *error = sqlite3_errmsg(db);
        return false;
    }
    *any = n != 0;
    return true;
}

bool Migrate(sqlite3* db, const std::string& path, std::string* error) {
    int version = 0;
    if (!ReadVersion(db, &version, error)) {
        return false;
    }
    if (version > SqliteSchemaVersion()) {
        *error = path + " was written by a newer version of the tool (records layout " +
                 std::to_string(version) + ", this one knows up to " + std::to_string(SqliteSchemaVersion()) +
                 ")";
        return false;
    }
    if (version == 0) {
        bool any = false;
        if (!HasTables(db, &any, error)) {
            return false;
        }
        if (any) {
            *error =
                path + " is not a records file of this tool (it holds tables but no records layout version)";
            return false;
        }
    }
    for (const auto& m : SqliteMigrations()) {
        if (m.version <= version) {
            continue;
        }
        std::string why;
        if (!SqliteExec(db, m.sql, &why) ||
            !SqliteExec(db, ("PRAGMA user_version = " + std::to_string(m.version)).c_str(), &why)) {
            *error = "cannot bring " + path + " to records layout " + std::to_string(m.version) + ": " + why;
            return false;
        }
    }
    return true;
}

}  // namespace

const std::vector<SqliteMigration>& SqliteMigrations() {
    static const std::vector<SqliteMigration> migrations = {{1, kVersion1}, {2, kVersion2}};
    return migrations;
}

int SqliteSchemaVersion() {
    return SqliteMigrations().back().version;
}

bool MigrateSqlite(sqlite3* db, const std::string& path, std::string* error) {
    // IMMEDIATE takes the write lock before the version is read, so that of several processes
    // opening a new file at once exactly one creates the layout and the others find it done.
    std::string why;
    if (!SqliteExec(db, "BEGIN IMMEDIATE", &why)) {
        *error = "cannot open " + path + ": " + why;
        return false;
    }
    if (!Migrate(db, path, error)) {
        SqliteExec(db, "ROLLBACK", &why);
        return false;
    }
    if (!SqliteExec(db, "COMMIT", &why)) {
        *error = "cannot open " + path + ": " + why;
        SqliteExec(db, "ROLLBACK", &why);
        return false;
    }
    return true;
}

}  // namespace records
