#include "app/run_program.h"

#include "app/main_window.h"
#include "page/page_automation.h"
#include "platform/curl/curl_http_client.h"
#include "platform/qt/browser_profile.h"
#include "platform/qt/profile_cookie_jar.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_window_system.h"

#include <QApplication>
#include <QWebEngineProfile>
#include <unistd.h>

namespace zenvik {

namespace {

Text programDirectory() {
    return toNarrowLossy(QCoreApplication::applicationDirPath()) + "/";
}

} // namespace

int runProgram(int argc, char** argv) {
    // The browser engine refuses to run as root with its sandbox on.
    if (getuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    // Global initialisation: the one PageAutomation of the program lives
    // until the exit routine at the end of this function destroys it.
    QtWindowSystem windows;
    page::PageAutomation pageAutomation(windows);
    pageAutomation.create();

    ProgramSettings settings = defaultSettings(programDirectory());
    RecordDatabase db;
    QtDialogs dialogs;
    QtTimerFactory timers;
    std::unique_ptr<QWebEngineProfile> profile = createBrowserProfile(settings.baseDirectory);
    ProfileCookieJar cookies(profile.get());
    CurlHttpClient http(&cookies);

    int exitCode = 0;
    {
        MainWindow window(settings, {db, dialogs, timers, http, *profile, windows, pageAutomation});
        window.showCentred();
        exitCode = QApplication::exec();
    }
    pageAutomation.destroy();
    return exitCode;
}

} // namespace zenvik
