// The record store's hot paths: importing cards in one transaction, taking
// the first card of a long stock, and opening a long stock at start-up.

#include "store/record_database.h"
#include "temp_dir.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

namespace zenvik {
namespace {

// A card as an import gives it: a 16-digit number, a password, a time stamp.
std::vector<Text> card(std::size_t i) {
    const std::string digits = std::to_string(1000000000000000ULL + i);
    return {digits, "pw" + digits.substr(8), text::narrow("2014年3月16日9时5分7秒")};
}

bool addCards(RecordDatabase& db, std::size_t first, std::size_t count) {
    return db.inTransaction([&] {
        for (std::size_t i = first; i < first + count; ++i) {
            if (!db.addRecord(card(i))) return false;
        }
        return true;
    });
}

// A closed store file of count cards.
Text makeStockFile(const test::TempDir& dir, std::size_t count) {
    const Text path = dir.base() + "stock.edb";
    RecordDatabase db;
    if (!db.createStore(path, cardFields()) || !db.openStore(path) || !addCards(db, 0, count)) return {};
    return path;
}

void BM_ImportCards(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        test::TempDir dir;
        RecordDatabase db;
        const Text path = dir.base() + "stock.edb";
        if (!db.createStore(path, cardFields()) || !db.openStore(path)) state.SkipWithError("no store");
        state.ResumeTiming();
        if (!addCards(db, 0, count)) state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportCards)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What a delivery does to its stock without the move: read the first card,
// delete it, purge. The stock is refilled in bulk outside the timing.
void BM_TakeFirstCard(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    test::TempDir dir;
    RecordDatabase db;
    const Text path = makeStockFile(dir, count);
    if (path.empty() || !db.openStore(path)) state.SkipWithError("no store");
    for (auto _ : state) {
        db.goFirst();
        benchmark::DoNotOptimize(db.readField(1));
        benchmark::DoNotOptimize(db.readField(2));
        if (!db.deleteRecord() || !db.purgeDeleted()) state.SkipWithError("take failed");
        if (db.recordCount() < count / 2) {
            state.PauseTiming();
            addCards(db, 0, count - db.recordCount());
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_TakeFirstCard)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// A delivery's whole step: the first card moves from stock to the sold store.
void BM_MoveFirstCard(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    test::TempDir dir;
    RecordDatabase db;
    const Text sold = dir.base() + "stock2.edb";
    const Text path = makeStockFile(dir, count);
    if (path.empty() || !db.createStore(sold, cardFields()) || !db.openStore(sold) ||
        !db.openStore(path)) {
        state.SkipWithError("no store");
    }
    for (auto _ : state) {
        db.selectStore("stock");
        db.goFirst();
        std::vector<Text> texts{db.readField(1), db.readField(2), db.readField(3)};
        if (!db.moveCurrentRecord({{"stock2", texts}})) state.SkipWithError("move failed");
        db.selectStore("stock");
        if (db.recordCount() < count / 2) {
            state.PauseTiming();
            addCards(db, 0, count - db.recordCount());
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_MoveFirstCard)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_OpenStore(benchmark::State& state) {
    test::TempDir dir;
    const Text path = makeStockFile(dir, static_cast<std::size_t>(state.range(0)));
    if (path.empty()) state.SkipWithError("no store");
    std::optional<RecordDatabase> db;
    for (auto _ : state) {
        db.emplace();
        if (!db->openStore(path)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(db->recordCount());
        state.PauseTiming();  // closing is not part of start-up
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenStore)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace zenvik

BENCHMARK_MAIN();
