#include "EventLoopPause.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

using namespace zelmar;

namespace {

// CPU seconds (user and system) used by the whole process so far.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class TestEventLoopPause : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nonWaitsStillRunPendingEvents_data();
    void nonWaitsStillRunPendingEvents();
    void waitsTheTimeAskedWithoutSpinning();
    void innerShorterPauseLeavesTheOuterOnTime();
    void innerLongerPauseLetsTheOuterEndRightAfter();
    void quittingTheApplicationEndsThePause();
};

void TestEventLoopPause::nonWaitsStillRunPendingEvents_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("seconds");
    QTest::newRow("scale 0 of 4 s") << 0.0 << 4.0;
    QTest::newRow("zero seconds") << 1.0 << 0.0;
    QTest::newRow("negative seconds") << 1.0 << -3.0;
    QTest::newRow("not a number") << 1.0 << std::nan("");
    QTest::newRow("infinite seconds do not hang") << 1.0 << std::numeric_limits<double>::infinity();
    QTest::newRow("0.4 ms still runs events") << 1.0 << 0.0004;
}

void TestEventLoopPause::nonWaitsStillRunPendingEvents()
{
    QFETCH(double, scale);
    QFETCH(double, seconds);
    bool ran = false;
    QTimer::singleShot(0, this, [&ran] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    EventLoopPause(scale).wait(seconds);
    QVERIFY(ran);
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
}

void TestEventLoopPause::waitsTheTimeAskedWithoutSpinning()
{
    EventLoopPause pause;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(50);
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    pause.wait(0.6);
    const qint64 ms = clock.elapsed();
    const double cpu = cpuSeconds() - cpu0;
    QVERIFY2(ms >= 600, qPrintable(QString::number(ms)));
    QVERIFY2(ms < 1500, qPrintable(QString::number(ms)));
    QVERIFY2(ticks >= 5, "window events must go on during the pause");
    // A spinning wait would use about the whole 0.6 s.
    QVERIFY2(cpu < 0.15, qPrintable(QString::number(cpu)));
}

void TestEventLoopPause::innerShorterPauseLeavesTheOuterOnTime()
{
    EventLoopPause pause;
    qint64 innerMs = -1;
    QTimer::singleShot(50, this, [&] {
        QElapsedTimer inner;
        inner.start();
        pause.wait(0.2);
        innerMs = inner.elapsed();
    });
    QElapsedTimer clock;
    clock.start();
    pause.wait(0.5);
    const qint64 ms = clock.elapsed();
    QVERIFY2(innerMs >= 200, qPrintable(QString::number(innerMs)));
    QVERIFY2(ms >= 500, qPrintable(QString::number(ms)));
    QVERIFY2(ms < 1300, qPrintable(QString::number(ms)));
}

void TestEventLoopPause::innerLongerPauseLetsTheOuterEndRightAfter()
{
    EventLoopPause pause;
    qint64 innerEnd = -1;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(20, this, [&] {
        pause.wait(0.5);
        innerEnd = clock.elapsed();
    });
    pause.wait(0.1);
    const qint64 outerEnd = clock.elapsed();
    QVERIFY(innerEnd >= 520);
    // The outer loop cannot return before the nested one; it must return right after it
    // and not start its own wait again.
    QVERIFY2(outerEnd >= innerEnd, qPrintable(QString::number(outerEnd)));
    QVERIFY2(outerEnd - innerEnd < 100, qPrintable(QString::number(outerEnd - innerEnd)));
}

void TestEventLoopPause::quittingTheApplicationEndsThePause()
{
    EventLoopPause pause;
    qint64 ms = -1;
    double cpu = -1;
    QTimer::singleShot(0, this, [&] {
        const double cpu0 = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        pause.wait(2.0);
        ms = clock.elapsed();
        cpu = cpuSeconds() - cpu0;
    });
    QTimer::singleShot(100, this, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    QVERIFY2(ms >= 0 && ms < 1000, qPrintable(QString::number(ms)));
    QVERIFY2(cpu < 0.3, qPrintable(QString::number(cpu)));
    // Loops work again once the application loop has returned.
    bool ran = false;
    QTimer::singleShot(10, this, [&ran] { ran = true; });
    pause.wait(0.05);
    QVERIFY(ran);
}

QTEST_GUILESS_MAIN(TestEventLoopPause)
#include "tst_eventlooppause.moc"
