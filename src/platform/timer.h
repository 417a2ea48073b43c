#pragma once
// Timers with the program's period rule: a negative period counts as 0, 0
// stops the timer, setting the period it already has changes nothing (the
// countdown goes on), any other value restarts it so that the next tick comes
// one full period later.

#include <cstdint>
#include <functional>
#include <memory>

namespace zenvik {

class Timer {
public:
    virtual ~Timer();
    void setPeriod(std::int32_t ms);
    std::int32_t period() const { return period_; }
    void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    // Stops the timer and, when ms > 0, starts it afresh.
    virtual void restart(std::int32_t ms) = 0;
    // Called by the implementation once per elapsed period.
    void tick();

private:
    friend class TickHold;
    // A tick kept back by a hold; skipped when the timer was stopped meanwhile.
    void runPendingTick();

    std::int32_t period_ = 0;
    std::function<void()> handler_;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

// While a TickHold lives, ticks that fall due are kept back and run right
// after the last hold ends (the page bridge waits for the browser under one).
class TickHold {
public:
    TickHold();
    ~TickHold();
    TickHold(const TickHold&) = delete;
    TickHold& operator=(const TickHold&) = delete;
    static bool active();
};

} // namespace zenvik
