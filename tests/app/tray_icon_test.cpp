// The tray icon and TrayMenu: which actions pop the menu up, what each item
// does, and the tip.
#include "app_fixture.h"

#include "app/tray_icon.h"
#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace zenvik::test {
namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class TrayTest : public AppFixture {
protected:
    QAction* item(const QString& caption) {
        for (QAction* action : window->trayIcon().menu().actions())
            if (action->text() == caption) return action;
        ADD_FAILURE() << caption.toStdString();
        return nullptr;
    }
    QPoint centre() const {
        QRect screen = window->screen()->geometry();
        QSize outer = window->frameGeometry().size();  // the frame counts
        return {screen.x() + (screen.width() - outer.width()) / 2,
                screen.y() + (screen.height() - outer.height()) / 2};
    }
};

TEST_F(TrayTest, MenuHoldsItsThreeItems) {
    start();
    QMenu* menu = window->findChild<QMenu*>(QStringLiteral("TrayMenu"));
    ASSERT_EQ(menu, &window->trayIcon().menu());
    QStringList items;
    for (QAction* action : menu->actions()) items << action->text();
    EXPECT_EQ(items, (QStringList{"显示主窗口", "访问官网", "退出"}));
}

TEST_F(TrayTest, OnlyTheContextActionPopsTheMenuUp) {
    start();
    struct Case {
        QSystemTrayIcon::ActivationReason reason;
        bool popsUp;
    };
    for (Case c : {Case{QSystemTrayIcon::Trigger, false}, Case{QSystemTrayIcon::DoubleClick, false},
                   Case{QSystemTrayIcon::MiddleClick, false}, Case{QSystemTrayIcon::Context, true}}) {
        QMenu& menu = window->trayIcon().menu();
        menu.hide();
        emit window->trayIcon().icon().activated(c.reason);
        EXPECT_EQ(menu.isVisible(), c.popsUp) << c.reason;
        if (c.popsUp) {
            EXPECT_EQ(menu.pos(), QCursor::pos() + QPoint(3, 3));
        }
    }
}

TEST_F(TrayTest, TipIsTheTitle) {
    start();
    EXPECT_EQ(window->trayIcon().icon().toolTip(), window->windowTitle());
    EXPECT_FALSE(window->trayIcon().icon().icon().isNull());
    EXPECT_TRUE(window->trayIcon().icon().isVisible());
}

TEST(TrayTip, IsCutTo62BytesOnACharacterBoundary) {
    struct Case {
        QString title;
        QString tip;
    };
    const QString han40 = QString(40, QChar(u'汉'));
    const Case cases[] = {
        {"ab" + han40, "ab" + QString(30, QChar(u'汉'))},  // exactly 62 bytes
        {"a" + han40, "a" + QString(30, QChar(u'汉'))},    // 61: the next character would straddle
        {QString(70, u'x'), QString(62, u'x')},
    };
    for (const Case& c : cases) {
        QWidget owner;
        TrayIcon tray(c.title, owner);
        EXPECT_EQ(tray.icon().toolTip(), c.tip) << c.title.size();
    }
}

TEST_F(TrayTest, ShowMainWindowCentresAMovedWindow) {
    start();
    window->move(3, 4);
    item("显示主窗口")->trigger();
    EXPECT_EQ(window->pos(), centre());
}

TEST_F(TrayTest, ShowMainWindowRestoresAMinimisedWindow) {
    start();
    window->move(3, 4);
    window->showMinimized();
    ASSERT_TRUE(window->isMinimized());
    item("显示主窗口")->trigger();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), centre());
}

TEST_F(TrayTest, ShowMainWindowLeavesAHiddenWindowAlone) {
    start();
    window->hide();
    window->move(3, 4);
    item("显示主窗口")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(3, 4));
}

TEST_F(TrayTest, VisitOpensTheHomePage) {
    start();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    item("访问官网")->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    EXPECT_EQ(catcher.opened, QList<QUrl>{QUrl(toQString(settings.homeUrl))});
    EXPECT_TRUE(window->isVisible());
}

// "退出" and the close box end the program: the event loop that runs it
// returns, and the tray icon is gone, without a question.
TEST_F(TrayTest, ExitAndTheCloseBoxEndTheProgram) {
    for (bool viaTray : {true, false}) {
        SCOPED_TRACE(viaTray ? "退出" : "close box");
        start();
        QTimer::singleShot(0, window.get(), [&] {
            if (viaTray) item("退出")->trigger();
            else window->close();
        });
        QTimer stuck;
        stuck.setSingleShot(true);
        QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stuck.start(15000);
        EXPECT_EQ(QApplication::exec(), 0);
        stuck.stop();
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->trayIcon().icon().isVisible());
        EXPECT_TRUE(dialogs.questions.empty());
    }
}

// Only MainWindow ends the program: closing another top-level window, such
// as a message box, leaves it running.
TEST_F(TrayTest, ClosingAnotherWindowKeepsTheProgramRunning) {
    start();
    QWidget box;
    box.show();
    QTimer::singleShot(0, &box, [&] { box.close(); });
    QTimer::singleShot(300, [] { QCoreApplication::exit(5); });
    EXPECT_EQ(QApplication::exec(), 5);
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace zenvik::test

#include "tray_icon_test.moc"
