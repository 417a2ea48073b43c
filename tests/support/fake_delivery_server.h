#pragma once
// The seller's delivery server on 127.0.0.1 for tests and benchmarks: it
// records every request and answers with a status of the test's choosing.

#include "fake_shop.h"

namespace zenvik::test {

class FakeDeliveryServer {
public:
    FakeDeliveryServer();  // listening when constructed
    ~FakeDeliveryServer();
    FakeDeliveryServer(const FakeDeliveryServer&) = delete;
    FakeDeliveryServer& operator=(const FakeDeliveryServer&) = delete;

    int port() const { return port_; }
    // "127.0.0.1:<port>" followed by the path, as ServerAddressEdit holds it.
    Text address(const std::string& path = "/fh.php") const;

    void setStatus(int status);
    std::vector<RecordedRequest> requests() const;

private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    int status_ = 200;
    std::vector<RecordedRequest> requests_;
};

} // namespace zenvik::test
