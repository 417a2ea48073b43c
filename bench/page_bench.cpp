// One consign tick's work on a live page: attach to the browser control's
// window, then press "logis:noLogis", on a page of 200 input elements with
// the button last, so that the whole search runs.
#include "page/page_automation.h"
#include "platform/qt/qt_window_system.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace zenvik {
namespace {

QString consignPage() {
    QString body;
    for (int i = 0; i < 150; ++i) body += QString("<input type=text name=f%1 title='field %1'>").arg(i);
    for (int i = 0; i < 49; ++i) body += QString("<input type=button id=b%1 value=%1>").arg(i);
    body += "<input type=button id='logis:noLogis' onclick='window.clicks = (window.clicks || 0) + 1'>";
    return "<!DOCTYPE html><html><body><form onsubmit='return false'>" + body + "</form></body></html>";
}

bool loadPage(QWebEngineView& view, const QString& html) {
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, &loop, [&](bool finished) {
        ok = finished;
        loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    view.setHtml(html);
    loop.exec();
    return ok;
}

void BM_AttachAndClick(benchmark::State& state) {
    QWidget top;
    auto* view = new QWebEngineView(&top);
    top.resize(800, 600);
    top.show();
    if (!loadPage(*view, consignPage())) {
        state.SkipWithError("the page did not load");
        return;
    }
    QtWindowSystem windows;
    page::PageAutomation automation(windows);
    automation.create();
    const page::WindowHandle handle = windows.handleOf(view);
    const Text identifier = text::narrow("logis:noLogis");
    std::int64_t clicked = 0;
    for (auto _ : state) {
        automation.attach(handle);
        clicked += automation.clickButton(identifier) ? 1 : 0;
    }
    state.counters["clicked"] = benchmark::Counter(static_cast<double>(clicked), benchmark::Counter::kAvgIterations);
    automation.destroy();
}
BENCHMARK(BM_AttachAndClick)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace zenvik

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (getuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
