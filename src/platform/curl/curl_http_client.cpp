#include "platform/curl/curl_http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

namespace zenvik {

namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using List = std::unique_ptr<curl_slist, ListDeleter>;

struct Body {
    std::string bytes;
    bool tooLarge = false;
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* userData) {
    auto* body = static_cast<Body*>(userData);
    const std::size_t n = size * count;
    if (body->bytes.size() + n > CurlHttpClient::kMaxBodyBytes) {
        body->tooLarge = true;
        return 0;  // makes the transfer fail
    }
    body->bytes.append(data, n);
    return n;
}

List requestHeaders() {
    curl_slist* list = nullptr;
    for (const char* header : {"Accept: */*", "Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist* grown = curl_slist_append(list, header);
        if (!grown) break;
        list = grown;
    }
    return List(list);
}

void configure(CURL* easy, const std::string& url, curl_slist* headers, Body* body) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, CurlHttpClient::kConnectTimeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, CurlHttpClient::kTotalTimeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(CurlHttpClient::kMaxBodyBytes));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, body);
    // An empty cookie file switches the cookie engine on without reading a file.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
}

// The cookie engine applies domain, path, secure and expiry rules as a
// browser does, so it picks from the jar what this URL should carry.
void loadCookies(CURL* easy, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
}

std::vector<std::string> cookieLines(CURL* easy) {
    curl_slist* raw = nullptr;
    std::vector<std::string> lines;
    if (curl_easy_getinfo(easy, CURLINFO_COOKIELIST, &raw) != CURLE_OK) return lines;
    List list(raw);
    for (curl_slist* item = raw; item; item = item->next) lines.emplace_back(item->data);
    return lines;
}

std::vector<std::string> newOrChanged(const std::vector<std::string>& before,
                                      const std::vector<std::string>& after) {
    const std::set<std::string> known(before.begin(), before.end());
    std::vector<std::string> lines;
    std::copy_if(after.begin(), after.end(), std::back_inserter(lines),
                 [&](const std::string& line) { return !known.contains(line); });
    return lines;
}

} // namespace

CurlHttpClient::CurlHttpClient(CookieJar* cookies) : cookies_(cookies) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::optional<HttpResponse> CurlHttpClient::get(const std::string& url) {
    Easy easy(curl_easy_init());
    List headers = requestHeaders();
    if (!easy || !headers) return std::nullopt;
    Body body;
    configure(easy.get(), url, headers.get(), &body);

    std::vector<std::string> sent;
    if (cookies_) {
        sent = cookies_->cookieLines();
        loadCookies(easy.get(), sent);
    }

    const CURLcode result = curl_easy_perform(easy.get());
    // Cookies set on the way count even when the transfer then failed, as
    // they do in a browser.
    if (cookies_) {
        const auto received = newOrChanged(sent, cookieLines(easy.get()));
        if (!received.empty()) cookies_->storeCookieLines(received);
    }
    if (result != CURLE_OK || body.tooLarge) return std::nullopt;

    HttpResponse response;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &response.status);
    response.body = std::move(body.bytes);
    return response;
}

} // namespace zenvik
