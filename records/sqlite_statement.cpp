#include "records/sqlite_statement.h"

namespace records {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_stmt);
}

bool SqliteStatement::Bind(int index, std::string_view text) {
    // SQLITE_TRANSIENT: SQLite copies the text, so the caller's string may go away before Step.
    return sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) ==
           SQLITE_OK;
}

bool SqliteStatement::Bind(int index, long long number) {
    return sqlite3_bind_int64(m_stmt, index, number) == SQLITE_OK;
}

int SqliteStatement::Step() {
    return sqlite3_step(m_stmt);
}

bool SqliteStatement::Reset() {
    sqlite3_clear_bindings(m_stmt);
    return sqlite3_reset(m_stmt) == SQLITE_OK;
}

bool SqliteStatement::ColumnText(int column, std::size_t limit, std::string* text) const {
    const int type = sqlite3_column_type(m_stmt, column);
    if (type == SQLITE_NULL) {
        text->clear();
        return true;
    }
    if (type != SQLITE_TEXT) {
        return false;
    }
    // The length before the bytes: a huge value is refused without being copied.
    const int bytes = sqlite3_column_bytes(m_stmt, column);
    if (bytes < 0 || static_cast<std::size_t>(bytes) > limit) {
        return false;
    }
    const auto* data = sqlite3_column_text(m_stmt, column);
    text->assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(bytes));
    return true;
}

bool SqliteStatement::ColumnInteger(int column, long long* number) const {
    if (sqlite3_column_type(m_stmt, column) != SQLITE_INTEGER) {
        return false;
    }
    *number = sqlite3_column_int64(m_stmt, column);
    return true;
}

bool SqliteExec(sqlite3* db, const char* sql, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) {
        return true;
    }
    *error = message != nullptr ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

}  // namespace records
