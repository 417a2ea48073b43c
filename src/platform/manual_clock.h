#pragma once
// A clock that moves only when told: timers made by it tick exactly when
// advance() passes their due time. Tests use it in place of real timers.

#include "platform/timer.h"

#include <cstdint>
#include <vector>

namespace zenvik {

class ManualTimer;

class ManualClock : public TimerFactory {
public:
    ~ManualClock() override;
    std::unique_ptr<Timer> createTimer() override;

    // Moves the clock forward by ms, running every tick that falls due on the
    // way in time order (ties in the order the timers were armed).
    void advance(std::int64_t ms);
    std::int64_t now() const { return now_; }

private:
    friend class ManualTimer;
    std::int64_t now_ = 0;
    std::uint64_t armCounter_ = 0;
    std::vector<ManualTimer*> timers_;
};

} // namespace zenvik
