// The current record, adding, deleting and finding records, and selecting
// stores by alias and path.

#include "store_test_support.h"

#include <string>

namespace zenvik::test {
namespace {

using RecordNavigation = StoreTest;

TEST_F(RecordNavigation, EmptyStoreHasOnlyTheEndPosition) {
    makeStore("empty.edb");
    db.goFirst();
    EXPECT_EQ(db.recordCount(), 0u);
    EXPECT_EQ(db.position(), 0u);
    EXPECT_EQ(db.readField(1), "");
    EXPECT_FALSE(db.skipRecord());
    EXPECT_FALSE(db.deleteRecord());
}

TEST_F(RecordNavigation, SkipWalksToTheEndPositionAndStops) {
    makeStore("s.edb", cards({"A", "B"}));
    db.goFirst();
    EXPECT_EQ(db.readField(1), "A");
    EXPECT_TRUE(db.skipRecord());
    EXPECT_EQ(db.readField(2), "pw-B");
    EXPECT_TRUE(db.skipRecord());
    EXPECT_EQ(db.position(), 2u);
    EXPECT_EQ(db.readField(1), "");
    EXPECT_FALSE(db.skipRecord());
    EXPECT_EQ(db.position(), 2u);
}

TEST_F(RecordNavigation, FieldNumbersOutsideTheStoreReadEmpty) {
    makeStore("s.edb", cards({"A"}));
    db.goFirst();
    EXPECT_EQ(db.readField(0), "");
    EXPECT_EQ(db.readField(4), "");
}

TEST(RecordDatabaseWithoutStore, ReadsNothingAndWritesNothing) {
    RecordDatabase db;
    db.goFirst();
    EXPECT_EQ(db.recordCount(), 0u);
    EXPECT_EQ(db.position(), 0u);
    EXPECT_EQ(db.readField(1), "");
    EXPECT_EQ(db.currentPath(), "");
    EXPECT_EQ(db.currentAlias(), "");
    EXPECT_FALSE(db.skipRecord());
    EXPECT_FALSE(db.findRecord([] { return true; }));
    EXPECT_FALSE(db.addRecord({"A"}));
    EXPECT_FALSE(db.deleteRecord());
    EXPECT_FALSE(db.purgeDeleted());
    EXPECT_FALSE(db.clearStore());
    EXPECT_FALSE(db.inTransaction([] { return true; }));
    EXPECT_FALSE(db.moveCurrentRecord({{"x", {"A"}}}));
}

using AddAndDelete = StoreTest;

TEST_F(AddAndDelete, AddAppendsAndMakesTheNewRecordCurrent) {
    const Text store = makeStore("s.edb", cards({"A", "B"}));
    db.goFirst();
    EXPECT_TRUE(db.addRecord({"N", "pw-N", "t"}));
    EXPECT_EQ(db.position(), 2u);
    EXPECT_EQ(db.readField(1), "N");
    EXPECT_EQ(readAll(db), cards({"A", "B", "N"}));
    EXPECT_EQ(readFromDisk(store), cards({"A", "B", "N"}));
}

TEST_F(AddAndDelete, ExtraTextsAreIgnoredAndMissingOnesStayEmpty) {
    const Text store = makeStore("s.edb");
    EXPECT_TRUE(db.addRecord({"1", "2", "3", "4"}));
    EXPECT_TRUE(db.addRecord({"only"}));
    const Records expected{{"1", "2", "3"}, {"only", "", ""}};
    EXPECT_EQ(readAll(db), expected);
    EXPECT_EQ(readFromDisk(store), expected);
}

TEST_F(AddAndDelete, EveryByteValueRoundTrips) {
    Text bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    const Text store = makeStore("s.edb");
    // The text as a whole must not be cut: its last byte is 0xFF, which would
    // be a lone lead byte, so give it a trailing ASCII byte.
    EXPECT_TRUE(db.addRecord({bytes + "x"}));
    EXPECT_EQ(readFromDisk(store, 1), Records{{bytes + "x"}});
}

struct CutCase {
    const char* name;
    Text input;
    Text stored;
};

void PrintTo(const CutCase& cut, std::ostream* out) { *out << cut.name; }

class TextCutting : public StoreTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(TextCutting, TextsAreCutToTheFieldLengthOnWholeCharacters) {
    const Text store = makeStore("s.edb");
    EXPECT_TRUE(db.addRecord({GetParam().input}));
    EXPECT_EQ(db.readField(1), GetParam().stored);
    EXPECT_EQ(readFromDisk(store, 1), Records{{GetParam().stored}});
}

const Text han = text::narrow("卡");  // two bytes

INSTANTIATE_TEST_SUITE_P(
    RecordDatabase, TextCutting,
    ::testing::Values(CutCase{"Exactly512", Text(512, 'a'), Text(512, 'a')},
                      CutCase{"Ascii600", Text(600, 'a'), Text(512, 'a')},
                      CutCase{"DoubleByteAcrossTheLimit", Text(511, 'a') + han + "b", Text(511, 'a')},
                      CutCase{"DoubleByteEndingAtTheLimit", Text(510, 'a') + han + "b",
                              Text(510, 'a') + han}),
    [](const auto& row) { return row.param.name; });

TEST_F(AddAndDelete, FieldLengthsOfTheStoreFileApply) {
    const Text store = path("short.edb");
    ASSERT_TRUE(db.createStore(store, {{"code", FieldSpec::Type::Characters, 3}}));
    ASSERT_TRUE(db.openStore(store));
    EXPECT_TRUE(db.addRecord({"abcdef"}));
    EXPECT_TRUE(db.addRecord({"a" + han}));
    EXPECT_EQ(readFromDisk(store, 1), (Records{{"abc"}, {"a" + han}}));
}

TEST_F(AddAndDelete, DeletingTheFirstRecordLeavesTheRestInOrder) {
    const Text store = makeStore("s.edb", cards({"A", "B", "C"}));
    db.goFirst();
    EXPECT_TRUE(db.deleteRecord());
    EXPECT_EQ(db.position(), 0u);
    EXPECT_TRUE(db.purgeDeleted());
    EXPECT_EQ(db.position(), 0u);
    EXPECT_EQ(db.readField(1), "B");
    EXPECT_EQ(readAll(db), cards({"B", "C"}));
    EXPECT_EQ(readFromDisk(store), cards({"B", "C"}));
}

TEST_F(AddAndDelete, DeletingAMiddleRecordSetsThePositionToTheFirst) {
    const Text store = makeStore("s.edb", cards({"A", "B", "C"}));
    db.goFirst();
    db.skipRecord();
    EXPECT_TRUE(db.deleteRecord());
    EXPECT_TRUE(db.purgeDeleted());
    EXPECT_EQ(db.position(), 0u);
    EXPECT_EQ(readAll(db), cards({"A", "C"}));
    EXPECT_EQ(readFromDisk(store), cards({"A", "C"}));
}

TEST_F(AddAndDelete, SeveralMarkedRecordsArePurgedTogether) {
    const Text store = makeStore("s.edb", cards({"A", "B", "C", "D"}));
    db.goFirst();
    EXPECT_TRUE(db.deleteRecord());
    EXPECT_TRUE(db.deleteRecord());  // marking twice is harmless
    db.skipRecord();
    db.skipRecord();
    EXPECT_TRUE(db.deleteRecord());
    EXPECT_EQ(db.recordCount(), 4u);
    EXPECT_TRUE(db.purgeDeleted());
    EXPECT_EQ(readAll(db), cards({"B", "D"}));
    EXPECT_EQ(readFromDisk(store), cards({"B", "D"}));
}

TEST_F(AddAndDelete, DeleteFailsAtTheEndPosition) {
    makeStore("s.edb", cards({"A"}));
    db.goFirst();
    db.skipRecord();
    EXPECT_FALSE(db.deleteRecord());
    EXPECT_TRUE(db.purgeDeleted());
    EXPECT_EQ(readAll(db), cards({"A"}));
}

TEST_F(AddAndDelete, ClearRemovesEveryRecordAndLaterAddsStillAppend) {
    const Text store = makeStore("s.edb", cards({"A", "B", "C"}));
    EXPECT_TRUE(db.clearStore());
    EXPECT_EQ(db.recordCount(), 0u);
    EXPECT_EQ(db.position(), 0u);
    EXPECT_EQ(readFromDisk(store), Records{});
    EXPECT_TRUE(db.addRecord({"D", "pw-D", "t"}));
    EXPECT_TRUE(db.addRecord({"E", "pw-E", "t"}));
    EXPECT_EQ(readFromDisk(store), cards({"D", "E"}));
}

TEST_F(AddAndDelete, UpdateRewritesTheCurrentRecordInItsPlace) {
    const Text store = makeStore("s.edb", cards({"A", "B", "C"}));
    db.goFirst();
    db.skipRecord();
    EXPECT_TRUE(db.updateRecord({Text("N").append(600, 'n'), "pw-N"}));
    EXPECT_EQ(db.position(), 1u);
    const Records expected{cards({"A"})[0], {Text("N").append(511, 'n'), "pw-N", ""}, cards({"C"})[0]};
    EXPECT_EQ(readAll(db), expected);
    EXPECT_EQ(readFromDisk(store), expected);
    // The rewritten record still comes second in the queue after a later add.
    EXPECT_TRUE(db.addRecord({"D"}));
    EXPECT_EQ(readFromDisk(store)[1][1], "pw-N");
    db.skipRecord();
    EXPECT_FALSE(db.updateRecord({"at the end"}));
}

using FindRecord = StoreTest;

TEST_F(FindRecord, ScansFromTheCurrentRecordAndStopsAtTheFirstMatch) {
    makeStore("s.edb", cards({"A", "X", "B", "X"}));
    db.goFirst();
    db.skipRecord();
    db.skipRecord();
    std::vector<Text> seen;
    EXPECT_TRUE(db.findRecord([&] {
        seen.push_back(db.readField(1));
        return db.readField(1) == "X";
    }));
    EXPECT_EQ(seen, (std::vector<Text>{"B", "X"}));
    EXPECT_EQ(db.position(), 3u);
}

TEST_F(FindRecord, NothingFoundLeavesThePositionWhereItWas) {
    makeStore("s.edb", cards({"A", "B", "C"}));
    db.goFirst();
    db.skipRecord();
    int evaluated = 0;
    EXPECT_FALSE(db.findRecord([&] { return ++evaluated, false; }));
    EXPECT_EQ(evaluated, 2);
    EXPECT_EQ(db.position(), 1u);
    EXPECT_EQ(db.readField(1), "B");
}

TEST_F(FindRecord, AtTheEndPositionThePredicateIsNotEvaluated) {
    makeStore("s.edb", cards({"A"}));
    db.goFirst();
    db.skipRecord();
    int evaluated = 0;
    EXPECT_FALSE(db.findRecord([&] { return ++evaluated, true; }));
    EXPECT_EQ(evaluated, 0);

    makeStore("empty.edb");
    EXPECT_FALSE(db.findRecord([&] { return ++evaluated, true; }));
    EXPECT_EQ(evaluated, 0);
}

class SelectStore : public StoreTest {
protected:
    // The catalogue, then two stores named "x" in different directories, and
    // a product whose name is a two-byte character with an ASCII trail byte.
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "a");
        std::filesystem::create_directories(dir.path() / "b");
        catalogue = makeStore("sp.edb", cards({"catalogue"}));
        olderX = makeStore("a/x.edb", cards({"older"}));
        newerX = makeStore("b/x.edb", cards({"newer"}));
        product = makeStore("\x81\x41.edb", cards({"product"}));
    }

    // Which store the key selects, told by its only record; "" when none.
    Text selected(const Text& key) {
        db.selectStore(newerX);
        db.goFirst();
        db.skipRecord();  // the end position tells "nothing changed"
        if (!db.selectStore(key)) return db.position() == 1 && db.currentPath() == newerX ? "" : "moved";
        db.goFirst();
        return db.readField(1);
    }

    Text catalogue, olderX, newerX, product;
};

TEST_F(SelectStore, ByAliasNewestFirstThenByPathWithoutRegardToCase) {
    struct Case {
        Text key;
        Text store;
    };
    const std::vector<Case> cases{
        {"sp", "catalogue"},
        {"SP", "catalogue"},
        {"x", "newer"},
        {"X", "newer"},
        {olderX, "older"},
        {dir.base() + "A/X.EDB", "older"},
        {"\x81\x41", "product"},
        {"\x81\x61", ""},  // the trail byte of a two-byte character is not a letter
        {"", ""},
        {"nothing", ""},
        {"x.edb", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(selected(c.key), c.store) << "key " << c.key;
}

TEST_F(SelectStore, EachStoreKeepsItsOwnPosition) {
    db.selectStore("sp");
    db.goFirst();
    db.selectStore("x");
    db.goFirst();
    db.skipRecord();
    db.selectStore("sp");
    EXPECT_EQ(db.position(), 0u);
    db.selectStore("x");
    EXPECT_EQ(db.position(), 1u);
    EXPECT_EQ(db.currentAlias(), "x");
    EXPECT_EQ(db.currentPath(), newerX);
}

} // namespace
} // namespace zenvik::test
