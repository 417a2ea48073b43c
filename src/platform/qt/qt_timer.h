#pragma once
// Timers of the running program, over QTimer.

#include "platform/timer.h"

namespace zenvik {

class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<Timer> createTimer() override;
};

} // namespace zenvik
