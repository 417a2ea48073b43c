#include "delivery_fixture.h"

#include <gtest/gtest.h>

namespace zenvik::test {
namespace {

const Text kProduct = "card";

// A delivery at 10 s on a polling period of 10 s, then the cycle.
class ConsignCycle : public DeliveryFixture {
protected:
    void SetUp() override {
        addProduct(kProduct);
        addCards(kProduct, {{"c1", "p1"}, {"c2", "p2"}, {"c3", "p3"}});
        listOrders({{"1", kProduct, "nick", "9"}});
        view.onPress = [this] { pressTimes.push_back(clock.now()); };
        monitor->setPeriod(10000);
        clock.advance(10000);
        ASSERT_EQ(deliveryRequests().size(), 1u);
        // The shop has taken the consignment by the time polling resumes.
        listOrders({});
    }

    std::size_t polls() const { return http.requests.size() - deliveryRequests().size(); }

    std::vector<std::int64_t> pressTimes;
};

TEST_F(ConsignCycle, PressesFourTimesThenResumesPollingAfterAWholePeriod) {
    clock.advance(2500);
    EXPECT_EQ(pressTimes, (std::vector<std::int64_t>{10500, 11000, 11500, 12000}));
    EXPECT_EQ(consign->period(), 0);
    EXPECT_EQ(buffer->period(), 0);
    EXPECT_EQ(monitor->period(), 10000);
    EXPECT_EQ(polls(), 1u);

    clock.advance(9999);
    EXPECT_EQ(polls(), 1u);
    clock.advance(1);
    EXPECT_EQ(polls(), 2u);
    EXPECT_EQ(pressTimes.size(), 4u);
}

TEST_F(ConsignCycle, TakesThePeriodFromThePeriodTextAtTheEnd) {
    view.period = "0.5";
    clock.advance(2500);
    EXPECT_EQ(monitor->period(), 5000);
    clock.advance(5000);
    EXPECT_EQ(polls(), 2u);
}

TEST_F(ConsignCycle, PeriodOfZeroOrLessEndsPollingSilently) {
    int n = 0;
    for (const Text& period : {Text(""), Text("0"), Text("-1")}) {
        SCOPED_TRACE(period);
        view.period = period;
        if (n++ > 0) {  // every further case starts with a delivery of its own
            listOrders({{"order" + std::to_string(n), kProduct, "nick", "9"}});
            monitor->setPeriod(10000);
            clock.advance(10000);
            ASSERT_EQ(consign->period(), 500);
            listOrders({});
        }
        clock.advance(2500);
        EXPECT_EQ(monitor->period(), 0);
        EXPECT_EQ(consign->period(), 0);
        EXPECT_EQ(buffer->period(), 0);
        const std::size_t before = polls();
        clock.advance(600000);
        EXPECT_EQ(polls(), before);
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(ConsignCycle, BufferTickInsideAConsignTickIsHarmless) {
    bool nested = false;
    view.onPress = [&] {
        pressTimes.push_back(clock.now());
        if (nested) return;
        nested = true;
        loop->bufferTick();  // run by a nested message loop inside the press
    };
    clock.advance(500);
    // The inner tick resumed polling; the outer one armed BufferTimer again.
    EXPECT_EQ(consign->period(), 0);
    EXPECT_EQ(buffer->period(), 2000);
    EXPECT_EQ(monitor->period(), 10000);

    clock.advance(2000);
    EXPECT_EQ(buffer->period(), 0);
    EXPECT_EQ(monitor->period(), 10000);
    EXPECT_EQ(pressTimes, std::vector<std::int64_t>{10500});
    // The second BufferTimer tick did not restart MonitorTimer's countdown.
    clock.advance(8000);
    EXPECT_EQ(polls(), 2u);
}

TEST_F(ConsignCycle, SwitchingMonitoringOnDuringTheCycleStartsPollingAtOnce) {
    clock.advance(700);
    monitor->setPeriod(10000);
    clock.advance(1800);
    EXPECT_EQ(monitor->period(), 10000);
    // The BufferTimer tick set the same period, which does not restart it.
    clock.advance(8000);
    EXPECT_EQ(polls(), 1u);
    clock.advance(500);
    EXPECT_EQ(polls(), 2u);
}

} // namespace
} // namespace zenvik::test
