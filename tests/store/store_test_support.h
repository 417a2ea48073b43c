#pragma once
// A temporary directory with a RecordDatabase, and the few steps the store
// tests repeat: making a card store with given records and reading a store
// back, either from memory or afresh from its file.

#include "store/record_database.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zenvik::test {

using Records = std::vector<std::vector<Text>>;

// The records of the current store from the first one on, fields 1..fields.
// Leaves the position at the end.
inline Records readAll(RecordDatabase& db, std::size_t fields = 3) {
    Records records;
    db.goFirst();
    for (std::size_t i = 0, count = db.recordCount(); i < count; ++i) {
        std::vector<Text> record;
        for (std::size_t n = 1; n <= fields; ++n) record.push_back(db.readField(n));
        records.push_back(record);
        db.skipRecord();
    }
    return records;
}

// The records as a fresh process would find them on disk.
inline Records readFromDisk(const Text& path, std::size_t fields = 3) {
    RecordDatabase fresh;
    if (!fresh.openStore(path)) return {{"<cannot open>"}};
    return readAll(fresh, fields);
}

// Card records whose number is each given text, with fixed password and time.
inline Records cards(const std::vector<Text>& numbers) {
    Records records;
    for (const Text& number : numbers) records.push_back({number, "pw-" + number, "t"});
    return records;
}

class StoreTest : public ::testing::Test {
protected:
    Text path(const std::string& name) const { return dir.base() + name; }

    // Creates a card store at base + name holding records and opens it; it
    // is then the current store, positioned on its last record.
    Text makeStore(const std::string& name, const Records& records = {}) {
        const Text full = path(name);
        EXPECT_TRUE(db.createStore(full, cardFields()));
        EXPECT_TRUE(db.openStore(full));
        EXPECT_TRUE(db.inTransaction([&] {
            for (const auto& record : records) {
                if (!db.addRecord(record)) return false;
            }
            return true;
        }));
        return full;
    }

    TempDir dir;
    RecordDatabase db;
};

} // namespace zenvik::test
