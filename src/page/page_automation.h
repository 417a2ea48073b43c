#pragma once
// The one object through which the program acts on a page shown in one of
// its browser controls: it reaches the control's document from the control's
// window handle, holds it, and presses a button of it by identifier.

#include "page/dispatch_ref.h"
#include "page/window_system.h"
#include "text/narrow_text.h"

#include <cstdint>
#include <string_view>

namespace zenvik::page {

class PageAutomation {
public:
    explicit PageAutomation(WindowSystem& windows) : windows_(&windows) {}

    // Start-up and exit routine: create holds no document and no window,
    // destroy releases the held document.
    void create();
    void destroy();

    // Holds the document of the browser control whose window is given. True
    // when a document is held afterwards; a handle that is no window changes
    // nothing, and a window with no document window below it keeps the
    // document held before.
    bool attach(WindowHandle window);
    // The first document window below parent, depth first; 0 when none.
    // Pending events are dispatched after each move to a next sibling.
    WindowHandle findDocumentWindow(WindowHandle parent);
    // Obtains the document of window (or of the first document window below
    // it) into document. True exactly when a document was obtained.
    bool documentFromWindow(WindowHandle window, DispatchRef& document);

    // Searches the held document's input elements, then (when the type
    // filter contains "button") its button elements, for the element whose
    // name, id or title equals identifier after skip such matches, or whose
    // place among the elements that pass the type filter equals the
    // identifier's leading number. position counts those elements on from
    // its value on entry and ends at the returned element, or at -1.
    DispatchRef findInputElement(const Text& typeFilter, const Text& identifier, std::int32_t& skip,
                                 std::int32_t& position);
    DispatchRef findButton(const Text& identifier, std::int32_t skip = 0);
    // True when a button was found and its click was invoked.
    bool clickButton(const Text& identifier, std::int32_t skip = 0);

    const DispatchRef& document() const { return document_; }
    WindowHandle window() const { return window_; }

private:
    DispatchRef searchElements(std::string_view tag, const Text& typeFilter, const Text& identifier,
                               std::int64_t number, std::int32_t& skip, std::int32_t& position) const;

    WindowSystem* windows_;
    DispatchRef document_;
    WindowHandle window_ = 0;
};

} // namespace zenvik::page
