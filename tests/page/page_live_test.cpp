// Page automation on a live QWebEngineView, reached through the widgets'
// window handles and the page bridge.
#include "page/page_automation.h"
#include "platform/qt/page_bridge.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_window_system.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace zenvik {
namespace {

using page::PageAutomation;

// Runs a script in the page's own world and waits for its result.
QVariant runInPage(QWebEnginePage* page, const QString& script) {
    struct Reply {
        bool done = false;
        QVariant value;
    };
    auto reply = std::make_shared<Reply>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    page->runJavaScript(script, QWebEngineScript::MainWorld, [reply, waiting](const QVariant& value) {
        reply->done = true;
        reply->value = value;
        if (waiting) waiting->quit();
    });
    if (!reply->done) {
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return reply->value;
}

// Every element logs its label when clicked.
const char* const logScript =
    "window.log = [];"
    "for (const e of document.querySelectorAll('[data-label]'))"
    "  e.addEventListener('click', () => window.log.push(e.dataset.label));";

class PageLiveTest : public ::testing::Test {
protected:
    PageLiveTest() : view(new QWebEngineView(&top)) {
        top.resize(800, 600);
        view->setGeometry(0, 0, 800, 600);
        top.show();
        page.create();
    }

    ~PageLiveTest() override { page.destroy(); }

    bool load(const QString& body) {
        QEventLoop loop;
        bool ok = false;
        QObject::connect(view, &QWebEngineView::loadFinished, &loop, [&](bool finished) {
            ok = finished;
            loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        view->setHtml("<!DOCTYPE html><html><head><title>t</title></head><body>" + body + "</body></html>");
        loop.exec();
        return ok && runInPage(view->page(), QString(logScript) + "true").toBool();
    }

    QString takeLog() { return runInPage(view->page(), "(() => { const l = window.log.join(','); window.log = []; return l; })()").toString(); }

    QWidget top;
    QWebEngineView* view;
    QtWindowSystem windows;
    PageAutomation page{windows};
};

TEST_F(PageLiveTest, ClicksTheNoLogisticsButton) {
    ASSERT_TRUE(load("<input type=text id='logis:noLogis' data-label=text>"
                     "<input type=button id=other data-label=other>"
                     "<input type=button id='logis:noLogis' data-label=button>"));
    EXPECT_TRUE(page.attach(windows.handleOf(view)));
    EXPECT_TRUE(page.clickButton(text::narrow("logis:noLogis")));
    EXPECT_EQ(takeLog(), "button");
}

TEST_F(PageLiveTest, SearchRulesOnALivePage) {
    ASSERT_TRUE(load("<form onsubmit='return false'>"
                     "<BUTTON id=x data-label=tagButton>b</BUTTON>"
                     "<input type=text name=x data-label=text>"
                     "<div><input type=submit name=x data-label=nestedSubmit></div>"
                     "<input type=image id=img data-label=image>"
                     "<button type=reset title='确认' data-label=titled>r</button>"
                     "<input type=reset id=r data-label=reset>"
                     "<a id=link data-label=link>l</a></form>"));
    ASSERT_TRUE(page.attach(windows.handleOf(view)));
    struct Case {
        const char* identifier;
        int skip;
        const char* clicked;
    } cases[] = {
        {"x", 0, "nestedSubmit"},  // inputs before buttons, at any depth
        {"x", 1, "tagButton"},
        {"x", 2, ""},
        {"X", 0, ""},
        {"确认", 0, "titled"},
        {"2", 0, "reset"},  // nestedSubmit, reset, then the <button>s
        {"img", 0, ""},
        {"link", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.identifier);
        EXPECT_EQ(page.clickButton(text::narrow(c.identifier), c.skip), *c.clicked != 0);
        EXPECT_EQ(takeLog(), QString::fromUtf8(c.clicked));
    }
}

TEST_F(PageLiveTest, MissingButtonGivesFalse) {
    ASSERT_TRUE(load("<input type=button id=other data-label=other>"));
    EXPECT_TRUE(page.attach(windows.handleOf(view)));
    EXPECT_FALSE(page.clickButton(text::narrow("logis:noLogis")));
    EXPECT_EQ(takeLog(), "");
}

TEST_F(PageLiveTest, KeepsOnlyTheDocumentHeld) {
    ASSERT_TRUE(load("<input type=button id=a data-label=a>"));
    const page::WindowHandle handle = windows.handleOf(view);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(page.attach(handle));
        EXPECT_TRUE(page.clickButton("a"));
        EXPECT_FALSE(page.clickButton("b"));
    }
    EXPECT_EQ(PageBridge::of(view->page())->heldObjects(), 1);
    page.destroy();
    EXPECT_EQ(PageBridge::of(view->page())->heldObjects(), 0);
}

TEST_F(PageLiveTest, DocumentOfAnEarlierPageReadsAsEmpty) {
    ASSERT_TRUE(load("<input type=button id=a data-label=a>"));
    ASSERT_TRUE(page.attach(windows.handleOf(view)));
    ASSERT_TRUE(load("<input type=button id=a data-label=second>"));
    EXPECT_FALSE(page.clickButton("a"));
    EXPECT_EQ(takeLog(), "");
    ASSERT_TRUE(page.attach(windows.handleOf(view)));
    EXPECT_TRUE(page.clickButton("a"));
    EXPECT_EQ(takeLog(), "second");
}

TEST_F(PageLiveTest, DocumentWindowIsTheViewsRenderWidget) {
    ASSERT_TRUE(load("<p>x</p>"));
    const page::WindowHandle documentWindow = page.findDocumentWindow(windows.handleOf(&top));
    ASSERT_NE(documentWindow, 0u);
    EXPECT_EQ(windows.widget(documentWindow), view->focusProxy());
    EXPECT_EQ(windows.className(documentWindow), "Internet Explorer_Server");
    EXPECT_EQ(windows.className(windows.handleOf(view)), "QWebEngineView");
    EXPECT_TRUE(page.attach(documentWindow));
}

TEST_F(PageLiveTest, PageStillLoadingCausesNoCrash) {
    const page::WindowHandle handle = windows.handleOf(view);
    EXPECT_FALSE(page.attach(handle));  // nothing loaded: no document window yet
    QString many;
    for (int i = 0; i < 2000; ++i) many += "<input type=button id=b" + QString::number(i) + ">";
    view->setHtml("<body>" + many + "<input type=button id='logis:noLogis'></body>");
    for (int i = 0; i < 20; ++i) {
        page.attach(handle);
        page.clickButton(text::narrow("logis:noLogis"));
        QThread::msleep(5);
    }
    EXPECT_TRUE(windows.isWindow(handle));
}

TEST_F(PageLiveTest, DestroyedViewIsNoWindow) {
    ASSERT_TRUE(load("<input type=button id=a>"));
    const page::WindowHandle handle = windows.handleOf(view);
    ASSERT_TRUE(page.attach(handle));
    delete view;
    EXPECT_FALSE(windows.isWindow(handle));
    EXPECT_FALSE(page.attach(handle));
    EXPECT_FALSE(page.clickButton("a"));  // the held document's page is gone
}

TEST_F(PageLiveTest, TickDueDuringClickRunsAfterTheClick) {
    ASSERT_TRUE(load("<input type=button id=a data-label=a>"));
    ASSERT_TRUE(page.attach(windows.handleOf(view)));
    QtTimerFactory timers;
    std::unique_ptr<Timer> timer = timers.createTimer();
    int ticks = 0;
    QString logAtTick = "(no tick)";
    timer->setHandler([&] {
        timer->setPeriod(0);
        ++ticks;
        logAtTick = runInPage(view->page(), "window.log.join(',')").toString();
    });
    timer->setPeriod(1);
    QThread::msleep(20);  // the tick is due before the search begins
    EXPECT_TRUE(page.clickButton("a"));
    for (int i = 0; i < 100 && ticks == 0; ++i) QThread::msleep(1), QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(logAtTick, "a");
}

} // namespace
} // namespace zenvik
