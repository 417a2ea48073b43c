#include "platform/qt/integer_edit.h"

#include "platform/qt/qt_text.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>

namespace zenvik {

namespace {

bool typedCharacterPasses(QChar c) {
    return c.unicode() < 32 || c == u'-' || (c >= u'0' && c <= u'9');
}

bool typedTextPasses(const QString& typed) {
    return std::all_of(typed.begin(), typed.end(), typedCharacterPasses);
}

} // namespace

IntegerEdit::IntegerEdit(std::int64_t low, std::int64_t high, QWidget* parent)
    : QLineEdit(parent), low_(low), high_(high) {}

// A key pressed with Ctrl is a control character (Ctrl+V pastes), whatever
// text the platform attaches to the event. The Delete key types nothing
// either, though the X keyboard attaches the character DEL (127) to it.
void IntegerEdit::keyPressEvent(QKeyEvent* event) {
    bool control = event->modifiers().testFlag(Qt::ControlModifier) || event->key() == Qt::Key_Delete;
    if (!control && !typedTextPasses(event->text())) return;  // dropped, as if never typed
    QLineEdit::keyPressEvent(event);
}

// Characters committed by an input method are typed characters too.
void IntegerEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (typedTextPasses(event->commitString())) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent dropped(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&dropped);
}

void IntegerEdit::focusOutEvent(QFocusEvent* event) {
    QString shown = toQString(text::integerEditText(toNarrowLossy(text()), low_, high_));
    if (shown != text()) setText(shown);
    QLineEdit::focusOutEvent(event);
}

} // namespace zenvik
