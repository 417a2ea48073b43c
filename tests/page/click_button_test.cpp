// The search for a button by identifier over a document in memory.
#include "memory_document.h"
#include "fake_window_tree.h"
#include "page/page_automation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zenvik::page {
namespace {

using test::FakeWindowTree;
using test::MemoryDocument;
using test::MemoryElement;

MemoryElement input(std::string type, std::string id, std::string name = "", std::string title = "") {
    return {"input", std::move(type), std::move(name), std::move(id), std::move(title)};
}

MemoryElement button(std::string type, std::string id, std::string name = "", std::string title = "") {
    return {"button", std::move(type), std::move(name), std::move(id), std::move(title)};
}

class ClickButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        WindowHandle browser = windows.add(windows.add(0, "MainWindow"), "QWebEngineView");
        WindowHandle server = windows.add(browser, "Internet Explorer_Server");
        windows.setDocument(server, &document);
        page.create();
        handle = browser;
    }

    void load(const std::vector<MemoryElement>& elements) {
        for (const MemoryElement& element : elements) document.add(element);
        ASSERT_TRUE(page.attach(handle));
    }

    // Index of the one element clicked, -1 when none; fails on more than one click.
    int clicked() {
        int found = -1;
        for (std::size_t i = 0; i < document.elements().size(); ++i) {
            int clicks = document.elements()[i].clicks;
            if (clicks == 0) continue;
            EXPECT_EQ(clicks, 1);
            EXPECT_EQ(found, -1) << "a second element was clicked";
            found = static_cast<int>(i);
        }
        return found;
    }

    FakeWindowTree windows;
    MemoryDocument document;
    PageAutomation page{windows};
    WindowHandle handle = 0;
};

struct ClickCase {
    const char* name;
    std::vector<MemoryElement> elements;
    std::string identifier;  // UTF-8
    std::int32_t skip;
    int expected;  // index of the element clicked, -1 for none
};

class ClickButtonCases : public ClickButtonTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClickButtonCases, ClicksTheExpectedElement) {
    const ClickCase& c = GetParam();
    load(c.elements);
    bool result = page.clickButton(text::narrow(c.identifier), c.skip);
    EXPECT_EQ(result, c.expected != -1);
    EXPECT_EQ(clicked(), c.expected);
}

const ClickCase clickCases[] = {
    {"ById", {input("text", "a"), input("button", "logis:noLogis")}, "logis:noLogis", 0, 1},
    {"ByName", {input("submit", "", "logis:noLogis")}, "logis:noLogis", 0, 0},
    {"ByTitleWhenNameAndIdDiffer", {input("reset", "b", "a", "logis:noLogis")}, "logis:noLogis", 0, 0},
    // Its numeric value is 0 and positions start at 1.
    {"IdentifierWithoutNumberNeverSelectsByPosition", {input("button", "a"), input("submit", "b")}, "logis:noLogis", 0, -1},
    {"CaseSensitive", {input("button", "logis:noLogis")}, "Logis:NoLogis", 0, -1},
    {"SecondCandidateCountingInputsFirst",
     {input("text", "t"), input("button", "a"), button("submit", "c"), input("submit", "d")}, "2", 0, 3},
    {"PositionCountsOnIntoButtons", {input("button", "a"), input("text", "t"), button("submit", "c")}, "2", 0, 2},
    {"NumberWithFractionTruncated", {input("button", "a"), input("button", "b")}, "2.9", 0, 1},
    {"NumberAfterWhiteSpace", {input("button", "a"), input("button", "b")}, " 2", 0, 1},
    {"EmptyIdentifierTakesFirstEmptyField",
     {input("button", "a", "n", "t"), input("button", "b", "n", ""), input("button", "", "n", "t")}, "", 0, 1},
    {"SkipOneTakesSecondMatch", {input("button", "x"), input("button", "y"), input("button", "x")}, "x", 1, 2},
    {"SkipTwoWithTwoMatches", {input("button", "x"), input("button", "x")}, "x", 2, -1},
    // A match passed over is not tried by position, but the next element is.
    {"SkippedMatchThenPosition", {input("button", "", "2"), input("button", "b")}, "2", 1, 1},
    {"TextAndImageInputsNeverSelected",
     {input("text", "logis:noLogis"), input("image", "logis:noLogis")}, "logis:noLogis", 0, -1},
    {"ButtonElementWithId",
     {input("text", "logis:noLogis"), input("image", "logis:noLogis"), button("submit", "logis:noLogis")},
     "logis:noLogis", 0, 2},
    {"InputAfterButtonStillWins", {button("button", "x"), input("button", "x")}, "x", 0, 1},
    {"EmptyTypePassesFilter", {input("", "x")}, "x", 0, 0},
    {"ButtonElementOfOtherTypeNotSelected", {button("menu", "x")}, "x", 0, -1},
    {"LinksAndOtherTagsNeverSelected", {{"a", "button", "x", "x", "x"}, {"div", "", "x", "x", "x"}}, "x", 0, -1},
    {"ChineseTitle", {input("button", "a", "", "确认发货")}, "确认发货", 0, 0},
    {"NoElements", {}, "x", 0, -1},
};

INSTANTIATE_TEST_SUITE_P(Search, ClickButtonCases, ::testing::ValuesIn(clickCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(ClickButtonTest, ReleasesEverythingButTheDocument) {
    load({input("text", "t"), input("button", "x"), button("submit", "y")});
    EXPECT_TRUE(page.clickButton("y"));
    EXPECT_FALSE(page.clickButton("missing"));
    EXPECT_EQ(document.liveObjects(), 1);
    EXPECT_EQ(document.documentReferences(), 1);
}

TEST_F(ClickButtonTest, PageWithoutBodyFindsNothing) {
    document.setHasBody(false);
    load({input("button", "x")});
    EXPECT_FALSE(page.clickButton("x"));
    EXPECT_EQ(clicked(), -1);
}

TEST_F(ClickButtonTest, NoDocumentHeldFindsNothing) {
    document.add(input("button", "x"));
    EXPECT_FALSE(page.clickButton("x"));
    EXPECT_EQ(clicked(), -1);
}

TEST_F(ClickButtonTest, ReadsThePageAsItStandsAtEachCall) {
    load({});
    EXPECT_FALSE(page.clickButton("x"));
    document.add(input("button", "x"));
    EXPECT_TRUE(page.clickButton("x"));
    EXPECT_EQ(clicked(), 0);
}

struct FindCase {
    const char* name;
    std::string typeFilter;
    std::string identifier;
    std::int32_t skip;
    std::int32_t positionIn;
    int expected;             // index of the element found, -1 for none
    std::int32_t positionOut;
    std::int32_t skipOut;
};

class FindInputElementCases : public ClickButtonTest, public ::testing::WithParamInterface<FindCase> {};

// The page: text "t", text "x", button "x", <button> "b".
TEST_P(FindInputElementCases, FindsAndCounts) {
    const FindCase& c = GetParam();
    load({input("text", "t"), input("text", "x"), input("button", "x"), button("button", "b")});
    std::int32_t skip = c.skip;
    std::int32_t position = c.positionIn;
    DispatchRef found = page.findInputElement(c.typeFilter, c.identifier, skip, position);
    EXPECT_EQ(position, c.positionOut);
    EXPECT_EQ(skip, c.skipOut);
    if (c.expected == -1) {
        EXPECT_TRUE(found.empty());
    } else {
        ASSERT_FALSE(found.empty());
        found.call("click");
        EXPECT_EQ(clicked(), c.expected);
    }
}

const FindCase findCases[] = {
    {"TextFilter", "text", "x", 0, 0, 1, 2, 0},
    {"PositionStartsFromCaller", "text", "t", 0, 5, 0, 6, 0},
    {"CallerPositionShiftsNumericRule", "text|button", "3", 0, 1, 1, 3, 0},
    {"SkipCarriesIntoSecondMatch", "text|button", "x", 1, 0, 2, 3, 0},
    {"NoButtonInFilterSkipsButtonElements", "text", "b", 0, 0, -1, -1, 0},
    {"ButtonElementsSearchedWithButtonInFilter", "text|button", "b", 0, 0, 3, 4, 0},
    {"SkipUsedUpWithoutResult", "button", "x", 3, 0, -1, -1, 2},
};

INSTANTIATE_TEST_SUITE_P(Search, FindInputElementCases, ::testing::ValuesIn(findCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace zenvik::page
