#include "platform/manual_clock.h"

#include <algorithm>

namespace zenvik {

class ManualTimer : public Timer {
public:
    explicit ManualTimer(ManualClock* clock) : clock_(clock) { clock_->timers_.push_back(this); }
    ~ManualTimer() override {
        if (clock_) std::erase(clock_->timers_, this);
    }

    bool armed = false;
    std::int64_t due = 0;
    std::uint64_t order = 0;  // ties between timers due at the same moment

    void detach() { clock_ = nullptr; }
    void fire() {
        due += period();
        order = ++clock_->armCounter_;
        tick();
    }

protected:
    void restart(std::int32_t ms) override {
        armed = ms > 0 && clock_;
        if (!armed) return;
        due = clock_->now_ + ms;
        order = ++clock_->armCounter_;
    }

private:
    ManualClock* clock_;
};

ManualClock::~ManualClock() {
    for (ManualTimer* timer : timers_) timer->detach();
}

std::unique_ptr<Timer> ManualClock::createTimer() { return std::make_unique<ManualTimer>(this); }

void ManualClock::advance(std::int64_t ms) {
    const std::int64_t target = now_ + ms;
    for (;;) {
        ManualTimer* next = nullptr;
        for (ManualTimer* timer : timers_) {
            if (!timer->armed || timer->due > target) continue;
            if (!next || timer->due < next->due || (timer->due == next->due && timer->order < next->order)) next = timer;
        }
        if (!next) break;
        now_ = std::max(now_, next->due);
        next->fire();
    }
    now_ = std::max(now_, target);
}

} // namespace zenvik
