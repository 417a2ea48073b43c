#include "platform/qt/qt_window_system.h"

#include "platform/qt/page_bridge.h"

#include <QCoreApplication>
#include <QWebEngineView>

namespace zenvik {

namespace {

QWebEngineView* viewOfDocumentWindow(QWidget* widget) {
    auto* view = widget ? qobject_cast<QWebEngineView*>(widget->parentWidget()) : nullptr;
    return view && view->focusProxy() == widget ? view : nullptr;
}

} // namespace

page::WindowHandle QtWindowSystem::handleOf(QWidget* widget) {
    if (!widget) return 0;
    if (auto it = handles_.find(widget); it != handles_.end()) return it->second;
    // Handles are never given out twice, so a destroyed widget's handle
    // stays no window.
    const page::WindowHandle handle = next_++;
    widgets_.emplace(handle, widget);
    handles_.emplace(widget, handle);
    QObject::connect(widget, &QObject::destroyed, &context_, [this, handle, widget] {
        widgets_.erase(handle);
        handles_.erase(widget);
    });
    return handle;
}

QWidget* QtWindowSystem::widget(page::WindowHandle window) const {
    auto it = widgets_.find(window);
    return it == widgets_.end() ? nullptr : it->second.data();
}

bool QtWindowSystem::isWindow(page::WindowHandle window) { return widget(window) != nullptr; }

Text QtWindowSystem::className(page::WindowHandle window) {
    QWidget* w = widget(window);
    if (!w) return {};
    if (viewOfDocumentWindow(w)) return Text(page::documentWindowClass);
    return w->metaObject()->className();
}

QWidget* QtWindowSystem::childAfter(QWidget* parent, QWidget* previous) {
    if (!parent) return nullptr;
    const QObjectList& children = parent->children();
    qsizetype i = 0;
    if (previous) {
        i = children.indexOf(previous);
        if (i < 0) return nullptr;
        ++i;
    }
    for (; i < children.size(); ++i) {
        QObject* child = children[i];
        if (child->isWidgetType() && !static_cast<QWidget*>(child)->isWindow()) return static_cast<QWidget*>(child);
    }
    return nullptr;
}

page::WindowHandle QtWindowSystem::firstChild(page::WindowHandle parent) {
    return handleOf(childAfter(widget(parent), nullptr));
}

page::WindowHandle QtWindowSystem::nextSibling(page::WindowHandle child) {
    QWidget* w = widget(child);
    if (!w || w->isWindow()) return 0;
    return handleOf(childAfter(w->parentWidget(), w));
}

void QtWindowSystem::pumpEvents() { QCoreApplication::processEvents(); }

page::DispatchRef QtWindowSystem::documentOf(page::WindowHandle window, int timeoutMs) {
    QWebEngineView* view = viewOfDocumentWindow(widget(window));
    if (!view) return {};
    return PageBridge::of(view->page())->document(timeoutMs);
}

} // namespace zenvik
