#pragma once
// Message boxes: application-modal, titled "信息：". Tests answer them.

#include "text/narrow_text.h"

namespace zenvik {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // One OK button.
    virtual void inform(const Text& message) = 0;
    // Yes and No buttons; true for Yes.
    virtual bool askYesNo(const Text& message) = 0;
};

} // namespace zenvik
