// The whole program as a seller runs it: MainWindow with its real timers, the
// real browser pressing consign buttons and libcurl sharing the browser's
// cookies, against a fake shop and a fake delivery server on 127.0.0.1.
#include "app_fixture.h"

#include "app/server_address_file.h"
#include "cards/card_window.h"
#include "fake_delivery_server.h"
#include "fake_shop.h"
#include "platform/curl/curl_http_client.h"
#include "platform/qt/qt_timer.h"
#include "store/product_catalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace zenvik::test {
namespace {

// Generous: the browser engine starts slowly on a busy machine.
constexpr int kWaitMs = 60000;

const Text product = text::narrow("王者荣耀点券100");

struct StoredCard {
    Text number;
    Text password;
    Text time;
};

class SellerE2e : public AppFixture {
protected:
    SellerE2e() {
        settings.shopHost = shop.host();
        timerFactory = &timers;
        httpClient = &curl;
    }
    // The window goes before the servers and services it uses.
    ~SellerE2e() override { stop(); }

    void stockCards(const std::vector<StoredCard>& cards) {
        makeCatalogue({product});
        RecordDatabase earlier;
        ASSERT_TRUE(earlier.openStore(stockStorePath(dir.base(), product)));
        for (const StoredCard& card : cards) ASSERT_TRUE(earlier.addRecord({card.number, card.password, card.time}));
    }

    std::vector<StoredCard> storedCards(const Text& path) {
        RecordDatabase reader;
        std::vector<StoredCard> cards;
        if (!reader.openStore(path)) return cards;
        reader.goFirst();
        for (std::size_t left = reader.recordCount(); left > 0; --left) {
            cards.push_back({reader.readField(1), reader.readField(2), reader.readField(3)});
            reader.skipRecord();
        }
        return cards;
    }

    void click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }

    // "修改" unlocks the edit, the address is typed, "保存" stores it.
    void saveServerAddress() {
        click("按钮4");
        QTest::keyClicks(control<QLineEdit>("编辑框3"), QString::fromStdString(delivery.address()));
        click("按钮4");
    }

    // AutoDeliveryCheck ticked, a period typed, MonitorSwitchButton pressed.
    // "0.1" (a one-second period) keeps the tests short: the seller could
    // paste it, as a paste passes the edit's typing rule, and it stays as
    // long as the focus does not leave the edit.
    void switchMonitoringOn() {
        auto* check = control<QCheckBox>("选择框1");
        if (!check->isChecked()) click("选择框1");
        ASSERT_TRUE(check->isChecked());
        control<QLineEdit>("编辑框1")->setText(QStringLiteral("0.1"));
        click("按钮1");
    }

    QString tradeStatus() { return control<QLabel>("标签4")->text(); }

    std::size_t shopRequests(const std::string& prefix) const {
        const auto requests = shop.requests();
        return std::count_if(requests.begin(), requests.end(),
                             [&](const RecordedRequest& request) { return request.target.starts_with(prefix); });
    }
    std::size_t polls() const { return shopRequests("/user/order_list_new.htm"); }
    std::size_t consignPageLoads(const std::string& consignId) const {
        return shopRequests("/user/consign.htm?order_id=" + consignId);
    }
    std::optional<std::chrono::steady_clock::time_point> consignedAt(const std::string& consignId) const {
        for (const RecordedRequest& request : shop.requests())
            if (request.target == "/consign_done?order_id=" + consignId) return request.at;
        return std::nullopt;
    }

    bool consigned(const std::vector<std::string>& ids) const { return shop.consignedOrderIds() == ids; }
    // Polling goes on: two more polls of the order list after this moment.
    bool pollsAgain() {
        const std::size_t before = polls();
        return QTest::qWaitFor([&] { return polls() >= before + 2; }, kWaitMs);
    }

    FakeShop shop;
    FakeDeliveryServer delivery;
    QtTimerFactory timers;
    CurlHttpClient curl{&sharedCookieJar()};
};

TEST_F(SellerE2e, TwoOrdersAreDeliveredAndConsignedOneAtATime) {
    stockCards({{"c1", "p&1=", ""}, {"c2", "p2", ""}, {"c3", "p3", ""}});
    shop.setOrders({{"51", product, text::narrow("tb买家"), "61"}, {"52", product, "b", "62"}});
    start();
    saveServerAddress();
    EXPECT_EQ(fileBytes("server.ini"), delivery.address());
    switchMonitoringOn();
    EXPECT_EQ(window->monitorTimer().period(), 1000);

    ASSERT_TRUE(QTest::qWaitFor([&] { return consigned({"61", "62"}); }, kWaitMs));
    EXPECT_TRUE(shop.orders().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return tradeStatus() == QStringLiteral("当前没有交易"); }, kWaitMs));
    EXPECT_TRUE(pollsAgain());
    EXPECT_EQ(window->monitorTimer().period(), 1000);

    // Every byte of the four values is percent-encoded; the buyer's nick
    // goes as its code page 936 bytes.
    const auto requests = delivery.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/fh.php?name=%74%62%C2%F2%BC%D2&ddh=%35%31&card=%63%31&key=%70%26%31%3D");
    EXPECT_EQ(requests[1].target, "/fh.php?name=%62&ddh=%35%32&card=%63%32&key=%70%32");
    // One order at a time: the second card left only after the first order
    // was consigned.
    const auto firstConsigned = consignedAt("61");
    ASSERT_TRUE(firstConsigned);
    EXPECT_LT(*firstConsigned, requests[1].at);
    EXPECT_EQ(consignPageLoads("61"), 1u);
    EXPECT_EQ(consignPageLoads("62"), 1u);
    EXPECT_TRUE(dialogs.messages.empty());

    stop();
    const auto sold = storedCards(discardStorePath(dir.base(), product));
    ASSERT_EQ(sold.size(), 2u);
    EXPECT_EQ(sold[0].number, "c1");
    EXPECT_EQ(sold[0].password, "p&1=");
    EXPECT_EQ(sold[1].number, "c2");
    for (const StoredCard& card : sold) EXPECT_NE(card.time.find(text::narrow("日")), Text::npos) << card.time;
    const auto stock = storedCards(stockStorePath(dir.base(), product));
    ASSERT_EQ(stock.size(), 1u);
    EXPECT_EQ(stock[0].number, "c3");
}

// The button appears only after the cycle's first presses have found
// nothing; a later press of the same cycle consigns the order, so its page is
// loaded once and no second cycle is needed.
TEST_F(SellerE2e, ButtonThatAppearsLateIsPressedByALaterTick) {
    stockCards({{"c1", "p1", ""}, {"c2", "p2", ""}});
    shop.setOrders({{"51", product, "a", "61"}});
    shop.setConsignButton("61", ConsignButton::Late);
    writeServerAddress(dir.base(), delivery.address());
    start();
    switchMonitoringOn();

    ASSERT_TRUE(QTest::qWaitFor([&] { return consigned({"61"}); }, kWaitMs));
    EXPECT_EQ(consignPageLoads("61"), 1u);
    EXPECT_EQ(delivery.requests().size(), 1u);
    EXPECT_TRUE(pollsAgain());
}

// The order stays listed: every later poll gives it another consign cycle,
// never another card.
TEST_F(SellerE2e, ConsignPageWithoutButtonGetsNoSecondCard) {
    stockCards({{"c1", "p1", ""}, {"c2", "p2", ""}, {"c3", "p3", ""}});
    shop.setOrders({{"51", product, "a", "61"}});
    shop.setConsignButton("61", ConsignButton::Missing);
    writeServerAddress(dir.base(), delivery.address());
    start();
    switchMonitoringOn();

    ASSERT_TRUE(QTest::qWaitFor([&] { return consignPageLoads("61") >= 2; }, kWaitMs));
    EXPECT_TRUE(pollsAgain());
    EXPECT_EQ(delivery.requests().size(), 1u);
    EXPECT_TRUE(shop.consignedOrderIds().empty());
    EXPECT_EQ(shop.orders().size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());

    stop();
    EXPECT_EQ(storedCards(stockStorePath(dir.base(), product)).size(), 2u);
    EXPECT_EQ(storedCards(discardStorePath(dir.base(), product)).size(), 1u);
}

// CardWindow runs a modal loop of its own; MainWindow's timers tick in it.
TEST_F(SellerE2e, DeliveryRunsWhileCardWindowIsOpen) {
    stockCards({{"c1", "p1", ""}});
    writeServerAddress(dir.base(), delivery.address());
    start();
    switchMonitoringOn();
    control<QTabWidget>("选择夹1")->setCurrentIndex(2);

    // Watches for CardWindow from inside its modal loop: while it is open an
    // order arrives, and the window is closed once the order is consigned.
    bool deliveredInside = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* cardWindow = qobject_cast<CardWindow*>(QApplication::activeModalWidget());
        if (!cardWindow) return;
        watch.stop();
        shop.setOrders({{"51", product, "a", "61"}});
        deliveredInside = QTest::qWaitFor([&] { return consigned({"61"}); }, kWaitMs);
        cardWindow->close();
    });
    watch.start(50);
    click("按钮3");  // returns when CardWindow is closed
    watch.stop();

    EXPECT_TRUE(deliveredInside);
    EXPECT_EQ(delivery.requests().size(), 1u);
    EXPECT_TRUE(pollsAgain());
}

} // namespace
} // namespace zenvik::test
