#pragma once
// The on-disk form of one record store: a SQLite file with a table of field
// definitions and a table of records whose INTEGER PRIMARY KEY grows in the
// order the records were added. Texts are kept as BLOBs of narrow-text
// bytes. The file is marked with its own application id, so a SQLite file
// of some other program is not taken for a store.

#include "store/record_database.h"
#include "store/sqlite_handle.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zenvik::store_file {

struct Row {
    std::int64_t id = 0;
    std::vector<Text> fields;
    bool deleted = false;  // marked by deleteRecord, gone from the file already
};

struct Contents {
    sqlite::Connection db;
    std::vector<FieldSpec> fields;
    std::deque<Row> rows;
};

// Names 1 to 16 bytes and unique without regard to ASCII case, maxLength
// 1 to 1024, at least one field.
bool validFields(const std::vector<FieldSpec>& fields);

// Writes an empty store beside the path and renames it over the path, so
// the old file stays whole until the new one is complete.
bool create(const std::string& utf8Path, const std::vector<FieldSpec>& fields);

// Opens a store file with the rollback journal and full syncs, and reads its
// fields and all its records. Nothing when the file is missing or is not a
// whole store.
std::optional<Contents> load(const std::string& utf8Path);

// "INSERT INTO <schema>.records(f1, …, fN) VALUES(?, …, ?)"; schema is one
// of our own names ("main" or an attachment's).
std::string insertSql(const std::string& schema, std::size_t fieldCount);

// "UPDATE main.records SET f1 = ?, …, fN = ? WHERE id = ?".
std::string updateSql(std::size_t fieldCount);

// Sets the journal mode and sync level of one schema of a connection.
bool useRollbackJournal(sqlite3* db, const std::string& schema);

} // namespace zenvik::store_file
