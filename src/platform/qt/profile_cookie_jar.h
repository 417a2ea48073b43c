#pragma once
// The browser profile's cookies as the HTTP client needs them: a mirror of
// the profile's cookie store in libcurl's cookie-file lines, and cookies that
// a response set written back into the profile, so that the browser controls
// and the HTTP client share one sign-in.

#include "platform/http_client.h"

#include <QNetworkCookie>
#include <QObject>
#include <QUrl>

#include <map>
#include <optional>
#include <string>
#include <tuple>

class QWebEngineCookieStore;
class QWebEngineProfile;

namespace zenvik {

class ProfileCookieJar : public CookieJar {
public:
    // Make the jar before the profile loads its first page: the profile
    // reports the cookies it holds when its store starts with that page, and
    // asking it again later is not answered by every Qt version. The profile
    // must outlive the jar.
    explicit ProfileCookieJar(QWebEngineProfile* profile);
    ~ProfileCookieJar() override;
    ProfileCookieJar(const ProfileCookieJar&) = delete;
    ProfileCookieJar& operator=(const ProfileCookieJar&) = delete;

    std::vector<std::string> cookieLines() const override;
    void storeCookieLines(const std::vector<std::string>& lines) override;

private:
    using Key = std::tuple<std::string, std::string, std::string>;  // domain, path, name

    void added(const QNetworkCookie& cookie);
    void removed(const QNetworkCookie& cookie);

    QWebEngineCookieStore* store_;
    QObject context_;  // ends the store's connections with the jar
    std::map<Key, std::string> lines_;
};

// One cookie as a line of libcurl's cookie file.
std::string cookieLine(const QNetworkCookie& cookie);

// A line of libcurl's cookie file as a cookie, with the address it was set
// for; nothing when the line is not a cookie.
struct ParsedCookie {
    QNetworkCookie cookie;
    QUrl origin;
};
std::optional<ParsedCookie> parseCookieLine(const std::string& line);

} // namespace zenvik
