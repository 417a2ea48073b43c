#pragma once
// An edit box for a signed 32-bit integer: typing accepts only digits and a
// minus sign; on losing the focus its text becomes the decimal form of its
// value, and 0 becomes the empty text.

#include <QLineEdit>

namespace zenvik {

class IntegerEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit IntegerEdit(QWidget* parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace zenvik
