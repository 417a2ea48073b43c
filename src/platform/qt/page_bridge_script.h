#pragma once
// The script that answers the page bridge inside the page, in a JavaScript
// world of our own.

#include <QString>

namespace zenvik {

// A function expression; calling it gives the page's bridge, made on the
// first call after each load: bridge.run(request) answers one request.
const QString& pageBridgeScript();

} // namespace zenvik
