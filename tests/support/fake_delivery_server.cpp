#include "fake_delivery_server.h"

#include "loopback_server.h"

namespace zenvik::test {

FakeDeliveryServer::FakeDeliveryServer() : server_(std::make_unique<httplib::Server>()) {
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        requests_.push_back(recorded(request));
        response.status = status_;
        response.set_content("ok", "text/plain");
    });
    port_ = serveOnLoopback(*server_, thread_);
}

FakeDeliveryServer::~FakeDeliveryServer() { stopServing(*server_, thread_); }

Text FakeDeliveryServer::address(const std::string& path) const { return "127.0.0.1:" + std::to_string(port_) + path; }

void FakeDeliveryServer::setStatus(int status) {
    std::lock_guard lock(mutex_);
    status_ = status;
}

std::vector<RecordedRequest> FakeDeliveryServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

} // namespace zenvik::test
