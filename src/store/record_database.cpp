#include "store/record_database.h"

#include "store/sqlite_handle.h"
#include "store/store_file.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <string>

namespace zenvik {
namespace {

using store_file::Row;

// The alias is the file name without directory and extension. '/' and '.'
// are below the trail-byte range of two-byte characters, so a plain byte
// search cannot hit the middle of one.
Text aliasOf(const Text& path) {
    const std::size_t slash = path.rfind('/');
    Text name = slash == Text::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != Text::npos) name.resize(dot);
    return name;
}

// The texts of a new record: one per field, each cut to its field's length
// without splitting a two-byte character; missing texts stay empty.
std::vector<Text> fitTexts(const std::vector<Text>& texts, const std::vector<FieldSpec>& fields) {
    std::vector<Text> fitted(fields.size());
    for (std::size_t k = 0; k < fields.size() && k < texts.size(); ++k) {
        fitted[k] = text::cutToBytes(texts[k], fields[k].maxLength);
    }
    return fitted;
}

bool bindTexts(sqlite3_stmt* statement, const std::vector<Text>& texts) {
    for (std::size_t k = 0; k < texts.size(); ++k) {
        if (!sqlite::bindBlob(statement, static_cast<int>(k + 1), texts[k])) return false;
    }
    return true;
}

struct Store {
    Text path;
    Text alias;
    std::vector<FieldSpec> fields;
    sqlite::Connection db;
    sqlite::Statement insert;
    sqlite::Statement update;
    sqlite::Statement deleteRow;
    sqlite::Statement deleteAll;
    std::deque<Row> rows;
    std::vector<std::size_t> marked;  // indexes of rows marked by deleteRecord
    std::size_t position = 0;

    bool atEnd() const { return position >= rows.size(); }
};

} // namespace

struct RecordDatabase::Impl {
    std::vector<std::unique_ptr<Store>> stores;  // in the order they were opened
    Store* current = nullptr;

    // An open inTransaction: the store whose writes it holds, and how to
    // take back the memory changes when it does not commit.
    struct Transaction {
        Store* store = nullptr;
        Store* currentBefore = nullptr;
        std::size_t positionBefore = 0;
        bool failed = false;
        std::vector<std::function<void()>> undo;
    };
    std::optional<Transaction> transaction;

    Store* findOpen(const Text& path) const {
        for (const auto& store : stores) {
            if (text::equalsIgnoreAsciiCase(store->path, path)) return store.get();
        }
        return nullptr;
    }

    Store* lookUp(const Text& key) const {
        if (key.empty()) return nullptr;
        for (auto it = stores.rbegin(); it != stores.rend(); ++it) {
            if (text::equalsIgnoreAsciiCase((*it)->alias, key)) return it->get();
        }
        for (auto it = stores.rbegin(); it != stores.rend(); ++it) {
            if (text::equalsIgnoreAsciiCase((*it)->path, key)) return it->get();
        }
        return nullptr;
    }

    // Inside a transaction only its own store may be written, and nothing
    // more once one of its writes has failed.
    bool mayWrite(const Store* store) const {
        return store != nullptr &&
               (!transaction || (transaction->store == store && !transaction->failed));
    }

    // Called after a write's SQL: remembers a failure inside a transaction
    // (SQLite may already have rolled it back), or how to undo the memory
    // change that is about to follow a success.
    bool wrote(bool ok, std::function<void()> undo) {
        if (!transaction) return ok;
        if (!ok) {
            transaction->failed = true;
        } else {
            transaction->undo.push_back(std::move(undo));
        }
        return ok;
    }

    bool append(Store& store, const std::vector<Text>& texts) {
        std::vector<Text> fitted = fitTexts(texts, store.fields);
        const bool ok = bindTexts(store.insert.get(), fitted) && sqlite::run(store.insert.get());
        sqlite::reset(store.insert.get());
        Store* target = &store;
        if (!wrote(ok, [target] { target->rows.pop_back(); })) return false;
        store.rows.push_back({sqlite::lastInsertRowid(store.db.get()), std::move(fitted), false});
        store.position = store.rows.size() - 1;
        return true;
    }

    // The record keeps its row id and so its place in the queue.
    bool rewriteCurrent(Store& store, const std::vector<Text>& texts) {
        Row& row = store.rows[store.position];
        std::vector<Text> fitted = fitTexts(texts, store.fields);
        const int idParameter = static_cast<int>(fitted.size() + 1);
        const bool ok = bindTexts(store.update.get(), fitted) &&
                        sqlite::bindInt(store.update.get(), idParameter, row.id) &&
                        sqlite::run(store.update.get()) && sqlite::changes(store.db.get()) == 1;
        sqlite::reset(store.update.get());
        Store* target = &store;
        const std::size_t index = store.position;
        auto before = std::make_shared<std::vector<Text>>(row.fields);
        if (!wrote(ok, [target, index, before] { target->rows[index].fields = std::move(*before); })) {
            return false;
        }
        row.fields = std::move(fitted);
        return true;
    }

    bool markCurrent(Store& store) {
        Row& row = store.rows[store.position];
        if (row.deleted) return true;
        const bool ok = sqlite::bindInt(store.deleteRow.get(), 1, row.id) &&
                        sqlite::run(store.deleteRow.get());
        sqlite::reset(store.deleteRow.get());
        const std::size_t index = store.position;
        Store* target = &store;
        if (!wrote(ok, [target, index] {
                target->rows[index].deleted = false;
                target->marked.pop_back();
            })) {
            return false;
        }
        row.deleted = true;
        store.marked.push_back(store.position);
        return true;
    }

    // Erasing the marked rows one by one keeps taking the first card cheap on
    // a long stock: a deque erases at its front in constant time.
    void purge(Store& store) {
        std::vector<std::size_t> indexes = store.marked;
        std::sort(indexes.begin(), indexes.end());
        auto erased = std::make_shared<std::vector<std::pair<std::size_t, Row>>>();
        for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
            erased->emplace_back(*it, std::move(store.rows[*it]));
            store.rows.erase(store.rows.begin() + static_cast<std::ptrdiff_t>(*it));
        }
        Store* target = &store;
        auto marked = std::make_shared<std::vector<std::size_t>>(std::move(store.marked));
        wrote(true, [target, erased, marked] {
            for (auto it = erased->rbegin(); it != erased->rend(); ++it) {
                target->rows.insert(target->rows.begin() + static_cast<std::ptrdiff_t>(it->first),
                                    std::move(it->second));
            }
            target->marked = std::move(*marked);
        });
        store.marked.clear();
        store.position = 0;
    }

    bool clear(Store& store) {
        const bool ok = sqlite::run(store.deleteAll.get());
        auto saved = std::make_shared<std::pair<std::deque<Row>, std::vector<std::size_t>>>();
        Store* target = &store;
        if (!wrote(ok, [target, saved] {
                target->rows = std::move(saved->first);
                target->marked = std::move(saved->second);
            })) {
            return false;
        }
        saved->first.swap(store.rows);
        saved->second.swap(store.marked);
        store.position = 0;
        return true;
    }

    bool runTransaction(const std::function<bool()>& body) {
        Store* store = current;
        if (store == nullptr || transaction || !sqlite::exec(store->db.get(), "BEGIN IMMEDIATE")) {
            return false;
        }
        transaction = Transaction{store, current, store->position, false, {}};
        bool ok = body() && !transaction->failed;
        sqlite3* db = store->db.get();
        if (ok) ok = sqlite::exec(db, "COMMIT");
        if (!ok && sqlite::inTransaction(db)) sqlite::exec(db, "ROLLBACK");
        if (!ok) {
            for (auto it = transaction->undo.rbegin(); it != transaction->undo.rend(); ++it) (*it)();
            current = transaction->currentBefore;
            store->position = transaction->positionBefore;
        }
        transaction.reset();
        return ok;
    }

    struct Target {
        Store* store;
        std::string schema;  // its name while attached
    };

    // Resolves the targets of a move; each distinct store gets one schema.
    std::optional<std::vector<Target>> targetsOf(const std::vector<Append>& appends) const {
        std::vector<Target> targets;
        for (const Append& append : appends) {
            Store* store = lookUp(append.store);
            if (store == nullptr || store == current) return std::nullopt;
            const auto same = std::find_if(targets.begin(), targets.end(),
                                           [store](const Target& t) { return t.store == store; });
            const std::string schema = same != targets.end()
                                           ? same->schema
                                           : "target" + std::to_string(targets.size() + 1);
            targets.push_back({store, schema});
        }
        return targets;
    }

    bool move(const std::vector<Append>& appends) {
        Store* source = current;
        if (source == nullptr || transaction || appends.empty() || source->atEnd() ||
            source->rows[source->position].deleted) {
            return false;
        }
        std::optional<std::vector<Target>> targets = targetsOf(appends);
        if (!targets) return false;
        sqlite3* db = source->db.get();
        std::vector<std::string> attached;
        bool ok = true;
        for (const Target& target : *targets) {
            if (std::find(attached.begin(), attached.end(), target.schema) != attached.end()) continue;
            ok = ok && attach(db, *target.store, target.schema);
            if (ok) attached.push_back(target.schema);
            ok = ok && store_file::useRollbackJournal(db, target.schema);
        }
        std::vector<std::vector<Text>> added;
        std::vector<std::int64_t> ids;
        ok = ok && sqlite::exec(db, "BEGIN IMMEDIATE") &&
             deleteSourceRow(*source) && insertAll(db, *targets, appends, added, ids) &&
             sqlite::exec(db, "COMMIT");
        if (!ok && sqlite::inTransaction(db)) sqlite::exec(db, "ROLLBACK");
        for (const std::string& schema : attached) {
            const std::string sql = "DETACH DATABASE " + schema;
            sqlite::exec(db, sql.c_str());
        }
        if (!ok) return false;

        const std::size_t gone = source->position;
        source->rows.erase(source->rows.begin() + static_cast<std::ptrdiff_t>(gone));
        for (std::size_t& index : source->marked) {
            if (index > gone) --index;
        }
        source->position = 0;
        std::vector<std::size_t> indexes;
        for (std::size_t k = 0; k < targets->size(); ++k) {
            Store& target = *(*targets)[k].store;
            target.rows.push_back({ids[k], std::move(added[k]), false});
            indexes.push_back(target.rows.size() - 1);
        }
        // Backwards, so a store that got several records stays on its first.
        for (std::size_t k = targets->size(); k-- > 0;) (*targets)[k].store->position = indexes[k];
        current = targets->front().store;
        return true;
    }

    static bool attach(sqlite3* db, const Store& store, const std::string& schema) {
        sqlite::Statement statement = sqlite::prepare(db, "ATTACH DATABASE ? AS " + schema);
        const std::optional<std::string> fsPath = text::toUtf8(store.path);
        return statement && fsPath && sqlite::bindBlob(statement.get(), 1, *fsPath) &&
               sqlite::run(statement.get());
    }

    static bool deleteSourceRow(Store& source) {
        const bool ok = sqlite::bindInt(source.deleteRow.get(), 1, source.rows[source.position].id) &&
                        sqlite::run(source.deleteRow.get()) && sqlite::changes(source.db.get()) == 1;
        sqlite::reset(source.deleteRow.get());
        return ok;
    }

    static bool insertAll(sqlite3* db, const std::vector<Target>& targets,
                          const std::vector<Append>& appends, std::vector<std::vector<Text>>& added,
                          std::vector<std::int64_t>& ids) {
        std::vector<std::pair<Store*, sqlite::Statement>> inserts;  // one per distinct target
        for (std::size_t k = 0; k < targets.size(); ++k) {
            Store* store = targets[k].store;
            auto insert = std::find_if(inserts.begin(), inserts.end(),
                                       [store](const auto& known) { return known.first == store; });
            if (insert == inserts.end()) {
                inserts.emplace_back(store, sqlite::prepare(db, store_file::insertSql(
                                                                    targets[k].schema, store->fields.size())));
                insert = inserts.end() - 1;
            }
            std::vector<Text> fitted = fitTexts(appends[k].texts, store->fields);
            if (!insert->second || !bindTexts(insert->second.get(), fitted) ||
                !sqlite::run(insert->second.get())) {
                return false;
            }
            ids.push_back(sqlite::lastInsertRowid(db));
            added.push_back(std::move(fitted));
        }
        return true;
    }
};

RecordDatabase::RecordDatabase() : impl_(std::make_unique<Impl>()) {}
RecordDatabase::~RecordDatabase() = default;

bool RecordDatabase::createStore(const Text& path, const std::vector<FieldSpec>& fields) {
    const std::optional<std::string> fsPath = text::toUtf8(path);
    if (!fsPath || fsPath->empty() || impl_->findOpen(path) != nullptr) return false;
    return store_file::create(*fsPath, fields);
}

bool RecordDatabase::openStore(const Text& path) {
    const std::optional<std::string> fsPath = text::toUtf8(path);
    if (!fsPath || fsPath->empty() || impl_->findOpen(path) != nullptr) return false;
    std::optional<store_file::Contents> contents = store_file::load(*fsPath);
    if (!contents) return false;
    auto store = std::make_unique<Store>();
    sqlite3* db = contents->db.get();
    store->insert = sqlite::prepare(db, store_file::insertSql("main", contents->fields.size()), true);
    store->deleteRow = sqlite::prepare(db, "DELETE FROM main.records WHERE id = ?", true);
    store->update = sqlite::prepare(db, store_file::updateSql(contents->fields.size()), true);
    store->deleteAll = sqlite::prepare(db, "DELETE FROM main.records", true);
    if (!store->insert || !store->update || !store->deleteRow || !store->deleteAll) return false;
    store->path = path;
    store->alias = aliasOf(path);
    store->fields = std::move(contents->fields);
    store->db = std::move(contents->db);
    store->rows = std::move(contents->rows);
    impl_->stores.push_back(std::move(store));
    impl_->current = impl_->stores.back().get();
    return true;
}

bool RecordDatabase::selectStore(const Text& aliasOrPath) {
    Store* store = impl_->lookUp(aliasOrPath);
    if (store == nullptr) return false;
    impl_->current = store;
    return true;
}

void RecordDatabase::goFirst() {
    if (impl_->current != nullptr) impl_->current->position = 0;
}

std::size_t RecordDatabase::recordCount() const {
    return impl_->current == nullptr ? 0 : impl_->current->rows.size();
}

Text RecordDatabase::readField(std::size_t n) const {
    const Store* store = impl_->current;
    if (store == nullptr || store->atEnd() || n < 1 || n > store->fields.size()) return {};
    return store->rows[store->position].fields[n - 1];
}

bool RecordDatabase::skipRecord() {
    Store* store = impl_->current;
    if (store == nullptr || store->atEnd()) return false;
    ++store->position;
    return true;
}

bool RecordDatabase::findRecord(const std::function<bool()>& predicate) {
    Store* store = impl_->current;
    if (store == nullptr || store->atEnd()) return false;
    const std::size_t start = store->position;
    for (std::size_t i = start; i < store->rows.size(); ++i) {
        store->position = i;
        if (predicate()) return true;
    }
    store->position = start;
    return false;
}

bool RecordDatabase::addRecord(const std::vector<Text>& texts) {
    Store* store = impl_->current;
    return impl_->mayWrite(store) && impl_->append(*store, texts);
}

bool RecordDatabase::updateRecord(const std::vector<Text>& texts) {
    Store* store = impl_->current;
    return impl_->mayWrite(store) && !store->atEnd() && !store->rows[store->position].deleted &&
           impl_->rewriteCurrent(*store, texts);
}

bool RecordDatabase::deleteRecord() {
    Store* store = impl_->current;
    return impl_->mayWrite(store) && !store->atEnd() && impl_->markCurrent(*store);
}

bool RecordDatabase::purgeDeleted() {
    Store* store = impl_->current;
    if (!impl_->mayWrite(store)) return false;
    impl_->purge(*store);
    return true;
}

bool RecordDatabase::clearStore() {
    Store* store = impl_->current;
    return impl_->mayWrite(store) && impl_->clear(*store);
}

bool RecordDatabase::inTransaction(const std::function<bool()>& body) {
    return impl_->runTransaction(body);
}

bool RecordDatabase::moveCurrentRecord(const std::vector<Append>& appends) {
    return impl_->move(appends);
}

bool RecordDatabase::closeStore(const Text& path) {
    Store* store = impl_->findOpen(path);
    if (store == nullptr || impl_->transaction) return false;
    if (impl_->current == store) impl_->current = nullptr;
    std::erase_if(impl_->stores, [store](const auto& open) { return open.get() == store; });
    return true;
}

Text RecordDatabase::currentPath() const {
    return impl_->current == nullptr ? Text{} : impl_->current->path;
}

Text RecordDatabase::currentAlias() const {
    return impl_->current == nullptr ? Text{} : impl_->current->alias;
}

std::size_t RecordDatabase::position() const {
    return impl_->current == nullptr ? 0 : impl_->current->position;
}

std::vector<FieldSpec> catalogueFields() {
    return {{text::narrow("商品名称"), FieldSpec::Type::Characters, 512}};
}

std::vector<FieldSpec> cardFields() {
    return {{text::narrow("卡号"), FieldSpec::Type::Characters, 512},
            {text::narrow("密码"), FieldSpec::Type::Characters, 512},
            {text::narrow("时间"), FieldSpec::Type::Characters, 512}};
}

} // namespace zenvik
