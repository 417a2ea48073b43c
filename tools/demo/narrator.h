#pragma once
// Watches the demo from outside the program, as the seller and the servers
// see it: the requests that reach the fake shop and the fake delivery server
// (a delivery request decoded), and the captions of the home page's status
// labels. A picture of the window is saved at every delivery.

#include "fake_delivery_server.h"
#include "fake_shop.h"

#include <QDir>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace zenvik::demo {

class Narrator : public QObject {
public:
    Narrator(const test::FakeShop& shop, const test::FakeDeliveryServer& delivery, QDir pictures);

    // The window whose labels are read and pictured; it may go at any time.
    void watch(QWidget* window);
    // Saves a picture of the watched window; false when it could not.
    bool savePicture(const QString& name);

    // Every order that arrived was delivered one card and consigned, and a
    // poll since has found no order waiting.
    bool allDone(std::size_t ordersArrived) const;
    std::size_t deliveries() const { return deliveries_; }
    std::size_t consignments() const { return static_cast<std::size_t>(consigned_.size()); }

private:
    void look();
    void tellRequests();
    void tellOrderList(const test::RecordedRequest& request);
    void tellDelivery(const std::string& target);
    void tellConsign(const QString& consignId);
    void tellCaptions();

    const test::FakeShop& shop_;
    const test::FakeDeliveryServer& delivery_;
    QDir pictures_;
    QPointer<QWidget> window_;
    QTimer ticker_;
    std::size_t shopSeen_ = 0;
    std::size_t deliverySeen_ = 0;
    std::size_t deliveries_ = 0;
    QSet<QString> consigned_;  // consign ids
    bool idleSinceLastConsign_ = false;
    QString tradeStatus_;
    QString monitorState_;
};

} // namespace zenvik::demo
