// libFuzzer target: cutting orders out of arbitrary pages and encoding
// arbitrary texts must neither crash nor break their guarantees.

#include "delivery/order_page.h"
#include "delivery/percent_encode.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

bool isSpaceAt(const zenvik::Text& value, std::size_t i) {
    return value[i] == ' ' || value.compare(i, 2, "\xA1\xA1") == 0;
}

// A trimmed value neither starts nor ends with a space character; a space
// byte that is the second byte of a two-byte character is no space.
void checkTrimmed(const zenvik::Text& value) {
    if (value.empty()) return;
    check(!isSpaceAt(value, 0));
    std::size_t last = 0;
    for (std::size_t i = 0; i < value.size(); i += zenvik::text::charLength(value, i)) last = i;
    check(!isSpaceAt(value, last));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const auto fields = zenvik::extractOrder(input, "wuliu.example.com");
    for (const auto* value : {&fields.orderNumber, &fields.productTitle, &fields.buyerNick, &fields.consignId}) {
        checkTrimmed(*value);
        check(value->size() <= size);
    }

    // The first two bytes as markers, the rest as the page.
    if (size >= 2) {
        const auto page = input.substr(2);
        const auto value = zenvik::extractBetween(page, input.substr(0, 1), input.substr(1, 1));
        check(value.empty() || (value.size() + 2 <= page.size() && page.find(value) != std::string_view::npos));
    }

    const auto encoded = zenvik::percentEncode(input);
    check(encoded.size() == size * 3);
    const auto kept = zenvik::percentEncode(input, true);
    check(kept.size() >= size && kept.size() <= size * 3);
    zenvik::percentEncode(input, false, true);
    zenvik::percentEncode(input, true, true);
    return 0;
}
