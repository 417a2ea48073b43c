#include "delivery/delivery_loop.h"

#include "delivery/delivered_orders.h"
#include "delivery/order_page.h"
#include "delivery/percent_encode.h"
#include "delivery/store_access.h"
#include "store/product_catalogue.h"

namespace zenvik {

namespace {

constexpr std::int32_t kConsignPeriod = 500;
constexpr std::int32_t kBufferPeriod = 2000;

const Text& noTradeCaption() {
    static const Text caption = text::narrow("当前没有交易");
    return caption;
}

const Text& tradeCaption() {
    static const Text caption = text::narrow("有一笔交易正在处理");
    return caption;
}

struct Card {
    Text number;
    Text password;
};

Text deliveryRequestUrl(const Text& serverAddress, const OrderSnapshot& order, const Card& card) {
    return "http://" + serverAddress + "?name=" + percentEncode(order.buyerNick) +
           "&ddh=" + percentEncode(order.orderNumber) + "&card=" + percentEncode(card.number) +
           "&key=" + percentEncode(card.password);
}

} // namespace

Text orderListUrl(const ProgramSettings& settings) {
    return "http://" + settings.shopHost +
           "/user/order_list_new.htm?spm=z7c6l.5.7.5.lODrrJ&order_status_show=send&mytmenu=fh&utkn=" +
           settings.utkn + "&scm=1028.1.1.301";
}

DeliveryLoop::DeliveryLoop(const ProgramSettings& settings, RecordDatabase& db, HttpClient& http,
                           Dialogs& dialogs, DeliveryView& view, DeliveryTimers timers)
    : settings_(settings), db_(db), http_(http), dialogs_(dialogs), view_(view), timers_(timers) {
    timers_.monitor.setHandler([this] { pollOrderList(); });
    timers_.consign.setHandler([this] { consignTick(); });
    timers_.buffer.setHandler([this] { bufferTick(); });
}

DeliveryLoop::~DeliveryLoop() {
    timers_.monitor.setHandler(nullptr);
    timers_.consign.setHandler(nullptr);
    timers_.buffer.setHandler(nullptr);
}

void DeliveryLoop::pollOrderList() {
    // MonitorTimer keeps ticking while a message box of an earlier tick is
    // open; running those ticks would pile the boxes up.
    if (informing_) return;

    const auto response = http_.get(orderListUrl(settings_));
    snapshot_.pageText = response ? text::upToFirstZero(response->body) : Text();
    OrderFields order = extractOrder(snapshot_.pageText, settings_.shopHost);
    snapshot_.orderNumber = std::move(order.orderNumber);
    snapshot_.productTitle = std::move(order.productTitle);
    snapshot_.buyerNick = std::move(order.buyerNick);
    snapshot_.consignId = std::move(order.consignId);
    if (snapshot_.orderNumber.empty() || snapshot_.productTitle.empty() || snapshot_.buyerNick.empty() ||
        snapshot_.consignId.empty()) {
        view_.setTradeStatus(noTradeCaption());
        return;
    }

    const Text catalogue = cataloguePath(settings_.baseDirectory);
    db_.openStore(catalogue);
    bool found = false;
    if (db_.selectStore(catalogue)) {
        db_.goFirst();
        found = db_.findRecord([&] { return db_.readField(1) == snapshot_.productTitle; });
    }
    if (!found) {
        inform(text::narrow("当前有一笔非自动发货的订单需要处理，请手动处理"));
        return;
    }
    view_.setTradeStatus(deliverCard());
}

Text DeliveryLoop::deliverCard() {
    view_.loadConsignPage(
        consignUrl(settings_.shopHost, untrimmedConsignId(snapshot_.pageText, settings_.shopHost)));

    const Text deliveredPath = deliveredStorePath(settings_.baseDirectory);
    const auto delivered = wasDelivered(db_, deliveredPath, snapshot_.orderNumber);
    if (!delivered) return text::narrow("已发货订单记录无法打开，卡密未发出");
    if (*delivered) {
        // The order already has its card; it is still listed because its
        // consignment has not taken effect. Press the button again.
        startConsignCycle();
        return tradeCaption();
    }

    // Both stores must be the product's own and at hand before a card leaves
    // the stock: a card sent but not recorded as sold would be sold again.
    const Text stockPath = stockStorePath(settings_.baseDirectory, snapshot_.productTitle);
    const Text discardPath = discardStorePath(settings_.baseDirectory, snapshot_.productTitle);
    if (!openAndSelect(db_, discardPath) || !openAndSelect(db_, stockPath))
        return text::narrow("该商品的卡密库无法打开，卡密未发出");

    db_.goFirst();
    const Card card{db_.readField(1), db_.readField(2)};
    if (card.number.empty() || card.password.empty()) {
        inform(text::narrow("亲，您的卡密已经卖完了喔，请及时加卡！"));
        return tradeCaption();
    }

    // A card that went out but stayed in stock belongs to its order: handing
    // it to the next order, say after the seller consigned the first by hand,
    // would sell it twice.
    const Text sentUnrecorded = text::narrow("卡密已发出，但无法记入已售卡密库");
    if (unrecorded_ && unrecorded_->cardNumber == card.number && unrecorded_->password == card.password &&
        unrecorded_->orderNumber != snapshot_.orderNumber)
        return sentUnrecorded;

    // Any answer of the server, whatever its status, means it has the card;
    // no answer at all means it may not, so the card stays in stock for the
    // next tick.
    if (!http_.get(deliveryRequestUrl(view_.serverAddressText(), snapshot_, card)))
        return text::narrow("发货服务器无法连接，卡密未发出");

    const Text stamp = text::timeStampNow();
    if (!db_.moveCurrentRecord({{discardPath, {card.number, card.password, stamp}},
                                {deliveredPath, {snapshot_.orderNumber, stamp}}})) {
        unrecorded_ = UnrecordedSale{snapshot_.orderNumber, card.number, card.password};
        return sentUnrecorded;
    }
    unrecorded_.reset();

    startConsignCycle();
    return tradeCaption();
}

void DeliveryLoop::startConsignCycle() {
    timers_.monitor.setPeriod(0);
    timers_.consign.setPeriod(kConsignPeriod);
}

void DeliveryLoop::consignTick() {
    view_.pressConsignButton();
    timers_.buffer.setPeriod(kBufferPeriod);
}

void DeliveryLoop::bufferTick() {
    timers_.consign.setPeriod(0);
    timers_.buffer.setPeriod(0);
    timers_.monitor.setPeriod(text::monitorPeriod(view_.periodText()));
}

void DeliveryLoop::inform(const Text& message) {
    informing_ = true;
    dialogs_.inform(message);
    informing_ = false;
}

} // namespace zenvik
