#include "delivery/delivered_orders.h"
#include "delivery_fixture.h"
#include "store/product_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zenvik::test {
namespace {

const Text kNoTrade = text::narrow("当前没有交易");
const Text kTrade = text::narrow("有一笔交易正在处理");
const Text kManual = text::narrow("当前有一笔非自动发货的订单需要处理，请手动处理");
const Text kSoldOut = text::narrow("亲，您的卡密已经卖完了喔，请及时加卡！");
const Text kServerUnreachable = text::narrow("发货服务器无法连接，卡密未发出");
const Text kStoresUnavailable = text::narrow("该商品的卡密库无法打开，卡密未发出");
const Text kSentUnrecorded = text::narrow("卡密已发出，但无法记入已售卡密库");

const Text kProduct = text::narrow("Q币10元");
const PageOrder kOrder{"2001", kProduct, text::narrow("买家"), "6001"};

bool isTimeStampNearNow(const Text& stamp, const Text& before) {
    return stamp == before || stamp == text::timeStampNow();
}

class PollOrderList : public DeliveryFixture {};

TEST_F(PollOrderList, PageWithoutAnOrderShowsNoTrade) {
    struct Case {
        const char* name;
        std::optional<HttpResponse> answer;
    };
    for (const auto& c : {Case{"failed request", std::nullopt}, Case{"empty body", HttpResponse{200, ""}},
                          Case{"no orders", HttpResponse{200, orderPage({})}},
                          Case{"server error", HttpResponse{500, "<html>error</html>"}}}) {
        SCOPED_TRACE(c.name);
        view.tradeStatus.clear();
        http.orderList = c.answer;
        loop->pollOrderList();
        EXPECT_EQ(view.tradeStatus, kNoTrade);
        EXPECT_EQ(loop->snapshot().orderNumber, "");
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(view.consignPages.empty());
    }
}

TEST_F(PollOrderList, KeepsThePageUpToItsFirstZeroByte) {
    http.orderList = HttpResponse{200, orderBlock(kOrder) + std::string("\0", 1) + orderBlock({"9", "t", "n", "c"})};
    loop->pollOrderList();
    EXPECT_EQ(loop->snapshot().pageText, orderBlock(kOrder));

    // A zero byte in the middle of the first order cuts it off.
    std::string block = orderBlock(kOrder);
    block.insert(block.find(kNickStart), 1, '\0');
    http.orderList = HttpResponse{200, block};
    loop->pollOrderList();
    EXPECT_EQ(loop->snapshot().orderNumber, "2001");
    EXPECT_EQ(loop->snapshot().buyerNick, "");
    EXPECT_EQ(view.tradeStatus, kNoTrade);
}

TEST_F(PollOrderList, TitleMustEqualAProductNameByteForByte) {
    struct Case {
        const char* name;
        Text catalogueName;
        Text pageTitle;
        bool matches;
    };
    const Case cases[] = {
        {"same", "Card A&B", "Card A&B", true},
        {"letter case", "card a&b", "Card A&B", false},
        {"full-width letters", text::narrow("Ｃａｒｄ"), "Card", false},
        {"character reference not decoded", "Card A&B", "Card A&amp;B", false},
        {"character reference kept", "Card A&amp;B", "Card A&amp;B", true},
        {"prefix", "Card", "Card A", false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A fresh product name per case keeps the store files apart.
        const Text suffix = std::to_string(++n);
        addProduct(c.catalogueName + suffix);
        addCards(c.catalogueName + suffix, {{"card" + suffix, "pw"}});
        dialogs.messages.clear();
        listOrders({{"300" + suffix, c.pageTitle + suffix, "nick", "700" + suffix}});
        loop->pollOrderList();
        EXPECT_EQ(deliveryRequests().size(), c.matches ? 1u : 0u);
        EXPECT_EQ(dialogs.messages, c.matches ? std::vector<Text>{} : std::vector<Text>{kManual});
        http.requests.clear();
    }
}

TEST_F(PollOrderList, UnknownProductAsksForManualHandlingAndKeepsTheCaption) {
    addProduct(text::narrow("别的商品"));
    view.tradeStatus = "before";
    listOrders({kOrder});
    loop->pollOrderList();
    EXPECT_EQ(dialogs.messages, std::vector<Text>{kManual});
    EXPECT_EQ(view.tradeStatus, "before");
    EXPECT_TRUE(view.consignPages.empty());
    EXPECT_TRUE(deliveryRequests().empty());
}

TEST_F(PollOrderList, SearchesTheCatalogueFromItsFirstRecord) {
    addProduct(kProduct);
    addProduct(text::narrow("别的商品"));
    addCards(kProduct, {{"c1", "p1"}});
    // Another handler left the catalogue at its end.
    ASSERT_TRUE(db.selectStore("sp"));
    db.goFirst();
    while (db.skipRecord()) {
    }
    listOrders({kOrder});
    loop->pollOrderList();
    EXPECT_EQ(deliveryRequests().size(), 1u);
}

TEST_F(PollOrderList, MessageBoxesDoNotPileUp) {
    listOrders({kOrder});  // the product is not in the catalogue
    monitor->setPeriod(10000);
    int nested = 0;
    dialogs.onMessage = [&](const Text&) {
        if (nested++ > 0) return;
        // While the box is open, MonitorTimer ticks three times and a tick is
        // also run directly.
        clock.advance(30000);
        loop->pollOrderList();
    };
    clock.advance(10000);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(http.requests.size(), 1u);

    // Once the box is closed, the next tick asks again.
    clock.advance(10000);
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

class DeliverCard : public DeliveryFixture {
protected:
    void SetUp() override {
        addProduct(kProduct);
        view.period = "1";
        monitor->setPeriod(10000);
    }
};

TEST_F(DeliverCard, MovesTheOldestCardAndStartsTheConsignCycle) {
    addCards(kProduct, {{"c1", "p1"}, {"c2", "p2"}, {"c3", "p3"}});
    ASSERT_TRUE(db.openStore(discard(kProduct)));
    ASSERT_TRUE(db.addRecord({"old", "sold", "earlier"}));
    listOrders({kOrder});

    const Text before = text::timeStampNow();
    loop->pollOrderList();

    EXPECT_EQ(view.consignPages, std::vector<Text>{"http://" + kShopHost + "/user/consign.htm?order_id=6001"});
    ASSERT_EQ(deliveryRequests().size(), 1u);
    const auto stockLeft = records(stock(kProduct));
    ASSERT_EQ(stockLeft.size(), 2u);
    EXPECT_EQ(stockLeft[0][0], "c2");
    EXPECT_EQ(stockLeft[1][0], "c3");
    const auto sold = records(discard(kProduct));
    ASSERT_EQ(sold.size(), 2u);
    EXPECT_EQ(sold[0][0], "old");
    EXPECT_EQ(sold[1][0], "c1");
    EXPECT_EQ(sold[1][1], "p1");
    EXPECT_TRUE(isTimeStampNearNow(sold[1][2], before));
    const auto delivered = records(deliveredStorePath(settings.baseDirectory));
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0][0], "2001");
    EXPECT_EQ(delivered[0][1], sold[1][2]);

    EXPECT_EQ(monitor->period(), 0);
    EXPECT_EQ(consign->period(), 500);
    EXPECT_EQ(buffer->period(), 0);
    EXPECT_EQ(view.tradeStatus, kTrade);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DeliverCard, EscapesEveryByteOfTheRequest) {
    addCards(kProduct, {{"A1", "p\nq"}});
    listOrders({kOrder});
    view.serverAddress = "127.0.0.1:8080/cgi-bin/fh.php";
    loop->pollOrderList();
    EXPECT_EQ(deliveryRequests(), std::vector<std::string>{
                                      "http://127.0.0.1:8080/cgi-bin/fh.php?name=%C2%F2%BC%D2&ddh=%32%30%30%31"
                                      "&card=%41%31&key=%70%0A%71"});
}

TEST_F(DeliverCard, ReadsTheServerAddressAtTheMomentOfDelivery) {
    addCards(kProduct, {{"1", "2"}});
    listOrders({kOrder});
    view.serverAddress = "old.example";
    http.onGet = [&](const std::string&) { view.serverAddress = "new.example"; };
    loop->pollOrderList();
    ASSERT_EQ(deliveryRequests().size(), 1u);
    EXPECT_TRUE(deliveryRequests()[0].starts_with("http://new.example?name="));
}

TEST_F(DeliverCard, AnyHttpAnswerCountsAsDelivered) {
    addCards(kProduct, {{"c1", "p1"}});
    http.deliveryAnswer = HttpResponse{500, "Internal Server Error"};
    listOrders({kOrder});
    loop->pollOrderList();
    EXPECT_TRUE(records(stock(kProduct)).empty());
    EXPECT_EQ(records(discard(kProduct)).size(), 1u);
    EXPECT_EQ(consign->period(), 500);
}

TEST_F(DeliverCard, NoAnswerFromTheServerKeepsTheCardAndPolling) {
    addCards(kProduct, {{"c1", "p1"}});
    http.deliveryAnswer = std::nullopt;
    listOrders({kOrder});
    for (const Text& address : {Text(""), Text("127.0.0.1:1/fh.php")}) {
        view.serverAddress = address;
        loop->pollOrderList();
        EXPECT_EQ(records(stock(kProduct)).size(), 1u);
        EXPECT_TRUE(records(discard(kProduct)).empty());
        EXPECT_TRUE(records(deliveredStorePath(settings.baseDirectory)).empty());
        EXPECT_EQ(monitor->period(), 10000);
        EXPECT_EQ(consign->period(), 0);
        EXPECT_EQ(view.tradeStatus, kServerUnreachable);
    }

    // The next tick, with the server back, delivers the same card.
    http.deliveryAnswer = HttpResponse{200, "ok"};
    loop->pollOrderList();
    EXPECT_TRUE(records(stock(kProduct)).empty());
    EXPECT_EQ(records(discard(kProduct)).at(0).at(0), "c1");
    EXPECT_EQ(view.tradeStatus, kTrade);
}

TEST_F(DeliverCard, ACardSentButNotRecordedNeverGoesToAnotherOrder) {
    addCards(kProduct, {{"c1", "p1"}, {"c2", "p2"}});
    records(discard(kProduct));  // open, as after an earlier delivery
    listOrders({kOrder});
    {
        // Another program holds the sold-card store while the card goes out.
        RecordDatabase holder;
        ASSERT_TRUE(holder.openStore(discard(kProduct)));
        holder.inTransaction([&] {
            loop->pollOrderList();
            return false;
        });
    }
    ASSERT_EQ(deliveryRequests().size(), 1u);
    EXPECT_EQ(view.tradeStatus, kSentUnrecorded);
    EXPECT_EQ(consign->period(), 0);
    EXPECT_EQ(records(stock(kProduct)).size(), 2u);

    // The seller consigns that order by hand; the card it got stays first in
    // stock and must not go to the next order.
    const PageOrder next{"2002", kProduct, "nick", "6002"};
    listOrders({next});
    loop->pollOrderList();
    EXPECT_EQ(deliveryRequests().size(), 1u);
    EXPECT_EQ(view.tradeStatus, kSentUnrecorded);
    EXPECT_EQ(records(stock(kProduct)).size(), 2u);
    EXPECT_TRUE(records(discard(kProduct)).empty());

    // Its own order, listed again, gets the same card and now records it;
    // the next order then gets the next card.
    listOrders({kOrder});
    loop->pollOrderList();
    ASSERT_EQ(deliveryRequests().size(), 2u);
    EXPECT_NE(deliveryRequests()[1].find("&card=%63%31&"), std::string::npos);
    EXPECT_EQ(view.tradeStatus, kTrade);
    EXPECT_EQ(records(discard(kProduct)).at(0).at(0), "c1");

    monitor->setPeriod(10000);
    listOrders({next});
    loop->pollOrderList();
    ASSERT_EQ(deliveryRequests().size(), 3u);
    EXPECT_NE(deliveryRequests()[2].find("&card=%63%32&"), std::string::npos);
    EXPECT_TRUE(records(stock(kProduct)).empty());
}

TEST_F(DeliverCard, EmptyStockOnlyTellsTheSellerAndLoadsTheConsignPage) {
    struct Case {
        const char* name;
        std::vector<std::pair<Text, Text>> cards;
    };
    for (const auto& c : {Case{"no card", {}}, Case{"no password", {{"c1", ""}, {"c2", "p2"}}},
                          Case{"no card number", {{"", "p1"}, {"c2", "p2"}}}}) {
        SCOPED_TRACE(c.name);
        db.openStore(stock(kProduct));
        ASSERT_TRUE(db.selectStore(stock(kProduct)));
        ASSERT_TRUE(db.clearStore());
        addCards(kProduct, c.cards);
        dialogs.messages.clear();
        view.consignPages.clear();
        http.requests.clear();
        listOrders({kOrder});
        loop->pollOrderList();
        loop->pollOrderList();
        EXPECT_EQ(dialogs.messages, (std::vector<Text>{kSoldOut, kSoldOut}));
        EXPECT_EQ(view.consignPages.size(), 2u);
        EXPECT_TRUE(deliveryRequests().empty());
        EXPECT_EQ(records(stock(kProduct)).size(), c.cards.size());
        EXPECT_TRUE(records(discard(kProduct)).empty());
        EXPECT_EQ(monitor->period(), 10000);
        EXPECT_EQ(consign->period(), 0);
        EXPECT_EQ(view.tradeStatus, kTrade);
    }
}

TEST_F(DeliverCard, AnOrderNeverGetsASecondCard) {
    addCards(kProduct, {{"c1", "p1"}, {"c2", "p2"}});
    listOrders({kOrder});
    clock.advance(10000);
    ASSERT_EQ(deliveryRequests().size(), 1u);

    // The consign button has not taken effect: the order is listed again
    // when polling resumes.
    clock.advance(2500 + 10000);
    EXPECT_EQ(http.requests.size(), 3u);  // two polls and one delivery
    EXPECT_EQ(deliveryRequests().size(), 1u);
    EXPECT_EQ(records(stock(kProduct)).size(), 1u);
    EXPECT_EQ(view.consignPages.size(), 2u);
    EXPECT_EQ(monitor->period(), 0);
    EXPECT_EQ(consign->period(), 500);
    EXPECT_EQ(view.tradeStatus, kTrade);

    // Nor after a restart.
    loop.reset();
    RecordDatabase reopened;
    ASSERT_TRUE(reopened.openStore(cataloguePath(settings.baseDirectory)));
    DeliveryLoop restarted(settings, reopened, http, dialogs, view, DeliveryTimers{*monitor, *consign, *buffer});
    restarted.pollOrderList();
    EXPECT_EQ(deliveryRequests().size(), 1u);
    ASSERT_TRUE(reopened.openStore(stock(kProduct)));
    EXPECT_EQ(reopened.recordCount(), 1u);

    // Another order of the product gets the next card.
    listOrders({{"2002", kProduct, "nick", "6002"}, kOrder});
    restarted.pollOrderList();
    EXPECT_EQ(deliveryRequests().size(), 2u);
    ASSERT_TRUE(reopened.selectStore(stock(kProduct)));
    EXPECT_EQ(reopened.recordCount(), 0u);
}

TEST_F(DeliverCard, StoresThatCannotBeReachedStopTheDeliveryWithoutTouchingAnyStore) {
    addProduct("ABC");
    addCards("ABC", {{"abc-card", "pw"}});
    ASSERT_TRUE(db.selectStore("sp"));
    ASSERT_TRUE(db.addRecord({"abc"}));  // its stores are made per case below
    struct Case {
        const char* name;
        bool stockPresent;
        bool discardPresent;
        // "ABC"'s stores, open first, differ from "abc"'s only in letter case.
        bool otherCaseOpen;
    };
    for (const auto& c : {Case{"stock store missing", false, true, false},
                          Case{"discard store missing", true, false, false},
                          Case{"other letter case open", true, true, true}}) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir.path() / "sp" / "abc.edb");
        std::filesystem::remove(dir.path() / "sp" / "abc2.edb");
        {
            RecordDatabase setup;
            if (c.discardPresent) {
                ASSERT_TRUE(setup.createStore(discard("abc"), cardFields()));
            }
            if (c.stockPresent) {
                ASSERT_TRUE(setup.createStore(stock("abc"), cardFields()));
                ASSERT_TRUE(setup.openStore(stock("abc")));
                ASSERT_TRUE(setup.addRecord({"own-card", "pw", "t"}));
            }
        }

        RecordDatabase fresh;
        ASSERT_TRUE(fresh.openStore(cataloguePath(settings.baseDirectory)));
        if (c.otherCaseOpen) {
            ASSERT_TRUE(fresh.openStore(stock("ABC")));
            ASSERT_TRUE(fresh.openStore(discard("ABC")));
        }
        ScriptedHttp freshHttp;
        freshHttp.orderListAddress = http.orderListAddress;
        freshHttp.orderList = HttpResponse{200, orderPage({{"4001", "abc", "nick", "8001"}})};
        DeliveryLoop freshLoop(settings, fresh, freshHttp, dialogs, view, DeliveryTimers{*monitor, *consign, *buffer});
        freshLoop.pollOrderList();

        EXPECT_EQ(freshHttp.requests.size(), 1u);  // the order list only
        EXPECT_EQ(view.tradeStatus, kStoresUnavailable);
        EXPECT_EQ(monitor->period(), 10000);
        EXPECT_EQ(consign->period(), 0);
        EXPECT_EQ(records(stock("ABC")).size(), 1u);
        EXPECT_TRUE(records(discard("ABC")).empty());
        EXPECT_EQ(records(cataloguePath(settings.baseDirectory)).size(), 3u);
        EXPECT_EQ(std::filesystem::exists(dir.path() / "sp" / "abc.edb"), c.stockPresent);
        EXPECT_EQ(std::filesystem::exists(dir.path() / "sp" / "abc2.edb"), c.discardPresent);
        if (c.stockPresent) {
            RecordDatabase check;
            ASSERT_TRUE(check.openStore(stock("abc")));
            EXPECT_EQ(check.recordCount(), 1u);
        }
    }
}

} // namespace
} // namespace zenvik::test
