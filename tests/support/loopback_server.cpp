#include "loopback_server.h"

#include <chrono>

namespace zenvik::test {

int serveOnLoopback(httplib::Server& server, std::thread& thread) {
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) return 0;
    thread = std::thread([&server] { server.listen_after_bind(); });
    // stop() before the accept loop has begun would be lost and leave the
    // thread serving for good.
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return port;
}

RecordedRequest recorded(const httplib::Request& request) {
    RecordedRequest entry{request.target, request.get_header_value("Cookie"), request.version, {},
                          std::chrono::steady_clock::now()};
    for (const auto& [name, value] : request.headers) entry.headers[name] = value;
    return entry;
}

void stopServing(httplib::Server& server, std::thread& thread) {
    server.stop();
    if (thread.joinable()) thread.join();
}

} // namespace zenvik::test
