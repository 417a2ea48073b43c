#include "cards/refresh_period.h"

#include <cmath>
#include <limits>

namespace zenvik {

std::int32_t refreshPeriod(std::string_view text) {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    const double ms = std::trunc(text::textToNumber(text) * 1000.0);
    if (std::isnan(ms)) return 0;
    if (ms <= low) return std::numeric_limits<std::int32_t>::min();
    if (ms >= high) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(ms);
}

Text integerEditText(std::string_view text) {
    const std::int64_t value = text::leadingInteger(text, std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max());
    return value == 0 ? Text() : std::to_string(value);
}

} // namespace zenvik
