#pragma once
// Small owning wrappers over the SQLite C interface: a connection, a
// prepared statement, and the few calls the stores make. Paths are UTF-8
// file-system names; texts are bound and read as BLOBs so every byte of a
// narrow text comes back as it went in.

#include "text/narrow_text.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace zenvik::sqlite {

struct ConnectionCloser {
    void operator()(sqlite3* db) const;
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Opens an existing file for reading and writing; never creates one.
Connection openExisting(const std::string& utf8Path);

// Runs SQL that returns no rows (or whose rows do not matter).
bool exec(sqlite3* db, const char* sql);

// An empty statement when the SQL does not compile (e.g. a missing table).
// Persistent statements are kept for the life of the connection.
Statement prepare(sqlite3* db, std::string_view sql, bool persistent = false);

// Binding is 1-based; the text must stay alive until the statement is reset.
bool bindBlob(sqlite3_stmt* statement, int index, std::string_view bytes);
bool bindInt(sqlite3_stmt* statement, int index, std::int64_t value);

enum class Step { Row, Done, Error };
Step step(sqlite3_stmt* statement);
// Steps a statement that returns no rows, then resets it and clears its
// bindings so that it is ready (and holds no lock) for the next use.
bool run(sqlite3_stmt* statement);
void reset(sqlite3_stmt* statement);

Text columnBlob(sqlite3_stmt* statement, int column);
std::int64_t columnInt(sqlite3_stmt* statement, int column);

// The integer value of a one-row query such as "PRAGMA user_version".
std::optional<std::int64_t> queryInt(sqlite3* db, const char* sql);

std::int64_t lastInsertRowid(sqlite3* db);
int changes(sqlite3* db);
// True while an explicit transaction is open on the connection.
bool inTransaction(sqlite3* db);

} // namespace zenvik::sqlite
