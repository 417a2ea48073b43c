#include "platform/timer.h"

#include <algorithm>
#include <vector>

namespace zenvik {

namespace {

int holds = 0;
// Timers whose tick fell due while a hold was active, in the order they fell due.
std::vector<Timer*>& pendingTimers() {
    static std::vector<Timer*> pending;
    return pending;
}

void dropPendingTick(Timer* timer) {
    auto& pending = pendingTimers();
    pending.erase(std::remove(pending.begin(), pending.end(), timer), pending.end());
}

} // namespace

Timer::~Timer() { dropPendingTick(this); }

void Timer::setPeriod(std::int32_t ms) {
    if (ms < 0) ms = 0;
    if (ms == period_) return;
    period_ = ms;
    // A tick held back belongs to the countdown that ends here; the next
    // tick comes one full new period from now.
    dropPendingTick(this);
    restart(ms);
}

void Timer::tick() {
    if (holds > 0) {
        auto& pending = pendingTimers();
        if (std::find(pending.begin(), pending.end(), this) == pending.end()) pending.push_back(this);
        return;
    }
    if (handler_) handler_();
}

void Timer::runPendingTick() {
    if (period_ > 0 && handler_) handler_();
}

TickHold::TickHold() { ++holds; }

TickHold::~TickHold() {
    if (--holds > 0) return;
    // A handler may arm, stop or destroy timers, or take a hold again: take
    // the timers one at a time from the list rather than iterating it.
    auto& pending = pendingTimers();
    while (holds == 0 && !pending.empty()) {
        Timer* timer = pending.front();
        pending.erase(pending.begin());
        timer->runPendingTick();
    }
}

bool TickHold::active() { return holds > 0; }

} // namespace zenvik
