// CardWindow with a large stock: filling both grids from a store of 100 000
// cards, and importing 100 000 typed lines.
#include "cards/card_import.h"
#include "cards/card_window.h"
#include "fake_dialogs.h"
#include "platform/manual_clock.h"
#include "store/product_catalogue.h"
#include "temp_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>
#include <filesystem>

namespace zenvik {
namespace {

constexpr int kCards = 100000;

// A catalogue of one product whose stores are open and empty.
struct Shop {
    Shop() {
        std::filesystem::create_directory(dir.path() / "sp");
        settings.baseDirectory = dir.base();
        db.createStore(cataloguePath(dir.base()), catalogueFields());
        db.openStore(cataloguePath(dir.base()));
        db.addRecord({product});
        for (const Text& path : {stock(), discard()}) {
            db.createStore(path, cardFields());
            db.openStore(path);
        }
    }
    Text stock() const { return stockStorePath(dir.base(), product); }
    Text discard() const { return discardStorePath(dir.base(), product); }

    test::TempDir dir;
    const Text product = text::narrow("点卡");
    RecordDatabase db;
    ProgramSettings settings;
    test::FakeDialogs dialogs;
    ManualClock clock;
};

std::vector<Card> numberedCards(int count) {
    std::vector<Card> cards;
    for (int i = 0; i < count; ++i) cards.push_back({"CARD" + std::to_string(10000000 + i), "PW" + std::to_string(i), {}});
    return cards;
}

QString typedLines(int count) {
    QString typed;
    for (int i = 0; i < count; ++i) {
        typed += QStringLiteral("CARD%1 PW%2\n").arg(10000000 + i).arg(i);
    }
    return typed;
}

void BM_FillGrids(benchmark::State& state) {
    Shop shop;
    storeCards(shop.db, shop.stock(), numberedCards(kCards));
    storeCards(shop.db, shop.discard(), numberedCards(kCards / 10));
    CardWindow window(shop.settings, shop.db, shop.dialogs, shop.clock);
    window.show();
    window.findChild<QComboBox*>(QStringLiteral("组合框1"))->setCurrentIndex(0);
    for (auto _ : state) {
        window.reloadGrids();
        QApplication::processEvents();  // lay out and paint the grids
    }
    state.counters["cards"] = kCards + kCards / 10;
}
BENCHMARK(BM_FillGrids)->Unit(benchmark::kMillisecond);

void BM_ImportLines(benchmark::State& state) {
    Shop shop;
    CardWindow window(shop.settings, shop.db, shop.dialogs, shop.clock);
    window.show();
    window.findChild<QComboBox*>(QStringLiteral("组合框1"))->setCurrentIndex(0);
    window.findChild<QPlainTextEdit*>(QStringLiteral("编辑框4"))->setPlainText(typedLines(kCards));
    for (auto _ : state) {
        state.PauseTiming();
        shop.db.selectStore(shop.stock());
        shop.db.clearStore();
        state.ResumeTiming();
        window.importCards();  // converts, splits, stores in one transaction, refills the grids
    }
    state.counters["lines"] = kCards;
}
BENCHMARK(BM_ImportLines)->Unit(benchmark::kMillisecond);

// The import without the window: splitting the lines and storing them.
void BM_ParseAndStore(benchmark::State& state) {
    Shop shop;
    Text typed;
    for (const Card& card : numberedCards(kCards)) typed += card.number + " " + card.password + "\r\n";
    for (auto _ : state) {
        state.PauseTiming();
        shop.db.selectStore(shop.stock());
        shop.db.clearStore();
        state.ResumeTiming();
        storeCards(shop.db, shop.stock(), parseCardLines(typed).cards);
    }
}
BENCHMARK(BM_ParseAndStore)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zenvik

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
