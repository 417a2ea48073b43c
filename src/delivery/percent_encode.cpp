#include "delivery/percent_encode.h"

namespace zenvik {

namespace {

bool isUnreserved(unsigned char byte) {
    return byte == '-' || byte == '.' || (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z');
}

} // namespace

Text percentEncode(std::string_view text, bool keepUnreserved, bool asUtf8) {
    std::string utf8;
    if (asUtf8) {
        auto converted = text::toUtf8(text);
        if (!converted) return {};
        utf8 = std::move(*converted);
        text = utf8;
    }
    static constexpr char hex[] = "0123456789ABCDEF";
    Text encoded;
    encoded.reserve(text.size() * 3);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (keepUnreserved && isUnreserved(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0x0F];
        }
    }
    return encoded;
}

} // namespace zenvik
