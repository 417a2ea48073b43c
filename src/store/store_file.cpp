#include "store/store_file.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zenvik::store_file {
namespace {

constexpr std::int64_t applicationId = 0x5A4E564B;  // "ZNVK"
constexpr std::int64_t formatVersion = 1;
constexpr std::size_t maxNameBytes = 16;
constexpr std::size_t maxFieldBytes = 1024;
const Text typeText = "text";

std::string columnList(std::size_t fieldCount) {
    std::string list;
    for (std::size_t k = 1; k <= fieldCount; ++k) {
        if (k > 1) list += ", ";
        list += 'f';
        list += std::to_string(k);
    }
    return list;
}

std::string createRecordsSql(std::size_t fieldCount) {
    std::string sql = "CREATE TABLE records(id INTEGER PRIMARY KEY";
    for (std::size_t k = 1; k <= fieldCount; ++k) {
        sql += ", f";
        sql += std::to_string(k);
        sql += " BLOB";
    }
    return sql + ")";
}

bool writeSchema(sqlite3* db, const std::vector<FieldSpec>& fields) {
    const std::string header = "PRAGMA application_id = " + std::to_string(applicationId) +
                               "; PRAGMA user_version = " + std::to_string(formatVersion) + ";";
    if (!useRollbackJournal(db, "main") || !sqlite::exec(db, header.c_str()) ||
        !sqlite::exec(db, "BEGIN")) {
        return false;
    }
    bool ok = sqlite::exec(db,
                           "CREATE TABLE fields(number INTEGER PRIMARY KEY, name BLOB NOT NULL, "
                           "type TEXT NOT NULL, max_length INTEGER NOT NULL)") &&
              sqlite::exec(db, createRecordsSql(fields.size()).c_str());
    sqlite::Statement insert =
        ok ? sqlite::prepare(db, "INSERT INTO fields VALUES(?, ?, ?, ?)") : sqlite::Statement{};
    ok = ok && insert != nullptr;
    for (std::size_t k = 0; ok && k < fields.size(); ++k) {
        ok = sqlite::bindInt(insert.get(), 1, static_cast<std::int64_t>(k + 1)) &&
             sqlite::bindBlob(insert.get(), 2, fields[k].name) &&
             sqlite::bindBlob(insert.get(), 3, typeText) &&
             sqlite::bindInt(insert.get(), 4, static_cast<std::int64_t>(fields[k].maxLength)) &&
             sqlite::run(insert.get());
    }
    insert.reset();
    return sqlite::exec(db, ok ? "COMMIT" : "ROLLBACK") && ok;
}

// Makes a file that is created with the permissions a plain fopen would
// give; mkstemp alone would leave it readable by its owner only.
bool makeTemporary(std::string& path) {
    const int fd = mkstemp(path.data());
    if (fd < 0) return false;
    const mode_t mask = umask(0);
    umask(mask);
    const bool ok = fchmod(fd, 0666 & ~mask) == 0;
    close(fd);
    return ok;
}

void removeFile(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

// A journal left by a crash belongs to the old file; beside the new file
// SQLite would roll it into the wrong database. Opening and reading the old
// file lets SQLite finish with it; what still remains is removed.
bool settleOldFile(const std::string& path) {
    std::error_code error;
    const bool leftovers = std::filesystem::exists(path + "-journal", error) ||
                           std::filesystem::exists(path + "-wal", error);
    if (!leftovers) return true;
    if (sqlite::Connection old = sqlite::openExisting(path)) {
        sqlite::exec(old.get(), "SELECT count(*) FROM sqlite_master");
    }
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        std::filesystem::remove(path + suffix, error);
        if (error) return false;
    }
    return true;
}

// The rename is only durable once the directory entry is on disk.
void syncDirectory(const std::string& path) {
    const std::string directory = std::filesystem::path(path).parent_path().string();
    const int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

std::optional<std::vector<FieldSpec>> readFields(sqlite3* db) {
    sqlite::Statement select =
        sqlite::prepare(db, "SELECT number, name, type, max_length FROM fields ORDER BY number");
    if (!select) return std::nullopt;
    std::vector<FieldSpec> fields;
    for (;;) {
        const sqlite::Step step = sqlite::step(select.get());
        if (step == sqlite::Step::Done) break;
        if (step == sqlite::Step::Error) return std::nullopt;
        const std::int64_t number = sqlite::columnInt(select.get(), 0);
        const std::int64_t maxLength = sqlite::columnInt(select.get(), 3);
        if (number != static_cast<std::int64_t>(fields.size()) + 1 ||
            sqlite::columnBlob(select.get(), 2) != typeText || maxLength < 1 ||
            maxLength > static_cast<std::int64_t>(maxFieldBytes)) {
            return std::nullopt;
        }
        fields.push_back({sqlite::columnBlob(select.get(), 1), FieldSpec::Type::Characters,
                          static_cast<std::size_t>(maxLength)});
    }
    if (!validFields(fields)) return std::nullopt;
    return fields;
}

std::optional<std::deque<Row>> readRows(sqlite3* db, std::size_t fieldCount) {
    sqlite::Statement select = sqlite::prepare(
        db, "SELECT id, " + columnList(fieldCount) + " FROM records ORDER BY id");
    if (!select) return std::nullopt;
    std::deque<Row> rows;
    for (;;) {
        const sqlite::Step step = sqlite::step(select.get());
        if (step == sqlite::Step::Done) break;
        if (step == sqlite::Step::Error) return std::nullopt;
        Row row;
        row.id = sqlite::columnInt(select.get(), 0);
        row.fields.reserve(fieldCount);
        for (std::size_t k = 1; k <= fieldCount; ++k) {
            row.fields.push_back(sqlite::columnBlob(select.get(), static_cast<int>(k)));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool isStore(sqlite3* db) {
    return sqlite::queryInt(db, "PRAGMA application_id") == applicationId &&
           sqlite::queryInt(db, "PRAGMA user_version") == formatVersion;
}

} // namespace

bool validFields(const std::vector<FieldSpec>& fields) {
    if (fields.empty()) return false;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const FieldSpec& field = fields[k];
        if (field.name.empty() || field.name.size() > maxNameBytes || field.maxLength < 1 ||
            field.maxLength > maxFieldBytes || field.type != FieldSpec::Type::Characters) {
            return false;
        }
        for (std::size_t j = 0; j < k; ++j) {
            if (text::equalsIgnoreAsciiCase(fields[j].name, field.name)) return false;
        }
    }
    return true;
}

bool create(const std::string& utf8Path, const std::vector<FieldSpec>& fields) {
    if (!validFields(fields)) return false;
    std::string temporary = utf8Path + ".new-XXXXXX";
    if (!makeTemporary(temporary)) return false;
    bool ok = false;
    if (sqlite::Connection db = sqlite::openExisting(temporary)) ok = writeSchema(db.get(), fields);
    ok = ok && settleOldFile(utf8Path) && std::rename(temporary.c_str(), utf8Path.c_str()) == 0;
    if (ok) {
        syncDirectory(utf8Path);
    } else {
        removeFile(temporary);
        removeFile(temporary + "-journal");
    }
    return ok;
}

std::optional<Contents> load(const std::string& utf8Path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(utf8Path, error)) return std::nullopt;
    Contents contents;
    contents.db = sqlite::openExisting(utf8Path);
    sqlite3* db = contents.db.get();
    // Checked before anything is written, so a file of some other kind is
    // left exactly as it was.
    if (!db || !isStore(db) || !useRollbackJournal(db, "main") || !sqlite::exec(db, "BEGIN")) {
        return std::nullopt;
    }
    std::optional<std::vector<FieldSpec>> fields = readFields(db);
    std::optional<std::deque<Row>> rows;
    if (fields) rows = readRows(db, fields->size());
    sqlite::exec(db, "COMMIT");
    if (!rows) return std::nullopt;
    contents.fields = std::move(*fields);
    contents.rows = std::move(*rows);
    return contents;
}

std::string insertSql(const std::string& schema, std::size_t fieldCount) {
    std::string sql = "INSERT INTO " + schema + ".records(" + columnList(fieldCount) + ") VALUES(";
    for (std::size_t k = 0; k < fieldCount; ++k) sql += k == 0 ? "?" : ", ?";
    return sql + ")";
}

std::string updateSql(std::size_t fieldCount) {
    std::string sql = "UPDATE main.records SET ";
    for (std::size_t k = 1; k <= fieldCount; ++k) {
        if (k > 1) sql += ", ";
        sql += 'f';
        sql += std::to_string(k);
        sql += " = ?";
    }
    return sql + " WHERE id = ?";
}

bool useRollbackJournal(sqlite3* db, const std::string& schema) {
    const std::string sql = "PRAGMA " + schema + ".journal_mode = DELETE; PRAGMA " + schema +
                            ".synchronous = FULL;";
    return sqlite::exec(db, sql.c_str());
}

} // namespace zenvik::store_file
