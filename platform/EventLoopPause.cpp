#include "EventLoopPause.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

namespace zelmar {

void EventLoopPause::wait(double seconds)
{
    const double scaled = seconds * m_scale;
    // Zero, negative, NaN and unbounded waits are not waits: a bad value must not hang the window.
    if (!(scaled > 0.0) || !std::isfinite(scaled)) {
        // Still let pending events run, as a zero-length wait does.
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    const auto length = std::chrono::nanoseconds(std::llround(scaled * 1e9));
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(length);
        return;
    }

    // Measured on a steady clock, so a wait across midnight or a clock change ends on time.
    const QDeadlineTimer deadline(length, Qt::PreciseTimer);
    // One loop and one timer per wait, on this call's stack: a handler that runs inside
    // the loop may start a pause of its own; that one nests and returns first, and this
    // loop then ends as soon as its own timer has fired.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    for (;;) {
        const qint64 remainingNs = deadline.remainingTimeNSecs();
        if (remainingNs <= 0)
            return;
        // Rounded up: a timer may fire a little early, never a wait that ends short.
        const qint64 ms = (remainingNs + 999'999) / 1'000'000;
        timer.start(int(qMin<qint64>(ms, std::numeric_limits<int>::max())));
        loop.exec();
        if (timer.isActive()) {
            // The loop ended while the timer still ran: the application is quitting
            // (QCoreApplication::exit ends every running loop, and every loop started
            // afterwards returns at once). Give up the wait instead of spinning.
            timer.stop();
            return;
        }
    }
}

} // namespace zelmar
