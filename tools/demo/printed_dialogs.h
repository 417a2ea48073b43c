#pragma once
// Message boxes of an unattended run: each box's text goes into the account
// and every question is answered Yes, as the seller of the demo would.

#include "account.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_text.h"

namespace zenvik::demo {

class PrintedDialogs : public Dialogs {
public:
    void inform(const Text& message) override {
        tell(QStringLiteral("message box \"信息：\": %1 [OK]").arg(toQString(message)));
    }
    bool askYesNo(const Text& message) override {
        tell(QStringLiteral("message box \"信息：\": %1 [Yes]").arg(toQString(message)));
        return true;
    }
};

} // namespace zenvik::demo
