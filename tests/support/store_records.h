#pragma once
// Reading a store back in tests: every record's fields in store order.

#include "store/record_database.h"

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

// The records of the open store at path; none when it is not open.
inline Records readStore(RecordDatabase& db, const Text& path, std::size_t fields = 3) {
    if (!db.selectStore(path)) return {};
    return readAll(db, fields);
}

} // namespace zenvik::test
