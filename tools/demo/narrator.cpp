#include "narrator.h"

#include "account.h"
#include "platform/qt/qt_text.h"

#include <QByteArray>
#include <QLabel>
#include <QStringList>

#include <algorithm>

namespace zenvik::demo {

namespace {

const QString noTradeCaption = QStringLiteral("当前没有交易");

// The query's values as the delivery server reads them: percent-decoded to
// code page 936 bytes, shown as text.
QString decodedQuery(const std::string& target) {
    const std::size_t question = target.find('?');
    if (question == std::string::npos) return {};
    QStringList shown;
    const QByteArray query = QByteArray::fromStdString(target.substr(question + 1));
    for (const QByteArray& pair : query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : QByteArray::fromPercentEncoding(pair.mid(equals + 1));
        shown << QString::fromLatin1(key) + QStringLiteral("=") + toQString(value.toStdString());
    }
    return shown.join(QStringLiteral(", "));
}

QString afterEquals(const std::string& target) {
    return QString::fromStdString(target.substr(target.find('=') + 1));
}

struct Arrival {
    const test::RecordedRequest* request;
    bool atShop;
};

} // namespace

Narrator::Narrator(const test::FakeShop& shop, const test::FakeDeliveryServer& delivery, QDir pictures)
    : shop_(shop), delivery_(delivery), pictures_(std::move(pictures)) {
    connect(&ticker_, &QTimer::timeout, this, &Narrator::look);
    ticker_.start(100);
}

void Narrator::watch(QWidget* window) {
    window_ = window;
    tradeStatus_.clear();
    monitorState_.clear();
    look();
}

bool Narrator::savePicture(const QString& name) {
    const QString path = pictures_.filePath(name);
    if (!window_ || !window_->grab().save(path)) {
        tell(QStringLiteral("could not save the picture ") + path);
        return false;
    }
    tell(QStringLiteral("picture of MainWindow saved: ") + path);
    return true;
}

bool Narrator::allDone(std::size_t ordersArrived) const {
    return consignments() >= ordersArrived && idleSinceLastConsign_ && shop_.orders().empty();
}

void Narrator::look() {
    tellRequests();
    tellCaptions();
}

// Both servers' new requests in the order they arrived.
void Narrator::tellRequests() {
    const auto shopRequests = shop_.requests();
    const auto deliveryRequests = delivery_.requests();
    std::vector<Arrival> arrivals;
    for (std::size_t i = shopSeen_; i < shopRequests.size(); ++i) arrivals.push_back({&shopRequests[i], true});
    for (std::size_t i = deliverySeen_; i < deliveryRequests.size(); ++i)
        arrivals.push_back({&deliveryRequests[i], false});
    shopSeen_ = shopRequests.size();
    deliverySeen_ = deliveryRequests.size();
    std::stable_sort(arrivals.begin(), arrivals.end(),
                     [](const Arrival& a, const Arrival& b) { return a.request->at < b.request->at; });

    for (const Arrival& arrival : arrivals) {
        const std::string& target = arrival.request->target;
        if (!arrival.atShop) {
            tellDelivery(target);
        } else if (target.starts_with("/user/order_list_new.htm")) {
            tellOrderList(*arrival.request);
        } else if (target.starts_with("/user/consign.htm")) {
            tell(QStringLiteral("shop: ConsignBrowser opens the consign page of order ") + afterEquals(target));
        } else if (target.starts_with("/consign_done")) {
            tellConsign(afterEquals(target));
        }
    }
}

void Narrator::tellOrderList(const test::RecordedRequest& request) {
    const auto agent = request.headers.find("User-Agent");
    if (agent != request.headers.end() && agent->second.find("QtWebEngine") != std::string::npos) {
        tell(QStringLiteral("shop: the home page's browser shows the order list"));
        return;
    }
    // The poll has ended when this runs: its caption is on the label, and
    // no consign button can have been pressed since.
    const auto* trade = window_ ? window_->findChild<QLabel*>(QStringLiteral("标签4")) : nullptr;
    tell(QStringLiteral("shop: MonitorTimer polls the order list (%1 waiting); TradeStatusLabel shows \"%2\"")
             .arg(shop_.orders().size())
             .arg(trade ? trade->text() : QString()));
}

void Narrator::tellDelivery(const std::string& target) {
    ++deliveries_;
    tell(QStringLiteral("delivery server: GET %1").arg(QString::fromStdString(target)));
    tell(QStringLiteral("  card delivered, decoded: ") + decodedQuery(target));
    savePicture(QStringLiteral("during_%1.png").arg(deliveries_));
}

void Narrator::tellConsign(const QString& consignId) {
    if (consigned_.contains(consignId)) {
        tell(QStringLiteral("shop: button \"无需物流\" pressed again on the page of order %1").arg(consignId));
        return;
    }
    consigned_.insert(consignId);
    idleSinceLastConsign_ = false;
    tell(QStringLiteral("shop: button \"无需物流\" pressed, order %1 is consigned and leaves the list").arg(consignId));
}

void Narrator::tellCaptions() {
    if (!window_) return;
    const auto* monitor = window_->findChild<QLabel*>(QStringLiteral("标签3"));
    const auto* trade = window_->findChild<QLabel*>(QStringLiteral("标签4"));
    if (monitor && monitor->text() != monitorState_) {
        monitorState_ = monitor->text();
        tell(QStringLiteral("MonitorStateLabel: ") + monitorState_);
    }
    if (!trade || trade->text() == tradeStatus_) return;
    tradeStatus_ = trade->text();
    tell(QStringLiteral("TradeStatusLabel: ") + tradeStatus_);
    if (tradeStatus_ == noTradeCaption && !consigned_.isEmpty()) idleSinceLastConsign_ = true;
}

} // namespace zenvik::demo
