#include "page/page_automation.h"

#include "platform/timer.h"

#include <cmath>
#include <limits>

namespace zenvik::page {

namespace {

// How long a document window may take to hand out its document.
constexpr int documentRequestLimitMs = 1000;

constexpr std::string_view buttonTypes = "button|submit|reset";

// A collection's length as a count; anything that is no usable number counts
// as no element.
std::int64_t elementCount(double length) {
    if (!(length >= 1)) return 0;
    constexpr double most = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int64_t>(length > most ? most : std::trunc(length));
}

// An empty type occurs in every filter.
bool passesTypeFilter(const Text& type, const Text& typeFilter) {
    return type.empty() || text::find(typeFilter, type) != -1;
}

// Name, then id, then title; each read only when the one before differs.
bool matchesIdentifier(const DispatchRef& element, const Text& identifier) {
    return element.get("name").text() == identifier || element.get("id").text() == identifier ||
           element.get("title").text() == identifier;
}

} // namespace

void PageAutomation::create() {
    document_.clear();
    window_ = 0;
}

void PageAutomation::destroy() { document_.clear(); }

bool PageAutomation::attach(WindowHandle window) {
    if (!windows_->isWindow(window)) return false;
    window_ = window;
    documentFromWindow(window, document_);
    return !document_.empty();
}

WindowHandle PageAutomation::findDocumentWindow(WindowHandle parent) {
    WindowHandle child = windows_->firstChild(parent);
    while (child != 0) {
        if (windows_->className(child) == documentWindowClass) return child;
        if (WindowHandle found = findDocumentWindow(child)) return found;
        child = windows_->nextSibling(child);
        windows_->pumpEvents();
    }
    return 0;
}

bool PageAutomation::documentFromWindow(WindowHandle window, DispatchRef& document) {
    if (windows_->className(window) != documentWindowClass) {
        window = findDocumentWindow(window);
        if (window == 0) return false;
    }
    DispatchRef obtained = windows_->documentOf(window, documentRequestLimitMs);
    // The document held before is released before the new one is taken, so
    // that at no moment two are held by this reference.
    document.clear();
    document = std::move(obtained);
    return !document.empty();
}

DispatchRef PageAutomation::findInputElement(const Text& typeFilter, const Text& identifier, std::int32_t& skip,
                                             std::int32_t& position) {
    const std::int64_t number = text::leadingInteger(identifier, std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max());
    if (DispatchRef found = searchElements("input", typeFilter, identifier, number, skip, position)) return found;
    if (text::find(typeFilter, "button") != -1) {
        if (DispatchRef found = searchElements("button", typeFilter, identifier, number, skip, position)) {
            return found;
        }
    }
    position = -1;
    return {};
}

DispatchRef PageAutomation::searchElements(std::string_view tag, const Text& typeFilter, const Text& identifier,
                                           std::int64_t number, std::int32_t& skip, std::int32_t& position) const {
    const DispatchRef elements =
        document_.get("body").object().get("all").object().call("tags", {Value(Text(tag))}).object();
    const std::int64_t count = elementCount(elements.get("length").number());
    for (std::int64_t i = 0; i < count; ++i) {
        DispatchRef element = elements.call("item", {Value(static_cast<double>(i))}).object();
        if (!passesTypeFilter(element.get("type").text(), typeFilter)) continue;
        ++position;
        if (matchesIdentifier(element, identifier)) {
            // A match passed over is not tried again by its position.
            if (skip > 0) {
                --skip;
                continue;
            }
            return element;
        }
        if (position == number) return element;
    }
    return {};
}

DispatchRef PageAutomation::findButton(const Text& identifier, std::int32_t skip) {
    std::int32_t position = 0;
    return findInputElement(Text(buttonTypes), identifier, skip, position);
}

bool PageAutomation::clickButton(const Text& identifier, std::int32_t skip) {
    // A live page answers in round trips that let events through; no timer
    // handler may run (and attach again) until the click is done.
    TickHold hold;
    DispatchRef button = findButton(identifier, skip);
    if (button.empty()) return false;
    button.call("click");
    return true;
}

} // namespace zenvik::page
