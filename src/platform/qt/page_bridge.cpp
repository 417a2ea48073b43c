#include "platform/qt/page_bridge.h"

#include "platform/qt/page_bridge_script.h"
#include "platform/timer.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

namespace zenvik {

namespace {

// How long any read or call may wait for the page; a page that is busy or
// gone must not hang the program.
constexpr int roundTripLimitMs = 1000;

using page::DispatchRef;
using page::Value;

// The members of an element that come along with its collection.
constexpr std::array<std::string_view, 4> scalarNames = {"type", "name", "id", "title"};
using Scalars = std::array<Value, scalarNames.size()>;

std::optional<std::size_t> scalarIndex(std::string_view member) {
    for (std::size_t i = 0; i < scalarNames.size(); ++i) {
        if (scalarNames[i] == member) return i;
    }
    return std::nullopt;
}

// A text or a number of the page; anything else is empty.
Value scalarValue(const QJsonValue& value) {
    if (value.isString()) return Value(value.toString().toStdString());
    if (value.isDouble()) return Value(value.toDouble());
    return {};
}

QString memberName(std::string_view member) {
    return QString::fromUtf8(member.data(), static_cast<qsizetype>(member.size()));
}

class BridgeObject : public page::DispatchObject, public std::enable_shared_from_this<BridgeObject> {
public:
    // An object held in the page under the given reference.
    BridgeObject(QPointer<PageBridge> bridge, QJsonObject ref) : bridge_(std::move(bridge)), ref_(std::move(ref)) {}

    // An element of a collection formed by a method call, read ahead with it.
    BridgeObject(std::shared_ptr<BridgeObject> collection, std::size_t index)
        : bridge_(collection->bridge_), ref_(collection->ref_), collection_(std::move(collection)), index_(index) {
        ref_.insert("i", static_cast<double>(index));
    }

    ~BridgeObject() override {
        // An element of a collection is held in the page through its collection.
        if (!collection_ && bridge_) bridge_->post(QJsonObject{{"op", "release"}, {"ref", ref_}});
    }

    static Value decode(const QPointer<PageBridge>& bridge, const QJsonObject& answer) {
        if (!answer.contains("id")) return scalarValue(answer.value("v"));
        auto object = std::make_shared<BridgeObject>(bridge, QJsonObject{{"t", answer.value("t")}, {"id", answer.value("id")}});
        if (answer.contains("length")) object->readAhead(answer);
        return Value(DispatchRef(std::move(object)));
    }

    Value getProperty(std::string_view member) override {
        if (collection_ && collection_->fresh()) {
            if (auto at = scalarIndex(member)) return collection_->items_[index_][*at];
        }
        if (member == "length" && fresh()) return Value(length_);
        return ask({{"op", "get"}, {"ref", ref_}, {"member", memberName(member)}});
    }

    Value callMethod(std::string_view member, const std::vector<Value>& args) override {
        QJsonArray list;
        for (const Value& arg : args) {
            if (const std::string* text = arg.textIf()) {
                list.append(QString::fromStdString(*text));
            } else if (!arg.object().empty()) {
                return {};  // objects are never passed to the page
            } else {
                list.append(arg.number());
            }
        }
        if (member == "item" && itemsReadAhead_ && fresh() && list.size() == 1 && list[0].isDouble()) {
            return itemReadAhead(list[0].toDouble());
        }
        if (bridge_) bridge_->pageMayChange();
        return ask({{"op", "call"}, {"ref", ref_}, {"member", memberName(member)}, {"args", list}});
    }

private:
    Value ask(const QJsonObject& request) {
        if (!bridge_) return {};
        return decode(bridge_, bridge_->request(request, roundTripLimitMs));
    }

    void readAhead(const QJsonObject& answer) {
        length_ = answer.value("length").toDouble();
        if (answer.contains("items")) {
            const QJsonArray items = answer.value("items").toArray();
            items_.reserve(static_cast<std::size_t>(items.size()));
            for (const QJsonValue& item : items) {
                const QJsonArray values = item.toArray();
                Scalars scalars;
                for (std::size_t i = 0; i < scalars.size(); ++i) scalars[i] = scalarValue(values.at(qsizetype(i)));
                items_.push_back(std::move(scalars));
            }
            itemsReadAhead_ = true;
        }
        generation_ = bridge_ ? bridge_->generation() : 0;
        readAhead_ = true;
    }

    bool fresh() const { return readAhead_ && bridge_ && bridge_->generation() == generation_; }

    // Like the collection's own item(): the index truncated, nothing outside.
    Value itemReadAhead(double index) {
        const double at = std::trunc(index);
        if (!(at >= 0 && at < static_cast<double>(items_.size()))) return {};
        return Value(DispatchRef(std::make_shared<BridgeObject>(shared_from_this(), static_cast<std::size_t>(at))));
    }

    QPointer<PageBridge> bridge_;
    QJsonObject ref_;
    std::shared_ptr<BridgeObject> collection_;  // keeps an element's collection held in the page
    std::size_t index_ = 0;
    bool readAhead_ = false;
    bool itemsReadAhead_ = false;
    std::uint64_t generation_ = 0;
    double length_ = 0;
    std::vector<Scalars> items_;
};

QString scriptFor(const QJsonObject& request) {
    const QByteArray json = QJsonDocument(request).toJson(QJsonDocument::Compact);
    return QStringLiteral("(%1)().run(%2)").arg(pageBridgeScript(), QString::fromUtf8(json));
}

} // namespace

PageBridge::PageBridge(QWebEnginePage* page) : QObject(page), page_(page) {
    // A load replaces the document: what was read ahead is of no use.
    connect(page, &QWebEnginePage::loadStarted, this, [this] { pageMayChange(); });
}

PageBridge* PageBridge::of(QWebEnginePage* page) {
    if (!page) return nullptr;
    if (auto* bridge = page->findChild<PageBridge*>(QString(), Qt::FindDirectChildrenOnly)) return bridge;
    return new PageBridge(page);
}

DispatchRef PageBridge::document(int timeoutMs) {
    return BridgeObject::decode(QPointer<PageBridge>(this), request({{"op", "document"}}, timeoutMs)).object();
}

int PageBridge::heldObjects() {
    const QJsonValue count = request({{"op", "count"}}, roundTripLimitMs).value("v");
    return count.isDouble() ? count.toInt() : -1;
}

QJsonObject PageBridge::request(const QJsonObject& request, int timeoutMs) {
    if (!page_) return {};
    struct Reply {
        bool done = false;
        QString json;
        QPointer<QEventLoop> loop;
    };
    auto reply = std::make_shared<Reply>();
    TickHold hold;
    QEventLoop loop;
    reply->loop = &loop;
    page_->runJavaScript(scriptFor(request), QWebEngineScript::ApplicationWorld, [reply](const QVariant& value) {
        reply->done = true;
        reply->json = value.toString();
        if (reply->loop) reply->loop->quit();
    });
    if (!reply->done) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        connect(page_, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // An answer that comes after the wait has ended goes nowhere.
    reply->loop = nullptr;
    return QJsonDocument::fromJson(reply->json.toUtf8()).object();
}

void PageBridge::post(const QJsonObject& request) {
    if (page_) page_->runJavaScript(scriptFor(request), QWebEngineScript::ApplicationWorld);
}

} // namespace zenvik
