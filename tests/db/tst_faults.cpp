// Every database operation under the faults of a network and a server, through the
// fault-injecting proxy: each ends as its failure handling says, within its bound,
// reports what is true, and the caller's second attempt neither fails nor doubles.
// The time checks are upper bounds on waits (a hang shows), with wide margins.

#include "FaultOps.h"
#include "FaultProxy.h"
#include "HostLookup.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::FaultOp;
using test::FaultProxy;
using test::OpResult;

Q_DECLARE_METATYPE(zelmar::test::FaultOp)

namespace {

constexpr int waitSeconds = 2; // every single wait of the operations under test
constexpr qint64 marginMs = 1500;

const QString connectBox = u"Error Code 1005. Program will be using DEFAULT configuration values"_s;
const QString rowsBox = u"Error Code 1006. Program will be using DEFAULT configuration values"_s;

// A seeded database reached through a proxy, and the operations' Database.
struct Bench
{
    test::TestDatabase tdb;
    FaultProxy proxy{test::tlsServer()};
    test::ScriptedDialogs dialogs;
    db::Database database{&dialogs, db::Timeouts{waitSeconds, waitSeconds, waitSeconds}};

    bool ok() { return tdb.ok() && proxy.ok() && test::seedFaultData(tdb); }
    db::Profile profile() const
    {
        db::Profile p = tdb.profile();
        p.server = proxy.serverValue();
        return p;
    }
    bool reset()
    {
        dialogs.shown.clear();
        return test::execAll(tdb, {u"TRUNCATE snPN"_s, u"TRUNCATE portCONFIG"_s, u"TRUNCATE zSQL"_s}) &&
               test::seedFaultData(tdb);
    }
    QStringList boxes() const
    {
        QStringList out;
        for (const auto& s : dialogs.shown)
            out.append(s.title);
        return out;
    }
    QStringList routines()
    {
        QStringList out;
        for (const auto& r : test::errorRecords(tdb))
            out.append(r.first);
        return out;
    }
};

OpResult timed(const FaultOp& op, db::Database& d, const db::Profile& p, qint64& ms)
{
    QElapsedTimer clock;
    clock.start();
    OpResult r = op.call(d, p);
    ms = clock.elapsed();
    return r;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Faults met before the operation's work: it fails at once, writes nothing, leaves its
    // outputs alone, says what its failure handling says, and waits no longer than one wait.
    void beforeTheWork_data()
    {
        QTest::addColumn<FaultOp>("op");
        QTest::addColumn<QString>("fault");
        for (const FaultOp& op : test::faultOps()) {
            for (const char* fault :
                 {"server down", "wrong password", "never answers", "table missing", "bad column"}) {
                if (QByteArray(fault) == "bad column" && op.spoil.isEmpty())
                    continue;
                QTest::addRow("%s, %s", op.name, fault) << op << QString::fromLatin1(fault);
            }
        }
    }
    void beforeTheWork()
    {
        QFETCH(FaultOp, op);
        QFETCH(QString, fault);
        Bench b;
        QVERIFY2(b.ok(), qPrintable(b.tdb.error()));

        // What the operation hands back when it reads nothing.
        b.proxy.setPlan({FaultProxy::Fault::Refuse});
        const OpResult untouched = op.call(b.database, b.profile());
        b.proxy.setPlan({});
        b.dialogs.shown.clear();

        db::Profile p = b.profile();
        bool recorded = false;
        if (fault == u"server down"_s) {
            b.proxy.setPlan({FaultProxy::Fault::Refuse});
        } else if (fault == u"wrong password"_s) {
            p.password += u"x"_s;
        } else if (fault == u"never answers"_s) {
            b.proxy.setPlan({FaultProxy::Fault::Blackhole});
        } else if (fault == u"table missing"_s) {
            QVERIFY(b.tdb.exec(op.box || QByteArray(op.name).contains("MAP") ||
                                       QByteArray(op.name).contains("PORT")
                                   ? u"DROP TABLE portCONFIG"_s
                                   : u"DROP TABLE snPN"_s));
            recorded = op.routine != nullptr;
        } else {
            QVERIFY(test::execAll(b.tdb, op.spoil));
            recorded = op.routine != nullptr;
        }
        const QStringList before = fault == u"table missing"_s ? QStringList() : test::faultState(b.tdb);

        qint64 ms = 0;
        const OpResult r = timed(op, b.database, p, ms);
        b.proxy.setPlan({});

        if (r.status != -1)
            QCOMPARE(r.status, 1);
        else if (fault != u"bad column"_s) // a read keeps what it read before a bad value
            QCOMPARE(r.out, untouched.out);
        if (!(op.rowByRow && fault == u"bad column"_s) && fault != u"table missing"_s)
            QCOMPARE(test::faultState(b.tdb), before);
        QCOMPARE(b.routines(), recorded ? QStringList{QString::fromLatin1(op.routine)} : QStringList());
        QStringList boxes;
        if (op.box)
            boxes.append(fault == u"bad column"_s ? rowsBox : connectBox);
        QCOMPARE(b.boxes(), boxes);
        // One wait at most: a server that did not answer gets no error record attempt.
        QVERIFY2(ms <= waitSeconds * 1000 + marginMs, qPrintable(QString::number(ms)));
    }

    // The connection cut at each statement of the operation in turn, the statement lost
    // on its way or only its reply; and the server going silent after the last statement.
    // A success reported is a success stored; a failure reported of a change made in one
    // save leaves nothing changed; the caller's second attempt succeeds and the work is
    // done exactly once.
    void cutAtEveryStatement_data()
    {
        QTest::addColumn<FaultOp>("op");
        QTest::addColumn<QString>("mode");
        for (const FaultOp& op : test::faultOps()) {
            for (const char* mode : {"statement lost", "reply lost", "silent after the last"})
                QTest::addRow("%s, %s", op.name, mode) << op << QString::fromLatin1(mode);
        }
    }
    void cutAtEveryStatement()
    {
        QFETCH(FaultOp, op);
        QFETCH(QString, mode);
        Bench b;
        QVERIFY2(b.ok(), qPrintable(b.tdb.error()));
        const QStringList before = test::faultState(b.tdb);

        // The undisturbed run: what it hands back and stores, and how many statements it takes.
        b.proxy.setPlan({});
        const OpResult clean = op.call(b.database, b.profile());
        const int statements = b.proxy.statements();
        QVERIFY(statements > 0);
        QVERIFY(clean.status != 1);
        const QStringList after = test::faultState(b.tdb);
        QCOMPARE(after != before, op.writes);

        const bool silent = mode == u"silent after the last"_s;
        for (int k = silent ? statements : 1; k <= statements; ++k) {
            QVERIFY(b.reset());
            FaultProxy::Plan plan;
            plan.fault = silent ? FaultProxy::Fault::Stall : FaultProxy::Fault::Cut;
            plan.statement = k;
            plan.delivered = mode != u"statement lost"_s;
            b.proxy.setPlan(plan);
            qint64 ms = 0;
            const OpResult first = timed(op, b.database, b.profile(), ms);
            const QByteArray at = "statement " + QByteArray::number(k);
            QVERIFY2(b.proxy.triggered(), at.constData());
            QVERIFY2(ms <= (silent ? waitSeconds * 1000 : 0) + marginMs,
                     QByteArray(at + ", ms " + QByteArray::number(ms)).constData());

            const QStringList state = test::faultState(b.tdb);
            if (first.status == 0) {
                QVERIFY2(state == after, at.constData());
                QCOMPARE(first.out, clean.out);
            } else if (op.writes && !op.rowByRow) {
                QVERIFY2(state == before, at.constData());
            }
            if (first.status == 1 || (first.status == -1 && first.out != clean.out)) {
                const OpResult second = op.call(b.database, b.profile());
                QVERIFY2(second.status != 1, at.constData());
                QCOMPARE(second.out, clean.out);
            }
            QVERIFY2(test::faultState(b.tdb) == after, at.constData());
        }
    }

    // One operator action draws every wait from one budget: a server that never answers
    // costs the budget for both attempts together, and one that answers slowly is cut off.
    void oneActionIsBounded_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::newRow("never answers") << 0;
        QTest::newRow("one packet every 400 ms") << 400;
    }
    void oneActionIsBounded()
    {
        QFETCH(int, delayMs);
        Bench b;
        QVERIFY2(b.ok(), qPrintable(b.tdb.error()));
        db::Database database(&b.dialogs, db::Timeouts{5, 5, 5});
        FaultProxy::Plan plan;
        plan.fault = delayMs ? FaultProxy::Fault::None : FaultProxy::Fault::Blackhole;
        plan.delayMs = delayMs;
        b.proxy.setPlan(plan);
        const FaultOp op = test::faultOps().at(9); // writePORTinfo: many statements
        QCOMPARE(op.name, "writePORTinfo");
        constexpr std::chrono::milliseconds total{3000};
        QElapsedTimer clock;
        clock.start();
        OpResult r;
        {
            const db::ActionBudget::Scope action(database.budget(), total);
            r = op.call(database, b.profile());
            if (r.status != 0)
                r = op.call(database, b.profile());
            QVERIFY(database.budget()->exhausted());
        }
        QCOMPARE(r.status, 1);
        QVERIFY2(clock.elapsed() <= total.count() + marginMs, qPrintable(QString::number(clock.elapsed())));
        // Outside an action only each single wait is bounded again.
        QVERIFY(!database.budget()->remaining());
    }

    // A server name is looked up within the bound; names that cannot be resolved fail.
    void hostLookup()
    {
        QCOMPARE(db::lookUpHost(u"127.0.0.1"_s, std::chrono::seconds(1)),
                 std::optional<QString>(u"127.0.0.1"_s));
        QCOMPARE(db::lookUpHost(u"localhost"_s, std::chrono::seconds(1)),
                 std::optional<QString>(u"localhost"_s));
        QVERIFY(!db::lookUpHost(u"no-such-host.invalid"_s, std::chrono::seconds(2)));
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
