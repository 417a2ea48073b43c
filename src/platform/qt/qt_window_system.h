#pragma once
// The program's widgets as windows for page automation: a handle for every
// widget asked about, dropped when the widget is destroyed. The render
// widget of a QWebEngineView (the child that takes its input) is the
// browser's document window and hands out the page's document.

#include "page/window_system.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <unordered_map>

namespace zenvik {

class QtWindowSystem : public page::WindowSystem {
public:
    // The widget's handle, made on first use; 0 for no widget.
    page::WindowHandle handleOf(QWidget* widget);
    // The widget of a handle; null when it is no window.
    QWidget* widget(page::WindowHandle window) const;

    bool isWindow(page::WindowHandle window) override;
    Text className(page::WindowHandle window) override;
    page::WindowHandle firstChild(page::WindowHandle parent) override;
    page::WindowHandle nextSibling(page::WindowHandle child) override;
    void pumpEvents() override;
    page::DispatchRef documentOf(page::WindowHandle window, int timeoutMs) override;

private:
    // Children that are windows of their own (dialogs) are no child windows.
    static QWidget* childAfter(QWidget* parent, QWidget* previous);

    QObject context_;  // ends the widgets' connections to this registry with it
    std::unordered_map<page::WindowHandle, QPointer<QWidget>> widgets_;
    std::unordered_map<const QWidget*, page::WindowHandle> handles_;
    page::WindowHandle next_ = 0x10000;
};

} // namespace zenvik
