#include "platform/qt/qt_text.h"
#include "platform/qt/qt_timer.h"

#include <QTest>
#include <gtest/gtest.h>

namespace zenvik {
namespace {

TEST(QtTimer, TicksUntilStopped) {
    QtTimerFactory factory;
    auto timer = factory.createTimer();
    int ticks = 0;
    timer->setHandler([&] { ++ticks; });
    timer->setPeriod(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
    timer->setPeriod(0);
    int seen = ticks;
    QTest::qWait(50);
    EXPECT_EQ(ticks, seen);
}

TEST(QtText, NarrowTextAtTheWidgets) {
    EXPECT_EQ(toQString("\xD6\xD0" "a"), QStringLiteral("中a"));
    EXPECT_EQ(toNarrow(QStringLiteral("卡号")), std::optional<Text>("\xBF\xA8\xBA\xC5"));
    EXPECT_FALSE(toNarrow(QString::fromUtf8("\xF0\x9F\x98\x80")).has_value());
    EXPECT_EQ(toNarrowLossy(QString::fromUtf8("a\xF0\x9F\x98\x80" "b")), "a?b");
}

} // namespace
} // namespace zenvik
