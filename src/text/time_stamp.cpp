// The time stamp kept with every card: date, then the time to the first
// non-zero unit from the second upward.
#include "text/narrow_text.h"

#include <string>

namespace zenvik::text {

Text timeStampText(const std::tm& t) {
    // Converted once: an import stamps every card it stores.
    static const Text year = narrow("年"), month = narrow("月"), day = narrow("日"), hour = narrow("时"),
                      minute = narrow("分"), second = narrow("秒");
    Text s = std::to_string(t.tm_year + 1900) + year + std::to_string(t.tm_mon + 1) + month +
             std::to_string(t.tm_mday) + day;
    if (t.tm_sec != 0) {
        s += std::to_string(t.tm_hour) + hour + std::to_string(t.tm_min) + minute + std::to_string(t.tm_sec) + second;
    } else if (t.tm_min != 0) {
        s += std::to_string(t.tm_hour) + hour + std::to_string(t.tm_min) + minute;
    } else if (t.tm_hour != 0) {
        s += std::to_string(t.tm_hour) + hour;
    }
    return s;
}

Text timeStampNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return timeStampText(local);
}

} // namespace zenvik::text
