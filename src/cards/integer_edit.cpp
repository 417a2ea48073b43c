#include "cards/integer_edit.h"

#include "cards/refresh_period.h"

#include <QRegularExpressionValidator>

namespace zenvik {

IntegerEdit::IntegerEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9]*")), this));
}

void IntegerEdit::focusOutEvent(QFocusEvent* event) {
    // The text holds only ASCII digits and minus signs, so its Latin-1 bytes
    // are its narrow text.
    const QString shown = QString::fromStdString(integerEditText(text().toStdString()));
    if (shown != text()) setText(shown);
    QLineEdit::focusOutEvent(event);
}

} // namespace zenvik
