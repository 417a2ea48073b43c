// The browser profile's cookies shared with the HTTP client, and the whole
// road of two orders with a real browser pressing the consign button.

#include "delivery/delivery_loop.h"
#include "fake_delivery_server.h"
#include "fake_dialogs.h"
#include "fake_shop.h"
#include "platform/curl/curl_http_client.h"
#include "platform/qt/profile_cookie_jar.h"
#include "platform/qt/qt_timer.h"
#include "store/product_catalogue.h"
#include "temp_dir.h"

#include <QDateTime>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace zenvik::test {
namespace {

bool holds(const CookieJar& jar, const std::string& line) {
    const auto lines = jar.cookieLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

QNetworkCookie hostCookie(const char* name, const char* value) { return QNetworkCookie(name, value); }

// Loads an empty page, as the program's browser controls do at start-up:
// the profile's cookie store starts with the first page that it loads.
void startCookieStore(QWebEnginePage& page) {
    bool loaded = false;
    // Connected for this wait only: later pages of the same page object
    // must not reach a flag that has gone with this function's frame.
    const QMetaObject::Connection watch =
        QObject::connect(&page, &QWebEnginePage::loadFinished, [&loaded](bool) { loaded = true; });
    page.setHtml("<html><body></body></html>");
    const bool done = QTest::qWaitFor([&] { return loaded; }, 10000);
    QObject::disconnect(watch);
    ASSERT_TRUE(done);
}

TEST(ProfileCookieJar, MirrorsTheProfilesCookieStore) {
    QWebEngineProfile profile;  // off the record
    ProfileCookieJar jar(&profile);
    profile.cookieStore()->setCookie(hostCookie("sid", "secret"), QUrl("http://localhost/"));
    QWebEnginePage page(&profile);
    startCookieStore(page);
    const std::string sid = "localhost\tFALSE\t/\tFALSE\t0\tsid\tsecret";
    EXPECT_TRUE(QTest::qWaitFor([&] { return holds(jar, sid); }, 10000));

    profile.cookieStore()->deleteCookie(hostCookie("sid", "secret"), QUrl("http://localhost/"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !holds(jar, sid); }, 10000));
}

TEST(ProfileCookieJar, StoresReceivedCookiesInTheProfile) {
    QWebEngineProfile profile;
    ProfileCookieJar jar(&profile);
    QWebEnginePage page(&profile);
    startCookieStore(page);
    std::vector<std::string> confirmed;  // what the profile reports it holds
    QObject::connect(profile.cookieStore(), &QWebEngineCookieStore::cookieAdded,
                     [&](const QNetworkCookie& cookie) { confirmed.push_back(cookieLine(cookie)); });
    const auto confirms = [&](const std::string& line) {
        return std::find(confirmed.begin(), confirmed.end(), line) != confirmed.end();
    };

    const qint64 expiry = QDateTime::currentSecsSinceEpoch() + 3600;
    const std::vector<std::string> received = {
        "localhost\tFALSE\t/\tFALSE\t0\tseen\t1",
        "#HttpOnly_.example.com\tTRUE\t/user\tTRUE\t" + std::to_string(expiry) + "\ttoken\tabc",
    };
    jar.storeCookieLines(received);
    // The next request carries them before the profile has confirmed.
    for (const auto& line : received) EXPECT_TRUE(holds(jar, line)) << line;
    EXPECT_TRUE(QTest::qWaitFor([&] { return confirms(received[0]) && confirms(received[1]); }, 10000));
    EXPECT_EQ(jar.cookieLines().size(), 2u);

    // A changed value replaces the cookie, also after the profile has
    // reported the old one removed.
    const std::string changed = "localhost\tFALSE\t/\tFALSE\t0\tseen\t2";
    jar.storeCookieLines({changed});
    EXPECT_TRUE(QTest::qWaitFor([&] { return confirms(changed); }, 10000));
    EXPECT_TRUE(holds(jar, changed));
    EXPECT_FALSE(holds(jar, received[0]));
    EXPECT_EQ(jar.cookieLines().size(), 2u);
}

TEST(ProfileCookieJar, LinesRoundTrip) {
    for (const std::string line : {"localhost\tFALSE\t/\tFALSE\t0\ta\tb", ".example.com\tTRUE\t/p\tTRUE\t2000000000\tn\t",
                                   "#HttpOnly_shop.example.com\tFALSE\t/\tFALSE\t0\tn\tv=w"}) {
        SCOPED_TRACE(line);
        const auto parsed = parseCookieLine(line);
        ASSERT_TRUE(parsed);
        // The profile stores a host-only cookie without a domain of its own
        // and names the host in the origin; it reports it back with the host.
        QNetworkCookie reported = parsed->cookie;
        if (reported.domain().isEmpty()) reported.setDomain(parsed->origin.host());
        EXPECT_EQ(cookieLine(reported), line);
    }
    for (const std::string bad : {"", "# comment", "a\tb", "h\tFALSE\t/\tFALSE\tsoon\tn\tv", "h\tFALSE\t/\tFALSE\t0\t\tv"})
        EXPECT_FALSE(parseCookieLine(bad)) << bad;
}

// ConsignBrowser: a browser on the profile, its button clicked by script.
class BrowserView : public DeliveryView {
public:
    explicit BrowserView(QWebEngineProfile* profile) : page_(profile) {
        browser_.setPage(&page_);
        startCookieStore(page_);
    }
    ~BrowserView() override { browser_.setPage(nullptr); }

    Text serverAddressText() const override { return serverAddress; }
    Text periodText() const override { return "0.1"; }
    void setTradeStatus(const Text& caption) override { tradeStatus = caption; }
    void loadConsignPage(const Text& url) override { browser_.load(QUrl(QString::fromStdString(url))); }
    void pressConsignButton() override {
        page_.runJavaScript("var b = document.getElementById('logis:noLogis'); if (b) b.click();");
    }

    Text serverAddress;
    Text tradeStatus;

private:
    QWebEnginePage page_;
    QWebEngineView browser_;
};

TEST(BrowserDelivery, TwoOrdersAreDeliveredAndConsignedOneAfterTheOther) {
    TempDir dir;
    FakeShop shop;
    FakeDeliveryServer delivery;
    const Text product = text::narrow("测试卡");
    shop.requireCookie("sid=secret");
    shop.setCookieOnOrderList("seen=1; Path=/");
    shop.setOrders({{"51", product, "a", "61"}, {"52", product, "b", "62"}});

    ProgramSettings settings;
    settings.baseDirectory = dir.base();
    settings.shopHost = shop.host();
    settings.utkn = "g,abcdefghijklmnopqrstu0w1381232000000";
    std::filesystem::create_directories(dir.path() / "sp");
    RecordDatabase db;
    ASSERT_TRUE(db.createStore(cataloguePath(dir.base()), catalogueFields()));
    ASSERT_TRUE(db.openStore(cataloguePath(dir.base())));
    ASSERT_TRUE(db.addRecord({product}));
    ASSERT_TRUE(db.createStore(stockStorePath(dir.base(), product), cardFields()));
    ASSERT_TRUE(db.createStore(discardStorePath(dir.base(), product), cardFields()));
    ASSERT_TRUE(db.openStore(stockStorePath(dir.base(), product)));
    for (const char* card : {"c1", "c2", "c3"}) ASSERT_TRUE(db.addRecord({card, "pw", "t"}));

    QWebEngineProfile profile;
    profile.cookieStore()->setCookie(hostCookie("sid", "secret"), QUrl("http://localhost/"));
    ProfileCookieJar jar(&profile);
    BrowserView view(&profile);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !jar.cookieLines().empty(); }, 10000));
    CurlHttpClient http(&jar);
    FakeDialogs dialogs;
    view.serverAddress = delivery.address("/fh.php");
    QtTimerFactory timers;
    auto monitor = timers.createTimer();
    auto consign = timers.createTimer();
    auto buffer = timers.createTimer();
    DeliveryLoop loop(settings, db, http, dialogs, view, DeliveryTimers{*monitor, *consign, *buffer});

    monitor->setPeriod(text::monitorPeriod(view.periodText()));
    const Text noTrade = text::narrow("当前没有交易");
    EXPECT_TRUE(QTest::qWaitFor([&] { return shop.orders().empty() && view.tradeStatus == noTrade; }, 30000));
    monitor->setPeriod(0);

    EXPECT_EQ(shop.consignedOrderIds(), (std::vector<std::string>{"61", "62"}));
    const auto requests = delivery.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].target.find("&ddh=%35%31&card=%63%31&"), std::string::npos);
    EXPECT_NE(requests[1].target.find("&ddh=%35%32&card=%63%32&"), std::string::npos);
    for (const auto& request : requests) EXPECT_EQ(request.cookie, "");
    ASSERT_TRUE(db.selectStore(stockStorePath(dir.base(), product)));
    EXPECT_EQ(db.recordCount(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());

    // The cookie that the shop set reached the browser: the consign pages
    // were loaded with it.
    const auto shopRequests = shop.requests();
    EXPECT_TRUE(std::any_of(shopRequests.begin(), shopRequests.end(), [](const RecordedRequest& request) {
        return request.target.starts_with("/user/consign.htm") && request.cookie.find("seen=1") != std::string::npos;
    }));
}

} // namespace
} // namespace zenvik::test
