// The two settings of "首页": the server address with its lock and
// "server.ini", and the monitoring switch with PeriodEdit's rules.
#include "app_fixture.h"

#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

namespace zenvik::test {
namespace {

namespace fs = std::filesystem;

class ServerAddressTest : public AppFixture {
protected:
    QLineEdit* edit() { return control<QLineEdit>("编辑框3"); }
    QPushButton* button() { return control<QPushButton>("按钮4"); }
    void writeIni(const std::string& bytes) {
        std::ofstream(dir.path() / "server.ini", std::ios::binary) << bytes;
    }
};

TEST_F(ServerAddressTest, StartShowsTheFileUpToItsFirstZeroByte) {
    struct Case {
        std::string bytes;
        QString shown;
    };
    const Case cases[] = {
        {std::string("abc\0more", 8), "abc"},
        {text::narrow("发货.example:8080/收卡"), "发货.example:8080/收卡"},
        {"", ""},
    };
    for (const Case& c : cases) {
        writeIni(c.bytes);
        start();
        EXPECT_EQ(edit()->text(), c.shown);
        EXPECT_FALSE(edit()->isEnabled());
        EXPECT_EQ(button()->text(), QStringLiteral("修改"));
    }
}

TEST_F(ServerAddressTest, UnlockSaveAndRestart) {
    struct Case {
        QString typed;
        std::string saved;
    };
    writeIni("an.older.and.longer.address:8080");
    for (const Case& c : {Case{"abc", "abc"}, Case{"", ""}, Case{"服务器.cn", text::narrow("服务器.cn")}}) {
        SCOPED_TRACE(c.saved);
        start();
        const std::string before = fileBytes("server.ini");

        QTest::mouseClick(button(), Qt::LeftButton);
        EXPECT_TRUE(edit()->isEnabled());
        EXPECT_EQ(button()->text(), QStringLiteral("保存"));
        edit()->setText(c.typed);
        // Deliveries take the text as it stands, saved or not.
        EXPECT_EQ(window->serverAddressText(), c.saved);
        EXPECT_EQ(fileBytes("server.ini"), before);

        QTest::mouseClick(button(), Qt::LeftButton);
        EXPECT_FALSE(edit()->isEnabled());
        EXPECT_EQ(button()->text(), QStringLiteral("修改"));
        EXPECT_EQ(fileBytes("server.ini"), c.saved);
        EXPECT_FALSE(fs::exists(dir.path() / "server.ini.tmp"));

        start();
        EXPECT_EQ(edit()->text(), c.typed);
        EXPECT_FALSE(edit()->isEnabled());
    }
}

TEST_F(ServerAddressTest, UnsavedEditIsLostOnRestart) {
    writeIni("abc");
    start();
    QTest::mouseClick(button(), Qt::LeftButton);
    edit()->setText(QStringLiteral("edited"));
    start();
    EXPECT_EQ(edit()->text(), QStringLiteral("abc"));
}

// A character that code page 936 cannot hold would be saved as another
// address than the one shown: the seller is told and may correct it.
TEST_F(ServerAddressTest, TextThatCannotBeSavedStaysUnlocked) {
    writeIni("abc");
    start();
    QTest::mouseClick(button(), Qt::LeftButton);
    edit()->setText(QStringLiteral("abc\U0001F600"));
    QTest::mouseClick(button(), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], text::narrow("服务器地址含有无法保存的字符，请修改后再保存"));
    EXPECT_TRUE(edit()->isEnabled());
    EXPECT_EQ(button()->text(), QStringLiteral("保存"));
    EXPECT_EQ(fileBytes("server.ini"), "abc");
}

class MonitoringSwitchTest : public AppFixture {
protected:
    QLineEdit* period() { return control<QLineEdit>("编辑框1"); }
    QCheckBox* check() { return control<QCheckBox>("选择框1"); }
    QLabel* state() { return control<QLabel>("标签3"); }
    void press() { QTest::mouseClick(control<QPushButton>("按钮1"), Qt::LeftButton); }
};

TEST_F(MonitoringSwitchTest, CaptionAndPeriodFollowTheSwitch) {
    struct Case {
        bool ticked;
        QString period;
        QString caption;
        std::int32_t ms;
    };
    const Case cases[] = {
        {true, "6", "周期为60秒，发货监控中", 60000},
        {true, "", "周期为0秒，发货监控中", 0},
        {true, "-3", "周期为-30秒，发货监控中", 0},
        {false, "6", "自动发货已关闭", 0},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        window->monitorTimer().setPeriod(12345);  // as a running monitor left it
        check()->setChecked(c.ticked);
        period()->setText(c.period);
        press();
        EXPECT_EQ(state()->text(), c.caption);
        EXPECT_EQ(window->monitorTimer().period(), c.ms);
        EXPECT_EQ(window->consignTimer().period(), 0);
        EXPECT_EQ(window->bufferTimer().period(), 0);
        EXPECT_EQ(control<QLabel>("标签4")->text(), QStringLiteral("当前没有交易"));
    }
}

TEST_F(MonitoringSwitchTest, TickingOrEditingAloneChangesNothing) {
    start();
    check()->setChecked(true);
    period()->setText(QStringLiteral("6"));
    EXPECT_EQ(state()->text(), QStringLiteral("自动发货已关闭"));
    EXPECT_EQ(window->monitorTimer().period(), 0);
}

// Each poll is one GET of the order list; counting them shows when
// MonitorTimer ticks.
TEST_F(MonitoringSwitchTest, SamePeriodKeepsTheCountdownANewOneRestartsIt) {
    start();
    check()->setChecked(true);
    period()->setText(QStringLiteral("6"));
    press();
    clock.advance(40000);
    press();  // same period: the countdown goes on
    clock.advance(20000);
    EXPECT_EQ(http.urls.size(), 1u);

    clock.advance(20000);
    period()->setText(QStringLiteral("3"));
    press();  // restarts at 30000 ms
    EXPECT_EQ(window->monitorTimer().period(), 30000);
    clock.advance(29999);
    EXPECT_EQ(http.urls.size(), 1u);
    clock.advance(1);
    EXPECT_EQ(http.urls.size(), 2u);
    EXPECT_EQ(http.urls.back(), orderListUrl(settings));
}

class PeriodEditTest : public AppFixture {
protected:
    QLineEdit* period() { return control<QLineEdit>("编辑框1"); }
    void enter() {
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        period()->setFocus();
        ASSERT_TRUE(period()->hasFocus());
    }
    void leave() {
        control("选择框1")->setFocus();
        ASSERT_FALSE(period()->hasFocus());
    }
};

TEST_F(PeriodEditTest, TypingKeepsSignAndDigitsAndLeavingNormalises) {
    struct Case {
        const char* typed;
        QString afterTyping;
        QString afterLeaving;
    };
    const Case cases[] = {
        {"12a", "12", "12"},
        {"99999", "99999", "32767"},
        {"-99999", "-99999", "-32768"},
        {"0", "0", ""},
        {"007", "007", "7"},
        {"a-b1 2", "-12", "-12"},
        {"--5", "--5", ""},
        {"5-", "5-", "5"},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        enter();
        period()->clear();
        QTest::keyClicks(period(), c.typed);
        EXPECT_EQ(period()->text(), c.afterTyping);
        leave();
        EXPECT_EQ(period()->text(), c.afterLeaving);
    }
}

TEST_F(PeriodEditTest, PasteAndControlKeysPass) {
    start();
    enter();
    QApplication::clipboard()->setText(QStringLiteral("4x5"));
    QTest::keyClick(period(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(period()->text(), QStringLiteral("4x5"));
    QTest::keyClick(period(), Qt::Key_Backspace);
    EXPECT_EQ(period()->text(), QStringLiteral("4x"));
    leave();
    EXPECT_EQ(period()->text(), QStringLiteral("4"));
}

} // namespace
} // namespace zenvik::test
