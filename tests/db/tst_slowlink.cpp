// The editor's actions on a 49-port part number over a link to the customer's server, counted in
// round trips as a proxy in between sees them (on a slow link the operator waits for these), and
// what may happen while a call waits.
#include "EditorActions.h"
#include "ThreadWaiter.h"

#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::Action;

Q_DECLARE_METATYPE(Action)

class TestSlowLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrips_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("goal");
        const QList<std::pair<Action, int>> goals{{Action::SignIn, 5},         {Action::Load, 5},
                                                  {Action::UpdateOnePort, 15}, {Action::UpdateEveryPort, 20},
                                                  {Action::Create, 20},        {Action::Delete, 8}};
        for (const auto& [action, goal] : goals)
            QTest::newRow(test::actionName(action)) << action << goal;
    }
    void roundTrips()
    {
        QFETCH(Action, action);
        QFETCH(int, goal);
        test::ActionBench b;
        QVERIFY2(b.ready(action), qPrintable(b.e.tdb.error()));
        // As the program runs them: every call off the window's thread.
        ThreadWaiter waiter(db::clientThreadStarted, db::clientThreadEnding);
        b.e.database.setWaiter(&waiter);
        b.proxy.setPlan({});
        QVERIFY(b.perform(action));
        QVERIFY2(b.proxy.exchanges() <= goal, qPrintable(QString::number(b.proxy.exchanges())));
    }

    // The hour of the run ending while a save waits on the server: the save runs to its end, and
    // the program ends once the call has returned.
    void hourEndWaitsForTheCall()
    {
        test::EditorOnDb e(4);
        QVERIFY2(e.ok() && e.addPN(u"PN-1"_s, 1) && e.addPorts(1, 4), qPrintable(e.tdb.error()));
        e.list();
        QVERIFY(e.load(u"PN-1"_s));
        ThreadWaiter waiter(db::clientThreadStarted, db::clientThreadEnding);
        e.database.setWaiter(&waiter);
        test::putText(e.w->txtsnNAME, u"saved"_s);
        int endsMeanwhile = -1; // due at once, the timer comes while the save's first call waits
        QTimer::singleShot(0, e.w.get(), [&] {
            test::hourIsUp(e.w.get());
            endsMeanwhile = waiter.waiting() ? e.end.ends : -2;
        });
        e.w->btnUPDATE_Click();
        QCOMPARE(endsMeanwhile, 0);
        QCOMPARE(e.tdb.scalar(u"SELECT CONCAT(snNAME, snVALID) FROM snPN"_s).toString(), u"saved1"_s);
        QTRY_COMPARE(e.end.ends, 1);
    }
};

QTEST_MAIN(TestSlowLink)
#include "tst_slowlink.moc"
