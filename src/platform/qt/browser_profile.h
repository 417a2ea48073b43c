#pragma once
// The one browser profile that both browser controls share: its storage and
// cookies are kept below the program's directory in "browser/", so the
// seller's sign-in to the shop survives a restart.

#include "text/narrow_text.h"

#include <memory>

class QWebEngineProfile;

namespace zenvik {

// The owner keeps the profile alive until every page on it is gone.
std::unique_ptr<QWebEngineProfile> createBrowserProfile(const Text& baseDirectory);

} // namespace zenvik
