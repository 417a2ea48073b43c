#include "platform/manual_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace zenvik {
namespace {

struct TickLog {
    ManualClock& clock;
    std::vector<std::int64_t> at;
    void attach(Timer& timer) {
        timer.setHandler([this] { at.push_back(clock.now()); });
    }
};

TEST(TimerRule, PeriodChangesFollowTheRule) {
    struct Case {
        const char* name;
        std::int32_t second;  // period set 300 ms after the first setting of 1000
        std::vector<std::int64_t> ticks;  // within the first 2500 ms
    } cases[] = {
        {"same period keeps the countdown", 1000, {1000, 2000}},
        {"other period restarts", 500, {800, 1300, 1800, 2300}},
        {"zero stops", 0, {}},
        {"negative counts as zero", -5, {}},
    };
    for (const auto& c : cases) {
        ManualClock clock;
        auto timer = clock.createTimer();
        TickLog log{clock, {}};
        log.attach(*timer);
        timer->setPeriod(1000);
        clock.advance(300);
        timer->setPeriod(c.second);
        clock.advance(2200);
        EXPECT_EQ(log.at, c.ticks) << c.name;
        EXPECT_EQ(timer->period(), c.second < 0 ? 0 : c.second) << c.name;
    }
}

TEST(TimerRule, HandlerCanRearmOtherTimersAndTiesRunInArmingOrder) {
    ManualClock clock;
    auto first = clock.createTimer();
    auto second = clock.createTimer();
    std::vector<std::string> order;
    first->setHandler([&] {
        order.push_back("first@" + std::to_string(clock.now()));
        first->setPeriod(0);
        second->setPeriod(250);
    });
    second->setHandler([&] { order.push_back("second@" + std::to_string(clock.now())); });
    first->setPeriod(500);
    clock.advance(1000);
    EXPECT_EQ(order, (std::vector<std::string>{"first@500", "second@750", "second@1000"}));
}

TEST(TickHold, TicksFallingDueDuringAHoldRunRightAfterIt) {
    ManualClock clock;
    auto timer = clock.createTimer();
    auto stopped = clock.createTimer();
    int ticks = 0, stoppedTicks = 0;
    timer->setHandler([&] { ++ticks; });
    stopped->setHandler([&] { ++stoppedTicks; });
    timer->setPeriod(100);
    stopped->setPeriod(100);
    {
        TickHold hold;
        clock.advance(350);  // three ticks fall due; each timer runs once afterwards
        EXPECT_EQ(ticks, 0);
        stopped->setPeriod(0);
    }
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(stoppedTicks, 0);  // stopped while held: its tick is dropped
    EXPECT_FALSE(TickHold::active());
}

TEST(TickHold, ARestartDuringAHoldDropsTheTickHeldBack) {
    struct Case {
        const char* name;
        std::vector<std::int32_t> periods;  // set in this order while the tick is held
        std::vector<std::int64_t> ticks;    // within the first 700 ms
    } const cases[] = {
        {"other period", {300}, {450}},
        {"stopped and started again", {0, 100}, {250, 350, 450, 550, 650}},
        {"same period keeps it", {100}, {150, 200, 300, 400, 500, 600, 700}},
    };
    for (const Case& c : cases) {
        ManualClock clock;
        auto timer = clock.createTimer();
        TickLog log{clock, {}};
        log.attach(*timer);
        timer->setPeriod(100);
        {
            TickHold hold;
            clock.advance(150);
            for (std::int32_t period : c.periods) timer->setPeriod(period);
        }
        clock.advance(550);
        EXPECT_EQ(log.at, c.ticks) << c.name;
    }
}

} // namespace
} // namespace zenvik
