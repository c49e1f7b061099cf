// The change history: the rows a change makes and how its values read; on the real server a
// save's history with its transaction, the link cut or the history refused, and the default marks.

#include "DbFixtures.h"
#include "FaultProxy.h"

using namespace Qt::StringLiterals;
using namespace zelmar;
using db::HistoryRow;
using db::PortRowValues;

namespace {

// "port|field|old|new" per row, rows joined by ", ".
QString said(const QList<HistoryRow>& rows)
{
    QStringList out;
    for (const HistoryRow& r : rows)
        out << test::texts({r.mapNUM, r.field, r.oldVALUE, r.newVALUE}).join(u'|');
    return out.join(u", "_s);
}

const db::HistoryAuthor signer{u"OP7"_s, u"JD"_s, u"Acme Ltd"_s, db::HistoryTable::Present};

// New values for the 4 ports of PN-A (map 1 of the fault data), one text not plain ASCII: the rows
// are stored one by one, in a transaction.
qint16 savePorts(test::Caller& c)
{
    test::Ports ports = test::Ports::of(4, 50);
    ports.portNAME[0] = u"Pört 1"_s;
    qint16 status = 1;
    c.database.beginSave(u"PN-A"_s);
    ports.write(c, &db::Database::SQL_writePORTinfo, 1, 4, status);
    return status;
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every port column in order, a float changed in its last bit or to -0, a text emptied (''
    // read, never NULL); in the record a rename first, every row under the new name, snEXTENDER
    // never saved.
    void valueChanges()
    {
        const PortRowValues s{u"In"_s, 1, 2, 1, 3, 1.5f, 2.5f, 4, 2, 0.25f, 1, 0.05f, 0.0f, 0};
        const PortRowValues w{QString(), 2, 3,    0,     4, std::nextafter(1.5f, 2.0f), 16777216.0f, 5, 3,
                              1e-07f,    0, 0.5f, -0.0f, 1};
        const QList<HistoryRow> made = db::portChanges(u"PN-1"_s, 3, s, w);
        QCOMPARE(said(made), u"3|portNAME|In|, 3|UOM|1|2, 3|unitSCALE|2|3, 3|acTIVE|1|0, 3|Range|3|4, "
                             u"3|minSPEC|1.5|1.5000001, 3|maxSPEC|2.5|16777216, 3|numAVG|4|5, 3|mspeed|2|3, "
                             u"3|timeDELAY|0.25|1e-07, 3|ssON|1|0, 3|ssTOL|0.05|0.5, 3|ssMAXT|0|-0, "
                             u"3|ssREQD|0|1"_s);
        QVERIFY(!made[0].newVALUE.isNull());
        const db::PnValues stored{u"PN-1"_s, u"Name"_s, 0, 1, 0, 7, u"##"_s, 2, 0, 20.0f, 0, u"G"_s, u"B"_s};
        db::PnValues written = stored;
        written.snEXTENDER = 99;
        written.curPN = u"PN-9"_s;
        written.snBAD = u"B2"_s;
        const QList<HistoryRow> record = db::pnChanges(stored, written);
        QCOMPARE(said(record), u"0|partNUM|PN-1|PN-9, 0|snBAD|B|B2"_s);
        QCOMPARE(record[0].action + record[1].partNUM, u"RENAMEPN-9"_s);
    }

    // Port rows saved one by one in a transaction, the link cut at each statement in turn: a save
    // reported stands with its history exactly once, a failed one leaves neither, and the second
    // attempt stores both once. A refused history write leaves its error record, the save standing.
    void withTheTransaction_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("statement lost") << 0;
        QTest::newRow("reply lost") << 1;
        QTest::newRow("history refused") << 2;
    }
    void withTheTransaction()
    {
        QFETCH(int, fault);
        test::TestDatabase tdb({u"customer.sql"_s});
        test::FaultProxy proxy;
        test::Caller c{db::Database(), tdb.profile(), u"portCONFIG"_s};
        c.profile.server = proxy.serverValue();
        c.database.history = signer;
        QVERIFY(proxy.ok() && test::seedFaultData(tdb));
        const QStringList before = test::faultState(tdb);
        QCOMPARE(savePorts(c), 0);
        const int statements = proxy.statements();
        const QStringList after = test::faultState(tdb);
        QCOMPARE(after.filter(u"OP7|UPDATE|PN-A|"_s).size(), 4 * 14); // every value of the 4 ports, once
        if (fault == 2) {
            const QStringList saved = test::faultState(tdb, false);
            QVERIFY(test::seedFaultData(tdb) && tdb.exec(test::refusal(u"zHISTORY"_s, u"INSERT"_s)));
            QCOMPARE(savePorts(c), 0);
            QCOMPARE(test::faultState(tdb), saved);
            QCOMPARE(test::errorRecords(tdb),
                     QStringList{u"SQL_writeHISTORY|History row missing PN-A IE = 2"_s});
            return;
        }
        for (int k = 1; k <= statements; ++k) {
            QVERIFY(test::seedFaultData(tdb));
            proxy.setPlan({test::FaultProxy::Fault::Cut, k, fault == 1});
            const QByteArray at = "statement " + QByteArray::number(k);
            if (savePorts(c) != 0) {
                QVERIFY2(test::faultState(tdb) == before, at.constData());
                QVERIFY2(savePorts(c) == 0, at.constData());
            }
            QVERIFY2(test::faultState(tdb) == after, at.constData());
            QVERIFY2(test::errorRecords(tdb).isEmpty(), at.constData());
        }
    }

    // The default marks taken part-way, then a failure: every mark taken gets its row, the saved
    // PN's own too when its record does not set it again, and none a mark that stayed.
    void marksTakenThenFailed_data()
    {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("a later mark refused")
            << u"OLD.partNUM = 'PN-C'"_s << QStringList{u"PN-A|1|0"_s, u"PN-B|1|0"_s};
        QTest::newRow("the record refused")
            << u"NEW.snVALID = 0"_s << QStringList{u"PN-A|1|0"_s, u"PN-C|1|0"_s, u"PN-B|1|0"_s};
    }
    void marksTakenThenFailed()
    {
        QFETCH(QString, refused);
        QFETCH(QStringList, rows);
        test::TestDatabase tdb({u"customer.sql"_s});
        QVERIFY(test::seedFaultData(tdb) &&
                test::execAll(tdb, {u"UPDATE snPN SET pnDEFAULT = 1"_s,
                                    test::refusal(u"snPN"_s, u"UPDATE"_s, refused)}));
        test::Caller c{db::Database(), tdb.profile(), u"snPN"_s};
        c.database.history = signer;
        c.database.beginSave(u"PN-B"_s);
        // As the editor saves: a failed write once more, the record only after the marks (here it
        // fails both times when it runs at all).
        qint16 status = 1;
        for (int attempt = 0; attempt < 2 && status != 0; ++attempt)
            c(&db::Database::SQL_writePNdef, status);
        QString pn = u"PN-B"_s;
        qint16 map = 0;
        for (int attempt = 0, marksTaken = status == 0; attempt < 2 && marksTaken; ++attempt)
            test::edited.writeinfo(c, u"PN-B"_s, pn, map, status);
        QCOMPARE(test::lines(tdb,
                             u"SELECT partNUM, oldVALUE, newVALUE FROM zHISTORY WHERE field = 'pnDEFAULT' "
                             u"ORDER BY id"_s),
                 rows);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
