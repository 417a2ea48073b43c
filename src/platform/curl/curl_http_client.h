#pragma once
// The blocking GET of the delivery loop, over libcurl: HTTP/1.0, straight to
// the server whatever proxy the environment names, never from a cache, with
// the browser profile's cookies.

#include "platform/http_client.h"

namespace zenvik {

class CurlHttpClient : public HttpClient {
public:
    // cookies may be null: requests then carry no cookies and keep none.
    explicit CurlHttpClient(CookieJar* cookies);
    std::optional<HttpResponse> get(const std::string& url) override;

    // A request that has not connected after this long, or not finished,
    // fails rather than freezing the window for good.
    static constexpr long kConnectTimeoutSeconds = 10;
    static constexpr long kTotalTimeoutSeconds = 30;
    // A larger body is no page of the shop's: the request fails.
    static constexpr std::size_t kMaxBodyBytes = 16u << 20;

private:
    CookieJar* cookies_;
};

} // namespace zenvik
