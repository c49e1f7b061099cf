// The widget side of the program: the busy cursor, boxes over a busy step, and
// the exit status that the program's end leaves with.
#include "BusyCursor.h"
#include "WidgetDialogs.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <optional>

using namespace Qt::StringLiterals;
using namespace zelmar;

class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void busyCursorsNest();
    void boxesOverABusyStepShowTheArrow_data();
    void boxesOverABusyStepShowTheArrow();
    void endLeavesWithItsStatus_data();
    void endLeavesWithItsStatus();
};

void TestApplication::busyCursorsNest()
{
    QVERIFY(!QGuiApplication::overrideCursor());
    {
        const BusyCursor outer;
        QVERIFY(busyCursorShown());
        {
            std::optional<BusyCursor> inner(std::in_place);
            QVERIFY(busyCursorShown());
            {
                const NormalCursor normal;
                QVERIFY(!busyCursorShown());
                QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
            }
            inner.reset();
            QVERIFY(busyCursorShown());
        }
    }
    QVERIFY(!QGuiApplication::overrideCursor());
    // Outside a busy step a box leaves the fields their own cursors.
    {
        const NormalCursor normal;
        QVERIFY(!QGuiApplication::overrideCursor());
    }
}

void TestApplication::boxesOverABusyStepShowTheArrow_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("message") << 0;
    QTest::newRow("yes/no") << 1;
    QTest::newRow("input") << 2;
}

void TestApplication::boxesOverABusyStepShowTheArrow()
{
    QFETCH(int, kind);
    WidgetDialogs dialogs;
    std::optional<bool> busyWhileAsking;
    // Answers the box once it is up, after looking at the cursor.
    QTimer answer;
    answer.setInterval(10);
    connect(&answer, &QTimer::timeout, this, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            busyWhileAsking = busyCursorShown();
            box->close();
        }
    });
    answer.start();
    {
        const BusyCursor busy;
        if (kind == 0)
            dialogs.message(u"text"_s, u"title"_s);
        else if (kind == 1)
            dialogs.askYesNo(u"text"_s, u"title"_s);
        else
            dialogs.input(u"prompt"_s, u"title"_s, u"default"_s);
        QVERIFY(busyCursorShown());
    }
    QCOMPARE(busyWhileAsking, std::optional<bool>(false));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestApplication::endLeavesWithItsStatus_data()
{
    QTest::addColumn<int>("error"); // -1: a normal end
    QTest::addColumn<bool>("fromNestedLoop");
    QTest::addColumn<int>("status");
    QTest::newRow("QUIT") << -1 << false << 0;
    QTest::newRow("goodbye inside a box") << -1 << true << 0;
    QTest::newRow("error code 01 inside a box") << int(ExitStatus::ErrorCode01) << true << 11;
    QTest::newRow("upgrade refusal") << int(ExitStatus::UpgradeRequired) << false << 4;
}

void TestApplication::endLeavesWithItsStatus()
{
    QFETCH(int, error);
    QFETCH(bool, fromNestedLoop);
    QFETCH(int, status);
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
        if (!fromNestedLoop) {
            endNow();
            return;
        }
        // As a box or a pause would: the end comes from a loop inside the main one.
        QEventLoop nested;
        QTimer::singleShot(0, &nested, endNow);
        nested.exec();
    });
    QCOMPARE(QCoreApplication::exec(), status);
    QCOMPARE(int(programEnd.exitStatus()), status);
    QVERIFY(programEnd.hasEnded());
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
