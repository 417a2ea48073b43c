#include "text/narrow_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace zenvik::text {
namespace {

TEST(NumberText, TextToNumberReadsTheLeadingDecimalNumber) {
    struct Case {
        Text in;
        double out;
    } cases[] = {
        {"6", 6},
        {"  -3", -3},
        {"1.5e2x", 150},
        {"2e", 2},
        {".5", 0.5},
        {"abc", 0},
        {"", 0},
        {"+7", 7},
        {"\xA3\xB1\xA3\xB2", 12},        // full-width "１２"
        {"\xA1\xA1" "4", 4},              // full-width space before it
        {"\xA3\xAD\xA3\xB5", -5},        // full-width "－５"
        {"inf", 0},
        {"0x10", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(textToNumber(c.in), c.out) << c.in;
}

TEST(NumberText, ShortIntegerEditTextOnLeaving) {
    struct Case {
        Text in, out;
    } cases[] = {
        {"12", "12"}, {"99999", "32767"}, {"-99999", "-32768"}, {"0", ""}, {"007", "7"},
        {"", ""}, {"-", ""}, {"  5x", "5"}, {"123456789012345678901234567890", "32767"},
    };
    for (const auto& c : cases) EXPECT_EQ(integerEditText(c.in, -32768, 32767), c.out) << c.in;
}

TEST(NumberText, MonitorPeriodIsTenSecondUnitsClampedTo32Bits) {
    struct Case {
        Text in;
        std::int32_t out;
    } cases[] = {
        {"6", 60000},
        {"", 0},
        {"-3", -30000},
        {"0.00005", 0},
        {"1.23456", 12345},
        {"-1.23456", -12345},
        {"32767", 327670000},
        {"1e9", std::numeric_limits<std::int32_t>::max()},
        {"-1e400", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases) EXPECT_EQ(monitorPeriod(c.in), c.out) << c.in;
}

} // namespace
} // namespace zenvik::text
