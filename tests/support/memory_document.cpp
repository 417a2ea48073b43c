#include "memory_document.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace zenvik::test {

struct MemoryDocument::State {
    std::vector<MemoryElement> elements;
    bool hasBody = true;
    int documentReferences = 0;
    int liveObjects = 0;
};

namespace {

using page::DispatchRef;
using page::Value;
using State = MemoryDocument::State;

class MemoryObject : public page::DispatchObject {
public:
    explicit MemoryObject(std::shared_ptr<State> state) : state_(std::move(state)) { ++state_->liveObjects; }
    ~MemoryObject() override { --state_->liveObjects; }
    Value getProperty(std::string_view) override { return {}; }
    Value callMethod(std::string_view, const std::vector<Value>&) override { return {}; }

protected:
    std::shared_ptr<State> state_;
};

template <class T, class... Args>
DispatchRef make(Args&&... args) {
    return DispatchRef(std::make_shared<T>(std::forward<Args>(args)...));
}

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

class ElementObject : public MemoryObject {
public:
    ElementObject(std::shared_ptr<State> state, std::size_t index) : MemoryObject(std::move(state)), index_(index) {}

    Value getProperty(std::string_view member) override {
        if (index_ >= state_->elements.size()) return {};
        const MemoryElement& element = state_->elements[index_];
        if (member == "type") return Value(element.type);
        if (member == "name") return Value(element.name);
        if (member == "id") return Value(element.id);
        if (member == "title") return Value(element.title);
        return {};
    }
    Value callMethod(std::string_view member, const std::vector<Value>& args) override {
        if (member != "click" || !args.empty() || index_ >= state_->elements.size()) return {};
        ++state_->elements[index_].clicks;
        return {};
    }

private:
    std::size_t index_;
};

class CollectionObject : public MemoryObject {
public:
    CollectionObject(std::shared_ptr<State> state, std::vector<std::size_t> indices)
        : MemoryObject(std::move(state)), indices_(std::move(indices)) {}

    Value getProperty(std::string_view member) override {
        if (member == "length") return Value(static_cast<double>(indices_.size()));
        return {};
    }
    Value callMethod(std::string_view member, const std::vector<Value>& args) override {
        if (args.size() != 1) return {};
        if (member == "item") {
            double index = std::trunc(args[0].number());
            if (args[0].textIf() || index < 0 || index >= static_cast<double>(indices_.size())) return {};
            return make<ElementObject>(state_, indices_[static_cast<std::size_t>(index)]);
        }
        if (member == "tags") {
            const std::string* tag = args[0].textIf();
            if (!tag) return {};
            std::vector<std::size_t> tagged;
            for (std::size_t i : indices_) {
                if (equalsIgnoreCase(state_->elements[i].tag, *tag)) tagged.push_back(i);
            }
            return make<CollectionObject>(state_, std::move(tagged));
        }
        return {};
    }

private:
    std::vector<std::size_t> indices_;
};

class BodyObject : public MemoryObject {
public:
    using MemoryObject::MemoryObject;
    Value getProperty(std::string_view member) override {
        if (member != "all") return {};
        std::vector<std::size_t> all(state_->elements.size());
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
        return make<CollectionObject>(state_, std::move(all));
    }
};

class DocumentObject : public MemoryObject {
public:
    explicit DocumentObject(std::shared_ptr<State> state) : MemoryObject(std::move(state)) {
        ++state_->documentReferences;
    }
    ~DocumentObject() override { --state_->documentReferences; }
    Value getProperty(std::string_view member) override {
        if (member != "body" || !state_->hasBody) return {};
        return make<BodyObject>(state_);
    }
};

} // namespace

MemoryDocument::MemoryDocument() : state_(std::make_shared<State>()) {}

std::vector<MemoryElement>& MemoryDocument::elements() { return state_->elements; }

std::size_t MemoryDocument::add(MemoryElement element) {
    state_->elements.push_back(std::move(element));
    return state_->elements.size() - 1;
}

void MemoryDocument::setHasBody(bool hasBody) { state_->hasBody = hasBody; }

page::DispatchRef MemoryDocument::document() { return make<DocumentObject>(state_); }

int MemoryDocument::documentReferences() const { return state_->documentReferences; }

int MemoryDocument::liveObjects() const { return state_->liveObjects; }

} // namespace zenvik::test
