// Writes that land together: inTransaction on one store, and moving the
// current record to other stores in one step. Memory and files must agree
// afterwards, whether the step landed or not.

#include "store_test_support.h"

#include <filesystem>
#include <fstream>

namespace zenvik::test {
namespace {

using Transaction = StoreTest;

TEST_F(Transaction, CommittedWritesLandInMemoryAndOnDisk) {
    const Text store = makeStore("s.edb", cards({"A", "B"}));
    db.goFirst();
    EXPECT_TRUE(db.inTransaction([&] {
        return db.deleteRecord() && db.purgeDeleted() && db.addRecord({"C", "pw-C", "t"}) &&
               db.addRecord({"D", "pw-D", "t"});
    }));
    EXPECT_EQ(db.readField(1), "D");
    EXPECT_EQ(readAll(db), cards({"B", "C", "D"}));
    EXPECT_EQ(readFromDisk(store), cards({"B", "C", "D"}));
}

TEST_F(Transaction, ABodyThatFailsChangesNothing) {
    const Text store = makeStore("s.edb", cards({"A", "B", "C"}));
    makeStore("sp.edb", cards({"catalogue"}));
    db.selectStore("s");
    db.goFirst();
    db.skipRecord();
    const std::vector<std::function<bool()>> bodies{
        [&] { return db.addRecord({"X"}) && false; },
        [&] { return db.deleteRecord() && db.purgeDeleted() && db.addRecord({"X"}) && false; },
        [&] { return db.addRecord({"X"}) && db.clearStore() && db.addRecord({"Y"}) && false; },
        [&] { return db.updateRecord({"X"}) && db.updateRecord({"Y"}) && false; },
        [&] {
            db.goFirst();
            db.deleteRecord();
            db.skipRecord();
            db.skipRecord();
            db.deleteRecord();
            db.purgeDeleted();
            return db.selectStore("sp") && false;
        },
    };
    for (const auto& body : bodies) {
        EXPECT_FALSE(db.inTransaction(body));
        EXPECT_EQ(db.currentAlias(), "s");
        EXPECT_EQ(db.position(), 1u);
        EXPECT_EQ(db.readField(1), "B");
        EXPECT_EQ(readAll(db), cards({"A", "B", "C"}));
        db.goFirst();
        db.skipRecord();
        EXPECT_EQ(readFromDisk(store), cards({"A", "B", "C"}));
    }
}

TEST_F(Transaction, OnlyTheStoreThatWasCurrentIsWritten) {
    const Text other = makeStore("other.edb", cards({"O"}));
    const Text store = makeStore("s.edb");
    EXPECT_TRUE(db.inTransaction([&] {
        EXPECT_TRUE(db.addRecord({"A", "pw-A", "t"}));
        EXPECT_TRUE(db.selectStore("other"));
        EXPECT_FALSE(db.addRecord({"X"}));
        EXPECT_FALSE(db.clearStore());
        EXPECT_FALSE(db.closeStore(store));
        EXPECT_FALSE(db.inTransaction([] { return true; }));
        EXPECT_FALSE(db.moveCurrentRecord({{"s", {"X"}}}));
        return db.selectStore("s");
    }));
    EXPECT_EQ(readFromDisk(store), cards({"A"}));
    EXPECT_EQ(readFromDisk(other), cards({"O"}));
}

TEST_F(Transaction, ManyWritesInOneTransaction) {
    const Text store = makeStore("s.edb");
    std::vector<Text> numbers;
    for (int i = 0; i < 5000; ++i) numbers.push_back(std::to_string(i));
    EXPECT_TRUE(db.inTransaction([&] {
        for (const Text& number : numbers) {
            if (!db.addRecord({number, "pw-" + number, "t"})) return false;
        }
        return true;
    }));
    EXPECT_EQ(readFromDisk(store), cards(numbers));
}

class MoveRecord : public StoreTest {
protected:
    void SetUp() override {
        orders = makeStore("orders.edb", {{"order-1", "", ""}});
        sold = makeStore("sold.edb", cards({"Z"}));
        stock = makeStore("stock.edb", cards({"A", "B", "C"}));
        db.goFirst();
    }

    void expectUnchanged() {
        EXPECT_EQ(db.currentAlias(), "stock");
        EXPECT_EQ(db.readField(1), "A");
        EXPECT_EQ(readAll(db), cards({"A", "B", "C"}));
        EXPECT_EQ(readFromDisk(stock), cards({"A", "B", "C"}));
        EXPECT_EQ(readFromDisk(sold), cards({"Z"}));
        EXPECT_EQ(readFromDisk(orders), (Records{{"order-1", "", ""}}));
    }

    Text orders, sold, stock;
};

TEST_F(MoveRecord, TakesTheCardFromStockAndAppendsItElsewhere) {
    EXPECT_TRUE(db.moveCurrentRecord({{"sold", {"A", "pw-A", "t"}}, {orders, {"order-2", "A"}}}));
    EXPECT_EQ(db.currentAlias(), "sold");
    EXPECT_EQ(db.position(), 1u);
    EXPECT_EQ(db.readField(1), "A");
    EXPECT_EQ(readAll(db), cards({"Z", "A"}));
    db.selectStore("stock");
    EXPECT_EQ(db.position(), 0u);
    EXPECT_EQ(readAll(db), cards({"B", "C"}));
    db.selectStore("orders");
    EXPECT_EQ(db.readField(1), "order-2");

    EXPECT_EQ(readFromDisk(stock), cards({"B", "C"}));
    EXPECT_EQ(readFromDisk(sold), cards({"Z", "A"}));
    EXPECT_EQ(readFromDisk(orders), (Records{{"order-1", "", ""}, {"order-2", "A", ""}}));

    // The stores stay writable on their own connections afterwards.
    EXPECT_TRUE(db.addRecord({"order-3"}));
    db.selectStore("stock");
    db.goFirst();
    EXPECT_TRUE(db.deleteRecord() && db.purgeDeleted());
    EXPECT_EQ(readFromDisk(orders).size(), 3u);
    EXPECT_EQ(readFromDisk(stock), cards({"C"}));
}

TEST_F(MoveRecord, TextsAreCutToTheTargetsFieldLengths) {
    EXPECT_TRUE(db.moveCurrentRecord({{"sold", {Text(600, 'n'), "pw", "t", "extra"}}}));
    EXPECT_EQ(readFromDisk(sold).back(), (std::vector<Text>{Text(512, 'n'), "pw", "t"}));
}

TEST_F(MoveRecord, FailsWithoutChangingAnything) {
    const std::vector<std::vector<RecordDatabase::Append>> refused{
        {},
        {{"nowhere", {"A"}}},
        {{"sold", {"A"}}, {"nowhere", {"A"}}},
        {{"stock", {"A"}}},
        {{"", {"A"}}},
    };
    for (const auto& appends : refused) {
        EXPECT_FALSE(db.moveCurrentRecord(appends));
        expectUnchanged();
        db.goFirst();
    }
}

TEST_F(MoveRecord, FailsAtTheEndPosition) {
    db.goFirst();
    for (int i = 0; i < 3; ++i) db.skipRecord();
    EXPECT_FALSE(db.moveCurrentRecord({{"sold", {"A"}}}));
    EXPECT_EQ(readFromDisk(sold), cards({"Z"}));
}

TEST_F(MoveRecord, ATargetFileThatBreaksRollsBackTheSource) {
    // Another program replaced the sold store's file with something that is
    // not a database.
    const std::filesystem::path broken = dir.path() / "broken";
    std::ofstream(broken, std::ios::binary) << std::string(8192, 'x');
    std::filesystem::rename(broken, dir.path() / "sold.edb");

    EXPECT_FALSE(db.moveCurrentRecord({{"sold", {"A", "pw-A", "t"}}}));
    EXPECT_EQ(db.currentAlias(), "stock");
    EXPECT_EQ(readAll(db), cards({"A", "B", "C"}));
    EXPECT_EQ(readFromDisk(stock), cards({"A", "B", "C"}));
    EXPECT_TRUE(db.selectStore("sold"));
    EXPECT_EQ(readAll(db), cards({"Z"}));
    // The failed attempt left nothing attached: the next move works.
    db.selectStore("stock");
    db.goFirst();
    EXPECT_TRUE(db.moveCurrentRecord({{"orders", {"order-2"}}}));
    EXPECT_EQ(readFromDisk(stock), cards({"B", "C"}));
}

TEST_F(MoveRecord, AnInsertThatFailsTakesBackTheDelete) {
    // The sold store's file was replaced by a store of one field, so the
    // append fails only after the card was deleted from stock.
    const Text other = path("other.edb");
    ASSERT_TRUE(RecordDatabase().createStore(other, catalogueFields()));
    std::filesystem::rename(dir.path() / "other.edb", dir.path() / "sold.edb");

    EXPECT_FALSE(db.moveCurrentRecord({{"orders", {"order-2"}}, {"sold", {"A", "pw-A", "t"}}}));
    EXPECT_EQ(db.currentAlias(), "stock");
    EXPECT_EQ(readAll(db), cards({"A", "B", "C"}));
    EXPECT_EQ(readFromDisk(stock), cards({"A", "B", "C"}));
    EXPECT_EQ(readFromDisk(orders), (Records{{"order-1", "", ""}}));
    EXPECT_EQ(readFromDisk(sold, 1), Records{});
    // Nothing of the failed step is still pending on the stock's file.
    EXPECT_TRUE(db.addRecord({"D", "pw-D", "t"}));
    EXPECT_EQ(readFromDisk(stock), cards({"A", "B", "C", "D"}));
}

} // namespace
} // namespace zenvik::test
