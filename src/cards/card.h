#pragma once
// One card as a store record holds it: fields 1, 2 and 3 of a StockStore or
// DiscardStore record.

#include "text/narrow_text.h"

namespace zenvik {

struct Card {
    Text number;    // "卡号"
    Text password;  // "密码"
    Text time;      // "时间", a timeStampText

    bool operator==(const Card&) const = default;
};

} // namespace zenvik
