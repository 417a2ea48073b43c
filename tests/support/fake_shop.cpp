#include "fake_shop.h"

#include "loopback_server.h"

#include <algorithm>

namespace zenvik::test {

namespace {

// The shop's indentation between an order number and its date, byte for byte.
const std::string kOrderDateIndent =
    "\r\n" + std::string(4, ' ') + std::string(6, '\t') + std::string(12, ' ') + std::string(4, '\t');

Text orderBlock(const ShopOrder& order, const Text& host) {
    return text::narrow("<div class=\"order\">\r\n<span class=\"order-number\">订单编号：") + order.orderNumber +
           "</span>" + kOrderDateIndent + "<span class=\"order-date\">2014-03-16 09:05:07</span>\r\n" +
           text::narrow("<a target=\"_blank\" title=\"名称：") + order.productTitle +
           text::narrow(" §数量：1\" href=\"http://item.example/\">") + order.productTitle + "</a>\r\n" +
           "<span class=\"ww ww:token\" ww:params=\"nick=" + order.buyerNick + "&amp;tnick=" + order.buyerNick +
           "\"></span>\r\n<a href=\"http://" + host + "/user/consign.htm?order_id=" + order.consignId +
           text::narrow("\">发货</a>\r\n</div>\r\n");
}

Text consignButtonHtml(ConsignButton button) {
    switch (button) {
    case ConsignButton::Immediate:
        return text::narrow("<input type=\"button\" id=\"logis:noLogis\" value=\"无需物流\" onclick=\"consign()\">\r\n");
    case ConsignButton::Late:
        return "<script>setTimeout(function () { var button = document.createElement('input'); "
               "button.type = 'button'; button.id = 'logis:noLogis'; button.onclick = consign; "
               "document.body.appendChild(button); }, " + std::to_string(kLateButtonMs) + ");</script>\r\n";
    case ConsignButton::Missing:
        break;
    }
    return {};
}

Text consignPage(const std::string& orderId, ConsignButton button) {
    return text::narrow("<html><head><meta charset=\"gbk\"><title>发货</title></head><body>\r\n<p>订单 ") + orderId +
           "</p>\r\n<script>function consign() { var request = new XMLHttpRequest(); "
           "request.open('GET', '/consign_done?order_id=" + orderId + "'); request.send(); }</script>\r\n" +
           consignButtonHtml(button) + "</body></html>\r\n";
}

bool carriesCookie(const std::string& header, const std::string& nameValue) {
    std::size_t start = 0;
    while (start <= header.size()) {
        std::size_t end = header.find(';', start);
        if (end == std::string::npos) end = header.size();
        std::string part = header.substr(start, end - start);
        part.erase(0, part.find_first_not_of(' '));
        if (part == nameValue) return true;
        start = end + 1;
    }
    return false;
}

constexpr const char* kHtml = "text/html; charset=GBK";

} // namespace

FakeShop::FakeShop() : server_(std::make_unique<httplib::Server>()) {
    server_->Get("/user/order_list_new.htm", [this](const httplib::Request& request, httplib::Response& response) {
        const std::string cookie = request.get_header_value("Cookie");
        record(request);
        std::lock_guard lock(mutex_);
        if (!requiredCookie_.empty() && !carriesCookie(cookie, requiredCookie_)) {
            response.set_content(text::narrow("<html><body>请登录</body></html>"), kHtml);
            return;
        }
        if (!setCookie_.empty()) response.set_header("Set-Cookie", setCookie_);
        response.set_content(orderListPage(orders_, host()), kHtml);
    });
    server_->Get("/user/consign.htm", [this](const httplib::Request& request, httplib::Response& response) {
        record(request);
        const std::string id = request.get_param_value("order_id");
        std::lock_guard lock(mutex_);
        const auto button = buttons_.find(id);
        response.set_content(consignPage(id, button == buttons_.end() ? ConsignButton::Immediate : button->second),
                             kHtml);
    });
    server_->Get("/consign_done", [this](const httplib::Request& request, httplib::Response& response) {
        record(request);
        const std::string id = request.get_param_value("order_id");
        std::lock_guard lock(mutex_);
        std::erase_if(orders_, [&](const ShopOrder& order) { return order.consignId == id; });
        if (std::find(consigned_.begin(), consigned_.end(), id) == consigned_.end()) consigned_.push_back(id);
        response.set_content("ok", "text/plain");
    });
    port_ = serveOnLoopback(*server_, thread_);
}

FakeShop::~FakeShop() { stopServing(*server_, thread_); }

Text FakeShop::host() const { return "localhost:" + std::to_string(port_); }

void FakeShop::setOrders(std::vector<ShopOrder> orders) {
    std::lock_guard lock(mutex_);
    orders_ = std::move(orders);
}

void FakeShop::addOrder(ShopOrder order) {
    std::lock_guard lock(mutex_);
    orders_.push_back(std::move(order));
}

void FakeShop::setConsignButton(const std::string& consignId, ConsignButton button) {
    std::lock_guard lock(mutex_);
    buttons_[consignId] = button;
}

std::vector<ShopOrder> FakeShop::orders() const {
    std::lock_guard lock(mutex_);
    return orders_;
}

std::vector<std::string> FakeShop::consignedOrderIds() const {
    std::lock_guard lock(mutex_);
    return consigned_;
}

std::vector<RecordedRequest> FakeShop::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void FakeShop::requireCookie(std::string nameValue) {
    std::lock_guard lock(mutex_);
    requiredCookie_ = std::move(nameValue);
}

void FakeShop::setCookieOnOrderList(std::string setCookie) {
    std::lock_guard lock(mutex_);
    setCookie_ = std::move(setCookie);
}

Text FakeShop::orderListPage(const std::vector<ShopOrder>& orders, const Text& host) {
    // A heading that a person looking at the browser control can read; the
    // program goes by the order blocks alone.
    Text page = text::narrow("<html><head><meta charset=\"gbk\"><title>已卖出的宝贝</title></head><body>\r\n"
                             "<h3>等待发货的订单</h3>\r\n");
    if (orders.empty()) page += text::narrow("<p>没有等待发货的订单</p>\r\n");
    for (const ShopOrder& order : orders) page += orderBlock(order, host);
    return page + "</body></html>\r\n";
}

void FakeShop::record(const httplib::Request& request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(recorded(request));
}

} // namespace zenvik::test
