#pragma once
// A shop on 127.0.0.1 for tests and benchmarks: it serves the order list of
// the orders awaiting shipment in code page 936 with the shop's HTML
// fragments, and each order's consign page, whose no-logistics button tells
// the shop that the order is consigned, so that it leaves the list.

#include "text/narrow_text.h"

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
};

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
    std::vector<RecordedRequest> requests_;
    std::string requiredCookie_;
    std::string setCookie_;
};

} // namespace zenvik::test
