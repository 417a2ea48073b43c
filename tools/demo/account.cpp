#include "account.h"

#include <QElapsedTimer>
#include <cstdio>

namespace zenvik::demo {

void tell(const QString& line) {
    static QElapsedTimer sinceStart = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    const double seconds = static_cast<double>(sinceStart.elapsed()) / 1000.0;
    std::printf("[%6.1f s] %s\n", seconds, line.toUtf8().constData());
    // Read as it happens, also through a pipe.
    std::fflush(stdout);
}

} // namespace zenvik::demo
