#include "cards/refresh_period.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zenvik {
namespace {

TEST(RefreshPeriod, IsSecondsTimesThousandTruncated) {
    struct Case {
        const char* text;
        std::int32_t ms;
    } const cases[] = {
        {"5", 5000},        {"", 0},          {"-3", -3000},
        {"2.5", 2500},      {"0.0019", 1},    {"-0.0019", -1},
        {"abc", 0},         {"7x", 7000},     {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(refreshPeriod(c.text), c.ms) << c.text;
}

TEST(RefreshPeriod, EditTextOnLeavingIsThe32BitValue) {
    struct Case {
        const char* typed;
        const char* left;
    } const cases[] = {
        {"12", "12"},  {"007", "7"},   {"0", ""},   {"-0", ""},  {"", ""},
        {"-", ""},     {"1-2", "1"},   {"-45", "-45"},
        {"99999999999", "2147483647"}, {"-99999999999", "-2147483648"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::integerEditText(c.typed, INT32_MIN, INT32_MAX), c.left) << c.typed;
}

} // namespace
} // namespace zenvik
