// Every database operation under the faults of a network and a server, through the
// fault-injecting proxy: each ends as its failure handling says, reports what is true, and
// the caller's second attempt neither fails nor doubles. And what the operations send, seen by
// the same proxy: only statements that every supported server accepts.

#include "Account.h"
#include "DbFixtures.h"
#include "FaultProxy.h"
#include "InternetProbe.h"

#include <QRegularExpression>

#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::FaultOp;
using test::FaultProxy;
using Result = std::pair<int, QString>;

Q_DECLARE_METATYPE(zelmar::test::FaultOp)

namespace {

constexpr int waitSeconds = 2; // every single wait of the operations under test

// A seeded database reached through a proxy.
struct Bench
{
    test::TestDatabase tdb;
    FaultProxy proxy{test::tlsServer()};
    test::ScriptedDialogs dialogs;
    test::Caller caller{db::Database{&dialogs, db::Timeouts{waitSeconds, waitSeconds, waitSeconds}}, {}, {}};

    bool ok()
    {
        caller.database.history = {u"OP1"_s, u"AB"_s, u"Acme"_s, db::HistoryTable::Present};
        caller.profile = tdb.profile();
        caller.profile.server = proxy.serverValue();
        return tdb.ok() && proxy.ok() && test::seedFaultData(tdb);
    }
    Result run(const FaultOp& op)
    {
        dialogs.shown.clear();
        return test::run(op, caller);
    }
};

struct NoInternet : InternetProbe
{
    void checkINTERNET(qint16& connected) override { connected = 1; }
};

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Faults met before the operation's work: it fails at once, writes nothing, leaves its
    // outputs alone, and says what its failure handling says.
    void beforeTheWork_data()
    {
        QTest::addColumn<FaultOp>("op");
        QTest::addColumn<QString>("fault");
        for (const FaultOp& op : test::faultOps())
            for (const char* fault : {"server down", "never answers", "table missing", "bad value"})
                if (QByteArray(fault) != "bad value" || !op.spoil.isEmpty())
                    QTest::addRow("%s, %s", op.name, fault) << op << QString::fromLatin1(fault);
    }
    void beforeTheWork()
    {
        QFETCH(FaultOp, op);
        QFETCH(QString, fault);
        Bench b;
        QVERIFY2(b.ok(), qPrintable(b.tdb.error()));
        const QString proxied = b.caller.profile.server;
        b.caller.profile.server = u"127.0.0.1:"_s + QString::number(test::deadPort());
        const QString untouched = b.run(op).second; // what it hands back when it reads nothing
        if (fault != u"server down"_s)
            b.caller.profile.server = proxied;

        const bool badValue = fault == u"bad value"_s, missing = fault == u"table missing"_s;
        if (fault == u"never answers"_s)
            b.proxy.setPlan({FaultProxy::Fault::Blackhole});
        else if (missing || badValue)
            QVERIFY(test::execAll(
                b.tdb, missing ? QStringList{u"DROP TABLE "_s + QString::fromLatin1(op.table)} : op.spoil));
        const QStringList before = missing ? QStringList() : test::faultState(b.tdb);

        const auto [status, out] = b.run(op);
        QCOMPARE(b.proxy.connections() > 0, fault != u"server down"_s); // the fault was met, not passed by
        b.proxy.setPlan({});
        if (status != -1)
            QCOMPARE(status, 1);
        else if (!badValue) // a read keeps what it read before a bad value
            QCOMPARE(out, untouched);
        if (!missing && !(op.has(u'r') && badValue))
            QCOMPARE(test::faultState(b.tdb), before);
        QCOMPARE(test::errorRecords(b.tdb),
                 QStringList((missing || badValue) && !op.record.isEmpty(), op.record));
        QCOMPARE(b.dialogs.shown.size(), op.has(u'b') ? 1 : 0);
        QVERIFY(!op.has(u'b') || b.dialogs.shown[0].title.startsWith(badValue ? u"Error Code 1006."_s
                                                                              : u"Error Code 1005."_s));
    }

    // The connection cut at each statement of the operation in turn, the statement lost on its
    // way or only its reply; and the server going silent after the last statement. A success
    // reported is a success stored; a failure reported of a change made in one save leaves
    // nothing changed; the caller's second attempt succeeds and the work is done exactly once.
    void cutAtEveryStatement_data()
    {
        QTest::addColumn<FaultOp>("op");
        QTest::addColumn<QString>("mode");
        for (const FaultOp& op : test::faultOps())
            for (const char* mode : {"statement lost", "reply lost", "silent after the last"})
                QTest::addRow("%s, %s", op.name, mode) << op << QString::fromLatin1(mode);
    }
    void cutAtEveryStatement()
    {
        QFETCH(FaultOp, op);
        QFETCH(QString, mode);
        Bench b;
        QVERIFY2(b.ok(), qPrintable(b.tdb.error()));
        const QStringList before = test::faultState(b.tdb);
        const auto [cleanStatus, clean] = b.run(op);
        const int statements = b.proxy.statements();
        QVERIFY(statements > 0);
        QVERIFY(cleanStatus != 1);
        const QStringList after = test::faultState(b.tdb), changed = test::faultState(b.tdb, false);
        QCOMPARE(after != before, op.has(u'w'));

        const bool silent = mode == u"silent after the last"_s;
        for (int k = silent ? statements : 1; k <= statements; ++k) {
            QVERIFY(test::seedFaultData(b.tdb));
            b.proxy.setPlan(
                {silent ? FaultProxy::Fault::Stall : FaultProxy::Fault::Cut, k, mode != u"statement lost"_s});
            const auto [status, out] = b.run(op);
            const QByteArray at = "statement " + QByteArray::number(k);
            QVERIFY2(b.proxy.triggered(), at.constData());
            const QStringList state = test::faultState(b.tdb);
            // The history write lost on its way: the change stands, said to lack its history.
            const bool noHistory = test::errorRecords(b.tdb).join(u',').startsWith(db::historyRoutine);
            if (status == 0) {
                QVERIFY2(noHistory ? test::faultState(b.tdb, false) == changed : state == after,
                         at.constData());
                QCOMPARE(out, clean);
            } else if (op.has(u'w') && !op.has(u'r')) {
                QVERIFY2(state == before, at.constData());
            }
            if (status == 1 || (status == -1 && out != clean)) {
                const auto [again, againOut] = b.run(op);
                QVERIFY2(again != 1, at.constData());
                QCOMPARE(againOut, clean);
            }
            QVERIFY2(noHistory ? test::faultState(b.tdb, false) == changed : test::faultState(b.tdb) == after,
                     at.constData());
        }
    }

    // The operations of one action share one connection. One that the server has closed meanwhile
    // is replaced without a failure.
    void oneConnectionPerAction()
    {
        Bench b;
        QVERIFY2(b.ok(), qPrintable(b.tdb.error()));
        const db::ActionBudget::Scope action(b.caller.database.budget());
        const auto run = [&](int op) {
            return test::run(test::faultOps().at(op), b.caller).first;
        };
        QCOMPARE(QList<int>({run(1), run(8), run(3)}), QList<int>({0, -1, 0})); // load, then a save
        QCOMPARE(b.proxy.connections(), 1);
        QVERIFY(b.tdb.exec(u"KILL "_s + QString::number(b.caller.database.budget()->lastThread())));
        QVERIFY(test::seedFaultData(b.tdb)); // PN-B under its own name again
        QCOMPARE(run(1), 0);
        QCOMPARE(b.proxy.connections(), 2);
    }

    // A server that trickles its answer, each packet inside the read timeout, is cut off when the
    // call has spent what the action has left.
    void watchdogShutsTheWatchedSocket()
    {
        int fds[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        const timeval limit{3, 0}; // a watchdog that fails shows as a timeout, not a hang
        QCOMPARE(::setsockopt(fds[0], SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit), 0);
        db::ActionBudget budget;
        const db::ActionBudget::Scope action(&budget, std::chrono::milliseconds(200));
        const int ticket = budget.watch(fds[0]);
        budget.callStarted();
        char c = 0;
        QCOMPARE(::recv(fds[0], &c, 1, 0), 0);
        budget.callEnded(false);
        budget.unwatch(ticket);
        ::close(fds[0]);
        ::close(fds[1]);
    }

    // A slow link is no dead server: an action whose server answers every call runs to its end,
    // however long its round trips add up to. A 49-port save at 100 ms a round trip, in an action
    // of half a second.
    void slowServerRunsToItsEnd()
    {
        Bench b;
        QVERIFY2(b.ok(), qPrintable(b.tdb.error()));
        for (int k = 5; k <= db::portSlots; ++k)
            QVERIFY(b.tdb.exec(u"INSERT INTO portCONFIG (mapPORT, mapNUM) VALUES (2, ?)"_s, {k}));
        const test::Ports ports = test::Ports::of(db::portSlots, 70);
        b.proxy.setPlan({.delayMs = 50});
        qint16 map = 0, written = 1, ported = 1, valid = 1;
        {
            const db::ActionBudget::Scope action(b.caller.database.budget(), std::chrono::milliseconds(500));
            QString pn = u"PN-B"_s;
            b.caller.table = u"snPN"_s;
            test::edited.writeinfo(b.caller, pn, pn, map, written);
            b.caller.table = u"portCONFIG"_s;
            ports.write(b.caller, &db::Database::SQL_writePORTinfo, map, db::portSlots, ported);
            b.caller.table = u"snPN"_s;
            b.caller(&db::Database::SQL_updatePN, pn, pn, qint16(1), valid);
        }
        QCOMPARE(QList<qint16>({written, ported, valid}), QList<qint16>({0, 0, 0}));
        QCOMPARE(b.tdb.scalar(u"SELECT snVALID FROM snPN WHERE partNUM = 'PN-B'"_s).toInt(), 1);
    }

    // Every statement sent is one of the forms that the README lists as accepted by MySQL 5.5 to
    // 8.x and MariaDB 10.x: every operation, done and failing on a bad value, over tables with and
    // without a primary key, and the sign-in.
    void everyStatementIsAListedForm()
    {
        FaultProxy proxy;
        test::TestDatabase central({u"central.sql"_s});
        QVERIFY2(proxy.ok() && central.ok(), qPrintable(central.error()));
        QVERIFY(central.exec(u"INSERT INTO Customers (Operator_Code, custDB) VALUES ('OP1', 'x')"_s));
        for (const bool keyless : {false, true}) {
            test::TestDatabase customer;
            QVERIFY2(customer.ok(), qPrintable(customer.error()));
            // A customer's keyless MyISAM tables, with a column the program does not know (NULL in
            // every row), so that saves and deletes find rows by every value.
            for (const QString& t : {u"snPN"_s, u"portCONFIG"_s})
                QVERIFY(!keyless || customer.exec(u"ALTER TABLE `%1` DROP COLUMN id, "
                                                  u"ADD note VARCHAR(10) NULL, ENGINE=MyISAM"_s.arg(t)));
            test::Caller caller{db::Database(), customer.profile(), {}};
            caller.profile.server = proxy.serverValue();
            for (const FaultOp& op : test::faultOps()) {
                // Done, and failing on a bad value: error records and a rolled-back append.
                QVERIFY(test::seedFaultData(customer));
                QVERIFY(test::run(op, caller).first != 1);
                QVERIFY(test::seedFaultData(customer) && test::execAll(customer, op.spoil));
                test::run(op, caller);
            }
        }
        {
            // The change history's probe and read (its write is one of the operations above).
            test::TestDatabase customer({u"customer.sql"_s, u"history.sql"_s});
            db::Profile p = customer.profile();
            p.server = proxy.serverValue();
            QList<db::HistoryEntry> entries;
            QVERIFY(customer.ok() && db::findHistoryTable(p, {}) == db::HistoryTable::Present &&
                    db::readHistory(p, {}, u"PN-A"_s, entries));
        }
        test::ScriptedDialogs dialogs;
        test::RecordingProgramEnd end;
        NoInternet internet;
        db::Database database;
        signin::CentralAccounts accounts(database, dialogs, end, internet);
        const test::ServerInfo& admin = central.server();
        db::AccountValues account;
        qint16 result = -1;
        accounts.SQL_readCUSTinfo(u"OP1"_s, account, proxy.serverValue(), central.name(), u"Customers"_s,
                                  admin.user, admin.password, result);
        QCOMPARE(result, qint16(0));
        accounts.SQL_writeLOGIN(proxy.serverValue(), central.name(), u"CustLogin"_s, admin.user,
                                admin.password, 1, u"OP1"_s, u"o"_s, u"c"_s, u"m"_s, u"1.2.0"_s, result);
        QCOMPARE(result, qint16(0));

        const QString id = uR"(`(?:[^`]|``)+`)"_s;
        // One column of a saved row's WHERE: its key value, or in a table without a key every fetched value.
        const QString term =
            u"(?:%1 <=> \\?|%1 = \\?|%1 IS NULL|"
            u"%1 = \\? AND CAST\\(CONVERT\\(%1 USING utf8mb4\\) AS BINARY\\) = CAST\\(\\? AS BINARY\\))"_s
                .arg(id);
        const QStringList forms{
            u"Select \\* FROM %1(?: WHERE \\w+=\\?)?"_s.arg(id),
            u"Select `partNUM` FROM %1"_s.arg(id),
            u"Select \\* FROM %1 USE INDEX \\(\\) WHERE `partNUM` = \\? OR `partNUM` IS NULL"_s.arg(id),
            u"Select \\* FROM %1 USE INDEX \\(\\) WHERE NOT \\(CAST\\(%1 AS BINARY\\) <=> '0'\\)"_s.arg(id),
            u"INSERT INTO %1 \\(%1(?:,%1)*\\) VALUES %2(?:,%2)*"_s.arg(id, u"\\(\\?(?:,\\?)*\\)"_s),
            u"UPDATE %1 SET %1=\\?(?:,%1=\\?)* WHERE %2(?: AND %2)*(?: LIMIT 1)?"_s.arg(id, term),
            u"UPDATE %1 SET %2(?:,%2)* WHERE %1 IN \\(\\?(?:,\\?)*\\)"_s.arg(
                id, u"%1=CASE %1(?: WHEN \\? THEN \\?)+ ELSE %1 END"_s.arg(id)),
            u"DELETE FROM %1 WHERE %2(?: AND %2)*(?: LIMIT 1)?"_s.arg(id, term),
            u"DELETE FROM %1 WHERE %1 IN \\(\\?(?:,\\?)*\\)"_s.arg(id),
            u"START TRANSACTION|COMMIT|ROLLBACK"_s,
            u"Select \\* FROM %1 WHERE 1=0"_s.arg(id),
            u"Select \\* FROM %1 WHERE partNUM=\\? ORDER BY id DESC LIMIT 500"_s.arg(id),
            u"INSERT INTO %1 \\(%1(?:,%1)*\\) VALUES \\(NOW\\(\\)(?:,\\?)*\\)(?:,\\(NOW\\(\\)(?:,\\?)*\\))*"_s
                .arg(id),
            u"SELECT COUNT\\(\\*\\) FROM information_schema.PROCESSLIST WHERE ID = \\? AND COMMAND <> 'Sleep'"_s,
        };
        const QRegularExpression listed(u"\\A(?:(?:"_s + forms.join(u")|(?:"_s) + u"))\\z"_s);
        const QStringList sent = proxy.sent();
        QStringList outside;
        for (const QString& sql : sent)
            if (!listed.match(sql.trimmed()).hasMatch())
                outside.append(sql);
        outside.removeDuplicates();
        QVERIFY2(sent.size() > 100, qPrintable(QString::number(sent.size())));
        QVERIFY2(outside.isEmpty(), qPrintable(u"Forms outside the list:\n"_s + outside.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
