// A process killed in the middle of a large write: the store it wrote must
// open afterwards with the write either whole or absent, never in part.

#include "store_test_support.h"

#include <sqlite3.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zenvik::test {
namespace {

// Runs work in a child process and kills it delayMs after the child says
// it is about to start. True when the child finished before the kill.
bool killDuring(int delayMs, const std::function<bool()>& work) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const char started = 's';
        (void)!write(pipeEnds[1], &started, 1);
        const char finished = work() ? 'f' : 'x';
        (void)!write(pipeEnds[1], &finished, 1);
        pause();
        _exit(0);
    }
    close(pipeEnds[1]);
    char byte = 0;
    (void)!read(pipeEnds[0], &byte, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const bool finished = read(pipeEnds[0], &byte, 1) == 1 && byte == 'f';
    close(pipeEnds[0]);
    return finished;
}

std::string integrityOf(const Text& path) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
        if (sqlite3_step(check) == SQLITE_ROW) {
            result = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
        }
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return result;
}

std::vector<Text> numbered(const char* prefix, int count) {
    std::vector<Text> numbers;
    for (int i = 0; i < count; ++i) numbers.push_back(prefix + std::to_string(i));
    return numbers;
}

class KilledWrite : public StoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(KilledWrite, ATransactionIsWholeOrAbsent) {
    const Records before = cards(numbered("old-", 1000));
    const Text store = makeStore("stock.edb", before);
    ASSERT_TRUE(db.closeStore(store));
    const Records added = cards(numbered("new-", 200000));

    const bool finished = killDuring(GetParam(), [&] {
        RecordDatabase child;
        return child.openStore(store) && child.inTransaction([&] {
            for (const auto& record : added) {
                if (!child.addRecord(record)) return false;
            }
            return true;
        });
    });

    // Opening as the program does rolls a hot journal back first.
    const Records after = readFromDisk(store);
    EXPECT_EQ(integrityOf(store), "ok");
    if (finished || after.size() != before.size()) {
        Records whole = before;
        whole.insert(whole.end(), added.begin(), added.end());
        EXPECT_EQ(after.size(), whole.size());
        EXPECT_TRUE(after == whole);
    } else {
        EXPECT_TRUE(after == before);
    }
}

TEST_P(KilledWrite, AMoveIsWholeOrAbsent) {
    const Text sold = makeStore("sold.edb", cards({"Z"}));
    const Text stock = makeStore("stock.edb", cards({"A", "B"}));
    ASSERT_TRUE(db.closeStore(stock) && db.closeStore(sold));
    // Many appends make the step long enough to be killed inside.
    std::vector<RecordDatabase::Append> appends;
    for (const Text& number : numbered("sold-", 100000)) appends.push_back({"sold", {number, "pw", "t"}});

    const bool finished = killDuring(GetParam(), [&] {
        RecordDatabase child;
        return child.openStore(sold) && child.openStore(stock) && child.moveCurrentRecord(appends);
    });

    const Records stockAfter = readFromDisk(stock);
    const std::size_t soldAfter = readFromDisk(sold).size();
    EXPECT_EQ(integrityOf(stock), "ok");
    EXPECT_EQ(integrityOf(sold), "ok");
    if (finished || stockAfter.size() == 1) {
        EXPECT_EQ(stockAfter, cards({"B"}));
        EXPECT_EQ(soldAfter, 1 + appends.size());
    } else {
        EXPECT_EQ(stockAfter, cards({"A", "B"}));
        EXPECT_EQ(soldAfter, 1u);
    }
}

// From before the first write to after the commit.
INSTANTIATE_TEST_SUITE_P(RecordDatabase, KilledWrite, ::testing::Values(0, 30, 100, 250, 500, 1000),
                         [](const auto& row) { return "After" + std::to_string(row.param) + "ms"; });

} // namespace
} // namespace zenvik::test
