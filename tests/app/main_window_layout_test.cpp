// MainWindow as it stands after start: every control of the layout with its
// kind, place, caption and first state, and the window itself.
#include "app_fixture.h"

#include "app/window_placement.h"
#include "platform/qt/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace zenvik::test {
namespace {

struct ControlRow {
    const char* name;
    const char* kind;    // class name
    const char* parent;  // "window", a page of MainTabs, or "分组框1"
    QRect geometry;
    const char* caption;
    bool enabled;
};

const ControlRow controls[] = {
    {"选择夹1", "QTabWidget", "window", {0, 0, 688, 480}, "首页|商品管理|卡密管理", true},
    {"标签6", "QLabel", "首页", {10, 85, 64, 24}, "服务器地址", true},
    {"组合框1", "QComboBox", "首页", {72, 88, 56, 20}, "http://", true},
    {"编辑框3", "QLineEdit", "首页", {128, 88, 232, 20}, "", false},
    {"按钮4", "QPushButton", "首页", {360, 80, 64, 32}, "修改", true},
    {"标签1", "QLabel", "首页", {9, 131, 80, 24}, "发货监控周期", true},
    {"编辑框1", "zenvik::IntegerEdit", "首页", {91, 135, 86, 20}, "", true},
    {"标签2", "QLabel", "首页", {177, 131, 80, 24}, "（单位：10秒）", true},
    {"选择框1", "QCheckBox", "首页", {259, 131, 80, 24}, "自动发货", true},
    {"按钮1", "QPushButton", "首页", {345, 123, 80, 32}, "设置", true},
    {"分组框1", "QGroupBox", "首页", {433, 63, 248, 96}, "当前状态", true},
    {"标签3", "QLabel", "首页", {440, 77, 232, 24}, "自动发货已关闭", true},
    {"标签4", "QLabel", "分组框1", {8, 56, 232, 32}, "当前没有交易", true},
    {"超文本浏览框1", "QWebEngineView", "首页", {2, 168, 680, 305}, "", true},
    {"标签5", "QLabel", "商品管理", {11, 24, 272, 24}, "商品名称(必须与淘宝店铺里的商品名称完全一致)", true},
    {"编辑框2", "QLineEdit", "商品管理", {288, 24, 281, 24}, "", true},
    {"按钮2", "QPushButton", "商品管理", {576, 23, 104, 25}, "添加", true},
    {"列表框1", "QListWidget", "商品管理", {2, 56, 680, 416}, "0", true},  // no items
    {"按钮3", "QPushButton", "卡密管理", {272, 240, 120, 32}, "进入卡密管理平台", true},
    {"超文本浏览框2", "QWebEngineView", "window", {10, 507, 680, 205}, "", true},
};

// The caption, text or items of a control, as the layout gives them.
QString captionOf(QWidget* w) {
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        QStringList pages;
        for (int i = 0; i < tabs->count(); ++i) pages << tabs->tabText(i);
        return pages.join(u'|');
    }
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
        return items.join(u'|');
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) return QString::number(list->count());
    return {};
}

class MainWindowLayoutTest : public AppFixture {};

TEST_F(MainWindowLayoutTest, EveryControlStandsAsLaidOut) {
    start();
    auto* tabs = control<QTabWidget>("选择夹1");
    ASSERT_NE(tabs, nullptr);
    auto parentWidget = [&](const QString& parent) -> QWidget* {
        if (parent == u"window") return window.get();
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == parent) return tabs->widget(i);
        return window->findChild<QWidget*>(parent);
    };

    for (const ControlRow& row : controls) {
        SCOPED_TRACE(row.name);
        QWidget* w = control(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), row.kind);
        EXPECT_EQ(w->parentWidget(), parentWidget(QString::fromUtf8(row.parent)));
        EXPECT_EQ(w->geometry(), row.geometry);
        EXPECT_EQ(captionOf(w), QString::fromUtf8(row.caption));
        EXPECT_EQ(w->isEnabled(), row.enabled);
    }
}

TEST_F(MainWindowLayoutTest, StartsWithNothingChosenAndEveryTimerStopped) {
    start();
    EXPECT_EQ(control<QTabWidget>("选择夹1")->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>("组合框1")->currentIndex(), 0);
    EXPECT_FALSE(control<QCheckBox>("选择框1")->isChecked());
    auto* list = control<QListWidget>("列表框1");
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(window->monitorTimer().period(), 0);
    EXPECT_EQ(window->consignTimer().period(), 0);
    EXPECT_EQ(window->bufferTimer().period(), 0);
}

// ConsignBrowser must be a live, shown control even though it lies below
// the visible client area: consign pages load and are pressed in it.
TEST_F(MainWindowLayoutTest, ConsignBrowserIsShownBelowTheClientAreaOnEveryPage) {
    start();
    QWidget* consign = control("超文本浏览框2");
    auto* tabs = control<QTabWidget>("选择夹1");
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        EXPECT_TRUE(consign->isVisible()) << page;
    }
    EXPECT_GE(consign->y(), window->height());
}

TEST_F(MainWindowLayoutTest, WindowIsAFixedCentredToolWindowWithMinimiseAndCloseOnly) {
    start();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zenvik淘宝自动发货系统-您的贴心小助手"));
    EXPECT_EQ(window->size(), QSize(688, 480));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);  // keeps it off the taskbar
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->isVisible());

    QRect screen = window->screen()->geometry();
    QSize outer = window->frameGeometry().size();
    EXPECT_EQ(window->pos(), QPoint(screen.x() + (screen.width() - outer.width()) / 2,
                                    screen.y() + (screen.height() - outer.height()) / 2));
}

TEST_F(MainWindowLayoutTest, OrderListBrowserShowsTheOrderList) {
    start();
    QWidget* browser = control("超文本浏览框1");
    QUrl wanted(toQString(orderListUrl(settings)));
    // The page fails on the closed port; the address it asked for stays.
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser->property("url").toUrl() == wanted; }, 10000))
        << browser->property("url").toUrl().toString().toStdString();
}

// Sign-in must survive a restart: the profile keeps cookies and storage on
// disk below the program directory.
TEST_F(MainWindowLayoutTest, BrowsersShareOnePersistentProfile) {
    QWebEngineProfile& shared = sharedProfile();
    EXPECT_FALSE(shared.isOffTheRecord());
    EXPECT_EQ(shared.persistentCookiesPolicy(), QWebEngineProfile::ForcePersistentCookies);
    EXPECT_TRUE(shared.persistentStoragePath().endsWith(QStringLiteral("/browser/")) ||
                shared.persistentStoragePath().endsWith(QStringLiteral("/browser")))
        << shared.persistentStoragePath().toStdString();
    start();
    for (const char* name : {"超文本浏览框1", "超文本浏览框2"}) {
        QWebEngineView* view = window->findChild<QWebEngineView*>(QString::fromUtf8(name));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->page()->profile(), &shared) << name;
    }
}

struct CentreCase {
    QRect screen;
    QSize window;
    QPoint expected;
};

TEST(CentredPosition, UsesIntegerDivision) {
    const CentreCase cases[] = {
        {{0, 0, 1024, 768}, {688, 480}, {168, 144}},
        {{0, 0, 1023, 767}, {688, 480}, {167, 143}},
        {{1920, 0, 1280, 1024}, {693, 503}, {1920 + 293, 260}},
        {{0, 0, 640, 400}, {688, 480}, {-24, -40}},
    };
    for (const CentreCase& c : cases)
        EXPECT_EQ(centredPosition(c.screen, c.window), c.expected) << c.screen.width();
}

} // namespace
} // namespace zenvik::test
