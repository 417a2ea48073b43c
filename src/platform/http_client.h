#pragma once
// A blocking HTTP GET, as the delivery loop needs it.

#include <optional>
#include <string>
#include <vector>

namespace zenvik {

struct HttpResponse {
    long status = 0;
    std::string body;  // the whole body, whatever the status
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Nothing when no HTTP response came (no host, refused, timed out, ...).
    virtual std::optional<HttpResponse> get(const std::string& url) = 0;
};

// The cookies that the browser controls hold, in the cookie-file format of
// libcurl (one line per cookie: domain, tailmatch, path, secure, expiry,
// name, value, separated by tabs; "#HttpOnly_" before the domain of an
// http-only cookie).
class CookieJar {
public:
    virtual ~CookieJar() = default;
    virtual std::vector<std::string> cookieLines() const = 0;
    // Cookies that a response set; they go back into the browser profile.
    virtual void storeCookieLines(const std::vector<std::string>& lines) = 0;
};

} // namespace zenvik
