// Reaching a browser control's document from a window handle, over a tree
// of windows in memory.
#include "memory_document.h"
#include "fake_window_tree.h"
#include "page/page_automation.h"

#include <gtest/gtest.h>

namespace zenvik::page {
namespace {

using test::FakeWindowTree;
using test::MemoryDocument;

constexpr const char* server = "Internet Explorer_Server";

// MainWindow > browser > Internet Explorer_Server, plus a panel without a browser.
class AttachTest : public ::testing::Test {
protected:
    AttachTest() {
        top = windows.add(0, "MainWindow");
        panel = windows.add(top, "QGroupBox");
        windows.add(panel, "QLabel");
        browser = windows.add(top, "QWebEngineView");
        documentWindow = windows.add(browser, server);
        windows.setDocument(documentWindow, &document);
        page.create();
    }

    FakeWindowTree windows;
    MemoryDocument document;
    PageAutomation page{windows};
    WindowHandle top = 0, panel = 0, browser = 0, documentWindow = 0;
};

TEST_F(AttachTest, HoldsTheDocumentBelowTheControl) {
    EXPECT_TRUE(page.attach(browser));
    EXPECT_FALSE(page.document().empty());
    EXPECT_EQ(page.window(), browser);
    EXPECT_EQ(document.documentReferences(), 1);
    EXPECT_EQ(windows.requestTimeouts, std::vector<int>{1000});
}

TEST_F(AttachTest, NoWindowChangesNothing) {
    WindowHandle gone = windows.add(top, "QWebEngineView");
    windows.destroy(gone);
    ASSERT_TRUE(page.attach(browser));
    for (WindowHandle handle : {WindowHandle(0), gone}) {
        EXPECT_FALSE(page.attach(handle));
        EXPECT_EQ(page.window(), browser);
        EXPECT_EQ(document.documentReferences(), 1);
    }
    EXPECT_FALSE(page.document().empty());
}

TEST_F(AttachTest, DocumentWindowItselfNeedsNoSearch) {
    EXPECT_TRUE(page.attach(documentWindow));
    EXPECT_EQ(windows.childQueries, 0);
    EXPECT_EQ(windows.pumps, 0);
    EXPECT_EQ(document.documentReferences(), 1);
}

TEST_F(AttachTest, AttachingAgainReplacesTheReference) {
    ASSERT_TRUE(page.attach(browser));
    ASSERT_TRUE(page.attach(browser));
    EXPECT_EQ(document.documentReferences(), 1);
}

TEST_F(AttachTest, NoDocumentWindowRightAfterCreate) {
    EXPECT_FALSE(page.attach(panel));
    EXPECT_EQ(page.window(), panel);
    EXPECT_TRUE(page.document().empty());
}

TEST_F(AttachTest, NoDocumentWindowKeepsTheEarlierDocument) {
    ASSERT_TRUE(page.attach(browser));
    EXPECT_TRUE(page.attach(panel));
    EXPECT_EQ(page.window(), panel);
    EXPECT_EQ(document.documentReferences(), 1);
}

TEST_F(AttachTest, SilentDocumentWindowLeavesNoDocument) {
    ASSERT_TRUE(page.attach(browser));
    windows.setDocument(documentWindow, nullptr);
    EXPECT_FALSE(page.attach(browser));
    EXPECT_TRUE(page.document().empty());
    EXPECT_EQ(document.documentReferences(), 0);
}

TEST_F(AttachTest, FirstDocumentWindowDepthFirst) {
    // The first child's subtree holds a document window deeper down than the
    // second child's: depth first finds the deeper one.
    WindowHandle parent = windows.add(top, "QWidget");
    WindowHandle first = windows.add(windows.add(windows.add(parent, "QFrame"), "QWebEngineView"), server);
    WindowHandle second = windows.add(windows.add(parent, "QWebEngineView"), server);
    MemoryDocument other;
    windows.setDocument(first, &document);
    windows.setDocument(second, &other);
    EXPECT_EQ(page.findDocumentWindow(parent), first);
    EXPECT_TRUE(page.attach(parent));
    EXPECT_EQ(document.documentReferences(), 1);
    EXPECT_EQ(other.documentReferences(), 0);
}

TEST_F(AttachTest, ClassNameMatchesExactly) {
    WindowHandle parent = windows.add(top, "QWidget");
    windows.add(parent, "internet explorer_server");
    windows.add(parent, "Internet Explorer_Server2");
    EXPECT_EQ(page.findDocumentWindow(parent), 0u);
}

TEST_F(AttachTest, PumpsAfterEachMoveToASibling) {
    // top: panel (label) then browser. A pump follows every move, also the
    // move past panel's last child: one there, one from panel to browser.
    ASSERT_TRUE(page.attach(top));
    EXPECT_EQ(windows.pumps, 2);
}

TEST_F(AttachTest, NestedAttachDuringThePumpIsReplaced) {
    WindowHandle otherBrowser = windows.add(0, "QWebEngineView");
    MemoryDocument other;
    windows.setDocument(windows.add(otherBrowser, server), &other);
    windows.onPump = [&] {
        windows.onPump = nullptr;
        EXPECT_TRUE(page.attach(otherBrowser));
    };
    EXPECT_TRUE(page.attach(top));
    EXPECT_EQ(document.documentReferences(), 1);
    EXPECT_EQ(other.documentReferences(), 0);
}

TEST_F(AttachTest, SiblingDestroyedDuringThePumpEndsTheSearch) {
    windows.onPump = [&] { windows.destroy(browser); };
    EXPECT_FALSE(page.attach(top));
    EXPECT_TRUE(page.document().empty());
}

TEST_F(AttachTest, DestroyReleasesTheDocument) {
    ASSERT_TRUE(page.attach(browser));
    page.destroy();
    EXPECT_EQ(document.documentReferences(), 0);
}

TEST(DispatchRefTest, CopiesShareTheObjectUntilTheLastGoes) {
    MemoryDocument document;
    DispatchRef first = document.document();
    DispatchRef second = first;
    first.clear();
    EXPECT_TRUE(first.empty());
    EXPECT_EQ(document.documentReferences(), 1);
    second.clear();
    EXPECT_EQ(document.documentReferences(), 0);
}

TEST(DispatchRefTest, FailuresGiveEmptyValues) {
    MemoryDocument document;
    document.add({"input", "button", "\xF0\x9F\x98\x80", "b", "t"});  // a name code page 936 cannot hold
    DispatchRef all = document.document().get("body").object().get("all").object();
    DispatchRef element = all.call("item", {0.0}).object();
    ASSERT_FALSE(element.empty());
    EXPECT_EQ(element.get("id").text(), "b");
    EXPECT_TRUE(element.get("name").isEmpty());
    EXPECT_TRUE(element.get("missing").isEmpty());
    EXPECT_EQ(element.get("id").number(), 0.0);
    EXPECT_TRUE(element.get("id").object().empty());
    EXPECT_TRUE(all.call("tags", {Value("\x81")}).isEmpty());  // a narrow text that is no text
    EXPECT_TRUE(DispatchRef().get("body").isEmpty());
    EXPECT_TRUE(DispatchRef().call("click").isEmpty());
}

} // namespace
} // namespace zenvik::page
