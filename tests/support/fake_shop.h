#pragma once
// A shop on 127.0.0.1 for tests, benchmarks and the demo: it serves the
// order list of the orders awaiting shipment in code page 936 with the shop's
// HTML fragments, and each order's consign page, whose no-logistics button
// tells the shop that the order is consigned, so that it leaves the list.

#include "text/narrow_text.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
}

namespace zenvik::test {

// Texts in code page 936, as the shop's page writes them.
struct ShopOrder {
    Text orderNumber;
    Text productTitle;
    Text buyerNick;
    Text consignId;
};

struct RecordedRequest {
    std::string target;   // path and query, as sent
    std::string cookie;   // the Cookie header, empty when none
    std::string version;  // "HTTP/1.0"
    std::map<std::string, std::string> headers;
    // When it arrived, to tell the order of requests to different servers.
    std::chrono::steady_clock::time_point at;
};

// How an order's consign page offers its no-logistics button.
enum class ConsignButton {
    Immediate,  // in the page as it arrives
    Late,       // added by the page's script kLateButtonMs after it starts loading
    Missing,    // never: the order cannot be consigned
};
constexpr int kLateButtonMs = 1200;

class FakeShop {
public:
    FakeShop();  // listening when constructed
    ~FakeShop();
    FakeShop(const FakeShop&) = delete;
    FakeShop& operator=(const FakeShop&) = delete;

    int port() const { return port_; }
    // The host as the program's settings name it: "localhost:<port>", a
    // name of its own so that cookies for it are not the delivery server's.
    Text host() const;

    void setOrders(std::vector<ShopOrder> orders);
    // A buyer's new order, listed after those already waiting.
    void addOrder(ShopOrder order);
    void setConsignButton(const std::string& consignId, ConsignButton button);
    std::vector<ShopOrder> orders() const;
    std::vector<std::string> consignedOrderIds() const;
    std::vector<RecordedRequest> requests() const;

    // With a required cookie ("name=value"), a request without it gets a
    // sign-in page instead of the order list.
    void requireCookie(std::string nameValue);
    // A Set-Cookie header sent with every order list.
    void setCookieOnOrderList(std::string setCookie);

    // The order-list page for these orders, as the shop renders it.
    static Text orderListPage(const std::vector<ShopOrder>& orders, const Text& host);

private:
    void record(const httplib::Request& request);

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<ShopOrder> orders_;
    std::vector<std::string> consigned_;
    std::map<std::string, ConsignButton> buttons_;  // by consign id; Immediate when absent
    std::vector<RecordedRequest> requests_;
    std::string requiredCookie_;
    std::string setCookie_;
};

} // namespace zenvik::test
