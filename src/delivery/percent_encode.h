#pragma once
// Percent-encoding of query values for the delivery server.

#include "text/narrow_text.h"

#include <string_view>

namespace zenvik {

// Every byte as "%" and two upper-case hex digits, except, with
// keepUnreserved, "-", ".", digits and ASCII letters, which stay as they
// are. With asUtf8 the text is first converted from code page 936 to UTF-8;
// a text that does not convert gives an empty result.
Text percentEncode(std::string_view text, bool keepUnreserved = false, bool asUtf8 = false);

} // namespace zenvik
