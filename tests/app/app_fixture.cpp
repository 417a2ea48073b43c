#include "app_fixture.h"

#include "platform/qt/browser_profile.h"
#include "store/product_catalogue.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zenvik::test {

AppFixture::AppFixture() : settings(defaultSettings(dir.base())), profile(sharedProfile()) {
    // Nothing leaves the machine: the browser's order list and the site of
    // the tray menu point at a closed port on the loopback address.
    settings.shopHost = "127.0.0.1:9";
    settings.homeUrl = "http://127.0.0.1:9/home";
}

namespace {

struct SharedBrowser {
    SharedBrowser() : profile(createBrowserProfile(storage.base()).release()), cookies(profile) {
        profile->setParent(QCoreApplication::instance());
    }
    TempDir storage;             // removed after main() has ended the application
    QWebEngineProfile* profile;  // ends with the application
    ProfileCookieJar cookies;
};

SharedBrowser& sharedBrowser() {
    static SharedBrowser shared;
    return shared;
}

} // namespace

QWebEngineProfile& AppFixture::sharedProfile() { return *sharedBrowser().profile; }

ProfileCookieJar& AppFixture::sharedCookieJar() { return sharedBrowser().cookies; }

AppFixture::~AppFixture() { stop(); }

MainWindow& AppFixture::start() {
    stop();
    db = std::make_unique<RecordDatabase>();
    window = std::make_unique<MainWindow>(settings,
                                          MainWindowServices{*db, dialogs, *timerFactory, *httpClient, profile,
                                                             windows, pageAutomation});
    window->showCentred();
    return *window;
}

void AppFixture::stop() {
    window.reset();
    db.reset();
}

void AppFixture::makeCatalogue(const std::vector<Text>& products) {
    RecordDatabase earlier;
    std::filesystem::create_directories(dir.path() / "sp");
    ASSERT_TRUE(earlier.createStore(cataloguePath(dir.base()), catalogueFields()));
    ASSERT_TRUE(earlier.openStore(cataloguePath(dir.base())));
    for (const Text& product : products) {
        ASSERT_EQ(addProduct(earlier, dir.base(), product, dialogs), AddProductOutcome::Added);
    }
}

std::string AppFixture::fileBytes(const std::string& relative) const {
    std::ifstream in(dir.path() / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace zenvik::test
