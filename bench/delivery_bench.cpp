// Order polling and delivery: cutting the first order out of a large page,
// and one whole MonitorTimer tick against the local fake servers.

#include "delivery/delivery_loop.h"
#include "delivery/order_page.h"
#include "fake_delivery_server.h"
#include "fake_dialogs.h"
#include "fake_shop.h"
#include "platform/curl/curl_http_client.h"
#include "platform/manual_clock.h"
#include "store/product_catalogue.h"
#include "temp_dir.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace zenvik {
namespace {

const Text kHost = "wuliu.example.com";

// 2 MiB of order-list markup without the shop's markers (Chinese text
// included), then one order: every marker is searched through the whole page.
const Text& largePage() {
    static const Text page = [] {
        const Text filler = text::narrow("<tr><td class=\"item\">宝贝名称：点卡充值</td><td>￥10.00</td></tr>\r\n");
        Text order = test::FakeShop::orderListPage({{"1001", text::narrow("Q币10元"), "nick", "5001"}}, kHost);
        Text built;
        while (built.size() + order.size() < (2u << 20)) built += filler;
        return built + order;
    }();
    return page;
}

void BM_ExtractOrder(benchmark::State& state) {
    const Text& page = largePage();
    for (auto _ : state) {
        auto fields = extractOrder(page, kHost);
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ExtractOrder)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The floor: the same eight markers found by memmem, without regard to
// where a character begins.
void BM_MemmemScan(benchmark::State& state) {
    const Text& page = largePage();
    const Text markers[] = {
        text::narrow("<span class=\"order-number\">订单编号："),
        "</span>\r\n    \t\t\t\t\t\t            \t\t\t\t<span class=\"order-date\">",
        text::narrow("<a target=\"_blank\" title=\"名称："),
        text::narrow(" §数量："),
        "<span class=\"ww ww:token\" ww:params=\"nick=",
        "&amp;tnick=",
        "http://" + kHost + "/user/consign.htm?order_id=",
        text::narrow("\">发货</a>"),
    };
    for (auto _ : state) {
        for (const Text& marker : markers)
            benchmark::DoNotOptimize(memmem(page.data(), page.size(), marker.data(), marker.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_MemmemScan)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

class NoDialogs : public Dialogs {
public:
    void inform(const Text&) override {}
    bool askYesNo(const Text&) override { return false; }
};

class NullView : public DeliveryView {
public:
    explicit NullView(Text server) : server_(std::move(server)) {}
    Text serverAddressText() const override { return server_; }
    Text periodText() const override { return "1"; }
    void setTradeStatus(const Text&) override {}
    void loadConsignPage(const Text&) override {}
    void pressConsignButton() override {}

private:
    Text server_;
};

// One MonitorTimer tick that delivers: the order list fetched from the shop,
// the product found, the DeliveryRequest sent, the card moved and the order
// recorded, with 100 000 cards in stock.
void BM_DeliveryTick(benchmark::State& state) {
    test::TempDir dir;
    test::FakeShop shop;
    test::FakeDeliveryServer server;
    const Text product = text::narrow("Q币10元");
    ProgramSettings settings{dir.base(), shop.host(), "g,abcdefghijklmnopqrstu0w1381232000000", ""};
    std::filesystem::create_directories(dir.path() / "sp");
    RecordDatabase db;
    db.createStore(cataloguePath(dir.base()), catalogueFields());
    db.openStore(cataloguePath(dir.base()));
    db.addRecord({product});
    db.createStore(stockStorePath(dir.base(), product), cardFields());
    db.createStore(discardStorePath(dir.base(), product), cardFields());
    db.openStore(stockStorePath(dir.base(), product));
    db.inTransaction([&] {
        for (int i = 0; i < 100000; ++i)
            if (!db.addRecord({"CARD" + std::to_string(i), "PW" + std::to_string(i), "t"})) return false;
        return true;
    });

    CurlHttpClient http(nullptr);
    NoDialogs dialogs;
    NullView view(server.address("/fh.php"));
    ManualClock clock;
    auto monitor = clock.createTimer();
    auto consign = clock.createTimer();
    auto buffer = clock.createTimer();
    DeliveryLoop loop(settings, db, http, dialogs, view, DeliveryTimers{*monitor, *consign, *buffer});

    long order = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++order;
        shop.setOrders({{std::to_string(order), product, "nick", std::to_string(order)}});
        state.ResumeTiming();
        loop.pollOrderList();
    }
    if (server.requests().size() != static_cast<std::size_t>(order)) state.SkipWithError("a tick delivered no card");
}
BENCHMARK(BM_DeliveryTick)->Unit(benchmark::kMillisecond)->Iterations(200)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace zenvik

BENCHMARK_MAIN();
