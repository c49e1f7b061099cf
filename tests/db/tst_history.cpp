// The change history: which rows a change makes and how its values read, and on the real
// server the table's detection, the rows written and read back, and a write that fails.

#include "DbFixtures.h"
#include "History.h"

using namespace Qt::StringLiterals;
using namespace zelmar;
using db::HistoryRow;
using db::PortRowValues;

Q_DECLARE_METATYPE(zelmar::db::PortRowValues)
Q_DECLARE_METATYPE(zelmar::db::PnValues)

namespace {

// "port|field|old|new" per row; NULL as "NULL".
QStringList said(const QList<HistoryRow>& rows)
{
    QStringList out;
    for (const HistoryRow& r : rows)
        out << test::texts({r.mapNUM, r.field, r.oldVALUE, r.newVALUE}).join(u'|');
    return out;
}

const db::HistoryAuthor author{u"OP7"_s, u"JD"_s, u"Acme Ltd"_s, db::HistoryTable::Present};

QList<HistoryRow> changes(const QString& pn, int n)
{
    QList<HistoryRow> rows;
    for (int i = 1; i <= n; ++i)
        rows << HistoryRow{u"UPDATE"_s,           pn, qint16(i % 50), u"minSPEC"_s, QString::number(i),
                           QString::number(i + 1)};
    return rows;
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portRow_data()
    {
        QTest::addColumn<PortRowValues>("stored");
        QTest::addColumn<PortRowValues>("written");
        QTest::addColumn<QStringList>("rows");
        const PortRowValues s{u"In"_s, 1, 2, 1, 3, 1.5f, 2.5f, 4, 2, 0.25f, 1, 0.05f, 2.0f, 0};
        QTest::newRow("written unchanged: no row") << s << s << QStringList();
        QTest::newRow("every column, in column order")
            << s
            << PortRowValues{u"Out"_s, 2, 3, 0, 4, 12345.6f, 3000.0f, 5, 3, 1e-07f, 0, 0.5f, 16777216.0f, 1}
            << QStringList{u"3|portNAME|In|Out"_s,      u"3|UOM|1|2"_s,    u"3|unitSCALE|2|3"_s,
                           u"3|acTIVE|1|0"_s,           u"3|Range|3|4"_s,  u"3|minSPEC|1.5|12345.6"_s,
                           u"3|maxSPEC|2.5|3000"_s,     u"3|numAVG|4|5"_s, u"3|mspeed|2|3"_s,
                           u"3|timeDELAY|0.25|1e-07"_s, u"3|ssON|1|0"_s,   u"3|ssTOL|0.05|0.5"_s,
                           u"3|ssMAXT|2|16777216"_s,    u"3|ssREQD|0|1"_s};
        PortRowValues ulp = s;
        ulp.minSPEC = std::nextafter(1.5f, 2.0f);
        ulp.portNAME = u"in"_s;
        QTest::newRow("one bit of a float, letter case of a text")
            << s << ulp << QStringList{u"3|portNAME|In|in"_s, u"3|minSPEC|1.5|1.5000001"_s};
        PortRowValues emptied = s;
        emptied.portNAME = QString();
        QTest::newRow("a text emptied is '' not NULL") << s << emptied << QStringList{u"3|portNAME|In|"_s};
        PortRowValues zero = s, negative = s;
        zero.ssMAXT = 0.0f;
        negative.ssMAXT = -0.0f;
        QTest::newRow("0 and -0 are not the same bits")
            << zero << negative << QStringList{u"3|ssMAXT|0|-0"_s};
    }
    void portRow()
    {
        QFETCH(PortRowValues, stored);
        QFETCH(PortRowValues, written);
        QFETCH(QStringList, rows);
        const QList<HistoryRow> made = db::portChanges(u"PN-1"_s, 3, stored, written);
        QCOMPARE(said(made), rows);
        for (const HistoryRow& r : made)
            QVERIFY(r.action == u"UPDATE"_s && r.partNUM == u"PN-1"_s && !r.newVALUE.isNull());
    }

    void pnRecord_data()
    {
        QTest::addColumn<db::PnValues>("written");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("pn");
        const db::PnValues s{u"PN-1"_s, u"Name"_s, 0, 1, 0, 7, u"##"_s, 2, 0, 20.0f, 0, u"G"_s, u"B"_s};
        db::PnValues w = s;
        w.snEXTENDER = 99; // never written by a save
        QTest::newRow("unchanged, snEXTENDER aside") << w << QStringList() << u"PN-1"_s;
        w.curPN = u"PN-9"_s;
        w.autoTIME = 12345.6f;
        w.snBAD = u"B2"_s;
        QTest::newRow("renamed: the rename first, every row under the new name")
            << w << QStringList{u"0|partNUM|PN-1|PN-9"_s, u"0|autoTIME|20|12345.6"_s, u"0|snBAD|B|B2"_s}
            << u"PN-9"_s;
    }
    void pnRecord()
    {
        QFETCH(db::PnValues, written);
        QFETCH(QStringList, rows);
        QFETCH(QString, pn);
        const db::PnValues stored{u"PN-1"_s, u"Name"_s, 0, 1, 0, 7, u"##"_s, 2, 0, 20.0f, 0, u"G"_s, u"B"_s};
        const QList<HistoryRow> made = db::pnChanges(stored, written);
        QCOMPARE(said(made), rows);
        for (const HistoryRow& r : made)
            QCOMPARE(r.partNUM, pn);
        if (!made.isEmpty())
            QCOMPARE(made[0].action, u"RENAME"_s);
    }

    void tableFound_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("table there") << int(db::HistoryTable::Present);
        QTest::newRow("no table") << int(db::HistoryTable::Missing);
        QTest::newRow("server unreachable") << int(db::HistoryTable::Unknown);
    }
    void tableFound()
    {
        QFETCH(int, kind);
        const auto expected = db::HistoryTable(kind);
        test::TestDatabase tdb(expected == db::HistoryTable::Missing
                                   ? QStringList{u"customer.sql"_s}
                                   : QStringList{u"customer.sql"_s, u"history.sql"_s});
        QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
        db::Profile p = tdb.profile();
        if (expected == db::HistoryTable::Unknown)
            p.server = u"127.0.0.1:"_s + QString::number(test::deadPort());
        QCOMPARE(db::findHistoryTable(p, db::Timeouts{2, 2, 2}), expected);
    }

    // 501 rows of one part number and one of another in one call: the newest 500 of the first
    // come back newest first, signed and timed by the server; NULL stays NULL and '' stays ''.
    void writtenAndReadBack()
    {
        test::TestDatabase tdb({u"customer.sql"_s, u"history.sql"_s});
        QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
        const db::Profile p = tdb.profile();
        QList<HistoryRow> rows = changes(u"PN-1"_s, 499);
        rows << db::createRow(u"PN-1"_s, 42, u"PN-0"_s) << changes(u"PN-2"_s, 1)
             << HistoryRow{u"UPDATE"_s, u"PN-1"_s, 2, u"portNAME"_s, u"x"_s, u""_s};
        const QString now = u"SELECT CAST(NOW() AS CHAR)"_s;
        const QString before = tdb.scalar(now).toString();
        db::HistoryAuthor who = author;
        {
            db::Connection connection(p);
            QVERIFY(connection.open());
            QCOMPARE(db::writeHistory(connection, p, {}, who, rows), db::HistoryWrite::Written);
        }
        const QString after = tdb.scalar(now).toString();
        QList<db::HistoryEntry> read;
        QVERIFY(db::readHistory(p, {}, u"PN-1"_s, read));
        QCOMPARE(read.size(), db::historyShown);
        QCOMPARE(read[0].change, rows.last());
        QCOMPARE(read[1].change, rows[499]);
        QCOMPARE(read[499].change, rows[1]);
        for (const db::HistoryEntry& e : read) {
            QCOMPARE(test::texts({e.Operator_Code, e.Operator_Initials, e.Company}),
                     QStringList({u"OP7"_s, u"JD"_s, u"Acme Ltd"_s}));
            QVERIFY2(before <= e.changedAT && e.changedAT <= after, qPrintable(e.changedAT));
        }
        QCOMPARE(test::lines(tdb, u"SELECT field IS NULL, oldVALUE, newVALUE, newVALUE IS NULL FROM zHISTORY "
                                  u"WHERE action <> 'UPDATE' OR newVALUE = '' ORDER BY id"_s),
                 QStringList({u"1|PN-0|42|0"_s, u"0|x||0"_s}));
    }

    // Inside the caller's transaction: rolled back with it.
    void inTheCallersTransaction()
    {
        test::TestDatabase tdb({u"customer.sql"_s, u"history.sql"_s});
        QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
        db::HistoryAuthor who = author;
        {
            db::Connection connection(tdb.profile());
            QVERIFY(connection.open() && connection.transaction());
            QCOMPARE(db::writeHistory(connection, tdb.profile(), {}, who, changes(u"PN-1"_s, 3)),
                     db::HistoryWrite::Written);
            connection.rollback();
        }
        QCOMPARE(tdb.count(u"zHISTORY"_s), 0);
    }

    // A refused write is reported, stores nothing and leaves its error record; a table dropped
    // since the sign-in is silent and is not asked again.
    void notWritten_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("refused") << test::refusal(u"zHISTORY"_s, u"INSERT"_s) << int(db::HistoryWrite::Failed)
                                 << QStringList{u"SQL_writeHISTORY|History row missing PN-1 IE = 2"_s};
        QTest::newRow("table dropped")
            << u"DROP TABLE zHISTORY"_s << int(db::HistoryWrite::Skipped) << QStringList();
    }
    void notWritten()
    {
        QFETCH(QString, setup);
        QFETCH(int, result);
        QFETCH(QStringList, records);
        test::TestDatabase tdb({u"customer.sql"_s, u"history.sql"_s});
        QVERIFY2(tdb.ok() && tdb.exec(setup), qPrintable(tdb.error()));
        const db::Profile p = tdb.profile();
        db::Database database;
        db::HistoryAuthor who = author;
        const QList<HistoryRow> rows = changes(u"PN-1"_s, 2);
        db::HistoryWrite written = db::HistoryWrite::Written;
        {
            db::Connection connection(p);
            QVERIFY(connection.open());
            written = db::writeHistory(connection, p, {}, who, rows);
        }
        QCOMPARE(int(written), result);
        if (written == db::HistoryWrite::Failed)
            db::recordMissingHistory(database, p.server, p.database, p.user, p.password, rows);
        QCOMPARE(test::errorRecords(tdb), records);
        QCOMPARE(who.table == db::HistoryTable::Missing, written == db::HistoryWrite::Skipped);
        if (written == db::HistoryWrite::Failed)
            QCOMPARE(tdb.count(u"zHISTORY"_s), 0);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
