#include "app/main_window.h"

#include "app/directory_paths.h"
#include "app/server_address_file.h"
#include "app/tray_icon.h"
#include "app/window_placement.h"
#include "cards/card_window.h"
#include "page/page_automation.h"
#include "platform/qt/qt_window_system.h"
#include "platform/qt/integer_edit.h"
#include "platform/qt/qt_text.h"
#include "store/product_catalogue.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace zenvik {

namespace {

const QString title = QStringLiteral("Zenvik淘宝自动发货系统-您的贴心小助手");
const QString monitoringOff = QStringLiteral("自动发货已关闭");

// The outer size 693 x 503 of the original layout holds a frame drawn by the
// system; here the window manager adds its own frame, so the client area is
// made exactly as large as MainTabs, which fills it.
const QSize clientSize(688, 480);

template <class Widget>
Widget* place(Widget* widget, const QString& name, const QRect& geometry) {
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QLabel* label(const QString& caption, const QString& name, const QRect& geometry,
              QWidget& parent) {
    return place(new QLabel(caption, &parent), name, geometry);
}

} // namespace

MainWindow::MainWindow(const ProgramSettings& settings, MainWindowServices services,
                       QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      db_(services.db),
      dialogs_(services.dialogs),
      timers_(services.timers),
      browserProfile_(services.browserProfile),
      windows_(services.windows),
      pageAutomation_(services.pageAutomation),
      monitorTimer_(services.timers.createTimer()),
      consignTimer_(services.timers.createTimer()),
      bufferTimer_(services.timers.createTimer()),
      deliveryLoop_(settings_, services.db, services.http, services.dialogs, *this,
                    DeliveryTimers{*monitorTimer_, *consignTimer_, *bufferTimer_}) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(title);
    setWindowIcon(programIcon());
    // Qt::Tool keeps the window off the taskbar (a utility window on X11);
    // the hints then ask for a title bar with minimise and close boxes only.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(clientSize);
    // The program ends when this window closes, and only then (closeEvent).
    // Qt does not count a tool window as a last window: left on, closing any
    // message box or CardWindow would end the program.
    QGuiApplication::setQuitOnLastWindowClosed(false);

    mainTabs_ = place(new QTabWidget(this), QStringLiteral("选择夹1"), QRect(QPoint(0, 0), clientSize));
    auto* home = new QWidget;
    auto* products = new QWidget;
    auto* cards = new QWidget;
    mainTabs_->addTab(home, QStringLiteral("首页"));
    mainTabs_->addTab(products, QStringLiteral("商品管理"));
    mainTabs_->addTab(cards, QStringLiteral("卡密管理"));
    mainTabs_->setCurrentIndex(0);
    buildHomePage(*home);
    buildProductPage(*products);
    buildCardPage(*cards);

    // Below the client area, so never seen, yet shown and rendering: consign
    // pages load into it and their button is pressed in its live document.
    consignBrowser_ = createBrowser(QStringLiteral("超文本浏览框2"), QRect(10, 507, 680, 205), *this);
    consignBrowser_->load(QUrl(QStringLiteral("about:blank")));

    initMainWindow();
}

// The browser pages must be gone before the profile that their owner keeps.
MainWindow::~MainWindow() {
    delete orderListBrowser_;
    delete consignBrowser_;
}

void MainWindow::buildHomePage(QWidget& page) {
    label(QStringLiteral("服务器地址"), QStringLiteral("标签6"), QRect(10, 85, 64, 24), page);
    schemeCombo_ = place(new QComboBox(&page), QStringLiteral("组合框1"), QRect(72, 88, 56, 20));
    schemeCombo_->addItem(QStringLiteral("http://"));
    schemeCombo_->setCurrentIndex(0);
    serverAddressEdit_ = place(new QLineEdit(&page), QStringLiteral("编辑框3"), QRect(128, 88, 232, 20));
    serverAddressEdit_->setEnabled(false);
    serverAddressButton_ = place(new QPushButton(QStringLiteral("修改"), &page),
                                 QStringLiteral("按钮4"), QRect(360, 80, 64, 32));
    connect(serverAddressButton_, &QPushButton::clicked, this, &MainWindow::toggleServerAddress);

    label(QStringLiteral("发货监控周期"), QStringLiteral("标签1"), QRect(9, 131, 80, 24), page);
    periodEdit_ = place(new IntegerEdit(-32768, 32767, &page), QStringLiteral("编辑框1"), QRect(91, 135, 86, 20));
    label(QStringLiteral("（单位：10秒）"), QStringLiteral("标签2"), QRect(177, 131, 80, 24), page);
    autoDeliveryCheck_ = place(new QCheckBox(QStringLiteral("自动发货"), &page),
                               QStringLiteral("选择框1"), QRect(259, 131, 80, 24));
    monitorSwitchButton_ = place(new QPushButton(QStringLiteral("设置"), &page),
                                 QStringLiteral("按钮1"), QRect(345, 123, 80, 32));
    connect(monitorSwitchButton_, &QPushButton::clicked, this, &MainWindow::applyMonitoringSwitch);

    statusGroup_ = place(new QGroupBox(QStringLiteral("当前状态"), &page), QStringLiteral("分组框1"),
                         QRect(433, 63, 248, 96));
    tradeStatusLabel_ = label(QStringLiteral("当前没有交易"), QStringLiteral("标签4"),
                              QRect(8, 56, 232, 32), *statusGroup_);
    // Created after the group box so that it lies over the box's top edge.
    monitorStateLabel_ = label(monitoringOff, QStringLiteral("标签3"), QRect(440, 77, 232, 24), page);

    orderListBrowser_ = createBrowser(QStringLiteral("超文本浏览框1"), QRect(2, 168, 680, 305), page);
    orderListBrowser_->load(QUrl(toQString(orderListUrl(settings_))));
}

void MainWindow::buildProductPage(QWidget& page) {
    label(QStringLiteral("商品名称(必须与淘宝店铺里的商品名称完全一致)"), QStringLiteral("标签5"),
          QRect(11, 24, 272, 24), page);
    productNameEdit_ = place(new QLineEdit(&page), QStringLiteral("编辑框2"), QRect(288, 24, 281, 24));
    addProductButton_ = place(new QPushButton(QStringLiteral("添加"), &page), QStringLiteral("按钮2"),
                              QRect(576, 23, 104, 25));
    connect(addProductButton_, &QPushButton::clicked, this, &MainWindow::addProductClicked);

    productList_ = place(new QListWidget(&page), QStringLiteral("列表框1"), QRect(2, 56, 680, 416));
    productList_->setSelectionMode(QAbstractItemView::SingleSelection);
    productList_->setSortingEnabled(false);
    productList_->viewport()->installEventFilter(this);

    productListMenu_ = new QMenu(this);
    productListMenu_->setObjectName(QStringLiteral("ProductListMenu"));
    connect(productListMenu_->addAction(QStringLiteral("删除")), &QAction::triggered, this,
            &MainWindow::deleteSelectedProduct);
}

void MainWindow::buildCardPage(QWidget& page) {
    cardWindowButton_ = place(new QPushButton(QStringLiteral("进入卡密管理平台"), &page),
                              QStringLiteral("按钮3"), QRect(272, 240, 120, 32));
    connect(cardWindowButton_, &QPushButton::clicked, this,
            [this] { CardWindow::openModal(settings_, db_, dialogs_, timers_); });
}

QWebEngineView* MainWindow::createBrowser(const QString& name, const QRect& geometry,
                                          QWidget& parent) {
    auto* view = place(new QWebEngineView(&parent), name, geometry);
    view->setPage(new QWebEnginePage(&browserProfile_, view));
    return view;
}

void MainWindow::initMainWindow() {
    tray_ = new TrayIcon(windowTitle(), *this);
    connect(tray_, &TrayIcon::showMainWindowChosen, this, &MainWindow::showFromTray);
    connect(tray_, &TrayIcon::visitHomePageChosen, this, &MainWindow::visitHomePage);
    connect(tray_, &TrayIcon::exitChosen, this, &MainWindow::close);
    tray_->show();

    db_.openStore(cataloguePath(settings_.baseDirectory));
    db_.selectStore("sp");
    fillProductList();

    serverAddressEdit_->setText(toQString(readServerAddress(settings_.baseDirectory)));

    Text storesDirectory = settings_.baseDirectory + "sp/";
    if (!isDirectoryWritable(storesDirectory)) makeDirectoryPath(storesDirectory);
}

void MainWindow::fillProductList() {
    productNames_ = productNames(db_);
    productList_->clear();
    for (const Text& name : productNames_) productList_->addItem(toQString(name));
}

// Centred by the size known before showing, and again once the frame that
// the window system adds is known (the second move is skipped when nothing
// changed).
void MainWindow::showCentred() {
    moveToScreenCentre(*this);
    show();
    moveToScreenCentre(*this);
}

void MainWindow::toggleServerAddress() {
    if (!serverAddressEdit_->isEnabled()) {
        serverAddressButton_->setText(QStringLiteral("保存"));
        serverAddressEdit_->setEnabled(true);
        return;
    }
    std::optional<Text> address = toNarrow(serverAddressEdit_->text());
    if (!address) {
        // Saving it would store another address than the one shown.
        dialogs_.inform(text::narrow("服务器地址含有无法保存的字符，请修改后再保存"));
        return;
    }
    writeServerAddress(settings_.baseDirectory, *address);
    serverAddressEdit_->setEnabled(false);
    serverAddressButton_->setText(QStringLiteral("修改"));
}

void MainWindow::applyMonitoringSwitch() {
    if (autoDeliveryCheck_->isChecked()) {
        monitorStateLabel_->setText(QStringLiteral("周期为") + periodEdit_->text() +
                                    QStringLiteral("0秒，发货监控中"));
        monitorTimer_->setPeriod(text::monitorPeriod(periodText()));
    } else {
        monitorStateLabel_->setText(monitoringOff);
        monitorTimer_->setPeriod(0);
    }
}

void MainWindow::addProductClicked() {
    std::optional<Text> name = toNarrow(productNameEdit_->text());
    if (!name) {
        dialogs_.inform(unconvertibleNameMessage());
        return;
    }
    switch (addProduct(db_, settings_.baseDirectory, *name, dialogs_)) {
    case AddProductOutcome::Added:
        fillProductList();
        break;
    case AddProductOutcome::CatalogueCreated:
        close();  // the next start opens the new catalogue
        break;
    case AddProductOutcome::Declined:
    case AddProductOutcome::Refused:
        break;
    }
}

void MainWindow::deleteSelectedProduct() {
    QList<QListWidgetItem*> selected = productList_->selectedItems();
    if (selected.isEmpty()) return;
    int row = productList_->row(selected.front());
    if (row < 0 || static_cast<std::size_t>(row) >= productNames_.size()) return;
    deleteProduct(db_, settings_.baseDirectory, productNames_[static_cast<std::size_t>(row)], dialogs_);
    fillProductList();
}

void MainWindow::showFromTray() {
    if (!isVisible()) return;  // a minimised window still counts as shown
    if (isMinimized() || isMaximized()) {
        showNormal();
        activateWindow();
    }
    moveToScreenCentre(*this);
}

void MainWindow::visitHomePage() {
    QDesktopServices::openUrl(QUrl(toQString(settings_.homeUrl)));
}

Text MainWindow::serverAddressText() const { return toNarrowLossy(serverAddressEdit_->text()); }

Text MainWindow::periodText() const { return toNarrowLossy(periodEdit_->text()); }

void MainWindow::setTradeStatus(const Text& caption) { tradeStatusLabel_->setText(toQString(caption)); }

void MainWindow::loadConsignPage(const Text& url) { consignBrowser_->load(QUrl(toQString(url))); }

void MainWindow::pressConsignButton() {
    static const Text noLogistics = text::narrow("logis:noLogis");
    // Attached afresh on every press: the held document is that of the page
    // shown at this moment, which may still be loading.
    pageAutomation_.attach(windows_.handleOf(consignBrowser_));
    pageAutomation_.clickButton(noLogistics);
}

// Closing ends the program: nothing is asked, the tray icon goes and no
// timer ticks any more. A tool window does not count as the application's
// last window, so the event loop is told to end here; outside a running
// loop (tests) the request does nothing.
void MainWindow::closeEvent(QCloseEvent* event) {
    monitorTimer_->setPeriod(0);
    consignTimer_->setPeriod(0);
    bufferTimer_->setPeriod(0);
    tray_->remove();
    event->accept();
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == productList_->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        popUpAtPointer(*productListMenu_);
    return QWidget::eventFilter(watched, event);
}

} // namespace zenvik
