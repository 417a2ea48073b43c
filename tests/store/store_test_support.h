#pragma once
// A temporary directory with a RecordDatabase, and the few steps the store
// tests repeat: making a card store with given records and reading a store
// back, either from memory or afresh from its file.

#include "store/record_database.h"
#include "store_records.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zenvik::test {

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
