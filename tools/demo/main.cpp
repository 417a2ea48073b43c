// zenvik_demo [picture directory]: the program's main job on this machine,
// shown end to end. MainWindow runs in a real window on a fresh program
// directory against a fake shop and a fake delivery server on 127.0.0.1. A
// scripted seller creates the catalogue (the program ends, as it does, and
// is started again), adds a product, imports its cards in the card window,
// saves the delivery server's address and switches automatic delivery on
// with the shortest period a seller can type. Buyers' orders then arrive one
// after another and are delivered and consigned one by one. The account goes
// to stdout and pictures of the window into the directory (build/demo by
// default). Exit code 0 when every order was delivered once and consigned.
#include "account.h"
#include "fake_delivery_server.h"
#include "fake_shop.h"
#include "narrator.h"
#include "printed_dialogs.h"
#include "seller_script.h"

#include "app/main_window.h"
#include "page/page_automation.h"
#include "platform/curl/curl_http_client.h"
#include "platform/qt/browser_profile.h"
#include "platform/qt/profile_cookie_jar.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_window_system.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>
#include <unistd.h>

namespace {

using namespace zenvik;
using namespace zenvik::demo;

// Ends the demo when the orders have not all gone through by then.
constexpr int kDeadlineMs = 110000;

const QString product = QStringLiteral("王者荣耀点券100");

// The buyers' orders: (pause after the previous one, order).
struct Arrival {
    int pauseMs;
    test::ShopOrder order;
};

std::vector<Arrival> arrivals() {
    const Text title = toNarrowLossy(product);
    return {
        {3000, {"3021001", title, text::narrow("tb买家一"), "88001"}},
        {9000, {"3021002", title, text::narrow("小明2014"), "88002"}},
        // Two orders waiting at once still go one at a time.
        {500, {"3021003", title, text::narrow("tb买家三"), "88003"}},
    };
}

// Everything one start of the program works with, kept across a restart as
// the process would keep nothing: only the directory and the browser
// profile's storage outlast it.
struct Machine {
    ProgramSettings settings;
    PrintedDialogs dialogs;
    QtTimerFactory timers;
    QWebEngineProfile& profile;
    CurlHttpClient& http;
    QtWindowSystem windows;
    page::PageAutomation pageAutomation{windows};
};

QString seller(const QString& action) { return QStringLiteral("seller: ") + action; }

template <class Widget = QWidget>
Widget* control(QWidget& window, const char* name) {
    return window.findChild<Widget*>(QString::fromUtf8(name));
}

void showPage(MainWindow& window, int page) { control<QTabWidget>(window, "选择夹1")->setCurrentIndex(page); }

// The first start: the seller adds a product, is asked to create the
// catalogue, says Yes, and the program ends.
void firstStart(Machine& machine) {
    tell(QStringLiteral("--- first start of Zenvik on an empty program directory"));
    RecordDatabase db;
    MainWindow window(machine.settings, {db, machine.dialogs, machine.timers, machine.http, machine.profile,
                                         machine.windows, machine.pageAutomation});
    window.showCentred();
    runScript(window, {
        {1500, seller(QStringLiteral("opens the tab \"商品管理\"")), [&] { showPage(window, 1); }},
        {800, seller(QStringLiteral("types the product name ") + product),
         [&] { type(control(window, "编辑框2"), product); }},
        {800, seller(QStringLiteral("clicks \"添加\"")), [&] { click(control(window, "按钮2")); }},
    });
    QApplication::exec();
    tell(QStringLiteral("--- Zenvik has ended; the seller starts it again"));
}

void importCards(QWidget& cardWindow);

// The card window is the modal window open at the moment.
void withCardWindow(const std::function<void(QWidget&)>& act) {
    if (QWidget* shown = QApplication::activeModalWidget()) act(*shown);
    else tell(QStringLiteral("the card window is not open"));
}

// The second start: product, cards, server address, monitoring; then the
// buyers order.
bool secondStart(Machine& machine, Narrator& narrator, test::FakeShop& shop,
                 const test::FakeDeliveryServer& delivery) {
    RecordDatabase db;
    MainWindow window(machine.settings, {db, machine.dialogs, machine.timers, machine.http, machine.profile,
                                         machine.windows, machine.pageAutomation});
    window.showCentred();
    narrator.watch(&window);

    std::vector<Step> steps = {
        {1500, seller(QStringLiteral("opens the tab \"商品管理\"")), [&] { showPage(window, 1); }},
        {800, seller(QStringLiteral("types the product name ") + product),
         [&] { type(control(window, "编辑框2"), product); }},
        {800, seller(QStringLiteral("clicks \"添加\"")), [&] { click(control(window, "按钮2")); }},
        {1000, seller(QStringLiteral("opens the tab \"卡密管理\"")), [&] { showPage(window, 2); }},
        {800, seller(QStringLiteral("clicks \"进入卡密管理平台\"")), [&] { click(control(window, "按钮3")); }},
        {1500, seller(QStringLiteral("picks the product, types three cards and clicks \"入库\"")),
         [] { withCardWindow(importCards); }},
        {1500, seller(QStringLiteral("closes the card window")), [] { withCardWindow([](QWidget& shown) { shown.close(); }); }},
        {800, seller(QStringLiteral("opens the tab \"首页\" and clicks \"修改\"")),
         [&] {
             showPage(window, 0);
             click(control(window, "按钮4"));
         }},
        {800, seller(QStringLiteral("types the delivery server's address ") + QString::fromStdString(delivery.address())),
         [&] { type(control(window, "编辑框3"), QString::fromStdString(delivery.address())); }},
        {800, seller(QStringLiteral("clicks \"保存\"")), [&] { click(control(window, "按钮4")); }},
        {800, seller(QStringLiteral("ticks \"自动发货\", types the period 1 (10 s) and clicks \"设置\"")),
         [&] {
             click(control(window, "选择框1"));
             type(control(window, "编辑框1"), QStringLiteral("1"));
             click(control(window, "按钮1"));
         }},
    };
    for (const Arrival& arrival : arrivals()) {
        steps.push_back({arrival.pauseMs,
                         QStringLiteral("buyer %1 places order %2")
                             .arg(toQString(arrival.order.buyerNick), QString::fromStdString(arrival.order.orderNumber)),
                         [&shop, order = arrival.order] { shop.addOrder(order); }});
    }
    const std::size_t ordersArriving = arrivals().size();
    runScript(window, std::move(steps));

    bool done = false;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!narrator.allDone(ordersArriving)) return;
        done = true;
        narrator.savePicture(QStringLiteral("after.png"));
        window.close();
    });
    check.start(200);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&] {
        tell(QStringLiteral("time is up before every order went through"));
        narrator.savePicture(QStringLiteral("after.png"));
        window.close();
    });
    deadline.start(kDeadlineMs);
    QApplication::exec();
    narrator.watch(nullptr);
    return done && narrator.deliveries() == ordersArriving && narrator.consignments() == ordersArriving;
}

void importCards(QWidget& cardWindow) {
    QWidget* combo = control(cardWindow, "组合框1");
    pressKey(combo, Qt::Key_Down);  // the first product of the list
    QWidget* edit = control(cardWindow, "编辑框4");
    for (const char* line : {"WZ100-0001 8K2M-Q7ZP", "WZ100-0002 3H9T-XW4L", "WZ100-0003 R5DN-2YCV"}) {
        type(edit, QString::fromLatin1(line));
        pressKey(edit, Qt::Key_Return);
    }
    click(control(cardWindow, "按钮3"));
}

} // namespace

int main(int argc, char** argv) {
    // The browser engine refuses to run as root with its sandbox on.
    if (getuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Made before the application so that it is removed after it: the
    // browser engine writes into its profile until the application ends.
    QTemporaryDir programDirectory;
    QApplication app(argc, argv);
    QDir pictures(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/demo"));
    if (!programDirectory.isValid() || !pictures.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make the directories\n");
        return 1;
    }
    pictures.setPath(pictures.absolutePath());

    test::FakeShop shop;
    test::FakeDeliveryServer delivery;
    tell(QStringLiteral("fake shop on http://%1, fake delivery server on http://%2")
             .arg(QString::fromStdString(shop.host()), QString::fromStdString(delivery.address())));
    tell(QStringLiteral("pictures go to ") + pictures.path());

    const Text base = toNarrowLossy(programDirectory.path()) + "/";
    std::unique_ptr<QWebEngineProfile> profile = createBrowserProfile(base);
    ProfileCookieJar cookies(profile.get());  // before the profile's first page
    CurlHttpClient http(&cookies);
    Machine machine{defaultSettings(base), {}, {}, *profile, http, {}};
    machine.settings.shopHost = shop.host();
    machine.settings.homeUrl = "http://127.0.0.1:9/";  // nothing leaves the machine
    machine.pageAutomation.create();
    Narrator narrator(shop, delivery, pictures);

    firstStart(machine);
    const bool allDelivered = secondStart(machine, narrator, shop, delivery);
    machine.pageAutomation.destroy();

    tell(QStringLiteral("%1 cards delivered, %2 orders consigned: %3")
             .arg(narrator.deliveries())
             .arg(narrator.consignments())
             .arg(allDelivered ? QStringLiteral("every order went through") : QStringLiteral("FAILED")));
    return allDelivered ? 0 : 1;
}
