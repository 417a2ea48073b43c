#pragma once
// A tree of windows in memory for page automation tests: windows with class
// names, destroyed on request, document windows answering with a document,
// and a pump that runs what the test puts into it.

#include "page/window_system.h"

#include <functional>
#include <map>
#include <vector>

namespace zenvik::test {

class MemoryDocument;

class FakeWindowTree : public page::WindowSystem {
public:
    // A new window under parent (0 for a top-level window), after the
    // children it has so far.
    page::WindowHandle add(page::WindowHandle parent, const Text& className);
    // Destroys the window and everything below it.
    void destroy(page::WindowHandle window);
    // What the window answers to a document request; a window without one
    // does not answer.
    void setDocument(page::WindowHandle window, MemoryDocument* document);

    bool isWindow(page::WindowHandle window) override;
    Text className(page::WindowHandle window) override;
    page::WindowHandle firstChild(page::WindowHandle parent) override;
    page::WindowHandle nextSibling(page::WindowHandle child) override;
    void pumpEvents() override;
    page::DispatchRef documentOf(page::WindowHandle window, int timeoutMs) override;

    std::function<void()> onPump;  // runs on every pump
    int pumps = 0;
    int childQueries = 0;               // firstChild calls: a search was made
    std::vector<int> requestTimeouts;   // timeoutMs of every document request

private:
    struct Window {
        page::WindowHandle parent = 0;
        Text className;
        std::vector<page::WindowHandle> children;
        MemoryDocument* document = nullptr;
    };
    page::WindowHandle next_ = 0x100;
    std::map<page::WindowHandle, Window> windows_;
};

} // namespace zenvik::test
