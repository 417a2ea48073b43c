#pragma once
// An edit box that holds a short integer: typing lets through only "-" and
// the digits (control characters, and with them paste, pass), and leaving it
// rewrites the text to the value's plain decimal form.

#include <QLineEdit>

namespace zenvik {

class PeriodEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PeriodEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace zenvik
