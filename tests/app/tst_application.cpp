// The busy cursor, and the exit status that the program's end leaves with.
#include "BusyCursor.h"
#include "WidgetDialogs.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace Qt::StringLiterals;
using namespace zelmar;

class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void busyCursorsNest()
    {
        {
            const BusyCursor outer;
            {
                const BusyCursor inner;
                const NormalCursor normal; // a box inside a busy step shows the arrow
                QVERIFY(!busyCursorShown() && QGuiApplication::overrideCursor());
            }
            QVERIFY(busyCursorShown());
        }
        QVERIFY(!QGuiApplication::overrideCursor());
        const NormalCursor normal; // outside a busy step fields keep their own cursors
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void endLeavesWithItsStatus_data()
    {
        QTest::addColumn<int>("error"); // -1: a normal end
        QTest::addColumn<bool>("fromNestedLoop");
        QTest::newRow("QUIT") << -1 << false;
        QTest::newRow("goodbye inside a box") << -1 << true;
        QTest::newRow("error code 01 inside a box") << int(ExitStatus::ErrorCode01) << true;
        QTest::newRow("upgrade refusal") << int(ExitStatus::UpgradeRequired) << false;
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
