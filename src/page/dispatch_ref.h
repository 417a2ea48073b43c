#pragma once
// Late binding by member name. A DispatchRef is an owning reference to an
// object of a page (a document, a collection, an element): copying it adds a
// reference, clearing it releases one, and the object goes when the last
// reference does. Reads and calls go by member name; every failure gives an
// empty value and shows nothing.
//
// Texts on this side are narrow (code page 936); the page's own texts are
// UTF-8 and are converted here, in one place, both ways.

#include "text/narrow_text.h"

#include <memory>
#include <string_view>
#include <variant>
#include <vector>

namespace zenvik::page {

class DispatchObject;
class Value;

class DispatchRef {
public:
    DispatchRef() = default;
    explicit DispatchRef(std::shared_ptr<DispatchObject> object) : object_(std::move(object)) {}

    bool empty() const { return object_ == nullptr; }
    explicit operator bool() const { return !empty(); }
    void clear() { object_.reset(); }

    // Property get; an empty value when the object lacks the member, the page
    // reports an error, or a text cannot be converted.
    Value get(std::string_view member) const;
    // Method call with number and text arguments; the same failures.
    Value call(std::string_view member, const std::vector<Value>& args = {}) const;

private:
    std::shared_ptr<DispatchObject> object_;
};

// Empty, a number, a text or an object.
class Value {
public:
    Value() = default;
    Value(double number) : data_(number) {}
    Value(Text text) : data_(std::move(text)) {}
    Value(const char* text) : data_(Text(text)) {}
    Value(DispatchRef object) : data_(std::move(object)) {}

    bool isEmpty() const { return std::holds_alternative<std::monostate>(data_); }
    // Each gives its empty form (the empty text, 0, the empty reference)
    // when the value is of another kind.
    Text text() const;
    double number() const;
    DispatchRef object() const;

    const Text* textIf() const { return std::get_if<Text>(&data_); }

private:
    std::variant<std::monostate, double, Text, DispatchRef> data_;
};

// What a page implements. Texts in its values and arguments are UTF-8.
class DispatchObject {
public:
    virtual ~DispatchObject() = default;
    virtual Value getProperty(std::string_view member) = 0;
    virtual Value callMethod(std::string_view member, const std::vector<Value>& args) = 0;
};

} // namespace zenvik::page
