#include "cards/card_import.h"

namespace zenvik {

namespace {

// The line numbers named in the report; the rest are summed up by "等".
constexpr std::size_t kListedSkippedLines = 10;

} // namespace

ParsedCards parseCardLines(const Text& text) {
    ParsedCards parsed;
    const std::vector<Text> lines = text::splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Text& line = lines[i];
        const long space = text::find(line, " ");
        const bool split = space > 1 && static_cast<std::size_t>(space) < line.size();
        if (!split) {
            parsed.skippedLines.push_back(i + 1);
            continue;
        }
        const auto at = static_cast<std::size_t>(space - 1);
        parsed.cards.push_back(Card{line.substr(0, at), line.substr(at + 1), {}});
    }
    return parsed;
}

bool storeCards(RecordDatabase& db, const Text& stockPath, const std::vector<Card>& cards) {
    if (!db.selectStore(stockPath)) return false;
    return db.inTransaction([&] {
        for (const Card& card : cards) {
            if (!db.addRecord({card.number, card.password, text::timeStampNow()})) return false;
        }
        return true;
    });
}

std::string importReport(std::size_t stored, const std::vector<std::size_t>& skippedLines) {
    std::string report = "已入库 " + std::to_string(stored) + " 张卡密";
    if (skippedLines.empty()) return report;
    report += "\n有 " + std::to_string(skippedLines.size()) + " 行未入库（第 ";
    for (std::size_t i = 0; i < skippedLines.size() && i < kListedSkippedLines; ++i) {
        if (i > 0) report += "、";
        report += std::to_string(skippedLines[i]);
    }
    if (skippedLines.size() > kListedSkippedLines) report += " 等";
    report += " 行）：每行须为“卡号 密码”，卡号和密码都不能为空";
    return report;
}

} // namespace zenvik
