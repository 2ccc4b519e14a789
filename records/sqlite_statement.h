// A prepared SQLite statement that finalizes itself, with bounded reads of its columns.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace records {

class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Prepared() const { return m_stmt != nullptr; }
    // Binds parameter index (from 1); false when SQLite refuses.
    bool Bind(int index, std::string_view text);
    bool Bind(int index, long long number);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    bool Reset();

    // The text of column (from 0) into *text when it is text (or NULL, read as empty) of at most
    // limit bytes; false otherwise.
    bool ColumnText(int column, std::size_t limit, std::string* text) const;
    // The whole number of column into *number when it is an integer; false otherwise.
    bool ColumnInteger(int column, long long* number) const;

  private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Runs sql, one or more statements without results; false with SQLite's message in *error.
bool SqliteExec(sqlite3* db, const char* sql, std::string* error);

}  // namespace records
