#pragma once
// A delivery loop on a temporary program directory, with a scripted HTTP
// client, a recording view, a manual clock and answered message boxes.

#include "delivery/delivery_loop.h"
#include "fake_dialogs.h"
#include "platform/manual_clock.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zenvik::test {

// The shop's markers, byte for byte in code page 936.
inline const std::string kNumberStart = "<span class=\"order-number\">\xB6\xA9\xB5\xA5\xB1\xE0\xBA\xC5\xA3\xBA";
inline const std::string kNumberEnd = "</span>\r\n    \t\t\t\t\t\t            \t\t\t\t<span class=\"order-date\">";
inline const std::string kTitleStart = "<a target=\"_blank\" title=\"\xC3\xFB\xB3\xC6\xA3\xBA";
inline const std::string kTitleEnd = " \xA1\xEC\xCA\xFD\xC1\xBF\xA3\xBA";
inline const std::string kNickStart = "<span class=\"ww ww:token\" ww:params=\"nick=";
inline const std::string kNickEnd = "&amp;tnick=";
inline const std::string kShopHost = "wuliu.example.com";
inline const std::string kConsignStart = "http://" + kShopHost + "/user/consign.htm?order_id=";
inline const std::string kConsignEnd = "\">\xB7\xA2\xBB\xF5</a>";

struct PageOrder {
    std::string number;
    std::string title;
    std::string nick;
    std::string consignId;
};

// One order block as the shop writes it.
inline std::string orderBlock(const PageOrder& order) {
    return "<div>" + kNumberStart + order.number + kNumberEnd + "2014-03-16</span>\r\n" + kTitleStart +
           order.title + kTitleEnd + "1\">x</a>\r\n" + kNickStart + order.nick + kNickEnd + order.nick +
           "\"></span>\r\n<a href=\"" + kConsignStart + order.consignId + kConsignEnd + "\r\n</div>\r\n";
}

inline std::string orderPage(const std::vector<PageOrder>& orders) {
    std::string page = "<html><body>\r\n";
    for (const auto& order : orders) page += orderBlock(order);
    return page + "</body></html>";
}

class ScriptedHttp : public HttpClient {
public:
    std::optional<HttpResponse> get(const std::string& url) override {
        requests.push_back(url);
        if (onGet) onGet(url);
        if (url == orderListAddress) return orderList;
        return deliveryAnswer;
    }

    std::string orderListAddress;
    std::optional<HttpResponse> orderList;
    std::optional<HttpResponse> deliveryAnswer = HttpResponse{200, "ok"};
    std::vector<std::string> requests;
    std::function<void(const std::string&)> onGet;
};

class RecordingView : public DeliveryView {
public:
    Text serverAddressText() const override { return serverAddress; }
    Text periodText() const override { return period; }
    void setTradeStatus(const Text& caption) override { tradeStatus = caption; }
    void loadConsignPage(const Text& url) override { consignPages.push_back(url); }
    void pressConsignButton() override {
        ++presses;
        if (onPress) onPress();
    }

    Text serverAddress = "127.0.0.1:8080/fh.php";
    Text period = "1";
    Text tradeStatus;
    std::vector<Text> consignPages;
    int presses = 0;
    std::function<void()> onPress;
};

class DeliveryFixture : public ::testing::Test {
protected:
    DeliveryFixture();

    void addProduct(const Text& name);                    // catalogue record and two empty stores
    void addCards(const Text& product, const std::vector<std::pair<Text, Text>>& cards);
    void listOrders(const std::vector<PageOrder>& orders);
    std::vector<std::vector<Text>> records(const Text& path);  // fields 1 to 3 of every record
    std::vector<std::string> deliveryRequests() const;         // requests other than the order list
    std::unique_ptr<DeliveryLoop> makeLoop();

    Text stock(const Text& product) const;
    Text discard(const Text& product) const;

    TempDir dir;
    ProgramSettings settings;
    RecordDatabase db;
    ScriptedHttp http;
    FakeDialogs dialogs;
    RecordingView view;
    ManualClock clock;
    std::unique_ptr<Timer> monitor = clock.createTimer();
    std::unique_ptr<Timer> consign = clock.createTimer();
    std::unique_ptr<Timer> buffer = clock.createTimer();
    std::unique_ptr<DeliveryLoop> loop;
};

} // namespace zenvik::test
