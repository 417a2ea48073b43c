// Keys in an integer edit box as the desktop's keyboard delivers them: the
// editing keys carry control characters as their text.
#include "platform/qt/integer_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace zenvik {
namespace {

TEST(IntegerEdit, EditingKeysStillEdit) {
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString text;  // what the keyboard attaches to the key
        int cursor;    // where the cursor stands in "123" before the key
        QString after;
    } const cases[] = {
        {"Delete", Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)), 0, QStringLiteral("23")},
        {"KeypadDelete", Qt::Key_Delete, Qt::KeypadModifier, QString(QChar(0x7f)), 1, QStringLiteral("13")},
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"), 3, QStringLiteral("12")},
        {"Letter", Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), 3, QStringLiteral("123")},
    };
    for (const Case& c : cases) {
        IntegerEdit edit(-32768, 32767);
        edit.setText(QStringLiteral("123"));
        edit.setCursorPosition(c.cursor);
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.text);
        QApplication::sendEvent(&edit, &press);
        EXPECT_EQ(edit.text(), c.after) << c.name;
    }
}

} // namespace
} // namespace zenvik
