// The eight part-number operations against the real server,
// grouped by operation.

#include "Database.h"
#include "OpsSupport.h"
#include "TestServer.h"

#include <QTest>

#include <array>
#include <functional>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::Target;

namespace {

const QString pnTable = u"snPN"_s;

// The thirteen fields that SQL_readPNinfo fills, in its order.
struct PnFields
{
    QString snNAME;
    qint16 pnDEFAULT = 0;
    qint16 mapPORT = 0;
    qint16 snACTIVE = 0;
    qint16 snBARCODE = 0;
    qint32 snEXTENDER = 0;
    QString snFORMAT;
    qint16 snLENGTH = 0;
    qint16 autoMEASURE = 0;
    float autoTIME = 0;
    qint16 reqRANDR = 0;
    QString snGOOD;
    QString snBAD;
};

// Values no read would produce, to tell written fields from untouched ones.
PnFields sentinel()
{
    return {u"old name"_s, -1,          -2, -3, -4, -5, u"old format"_s, -6, -7, -8.5f, -9,
            u"old good"_s, u"old bad"_s};
}

// The same fields as they should read from a row stored by insertFull().
PnFields stored()
{
    return {u"Widget"_s, 1, 7, 1, 1, 99999999, u"AB-####"_s, 7, 1, 2.5f, 1, u"G-1"_s, u"B-1"_s};
}

bool insertFull(test::TestDatabase& tdb, const QString& pn)
{
    return tdb.exec(u"INSERT INTO snPN (partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, "
                    u"snEXTENDER, snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD) VALUES "
                    u"(?, 'Widget', 1, 7, 1, 1, 1, 99999999, 'AB-####', 7, 1, 2.5, 1, 'G-1', 'B-1')"_s,
                    {pn});
}

bool insertPN(test::TestDatabase& tdb, const QString& pn, int mapPORT = 1, int pnDEFAULT = 0, int snVALID = 0)
{
    return tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT, pnDEFAULT, snVALID) VALUES (?, ?, ?, ?)"_s,
                    {pn, mapPORT, pnDEFAULT, snVALID});
}

// Field by field, so that a failure names the field.
void compareFields(const PnFields& got, const PnFields& want)
{
    QCOMPARE(got.snNAME, want.snNAME);
    QCOMPARE(got.pnDEFAULT, want.pnDEFAULT);
    QCOMPARE(got.mapPORT, want.mapPORT);
    QCOMPARE(got.snACTIVE, want.snACTIVE);
    QCOMPARE(got.snBARCODE, want.snBARCODE);
    QCOMPARE(got.snEXTENDER, want.snEXTENDER);
    QCOMPARE(got.snFORMAT, want.snFORMAT);
    QCOMPARE(got.snLENGTH, want.snLENGTH);
    QCOMPARE(got.autoMEASURE, want.autoMEASURE);
    QCOMPARE(got.autoTIME, want.autoTIME);
    QCOMPARE(got.reqRANDR, want.reqRANDR);
    QCOMPARE(got.snGOOD, want.snGOOD);
    QCOMPARE(got.snBAD, want.snBAD);
}

// The operations, called with a target's profile and the part-number table.
struct Ops
{
    explicit Ops(const Target& target, const QString& tableName = pnTable, Dialogs* dialogs = nullptr)
        : database(dialogs)
        , t(target)
        , table(tableName)
    {}

    db::Database database;
    Target t;
    QString table;

    void readPNlist(db::PnList& list, qint16& num)
    {
        database.SQL_readPNlist(t.server, t.database, t.user, t.password, table, list, num);
    }
    void readPNinfo(const QString& pn, PnFields& f, qint16& iERROR)
    {
        database.SQL_readPNinfo(t.server, t.database, t.user, t.password, table, pn, f.snNAME, f.pnDEFAULT,
                                f.mapPORT, f.snACTIVE, f.snBARCODE, f.snEXTENDER, f.snFORMAT, f.snLENGTH,
                                f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD, f.snBAD, iERROR);
    }
    void checkPN(const QString& pn, qint16& count)
    {
        database.SQL_checkPN(t.server, t.database, t.user, t.password, table, pn, count, u"caller"_s);
    }
    // Writes `f` (its snEXTENDER and mapPORT are the caller's, which the operation ignores / overwrites).
    void writeinfo(const QString& oldPN, QString& newPN, const PnFields& f, qint16& mapPORT, qint16& iERROR)
    {
        database.SQL_writeinfo(t.server, t.database, t.user, t.password, table, oldPN, newPN, f.snNAME,
                               f.pnDEFAULT, f.snACTIVE, f.snBARCODE, f.snEXTENDER, f.snFORMAT, f.snLENGTH,
                               f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD, f.snBAD, mapPORT, iERROR);
    }
    void writePNdef(qint16& iERROR)
    {
        database.SQL_writePNdef(t.server, t.database, t.user, t.password, table, iERROR);
    }
    void updatePN(const QString& oldPN, const QString& newPN, qint16 snVALID, qint16& iERROR)
    {
        database.SQL_updatePN(t.server, t.database, t.user, t.password, table, oldPN, newPN, snVALID, iERROR);
    }
    void writenewPN(const QString& errorPN, const QString& pn, const PnFields& f, qint16 mapPORT,
                    qint16& iERROR)
    {
        database.SQL_writenewPN(t.server, t.database, t.user, t.password, table, errorPN, pn, f.snNAME,
                                f.pnDEFAULT, f.snACTIVE, f.snBARCODE, f.snEXTENDER, f.snFORMAT, f.snLENGTH,
                                f.autoMEASURE, f.autoTIME, f.reqRANDR, f.snGOOD, f.snBAD, mapPORT, iERROR);
    }
    void delPN(const QString& pn, qint16& mapPORT, qint16& iERROR)
    {
        database.SQL_delPN(t.server, t.database, t.user, t.password, table, pn, mapPORT, iERROR);
    }
};

using Records = QList<QPair<QString, QString>>;

Records one(const QString& routine, const QString& summary)
{
    return {{routine, summary}};
}

} // namespace

class TestPartNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // SQL_readPNlist
    void readPNlist_101Records();
    void readPNlist_emptyTable();
    void readPNlist_nullMidway();
    void readPNlist_nullBeyondSlot100IsNotRead();
    void readPNlist_failureBeforeQuery();

    // SQL_readPNinfo
    void readPNinfo_readsEveryField();
    void readPNinfo_reqRANDR_data();
    void readPNinfo_reqRANDR();
    void readPNinfo_missing();
    void readPNinfo_comparisonIsTheServers();
    void readPNinfo_firstOfDuplicates();
    void readPNinfo_badColumnMidRow_data();
    void readPNinfo_badColumnMidRow();
    void readPNinfo_deadServer();
    void readPNinfo_missingTable();

    // SQL_checkPN
    void checkPN_counts();
    void checkPN_failureKeepsCount();

    // SQL_writeinfo
    void writeinfo_savesFieldsNotExtenderNorMap();
    void writeinfo_emptyNewPN();
    void writeinfo_rename();
    void writeinfo_missing();
    void writeinfo_onlyFirstOfDuplicates();
    void writeinfo_saveFails();
    void writeinfo_nullMapPORT();
    void writeinfo_deadServer();

    // SQL_writePNdef
    void writePNdef_clearsEveryMark();
    void writePNdef_emptyTable();
    void writePNdef_nullMidway();
    void writePNdef_saveFails();
    void writePNdef_deadServer();

    // SQL_updatePN
    void updatePN_setsValid();
    void updatePN_rename();
    void updatePN_emptyNewPN();
    void updatePN_noOpSavesNothing();
    void updatePN_exactComparison_data();
    void updatePN_exactComparison();
    void updatePN_onlyFirstOfDuplicates();
    void updatePN_emptyTable();
    void updatePN_unreadableValidKeepsRename();
    void updatePN_saveFails();
    void updatePN_deadServer();

    // SQL_writenewPN
    void writenewPN_appends();
    void writenewPN_noDuplicateCheck();
    void writenewPN_saveFails();
    void writenewPN_deadServer();

    // SQL_delPN
    void delPN_deletesFirstOnly();
    void delPN_missing();
    void delPN_comparisonIsTheServers();
    void delPN_deleteFails();
    void delPN_deadServer();

    // Round trips
    void statementsPerOperation();
};

// ---- SQL_readPNlist -------------------------------------------------------

void TestPartNumbers::readPNlist_101Records()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    for (int i = 1; i <= 101; ++i)
        QVERIFY(insertPN(tdb, u"PN-"_s + QString::number(i).rightJustified(3, u'0')));
    Ops ops(test::targetOf(tdb));
    db::PnList list;
    list.fill(u"unset"_s);
    qint16 num = -1;
    ops.readPNlist(list, num);
    QCOMPARE(num, qint16(101));
    QCOMPARE(list[0], u"unset"_s); // index 0 is not used
    for (int i = 1; i <= 100; ++i)
        QCOMPARE(list[size_t(i)], u"PN-"_s + QString::number(i).rightJustified(3, u'0'));
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::readPNlist_emptyTable()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    Ops ops(test::targetOf(tdb));
    db::PnList list;
    list.fill(u"unset"_s);
    qint16 num = 7;
    ops.readPNlist(list, num);
    QCOMPARE(num, qint16(0));
    QCOMPARE(list[1], u"unset"_s);
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::readPNlist_nullMidway()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) NULL"_s));
    QVERIFY(insertPN(tdb, u"A"_s));
    QVERIFY(insertPN(tdb, u"B"_s));
    QVERIFY(tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES (NULL, 3)"_s));
    QVERIFY(insertPN(tdb, u"D"_s));
    Ops ops(test::targetOf(tdb));
    db::PnList list;
    list.fill(u"unset"_s);
    qint16 num = -1;
    ops.readPNlist(list, num);
    QCOMPARE(num, qint16(3)); // counts the row at which it failed
    QCOMPARE(list[1], u"A"_s);
    QCOMPARE(list[2], u"B"_s);
    QCOMPARE(list[3], u"unset"_s);
    QCOMPARE(list[4], u"unset"_s);
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::readPNlist_nullBeyondSlot100IsNotRead()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) NULL"_s));
    for (int i = 1; i <= 100; ++i)
        QVERIFY(insertPN(tdb, u"P"_s + QString::number(i)));
    QVERIFY(tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES (NULL, 3)"_s));
    QVERIFY(insertPN(tdb, u"P102"_s));
    Ops ops(test::targetOf(tdb));
    db::PnList list;
    qint16 num = -1;
    ops.readPNlist(list, num);
    QCOMPARE(num, qint16(102)); // rows past 100 are counted, not read
    QCOMPARE(list[100], u"P100"_s);
}

void TestPartNumbers::readPNlist_failureBeforeQuery()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s));
    test::ScriptedDialogs dialogs;
    for (const Target& t : {test::deadTarget(tdb), test::targetOf(tdb)}) {
        Ops ops(t, t.server == test::targetOf(tdb).server ? u"noSuchTable"_s : pnTable, &dialogs);
        db::PnList list;
        list.fill(u"unset"_s);
        qint16 num = 7;
        ops.readPNlist(list, num);
        QCOMPARE(num, qint16(7)); // as the caller had it
        QCOMPARE(list[1], u"unset"_s);
    }
    QCOMPARE(dialogs.shown.size(), 0);
    QCOMPARE(test::errorRecords(tdb), Records());
}

// ---- SQL_readPNinfo -------------------------------------------------------

void TestPartNumbers::readPNinfo_readsEveryField()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"OTHER"_s, 3));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    Ops ops(test::targetOf(tdb));
    PnFields f = sentinel();
    qint16 iERROR = -1;
    ops.readPNinfo(u"AB-1"_s, f, iERROR);
    QCOMPARE(iERROR, qint16(0));
    compareFields(f, stored());
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::readPNinfo_reqRANDR_data()
{
    QTest::addColumn<int>("storedValue");
    QTest::addColumn<int>("read");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("2 read as 0") << 2 << 0;
    QTest::newRow("-1 read as 0") << -1 << 0;
    QTest::newRow("32767 read as 0") << 32767 << 0;
}

void TestPartNumbers::readPNinfo_reqRANDR()
{
    QFETCH(int, storedValue);
    QFETCH(int, read);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    QVERIFY(tdb.exec(u"UPDATE snPN SET reqRANDR = ?"_s, {storedValue}));
    Ops ops(test::targetOf(tdb));
    PnFields f = sentinel();
    qint16 iERROR = -1;
    ops.readPNinfo(u"AB-1"_s, f, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(f.reqRANDR, qint16(read));
    QCOMPARE(f.snBAD, u"B-1"_s);
}

void TestPartNumbers::readPNinfo_missing()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    Ops ops(test::targetOf(tdb));
    PnFields f = sentinel();
    qint16 iERROR = -1;
    ops.readPNinfo(u"AB-2"_s, f, iERROR);
    QCOMPARE(iERROR, qint16(1));
    compareFields(f, sentinel());
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_readPNinfo"_s, u"Part # not found AB-2 IE = 1"_s));
}

void TestPartNumbers::readPNinfo_comparisonIsTheServers()
{
    test::TestDatabase tdb; // utf8mb4_unicode_ci: letter case and trailing blanks do not count
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"ab-1"_s));
    Ops ops(test::targetOf(tdb));
    for (const QString& asked : {u"AB-1"_s, u"ab-1 "_s}) {
        PnFields f = sentinel();
        qint16 iERROR = -1;
        ops.readPNinfo(asked, f, iERROR);
        QCOMPARE(iERROR, qint16(0));
        QCOMPARE(f.snNAME, u"Widget"_s);
    }
    // A binary collation decides otherwise: still the server's comparison.
    QVERIFY(tdb.exec(u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) COLLATE utf8mb4_bin NOT NULL"_s));
    PnFields f = sentinel();
    qint16 iERROR = -1;
    ops.readPNinfo(u"AB-1"_s, f, iERROR);
    QCOMPARE(iERROR, qint16(1));
    compareFields(f, sentinel());
}

void TestPartNumbers::readPNinfo_firstOfDuplicates()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    QVERIFY(insertPN(tdb, u"AB-1"_s, 9));
    Ops ops(test::targetOf(tdb));
    PnFields f = sentinel();
    qint16 iERROR = -1;
    ops.readPNinfo(u"AB-1"_s, f, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(f.mapPORT, qint16(7));
}

void TestPartNumbers::readPNinfo_badColumnMidRow_data()
{
    QTest::addColumn<QString>("alter");
    QTest::addColumn<QString>("badValue"); // SQL expression for the bad column
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("fieldsRead"); // how many of the thirteen fields are written before it
    QTest::newRow("snNAME NULL") << u"MODIFY snNAME VARCHAR(25) NULL"_s << u"NULL"_s << u"snNAME"_s << 0;
    QTest::newRow("mapPORT NULL") << u"MODIFY mapPORT SMALLINT NULL"_s << u"NULL"_s << u"mapPORT"_s << 2;
    QTest::newRow("snEXTENDER beyond 32 bits")
        << u"MODIFY snEXTENDER BIGINT NOT NULL"_s << u"3000000000"_s << u"snEXTENDER"_s << 5;
    QTest::newRow("snFORMAT NULL") << u"MODIFY snFORMAT VARCHAR(35) NULL"_s << u"NULL"_s << u"snFORMAT"_s
                                   << 6;
    QTest::newRow("snLENGTH 40000") << u"MODIFY snLENGTH INT NOT NULL"_s << u"40000"_s << u"snLENGTH"_s << 7;
    QTest::newRow("autoTIME NULL") << u"MODIFY autoTIME FLOAT NULL"_s << u"NULL"_s << u"autoTIME"_s << 9;
    QTest::newRow("autoTIME text") << u"MODIFY autoTIME VARCHAR(10) NOT NULL"_s << u"'soon'"_s
                                   << u"autoTIME"_s << 9;
    QTest::newRow("snBAD NULL") << u"MODIFY snBAD VARCHAR(35) NULL"_s << u"NULL"_s << u"snBAD"_s << 12;
}

void TestPartNumbers::readPNinfo_badColumnMidRow()
{
    QFETCH(QString, alter);
    QFETCH(QString, badValue);
    QFETCH(QString, column);
    QFETCH(int, fieldsRead);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"ALTER TABLE snPN "_s + alter));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    QVERIFY(tdb.exec(u"UPDATE snPN SET `"_s + column + u"` = "_s + badValue));
    Ops ops(test::targetOf(tdb));
    PnFields f = sentinel();
    qint16 iERROR = -1;
    ops.readPNinfo(u"AB-1"_s, f, iERROR);
    QCOMPARE(iERROR, qint16(1));
    // Fields before the bad column are written, it and the rest keep their values.
    const PnFields before = sentinel();
    const PnFields after = stored();
    PnFields want = before;
    const int n = fieldsRead;
    if (n > 0)
        want.snNAME = after.snNAME;
    if (n > 1)
        want.pnDEFAULT = after.pnDEFAULT;
    if (n > 2)
        want.mapPORT = after.mapPORT;
    if (n > 3)
        want.snACTIVE = after.snACTIVE;
    if (n > 4)
        want.snBARCODE = after.snBARCODE;
    if (n > 5)
        want.snEXTENDER = after.snEXTENDER;
    if (n > 6)
        want.snFORMAT = after.snFORMAT;
    if (n > 7)
        want.snLENGTH = after.snLENGTH;
    if (n > 8)
        want.autoMEASURE = after.autoMEASURE;
    if (n > 9)
        want.autoTIME = after.autoTIME;
    if (n > 10)
        want.reqRANDR = after.reqRANDR;
    if (n > 11)
        want.snGOOD = after.snGOOD;
    compareFields(f, want);
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_readPNinfo"_s, u"Part # not found AB-1 IE = 2"_s));
}

void TestPartNumbers::readPNinfo_deadServer()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    test::ScriptedDialogs dialogs;
    Ops ops(test::deadTarget(tdb), pnTable, &dialogs);
    PnFields f = sentinel();
    qint16 iERROR = -1;
    ops.readPNinfo(u"AB-1"_s, f, iERROR);
    QCOMPARE(iERROR, qint16(1));
    compareFields(f, sentinel());
    QCOMPARE(dialogs.shown.size(), 0);
    // The record would go to the dead server: lost without a trace.
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::readPNinfo_missingTable()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    Ops ops(test::targetOf(tdb), u"noSuchTable"_s);
    PnFields f = sentinel();
    qint16 iERROR = -1;
    ops.readPNinfo(u"AB-1"_s, f, iERROR);
    QCOMPARE(iERROR, qint16(1));
    compareFields(f, sentinel());
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_readPNinfo"_s, u"Part # not found AB-1 IE = 2"_s));
}

// ---- SQL_checkPN ----------------------------------------------------------

void TestPartNumbers::checkPN_counts()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"AB-1"_s));
    QVERIFY(insertPN(tdb, u"ab-1"_s)); // the same under the server's collation
    QVERIFY(insertPN(tdb, u"CD-2"_s));
    QVERIFY(insertPN(tdb, u"x' OR '1'='1"_s));
    Ops ops(test::targetOf(tdb));
    const QList<QPair<QString, int>> cases = {
        {u"AB-1"_s, 2}, {u"CD-2"_s, 1}, {u"EF-3"_s, 0}, {u"x' OR '1'='1"_s, 1}, {u"cd-2 "_s, 1}};
    for (const auto& c : cases) {
        qint16 count = -1;
        ops.checkPN(c.first, count);
        QCOMPARE(count, qint16(c.second));
    }
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::checkPN_failureKeepsCount()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"AB-1"_s));
    test::ScriptedDialogs dialogs;
    {
        Ops ops(test::deadTarget(tdb), pnTable, &dialogs);
        qint16 count = 9;
        ops.checkPN(u"AB-1"_s, count);
        QCOMPARE(count, qint16(9));
    }
    {
        Ops ops(test::targetOf(tdb), u"noSuchTable"_s, &dialogs);
        qint16 count = 9;
        ops.checkPN(u"AB-1"_s, count);
        QCOMPARE(count, qint16(9));
    }
    QCOMPARE(dialogs.shown.size(), 0);
    QCOMPARE(test::errorRecords(tdb), Records());
}

// ---- SQL_writeinfo --------------------------------------------------------

namespace {
PnFields edited()
{
    // snEXTENDER and mapPORT are the caller's values, which the write must ignore.
    return {u"New name"_s, 0, 55, 0, 1, 424242, u"ZZ-##"_s, 5, 1, 0.75f, 1, u"G-2"_s, u"B-2"_s};
}

// partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, snEXTENDER, snFORMAT, snLENGTH,
// autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD of the row with the given id.
QVariantList rowById(test::TestDatabase& tdb, int id)
{
    return tdb
        .rows(u"SELECT partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, snEXTENDER, "
              u"snFORMAT, snLENGTH, autoMEASURE, CAST(autoTIME AS DOUBLE), reqRANDR, snGOOD, snBAD FROM snPN "
              u"WHERE id = ?"_s,
              {id})
        .value(0);
}

QVariantList storedRow(const QString& pn)
{
    return {pn, u"Widget"_s, 1, 7, 1, 1, 1, 99999999, u"AB-####"_s, 7, 1, 2.5, 1, u"G-1"_s, u"B-1"_s};
}

QVariantList editedRow(const QString& pn)
{
    // snVALID 0; mapPORT 7 and snEXTENDER 99999999 as stored.
    return {pn, u"New name"_s, 0, 7, 0, 0, 1, 99999999, u"ZZ-##"_s, 5, 1, 0.75, 1, u"G-2"_s, u"B-2"_s};
}

// Compares as text so that integer widths of the driver do not matter.
QStringList texts(const QVariantList& row)
{
    QStringList out;
    for (const QVariant& v : row)
        out.append(v.isNull() ? u"NULL"_s : v.toString());
    return out;
}
} // namespace

void TestPartNumbers::writeinfo_savesFieldsNotExtenderNorMap()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    QVERIFY(insertFull(tdb, u"CD-2"_s));
    Ops ops(test::targetOf(tdb));
    QString newPN = u"AB-1"_s;
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.writeinfo(u"AB-1"_s, newPN, edited(), mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(mapPORT, qint16(7)); // the record's, not the caller's 55
    QCOMPARE(newPN, u"AB-1"_s);
    QCOMPARE(texts(rowById(tdb, 1)), texts(editedRow(u"AB-1"_s)));
    QCOMPARE(texts(rowById(tdb, 2)), texts(storedRow(u"CD-2"_s)));
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::writeinfo_emptyNewPN()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    Ops ops(test::targetOf(tdb));
    QString newPN;
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.writeinfo(u"AB-1"_s, newPN, edited(), mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(newPN, u"AB-1"_s); // the caller's new pn now equals the old
    QCOMPARE(texts(rowById(tdb, 1)), texts(editedRow(u"AB-1"_s)));
}

void TestPartNumbers::writeinfo_rename()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    Ops ops(test::targetOf(tdb));
    QString newPN = u"AB-9"_s;
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.writeinfo(u"AB-1"_s, newPN, edited(), mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(newPN, u"AB-9"_s);
    QCOMPARE(mapPORT, qint16(7));
    QCOMPARE(texts(rowById(tdb, 1)), texts(editedRow(u"AB-9"_s)));
}

void TestPartNumbers::writeinfo_missing()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    Ops ops(test::targetOf(tdb));
    QString newPN;
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.writeinfo(u"AB-2"_s, newPN, edited(), mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(mapPORT, qint16(-1));
    QCOMPARE(newPN, QString()); // nothing written before the failure
    QCOMPARE(texts(rowById(tdb, 1)), texts(storedRow(u"AB-1"_s)));
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_writeinfo"_s, u"Part # not found AB-2 IE = 2"_s));
}

void TestPartNumbers::writeinfo_onlyFirstOfDuplicates()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    Ops ops(test::targetOf(tdb));
    QString newPN = u"AB-1"_s;
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.writeinfo(u"AB-1"_s, newPN, edited(), mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(texts(rowById(tdb, 1)), texts(editedRow(u"AB-1"_s)));
    QCOMPARE(texts(rowById(tdb, 2)), texts(storedRow(u"AB-1"_s)));
}

void TestPartNumbers::writeinfo_saveFails()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    QVERIFY(test::failingTrigger(tdb, u"snPN"_s, u"UPDATE"_s));
    Ops ops(test::targetOf(tdb));
    QString newPN = u"AB-9"_s;
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.writeinfo(u"AB-1"_s, newPN, edited(), mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(mapPORT, qint16(7)); // read before the save: stays written
    QCOMPARE(texts(rowById(tdb, 1)), texts(storedRow(u"AB-1"_s)));
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_writeinfo"_s, u"Part # not found AB-1 IE = 2"_s));
}

void TestPartNumbers::writeinfo_nullMapPORT()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"ALTER TABLE snPN MODIFY mapPORT SMALLINT NULL"_s));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    QVERIFY(tdb.exec(u"UPDATE snPN SET mapPORT = NULL"_s));
    Ops ops(test::targetOf(tdb));
    QString newPN = u"AB-1"_s;
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.writeinfo(u"AB-1"_s, newPN, edited(), mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(mapPORT, qint16(-1));
    QCOMPARE(tdb.scalar(u"SELECT snNAME FROM snPN"_s).toString(), u"Widget"_s); // not saved
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_writeinfo"_s, u"Part # not found AB-1 IE = 2"_s));
}

void TestPartNumbers::writeinfo_deadServer()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    test::ScriptedDialogs dialogs;
    Ops ops(test::deadTarget(tdb), pnTable, &dialogs);
    QString newPN;
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.writeinfo(u"AB-1"_s, newPN, edited(), mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(mapPORT, qint16(-1));
    QCOMPARE(newPN, QString());
    QCOMPARE(dialogs.shown.size(), 0);
    QCOMPARE(texts(rowById(tdb, 1)), texts(storedRow(u"AB-1"_s)));
    QCOMPARE(test::errorRecords(tdb), Records());
}

// ---- SQL_writePNdef -------------------------------------------------------

void TestPartNumbers::writePNdef_clearsEveryMark()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1, 1, 1));
    QVERIFY(insertPN(tdb, u"B"_s, 2, 0, 1));
    QVERIFY(insertPN(tdb, u"C"_s, 3, 1, 0));
    QVERIFY(insertPN(tdb, u"D"_s, 4, 2, 0)); // only 1 is a mark
    // Rows without the mark are not saved: a save of them would be refused.
    QVERIFY(test::failingTrigger(tdb, u"snPN"_s, u"UPDATE"_s, u"OLD.pnDEFAULT <> 1"_s));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.writePNdef(iERROR);
    QCOMPARE(iERROR, qint16(0));
    const QList<QVariantList> rows =
        tdb.rows(u"SELECT partNUM, pnDEFAULT, snVALID, mapPORT FROM snPN ORDER BY id"_s);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(texts(rows[0]), (QStringList{u"A"_s, u"0"_s, u"1"_s, u"1"_s}));
    QCOMPARE(texts(rows[1]), (QStringList{u"B"_s, u"0"_s, u"1"_s, u"2"_s}));
    QCOMPARE(texts(rows[2]), (QStringList{u"C"_s, u"0"_s, u"0"_s, u"3"_s}));
    QCOMPARE(texts(rows[3]), (QStringList{u"D"_s, u"2"_s, u"0"_s, u"4"_s}));
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::writePNdef_emptyTable()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.writePNdef(iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::writePNdef_nullMidway()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"ALTER TABLE snPN MODIFY pnDEFAULT SMALLINT NULL"_s));
    QVERIFY(insertPN(tdb, u"A"_s, 1, 1));
    QVERIFY(tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT, pnDEFAULT) VALUES ('B', 2, NULL)"_s));
    QVERIFY(insertPN(tdb, u"C"_s, 3, 1));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.writePNdef(iERROR);
    QCOMPARE(iERROR, qint16(1));
    // The row saved before the failure stays saved; the walk stops at the NULL.
    QCOMPARE(texts(tdb.rows(u"SELECT pnDEFAULT FROM snPN ORDER BY id"_s).value(0)), QStringList{u"0"_s});
    QCOMPARE(tdb.scalar(u"SELECT pnDEFAULT FROM snPN WHERE partNUM = 'C'"_s).toInt(), 1);
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_writePNdef"_s, u"Error encountered"_s));
}

void TestPartNumbers::writePNdef_saveFails()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1, 1));
    QVERIFY(insertPN(tdb, u"B"_s, 2, 1));
    QVERIFY(test::failingTrigger(tdb, u"snPN"_s, u"UPDATE"_s, u"OLD.partNUM = 'B'"_s));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.writePNdef(iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(tdb.scalar(u"SELECT pnDEFAULT FROM snPN WHERE partNUM = 'A'"_s).toInt(), 0);
    QCOMPARE(tdb.scalar(u"SELECT pnDEFAULT FROM snPN WHERE partNUM = 'B'"_s).toInt(), 1);
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_writePNdef"_s, u"Error encountered"_s));
}

void TestPartNumbers::writePNdef_deadServer()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1, 1));
    test::ScriptedDialogs dialogs;
    Ops ops(test::deadTarget(tdb), pnTable, &dialogs);
    qint16 iERROR = -1;
    ops.writePNdef(iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(dialogs.shown.size(), 0);
    QCOMPARE(tdb.scalar(u"SELECT pnDEFAULT FROM snPN"_s).toInt(), 1);
    QCOMPARE(test::errorRecords(tdb), Records());
}

// ---- SQL_updatePN ---------------------------------------------------------

void TestPartNumbers::updatePN_setsValid()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1));
    QVERIFY(insertPN(tdb, u"B"_s, 2));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.updatePN(u"B"_s, u"B"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(0));
    const QList<QVariantList> rows = tdb.rows(u"SELECT partNUM, snVALID, mapPORT FROM snPN ORDER BY id"_s);
    QCOMPARE(texts(rows[0]), (QStringList{u"A"_s, u"0"_s, u"1"_s}));
    QCOMPARE(texts(rows[1]), (QStringList{u"B"_s, u"1"_s, u"2"_s}));
    // And back to 0.
    ops.updatePN(u"B"_s, u"B"_s, 0, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(tdb.scalar(u"SELECT snVALID FROM snPN WHERE id = 2"_s).toInt(), 0);
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::updatePN_rename()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    QVERIFY(tdb.exec(u"UPDATE snPN SET snVALID = 0"_s));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.updatePN(u"AB-1"_s, u"AB-2"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(0));
    // Renamed, marked complete, everything else (mapPORT among it) as it was.
    QCOMPARE(texts(rowById(tdb, 1)), texts(storedRow(u"AB-2"_s)));
    // Only the name changes when the mark already matches.
    ops.updatePN(u"AB-2"_s, u"ab-2"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(texts(rowById(tdb, 1)), texts(storedRow(u"ab-2"_s)));
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::updatePN_emptyNewPN()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.updatePN(u"A"_s, QString(), 1, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(texts(tdb.rows(u"SELECT partNUM, snVALID FROM snPN"_s).value(0)), (QStringList{u"A"_s, u"1"_s}));
}

void TestPartNumbers::updatePN_noOpSavesNothing()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1, 0, 1));
    // Any save would be refused, so success proves that none was sent.
    QVERIFY(test::failingTrigger(tdb, u"snPN"_s, u"UPDATE"_s));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.updatePN(u"A"_s, u"A"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::updatePN_exactComparison_data()
{
    QTest::addColumn<QString>("storedPN");
    QTest::addColumn<QString>("oldPN");
    QTest::newRow("letter case") << u"AB-1"_s << u"ab-1"_s;
    QTest::newRow("trailing blank stored") << u"AB-1 "_s << u"AB-1"_s;
    QTest::newRow("trailing blank asked") << u"AB-1"_s << u"AB-1 "_s;
    QTest::newRow("leading blank") << u"AB-1"_s << u" AB-1"_s;
}

void TestPartNumbers::updatePN_exactComparison()
{
    QFETCH(QString, storedPN);
    QFETCH(QString, oldPN);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, storedPN, 1));
    Ops ops(test::targetOf(tdb));
    // The server's collation would match these; the program's comparison does not.
    qint16 count = -1;
    ops.checkPN(oldPN, count);
    if (!oldPN.startsWith(u' '))
        QCOMPARE(count, qint16(1));
    qint16 iERROR = -1;
    ops.updatePN(oldPN, u"NEW"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(texts(tdb.rows(u"SELECT partNUM, snVALID FROM snPN"_s).value(0)),
             (QStringList{storedPN, u"0"_s}));
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_updatePN"_s, u"Part # not found "_s + oldPN + u" IE = 2"_s));
}

void TestPartNumbers::updatePN_onlyFirstOfDuplicates()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"ab-1"_s, 1)); // equal under the collation, not to the program
    QVERIFY(insertPN(tdb, u"AB-1"_s, 2));
    QVERIFY(insertPN(tdb, u"AB-1"_s, 3));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.updatePN(u"AB-1"_s, u"AB-7"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(0));
    const QList<QVariantList> rows = tdb.rows(u"SELECT partNUM, snVALID, mapPORT FROM snPN ORDER BY id"_s);
    QCOMPARE(texts(rows[0]), (QStringList{u"ab-1"_s, u"0"_s, u"1"_s}));
    QCOMPARE(texts(rows[1]), (QStringList{u"AB-7"_s, u"1"_s, u"2"_s}));
    QCOMPARE(texts(rows[2]), (QStringList{u"AB-1"_s, u"0"_s, u"3"_s}));
}

void TestPartNumbers::updatePN_emptyTable()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.updatePN(u"A"_s, u"A"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_updatePN"_s, u"Part # not found A IE = 2"_s));
}

void TestPartNumbers::updatePN_unreadableValidKeepsRename()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"ALTER TABLE snPN MODIFY snVALID INT NOT NULL"_s));
    QVERIFY(insertPN(tdb, u"A"_s, 1, 0, 70000));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.updatePN(u"A"_s, u"B"_s, 1, iERROR);
    // The rename is saved before snVALID is read.
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(texts(tdb.rows(u"SELECT partNUM, snVALID FROM snPN"_s).value(0)),
             (QStringList{u"B"_s, u"70000"_s}));
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_updatePN"_s, u"Part # not found A IE = 2"_s));
}

void TestPartNumbers::updatePN_saveFails()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1));
    QVERIFY(test::failingTrigger(tdb, u"snPN"_s, u"UPDATE"_s));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.updatePN(u"A"_s, u"A"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_updatePN"_s, u"Part # not found A IE = 2"_s));
}

void TestPartNumbers::updatePN_deadServer()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1));
    test::ScriptedDialogs dialogs;
    Ops ops(test::deadTarget(tdb), pnTable, &dialogs);
    qint16 iERROR = -1;
    ops.updatePN(u"A"_s, u"A"_s, 1, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(dialogs.shown.size(), 0);
    QCOMPARE(tdb.scalar(u"SELECT snVALID FROM snPN"_s).toInt(), 0);
    QCOMPARE(test::errorRecords(tdb), Records());
}

// ---- SQL_writenewPN -------------------------------------------------------

void TestPartNumbers::writenewPN_appends()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    PnFields f = edited(); // snEXTENDER 424242 must not be stored
    ops.writenewPN(u"AB-2"_s, u"AB-2"_s, f, 12, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(tdb.count(u"snPN"_s), 2);
    // snVALID 0, snEXTENDER 0, mapPORT the one given.
    QCOMPARE(texts(rowById(tdb, 2)), (texts({u"AB-2"_s, u"New name"_s, 0, 12, 0, 0, 1, 0, u"ZZ-##"_s, 5, 1,
                                             0.75, 1, u"G-2"_s, u"B-2"_s})));
    QCOMPARE(texts(rowById(tdb, 1)), texts(storedRow(u"AB-1"_s)));
    // Read back through the operations.
    PnFields back = sentinel();
    ops.readPNinfo(u"AB-2"_s, back, iERROR);
    QCOMPARE(iERROR, qint16(0));
    f.mapPORT = 12;
    f.snEXTENDER = 0;
    compareFields(back, f);
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::writenewPN_noDuplicateCheck()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertFull(tdb, u"AB-1"_s));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    ops.writenewPN(u"AB-1"_s, u"AB-1"_s, edited(), 8, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(tdb.scalar(u"SELECT COUNT(*) FROM snPN WHERE partNUM = 'AB-1'"_s).toInt(), 2);
}

void TestPartNumbers::writenewPN_saveFails()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(test::failingTrigger(tdb, u"snPN"_s, u"INSERT"_s));
    Ops ops(test::targetOf(tdb));
    qint16 iERROR = -1;
    // The summary names the first part number argument.
    ops.writenewPN(u"SUMMARY-PN"_s, u"RECORD-PN"_s, edited(), 8, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(tdb.count(u"snPN"_s), 0);
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_writenewPN"_s, u"Part # was SUMMARY-PN IE = 2"_s));
}

void TestPartNumbers::writenewPN_deadServer()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    test::ScriptedDialogs dialogs;
    Ops ops(test::deadTarget(tdb), pnTable, &dialogs);
    qint16 iERROR = -1;
    ops.writenewPN(u"AB-1"_s, u"AB-1"_s, edited(), 8, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(dialogs.shown.size(), 0);
    QCOMPARE(tdb.count(u"snPN"_s), 0);
    QCOMPARE(test::errorRecords(tdb), Records());
}

// ---- SQL_delPN ------------------------------------------------------------

void TestPartNumbers::delPN_deletesFirstOnly()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1));
    QVERIFY(insertPN(tdb, u"B"_s, 4));
    QVERIFY(insertPN(tdb, u"B"_s, 5));
    Ops ops(test::targetOf(tdb));
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.delPN(u"B"_s, mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(mapPORT, qint16(4));
    QCOMPARE(tdb.rows(u"SELECT mapPORT FROM snPN ORDER BY id"_s).size(), 2);
    QCOMPARE(tdb.scalar(u"SELECT mapPORT FROM snPN WHERE partNUM = 'B'"_s).toInt(), 5);
    QCOMPARE(test::errorRecords(tdb), Records());
}

void TestPartNumbers::delPN_missing()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 1));
    Ops ops(test::targetOf(tdb));
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.delPN(u"Z"_s, mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(0)); // not a failure, but recorded
    QCOMPARE(mapPORT, qint16(-1));
    QCOMPARE(tdb.count(u"snPN"_s), 1);
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_delPN"_s, u"Part # not found Z IE = 1"_s));
}

void TestPartNumbers::delPN_comparisonIsTheServers()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"AB-1"_s, 3));
    Ops ops(test::targetOf(tdb));
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.delPN(u"ab-1"_s, mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(mapPORT, qint16(3));
    QCOMPARE(tdb.count(u"snPN"_s), 0);
}

void TestPartNumbers::delPN_deleteFails()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 6));
    QVERIFY(test::failingTrigger(tdb, u"snPN"_s, u"DELETE"_s));
    Ops ops(test::targetOf(tdb));
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.delPN(u"A"_s, mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(mapPORT, qint16(6)); // read before the delete: stays written
    QCOMPARE(tdb.count(u"snPN"_s), 1);
    QCOMPARE(test::errorRecords(tdb), one(u"SQL_delPN"_s, u"Part # not found A IE = 2"_s));
}

void TestPartNumbers::delPN_deadServer()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPN(tdb, u"A"_s, 6));
    test::ScriptedDialogs dialogs;
    Ops ops(test::deadTarget(tdb), pnTable, &dialogs);
    qint16 mapPORT = -1;
    qint16 iERROR = -1;
    ops.delPN(u"A"_s, mapPORT, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(mapPORT, qint16(-1));
    QCOMPARE(dialogs.shown.size(), 0);
    QCOMPARE(tdb.count(u"snPN"_s), 1);
    QCOMPARE(test::errorRecords(tdb), Records());
}

// ---- Round trips ----------------------------------------------------------

// The statements one call sends, counted by the server for an account of its
// own: the walks of SQL_updatePN and SQL_writePNdef cost a fixed number of
// statements plus one save per changed row, however large the table.
void TestPartNumbers::statementsPerOperation()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    test::CountedAccount account(tdb);
    QVERIFY2(account.ok(), qPrintable(tdb.error()));
    for (int i = 1; i <= 200; ++i)
        QVERIFY(insertPN(tdb, u"P"_s + QString::number(i), i, i % 50 == 0 ? 1 : 0));
    Ops ops(account.target());
    auto measure = [&](const char* name, const std::function<void()>& call) {
        const auto before = account.counts();
        call();
        const auto after = account.counts();
        const qint64 select = after.select - before.select;
        const qint64 update = after.update - before.update;
        const qint64 other = after.other - before.other;
        qInfo("%s: %lld statements (%lld select, %lld insert/update/delete, %lld other)", name,
              select + update + other, select, update, other);
        return std::array<qint64, 3>{select, update, other};
    };
    qint16 iERROR = -1;
    const auto noOp = measure("SQL_updatePN, nothing to change, 200 rows",
                              [&] { ops.updatePN(u"P200"_s, u"P200"_s, 0, iERROR); });
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(noOp[1], qint64(0)); // no save
    const auto rename = measure("SQL_updatePN, rename and mark, 200 rows",
                                [&] { ops.updatePN(u"P200"_s, u"Q200"_s, 1, iERROR); });
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(rename[1], qint64(1)); // one save for the changed row
    const auto def = measure("SQL_writePNdef, 4 marks in 200 rows", [&] { ops.writePNdef(iERROR); });
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(def[1], qint64(4)); // one save per changed row
    QCOMPARE(def[0], noOp[0]);   // the same reads as the walk without a change
    const auto none = measure("SQL_writePNdef, no mark in 200 rows", [&] { ops.writePNdef(iERROR); });
    QCOMPARE(none[1], qint64(0));
    PnFields f = sentinel();
    measure("SQL_readPNinfo", [&] { ops.readPNinfo(u"P7"_s, f, iERROR); });
    db::PnList list;
    qint16 num = 0;
    measure("SQL_readPNlist, 200 rows", [&] { ops.readPNlist(list, num); });
    qint16 count = 0;
    measure("SQL_checkPN", [&] { ops.checkPN(u"P7"_s, count); });
    QString newPN = u"P7"_s;
    qint16 mapPORT = 0;
    measure("SQL_writeinfo", [&] { ops.writeinfo(u"P7"_s, newPN, edited(), mapPORT, iERROR); });
    measure("SQL_writenewPN", [&] { ops.writenewPN(u"N1"_s, u"N1"_s, edited(), 300, iERROR); });
    measure("SQL_delPN", [&] { ops.delPN(u"N1"_s, mapPORT, iERROR); });
}

QTEST_GUILESS_MAIN(TestPartNumbers)
#include "tst_partnumbers.moc"
