#include "fake_window_tree.h"

#include "memory_document.h"

#include <algorithm>

namespace zenvik::test {

page::WindowHandle FakeWindowTree::add(page::WindowHandle parent, const Text& className) {
    page::WindowHandle handle = next_++;
    windows_[handle] = Window{parent, className, {}, nullptr};
    if (auto it = windows_.find(parent); it != windows_.end()) it->second.children.push_back(handle);
    return handle;
}

void FakeWindowTree::destroy(page::WindowHandle window) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    for (page::WindowHandle child : std::vector<page::WindowHandle>(it->second.children)) destroy(child);
    if (auto parent = windows_.find(it->second.parent); parent != windows_.end()) {
        auto& siblings = parent->second.children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    windows_.erase(window);
}

void FakeWindowTree::setDocument(page::WindowHandle window, MemoryDocument* document) {
    if (auto it = windows_.find(window); it != windows_.end()) it->second.document = document;
}

bool FakeWindowTree::isWindow(page::WindowHandle window) { return windows_.count(window) != 0; }

Text FakeWindowTree::className(page::WindowHandle window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? Text() : it->second.className;
}

page::WindowHandle FakeWindowTree::firstChild(page::WindowHandle parent) {
    ++childQueries;
    auto it = windows_.find(parent);
    if (it == windows_.end() || it->second.children.empty()) return 0;
    return it->second.children.front();
}

page::WindowHandle FakeWindowTree::nextSibling(page::WindowHandle child) {
    auto it = windows_.find(child);
    if (it == windows_.end()) return 0;
    auto parent = windows_.find(it->second.parent);
    if (parent == windows_.end()) return 0;
    const auto& siblings = parent->second.children;
    auto at = std::find(siblings.begin(), siblings.end(), child);
    return at == siblings.end() || at + 1 == siblings.end() ? 0 : *(at + 1);
}

void FakeWindowTree::pumpEvents() {
    ++pumps;
    if (onPump) onPump();
}

page::DispatchRef FakeWindowTree::documentOf(page::WindowHandle window, int timeoutMs) {
    requestTimeouts.push_back(timeoutMs);
    auto it = windows_.find(window);
    if (it == windows_.end() || !it->second.document) return {};
    return it->second.document->document();
}

} // namespace zenvik::test
