#include "cards/card_edit_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace zenvik {

std::optional<CardEdit> editCardInDialog(QWidget* parent, const CardEdit& shown) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("修改卡密"));
    auto* number = new QLineEdit(shown.number, &dialog);
    auto* password = new QLineEdit(shown.password, &dialog);
    number->setMinimumWidth(280);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("卡号"), number);
    form->addRow(QStringLiteral("密码"), password);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return CardEdit{number->text(), password->text()};
}

} // namespace zenvik
