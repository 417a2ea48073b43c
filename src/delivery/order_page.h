#pragma once
// Cutting the first order out of the shop's order-list page. The page is
// matched by literal HTML fragments in code page 936; a page that lacks a
// fragment simply yields an empty value.

#include "text/narrow_text.h"

#include <string_view>

namespace zenvik {

// Everything between the end of the first `start` and the beginning of the
// first `end`, both searched from the beginning of the page and only where a
// character begins. Empty when `start` is absent or the first `end` does not
// lie after the first `start`.
Text extractBetween(std::string_view page, std::string_view start, std::string_view end);

// The four values of the first order, each trimmed of half- and full-width
// spaces. An empty value means its markers were not found.
struct OrderFields {
    Text orderNumber;
    Text productTitle;
    Text buyerNick;
    Text consignId;
};
OrderFields extractOrder(std::string_view page, const Text& shopHost);

// The consign id as the consign address takes it: untrimmed.
Text untrimmedConsignId(std::string_view page, const Text& shopHost);

// The order's consign page: "http://" + host + "/user/consign.htm?order_id=" + id.
Text consignUrl(const Text& shopHost, const Text& consignId);

} // namespace zenvik
