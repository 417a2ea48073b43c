// The delivery loop against a shop and a delivery server on 127.0.0.1, over
// the real HTTP client and the real stores.

#include "delivery/delivered_orders.h"
#include "delivery/delivery_loop.h"
#include "fake_delivery_server.h"
#include "fake_dialogs.h"
#include "fake_shop.h"
#include "platform/curl/curl_http_client.h"
#include "platform/manual_clock.h"
#include "store/product_catalogue.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace zenvik::test {
namespace {

class MemoryCookieJar : public CookieJar {
public:
    std::vector<std::string> cookieLines() const override { return lines; }
    void storeCookieLines(const std::vector<std::string>& received) override {
        stored.insert(stored.end(), received.begin(), received.end());
    }
    std::vector<std::string> lines;
    std::vector<std::string> stored;
};

class ShopView : public DeliveryView {
public:
    Text serverAddressText() const override { return serverAddress; }
    Text periodText() const override { return "1"; }
    void setTradeStatus(const Text& caption) override { tradeStatus = caption; }
    void loadConsignPage(const Text& url) override { consignPages.push_back(url); }
    void pressConsignButton() override { ++presses; }

    Text serverAddress;
    Text tradeStatus;
    std::vector<Text> consignPages;
    int presses = 0;
};

const Text kProduct = text::narrow("移动充值卡50元");
const Text kNick = text::narrow("张三");

class DeliveryEndToEnd : public ::testing::Test {
protected:
    DeliveryEndToEnd() {
        settings.baseDirectory = dir.base();
        settings.shopHost = shop.host();
        settings.utkn = "g,abcdefghijklmnopqrstu0w1381232000000";
        std::filesystem::create_directories(dir.path() / "sp");
        EXPECT_TRUE(db.createStore(cataloguePath(settings.baseDirectory), catalogueFields()));
        EXPECT_TRUE(db.openStore(cataloguePath(settings.baseDirectory)));
        EXPECT_TRUE(db.addRecord({kProduct}));
        EXPECT_TRUE(db.createStore(stockStorePath(settings.baseDirectory, kProduct), cardFields()));
        EXPECT_TRUE(db.createStore(discardStorePath(settings.baseDirectory, kProduct), cardFields()));
        EXPECT_TRUE(db.openStore(stockStorePath(settings.baseDirectory, kProduct)));
        EXPECT_TRUE(db.addRecord({"8800001", text::narrow("密码 1"), "t"}));
        EXPECT_TRUE(db.addRecord({"8800002", "pw2", "t"}));

        jar.lines = {"localhost\tFALSE\t/\tFALSE\t0\tsid\tsecret"};
        shop.requireCookie("sid=secret");
        shop.setOrders({{"31001", kProduct, kNick, "91001"}, {"31002", kProduct, "nick2", "91002"}});
        view.serverAddress = delivery.address("/fh.php");
        monitor->setPeriod(10000);
    }

    std::size_t count(const Text& path) {
        db.openStore(path);
        return db.selectStore(path) ? db.recordCount() : 0;
    }

    TempDir dir;
    FakeShop shop;
    FakeDeliveryServer delivery;
    ProgramSettings settings;
    RecordDatabase db;
    MemoryCookieJar jar;
    CurlHttpClient http{&jar};
    FakeDialogs dialogs;
    ShopView view;
    ManualClock clock;
    std::unique_ptr<Timer> monitor = clock.createTimer();
    std::unique_ptr<Timer> consign = clock.createTimer();
    std::unique_ptr<Timer> buffer = clock.createTimer();
    DeliveryLoop loop{settings, db, http, dialogs, view, DeliveryTimers{*monitor, *consign, *buffer}};
};

TEST_F(DeliveryEndToEnd, FetchesMatchesDeliversAndRecords) {
    clock.advance(10000);

    const auto requests = delivery.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target,
              "/fh.php?name=%D5%C5%C8%FD&ddh=%33%31%30%30%31&card=%38%38%30%30%30%30%31&key=%C3%DC%C2%EB%20%31");
    EXPECT_EQ(loop.snapshot().productTitle, kProduct);
    EXPECT_EQ(view.consignPages, std::vector<Text>{"http://" + shop.host() + "/user/consign.htm?order_id=91001"});
    EXPECT_EQ(view.tradeStatus, text::narrow("有一笔交易正在处理"));
    EXPECT_EQ(count(stockStorePath(settings.baseDirectory, kProduct)), 1u);
    EXPECT_EQ(count(discardStorePath(settings.baseDirectory, kProduct)), 1u);
    EXPECT_EQ(count(deliveredStorePath(settings.baseDirectory)), 1u);

    // The shop learns of the consignment when the page's button is pressed.
    ASSERT_TRUE(http.get("http://" + shop.host() + "/consign_done?order_id=91001"));
    clock.advance(2500 + 10000);
    EXPECT_EQ(view.presses, 4);
    ASSERT_EQ(delivery.requests().size(), 2u);
    EXPECT_NE(delivery.requests()[1].target.find("&ddh=%33%31%30%30%32&card=%38%38%30%30%30%30%32&"), std::string::npos);
    EXPECT_EQ(count(stockStorePath(settings.baseDirectory, kProduct)), 0u);
}

TEST_F(DeliveryEndToEnd, TheShopsCookieGoesToTheShopOnly) {
    shop.setCookieOnOrderList("seen=1; Path=/");
    clock.advance(10000);
    for (const auto& request : shop.requests()) EXPECT_EQ(request.cookie, "sid=secret");
    ASSERT_EQ(delivery.requests().size(), 1u);
    EXPECT_EQ(delivery.requests()[0].cookie, "");
    // The cookie that the shop set goes back to the browser profile.
    EXPECT_EQ(jar.stored, std::vector<std::string>{"localhost\tFALSE\t/\tFALSE\t0\tseen\t1"});
}

TEST_F(DeliveryEndToEnd, WithoutTheSignInThereIsNoTrade) {
    jar.lines.clear();
    clock.advance(10000);
    EXPECT_EQ(view.tradeStatus, text::narrow("当前没有交易"));
    EXPECT_TRUE(delivery.requests().empty());
    EXPECT_EQ(monitor->period(), 10000);
}

TEST_F(DeliveryEndToEnd, AnUnreachableDeliveryServerKeepsTheCard) {
    {
        FakeDeliveryServer gone;
        view.serverAddress = gone.address("/fh.php");
    }
    clock.advance(10000);
    EXPECT_EQ(view.tradeStatus, text::narrow("发货服务器无法连接，卡密未发出"));
    EXPECT_EQ(count(stockStorePath(settings.baseDirectory, kProduct)), 2u);
    EXPECT_EQ(count(discardStorePath(settings.baseDirectory, kProduct)), 0u);
    EXPECT_EQ(monitor->period(), 10000);
    EXPECT_EQ(consign->period(), 0);
}

TEST_F(DeliveryEndToEnd, TheConsignPageCarriesTheButtonThatConsigns) {
    clock.advance(10000);
    ASSERT_EQ(view.consignPages.size(), 1u);
    const auto page = http.get(view.consignPages[0]);
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("id=\"logis:noLogis\""), std::string::npos);
    EXPECT_NE(page->body.find("/consign_done?order_id=91001"), std::string::npos);
    EXPECT_EQ(shop.orders().size(), 2u);
}

} // namespace
} // namespace zenvik::test
