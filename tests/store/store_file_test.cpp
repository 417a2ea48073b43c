// Creating, opening and closing store files: what makes a file a store,
// which file a path names, and that a failure leaves files and the current
// store alone.

#include "store_test_support.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zenvik::test {
namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::vector<std::string> filesIn(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

using CreateStore = StoreTest;

TEST_F(CreateStore, MakesAnEmptyStoreWithoutOpeningIt) {
    makeStore("sp.edb");
    const Text product = path(text::narrow("测试.edb"));
    EXPECT_TRUE(db.createStore(product, cardFields()));
    EXPECT_TRUE(fs::exists(dir.path() / "测试.edb"));
    EXPECT_EQ(db.currentAlias(), "sp");
    EXPECT_FALSE(db.selectStore(text::narrow("测试")));
    EXPECT_EQ(readFromDisk(product), Records{});
    // Nothing but the two stores is left in the directory.
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"sp.edb", "测试.edb"}));
}

TEST_F(CreateStore, ReplacesAStoreThatNobodyHasOpen) {
    const Text store = makeStore("s.edb", cards({"A", "B"}));
    ASSERT_TRUE(db.closeStore(store));
    EXPECT_TRUE(db.createStore(store, catalogueFields()));
    EXPECT_EQ(readFromDisk(store, 1), Records{});
    ASSERT_TRUE(db.openStore(store));
    EXPECT_TRUE(db.addRecord({"P", "ignored"}));
    EXPECT_EQ(readFromDisk(store, 2), (Records{{"P", ""}}));
}

TEST_F(CreateStore, FailsOnAnOpenStoreAndKeepsIt) {
    const Text store = makeStore("s.edb", cards({"A"}));
    EXPECT_FALSE(db.createStore(store, cardFields()));
    EXPECT_FALSE(db.createStore(path("S.EDB"), cardFields()));
    EXPECT_EQ(readAll(db), cards({"A"}));
    EXPECT_EQ(readFromDisk(store), cards({"A"}));
    EXPECT_TRUE(db.addRecord({"B"}));  // the open store still writes its own file
    EXPECT_EQ(readFromDisk(store).size(), 2u);
}

TEST_F(CreateStore, FailsOnAnInvalidFieldListAndKeepsTheOldFile) {
    const Text store = makeStore("s.edb", cards({"A"}));
    ASSERT_TRUE(db.closeStore(store));
    const auto field = [](Text name, std::size_t maxLength = 512) {
        return FieldSpec{std::move(name), FieldSpec::Type::Characters, maxLength};
    };
    const std::vector<std::vector<FieldSpec>> invalid{
        {},
        {field("")},
        {field(Text(17, 'n'))},
        {field("card"), field("CARD")},
        {field(text::narrow("卡号")), field(text::narrow("卡号"))},
        {field("card", 0)},
        {field("card", 1025)},
    };
    for (const auto& fields : invalid) EXPECT_FALSE(db.createStore(store, fields));
    EXPECT_EQ(readFromDisk(store), cards({"A"}));
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"s.edb"});

    const std::vector<std::vector<FieldSpec>> valid{
        {field(Text(16, 'n'), 1)},
        {field("card", 1024), field("Cards")},
    };
    for (const auto& fields : valid) EXPECT_TRUE(db.createStore(store, fields));
}

TEST_F(CreateStore, FailsWhenTheFileCannotBeWritten) {
    EXPECT_FALSE(db.createStore(path("missing/s.edb"), cardFields()));
    fs::create_directory(dir.path() / "d.edb");
    EXPECT_FALSE(db.createStore(path("d.edb"), cardFields()));
    EXPECT_TRUE(fs::is_directory(dir.path() / "d.edb"));
    EXPECT_FALSE(db.createStore("", cardFields()));
    EXPECT_FALSE(db.createStore(path("\xFF\xFF.edb"), cardFields()));  // no such character
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"d.edb"});
}

using OpenStore = StoreTest;

TEST_F(OpenStore, OpensAtTheFirstRecordAndBecomesCurrent) {
    const Text store = makeStore("s.edb", cards({"A", "B"}));
    RecordDatabase other;
    EXPECT_TRUE(other.openStore(store));
    EXPECT_EQ(other.position(), 0u);
    EXPECT_EQ(other.readField(1), "A");
    EXPECT_EQ(other.currentAlias(), "s");
    EXPECT_EQ(other.currentPath(), store);
}

TEST_F(OpenStore, ASecondOpenOfTheSamePathFailsWithoutRegardToCase) {
    const Text upper = path("S.edb");
    ASSERT_TRUE(RecordDatabase().createStore(upper, cardFields()));
    const Text lower = makeStore("s.edb", cards({"lower"}));
    makeStore("sp.edb");
    EXPECT_FALSE(db.openStore(lower));
    EXPECT_FALSE(db.openStore(upper));
    EXPECT_EQ(db.currentAlias(), "sp");
}

struct BadFile {
    const char* name;
    void (*make)(const fs::path& file, const fs::path& goodStore);
};

void PrintTo(const BadFile& file, std::ostream* out) { *out << file.name; }

class OpenBadFile : public StoreTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(OpenBadFile, FailsAndLeavesFileAndCurrentStoreAlone) {
    const Text good = makeStore("good.edb", cards(std::vector<Text>(3000, std::string(100, 'c'))));
    const fs::path bad = dir.path() / "bad.edb";
    GetParam().make(bad, dir.path() / "good.edb");
    makeStore("sp.edb", cards({"catalogue"}));
    const bool isFile = fs::is_regular_file(bad);
    const std::string before = isFile ? contentsOf(bad) : "";

    EXPECT_FALSE(db.openStore(path("bad.edb")));
    EXPECT_EQ(db.currentAlias(), "sp");
    EXPECT_EQ(db.readField(1), "catalogue");
    EXPECT_FALSE(db.selectStore("bad"));
    if (isFile) {
        EXPECT_EQ(contentsOf(bad), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RecordDatabase, OpenBadFile,
    ::testing::Values(
        BadFile{"Missing", [](const fs::path&, const fs::path&) {}},
        BadFile{"Empty", [](const fs::path& file, const fs::path&) { writeFile(file, ""); }},
        BadFile{"Garbage",
                [](const fs::path& file, const fs::path&) { writeFile(file, std::string(8192, '\x5a')); }},
        BadFile{"Directory", [](const fs::path& file, const fs::path&) { fs::create_directory(file); }},
        BadFile{"TruncatedStore",
                [](const fs::path& file, const fs::path& good) {
                    const std::string whole = contentsOf(good);
                    writeFile(file, whole.substr(0, whole.size() / 2));
                }},
        BadFile{"SqliteFileOfAnotherProgram",
                [](const fs::path& file, const fs::path&) {
                    sqlite3* other = nullptr;
                    sqlite3_open(file.c_str(), &other);
                    sqlite3_exec(other, "CREATE TABLE records(id INTEGER PRIMARY KEY, f1 BLOB)", nullptr,
                                 nullptr, nullptr);
                    sqlite3_close(other);
                }}),
    [](const auto& row) { return row.param.name; });

TEST_F(OpenStore, APathWithoutACharacterOfTheCodePageFails) {
    makeStore("sp.edb");
    EXPECT_FALSE(db.openStore(path("\xFF\xFF.edb")));
    EXPECT_FALSE(db.openStore(""));
    EXPECT_EQ(db.currentAlias(), "sp");
}

using CloseStore = StoreTest;

TEST_F(CloseStore, ClosingTheCurrentStoreLeavesNoneCurrent) {
    const Text catalogue = makeStore("sp.edb", cards({"catalogue"}));
    const Text stock = makeStore("stock.edb", cards({"A"}));
    EXPECT_TRUE(db.closeStore(path("STOCK.edb")));
    EXPECT_EQ(db.currentPath(), "");
    EXPECT_EQ(db.recordCount(), 0u);
    EXPECT_FALSE(db.selectStore("stock"));
    EXPECT_FALSE(db.closeStore(stock));

    EXPECT_TRUE(db.openStore(stock));  // open again, from the file
    EXPECT_EQ(readAll(db), cards({"A"}));
    EXPECT_TRUE(db.closeStore(catalogue));
    EXPECT_EQ(db.currentAlias(), "stock");
}

TEST(StoreFields, NamesAndLengthsOfTheSystemsStores) {
    const auto names = [](const std::vector<FieldSpec>& fields) {
        std::vector<Text> result;
        for (const FieldSpec& field : fields) {
            EXPECT_EQ(field.maxLength, 512u);
            result.push_back(field.name);
        }
        return result;
    };
    EXPECT_EQ(names(catalogueFields()), std::vector<Text>{text::narrow("商品名称")});
    EXPECT_EQ(names(cardFields()),
              (std::vector<Text>{text::narrow("卡号"), text::narrow("密码"), text::narrow("时间")}));
    EXPECT_EQ(text::narrow("卡号"), "\xBF\xA8\xBA\xC5");
}

} // namespace
} // namespace zenvik::test
