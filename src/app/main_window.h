#pragma once
// MainWindow: the tabs "首页", "商品管理" and "卡密管理" with their controls,
// the two browser controls, the three timers and the tray icon. Widgets hold
// the controls and hand events to the core; nothing here reads the
// environment or a command line.

#include "delivery/delivery_loop.h"
#include "platform/dialogs.h"
#include "platform/http_client.h"
#include "platform/settings.h"
#include "platform/timer.h"
#include "store/record_database.h"

#include <QWidget>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTabWidget;
class QWebEngineProfile;
class QWebEngineView;

namespace zenvik {

namespace page {
class PageAutomation;
}
class IntegerEdit;
class QtWindowSystem;
class TrayIcon;

// What MainWindow works with; the caller keeps each alive longer than the
// window (the browser profile too: its pages must go first).
struct MainWindowServices {
    RecordDatabase& db;
    Dialogs& dialogs;
    TimerFactory& timers;
    HttpClient& http;
    QWebEngineProfile& browserProfile;
    // The program's windows as page automation sees them, and the one
    // PageAutomation that presses the consign page's button.
    QtWindowSystem& windows;
    page::PageAutomation& pageAutomation;
};

class MainWindow : public QWidget, public DeliveryView {
    Q_OBJECT
public:
    MainWindow(const ProgramSettings& settings, MainWindowServices services,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Centred on the screen and shown, as the program starts.
    void showCentred();

    // The actions of the window's buttons and menus.
    void toggleServerAddress();
    void applyMonitoringSwitch();
    void addProductClicked();
    void deleteSelectedProduct();
    void showFromTray();
    void visitHomePage();

    // DeliveryView
    Text serverAddressText() const override;
    Text periodText() const override;
    void setTradeStatus(const Text& caption) override;
    void loadConsignPage(const Text& url) override;
    void pressConsignButton() override;

    Timer& monitorTimer() { return *monitorTimer_; }
    Timer& consignTimer() { return *consignTimer_; }
    Timer& bufferTimer() { return *bufferTimer_; }
    TrayIcon& trayIcon() { return *tray_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildHomePage(QWidget& page);
    void buildProductPage(QWidget& page);
    void buildCardPage(QWidget& page);
    QWebEngineView* createBrowser(const QString& name, const QRect& geometry, QWidget& parent);
    void initMainWindow();
    void fillProductList();

    ProgramSettings settings_;
    RecordDatabase& db_;
    Dialogs& dialogs_;
    TimerFactory& timers_;
    QWebEngineProfile& browserProfile_;
    QtWindowSystem& windows_;
    page::PageAutomation& pageAutomation_;

    QTabWidget* mainTabs_ = nullptr;
    QComboBox* schemeCombo_ = nullptr;
    QLineEdit* serverAddressEdit_ = nullptr;
    QPushButton* serverAddressButton_ = nullptr;
    IntegerEdit* periodEdit_ = nullptr;
    QCheckBox* autoDeliveryCheck_ = nullptr;
    QPushButton* monitorSwitchButton_ = nullptr;
    QGroupBox* statusGroup_ = nullptr;
    QLabel* monitorStateLabel_ = nullptr;
    QLabel* tradeStatusLabel_ = nullptr;
    QWebEngineView* orderListBrowser_ = nullptr;
    QLineEdit* productNameEdit_ = nullptr;
    QPushButton* addProductButton_ = nullptr;
    QListWidget* productList_ = nullptr;
    QMenu* productListMenu_ = nullptr;
    QPushButton* cardWindowButton_ = nullptr;
    QWebEngineView* consignBrowser_ = nullptr;
    TrayIcon* tray_ = nullptr;

    std::unique_ptr<Timer> monitorTimer_;
    std::unique_ptr<Timer> consignTimer_;
    std::unique_ptr<Timer> bufferTimer_;
    // The timers' ticks go to the loop: polling, consign and buffer ticks.
    DeliveryLoop deliveryLoop_;

    // The catalogue's names as last listed, row by row, so that a selected
    // row names its product without a round trip through the shown text.
    std::vector<Text> productNames_;
};

} // namespace zenvik
