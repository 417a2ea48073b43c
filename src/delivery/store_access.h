#pragma once
// Reaching one store file of the delivery by its full path.

#include "store/record_database.h"

namespace zenvik {

// Opens the store when it is not open yet and makes it current. False when
// the store at exactly this path cannot be made current; the current store
// may then have changed, but no store's records have.
bool openAndSelect(RecordDatabase& db, const Text& path);

// Like openAndSelect, creating the store with the given fields first when no
// file is there.
bool openOrCreate(RecordDatabase& db, const Text& path, const std::vector<FieldSpec>& fields);

} // namespace zenvik
