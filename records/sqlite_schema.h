// The layout of the local records file and how an older file is brought up to date.
//
// The file's version is its `PRAGMA user_version`. Each migration takes the file from the version
// before it to its own; they run in order, all inside one transaction, so a file is either wholly
// at the new version or left as it was.
//
// Layout (version 2):
//   records             one row per record; record_key is its primary key; unsent is 1 while the
//                       record has still to reach the shared database
//   record_values       (record_key, position, name, value): the values sent, in order
//   record_differences  (record_key, position, name, sent, reported): the verify differences
// Values and differences are rows of their own rather than JSON text, so that a listing never has
// to parse what it reads back.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace records {

struct SqliteMigration {
    int version;  // the user_version the file has after it
    const char* sql;
};

// Every migration, lowest version first.
const std::vector<SqliteMigration>& SqliteMigrations();

// The version this program writes: the last migration's.
int SqliteSchemaVersion();

// Brings the open file db (named path in messages) up to SqliteSchemaVersion. A new, empty file
// gets the whole layout. Refused: a file of a newer version, and a file with tables but no
// version (some other program's database). false with the reason in *error.
bool MigrateSqlite(sqlite3* db, const std::string& path, std::string* error);

}  // namespace records
