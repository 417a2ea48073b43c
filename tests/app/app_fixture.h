#pragma once
// One program directory and the services MainWindow runs on: message boxes
// answered by the test, a manual clock and an HTTP client that records what
// was asked, unless a test names real timers and a real client instead.
// start() is a start of the program on that directory; calling it again is a
// restart.

#include "app/main_window.h"
#include "page/page_automation.h"
#include "platform/qt/qt_window_system.h"
#include "fake_dialogs.h"
#include "platform/manual_clock.h"
#include "platform/qt/profile_cookie_jar.h"
#include "temp_dir.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QWebEngineProfile;

namespace zenvik::test {

class RecordingHttp : public HttpClient {
public:
    std::optional<HttpResponse> get(const std::string& url) override {
        urls.push_back(url);
        return std::nullopt;
    }
    std::vector<std::string> urls;
};

class AppFixture : public ::testing::Test {
protected:
    AppFixture();
    ~AppFixture() override;

    MainWindow& start();
    void stop();

    // The control of the window with this name in the window layout.
    // The profile of every window of the test program. The browser engine
    // writes into its storage until the engine shuts down with the
    // application, so it lives in one directory that outlasts the
    // application rather than in each test's directory.
    static QWebEngineProfile& sharedProfile();
    // The shared profile's cookies for an HTTP client, made with the profile
    // before it loads its first page, as the program makes them.
    static ProfileCookieJar& sharedCookieJar();

    template <class Widget = QWidget>
    Widget* control(const char* name) {
        auto* found = window->findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The catalogue as earlier runs of the program left it.
    void makeCatalogue(const std::vector<Text>& products);
    std::string fileBytes(const std::string& relative) const;

    TempDir dir;
    ProgramSettings settings;
    FakeDialogs dialogs;
    ManualClock clock;
    RecordingHttp http;
    // What the windows that start() makes run on.
    TimerFactory* timerFactory = &clock;
    HttpClient* httpClient = &http;
    QtWindowSystem windows;
    page::PageAutomation pageAutomation{windows};
    QWebEngineProfile& profile;
    std::unique_ptr<RecordDatabase> db;
    std::unique_ptr<MainWindow> window;
};

} // namespace zenvik::test
