// zenvik_screenshot <output directory>: builds MainWindow on a temporary
// program directory whose catalogue holds two products, and saves a picture
// of the window on each of its three pages.
#include "app/main_window.h"
#include "page/page_automation.h"
#include "platform/qt/qt_window_system.h"
#include "platform/qt/browser_profile.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_timer.h"
#include "store/product_catalogue.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>
#include <cstdio>
#include <unistd.h>

namespace {

using namespace zenvik;

// No box may wait for an answer in an unattended run: messages go to stderr.
class PrintedDialogs : public Dialogs {
public:
    void inform(const Text& message) override {
        std::fprintf(stderr, "%s\n", text::toUtf8(message).value_or("?").c_str());
    }
    bool askYesNo(const Text& message) override {
        inform(message);
        return false;
    }
};

// The timers never start here, so nothing is ever fetched.
class NoHttp : public HttpClient {
public:
    std::optional<HttpResponse> get(const std::string&) override { return std::nullopt; }
};

bool makeCatalogue(const Text& base, Dialogs& dialogs) {
    QDir().mkpath(toQString(base + "sp"));
    RecordDatabase db;
    if (!db.createStore(cataloguePath(base), catalogueFields()) || !db.openStore(cataloguePath(base)))
        return false;
    for (const char* product : {"王者荣耀点券100", "网易一卡通50元"}) {
        if (addProduct(db, base, text::narrow(product), dialogs) != AddProductOutcome::Added) return false;
    }
    return true;
}

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zenvik_screenshot <output directory>\n");
        return 2;
    }
    if (getuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Made before the application so that it is removed after it: the
    // browser engine writes into its profile until the application ends.
    QTemporaryDir temporary;
    QApplication app(argc, argv);
    QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral(".")) || !temporary.isValid()) {
        std::fprintf(stderr, "cannot use the directories\n");
        return 1;
    }

    const Text base = toNarrowLossy(temporary.path()) + "/";
    ProgramSettings settings = defaultSettings(base);
    settings.shopHost = "127.0.0.1:9";  // the order list stays on this machine
    PrintedDialogs dialogs;
    if (!makeCatalogue(base, dialogs)) {
        std::fprintf(stderr, "cannot make the catalogue\n");
        return 1;
    }

    int failures = 0;
    {
        RecordDatabase db;
        QtTimerFactory timers;
        NoHttp http;
        std::unique_ptr<QWebEngineProfile> profile = createBrowserProfile(base);
        QtWindowSystem windows;
        page::PageAutomation pageAutomation(windows);
        MainWindow window(settings, {db, dialogs, timers, http, *profile, windows, pageAutomation});
        window.showCentred();
        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("选择夹1"));
        const char* names[] = {"main_window_home.png", "main_window_products.png", "main_window_cards.png"};
        for (int page = 0; page < 3; ++page) {
            tabs->setCurrentIndex(page);
            settle(page == 0 ? 3000 : 500);
            const QString file = out.filePath(QString::fromLatin1(names[page]));
            if (!window.grab().save(file)) ++failures;
            else std::printf("%s\n", file.toLocal8Bit().constData());
        }
    }
    return failures == 0 ? 0 : 1;
}
