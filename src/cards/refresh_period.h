#pragma once
// RefreshPeriodEdit's period: a number of seconds.

#include "text/narrow_text.h"

#include <cstdint>
#include <string_view>

namespace zenvik {

// textToNumber(text) seconds in milliseconds, truncated toward zero and
// clamped into the signed 32-bit range.
inline std::int32_t refreshPeriod(std::string_view text) { return text::periodFromText(text, 1000.0); }

} // namespace zenvik
