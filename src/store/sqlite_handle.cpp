#include "store/sqlite_handle.h"

#include <sqlite3.h>

namespace zenvik::sqlite {

void ConnectionCloser::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

void StatementFinalizer::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

Connection openExisting(const std::string& utf8Path) {
    sqlite3* db = nullptr;
    const int result = sqlite3_open_v2(utf8Path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    Connection connection(db);
    if (result != SQLITE_OK) return {};
    // Another program peeking at a store (the sqlite3 shell) holds its lock
    // only briefly; wait for it rather than failing a delivery.
    sqlite3_busy_timeout(db, 1000);
    return connection;
}

bool exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

Statement prepare(sqlite3* db, std::string_view sql, bool persistent) {
    sqlite3_stmt* statement = nullptr;
    const unsigned flags = persistent ? SQLITE_PREPARE_PERSISTENT : 0;
    if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), flags, &statement, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(statement);
        return {};
    }
    return Statement(statement);
}

bool bindBlob(sqlite3_stmt* statement, int index, std::string_view bytes) {
    // A null pointer would bind NULL; an empty text must stay an empty BLOB.
    static const char empty = 0;
    const char* data = bytes.empty() ? &empty : bytes.data();
    return sqlite3_bind_blob(statement, index, data, static_cast<int>(bytes.size()), SQLITE_STATIC) ==
           SQLITE_OK;
}

bool bindInt(sqlite3_stmt* statement, int index, std::int64_t value) {
    return sqlite3_bind_int64(statement, index, value) == SQLITE_OK;
}

Step step(sqlite3_stmt* statement) {
    switch (sqlite3_step(statement)) {
    case SQLITE_ROW: return Step::Row;
    case SQLITE_DONE: return Step::Done;
    default: return Step::Error;
    }
}

bool run(sqlite3_stmt* statement) {
    const bool done = step(statement) == Step::Done;
    reset(statement);
    return done;
}

void reset(sqlite3_stmt* statement) {
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
}

Text columnBlob(sqlite3_stmt* statement, int column) {
    const void* data = sqlite3_column_blob(statement, column);
    const int size = sqlite3_column_bytes(statement, column);
    if (data == nullptr || size <= 0) return {};
    return Text(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

std::int64_t columnInt(sqlite3_stmt* statement, int column) {
    return sqlite3_column_int64(statement, column);
}

std::optional<std::int64_t> queryInt(sqlite3* db, const char* sql) {
    Statement statement = prepare(db, sql);
    if (!statement || step(statement.get()) != Step::Row) return std::nullopt;
    return columnInt(statement.get(), 0);
}

std::int64_t lastInsertRowid(sqlite3* db) { return sqlite3_last_insert_rowid(db); }

int changes(sqlite3* db) { return sqlite3_changes(db); }

bool inTransaction(sqlite3* db) { return sqlite3_get_autocommit(db) == 0; }

} // namespace zenvik::sqlite
