#pragma once
// The windows of the program as page automation sees them: handles, class
// names, the child order, a message pump, and the request for the document
// of a browser's document window.

#include "page/dispatch_ref.h"
#include "text/narrow_text.h"

#include <cstdint>
#include <string_view>

namespace zenvik::page {

using WindowHandle = std::uint32_t;

// The class of a browser control's document window, the window that can
// hand out its document.
inline constexpr std::string_view documentWindowClass = "Internet Explorer_Server";

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // False for 0 and for the handle of a destroyed window.
    virtual bool isWindow(WindowHandle window) = 0;
    // Empty when the handle is no window.
    virtual Text className(WindowHandle window) = 0;
    // Children in a stable order; 0 when there is none (or no such window).
    virtual WindowHandle firstChild(WindowHandle parent) = 0;
    virtual WindowHandle nextSibling(WindowHandle child) = 0;
    // Dispatches the events that are pending now; timer handlers may run.
    virtual void pumpEvents() = 0;
    // The document shown in a document window, or empty when the window is
    // no document window or gives no answer within timeoutMs.
    virtual DispatchRef documentOf(WindowHandle window, int timeoutMs) = 0;
};

} // namespace zenvik::page
