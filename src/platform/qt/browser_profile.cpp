#include "platform/qt/browser_profile.h"

#include "platform/qt/qt_text.h"

#include <QWebEngineProfile>

namespace zenvik {

std::unique_ptr<QWebEngineProfile> createBrowserProfile(const Text& baseDirectory) {
    // A named profile is a persistent one; its place is set before any page
    // uses it.
    auto profile = std::make_unique<QWebEngineProfile>(QStringLiteral("zenvik"));
    QString storage = toQString(baseDirectory + "browser/");
    profile->setPersistentStoragePath(storage);
    profile->setCachePath(storage + QStringLiteral("cache"));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    return profile;
}

} // namespace zenvik
