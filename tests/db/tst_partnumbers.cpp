// The eight part-number operations against the real server, grouped by operation.

#include "Database.h"
#include "OpsSupport.h"
#include "TestServer.h"

#include <QTest>

#include <tuple>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::Records;
using D = db::Database;

namespace {

const QString pnTable = u"snPN"_s;

// The thirteen fields that SQL_readPNinfo fills, in its order.
struct PnFields
{
    QString snNAME;
    qint16 pnDEFAULT = 0, mapPORT = 0, snACTIVE = 0, snBARCODE = 0;
    qint32 snEXTENDER = 0;
    QString snFORMAT;
    qint16 snLENGTH = 0, autoMEASURE = 0;
    float autoTIME = 0;
    qint16 reqRANDR = 0;
    QString snGOOD, snBAD;
};

// In read order: a failing compare names the index of the field.
QStringList fieldTexts(const PnFields& f)
{
    return test::texts({f.snNAME, f.pnDEFAULT, f.mapPORT, f.snACTIVE, f.snBARCODE, f.snEXTENDER, f.snFORMAT,
                        f.snLENGTH, f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD, f.snBAD});
}

// Values no read would produce, to tell written fields from untouched ones.
PnFields sentinel()
{
    return {u"old name"_s, -1,          -2, -3, -4, -5, u"old format"_s, -6, -7, -8.5f, -9,
            u"old good"_s, u"old bad"_s};
}

// As read from a row stored by insertFull().
PnFields stored()
{
    return {u"Widget"_s, 1, 7, 1, 1, 99999999, u"AB-####"_s, 7, 1, 2.5f, 1, u"G-1"_s, u"B-1"_s};
}

// What the editor writes; snEXTENDER and mapPORT are the caller's, which the writes ignore.
PnFields edited()
{
    return {u"New name"_s, 0, 55, 0, 1, 424242, u"ZZ-##"_s, 5, 1, 0.75f, 1, u"G-2"_s, u"B-2"_s};
}

bool insertFull(test::TestDatabase& tdb, const QString& pn)
{
    return tdb.exec(u"INSERT INTO snPN (partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, "
                    u"snEXTENDER, snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD) VALUES "
                    u"(?, 'Widget', 1, 7, 1, 1, 1, 99999999, 'AB-####', 7, 1, 2.5, 1, 'G-1', 'B-1')"_s,
                    {pn});
}

// `mark` is an SQL literal, so that it can be NULL.
bool insertPN(test::TestDatabase& tdb, const QString& pn, int mapPORT, int snVALID = 0,
              const QString& mark = u"0"_s)
{
    const QString sql = u"INSERT INTO snPN (partNUM, mapPORT, snVALID, pnDEFAULT) VALUES (?, ?, ?, %1)"_s;
    return tdb.exec(sql.arg(mark), {pn, mapPORT, snVALID});
}

// Calls on the part-number table; the three that carry the record's fields take them as one PnFields.
struct Ops : test::Caller
{
    explicit Ops(const db::Profile& profile, const QString& table = pnTable, Dialogs* dialogs = nullptr)
        : Caller(profile, table, dialogs)
    {}
    void readPNinfo(const QString& pn, PnFields& f, qint16& iERROR)
    {
        (*this)(&D::SQL_readPNinfo, pn, f.snNAME, f.pnDEFAULT, f.mapPORT, f.snACTIVE, f.snBARCODE,
                f.snEXTENDER, f.snFORMAT, f.snLENGTH, f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD,
                f.snBAD, iERROR);
    }
    void writeinfo(const QString& oldPN, QString& newPN, const PnFields& f, qint16& mapPORT, qint16& iERROR)
    {
        (*this)(&D::SQL_writeinfo, oldPN, newPN, f.snNAME, f.pnDEFAULT, f.snACTIVE, f.snBARCODE, f.snEXTENDER,
                f.snFORMAT, f.snLENGTH, f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD, f.snBAD, mapPORT,
                iERROR);
    }
    void writenewPN(const QString& errorPN, const QString& pn, const PnFields& f, qint16 mapPORT,
                    qint16& iERROR)
    {
        (*this)(&D::SQL_writenewPN, errorPN, pn, f.snNAME, f.pnDEFAULT, f.snACTIVE, f.snBARCODE, f.snEXTENDER,
                f.snFORMAT, f.snLENGTH, f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD, f.snBAD, mapPORT,
                iERROR);
    }
};

Records recordIf(bool failed, const QString& routine, const QString& summary)
{
    return failed ? Records{{routine, summary}} : Records();
}

} // namespace

class TestPartNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // ---- SQL_readPNlist ---------------------------------------------------

    void readPNlist_data()
    {
        QTest::addColumn<int>("rows");   // part numbers PN-001, PN-002, ... in row order
        QTest::addColumn<int>("nullAt"); // the row whose partNUM is NULL; 0: none
        QTest::addColumn<int>("num");
        QTest::addColumn<int>("filled"); // slots 1..filled hold the names, every other slot stays unset
        QTest::newRow("101 records: all counted, 100 stored") << 101 << 0 << 101 << 100;
        QTest::newRow("empty table: 0") << 0 << 0 << 0 << 0;
        QTest::newRow("NULL mid-list: stops there, counting it") << 4 << 3 << 3 << 2;
        QTest::newRow("NULL past slot 100: counted, never read") << 102 << 101 << 102 << 100;
    }

    void readPNlist()
    {
        QFETCH(int, rows);
        QFETCH(int, nullAt);
        QFETCH(int, num);
        QFETCH(int, filled);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(tdb.exec(u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) NULL"_s));
        const auto name = [](int i) -> QString {
            return u"PN-"_s + QString::number(i).rightJustified(3, u'0');
        };
        for (int i = 1; i <= rows; ++i)
            QVERIFY(i == nullAt ? tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES (NULL, 1)"_s)
                                : insertPN(tdb, name(i), 1));
        db::PnList list;
        list.fill(u"unset"_s);
        qint16 got = -1;
        Ops(tdb.profile())(&D::SQL_readPNlist, list, got);
        QCOMPARE(got, qint16(num));
        for (int i = 0; i <= db::pnListSlots; ++i)
            QCOMPARE(list[size_t(i)], i >= 1 && i <= filled ? name(i) : u"unset"_s);
        QCOMPARE(test::errorRecords(tdb), Records());
    }

    // ---- SQL_readPNinfo, SQL_checkPN --------------------------------------

    void readPNinfo_data()
    {
        // The table holds OTHER, then AB-1 (row 2, as insertFull stores it), then a second AB-1 with
        // mapPORT 9.
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("fieldsRead"); // of the thirteen, in read order; the rest keep their values
        QTest::addColumn<int>("reqRANDR");   // as read, when all are
        QTest::addColumn<int>("count");      // SQL_checkPN
        QTest::addColumn<int>("ie");         // the error record's "IE = n"; 0: found, none
        const QString pn = u"AB-1"_s;
        QTest::newRow("exact, reqRANDR 1") << QStringList() << pn << 13 << 1 << 2 << 0;
        QTest::newRow("reqRANDR 0") << test::spoil(pnTable, u"reqRANDR"_s, u"0"_s) << pn << 13 << 0 << 2 << 0;
        for (const char* value : {"2", "-1", "32767"})
            QTest::addRow("reqRANDR %s read as 0", value)
                << test::spoil(pnTable, u"reqRANDR"_s, QString::fromLatin1(value)) << pn << 13 << 0 << 2 << 0;
        QTest::newRow("letter case: the server's collation matches")
            << QStringList() << u"ab-1"_s << 13 << 1 << 2 << 0;
        QTest::newRow("trailing blank: the server's collation matches")
            << QStringList() << u"AB-1 "_s << 13 << 1 << 2 << 0;
        QTest::newRow("letter case, binary collation: not found")
            << QStringList{u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) COLLATE utf8mb4_bin NOT NULL"_s}
            << u"ab-1"_s << 0 << 0 << 0 << 1;
        QTest::newRow("quotes are data: not found") << QStringList() << u"x' OR '1'='1"_s << 0 << 0 << 0 << 1;
        QTest::newRow("no such part number") << QStringList() << u"AB-2"_s << 0 << 0 << 0 << 1;
        // A bad column mid-row: the fields before it are read, the record says IE = 2.
        const QList<std::tuple<const char*, QString, QString, QString, int>> bad = {
            {"snNAME NULL", u"snNAME"_s, u"NULL"_s, u"VARCHAR(25) NULL"_s, 0},
            {"mapPORT NULL", u"mapPORT"_s, u"NULL"_s, u"SMALLINT NULL"_s, 2},
            {"snEXTENDER beyond 32 bits", u"snEXTENDER"_s, u"3000000000"_s, u"BIGINT NOT NULL"_s, 5},
            {"snFORMAT NULL", u"snFORMAT"_s, u"NULL"_s, u"VARCHAR(35) NULL"_s, 6},
            {"snLENGTH 40000", u"snLENGTH"_s, u"40000"_s, u"INT NOT NULL"_s, 7},
            {"autoTIME NULL", u"autoTIME"_s, u"NULL"_s, u"FLOAT NULL"_s, 9},
            {"autoTIME text", u"autoTIME"_s, u"'soon'"_s, u"VARCHAR(10) NOT NULL"_s, 9},
            {"snBAD NULL", u"snBAD"_s, u"NULL"_s, u"VARCHAR(35) NULL"_s, 12}};
        for (const auto& [name, col, value, type, fieldsRead] : bad)
            QTest::newRow(name) << test::spoil(pnTable, col, value, type) << pn << fieldsRead << 1 << 2 << 2;
    }

    void readPNinfo()
    {
        QFETCH(QStringList, setup);
        QFETCH(QString, asked);
        QFETCH(int, fieldsRead);
        QFETCH(int, reqRANDR);
        QFETCH(int, count);
        QFETCH(int, ie);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(insertPN(tdb, u"OTHER"_s, 3));
        QVERIFY(insertFull(tdb, u"AB-1"_s));
        QVERIFY(insertPN(tdb, u"AB-1"_s, 9));
        QVERIFY(test::execAll(tdb, setup));
        Ops ops(tdb.profile());
        PnFields f = sentinel();
        qint16 iERROR = -1;
        ops.readPNinfo(asked, f, iERROR);
        QCOMPARE(iERROR, qint16(ie ? 1 : 0));
        PnFields read = stored();
        read.reqRANDR = qint16(reqRANDR);
        QStringList want = fieldTexts(sentinel());
        for (int i = 0; i < fieldsRead; ++i)
            want[i] = fieldTexts(read)[i];
        QCOMPARE(fieldTexts(f), want);
        qint16 counted = -1;
        ops(&D::SQL_checkPN, asked, counted, u"caller"_s);
        QCOMPARE(counted, qint16(count));
        QCOMPARE(test::errorRecords(tdb),
                 recordIf(ie > 0, u"SQL_readPNinfo"_s, u"Part # not found %1 IE = %2"_s.arg(asked).arg(ie)));
    }

    // ---- SQL_writeinfo ----------------------------------------------------

    void writeinfo_data()
    {
        // The table holds AB-1, a duplicate AB-1 and CD-2.
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("oldPN");
        QTest::addColumn<QString>("newPN");
        QTest::addColumn<int>("iERROR");
        QTest::addColumn<int>("mapPORT");        // afterwards: the record's, never the caller's 55
        QTest::addColumn<QString>("handedBack"); // the caller's new pn afterwards, and the saved partNUM
        const QStringList none;
        QTest::newRow("same part number") << none << u"AB-1"_s << u"AB-1"_s << 0 << 7 << u"AB-1"_s;
        QTest::newRow("empty new pn: kept and handed back")
            << none << u"AB-1"_s << QString() << 0 << 7 << u"AB-1"_s;
        QTest::newRow("rename") << none << u"AB-1"_s << u"AB-9"_s << 0 << 7 << u"AB-9"_s;
        QTest::newRow("no such part number") << none << u"AB-2"_s << u"AB-9"_s << 1 << -1 << u"AB-9"_s;
        QTest::newRow("save refused: mapPORT read before it stays written")
            << QStringList{test::refusal(pnTable, u"UPDATE"_s)} << u"AB-1"_s << u"AB-9"_s << 1 << 7
            << u"AB-9"_s;
        QTest::newRow("NULL mapPORT: nothing saved")
            << QStringList{u"ALTER TABLE snPN MODIFY mapPORT SMALLINT NULL"_s,
                           u"UPDATE snPN SET mapPORT = NULL WHERE id = 1"_s}
            << u"AB-1"_s << u"AB-9"_s << 1 << -1 << u"AB-9"_s;
    }

    void writeinfo()
    {
        QFETCH(QStringList, setup);
        QFETCH(QString, oldPN);
        QFETCH(QString, newPN);
        QFETCH(int, iERROR);
        QFETCH(int, mapPORT);
        QFETCH(QString, handedBack);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(insertFull(tdb, u"AB-1"_s));
        QVERIFY(insertFull(tdb, u"AB-1"_s));
        QVERIFY(insertFull(tdb, u"CD-2"_s));
        QVERIFY(test::execAll(tdb, setup));
        QStringList want = test::tableTexts(tdb, pnTable);
        if (iERROR == 0) // snVALID reset to 0; snEXTENDER and mapPORT as stored
            want[0] = u"1|%1|New name|0|7|0|0|1|99999999|ZZ-##|5|1|0.75|1|G-2|B-2"_s.arg(handedBack);
        qint16 gotMap = -1;
        qint16 got = -1;
        Ops(tdb.profile()).writeinfo(oldPN, newPN, edited(), gotMap, got);
        QCOMPARE(got, qint16(iERROR));
        QCOMPARE(gotMap, qint16(mapPORT));
        QCOMPARE(newPN, handedBack);
        QCOMPARE(test::tableTexts(tdb, pnTable), want);
        QCOMPARE(test::errorRecords(tdb),
                 recordIf(iERROR == 1, u"SQL_writeinfo"_s, u"Part # not found "_s + oldPN + u" IE = 2"_s));
    }

    // ---- SQL_writePNdef ---------------------------------------------------

    void writePNdef_data()
    {
        QTest::addColumn<QString>("type");   // of pnDEFAULT
        QTest::addColumn<QString>("marks");  // pnDEFAULT of each row, as SQL literals
        QTest::addColumn<QString>("refuse"); // condition under which a save is refused
        QTest::addColumn<int>("iERROR");
        QTest::addColumn<QString>("after");
        const QString whole = u"SMALLINT NULL"_s;
        QTest::newRow("empty table") << whole << QString() << QString() << 0 << QString();
        QTest::newRow("every mark cleared, no other row saved")
            << whole << u"1,0,1,2"_s << u"OLD.pnDEFAULT <> 1"_s << 0 << u"0,0,0,2"_s;
        QTest::newRow("NULL mark stops the walk, the earlier save stays")
            << whole << u"1,NULL,1"_s << QString() << 1 << u"0,NULL,1"_s;
        QTest::newRow("save refused part-way, the earlier save stays")
            << whole << u"1,1,1"_s << u"OLD.id = 2"_s << 1 << u"0,1,1"_s;
        // Marks in a text column: "0" is passed over; a text that is no number stops the walk even
        // where the server's own conversion would call it 0.
        QTest::newRow("text marks: '0x' stops the walk")
            << u"VARCHAR(5) NULL"_s << u"'1','0','0x','1'"_s << QString() << 1 << u"0,0,0x,1"_s;
        QTest::newRow("text marks: ' 1' and '1 ' are marks")
            << u"VARCHAR(5) NULL"_s << u"' 1','0','1 '"_s << QString() << 0 << u"0,0,0"_s;
        // Whole numbers read from a float round to the nearest: 0.4 is no mark, 0.6 is one.
        QTest::newRow("float marks round")
            << u"FLOAT NULL"_s << u"0.4,0.6,1,0"_s << QString() << 0 << u"0.4,0,0,0"_s;
    }

    void writePNdef()
    {
        QFETCH(QString, type);
        QFETCH(QString, marks);
        QFETCH(QString, refuse);
        QFETCH(int, iERROR);
        QFETCH(QString, after);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(tdb.exec(u"ALTER TABLE snPN MODIFY pnDEFAULT "_s + type));
        const QStringList list = marks.split(u',', Qt::SkipEmptyParts);
        for (int i = 0; i < list.size(); ++i)
            QVERIFY(insertPN(tdb, u"P"_s + QString::number(i), i, 1, list[i]));
        if (!refuse.isEmpty())
            QVERIFY(tdb.exec(test::refusal(pnTable, u"UPDATE"_s, refuse)));
        qint16 got = -1;
        Ops(tdb.profile())(&D::SQL_writePNdef, got);
        QCOMPARE(got, qint16(iERROR));
        QCOMPARE(test::tableTexts(tdb, pnTable, u"pnDEFAULT"_s).join(u','), after);
        QCOMPARE(test::errorRecords(tdb), recordIf(iERROR == 1, u"SQL_writePNdef"_s, u"Error encountered"_s));
    }

    // ---- SQL_updatePN -----------------------------------------------------

    void updatePN_data()
    {
        QTest::addColumn<QString>("rows"); // "partNUM|snVALID,..."; mapPORT counts from 1
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("oldPN");
        QTest::addColumn<QString>("newPN");
        QTest::addColumn<int>("snVALID");
        QTest::addColumn<int>("iERROR");
        QTest::addColumn<QString>("after"); // "partNUM|snVALID|mapPORT,..."
        const QStringList none;
        const QStringList refused{test::refusal(pnTable, u"UPDATE"_s)};
        QTest::newRow("mark set") << u"A|0,B|0"_s << none << u"B"_s << u"B"_s << 1 << 0 << u"A|0|1,B|1|2"_s;
        QTest::newRow("mark cleared")
            << u"A|1,B|1"_s << none << u"B"_s << u"B"_s << 0 << 0 << u"A|1|1,B|0|2"_s;
        QTest::newRow("rename and mark")
            << u"AB-1|0"_s << none << u"AB-1"_s << u"AB-2"_s << 1 << 0 << u"AB-2|1|1"_s;
        QTest::newRow("rename to another letter case only")
            << u"AB-2|1"_s << none << u"AB-2"_s << u"ab-2"_s << 1 << 0 << u"ab-2|1|1"_s;
        QTest::newRow("empty new pn: no rename")
            << u"A|0"_s << none << u"A"_s << QString() << 1 << 0 << u"A|1|1"_s;
        QTest::newRow("nothing differs: no save sent (saves refused)")
            << u"A|1"_s << refused << u"A"_s << u"A"_s << 1 << 0 << u"A|1|1"_s;
        QTest::newRow("only the first exact match") << u"ab-1|0,AB-1|0,AB-1|0"_s << none << u"AB-1"_s
                                                    << u"AB-7"_s << 1 << 0 << u"ab-1|0|1,AB-7|1|2,AB-1|0|3"_s;
        QTest::newRow("letter case differs: not found")
            << u"AB-1|0"_s << none << u"ab-1"_s << u"NEW"_s << 1 << 1 << u"AB-1|0|1"_s;
        QTest::newRow("trailing blank stored: not found")
            << u"AB-1 |0"_s << none << u"AB-1"_s << u"NEW"_s << 1 << 1 << u"AB-1 |0|1"_s;
        QTest::newRow("trailing blank asked: not found")
            << u"AB-1|0"_s << none << u"AB-1 "_s << u"NEW"_s << 1 << 1 << u"AB-1|0|1"_s;
        QTest::newRow("leading blank asked: not found")
            << u"AB-1|0"_s << none << u" AB-1"_s << u"NEW"_s << 1 << 1 << u"AB-1|0|1"_s;
        // The table has an index on partNUM, which would return NULL rows first and collation-equal
        // rows together; the walk still goes in table order and compares exactly.
        const QStringList nullSecond{u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) NULL"_s,
                                     u"UPDATE snPN SET partNUM = NULL WHERE id = 2"_s};
        QTest::newRow("NULL part number after the match: found")
            << u"AB-1|0,X|0"_s << nullSecond << u"AB-1"_s << u"AB-1"_s << 1 << 0 << u"AB-1|1|1,NULL|0|2"_s;
        QTest::newRow("NULL part number before the match: the walk stops there")
            << u"X|0,X|0,AB-1|0"_s << nullSecond << u"AB-1"_s << u"AB-1"_s << 1 << 1
            << u"X|0|1,NULL|0|2,AB-1|0|3"_s;
        QTest::newRow("blank and case variants first: the first exact match")
            << u"AB-1 |0,ab-1|0,AB-1|0,AB-1|0"_s << none << u"AB-1"_s << u"AB-7"_s << 1 << 0
            << u"AB-1 |0|1,ab-1|0|2,AB-7|1|3,AB-1|0|4"_s;
        QTest::newRow("empty table: not found")
            << QString() << none << u"A"_s << u"A"_s << 1 << 1 << QString();
        QTest::newRow("save refused") << u"A|0"_s << refused << u"A"_s << u"A"_s << 1 << 1 << u"A|0|1"_s;
        QTest::newRow("unreadable snVALID: the rename is saved all the same")
            << u"A|0"_s
            << QStringList{u"ALTER TABLE snPN MODIFY snVALID INT NOT NULL"_s,
                           u"UPDATE snPN SET snVALID = 70000"_s}
            << u"A"_s << u"B"_s << 1 << 1 << u"B|70000|1"_s;
    }

    void updatePN()
    {
        QFETCH(QString, rows);
        QFETCH(QStringList, setup);
        QFETCH(QString, oldPN);
        QFETCH(QString, newPN);
        QFETCH(int, snVALID);
        QFETCH(int, iERROR);
        QFETCH(QString, after);
        ZELMAR_TEST_DB(tdb);
        const QStringList list = rows.split(u',', Qt::SkipEmptyParts);
        for (int i = 0; i < list.size(); ++i) {
            const qsizetype bar = list[i].lastIndexOf(u'|');
            QVERIFY(insertPN(tdb, list[i].left(bar), i + 1, list[i].mid(bar + 1).toInt()));
        }
        QVERIFY(test::execAll(tdb, setup));
        qint16 got = -1;
        Ops(tdb.profile())(&D::SQL_updatePN, oldPN, newPN, qint16(snVALID), got);
        QCOMPARE(got, qint16(iERROR));
        QCOMPARE(test::tableTexts(tdb, pnTable, u"partNUM, snVALID, mapPORT"_s).join(u','), after);
        QCOMPARE(test::errorRecords(tdb),
                 recordIf(iERROR == 1, u"SQL_updatePN"_s, u"Part # not found "_s + oldPN + u" IE = 2"_s));
    }

    // ---- SQL_writenewPN ---------------------------------------------------

    void writenewPN()
    {
        ZELMAR_TEST_DB(tdb);
        // Defaults that the operation must override.
        QVERIFY(tdb.exec(u"ALTER TABLE snPN ALTER snVALID SET DEFAULT 1, ALTER snEXTENDER SET DEFAULT 5"_s));
        QVERIFY(insertFull(tdb, u"AB-1"_s));
        qint16 iERROR = -1;
        // The same part number again: the callers check for duplicates, the operation does not.
        Ops(tdb.profile()).writenewPN(u"X"_s, u"AB-1"_s, edited(), 12, iERROR);
        QCOMPARE(iERROR, qint16(0));
        // snVALID 0, snEXTENDER 0 whatever the caller passed, mapPORT the one given.
        QCOMPARE(test::tableTexts(tdb, pnTable),
                 (QStringList{u"1|AB-1|Widget|1|7|1|1|1|99999999|AB-####|7|1|2.5|1|G-1|B-1"_s,
                              u"2|AB-1|New name|0|12|0|0|1|0|ZZ-##|5|1|0.75|1|G-2|B-2"_s}));
        QCOMPARE(test::errorRecords(tdb), Records());
    }

    // ---- SQL_delPN --------------------------------------------------------

    void delPN_data()
    {
        // The table holds A (map 1), B (map 4), B (map 5).
        QTest::addColumn<QString>("pn");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("iERROR");
        QTest::addColumn<int>("mapPORT"); // afterwards
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("summary"); // of the error record; empty: none
        QTest::newRow("only the first of duplicates")
            << u"B"_s << false << 0 << 4 << u"A|1,B|5"_s << QString();
        QTest::newRow("letter case: the server's collation matches")
            << u"b"_s << false << 0 << 4 << u"A|1,B|5"_s << QString();
        QTest::newRow("no such part number: not a failure, but recorded")
            << u"Z"_s << false << 0 << -1 << u"A|1,B|4,B|5"_s << u"Part # not found Z IE = 1"_s;
        QTest::newRow("delete refused: mapPORT read before it stays written")
            << u"B"_s << true << 1 << 4 << u"A|1,B|4,B|5"_s << u"Part # not found B IE = 2"_s;
    }

    void delPN()
    {
        QFETCH(QString, pn);
        QFETCH(bool, refused);
        QFETCH(int, iERROR);
        QFETCH(int, mapPORT);
        QFETCH(QString, left);
        QFETCH(QString, summary);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(insertPN(tdb, u"A"_s, 1));
        QVERIFY(insertPN(tdb, u"B"_s, 4));
        QVERIFY(insertPN(tdb, u"B"_s, 5));
        if (refused)
            QVERIFY(tdb.exec(test::refusal(pnTable, u"DELETE"_s)));
        qint16 gotMap = -1;
        qint16 got = -1;
        Ops(tdb.profile())(&D::SQL_delPN, pn, gotMap, got);
        QCOMPARE(got, qint16(iERROR));
        QCOMPARE(gotMap, qint16(mapPORT));
        QCOMPARE(test::tableTexts(tdb, pnTable, u"partNUM, mapPORT"_s).join(u','), left);
        QCOMPARE(test::errorRecords(tdb), recordIf(!summary.isEmpty(), u"SQL_delPN"_s, summary));
    }

    // ---- Failure before any row: dead server, missing table ----------------

    void failures_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<bool>("dead");
        QTest::addColumn<QString>("summary"); // of the error record a reachable database gets; empty: none
        const QList<QPair<QString, QString>> ops = {{u"SQL_readPNlist"_s, QString()},
                                                    {u"SQL_readPNinfo"_s, u"Part # not found AB-1 IE = 2"_s},
                                                    {u"SQL_checkPN"_s, QString()},
                                                    {u"SQL_writeinfo"_s, u"Part # not found AB-1 IE = 2"_s},
                                                    {u"SQL_writePNdef"_s, u"Error encountered"_s},
                                                    {u"SQL_updatePN"_s, u"Part # not found AB-1 IE = 2"_s},
                                                    {u"SQL_writenewPN"_s, u"Part # was AB-SUMMARY IE = 2"_s},
                                                    {u"SQL_delPN"_s, u"Part # not found AB-1 IE = 2"_s}};
        for (const auto& [op, summary] : ops) {
            QTest::addRow("%s, dead server: record lost", qPrintable(op)) << op << true << summary;
            QTest::addRow("%s, missing table", qPrintable(op)) << op << false << summary;
        }
    }

    void failures()
    {
        QFETCH(QString, op);
        QFETCH(bool, dead);
        QFETCH(QString, summary);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(insertFull(tdb, u"AB-1"_s));
        const QStringList table = test::tableTexts(tdb, pnTable);
        test::ScriptedDialogs dialogs;
        Ops ops(dead ? test::deadProfile(tdb) : tdb.profile(), dead ? pnTable : u"noSuchTable"_s, &dialogs);
        // Every by-reference result as the caller had it; none may change.
        PnFields f = sentinel();
        db::PnList list;
        list.fill(u"unset"_s);
        qint16 num = 7;
        qint16 count = 9;
        qint16 mapPORT = -1;
        QString newPN = u"AB-9"_s;
        const auto results = [&] {
            return fieldTexts(f) << list[1] << QString::number(num) << QString::number(count)
                                 << QString::number(mapPORT) << newPN;
        };
        const QStringList before = results();
        qint16 iERROR = -1;
        if (op == u"SQL_readPNlist"_s)
            ops(&D::SQL_readPNlist, list, num);
        else if (op == u"SQL_readPNinfo"_s)
            ops.readPNinfo(u"AB-1"_s, f, iERROR);
        else if (op == u"SQL_checkPN"_s)
            ops(&D::SQL_checkPN, u"AB-1"_s, count, u"caller"_s);
        else if (op == u"SQL_writeinfo"_s)
            ops.writeinfo(u"AB-1"_s, newPN, edited(), mapPORT, iERROR);
        else if (op == u"SQL_writePNdef"_s)
            ops(&D::SQL_writePNdef, iERROR);
        else if (op == u"SQL_updatePN"_s)
            ops(&D::SQL_updatePN, u"AB-1"_s, u"AB-9"_s, 1, iERROR);
        else if (op == u"SQL_writenewPN"_s)
            ops.writenewPN(u"AB-SUMMARY"_s, u"AB-RECORD"_s, edited(), 8, iERROR);
        else
            ops(&D::SQL_delPN, u"AB-1"_s, mapPORT, iERROR);
        const bool hasStatus = op != u"SQL_readPNlist"_s && op != u"SQL_checkPN"_s;
        QCOMPARE(iERROR, qint16(hasStatus ? 1 : -1));
        QCOMPARE(results(), before);
        QCOMPARE(test::shownOf(dialogs), Records());
        QCOMPARE(test::tableTexts(tdb, pnTable), table);
        QCOMPARE(test::errorRecords(tdb), recordIf(!dead && !summary.isEmpty(), op, summary));
    }

    // ---- Round trips ------------------------------------------------------

    // The walks of SQL_updatePN and SQL_writePNdef cost a fixed number of statements
    // plus one save per changed row, however large the table.
    void statementsPerOperation()
    {
        ZELMAR_TEST_DB(tdb);
        test::CountedAccount account(tdb);
        QVERIFY2(account.ok(), qPrintable(tdb.error()));
        for (int i = 1; i <= 200; ++i)
            QVERIFY(insertPN(tdb, u"P"_s + QString::number(i), i, 0, i % 50 == 0 ? u"1"_s : u"0"_s));
        Ops ops(account.profile());
        qint16 iERROR = -1;
        const auto noOp = account.measure("SQL_updatePN, nothing to change, 200 rows",
                                          [&] { ops(&D::SQL_updatePN, u"P200"_s, u"P200"_s, 0, iERROR); });
        QCOMPARE(iERROR, qint16(0));
        QCOMPARE(noOp.update, qint64(0)); // no save
        const auto rename = account.measure("SQL_updatePN, rename and mark, 200 rows",
                                            [&] { ops(&D::SQL_updatePN, u"P200"_s, u"Q200"_s, 1, iERROR); });
        QCOMPARE(iERROR, qint16(0));
        QCOMPARE(rename.update, qint64(1)); // one save for the changed row
        const auto marks =
            account.measure("SQL_writePNdef, 4 marks in 200 rows", [&] { ops(&D::SQL_writePNdef, iERROR); });
        QCOMPARE(iERROR, qint16(0));
        QCOMPARE(marks.update, qint64(4));   // one save per changed row
        QCOMPARE(marks.select, noOp.select); // the same reads as the walk without a change
        const auto none =
            account.measure("SQL_writePNdef, no mark in 200 rows", [&] { ops(&D::SQL_writePNdef, iERROR); });
        QCOMPARE(none.update, qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestPartNumbers)
#include "tst_partnumbers.moc"
