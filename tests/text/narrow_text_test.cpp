#include "text/narrow_text.h"

#include <gtest/gtest.h>

namespace zenvik::text {
namespace {

// "中" is D6 D0 in code page 936; "丁" is B6 A1; the full-width space is A1 A1.
const Text kZhong = "\xD6\xD0";
const Text kFullSpace = "\xA1\xA1";

struct FindCase {
    const char* name;
    Text haystack;
    Text needle;
    long from;
    long expected;
};

TEST(NarrowText, FindMatchesOnlyWhereACharacterBegins) {
    const FindCase cases[] = {
        {"plain", "abcabc", "ca", 1, 3},
        {"from later", "abcabc", "abc", 2, 4},
        {"absent", "abc", "x", 1, -1},
        {"needle longer than text", "ab", "abc", 1, -1},
        {"after a double-byte character", kZhong + "ab", "ab", 1, 3},
        // "\xD0" + "a" must not match the trail byte of D6 D0.
        {"never from a trail byte", kZhong + "a", "\xD0" "a", 1, -1},
        {"trail byte below 0x80", "\xB6" "A" "A", "A", 1, 3},
        {"long run of double-byte characters", kZhong + kZhong + kZhong + "x", "x", 1, 7},
        {"odd run before ascii trail", "\x81\x81\x81" "A" "A", "A", 1, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text::find(c.haystack, c.needle, c.from), c.expected) << c.name;
    }
}

TEST(NarrowText, TrimRemovesHalfAndFullWidthSpacesOnWholeCharacters) {
    struct Case {
        Text in, out;
    } cases[] = {
        {"  a b  ", "a b"},
        {kFullSpace + "a" + kFullSpace + " ", "a"},
        {"\ta\t", "\ta\t"},
        {"", ""},
        {"   ", ""},
        // After "\xB6\xA1" (丁) the lead byte A1 takes the space as its second
        // byte: no A1 A1 pair and no trailing space on a character boundary.
        {"\xB6\xA1\xA1" " ", "\xB6\xA1\xA1" " "},
    };
    for (const auto& c : cases) EXPECT_EQ(trimSpaces(c.in), c.out) << c.in;
    EXPECT_EQ(trimAsciiSpaces(kFullSpace + " a "), kFullSpace + " a");
}

TEST(NarrowText, SplitLinesAtCrLfByWholeCharacters) {
    struct Case {
        const char* name;
        Text in;
        std::vector<Text> out;
    } cases[] = {
        {"empty text", "", {}},
        {"final break adds no line", "a b\r\nc d\r\n", {"a b", "c d"}},
        {"empty line kept", "a b\r\n\r\nc d", {"a b", "", "c d"}},
        {"lone LF is text", "a\nb", {"a\nb"}},
        // 0x8D 0x0D would be a lead byte followed by CR: the CR belongs to it.
        {"CR as trail byte", "x\x8D\r\ny", {"x\x8D\r\ny"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitLines(c.in), c.out) << c.name;
}

TEST(NarrowText, AliasComparisonIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(equalsIgnoreAsciiCase("SP", "sp"));
    EXPECT_TRUE(equalsIgnoreAsciiCase(kZhong + "Ab", kZhong + "aB"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("sp", "sp2"));
    // Full-width letters are not folded: A3 C1 is "Ａ", A3 E1 is "ａ".
    EXPECT_FALSE(equalsIgnoreAsciiCase("\xA3\xC1", "\xA3\xE1"));
}

TEST(NarrowText, CutNeverSplitsADoubleByteCharacter) {
    EXPECT_EQ(cutToBytes("abcdef", 4), "abcd");
    EXPECT_EQ(cutToBytes("abc" + kZhong, 4), "abc");
    EXPECT_EQ(cutToBytes("abc" + kZhong, 5), "abc" + kZhong);
    EXPECT_EQ(upToFirstZero(std::string("abc\0def", 7)), "abc");
}

TEST(NarrowText, ConversionsRoundTripAndReportFailure) {
    EXPECT_EQ(toUtf8(kZhong), std::optional<std::string>("中"));
    EXPECT_EQ(fromUtf8("卡号"), std::optional<Text>("\xBF\xA8\xBA\xC5"));
    EXPECT_EQ(narrow("商品名称"), "\xC9\xCC\xC6\xB7\xC3\xFB\xB3\xC6");
    EXPECT_FALSE(fromUtf8("\xF0\x9F\x98\x80").has_value());  // an emoji has no code page 936 form
    EXPECT_FALSE(toUtf8("\x81").has_value());                // a lone lead byte
    EXPECT_EQ(fromUtf8(""), std::optional<Text>(""));
}

TEST(TimeStamp, ChoosesTheTimePartByTheFirstNonZeroUnit) {
    struct Case {
        int hour, minute, second;
        const char* expected;
    } cases[] = {
        {9, 5, 7, "2014年3月16日9时5分7秒"},
        {9, 5, 0, "2014年3月16日9时5分"},
        {9, 0, 0, "2014年3月16日9时"},
        {0, 0, 0, "2014年3月16日"},
        {0, 0, 7, "2014年3月16日0时0分7秒"},
    };
    for (const auto& c : cases) {
        std::tm t{};
        t.tm_year = 2014 - 1900;
        t.tm_mon = 2;
        t.tm_mday = 16;
        t.tm_hour = c.hour;
        t.tm_min = c.minute;
        t.tm_sec = c.second;
        EXPECT_EQ(toUtf8(timeStampText(t)), std::optional<std::string>(c.expected));
    }
}

} // namespace
} // namespace zenvik::text
