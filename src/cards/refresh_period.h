#pragma once
// RefreshPeriodEdit's rules: the period it gives and its text on leaving.

#include "text/narrow_text.h"

#include <cstdint>
#include <string_view>

namespace zenvik {

// textToNumber(text) seconds in milliseconds, truncated toward zero and
// clamped into the signed 32-bit range.
std::int32_t refreshPeriod(std::string_view text);

// The text of the edit box once it loses the focus: the decimal form of its
// leading integer, limited to the signed 32-bit range; 0 gives the empty text.
Text integerEditText(std::string_view text);

} // namespace zenvik
