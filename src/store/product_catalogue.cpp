#include "store/product_catalogue.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace zenvik {

namespace fs = std::filesystem;

namespace {

const Text kCatalogueAlias = "sp";

// The longest file name the file system takes. A store is created under a
// temporary name beside its path, "<file>.new-XXXXXX", and SQLite writes that
// file's rollback journal next to it: the longest name a product's stores
// ever need is its discard store's temporary journal.
constexpr std::size_t kMaxFileNameBytes = 255;
const std::string kLongestStoreSuffix = "2.edb.new-XXXXXX-journal";

Text message(std::string_view utf8) { return text::narrow(utf8); }

std::optional<fs::path> fsPath(const Text& narrowPath) {
    std::optional<std::string> utf8 = text::toUtf8(narrowPath);
    if (!utf8) return std::nullopt;
    return fs::path(*utf8);
}

bool fileExists(const Text& narrowPath) {
    std::optional<fs::path> path = fsPath(narrowPath);
    std::error_code ec;
    return path && fs::exists(*path, ec);
}

void removeFile(const Text& narrowPath) {
    std::error_code ignored;
    if (std::optional<fs::path> path = fsPath(narrowPath)) fs::remove(*path, ignored);
}

// A name whose stores would be reached in place of another store's: the
// catalogue's alias, a different spelling of a listed product's alias, or a
// listed product's discard store ("X2") as this product's stock store.
bool sharesStoreWith(const Text& name, const Text& listed) {
    return text::equalsIgnoreAsciiCase(name, listed) || text::equalsIgnoreAsciiCase(name, listed + "2") ||
           text::equalsIgnoreAsciiCase(listed, name + "2");
}

// Why the name cannot be a product next to the listed ones; nothing when it can.
std::optional<Text> refusalOf(const Text& name, const std::vector<Text>& listed) {
    if (name.empty()) return message("商品名称不能为空");
    std::optional<std::string> utf8 = text::toUtf8(name);
    if (!utf8) return unconvertibleNameMessage();
    if (utf8->find('/') != std::string::npos || utf8->find('\0') != std::string::npos || *utf8 == "." ||
        *utf8 == "..") {
        return message("商品名称不能含有“/”，也不能是“.”或“..”");
    }
    if (utf8->size() + kLongestStoreSuffix.size() > kMaxFileNameBytes) return message("商品名称太长");
    if (text::equalsIgnoreAsciiCase(name, kCatalogueAlias)) return message("商品名称不能是“sp”");
    for (const Text& other : listed) {
        if (other == name) return message("该商品已存在");
    }
    for (const Text& other : listed) {
        if (sharesStoreWith(name, other)) {
            return message("商品名称与已有商品“") + other + message("”的卡密库重名");
        }
    }
    return std::nullopt;
}

// Creates the product's two empty stores; on failure none of them is left.
bool createProductStores(RecordDatabase& db, const Text& baseDirectory, const Text& name) {
    const Text stock = stockStorePath(baseDirectory, name);
    const Text discard = discardStorePath(baseDirectory, name);
    if (!db.createStore(stock, cardFields())) return false;
    if (!db.createStore(discard, cardFields())) {
        removeFile(stock);
        return false;
    }
    return true;
}

AddProductOutcome offerCatalogue(RecordDatabase& db, const Text& baseDirectory, Dialogs& dialogs) {
    if (!dialogs.askYesNo(message("商品库不存在，是否创建？"))) return AddProductOutcome::Declined;
    if (!db.createStore(cataloguePath(baseDirectory), catalogueFields())) {
        dialogs.inform(message("商品库创建失败"));
        return AddProductOutcome::Refused;
    }
    return AddProductOutcome::CatalogueCreated;
}

std::size_t cardCount(RecordDatabase& db, const Text& storePath) {
    db.openStore(storePath);  // fails harmlessly when the store is open already
    if (!db.selectStore(storePath)) return 0;
    return db.recordCount();
}

// Local time as "20261211-142501" for the names of deleted store files.
std::string fileTimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}

// "<stem>-<stamp>.edb" in dir, or with "-2", "-3" … appended to the stamp
// when that name is taken. The name rule leaves room for this: a stem is at
// most a product name and "2", and the name's store files need longer names.
fs::path freeDeletedName(const fs::path& dir, const std::string& stem, const std::string& stamp) {
    for (int n = 1;; ++n) {
        std::string name = stem + "-" + stamp;
        if (n > 1) name += "-" + std::to_string(n);
        fs::path candidate = dir / (name + ".edb");
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
}

struct Move {
    fs::path from;
    fs::path to;
};

void undoMoves(const std::vector<Move>& moves) {
    for (const Move& move : moves) {
        std::error_code ignored;
        fs::rename(move.to, move.from, ignored);
    }
}

// Moves the existing ones of the given store files into sp/deleted/. On
// failure the files that were moved are put back and nothing is returned.
std::optional<std::vector<Move>> moveToDeleted(const Text& baseDirectory, const std::vector<Text>& storePaths) {
    std::optional<fs::path> dir = fsPath(baseDirectory + "sp/deleted");
    if (!dir) return std::nullopt;
    std::error_code ec;
    fs::create_directories(*dir, ec);
    if (!fs::is_directory(*dir, ec)) return std::nullopt;

    const std::string stamp = fileTimeStamp();
    std::vector<Move> moves;
    for (const Text& storePath : storePaths) {
        std::optional<fs::path> from = fsPath(storePath);
        if (!from) {
            undoMoves(moves);
            return std::nullopt;
        }
        if (!fs::exists(fs::symlink_status(*from, ec))) continue;
        Move move{*from, freeDeletedName(*dir, from->stem().string(), stamp)};
        fs::rename(move.from, move.to, ec);
        if (ec) {
            undoMoves(moves);
            return std::nullopt;
        }
        moves.push_back(move);
    }
    return moves;
}

// Removes every catalogue record of the product, all together or none.
bool removeFromCatalogue(RecordDatabase& db, const Text& name) {
    if (!db.selectStore(kCatalogueAlias)) return false;
    auto isProduct = [&db, &name] { return db.readField(1) == name; };
    return db.inTransaction([&db, &isProduct] {
        db.goFirst();
        bool found = false;
        while (db.findRecord(isProduct)) {
            if (!db.deleteRecord()) return false;
            found = true;
            if (!db.skipRecord()) break;
        }
        return found && db.purgeDeleted();
    });
}

bool catalogueHolds(RecordDatabase& db, const Text& name) {
    if (!db.selectStore(kCatalogueAlias)) return false;
    db.goFirst();
    return db.findRecord([&db, &name] { return db.readField(1) == name; });
}

} // namespace

Text cataloguePath(const Text& baseDirectory) { return baseDirectory + "sp.edb"; }

Text stockStorePath(const Text& baseDirectory, const Text& product) {
    return baseDirectory + "sp/" + product + ".edb";
}

Text discardStorePath(const Text& baseDirectory, const Text& product) {
    return baseDirectory + "sp/" + product + "2.edb";
}

Text unconvertibleNameMessage() { return message("商品名称含有无法保存的字符"); }

std::vector<Text> productNames(RecordDatabase& db) {
    std::vector<Text> names;
    // Without the catalogue the current store is some other store: list nothing.
    if (!db.selectStore(kCatalogueAlias)) return names;
    db.goFirst();
    const std::size_t count = db.recordCount();
    for (std::size_t i = 0; i < count; ++i) {
        names.push_back(db.readField(1));
        db.skipRecord();
    }
    return names;
}

AddProductOutcome addProduct(RecordDatabase& db, const Text& baseDirectory, const Text& name,
                             Dialogs& dialogs) {
    if (!fileExists(cataloguePath(baseDirectory))) return offerCatalogue(db, baseDirectory, dialogs);
    if (!db.selectStore(kCatalogueAlias)) {
        dialogs.inform(message("商品库无法打开"));
        return AddProductOutcome::Refused;
    }
    if (std::optional<Text> refusal = refusalOf(name, productNames(db))) {
        dialogs.inform(*refusal);
        return AddProductOutcome::Refused;
    }
    if (!createProductStores(db, baseDirectory, name)) {
        dialogs.inform(message("商品卡密库创建失败"));
        return AddProductOutcome::Refused;
    }
    if (!db.selectStore(kCatalogueAlias) || !db.addRecord({name})) {
        removeFile(stockStorePath(baseDirectory, name));
        removeFile(discardStorePath(baseDirectory, name));
        dialogs.inform(message("商品库写入失败"));
        return AddProductOutcome::Refused;
    }
    return AddProductOutcome::Added;
}

bool deleteProduct(RecordDatabase& db, const Text& baseDirectory, const Text& name, Dialogs& dialogs) {
    if (!catalogueHolds(db, name)) {
        dialogs.inform(message("商品库中没有该商品"));
        return false;
    }
    const Text stock = stockStorePath(baseDirectory, name);
    const Text discard = discardStorePath(baseDirectory, name);
    const std::size_t unsold = cardCount(db, stock);
    const std::size_t sold = cardCount(db, discard);
    const Text question = message("确定删除商品“") + name + message("”吗？未售卡密") + std::to_string(unsold) +
                          message("张，已售卡密") + std::to_string(sold) +
                          message("张。卡密文件将移到sp/deleted目录。");
    if (!dialogs.askYesNo(question)) return false;

    // A store file cannot be moved soundly while SQLite holds it open.
    db.closeStore(stock);
    db.closeStore(discard);
    std::optional<std::vector<Move>> moves = moveToDeleted(baseDirectory, {stock, discard});
    if (!moves) {
        dialogs.inform(message("删除商品失败：卡密文件无法移动"));
        return false;
    }
    if (!removeFromCatalogue(db, name)) {
        undoMoves(*moves);
        dialogs.inform(message("删除商品失败：商品库无法写入"));
        return false;
    }
    return true;
}

} // namespace zenvik
