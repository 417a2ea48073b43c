#include "fake_delivery_server.h"
#include "loopback_server.h"
#include "platform/curl/curl_http_client.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zenvik::test {
namespace {

// A server with the odd answers the client must cope with.
class OddServer {
public:
    OddServer() {
        server_.Get("/status/404", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("not here", "text/html");
        });
        server_.Get("/moved", [this](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("http://127.0.0.1:" + std::to_string(port_) + "/target");
        });
        server_.Get("/target", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("arrived", "text/plain");
        });
        server_.Get("/binary", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string("a\0b", 3), "application/octet-stream");
        });
        server_.Get("/huge", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(CurlHttpClient::kMaxBodyBytes + 1, 'x'), "text/plain");
        });
        server_.Get("/limit", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(CurlHttpClient::kMaxBodyBytes, 'x'), "text/plain");
        });
        port_ = serveOnLoopback(server_, thread_);
    }
    ~OddServer() { stopServing(server_, thread_); }

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

TEST(CurlHttpClient, SendsTheRequestOfAnOldBrowserWithoutCache) {
    FakeDeliveryServer server;
    CurlHttpClient client(nullptr);
    const auto response = client.get("http://" + server.address("/fh.php?a=%41"));
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->body, "ok");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, "/fh.php?a=%41");
    EXPECT_EQ(requests[0].version, "HTTP/1.0");
    EXPECT_EQ(requests[0].headers.at("Accept"), "*/*");
    EXPECT_EQ(requests[0].headers.at("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(requests[0].headers.at("Cache-Control"), "no-cache");
    EXPECT_EQ(requests[0].headers.at("Pragma"), "no-cache");
    EXPECT_EQ(requests[0].cookie, "");
}

TEST(CurlHttpClient, GivesTheWholeBodyWhateverTheStatus) {
    OddServer server;
    CurlHttpClient client(nullptr);
    struct Case {
        const char* path;
        long status;
        std::string body;
    };
    for (const auto& c : {Case{"/status/404", 404, "not here"}, Case{"/moved", 200, "arrived"},
                          Case{"/binary", 200, std::string("a\0b", 3)}}) {
        SCOPED_TRACE(c.path);
        const auto response = client.get(server.url(c.path));
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, c.status);
        EXPECT_EQ(response->body, c.body);
    }
}

TEST(CurlHttpClient, ABodyOverTheLimitIsAFailedRequest) {
    OddServer server;
    CurlHttpClient client(nullptr);
    const auto atLimit = client.get(server.url("/limit"));
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(atLimit->body.size(), CurlHttpClient::kMaxBodyBytes);
    EXPECT_FALSE(client.get(server.url("/huge")));
}

TEST(CurlHttpClient, NoResponseIsNothing) {
    CurlHttpClient client(nullptr);
    int closedPort = 0;
    {
        FakeDeliveryServer gone;
        closedPort = gone.port();
    }
    for (const std::string& url : {std::string("http://?name=%61"), "http://127.0.0.1:" + std::to_string(closedPort) + "/",
                                  std::string("http://name.invalid/"), std::string("ftp://127.0.0.1/")}) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(client.get(url));
    }
}

TEST(CurlHttpClient, IgnoresTheEnvironmentsProxy) {
    FakeDeliveryServer server;
    int deadProxy = 0;
    {
        FakeDeliveryServer gone;
        deadProxy = gone.port();
    }
    const std::string proxy = "http://127.0.0.1:" + std::to_string(deadProxy);
    for (const char* name : {"http_proxy", "HTTPS_PROXY", "ALL_PROXY"}) setenv(name, proxy.c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    CurlHttpClient client(nullptr);
    const auto response = client.get("http://" + server.address());
    for (const char* name : {"http_proxy", "HTTPS_PROXY", "ALL_PROXY"}) unsetenv(name);
    EXPECT_TRUE(response);
    EXPECT_EQ(server.requests().size(), 1u);
}

} // namespace
} // namespace zenvik::test
