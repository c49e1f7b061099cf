#include "Database.h"
#include "Recordset.h"
#include "TestServer.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace zelmar;

class TestRecordset : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedReads_data();
    void typedReads();
    void floatsRoundTripExactly_data();
    void floatsRoundTripExactly();
    void saveTouchesOnlyTheFetchedRow_data();
    void saveTouchesOnlyTheFetchedRow();
    void deleteTouchesOnlyTheFetchedRow_data();
    void deleteTouchesOnlyTheFetchedRow();
    void saveFailsWhenTheRowIsGone();
    void emptyTextIsStoredAsEmptyNotNull();
    void caseOnlyDifferencesAreDifferentRows_data();
    void caseOnlyDifferencesAreDifferentRows();
    void hostileValuesAndTableNames_data();
    void hostileValuesAndTableNames();
    void emptyResultAndNavigation();
    void appendOnlyNeedsNoReadPrivilege();
    void errorRecordWritten();
    void errorRecordLostSilently();
};

void TestRecordset::typedReads_data()
{
    QTest::addColumn<QString>("columnType");
    QTest::addColumn<QString>("stored"); // SQL literal
    QTest::addColumn<QString>("reader");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("int16 plain") << u"SMALLINT"_s << u"-32768"_s << u"int16"_s << true << QVariant(-32768);
    QTest::newRow("int16 40000 out of range") << u"INT"_s << u"40000"_s << u"int16"_s << false << QVariant();
    QTest::newRow("int16 null") << u"SMALLINT NULL"_s << u"NULL"_s << u"int16"_s << false << QVariant();
    QTest::newRow("int16 from numeric text")
        << u"VARCHAR(10)"_s << u"'12'"_s << u"int16"_s << true << QVariant(12);
    QTest::newRow("int16 from word") << u"VARCHAR(10)"_s << u"'twelve'"_s << u"int16"_s << false
                                     << QVariant();
    QTest::newRow("int32 snEXTENDER size")
        << u"INT"_s << u"99999999"_s << u"int32"_s << true << QVariant(99999999);
    QTest::newRow("int32 from bigint too large")
        << u"BIGINT"_s << u"3000000000"_s << u"int32"_s << false << QVariant();
    QTest::newRow("single from float") << u"FLOAT"_s << u"0.25"_s << u"single"_s << true << QVariant(0.25);
    QTest::newRow("single null") << u"FLOAT NULL"_s << u"NULL"_s << u"single"_s << false << QVariant();
    QTest::newRow("single from word") << u"VARCHAR(10)"_s << u"'abc'"_s << u"single"_s << false << QVariant();
    QTest::newRow("single too large") << u"DOUBLE"_s << u"1e300"_s << u"single"_s << false << QVariant();
    QTest::newRow("text plain") << u"VARCHAR(10)"_s << u"'AB-1 '"_s << u"text"_s << true
                                << QVariant(u"AB-1 "_s);
    QTest::newRow("text empty") << u"VARCHAR(10)"_s << u"''"_s << u"text"_s << true << QVariant(QString());
    QTest::newRow("text null") << u"VARCHAR(10) NULL"_s << u"NULL"_s << u"text"_s << false << QVariant();
    QTest::newRow("text longer than a first read holds")
        << u"TEXT"_s << u"REPEAT('x', 3000)"_s << u"text"_s << true << QVariant(QString(3000, u'x'));
}

void TestRecordset::typedReads()
{
    QFETCH(QString, columnType);
    QFETCH(QString, stored);
    QFETCH(QString, reader);
    QFETCH(bool, ok);
    QFETCH(QVariant, expected);
    test::TestDatabase tdb(QStringList{});
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"CREATE TABLE t (v "_s + columnType + u")"_s));
    QVERIFY(tdb.exec(u"INSERT INTO t VALUES ("_s + stored + u")"_s));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::wholeTable(u"t"_s)));
    QVERIFY(rs.moveFirst());
    bool read = false;
    QVariant got;
    if (reader == u"int16"_s) {
        qint16 v = 7;
        read = rs.readInt16(u"v"_s, v);
        got = int(v);
        if (!read)
            QCOMPARE(v, qint16(7)); // untouched on failure
    } else if (reader == u"int32"_s) {
        qint32 v = 7;
        read = rs.readInt32(u"v"_s, v);
        got = v;
        if (!read)
            QCOMPARE(v, 7);
    } else if (reader == u"single"_s) {
        float v = 7;
        read = rs.readSingle(u"v"_s, v);
        got = double(v);
        if (!read)
            QCOMPARE(v, 7.0f);
    } else {
        QString v = u"before"_s;
        read = rs.readText(u"v"_s, v);
        got = v;
        if (!read)
            QCOMPARE(v, u"before"_s);
    }
    QCOMPARE(read, ok);
    if (ok)
        QCOMPARE(got, expected);
}

void TestRecordset::floatsRoundTripExactly_data()
{
    QTest::addColumn<float>("value");
    QTest::newRow("0.05") << 0.05f;
    QTest::newRow("123.456") << 123.456f;
    QTest::newRow("16777216") << 16777216.0f;
    QTest::newRow("1e-7") << 1e-7f;
}

void TestRecordset::floatsRoundTripExactly()
{
    QFETCH(float, value);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    // No primary key, so the save finds the row by every value, FLOAT included.
    QVERIFY(tdb.exec(u"CREATE TABLE p (mapPORT SMALLINT, minSPEC FLOAT, portNAME VARCHAR(15))"_s));
    {
        db::Connection connection(tdb.profile());
        QVERIFY(connection.open());
        db::Recordset rs(connection);
        QVERIFY(rs.open(db::appendOnly(u"p"_s)));
        rs.addNew();
        QVERIFY(rs.setField(u"mapPORT"_s, 1));
        QVERIFY(rs.setField(u"minSPEC"_s, value));
        QVERIFY(rs.setField(u"portNAME"_s, u"a"_s));
        QVERIFY2(rs.update(), qPrintable(rs.errorText()));
    }
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::onePortMap(u"p"_s, 1)));
    QVERIFY(rs.moveFirst());
    float read = 0;
    QVERIFY(rs.readSingle(u"minSPEC"_s, read));
    // Exact, not fuzzy: six printed digits would turn 16777216 into 16777200.
    QVERIFY2(read == value, qPrintable(QString::number(double(read), 'g', 12)));
    QVERIFY(rs.setField(u"portNAME"_s, u"b"_s));
    QVERIFY2(rs.update(), qPrintable(rs.errorText()));
    QCOMPARE(tdb.scalar(u"SELECT portNAME FROM p"_s).toString(), u"b"_s);
}

void TestRecordset::saveTouchesOnlyTheFetchedRow_data()
{
    QTest::addColumn<bool>("withKey");
    QTest::newRow("table with primary key") << true;
    QTest::newRow("table without key") << false;
}

void TestRecordset::saveTouchesOnlyTheFetchedRow()
{
    QFETCH(bool, withKey);
    test::TestDatabase tdb(QStringList{});
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"CREATE TABLE t ("_s +
                     (withKey ? u"id INT AUTO_INCREMENT PRIMARY KEY, "_s : QString()) +
                     u"partNUM VARCHAR(25), snNAME VARCHAR(25) NULL, autoTIME FLOAT)"_s));
    for (int i = 0; i < 3; ++i)
        QVERIFY(tdb.exec(u"INSERT INTO t (partNUM, snNAME, autoTIME) VALUES ('AB-1', NULL, 0.1)"_s));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::onePartNumber(u"t"_s, u"AB-1"_s)));
    QCOMPARE(rs.recordCount(), 3);
    QVERIFY(rs.moveFirst());
    rs.moveNext();
    QVERIFY(rs.setField(u"snNAME"_s, u"second"_s));
    QVERIFY2(rs.update(), qPrintable(rs.errorText()));
    QCOMPARE(tdb.scalar(u"SELECT COUNT(*) FROM t WHERE snNAME = 'second'"_s).toInt(), 1);
    // Saving the same row again finds it by its new values.
    QVERIFY(rs.setField(u"snNAME"_s, u"again"_s));
    QVERIFY2(rs.update(), qPrintable(rs.errorText()));
    QCOMPARE(tdb.scalar(u"SELECT COUNT(*) FROM t WHERE snNAME = 'again'"_s).toInt(), 1);
    QCOMPARE(tdb.scalar(u"SELECT COUNT(*) FROM t WHERE snNAME IS NULL"_s).toInt(), 2);
}

void TestRecordset::deleteTouchesOnlyTheFetchedRow_data()
{
    saveTouchesOnlyTheFetchedRow_data();
}

void TestRecordset::deleteTouchesOnlyTheFetchedRow()
{
    QFETCH(bool, withKey);
    test::TestDatabase tdb(QStringList{});
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"CREATE TABLE t ("_s +
                     (withKey ? u"id INT AUTO_INCREMENT PRIMARY KEY, "_s : QString()) +
                     u"mapPORT SMALLINT, mapNUM SMALLINT, ssTOL FLOAT)"_s));
    for (int i = 0; i < 3; ++i)
        QVERIFY(tdb.exec(u"INSERT INTO t (mapPORT, mapNUM, ssTOL) VALUES (4, 1, 0.05)"_s));
    QVERIFY(tdb.exec(u"INSERT INTO t (mapPORT, mapNUM, ssTOL) VALUES (5, 1, 0.05)"_s));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::onePortMap(u"t"_s, 4)));
    QCOMPARE(rs.recordCount(), 3);
    QVERIFY(rs.moveFirst());
    QVERIFY2(rs.deleteCurrent(), qPrintable(rs.errorText()));
    QCOMPARE(tdb.count(u"t"_s), 3);
    rs.moveNext();
    QVERIFY2(rs.deleteCurrent(), qPrintable(rs.errorText()));
    QCOMPARE(tdb.count(u"t"_s), 2);
    QCOMPARE(tdb.scalar(u"SELECT COUNT(*) FROM t WHERE mapPORT = 5"_s).toInt(), 1);
}

void TestRecordset::saveFailsWhenTheRowIsGone()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES ('AB-1', 1)"_s));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::onePartNumber(u"snPN"_s, u"AB-1"_s)));
    QVERIFY(rs.moveFirst());
    QVERIFY(tdb.exec(u"DELETE FROM snPN"_s));
    QVERIFY(rs.setField(u"snNAME"_s, u"x"_s));
    QVERIFY(!rs.update());
    QVERIFY(!rs.deleteCurrent());
    QCOMPARE(tdb.count(u"snPN"_s), 0);
}

void TestRecordset::emptyTextIsStoredAsEmptyNotNull()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::appendOnly(u"snPN"_s)));
    rs.addNew();
    QVERIFY(rs.setField(u"partNUM"_s, u"AB-1"_s));
    QVERIFY(rs.setField(u"mapPORT"_s, 1));
    QVERIFY(rs.setField(u"snFORMAT"_s, QString())); // a null QString, as an untouched field gives
    QVERIFY2(rs.update(), qPrintable(rs.errorText()));
    QCOMPARE(tdb.scalar(u"SELECT COUNT(*) FROM snPN WHERE snFORMAT = ''"_s).toInt(), 1);
    db::Recordset byEmpty(connection);
    QVERIFY(byEmpty.open(db::onePartNumber(u"snPN"_s, QString())));
    QCOMPARE(byEmpty.recordCount(), 0);
}

void TestRecordset::caseOnlyDifferencesAreDifferentRows_data()
{
    QTest::addColumn<QString>("charset");
    QTest::newRow("utf8mb4") << u"utf8mb4"_s;
    QTest::newRow("latin1") << u"latin1"_s;
}

void TestRecordset::caseOnlyDifferencesAreDifferentRows()
{
    QFETCH(QString, charset);
    test::TestDatabase tdb(QStringList{});
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    // No key, a case-insensitive collation that ignores trailing blanks, an index on the part number
    // and texts beyond ASCII: each save must still pick the exact row.
    QVERIFY(tdb.exec(u"CREATE TABLE t (partNUM VARCHAR(25), snNAME VARCHAR(25), KEY by_part (partNUM)) "
                     u"CHARACTER SET "_s +
                     charset));
    const QStringList rows{u"müller-1|lower"_s, u"MÜLLER-1|upper"_s, u"MÜLLER-1 |blank"_s,
                           u"MÜLLER-1|again"_s};
    for (const QString& row : rows)
        QVERIFY(tdb.exec(u"INSERT INTO t VALUES (?, ?)"_s, {row.section(u'|', 0, 0), row.section(u'|', 1)}));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::wholeTable(u"t"_s)));
    QVERIFY(rs.moveFirst());
    rs.moveNext();
    QString pn;
    QVERIFY(rs.readText(u"partNUM"_s, pn));
    QCOMPARE(pn, u"MÜLLER-1"_s);
    QVERIFY(rs.setField(u"snNAME"_s, u"changed"_s));
    QVERIFY2(rs.update(), qPrintable(rs.errorText()));
    rs.moveNext();
    QVERIFY(rs.setField(u"snNAME"_s, u"changed too"_s));
    QVERIFY2(rs.update(), qPrintable(rs.errorText()));
    QStringList after;
    for (const QVariantList& row : tdb.rows(u"SELECT partNUM, snNAME FROM t"_s))
        after.append(row[0].toString() + u'|' + row[1].toString());
    after.sort();
    QStringList want{u"müller-1|lower"_s, u"MÜLLER-1|changed"_s, u"MÜLLER-1 |changed too"_s,
                     u"MÜLLER-1|again"_s};
    want.sort();
    QCOMPARE(after, want);
}

void TestRecordset::hostileValuesAndTableNames_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("value");
    QTest::newRow("quote in value") << u"snPN"_s << u"x' OR '1'='1"_s;
    QTest::newRow("comment in value") << u"snPN"_s << u"AB'; DROP TABLE snPN; -- "_s;
    QTest::newRow("backtick table") << u"we`ird; DROP TABLE snPN; --"_s << u"AB-1"_s;
    QTest::newRow("quoted table") << u"t'x\"y /*z*/"_s << u"A#1"_s;
}

void TestRecordset::hostileValuesAndTableNames()
{
    QFETCH(QString, table);
    QFETCH(QString, value);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QString quoted = table;
    quoted.replace(u'`', u"``"_s);
    if (table != u"snPN"_s)
        QVERIFY(tdb.exec(u"CREATE TABLE `"_s + quoted + u"` LIKE snPN"_s));
    QVERIFY(
        tdb.exec(u"INSERT INTO `"_s + quoted + u"` (partNUM, mapPORT) VALUES ('AB-1', 1), ('CD-2', 2)"_s));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    {
        db::Recordset rs(connection);
        QVERIFY2(rs.open(db::onePartNumber(table, value)), qPrintable(rs.errorText()));
        QCOMPARE(rs.recordCount(), value == u"AB-1"_s ? 1 : 0);
    }
    {
        db::Recordset rs(connection);
        QVERIFY(rs.open(db::appendOnly(table)));
        rs.addNew();
        QVERIFY(rs.setField(u"partNUM"_s, value.left(25)));
        QVERIFY(rs.setField(u"mapPORT"_s, 3));
        QVERIFY2(rs.update(), qPrintable(rs.errorText()));
    }
    QCOMPARE(tdb.count(u"snPN"_s), table == u"snPN"_s ? 3 : 0);
    QCOMPARE(
        tdb.scalar(u"SELECT COUNT(*) FROM `"_s + quoted + u"` WHERE partNUM = ?"_s, {value.left(25)}).toInt(),
        value == u"AB-1"_s ? 2 : 1);
}

void TestRecordset::emptyResultAndNavigation()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::wholeTable(u"snPN"_s)));
    QCOMPARE(rs.recordCount(), 0);
    QVERIFY(!rs.moveFirst());
    QVERIFY(rs.eof());
    QString text;
    QVERIFY(!rs.readText(u"partNUM"_s, text));
    QVERIFY(!rs.setField(u"partNUM"_s, u"x"_s));
    QVERIFY(!rs.deleteCurrent());
    db::Recordset missing(connection);
    QVERIFY(!missing.open(db::wholeTable(u"noSuchTable"_s)));
}

void TestRecordset::appendOnlyNeedsNoReadPrivilege()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    const QString user = u"w_"_s + tdb.name().right(12);
    QVERIFY(tdb.exec(u"CREATE USER '"_s + user + u"'@'127.0.0.1' IDENTIFIED BY 'pw'"_s));
    QVERIFY(tdb.exec(u"GRANT INSERT ON `"_s + tdb.name() + u"`.zSQL TO '"_s + user + u"'@'127.0.0.1'"_s));
    db::Database database;
    database.SQL_writeERROR(tdb.server().serverValue(), tdb.name(), user, u"pw"_s, u"zSQL"_s, u"R"_s, u"S"_s);
    tdb.exec(u"DROP USER '"_s + user + u"'@'127.0.0.1'"_s);
    QCOMPARE(tdb.count(u"zSQL"_s), 1);
}

void TestRecordset::errorRecordWritten()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    db::Database database;
    const db::Profile p = tdb.profile();
    database.SQL_writeERROR(p.server, p.database, p.user, p.password, db::errorTable, u"SQL_readPNinfo"_s,
                            u"Part # not found AB' -- IE = 2"_s);
    const QList<QVariantList> rows = tdb.rows(u"SELECT Routine, Summary FROM zSQL"_s);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), u"SQL_readPNinfo"_s);
    QCOMPARE(rows[0][1].toString(), u"Part # not found AB' -- IE = 2"_s);
}

void TestRecordset::errorRecordLostSilently()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    db::Database database;
    const db::Profile p = tdb.profile();
    // Server down: nothing happens, nothing is shown, the call returns.
    database.SQL_writeERROR(u"127.0.0.1:"_s + QString::number(test::deadPort()), p.database, p.user,
                            p.password, db::errorTable, u"R"_s, u"S"_s);
    // Table missing: the same.
    database.SQL_writeERROR(p.server, p.database, p.user, p.password, u"noSuchTable"_s, u"R"_s, u"S"_s);
    QCOMPARE(tdb.count(u"zSQL"_s), 0);
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
