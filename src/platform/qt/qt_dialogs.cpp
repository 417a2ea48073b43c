#include "platform/qt/qt_dialogs.h"

#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace zenvik {

namespace {

QMessageBox::StandardButton show(const Text& message, QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("信息："), toQString(message), buttons,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void QtDialogs::inform(const Text& message) { show(message, QMessageBox::Ok); }

bool QtDialogs::askYesNo(const Text& message) {
    return show(message, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace zenvik
