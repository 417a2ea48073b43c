#pragma once
// Card import: the seller's lines "卡号 密码" turned into StockStore records.

#include "cards/card.h"
#include "store/record_database.h"

#include <cstddef>
#include <vector>

namespace zenvik {

struct ParsedCards {
    std::vector<Card> cards;                // in line order; time left empty
    std::vector<std::size_t> skippedLines;  // 1-based numbers of the lines not taken
};

// Splits the text at "\r\n" and each line at its first ASCII space. A line
// that would give an empty card number or an empty password is skipped:
// stored, such a record would sit at the head of the queue and every later
// delivery would take it for an empty (sold-out) stock.
ParsedCards parseCardLines(const Text& text);

// Appends the cards, each stamped with the time now, to the store at
// stockPath, all in one transaction. False, with nothing stored, when that
// store is not open or a write fails.
bool storeCards(RecordDatabase& db, const Text& stockPath, const std::vector<Card>& cards);

// What the seller is told after an import (UTF-8).
std::string importReport(std::size_t stored, const std::vector<std::size_t>& skippedLines);

} // namespace zenvik
