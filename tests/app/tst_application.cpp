// The busy cursor, the window painting while a call waits on a server, and the exit status that
// the program's end leaves with.
#include "BusyCursor.h"
#include "ThreadWaiter.h"
#include "WidgetDialogs.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <future>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {
struct PaintedWindow : QWidget
{
    std::function<void()> painted;
    void paintEvent(QPaintEvent*) override
    {
        if (painted)
            std::exchange(painted, {})();
    }
};
} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalCursorOnlyInABusyStep()
    {
        {
            const BusyCursor busy;
            const NormalCursor normal; // a box inside a busy step shows the arrow
            QVERIFY(!busyCursorShown() && QGuiApplication::overrideCursor());
        }
        QVERIFY(!QGuiApplication::overrideCursor());
        const NormalCursor normal; // outside a busy step fields keep their own cursors
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A call that waits on a server runs off the window's thread: the window paints meanwhile, and
    // the waiter tells that it waits, so that a timer can hold back what must not run then.
    void windowPaintsDuringAWait()
    {
        PaintedWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        std::promise<void> painted;
        std::future<void> paint = painted.get_future();
        ThreadWaiter waiter;
        bool waitingMeanwhile = false;
        QTimer::singleShot(0, &window, [&] {
            waitingMeanwhile = waiter.waiting();
            window.painted = [&painted] {
                painted.set_value();
            };
            window.update();
        });
        bool paintedMeanwhile = false;
        waiter.run(
            [&] { paintedMeanwhile = paint.wait_for(std::chrono::seconds(5)) == std::future_status::ready; });
        QVERIFY(paintedMeanwhile && waitingMeanwhile && !waiter.waiting());
    }

    void endLeavesWithItsStatus_data()
    {
        QTest::addColumn<int>("error"); // -1: a normal end
        QTest::addColumn<bool>("fromNestedLoop");
        QTest::newRow("QUIT") << -1 << false;
        QTest::newRow("error code 01 inside a box") << int(ExitStatus::ErrorCode01) << true;
    }

    void endLeavesWithItsStatus()
    {
        QFETCH(int, error);
        QFETCH(bool, fromNestedLoop);
        ApplicationEnd programEnd;
        QWidget window;
        window.show();
        const auto endNow = [&] {
            if (error < 0)
                programEnd.end();
            else
                programEnd.endWithError(ExitStatus(error));
            // A later end changes nothing.
            programEnd.endWithError(ExitStatus::ErrorCode03);
            programEnd.end();
        };
        QTimer::singleShot(0, this, [&] {
            if (!fromNestedLoop)
                return endNow();
            // As a box or a pause would: the end comes from a loop inside the main one.
            QEventLoop nested;
            QTimer::singleShot(0, &nested, endNow);
            nested.exec();
        });
        QCOMPARE(QCoreApplication::exec(), std::max(error, 0));
        QCOMPARE(int(programEnd.exitStatus()), std::max(error, 0));
        QVERIFY(programEnd.hasEnded() && !window.isVisible());
    }
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
