#pragma once
// The live page of a QWebEnginePage as DispatchRef objects. Every object
// that a DispatchRef names is held for it in the page, in a JavaScript world
// of our own, and let go when its last reference goes.
//
// A round trip to the page waits in a nested event loop that takes no user
// input and holds the program's timer ticks back until it is over, so the
// page does not change under a running search and no handler runs inside
// one. A collection formed by a method call ("tags") brings the scalar
// members of its elements along in the same trip; those are read from that
// copy until the next method call or load, as nothing can change the page in
// between.

#include "page/dispatch_ref.h"

#include <QObject>
#include <QPointer>
#include <QJsonObject>

#include <cstdint>

class QWebEnginePage;

namespace zenvik {

class PageBridge : public QObject {
    Q_OBJECT

public:
    // The page's bridge, made on first use; it lives as long as the page.
    static PageBridge* of(QWebEnginePage* page);

    // The document the page shows now; empty when the page does not answer
    // within timeoutMs.
    page::DispatchRef document(int timeoutMs);
    // How many objects the page holds for DispatchRefs; -1 when it does not answer.
    int heldObjects();

    // One round trip; an empty answer when the page does not answer in time.
    QJsonObject request(const QJsonObject& request, int timeoutMs);
    // A request whose answer nobody waits for.
    void post(const QJsonObject& request);

    // Counts the method calls and loads that may have changed the page.
    std::uint64_t generation() const { return generation_; }
    void pageMayChange() { ++generation_; }

private:
    explicit PageBridge(QWebEnginePage* page);

    QPointer<QWebEnginePage> page_;
    std::uint64_t generation_ = 0;
};

} // namespace zenvik
