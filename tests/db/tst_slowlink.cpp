// The editor's actions on a 49-port part number over a link to the customer's server, counted in
// round trips as a proxy in between sees them (on a slow link the operator waits for these), and
// what may happen while a call waits.
#include "Account.h"
#include "EditorOnDb.h"
#include "FaultProxy.h"
#include "HostSystem.h"
#include "InternetProbe.h"
#include "RunningCopy.h"
#include "StartSequence.h"
#include "ThreadWaiter.h"
#include "frmSplash.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;

enum class Action
{
    SignIn,
    Load,
    UpdateOnePort,
    UpdateEveryPort,
    Create,
    Delete,
};
Q_DECLARE_METATYPE(Action)

namespace {

struct Reachable : InternetProbe
{
    void checkINTERNET(qint16& connected) override { connected = 1; }
};

// Sign-in as the editor's load runs it, the central server reached directly.
bool signIn(test::EditorOnDb& e, const QString& customerServer)
{
    test::TestDatabase central({u"central.sql"_s});
    const db::Profile c = central.profile(), customer = e.tdb.profile();
    if (!central.exec(
            u"INSERT INTO Customers (Operator_Code, Operator_Initials, Company, tARV, numPORTS, ipPORT, "
            u"custDB, custUSER, custUSER_PW) VALUES ('OP1', 'OP', 'Co', 1, 49, ?, ?, ?, ?)"_s,
            {customerServer, customer.database, customer.user, customer.password}))
        return false;
    Reachable internet;
    QtHostSystem host;
    RunningCopies copies(u"slowlink-%1"_s.arg(QCoreApplication::applicationPid()));
    signin::ProgramValues values{u"OP1"_s, u"Windows 7"_s, 2};
    signin::CentralAccounts accounts(e.database, e.dialogs, e.end, internet);
    signin::frmSplash splash(values, host, copies, e.end);
    signin::StartSequence sequence(
        *e.w, splash, values, e.database, accounts, e.dialogs, e.end,
        {c.server, c.database, u"Customers"_s, u"CustLogin"_s, c.user, c.password});
    sequence.Form_Load();
    return !e.end.hasEnded() && e.w->lsttestPN->count() == 2;
}

// Runs each call where it is made, with what a timer does while the first call waits.
struct TimerDuringCall : Waiter
{
    std::function<void()> meanwhile;
    int calls = 0;
    void run(const std::function<void()>& call) override
    {
        ++calls;
        if (meanwhile)
            std::exchange(meanwhile, {})();
        call();
        --calls;
    }
    bool waiting() const override { return calls > 0; }
};

// Port names of map 1 as the editor leaves them.
int renamedPorts(test::EditorOnDb& e)
{
    return e.tdb.scalar(u"SELECT COUNT(*) FROM portCONFIG WHERE mapPORT = 1 AND portNAME LIKE 'X-%'"_s)
        .toInt();
}

} // namespace

class TestSlowLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrips_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("goal");
        QTest::newRow("sign-in to editor ready") << Action::SignIn << 5;
        QTest::newRow("load") << Action::Load << 5;
        QTest::newRow("UPDATE, one port changed") << Action::UpdateOnePort << 15;
        QTest::newRow("UPDATE, every port changed") << Action::UpdateEveryPort << 20;
        QTest::newRow("CREATE from the PN on show") << Action::Create << 20;
        QTest::newRow("DELETE") << Action::Delete << 8;
    }
    void roundTrips()
    {
        QFETCH(Action, action);
        QFETCH(int, goal);
        test::EditorOnDb e(49);
        test::FaultProxy proxy(e.tdb.server());
        QVERIFY2(e.ok() && proxy.ok(), qPrintable(e.tdb.error()));
        QVERIFY(e.addPN(u"PN-1"_s, 1, u"snVALID = 1"_s) && e.addPorts(1, 49) && e.addPN(u"PN-2"_s, 2) &&
                e.addPorts(2, 49));
        FormMainTestMenu* w = e.w.get();
        w->account.ipPORT = proxy.serverValue();
        // As the program runs them: every call off the window's thread.
        ThreadWaiter waiter(db::clientThreadStarted, db::clientThreadEnding);
        e.database.setWaiter(&waiter);
        e.list();
        QVERIFY(action == Action::SignIn || action == Action::Load || e.load(u"PN-1"_s));
        proxy.setPlan({});
        const int ports = action == Action::UpdateOnePort ? 1 : db::portSlots;
        switch (action) {
        case Action::SignIn:
            QVERIFY(signIn(e, proxy.serverValue()));
            break;
        case Action::Load:
            QVERIFY(e.load(u"PN-1"_s));
            break;
        case Action::UpdateOnePort:
        case Action::UpdateEveryPort:
            for (int k = ports; k >= 1; --k) {
                w->lstPORT->setCurrentIndex(k - 1);
                test::putText(w->txtPort, u"X-%1"_s.arg(k));
            }
            w->btnUPDATE_Click();
            QCOMPARE(renamedPorts(e), ports);
            QCOMPARE(e.tdb.scalar(u"SELECT snVALID FROM snPN WHERE partNUM = 'PN-1'"_s).toInt(), 1);
            break;
        case Action::Create:
            e.dialogs.inputAnswers = {u"PN-3"_s};
            e.dialogs.yesNoAnswers = {true};
            w->btnADD_Click();
            QCOMPARE(w->cur.curPN, u"PN-3"_s);
            QCOMPARE(e.tdb
                         .scalar(u"SELECT COUNT(*) FROM portCONFIG p JOIN snPN s USING (mapPORT) "
                                 u"WHERE s.partNUM = 'PN-3' AND s.snVALID = 1"_s)
                         .toInt(),
                     db::portSlots);
            break;
        case Action::Delete:
            e.dialogs.yesNoAnswers = {true};
            w->btnDELETE_Click();
            QCOMPARE(e.tdb.count(u"portCONFIG"_s), db::portSlots);
            QCOMPARE(e.tdb.count(u"snPN"_s), 1);
            break;
        }
        QVERIFY2(proxy.exchanges() <= goal, qPrintable(QString::number(proxy.exchanges())));
    }

    // The hour of the run ending while a save waits on the server: the save runs to its end, and
    // the program ends once the call has returned.
    void hourEndWaitsForTheCall()
    {
        test::EditorOnDb e(4);
        QVERIFY2(e.ok() && e.addPN(u"PN-1"_s, 1) && e.addPorts(1, 4), qPrintable(e.tdb.error()));
        e.list();
        QVERIFY(e.load(u"PN-1"_s));
        TimerDuringCall waiter;
        e.database.setWaiter(&waiter);
        int endsMeanwhile = -1;
        waiter.meanwhile = [&] {
            test::hourIsUp(e.w.get());
            endsMeanwhile = e.end.ends;
        };
        test::putText(e.w->txtsnNAME, u"saved"_s);
        e.w->btnUPDATE_Click();
        QCOMPARE(endsMeanwhile, 0);
        QCOMPARE(e.tdb.scalar(u"SELECT CONCAT(snNAME, snVALID) FROM snPN"_s).toString(), u"saved1"_s);
        QTRY_COMPARE(e.end.ends, 1);
    }
};

QTEST_MAIN(TestSlowLink)
#include "tst_slowlink.moc"
