#include "delivery/order_page.h"

namespace zenvik {

namespace {

struct Markers {
    Text start;
    Text end;
};

// The closing tag of the order number, then the page's indentation before
// the order date, byte for byte: 60 bytes in all.
Text orderNumberEnd() {
    return "</span>\r\n" + std::string(4, ' ') + std::string(6, '\t') + std::string(12, ' ') +
           std::string(4, '\t') + "<span class=\"order-date\">";
}

const Markers& orderNumberMarkers() {
    static const Markers markers{text::narrow("<span class=\"order-number\">订单编号："), orderNumberEnd()};
    return markers;
}

const Markers& productTitleMarkers() {
    static const Markers markers{text::narrow("<a target=\"_blank\" title=\"名称："), text::narrow(" §数量：")};
    return markers;
}

const Markers& buyerNickMarkers() {
    static const Markers markers{"<span class=\"ww ww:token\" ww:params=\"nick=", "&amp;tnick="};
    return markers;
}

Text consignLinkPrefix(const Text& shopHost) { return "http://" + shopHost + "/user/consign.htm?order_id="; }

const Text& consignIdEnd() {
    static const Text end = text::narrow("\">发货</a>");
    return end;
}

Text extractTrimmed(std::string_view page, const Markers& markers) {
    return text::trimSpaces(extractBetween(page, markers.start, markers.end));
}

} // namespace

Text extractBetween(std::string_view page, std::string_view start, std::string_view end) {
    const long s = text::find(page, start);
    if (s < 0) return {};
    const long e = text::find(page, end);
    const long n = e - s - static_cast<long>(start.size());
    if (n <= 0) return {};
    return Text(page.substr(static_cast<std::size_t>(s - 1) + start.size(), static_cast<std::size_t>(n)));
}

OrderFields extractOrder(std::string_view page, const Text& shopHost) {
    OrderFields fields;
    fields.orderNumber = extractTrimmed(page, orderNumberMarkers());
    fields.productTitle = extractTrimmed(page, productTitleMarkers());
    fields.buyerNick = extractTrimmed(page, buyerNickMarkers());
    fields.consignId = text::trimSpaces(untrimmedConsignId(page, shopHost));
    return fields;
}

Text untrimmedConsignId(std::string_view page, const Text& shopHost) {
    return extractBetween(page, consignLinkPrefix(shopHost), consignIdEnd());
}

Text consignUrl(const Text& shopHost, const Text& consignId) { return consignLinkPrefix(shopHost) + consignId; }

} // namespace zenvik
