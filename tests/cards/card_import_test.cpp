#include "cards/card_import.h"

#include "store/product_catalogue.h"
#include "store_records.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace zenvik {
namespace {

using text::narrow;

struct LineCase {
    const char* name;
    Text input;  // narrow, lines ending in "\r\n"
    std::vector<std::pair<Text, Text>> cards;
    std::vector<std::size_t> skipped;
};

std::vector<std::pair<Text, Text>> pairsOf(const std::vector<Card>& cards) {
    std::vector<std::pair<Text, Text>> pairs;
    for (const Card& card : cards) pairs.emplace_back(card.number, card.password);
    return pairs;
}

TEST(ParseCardLines, SplitsEachLineAtItsFirstAsciiSpace) {
    const Text fullWidthSpace = "\xA1\xA1";
    const LineCase cases[] = {
        {"one card", "1234 5678", {{"1234", "5678"}}, {}},
        {"later spaces stay in the password", "1234 56 78", {{"1234", "56 78"}}, {}},
        {"line breaks end lines", "a b\r\nc d\r\n", {{"a", "b"}, {"c", "d"}}, {}},
        {"last line without a break", "a b\r\nc d", {{"a", "b"}, {"c", "d"}}, {}},
        {"empty text", "", {}, {}},
        {"a tab is no separator", "a\tb c", {{"a\tb", "c"}}, {}},
        {"a full-width space is no separator", narrow("甲") + fullWidthSpace + narrow("乙 丙"),
         {{narrow("甲") + fullWidthSpace + narrow("乙"), narrow("丙")}}, {}},
        {"double-byte texts", narrow("卡号一 密码一"), {{narrow("卡号一"), narrow("密码一")}}, {}},
        {"a lone CR stays in the text", "a b\rc", {{"a", "b\rc"}}, {}},
    };
    for (const LineCase& c : cases) {
        const ParsedCards parsed = parseCardLines(c.input);
        EXPECT_EQ(pairsOf(parsed.cards), c.cards) << c.name;
        EXPECT_EQ(parsed.skippedLines, c.skipped) << c.name;
    }
}

TEST(ParseCardLines, SkipsLinesThatWouldGiveAnEmptyField) {
    const LineCase cases[] = {
        {"empty line between cards", "a b\r\n\r\nc d", {{"a", "b"}, {"c", "d"}}, {2}},
        {"line beginning with the space", " 5678", {}, {1}},
        {"line ending with the space", "1234 ", {}, {1}},
        {"line without a space", "12345678", {}, {1}},
        {"a tab alone does not split", "a\tb", {}, {1}},
        {"only a space", "x y\r\n \r\nz w", {{"x", "y"}, {"z", "w"}}, {2}},
        {"several bad lines", "\r\na\r\nb c\r\n d\r\n", {{"b", "c"}}, {1, 2, 4}},
    };
    for (const LineCase& c : cases) {
        const ParsedCards parsed = parseCardLines(c.input);
        EXPECT_EQ(pairsOf(parsed.cards), c.cards) << c.name;
        EXPECT_EQ(parsed.skippedLines, c.skipped) << c.name;
    }
}

TEST(ImportReport, SaysHowManyWereStoredAndWhichLinesWereSkipped) {
    EXPECT_EQ(importReport(3, {}), "已入库 3 张卡密");
    EXPECT_EQ(importReport(2, {2, 5}),
              "已入库 2 张卡密\n有 2 行未入库（第 2、5 行）：每行须为“卡号 密码”，卡号和密码都不能为空");
    const std::string many = importReport(0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_NE(many.find("有 12 行未入库（第 1、2、3、4、5、6、7、8、9、10 等 行）"), std::string::npos)
        << many;
    // Every report must survive the conversion to the message box's text.
    EXPECT_FALSE(text::narrow(many).empty());
}

class StoreCardsTest : public ::testing::Test {
protected:
    void SetUp() override {
        stock = dir.base() + "stock.edb";
        other = dir.base() + "other.edb";
        for (const Text& path : {stock, other}) {
            ASSERT_TRUE(db.createStore(path, cardFields()));
            ASSERT_TRUE(db.openStore(path));
        }
        ASSERT_TRUE(db.selectStore(stock));
        ASSERT_TRUE(db.addRecord({"old", "card", "t"}));
    }

    std::vector<Card> records(const Text& path) {
        std::vector<Card> cards;
        for (const auto& r : test::readStore(db, path)) cards.push_back({r[0], r[1], r[2]});
        return cards;
    }

    test::TempDir dir;
    RecordDatabase db;
    Text stock;
    Text other;
};

TEST_F(StoreCardsTest, AppendsAfterTheStockWithATimeStamp) {
    db.selectStore(other);  // another handler left another store current
    ASSERT_TRUE(storeCards(db, stock, {{"a", "b", {}}, {"c", "d", {}}}));
    const std::vector<Card> cards = records(stock);
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[1].number, "a");
    EXPECT_EQ(cards[2].password, "d");
    EXPECT_NE(cards[1].time.find(narrow("年")), Text::npos);
    EXPECT_TRUE(records(other).empty());
}

TEST_F(StoreCardsTest, CutsLongTextsLikeAnyRecord) {
    ASSERT_TRUE(storeCards(db, stock, {{Text(600, '1'), "p", {}}}));
    EXPECT_EQ(records(stock).back().number, Text(512, '1'));
}

TEST_F(StoreCardsTest, StoresNothingWhenTheStoreIsNotOpen) {
    db.selectStore(other);
    EXPECT_FALSE(storeCards(db, dir.base() + "missing.edb", {{"a", "b", {}}}));
    EXPECT_TRUE(records(other).empty());
    EXPECT_EQ(records(stock).size(), 1u);
}

} // namespace
} // namespace zenvik
