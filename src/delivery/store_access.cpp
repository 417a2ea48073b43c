#include "delivery/store_access.h"

#include <filesystem>
#include <system_error>

namespace zenvik {

bool openAndSelect(RecordDatabase& db, const Text& path) {
    // An open store fails a second openStore harmlessly, so its result says
    // nothing; selecting by full path does. Paths match without regard to
    // case, so check that the store that became current is this very file
    // and not another product's.
    db.openStore(path);
    return db.selectStore(path) && db.currentPath() == path;
}

bool openOrCreate(RecordDatabase& db, const Text& path, const std::vector<FieldSpec>& fields) {
    const auto fileName = text::toUtf8(path);
    if (!fileName) return false;
    std::error_code error;
    // Only a missing file is created: an existing one that fails to open
    // must never be replaced by an empty store.
    if (!std::filesystem::exists(*fileName, error) && !error) db.createStore(path, fields);
    return openAndSelect(db, path);
}

} // namespace zenvik
