#pragma once
// RecordDatabase: the record stores on disk. Every store is one SQLite file
// at exactly its path; records keep the order in which they were added. One
// store at a time is current for the whole process; every open store keeps
// its own current record position. Nothing throws: operations report
// success as a boolean or an empty result, and a failing operation leaves
// the stores and the current store as they were.

#include "text/narrow_text.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace zenvik {

struct FieldSpec {
    Text name;                  // 1 to 16 bytes, unique within a store without regard to case
    enum class Type { Characters } type = Type::Characters;  // the only kind of field: text
    std::size_t maxLength = 512;  // bytes, 1 to 1024
};

class RecordDatabase {
public:
    RecordDatabase();
    ~RecordDatabase();
    RecordDatabase(const RecordDatabase&) = delete;
    RecordDatabase& operator=(const RecordDatabase&) = delete;

    // Paths are narrow texts with "/" separators; the alias of a store is its
    // file name without directory and extension.
    bool createStore(const Text& path, const std::vector<FieldSpec>& fields);
    bool openStore(const Text& path);
    bool selectStore(const Text& aliasOrPath);

    void goFirst();
    std::size_t recordCount() const;
    Text readField(std::size_t n) const;  // 1-based; empty at the end position
    bool skipRecord();
    bool findRecord(const std::function<bool()>& predicate);
    bool addRecord(const std::vector<Text>& texts);
    // Rewrites the current record in place, texts cut as addRecord cuts them;
    // the record keeps its place. Fails at the end position.
    bool updateRecord(const std::vector<Text>& texts);
    bool deleteRecord();
    bool purgeDeleted();
    bool clearStore();

    // Runs body with every write to the current store inside one
    // transaction: the writes land together when body returns true, and none
    // of them lands (memory included) when it returns false or a write fails.
    bool inTransaction(const std::function<bool()>& body);

    // One atomic step across store files: deletes the current record of the
    // current store and appends each record to its target store (an open
    // store named by alias or full path). After a crash at any moment either
    // all of it happened or none. On success the first target becomes the
    // current store, on its new record; on failure nothing changed.
    struct Append {
        Text store;
        std::vector<Text> texts;
    };
    bool moveCurrentRecord(const std::vector<Append>& appends);

    // Closes an open store (a deleted product's); when it was the current
    // store, no store is current afterwards.
    bool closeStore(const Text& path);

    // Full path and alias of the current store; empty when none is current.
    Text currentPath() const;
    Text currentAlias() const;
    // Position of the current store (0..recordCount()).
    std::size_t position() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Field lists of the system's stores.
std::vector<FieldSpec> catalogueFields();  // "商品名称"
std::vector<FieldSpec> cardFields();       // "卡号", "密码", "时间"

} // namespace zenvik
