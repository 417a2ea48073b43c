#include "app/tray_icon.h"

#include "app/window_placement.h"
#include "platform/qt/qt_text.h"

#include <QIcon>
#include <QMenu>
#include <QWidget>

// The resources live in this static library; naming their initialiser here
// keeps the linker from dropping them.
static void initProgramResources() {
    Q_INIT_RESOURCE(app_resources);
}

namespace zenvik {

namespace {

const std::size_t tipBytes = 62;

QString trayTip(const QString& title) {
    return toQString(text::cutToBytes(toNarrowLossy(title), tipBytes));
}

} // namespace

QIcon programIcon() {
    initProgramResources();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/zenvik/zenvik_%1.png").arg(size), QSize(size, size));
    return icon;
}

TrayIcon::TrayIcon(const QString& title, QWidget& window)
    : QObject(&window), icon_(programIcon(), this), menu_(new QMenu(&window)) {
    icon_.setToolTip(trayTip(title));
    menu_->setObjectName(QStringLiteral("TrayMenu"));
    connect(menu_->addAction(QStringLiteral("显示主窗口")), &QAction::triggered, this,
            &TrayIcon::showMainWindowChosen);
    connect(menu_->addAction(QStringLiteral("访问官网")), &QAction::triggered, this,
            &TrayIcon::visitHomePageChosen);
    connect(menu_->addAction(QStringLiteral("退出")), &QAction::triggered, this,
            &TrayIcon::exitChosen);
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
}

void TrayIcon::show() { icon_.show(); }

void TrayIcon::remove() {
    menu_->hide();
    icon_.hide();
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Context) popUpAtPointer(*menu_);
}

} // namespace zenvik
