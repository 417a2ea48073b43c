#pragma once
// The delivery loop: each MonitorTimer tick polls the order list, a matched
// order gets the product's oldest card, and the ConsignTimer and BufferTimer
// ticks press the consign button and hand back to polling.

#include "platform/dialogs.h"
#include "platform/http_client.h"
#include "platform/settings.h"
#include "platform/timer.h"
#include "store/record_database.h"
#include "text/narrow_text.h"

#include <optional>

namespace zenvik {

// The first order of the last fetched order list.
struct OrderSnapshot {
    Text pageText;
    Text orderNumber;
    Text productTitle;
    Text buyerNick;
    Text consignId;
};

// What the loop needs of the main window.
class DeliveryView {
public:
    virtual ~DeliveryView() = default;
    virtual Text serverAddressText() const = 0;
    virtual Text periodText() const = 0;
    virtual void setTradeStatus(const Text& caption) = 0;
    virtual void loadConsignPage(const Text& url) = 0;
    // Attaches to ConsignBrowser and clicks the "logis:noLogis" button.
    virtual void pressConsignButton() = 0;
};

struct DeliveryTimers {
    Timer& monitor;
    Timer& consign;
    Timer& buffer;
};

class DeliveryLoop {
public:
    DeliveryLoop(const ProgramSettings& settings, RecordDatabase& db, HttpClient& http,
                 Dialogs& dialogs, DeliveryView& view, DeliveryTimers timers);
    ~DeliveryLoop();
    DeliveryLoop(const DeliveryLoop&) = delete;
    DeliveryLoop& operator=(const DeliveryLoop&) = delete;

    void pollOrderList();  // MonitorTimer tick
    void consignTick();    // ConsignTimer tick
    void bufferTick();     // BufferTimer tick

    const OrderSnapshot& snapshot() const { return snapshot_; }

private:
    // Gives the caption that TradeStatusLabel shows afterwards.
    Text deliverCard();
    void startConsignCycle();
    void inform(const Text& message);

    const ProgramSettings& settings_;
    RecordDatabase& db_;
    HttpClient& http_;
    Dialogs& dialogs_;
    DeliveryView& view_;
    DeliveryTimers timers_;
    OrderSnapshot snapshot_;
    bool informing_ = false;  // one of this loop's message boxes is open
    // A card the delivery server has but the stores could not record as
    // sold: it is still first in stock and may go again only to its order.
    struct UnrecordedSale {
        Text orderNumber;
        Text cardNumber;
        Text password;
    };
    std::optional<UnrecordedSale> unrecorded_;
};

// The order-list address: host and utkn from the settings, five keys in order.
Text orderListUrl(const ProgramSettings& settings);

} // namespace zenvik
