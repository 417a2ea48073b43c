#include "page/dispatch_ref.h"

#include <optional>

namespace zenvik::page {

namespace {

// A page text that code page 936 cannot hold reads as empty, like any other
// failed read.
Value fromPage(Value value) {
    const Text* utf8 = value.textIf();
    if (!utf8) return value;
    std::optional<Text> narrow = text::fromUtf8(*utf8);
    return narrow ? Value(std::move(*narrow)) : Value();
}

std::optional<Value> toPage(const Value& value) {
    const Text* narrow = value.textIf();
    if (!narrow) return value;
    std::optional<std::string> utf8 = text::toUtf8(*narrow);
    if (!utf8) return std::nullopt;
    return Value(std::move(*utf8));
}

} // namespace

Value DispatchRef::get(std::string_view member) const {
    if (!object_) return {};
    return fromPage(object_->getProperty(member));
}

Value DispatchRef::call(std::string_view member, const std::vector<Value>& args) const {
    if (!object_) return {};
    std::vector<Value> pageArgs;
    pageArgs.reserve(args.size());
    for (const Value& arg : args) {
        std::optional<Value> converted = toPage(arg);
        if (!converted) return {};
        pageArgs.push_back(std::move(*converted));
    }
    return fromPage(object_->callMethod(member, pageArgs));
}

Text Value::text() const {
    const Text* text = std::get_if<Text>(&data_);
    return text ? *text : Text();
}

double Value::number() const {
    const double* number = std::get_if<double>(&data_);
    return number ? *number : 0.0;
}

DispatchRef Value::object() const {
    const DispatchRef* object = std::get_if<DispatchRef>(&data_);
    return object ? *object : DispatchRef();
}

} // namespace zenvik::page
