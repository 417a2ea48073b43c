#pragma once
// A small document in memory, driven by late binding like a live page:
// the document's "body", its "all" collection with "tags", "item" and
// "length", and elements with "type", "name", "id", "title" and "click".
// Texts are UTF-8, as a page holds them.

#include "page/dispatch_ref.h"

#include <memory>
#include <string>
#include <vector>

namespace zenvik::test {

struct MemoryElement {
    std::string tag;  // "input", "button", ...
    std::string type;
    std::string name;
    std::string id;
    std::string title;
    int clicks = 0;
};

class MemoryDocument {
public:
    MemoryDocument();

    // Elements of the body, in document order.
    std::vector<MemoryElement>& elements();
    // Appends an element; its index in elements().
    std::size_t add(MemoryElement element);
    // A page that has not built its body yet.
    void setHasBody(bool hasBody);

    // A new reference to the document, as a browser hands one out.
    page::DispatchRef document();
    // References handed out by document() that are still held.
    int documentReferences() const;
    // Every object of this document (document, body, collection, element)
    // that some DispatchRef still holds.
    int liveObjects() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace zenvik::test
