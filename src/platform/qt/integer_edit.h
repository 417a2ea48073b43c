#pragma once
// An edit box that holds an integer: typing lets through only "-" and the
// digits (control characters, and with them paste, pass), and leaving it
// rewrites the text to the decimal form of its leading integer, limited to
// [low, high], with the empty text for 0.

#include <QLineEdit>
#include <cstdint>

namespace zenvik {

class IntegerEdit : public QLineEdit {
    Q_OBJECT
public:
    IntegerEdit(std::int64_t low, std::int64_t high, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::int64_t low_;
    std::int64_t high_;
};

} // namespace zenvik
