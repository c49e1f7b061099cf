#include "DbFixtures.h"

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {

// A database without the project's tables, holding `create` and the rows `inserts` adds.
struct Table
{
    test::TestDatabase tdb{QStringList{}};
    db::Connection connection{tdb.profile()};
    bool ok(const QString& create, const QStringList& inserts = {})
    {
        return tdb.ok() && tdb.exec(create) && test::execAll(tdb, inserts) && connection.open();
    }
};

} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedReads_data()
    {
        QTest::addColumn<QString>("columnType");
        QTest::addColumn<QString>("stored"); // SQL literal
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QVariant>("expected"); // invalid: the read fails
        QTest::newRow("int16 highest") << u"INT"_s << u"32767"_s << u"int16"_s << QVariant(32767);
        QTest::newRow("int16 just past the highest") << u"INT"_s << u"32768"_s << u"int16"_s << QVariant();
        QTest::newRow("single too large") << u"DOUBLE"_s << u"1e300"_s << u"single"_s << QVariant();
        QTest::newRow("text longer than a first read holds")
            << u"TEXT"_s << u"REPEAT('x', 3000)"_s << u"text"_s << QVariant(QString(3000, u'x'));
    }
    void typedReads()
    {
        QFETCH(QString, columnType);
        QFETCH(QString, stored);
        QFETCH(QString, reader);
        QFETCH(QVariant, expected);
        Table t;
        QVERIFY(t.ok(u"CREATE TABLE t (v "_s + columnType + u")"_s,
                     {u"INSERT INTO t VALUES ("_s + stored + u")"_s}));
        db::Recordset rs(t.connection);
        QVERIFY(rs.open(db::wholeTable(u"t"_s)) && rs.moveFirst());
        const auto read = [&](auto value, auto reading) {
            return (rs.*reading)(u"v"_s, value) ? QVariant::fromValue(value) : QVariant();
        };
        QVariant got = reader == u"int16"_s    ? read(qint16(7), &db::Recordset::readInt16)
                       : reader == u"single"_s ? read(7.0f, &db::Recordset::readSingle)
                                               : read(u"before"_s, &db::Recordset::readText);
        QCOMPARE(got, expected);
    }

    void floatsRoundTripExactly_data()
    {
        QTest::addColumn<float>("value");
        for (float v : {0.05f, 123.456f, 16777216.0f, 1e-7f})
            QTest::addRow("%g", double(v)) << v;
    }
    void floatsRoundTripExactly()
    {
        QFETCH(float, value);
        // No primary key, so the save finds the row by every value, FLOAT included.
        Table t;
        QVERIFY(t.ok(u"CREATE TABLE p (mapPORT SMALLINT, minSPEC FLOAT, portNAME VARCHAR(15))"_s));
        {
            db::Recordset rs(t.connection);
            QVERIFY(rs.open(db::appendOnly(u"p"_s)));
            rs.addNew();
            QVERIFY(rs.setField(u"mapPORT"_s, 1) && rs.setField(u"minSPEC"_s, value));
            QVERIFY(rs.setField(u"portNAME"_s, QString())); // stored as empty, not NULL
            QVERIFY2(rs.update(), qPrintable(rs.errorText()));
        }
        QCOMPARE(t.tdb.scalar(u"SELECT COUNT(*) FROM p WHERE portNAME = ''"_s).toInt(), 1);
        db::Recordset rs(t.connection);
        QVERIFY(rs.open(db::onePortMap(u"p"_s, 1)) && rs.moveFirst());
        float read = 0;
        QVERIFY(rs.readSingle(u"minSPEC"_s, read));
        // Exact, not fuzzy: six printed digits would turn 16777216 into 16777200.
        QVERIFY2(read == value, qPrintable(QString::number(double(read), 'g', 12)));
        QVERIFY(rs.setField(u"portNAME"_s, u"b"_s));
        QVERIFY2(rs.update(), qPrintable(rs.errorText()));
        QCOMPARE(t.tdb.scalar(u"SELECT portNAME FROM p"_s).toString(), u"b"_s);
    }

    // Three equal rows and another, no key: each save and delete touches only the row fetched; a
    // save that changes nothing still finds its row, and one whose row is gone fails.
    void touchesOnlyTheFetchedRow()
    {
        Table t;
        const QString row = u"INSERT INTO t (mapPORT, portNAME, ssTOL) VALUES (%1, NULL, 0.05)"_s;
        QVERIFY(t.ok(u"CREATE TABLE t (mapPORT SMALLINT, portNAME VARCHAR(15) NULL, ssTOL FLOAT)"_s,
                     {row.arg(4), row.arg(4), row.arg(4), row.arg(5)}));
        const auto named = [&](const QString& name) {
            return t.tdb.scalar(u"SELECT COUNT(*) FROM t WHERE portNAME = ?"_s, {name}).toInt();
        };
        db::Recordset rs(t.connection);
        QVERIFY(rs.open(db::onePortMap(u"t"_s, 4)));
        QCOMPARE(rs.recordCount(), 3);
        QVERIFY(rs.moveFirst());
        rs.moveNext();
        QVERIFY(rs.setField(u"portNAME"_s, u"second"_s) && rs.update());
        QCOMPARE(named(u"second"_s), 1);
        // Saving the same row again finds it by its new values, also when nothing changes.
        for (int i = 0; i < 2; ++i)
            QVERIFY2(rs.setField(u"portNAME"_s, u"again"_s) && rs.update(), qPrintable(rs.errorText()));
        QCOMPARE(named(u"again"_s), 1);
        QVERIFY2(rs.deleteCurrent(), qPrintable(rs.errorText()));
        QCOMPARE(t.tdb.count(u"t"_s), 3);
        QCOMPARE(named(u"again"_s), 0);
        rs.moveNext();
        QVERIFY2(rs.deleteCurrent(), qPrintable(rs.errorText()));
        QCOMPARE(t.tdb.scalar(u"SELECT COUNT(*) FROM t WHERE mapPORT = 4"_s).toInt(), 1);
        QVERIFY(rs.moveFirst() && t.tdb.exec(u"DELETE FROM t WHERE mapPORT = 4"_s));
        QVERIFY(rs.setField(u"portNAME"_s, u"x"_s));
        QVERIFY(!rs.update());
        QVERIFY(!rs.deleteCurrent());
        QCOMPARE(t.tdb.count(u"t"_s), 1);
    }

    // No key, a case-insensitive collation that ignores trailing blanks, an index on the part
    // number, rows equal but for case or blanks in every column: each save picks the exact row.
    void caseOnlyDifferencesAreDifferentRows_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::newRow("utf8mb4") << u"utf8mb4"_s;
        QTest::newRow("latin1") << u"latin1"_s;
    }
    void caseOnlyDifferencesAreDifferentRows()
    {
        QFETCH(QString, charset);
        Table t;
        QVERIFY(t.ok(u"CREATE TABLE t (partNUM VARCHAR(25), snNAME VARCHAR(25), KEY by_part (partNUM)) "
                     u"CHARACTER SET "_s +
                     charset));
        for (const QString& row : {u"müller-1|x"_s, u"MÜLLER-1|X"_s, u"MÜLLER-1 |X "_s, u"MÜLLER-1|again"_s})
            QVERIFY(t.tdb.exec(u"INSERT INTO t VALUES (?, ?)"_s,
                               {row.section(u'|', 0, 0), row.section(u'|', 1)}));
        db::Recordset rs(t.connection);
        QVERIFY(rs.open(db::wholeTable(u"t"_s)) && rs.moveFirst());
        for (const QString& name : {u"changed"_s, u"changed too"_s}) {
            rs.moveNext();
            QVERIFY(rs.setField(u"snNAME"_s, name));
            QVERIFY2(rs.update(), qPrintable(rs.errorText()));
        }
        QStringList after = test::lines(t.tdb, u"SELECT partNUM, snNAME FROM t"_s);
        QStringList want{u"müller-1|x"_s, u"MÜLLER-1|changed"_s, u"MÜLLER-1 |changed too"_s,
                         u"MÜLLER-1|again"_s};
        after.sort();
        want.sort();
        QCOMPARE(after, want);
    }

    // The error record is written by an account that may only insert into its table.
    void appendOnlyNeedsNoReadPrivilege()
    {
        test::TestDatabase tdb;
        QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
        const QString user = u"w_"_s + tdb.name().right(12);
        QVERIFY(tdb.exec(u"CREATE USER '"_s + user + u"'@'127.0.0.1' IDENTIFIED BY 'pw'"_s));
        QVERIFY(tdb.exec(u"GRANT INSERT ON `"_s + tdb.name() + u"`.zSQL TO '"_s + user + u"'@'127.0.0.1'"_s));
        db::Database().SQL_writeERROR(tdb.server().serverValue(), tdb.name(), user, u"pw"_s, u"zSQL"_s,
                                      u"R"_s, u"S"_s);
        tdb.exec(u"DROP USER '"_s + user + u"'@'127.0.0.1'"_s);
        QCOMPARE(test::errorRecords(tdb), QStringList{u"R|S"_s});
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
