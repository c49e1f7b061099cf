#include "EventLoopPause.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace zelmar {

void EventLoopPause::wait(double seconds)
{
    const double scaled = seconds * m_scale;
    if (!(scaled > 0.0)) {
        // Still let pending events run, as a zero-length wait does.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // Measured on a steady clock, so a wait across midnight or a clock change ends on time.
    QDeadlineTimer deadline(qint64(scaled * 1000.0 + 0.5), Qt::PreciseTimer);
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(int(qMax<qint64>(1, deadline.remainingTime())));
        loop.exec();
        // A nested loop can also return early when the application exits.
        if (QCoreApplication::closingDown() || QCoreApplication::instance() == nullptr)
            return;
    }
}

} // namespace zelmar
