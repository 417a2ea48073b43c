#pragma once
// Message boxes of the running program: QMessageBox, application-modal,
// titled "信息：".

#include "platform/dialogs.h"

namespace zenvik {

class QtDialogs : public Dialogs {
public:
    void inform(const Text& message) override;
    bool askYesNo(const Text& message) override;
};

} // namespace zenvik
