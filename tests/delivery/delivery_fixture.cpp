#include "delivery_fixture.h"

#include "store/product_catalogue.h"
#include "store_records.h"

#include <filesystem>

namespace zenvik::test {

DeliveryFixture::DeliveryFixture() {
    settings.baseDirectory = dir.base();
    settings.shopHost = kShopHost;
    settings.utkn = "g,abcdefghijklmnopqrstu0123456789012345";
    http.orderListAddress = orderListUrl(settings);
    std::filesystem::create_directories(dir.path() / "sp");
    const Text catalogue = cataloguePath(settings.baseDirectory);
    EXPECT_TRUE(db.createStore(catalogue, catalogueFields()));
    EXPECT_TRUE(db.openStore(catalogue));
    loop = makeLoop();
}

std::unique_ptr<DeliveryLoop> DeliveryFixture::makeLoop() {
    return std::make_unique<DeliveryLoop>(settings, db, http, dialogs, view,
                                          DeliveryTimers{*monitor, *consign, *buffer});
}

Text DeliveryFixture::stock(const Text& product) const { return stockStorePath(settings.baseDirectory, product); }
Text DeliveryFixture::discard(const Text& product) const {
    return discardStorePath(settings.baseDirectory, product);
}

void DeliveryFixture::addProduct(const Text& name) {
    ASSERT_TRUE(db.selectStore(cataloguePath(settings.baseDirectory)));
    ASSERT_TRUE(db.addRecord({name}));
    ASSERT_TRUE(db.createStore(stock(name), cardFields()));
    ASSERT_TRUE(db.createStore(discard(name), cardFields()));
}

void DeliveryFixture::addCards(const Text& product, const std::vector<std::pair<Text, Text>>& cards) {
    db.openStore(stock(product));
    ASSERT_TRUE(db.selectStore(stock(product)));
    for (const auto& [number, password] : cards) ASSERT_TRUE(db.addRecord({number, password, "import"}));
}

void DeliveryFixture::listOrders(const std::vector<PageOrder>& orders) {
    http.orderList = HttpResponse{200, orderPage(orders)};
}

std::vector<std::vector<Text>> DeliveryFixture::records(const Text& path) {
    db.openStore(path);
    return readStore(db, path);
}

std::vector<std::string> DeliveryFixture::deliveryRequests() const {
    std::vector<std::string> requests;
    for (const auto& url : http.requests)
        if (url != http.orderListAddress) requests.push_back(url);
    return requests;
}

} // namespace zenvik::test
