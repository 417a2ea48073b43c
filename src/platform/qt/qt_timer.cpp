#include "platform/qt/qt_timer.h"

#include <QTimer>

namespace zenvik {

namespace {

class QtTimer : public Timer {
public:
    QtTimer() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }

protected:
    void restart(std::int32_t ms) override {
        timer_.stop();
        if (ms > 0) timer_.start(ms);
    }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<Timer> QtTimerFactory::createTimer() { return std::make_unique<QtTimer>(); }

} // namespace zenvik
