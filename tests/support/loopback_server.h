#pragma once
// Serving an httplib server on a free port of 127.0.0.1 from a thread of its
// own, for the fake servers of the tests.

#include "fake_shop.h"

#include <httplib.h>

#include <thread>

namespace zenvik::test {

// Returns the port, or 0 when no port could be bound; the server accepts
// requests when this returns.
int serveOnLoopback(httplib::Server& server, std::thread& thread);
void stopServing(httplib::Server& server, std::thread& thread);

RecordedRequest recorded(const httplib::Request& request);

} // namespace zenvik::test
