#include "platform/qt/profile_cookie_jar.h"

#include <QDateTime>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <charconv>
#include <string_view>
#include <vector>

namespace zenvik {

namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

// The seven tab-separated fields of a cookie-file line: domain, tailmatch,
// path, secure, expiry, name, value. The value may be empty.
struct LineFields {
    bool httpOnly = false;
    std::string domain;
    bool tailMatch = false;
    std::string path;
    bool secure = false;
    long long expiry = 0;
    std::string name;
    std::string value;
};

std::optional<LineFields> splitLine(std::string_view line) {
    LineFields fields;
    if (line.starts_with(kHttpOnlyPrefix)) {
        fields.httpOnly = true;
        line.remove_prefix(kHttpOnlyPrefix.size());
    } else if (line.starts_with('#')) {
        return std::nullopt;
    }
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (parts.size() != 7 || parts[0].empty() || parts[5].empty()) return std::nullopt;
    fields.domain = parts[0];
    fields.tailMatch = parts[1] == "TRUE";
    fields.path = parts[2].empty() ? "/" : std::string(parts[2]);
    fields.secure = parts[3] == "TRUE";
    const auto expiry = std::from_chars(parts[4].data(), parts[4].data() + parts[4].size(), fields.expiry);
    if (expiry.ec != std::errc() || expiry.ptr != parts[4].data() + parts[4].size()) return std::nullopt;
    fields.name = parts[5];
    fields.value = parts[6];
    return fields;
}

std::string_view withoutDot(std::string_view domain) {
    if (domain.starts_with('.')) domain.remove_prefix(1);
    return domain;
}

} // namespace

std::string cookieLine(const QNetworkCookie& cookie) {
    const std::string domain = cookie.domain().toStdString();
    // Qt writes a cookie for a whole domain with a leading dot and a
    // host-only cookie without, as libcurl's lines do.
    const bool tailMatch = domain.starts_with('.');
    const std::string path = cookie.path().isEmpty() ? "/" : cookie.path().toStdString();
    const long long expiry = cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
    std::string line = cookie.isHttpOnly() ? std::string(kHttpOnlyPrefix) : std::string();
    line += domain + '\t' + (tailMatch ? "TRUE" : "FALSE") + '\t' + path + '\t' +
            (cookie.isSecure() ? "TRUE" : "FALSE") + '\t' + std::to_string(expiry) + '\t' +
            cookie.name().toStdString() + '\t' + cookie.value().toStdString();
    return line;
}

std::optional<ParsedCookie> parseCookieLine(const std::string& line) {
    const auto fields = splitLine(line);
    if (!fields) return std::nullopt;
    ParsedCookie parsed;
    QNetworkCookie& cookie = parsed.cookie;
    cookie.setName(QByteArray::fromStdString(fields->name));
    cookie.setValue(QByteArray::fromStdString(fields->value));
    cookie.setPath(QString::fromStdString(fields->path));
    cookie.setSecure(fields->secure);
    cookie.setHttpOnly(fields->httpOnly);
    if (fields->expiry > 0) cookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(fields->expiry));
    const std::string host(withoutDot(fields->domain));
    // A domain attribute would make the cookie one for the whole domain, so
    // a host-only cookie names its host only through the origin.
    if (fields->tailMatch) cookie.setDomain(QString::fromStdString("." + host));
    parsed.origin.setScheme(fields->secure ? "https" : "http");
    parsed.origin.setHost(QString::fromStdString(host));
    parsed.origin.setPath(QString::fromStdString(fields->path));
    return parsed;
}

namespace {

// Lines name a domain cookie with a leading dot whatever its tailmatch
// field says, the key does too, so that both sources of a line agree.
std::tuple<std::string, std::string, std::string> keyOf(const LineFields& fields) {
    std::string domain(withoutDot(fields.domain));
    if (fields.tailMatch) domain.insert(0, ".");
    return {domain, fields.path, fields.name};
}

} // namespace

ProfileCookieJar::ProfileCookieJar(QWebEngineProfile* profile) : store_(profile->cookieStore()) {
    QObject::connect(store_, &QWebEngineCookieStore::cookieAdded, &context_,
                     [this](const QNetworkCookie& cookie) { added(cookie); });
    QObject::connect(store_, &QWebEngineCookieStore::cookieRemoved, &context_,
                     [this](const QNetworkCookie& cookie) { removed(cookie); });
    store_->loadAllCookies();
}

ProfileCookieJar::~ProfileCookieJar() = default;

std::vector<std::string> ProfileCookieJar::cookieLines() const {
    std::vector<std::string> lines;
    lines.reserve(lines_.size());
    for (const auto& entry : lines_) lines.push_back(entry.second);
    return lines;
}

void ProfileCookieJar::storeCookieLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const auto fields = splitLine(line);
        const auto parsed = parseCookieLine(line);
        if (!fields || !parsed) continue;
        // The profile confirms asynchronously; the next request must carry
        // the cookie already.
        lines_[keyOf(*fields)] = line;
        store_->setCookie(parsed->cookie, parsed->origin);
    }
}

void ProfileCookieJar::added(const QNetworkCookie& cookie) {
    const std::string line = cookieLine(cookie);
    if (const auto fields = splitLine(line)) lines_[keyOf(*fields)] = line;
}

void ProfileCookieJar::removed(const QNetworkCookie& cookie) {
    const auto fields = splitLine(cookieLine(cookie));
    if (!fields) return;
    // When a response replaced a cookie, the profile reports the old one
    // removed after the jar already holds the new one: keep the new one.
    const auto it = lines_.find(keyOf(*fields));
    if (it == lines_.end()) return;
    const auto held = splitLine(it->second);
    if (held && held->value == fields->value) lines_.erase(it);
}

} // namespace zenvik
