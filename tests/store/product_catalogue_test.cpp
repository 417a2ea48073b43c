#include "store/product_catalogue.h"

#include "fake_dialogs.h"
#include "temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>
#include <sqlite3.h>

namespace zenvik {
namespace {

namespace fs = std::filesystem;
using test::FakeDialogs;
using test::TempDir;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

Text N(std::string_view utf8) { return text::narrow(utf8); }

Text repeated(std::string_view utf8, int times) {
    Text text;
    for (int i = 0; i < times; ++i) text += N(utf8);
    return text;
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file below dir with its bytes: compared before and after an action,
// it shows that nothing was created, removed or rewritten.
std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) files[fs::relative(entry.path(), dir).string()] = readBytes(entry.path());
    }
    return files;
}

std::vector<std::string> fileNames(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

fs::path fsPath(const Text& narrowPath) { return fs::path(text::toUtf8(narrowPath).value()); }

class ProductCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir.path() / "sp"); }

    // A catalogue open as at start-up, listing the given products (their
    // store files are not created).
    void makeCatalogue(const std::vector<Text>& listed = {}) {
        ASSERT_TRUE(db.createStore(cataloguePath(base), catalogueFields()));
        ASSERT_TRUE(db.openStore(cataloguePath(base)));
        for (const Text& name : listed) ASSERT_TRUE(db.addRecord({name}));
    }

    void add(const Text& name) {
        dialogs.messages.clear();
        ASSERT_EQ(addProduct(db, base, name, dialogs), AddProductOutcome::Added);
        ASSERT_THAT(dialogs.messages, IsEmpty());
    }

    void addCards(const Text& storePath, std::size_t count) {
        db.openStore(storePath);
        ASSERT_TRUE(db.selectStore(storePath));
        for (std::size_t i = 0; i < count; ++i) ASSERT_TRUE(db.addRecord({"card" + std::to_string(i), "pw"}));
    }

    std::size_t cardCount(const Text& storePath) {
        db.openStore(storePath);
        EXPECT_TRUE(db.selectStore(storePath));
        return db.recordCount();
    }

    TempDir dir;
    Text base = dir.base();
    fs::path sp = dir.path() / "sp";
    RecordDatabase db;
    FakeDialogs dialogs;
};

// The field names that a store file declares, read straight from its table
// of field definitions.
std::vector<Text> fieldNames(const fs::path& file) {
    std::vector<Text> names;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* select = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT name FROM fields ORDER BY number", -1, &select, nullptr) == SQLITE_OK) {
            while (sqlite3_step(select) == SQLITE_ROW) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(select, 0));
                names.emplace_back(bytes, static_cast<std::size_t>(sqlite3_column_bytes(select, 0)));
            }
        }
        sqlite3_finalize(select);
    }
    sqlite3_close(db);
    return names;
}

TEST_F(ProductCatalogueTest, NoCatalogueAndNoCreatesNothing) {
    dialogs.answers = {false};
    EXPECT_EQ(addProduct(db, base, "A", dialogs), AddProductOutcome::Declined);
    EXPECT_THAT(dialogs.questions, ElementsAre(N("商品库不存在，是否创建？")));
    EXPECT_THAT(dialogs.messages, IsEmpty());
    EXPECT_THAT(snapshot(dir.path()), IsEmpty());
}

TEST_F(ProductCatalogueTest, NoCatalogueAndYesCreatesAnEmptyCatalogueWithoutTheName) {
    dialogs.answers = {true};
    EXPECT_EQ(addProduct(db, base, "A", dialogs), AddProductOutcome::CatalogueCreated);
    EXPECT_THAT(dialogs.questions, ElementsAre(N("商品库不存在，是否创建？")));
    EXPECT_THAT(fileNames(dir.path()), ElementsAre("sp", "sp.edb"));
    EXPECT_THAT(fileNames(sp), IsEmpty());
    EXPECT_THAT(fieldNames(dir.path() / "sp.edb"), ElementsAre(N("商品名称")));
    ASSERT_TRUE(db.openStore(cataloguePath(base)));
    EXPECT_EQ(db.recordCount(), 0u);
}

TEST_F(ProductCatalogueTest, CatalogueThatCannotBeCreatedIsReported) {
    base = dir.base() + "missing/";
    dialogs.answers = {true};
    EXPECT_EQ(addProduct(db, base, "A", dialogs), AddProductOutcome::Refused);
    EXPECT_THAT(dialogs.messages, ElementsAre(N("商品库创建失败")));
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

TEST_F(ProductCatalogueTest, CatalogueFileThatIsNotOpenIsReported) {
    // e.g. made by another program after this one started
    ASSERT_TRUE(db.createStore(cataloguePath(base), catalogueFields()));
    EXPECT_EQ(addProduct(db, base, "A", dialogs), AddProductOutcome::Refused);
    EXPECT_THAT(dialogs.messages, ElementsAre(N("商品库无法打开")));
    EXPECT_THAT(fileNames(sp), IsEmpty());
}

TEST_F(ProductCatalogueTest, ProductsAreListedInOrderWithTwoEmptyCardStoresEach) {
    makeCatalogue();
    add("A");
    add("B");
    EXPECT_THAT(productNames(db), ElementsAre("A", "B"));
    EXPECT_THAT(fileNames(sp), ElementsAre("A.edb", "A2.edb", "B.edb", "B2.edb"));
    for (const std::string file : {"A.edb", "A2.edb", "B.edb", "B2.edb"}) {
        SCOPED_TRACE(file);
        EXPECT_THAT(fieldNames(sp / file), ElementsAre(N("卡号"), N("密码"), N("时间")));
        EXPECT_EQ(cardCount(base + "sp/" + file), 0u);
    }
}

TEST_F(ProductCatalogueTest, NamesAreTakenAsTypedAndUsedForTheFiles) {
    // 231 bytes of UTF-8 make the longest name whose store files, and the
    // files SQLite writes beside them while creating them, fit a file name.
    const std::vector<Text> names = {" A ", N("测试 卡密"), "sp2", "SP x", std::string(231, 'x'), repeated("卡", 77)};
    makeCatalogue();
    for (const Text& name : names) add(name);
    EXPECT_EQ(productNames(db), names);
    for (const Text& name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::exists(fsPath(stockStorePath(base, name))));
        // The stores take cards: the journal beside them fits too.
        addCards(discardStorePath(base, name), 1);
        EXPECT_EQ(cardCount(discardStorePath(base, name)), 1u);
    }
    EXPECT_TRUE(fs::exists(sp / " A .edb"));
    EXPECT_TRUE(fs::exists(sp / "测试 卡密2.edb"));
}

TEST_F(ProductCatalogueTest, ProductListWithoutCatalogueIsEmptyWhateverStoreIsCurrent) {
    ASSERT_TRUE(db.createStore(base + "sp/A.edb", cardFields()));
    addCards(base + "sp/A.edb", 2);
    EXPECT_THAT(productNames(db), IsEmpty());
}

struct Refusal {
    const char* label;
    Text name;
    Text message;
};
void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.label; }

class RefusedNameTest : public ProductCatalogueTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedNameTest, IsReportedAndCreatesNothing) {
    ASSERT_FALSE(GetParam().message.empty()) << "the message must be narrow text";
    makeCatalogue({"Card", "Gift2"});
    // Listed products with cards: a refusal must not replace their stores.
    for (const Text& product : {Text("Card"), Text("Gift2")}) {
        ASSERT_TRUE(db.createStore(stockStorePath(base, product), cardFields()));
        ASSERT_TRUE(db.createStore(discardStorePath(base, product), cardFields()));
        addCards(stockStorePath(base, product), 1);
    }
    const auto before = snapshot(dir.path());

    EXPECT_EQ(addProduct(db, base, GetParam().name, dialogs), AddProductOutcome::Refused);
    EXPECT_THAT(dialogs.messages, ElementsAre(GetParam().message));
    EXPECT_THAT(productNames(db), ElementsAre("Card", "Gift2"));
    EXPECT_EQ(snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    ProductCatalogue, RefusedNameTest,
    ::testing::Values(
        Refusal{"Empty", "", N("商品名称不能为空")},
        Refusal{"Listed", "Card", N("该商品已存在")},
        Refusal{"Slash", "a/b", N("商品名称不能含有“/”，也不能是“.”或“..”")},
        Refusal{"ZeroByte", std::string("a\0b", 3), N("商品名称不能含有“/”，也不能是“.”或“..”")},
        Refusal{"Dot", ".", N("商品名称不能含有“/”，也不能是“.”或“..”")},
        Refusal{"DotDot", "..", N("商品名称不能含有“/”，也不能是“.”或“..”")},
        Refusal{"LongAscii", std::string(232, 'x'), N("商品名称太长")},
        // 156 bytes of narrow text, but 234 bytes of UTF-8 on the disk
        Refusal{"LongChinese", repeated("卡", 78), N("商品名称太长")},
        Refusal{"CatalogueAlias", "sp", N("商品名称不能是“sp”")},
        Refusal{"CatalogueAliasUpper", "SP", N("商品名称不能是“sp”")},
        Refusal{"ListedInOtherCase", "card", N("商品名称与已有商品“Card”的卡密库重名")},
        Refusal{"StockIsListedDiscard", "CARD2", N("商品名称与已有商品“Card”的卡密库重名")},
        Refusal{"DiscardIsListedStock", "gift", N("商品名称与已有商品“Gift2”的卡密库重名")},
        Refusal{"NotCodePage936", "\x81", unconvertibleNameMessage()}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(ProductCatalogueTest, LeftoverStoreOfAnUnlistedProductIsReplaced) {
    makeCatalogue();
    ASSERT_TRUE(db.createStore(base + "sp/Old.edb", cardFields()));
    addCards(base + "sp/Old.edb", 3);
    ASSERT_TRUE(db.closeStore(base + "sp/Old.edb"));
    add("Old");
    EXPECT_EQ(cardCount(base + "sp/Old.edb"), 0u);
}

struct CreationFailure {
    const char* label;
    std::function<void(const fs::path& sp)> prepare;
    std::vector<std::string> filesLeft;
};
void PrintTo(const CreationFailure& failure, std::ostream* out) { *out << failure.label; }

class StoreCreationFailureTest : public ProductCatalogueTest,
                                 public ::testing::WithParamInterface<CreationFailure> {};

TEST_P(StoreCreationFailureTest, AddsNoRecordAndLeavesNoStrayFile) {
    makeCatalogue({"Card"});
    GetParam().prepare(sp);
    EXPECT_EQ(addProduct(db, base, "X", dialogs), AddProductOutcome::Refused);
    EXPECT_THAT(dialogs.messages, ElementsAre(N("商品卡密库创建失败")));
    EXPECT_THAT(productNames(db), ElementsAre("Card"));
    if (fs::exists(sp)) {
        EXPECT_EQ(fileNames(sp), GetParam().filesLeft);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ProductCatalogue, StoreCreationFailureTest,
    ::testing::Values(
        CreationFailure{"NoStoreDirectory", [](const fs::path& dir) { fs::remove(dir); }, {}},
        CreationFailure{"StockFileIsADirectory", [](const fs::path& dir) { fs::create_directory(dir / "X.edb"); },
                        {"X.edb"}},
        // The stock store is made first, so this one must be removed again.
        CreationFailure{"DiscardFileIsADirectory",
                        [](const fs::path& dir) { fs::create_directory(dir / "X2.edb"); }, {"X2.edb"}}),
    [](const auto& row) { return std::string(row.param.label); });

class DeleteProductTest : public ProductCatalogueTest {
protected:
    void SetUp() override {
        ProductCatalogueTest::SetUp();
        makeCatalogue();
        add("A");
        add("B");
        addCards(stockStorePath(base, "A"), 2);
        addCards(discardStorePath(base, "A"), 1);
        addCards(stockStorePath(base, "B"), 4);
    }

    fs::path deleted = sp / "deleted";
};

TEST_F(DeleteProductTest, YesMovesTheStoresAsideAndRemovesTheRecord) {
    const auto storesOfB = snapshot(sp);
    dialogs.answers = {true};
    EXPECT_TRUE(deleteProduct(db, base, "A", dialogs));
    EXPECT_THAT(dialogs.questions,
                ElementsAre(N("确定删除商品“A”吗？未售卡密2张，已售卡密1张。卡密文件将移到sp/deleted目录。")));
    EXPECT_THAT(dialogs.messages, IsEmpty());
    EXPECT_THAT(productNames(db), ElementsAre("B"));
    EXPECT_THAT(fileNames(sp), ElementsAre("B.edb", "B2.edb", "deleted"));
    EXPECT_EQ(readBytes(sp / "B.edb"), storesOfB.at("B.edb"));

    const std::vector<std::string> moved = fileNames(deleted);
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_TRUE(std::regex_match(moved[0], std::regex(R"(A-\d{8}-\d{6}\.edb)"))) << moved[0];
    EXPECT_TRUE(std::regex_match(moved[1], std::regex(R"(A2-\d{8}-\d{6}\.edb)"))) << moved[1];
    // The cards are still there, in files any later run can open.
    EXPECT_EQ(cardCount(base + "sp/deleted/" + moved[0]), 2u);
    EXPECT_EQ(cardCount(base + "sp/deleted/" + moved[1]), 1u);
}

TEST_F(DeleteProductTest, NoKeepsEverything) {
    const auto before = snapshot(dir.path());
    dialogs.answers = {false};
    EXPECT_FALSE(deleteProduct(db, base, "A", dialogs));
    EXPECT_THAT(dialogs.questions, ::testing::SizeIs(1));
    EXPECT_THAT(productNames(db), ElementsAre("A", "B"));
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST_F(DeleteProductTest, ProductCanBeAddedAgainAndDeletedAgain) {
    dialogs.answers = {true};
    ASSERT_TRUE(deleteProduct(db, base, "A", dialogs));
    add("A");
    EXPECT_THAT(productNames(db), ElementsAre("B", "A"));
    EXPECT_EQ(cardCount(stockStorePath(base, "A")), 0u);
    addCards(stockStorePath(base, "A"), 5);
    dialogs.answers = {true};
    ASSERT_TRUE(deleteProduct(db, base, "A", dialogs));
    EXPECT_EQ(fileNames(deleted).size(), 4u);
}

TEST_F(DeleteProductTest, NeverOverwritesAnEarlierDeletedFile) {
    // Files already named for this second and the next two, whichever
    // second the deletion runs in.
    fs::create_directories(deleted);
    const std::time_t now = std::time(nullptr);
    for (std::time_t t = now; t < now + 3; ++t) {
        std::tm local{};
        localtime_r(&t, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        std::ofstream(deleted / ("A-" + std::string(stamp) + ".edb")) << "earlier";
        std::ofstream(deleted / ("A2-" + std::string(stamp) + ".edb")) << "earlier";
    }
    dialogs.answers = {true};
    ASSERT_TRUE(deleteProduct(db, base, "A", dialogs));
    std::size_t earlier = 0;
    for (const std::string& name : fileNames(deleted)) earlier += readBytes(deleted / name) == "earlier";
    EXPECT_EQ(earlier, 6u);
    EXPECT_EQ(fileNames(deleted).size(), 8u);
}

TEST_F(DeleteProductTest, LongestNameCanBeDeleted) {
    const Text name(231, 'x');
    add(name);
    addCards(stockStorePath(base, name), 1);
    dialogs.answers = {true};
    ASSERT_TRUE(deleteProduct(db, base, name, dialogs));
    const std::vector<std::string> moved = fileNames(deleted);
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(cardCount(base + "sp/deleted/" + moved[0]) + cardCount(base + "sp/deleted/" + moved[1]), 1u);
}

TEST_F(DeleteProductTest, FailureToMoveKeepsTheProduct) {
    std::ofstream(deleted) << "a file where the directory belongs";
    const auto before = snapshot(sp);
    dialogs.answers = {true};
    EXPECT_FALSE(deleteProduct(db, base, "A", dialogs));
    EXPECT_THAT(dialogs.messages, ElementsAre(N("删除商品失败：卡密文件无法移动")));
    EXPECT_THAT(productNames(db), ElementsAre("A", "B"));
    EXPECT_EQ(snapshot(sp), before);
    EXPECT_EQ(cardCount(stockStorePath(base, "A")), 2u);
}

TEST_F(DeleteProductTest, EveryRecordOfAListedTwiceNameGoes) {
    ASSERT_TRUE(db.selectStore("sp"));
    ASSERT_TRUE(db.addRecord({"A"}));
    dialogs.answers = {true};
    EXPECT_TRUE(deleteProduct(db, base, "A", dialogs));
    EXPECT_THAT(productNames(db), ElementsAre("B"));
}

TEST_F(DeleteProductTest, UnlistedProductIsReportedWithoutAQuestion) {
    EXPECT_FALSE(deleteProduct(db, base, "C", dialogs));
    EXPECT_THAT(dialogs.questions, IsEmpty());
    EXPECT_THAT(dialogs.messages, ElementsAre(N("商品库中没有该商品")));
}

} // namespace
} // namespace zenvik
