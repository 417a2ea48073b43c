#include "delivery/delivery_loop.h"
#include "delivery/order_page.h"
#include "delivery/percent_encode.h"
#include "delivery_fixture.h"

#include <gtest/gtest.h>

namespace zenvik::test {
namespace {

struct BetweenCase {
    const char* name;
    std::string page;
    std::string start;
    std::string end;
    std::string expected;
};

class ExtractBetween : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(ExtractBetween, CutsBetweenFirstStartAndFirstEnd) {
    const auto& c = GetParam();
    EXPECT_EQ(extractBetween(c.page, c.start, c.end), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractBetween,
    ::testing::Values(
        BetweenCase{"Plain", "xx[value]yy", "[", "]", "value"},
        BetweenCase{"FirstOfSeveral", "[one][two]", "[", "]", "one"},
        BetweenCase{"StartAbsent", "value]", "[", "]", ""},
        BetweenCase{"EndAbsent", "[value", "[", "]", ""},
        BetweenCase{"EndOnlyBeforeStart", "]x[value", "[", "]", ""},
        // The end is not searched after the start: its first occurrence decides.
        BetweenCase{"EndBeforeStartAndAgainAfter", "]x[value]", "[", "]", ""},
        BetweenCase{"NothingBetween", "[]", "[", "]", ""},
        BetweenCase{"EndOverlapsStart", "<ab>", "<ab", "b>", ""},
        BetweenCase{"EmptyPage", "", "[", "]", ""},
        // "\xB0[" is one character: its second byte is no marker.
        BetweenCase{"StartNotInsideCharacter", "\xB0[no]x[yes]", "[", "]", ""},
        BetweenCase{"EndNotInsideCharacter", "@yes\xB0]x]", "@", "]", "yes\xB0]x"},
        BetweenCase{"DoubleByteValueKept", "@\xC2\xF2\xBC\xD2]", "@", "]", "\xC2\xF2\xBC\xD2"},
        BetweenCase{"ZeroByteInside", std::string("@a\0b]", 5), "@", "]", std::string("a\0b", 3)}),
    [](const auto& test) { return std::string(test.param.name); });

// "\xB0@" is one character too.
TEST(ExtractBetweenCharacters, SecondByteNeverStartsAMarker) {
    EXPECT_EQ(extractBetween("\xB0@no]", "@", "]"), "");
    EXPECT_EQ(extractBetween("\xB0@no]@yes]", "@", "]"), "");  // first "]" lies before the real "@"
    EXPECT_EQ(extractBetween("\xB0@no>@yes]", "@", "]"), "yes");
}

struct OrderCase {
    const char* name;
    std::string page;
    OrderFields expected;
};

class ExtractOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ExtractOrder, CutsTheFirstOrder) {
    const auto& c = GetParam();
    const OrderFields fields = extractOrder(c.page, kShopHost);
    EXPECT_EQ(fields.orderNumber, c.expected.orderNumber);
    EXPECT_EQ(fields.productTitle, c.expected.productTitle);
    EXPECT_EQ(fields.buyerNick, c.expected.buyerNick);
    EXPECT_EQ(fields.consignId, c.expected.consignId);
}

const PageOrder kFirst{"1001", "Q\xB1\xD2\xBF\xA8", "\xC2\xF2\xBC\xD2", "5001"};
const PageOrder kSecond{"1002", "second", "nick2", "5002"};

std::string withoutConsignLink(std::string block) {
    return block.erase(block.find("<a href"));
}

// A shop page whose order number is indented differently.
std::string reindented(std::string page) {
    const auto at = page.find(kNumberEnd);
    return page.replace(at, kNumberEnd.size(), "</span>\r\n  <span class=\"order-date\">");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractOrder,
    ::testing::Values(
        OrderCase{"OneOrder", orderPage({kFirst}), {"1001", "Q\xB1\xD2\xBF\xA8", "\xC2\xF2\xBC\xD2", "5001"}},
        OrderCase{"FirstOfTwo", orderPage({kFirst, kSecond}), {"1001", "Q\xB1\xD2\xBF\xA8", "\xC2\xF2\xBC\xD2", "5001"}},
        OrderCase{"NoOrders", orderPage({}), {}},
        OrderCase{"SignInPage", "<html>\xC7\xEB\xB5\xC7\xC2\xBC</html>", {}},
        // The values are not tied to one order block.
        OrderCase{"ConsignIdFromNextBlock",
                  withoutConsignLink(orderBlock(kFirst)) + orderBlock(kSecond),
                  {"1001", "Q\xB1\xD2\xBF\xA8", "\xC2\xF2\xBC\xD2", "5002"}},
        OrderCase{"OtherIndentation", reindented(orderPage({kFirst})), {"", "Q\xB1\xD2\xBF\xA8", "\xC2\xF2\xBC\xD2", "5001"}},
        OrderCase{"HalfAndFullWidthSpacesTrimmed",
                  orderPage({{" 1001 ", "\xA1\xA1title \xA1\xA1", " \xA1\xA1nick", "5001 "}}),
                  {"1001", "title", "nick", "5001"}},
        OrderCase{"TabsKept", orderPage({{"1001\t", "\ttitle", "nick\t ", "5001"}}), {"1001\t", "\ttitle", "nick\t", "5001"}},
        OrderCase{"OnlySpaces", orderPage({{" \xA1\xA1 ", "t", "n", "c"}}), {"", "t", "n", "c"}},
        // "\xB0h" is one character: the consign link inside it does not count.
        OrderCase{"ConsignLinkNotInsideCharacter",
                  "\xB0" + kConsignStart + "9<br>" + orderPage({kFirst}),
                  {"1001", "Q\xB1\xD2\xBF\xA8", "\xC2\xF2\xBC\xD2", "5001"}},
        // A consign link of another shop host is no consign link.
        OrderCase{"OtherHost", "<a href=\"http://other.example.com/user/consign.htm?order_id=7" + kConsignEnd, {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ConsignAddress, UsesTheUntrimmedId) {
    const std::string page = orderPage({{"1", "t", "n", " 77 "}});
    EXPECT_EQ(untrimmedConsignId(page, kShopHost), " 77 ");
    EXPECT_EQ(consignUrl(kShopHost, untrimmedConsignId(page, kShopHost)),
              "http://wuliu.example.com/user/consign.htm?order_id= 77 ");
}

TEST(OrderListAddress, HasTheFiveKeysInOrder) {
    ProgramSettings settings;
    settings.shopHost = "wuliu.example.com:8080";
    settings.utkn = "g,abcdefghijklmnopqrstu0w1381232000000";
    EXPECT_EQ(orderListUrl(settings),
              "http://wuliu.example.com:8080/user/order_list_new.htm?spm=z7c6l.5.7.5.lODrrJ"
              "&order_status_show=send&mytmenu=fh&utkn=g,abcdefghijklmnopqrstu0w1381232000000&scm=1028.1.1.301");
}

struct EncodeCase {
    const char* name;
    std::string input;
    bool keepUnreserved;
    bool asUtf8;
    std::string expected;
};

class PercentEncode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(PercentEncode, Encodes) {
    const auto& c = GetParam();
    EXPECT_EQ(percentEncode(c.input, c.keepUnreserved, c.asUtf8), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PercentEncode,
    ::testing::Values(
        EncodeCase{"EveryByte", "abc", false, false, "%61%62%63"},
        EncodeCase{"LeadingZero", "\n\x01", false, false, "%0A%01"},
        EncodeCase{"UpperCaseHex", "\xFF\xAB", false, false, "%FF%AB"},
        EncodeCase{"DoubleByteAsTwoEscapes", "\xC2\xF2", false, false, "%C2%F2"},
        EncodeCase{"Empty", "", false, false, ""},
        EncodeCase{"KeepUnreserved", "aZ09-.", true, false, "aZ09-."},
        EncodeCase{"KeepUnreservedEscapesTheRest", "_~ /%+", true, false, "%5F%7E%20%2F%25%2B"},
        EncodeCase{"Utf8", "a\xC2\xF2", false, true, "%61%E4%B9%B0"},
        EncodeCase{"Utf8KeepUnreserved", "a-\xC2\xF2 ", true, true, "a-%E4%B9%B0%20"},
        EncodeCase{"Utf8EmptyInput", "", true, true, ""}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace zenvik::test
