// The part-number operations against the real server, one table per operation; the failure
// paths shared by every operation are in tst_faults.

#include "DbFixtures.h"

using namespace Qt::StringLiterals;
using namespace zelmar;
using D = db::Database;
using test::edited;
using test::PnFields;

namespace {

// One row of a table: the rows stored, statements run before the call, what the call is
// given, and what it must give back and leave.
struct Case
{
    QString rows = {};  // "partNUM|snVALID|pnDEFAULT,...", mapPORT counting from 1; pnDEFAULT an SQL literal
    QString setup = {}; // statements, one a line
    QString pn = {}, newPN = {};
    int value = 0;       // the call's number: snVALID or mapPORT
    int status = 0;      // iERROR, or the count of a call that has none
    int out = 0;         // the mapPORT handed back, or how many fields were read
    QString after = {};  // the table's columns that the test names, or what the call handed back
    QString record = {}; // the error record's summary; empty: none
};

} // namespace

Q_DECLARE_METATYPE(Case)

namespace {

const QString full =
    u"Widget|1|7|1|1|1|99999999|AB-####|7|1|2.5|1|G-1|B-1"_s; // snNAME to snBAD of insertFull

bool insertFull(test::TestDatabase& tdb, const QString& pn)
{
    return tdb.exec(u"INSERT INTO snPN (partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, "
                    u"snEXTENDER, snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD) VALUES "
                    u"(?, 'Widget', 1, 7, 1, 1, 1, 99999999, 'AB-####', 7, 1, 2.5, 1, 'G-1', 'B-1')"_s,
                    {pn});
}

struct Bench
{
    test::TestDatabase tdb;
    test::Caller call{db::Database(), tdb.profile(), u"snPN"_s};
    bool ok(const Case& c)
    {
        const QStringList rows = c.rows.split(u',', Qt::SkipEmptyParts);
        bool done = tdb.ok();
        for (int i = 0; done && i < rows.size(); ++i) {
            const QStringList v = rows[i].split(u'|');
            done = v[0] == u"FULL"_s
                       ? insertFull(tdb, u"AB-1"_s)
                       : tdb.exec(
                             u"INSERT INTO snPN (partNUM, mapPORT, snVALID, pnDEFAULT) VALUES (?, ?, ?, %1)"_s
                                 .arg(v.value(2, u"0"_s)),
                             {v[0], i + 1, v.value(1).toInt()});
        }
        return done && test::execAll(tdb, c.setup.split(u'\n', Qt::SkipEmptyParts));
    }
    QString table(const QString& columns) { return test::tableTexts(tdb, u"snPN"_s, columns).join(u','); }
    QStringList records(const Case& c, const QString& routine)
    {
        return QStringList(!c.record.isEmpty(), routine + u'|' + c.record);
    }
};

void rows(std::initializer_list<std::pair<const char*, Case>> cases)
{
    QTest::addColumn<Case>("c");
    for (const auto& [name, c] : cases)
        QTest::newRow(name) << c;
}

} // namespace

class TestPartNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // PN-001, PN-002, ... one partNUM NULL: `value` rows, the NULL at row `out`; `status` counted,
    // the names up to slot `after` stored, every other slot left alone.
    void readPNlist_data()
    {
        rows({{"101 records: all counted, 100 stored", {.value = 101, .status = 101, .after = u"100"_s}},
              {"empty table: 0", {}},
              {"NULL mid-list: stops there, counting it",
               {.value = 4, .status = 3, .out = 3, .after = u"2"_s}},
              {"NULL past slot 100: counted, never read",
               {.value = 102, .status = 102, .out = 101, .after = u"100"_s}}});
    }
    void readPNlist()
    {
        QFETCH(Case, c);
        Bench b;
        QVERIFY(b.ok({.setup = u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) NULL"_s}));
        const auto name = [](int i) -> QString {
            return u"PN-"_s + QString::number(i).rightJustified(3, u'0');
        };
        for (int i = 1; i <= c.value; ++i)
            QVERIFY(b.tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES (?, 1)"_s,
                               {i == c.out ? QVariant() : QVariant(name(i))}));
        db::PnList list;
        list.fill(u"unset"_s);
        qint16 got = -1;
        b.call(&D::SQL_readPNlist, list, got);
        QCOMPARE(got, qint16(c.status));
        for (int i = 0; i <= db::pnListSlots; ++i)
            QCOMPARE(list[size_t(i)], i >= 1 && i <= c.after.toInt() ? name(i) : u"unset"_s);
    }

    // OTHER, AB-1 as insertFull stores it, a second AB-1: `out` fields read, the rest left alone;
    // SQL_checkPN counts `status` rows.
    void readPNinfo_data()
    {
        const auto bad = [](const QString& column, const QString& value, const QString& type, int read) {
            return Case{.setup = test::spoil(u"snPN"_s, column, value, type).join(u'\n'),
                        .pn = u"AB-1"_s,
                        .status = 2,
                        .out = read,
                        .record = u"Part # not found AB-1 IE = 2"_s};
        };
        Case found{.pn = u"AB-1"_s, .status = 2, .out = 13};
        Case zero = found;
        zero.setup = u"UPDATE snPN SET reqRANDR = %1 WHERE id = 2"_s;
        rows(
            {{"exact, reqRANDR 1", found},
             {"reqRANDR 0", {zero.rows, zero.setup.arg(0), found.pn, {}, 0, 2, 13, u"0"_s}},
             {"reqRANDR 2 read as 0", {zero.rows, zero.setup.arg(2), found.pn, {}, 0, 2, 13, u"0"_s}},
             {"reqRANDR 32767 read as 0", {zero.rows, zero.setup.arg(32767), found.pn, {}, 0, 2, 13, u"0"_s}},
             {"letter case: the server's collation matches", {.pn = u"ab-1"_s, .status = 2, .out = 13}},
             {"no such part number", {.pn = u"AB-2"_s, .record = u"Part # not found AB-2 IE = 1"_s}},
             {"snNAME NULL", bad(u"snNAME"_s, u"NULL"_s, u"VARCHAR(25) NULL"_s, 0)},
             {"snEXTENDER beyond 32 bits", bad(u"snEXTENDER"_s, u"3000000000"_s, u"BIGINT NOT NULL"_s, 5)},
             {"snLENGTH 40000", bad(u"snLENGTH"_s, u"40000"_s, u"INT NOT NULL"_s, 7)},
             {"autoTIME text", bad(u"autoTIME"_s, u"'soon'"_s, u"VARCHAR(10) NOT NULL"_s, 9)},
             {"snBAD NULL", bad(u"snBAD"_s, u"NULL"_s, u"VARCHAR(35) NULL"_s, 12)}});
    }
    void readPNinfo()
    {
        QFETCH(Case, c);
        Bench b;
        c.rows = u"OTHER,FULL,AB-1"_s;
        QVERIFY(b.ok(c));
        PnFields f;
        qint16 iERROR = -1, counted = -1;
        f.read(b.call, c.pn, iERROR);
        QCOMPARE(iERROR, qint16(c.record.isEmpty() ? 0 : 1));
        QStringList want = PnFields().texts(), read = full.split(u'|');
        read.removeAt(4); // snVALID is not read
        read[10] = c.after.isEmpty() ? read[10] : c.after;
        for (int i = 0; i < c.out; ++i)
            want[i] = read[i];
        QCOMPARE(f.texts(), want);
        b.call(&D::SQL_checkPN, c.pn, counted, u"caller"_s);
        QCOMPARE(counted, qint16(c.status));
        QCOMPARE(test::errorRecords(b.tdb), b.records(c, u"SQL_readPNinfo"_s));
    }

    // AB-1, a second AB-1 and CD-2, as insertFull stores them; the first AB-1 renamed to `after`.
    void writeinfo_data()
    {
        const QString notFound = u"Part # not found AB-1 IE = 2"_s;
        rows(
            {{"empty new pn: kept and handed back", {.pn = u"AB-1"_s, .out = 7, .after = u"AB-1"_s}},
             {"rename", {.pn = u"AB-1"_s, .newPN = u"AB-9"_s, .out = 7, .after = u"AB-9"_s}},
             {"no such part number",
              {.pn = u"AB-2"_s,
               .newPN = u"AB-9"_s,
               .status = 1,
               .out = -1,
               .record = u"Part # not found AB-2 IE = 2"_s}},
             {"save refused: mapPORT read before it stays written",
              {.setup = test::refusal(u"snPN"_s, u"UPDATE"_s),
               .pn = u"AB-1"_s,
               .newPN = u"AB-9"_s,
               .status = 1,
               .out = 7,
               .record = notFound}},
             {"NULL mapPORT: nothing saved",
              {.setup =
                   u"ALTER TABLE snPN MODIFY mapPORT SMALLINT NULL\nUPDATE snPN SET mapPORT = NULL WHERE id = 1"_s,
               .pn = u"AB-1"_s,
               .newPN = u"AB-9"_s,
               .status = 1,
               .out = -1,
               .record = notFound}}});
    }
    void writeinfo()
    {
        QFETCH(Case, c);
        Bench b;
        c.rows = u"FULL,FULL,FULL"_s;
        c.setup.prepend(u"UPDATE snPN SET partNUM = 'CD-2' WHERE id = 3\n"_s);
        QVERIFY(b.ok(c));
        QStringList want = test::tableTexts(b.tdb, u"snPN"_s);
        if (c.status == 0) // snVALID reset to 0; snEXTENDER and mapPORT as stored
            want[0] = u"1|%1|New name|0|7|0|0|1|99999999|ZZ-##|5|1|0.75|1|G-2|B-2"_s.arg(c.after);
        qint16 gotMap = -1, got = -1;
        edited.writeinfo(b.call, c.pn, c.newPN, gotMap, got);
        QCOMPARE(got, qint16(c.status));
        QCOMPARE(gotMap, qint16(c.out));
        QCOMPARE(c.newPN, c.status ? u"AB-9"_s : c.after);
        QCOMPARE(test::tableTexts(b.tdb, u"snPN"_s), want);
        QCOMPARE(test::errorRecords(b.tdb), b.records(c, u"SQL_writeinfo"_s));
    }

    // The marks of `rows` in a pnDEFAULT column of type `pn`, saves refused where `newPN` holds.
    void writePNdef_data()
    {
        const QString whole = u"SMALLINT NULL"_s, text = u"VARCHAR(5) NULL"_s,
                      failed = u"Error encountered"_s;
        rows({{"every mark cleared, no other row saved",
               {u"P||1,P||0,P||1,P||2"_s, {}, whole, u"OLD.pnDEFAULT <> 1"_s, 0, 0, 0, u"0,0,0,2"_s}},
              {"NULL mark stops the walk, the earlier save stays",
               {u"P||1,P||NULL,P||1"_s, {}, whole, {}, 0, 1, 0, u"0,NULL,1"_s, failed}},
              {"save refused part-way, the earlier save stays",
               {u"P||1,P||1,P||1"_s, {}, whole, u"OLD.id = 2"_s, 0, 1, 0, u"0,1,1"_s, failed}},
              // A text that is no number stops the walk even where the server's own conversion calls it 0.
              {"text marks: '0x' stops the walk",
               {u"P||'1',P||'0',P||'0x',P||'1'"_s, {}, text, {}, 0, 1, 0, u"0,0,0x,1"_s, failed}},
              {"text marks: ' 1' and '1 ' are marks",
               {u"P||' 1',P||'0',P||'1 '"_s, {}, text, {}, 0, 0, 0, u"0,0,0"_s}},
              {"float marks round to the nearest",
               {u"P||0.4,P||0.6,P||1,P||0"_s, {}, u"FLOAT NULL"_s, {}, 0, 0, 0, u"0.4,0,0,0"_s}}});
    }
    void writePNdef()
    {
        QFETCH(Case, c);
        Bench b;
        QVERIFY(b.tdb.exec(u"ALTER TABLE snPN MODIFY pnDEFAULT "_s + c.pn) && b.ok(c));
        QVERIFY(c.newPN.isEmpty() || b.tdb.exec(test::refusal(u"snPN"_s, u"UPDATE"_s, c.newPN)));
        qint16 got = -1;
        b.call(&D::SQL_writePNdef, got);
        QCOMPARE(got, qint16(c.status));
        QCOMPARE(b.table(u"pnDEFAULT"_s), c.after);
        QCOMPARE(test::errorRecords(b.tdb), b.records(c, u"SQL_writePNdef"_s));
    }

    // The rename walk matches exactly: letter case and blanks count, unlike the server's collation.
    // `after`: partNUM|snVALID|mapPORT of every row.
    void updatePN_data()
    {
        const QString refused = test::refusal(u"snPN"_s, u"UPDATE"_s);
        const auto missing = [](const QString& pn) -> QString {
            return u"Part # not found "_s + pn + u" IE = 2"_s;
        };
        // The index on partNUM would return NULL rows first; the walk still goes in table order.
        const QString nullSecond =
            u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) NULL\nUPDATE snPN SET partNUM = NULL WHERE id = 2"_s;
        rows({{"mark set", {u"A|0,B|0"_s, {}, u"B"_s, u"B"_s, 1, 0, 0, u"A|0|1,B|1|2"_s}},
              {"mark cleared", {u"A|1,B|1"_s, {}, u"B"_s, u"B"_s, 0, 0, 0, u"A|1|1,B|0|2"_s}},
              {"rename to another letter case only",
               {u"AB-2|1"_s, {}, u"AB-2"_s, u"ab-2"_s, 1, 0, 0, u"ab-2|1|1"_s}},
              {"empty new pn: no rename", {u"A|0"_s, {}, u"A"_s, {}, 1, 0, 0, u"A|1|1"_s}},
              {"nothing differs: no save sent", {u"A|1"_s, refused, u"A"_s, u"A"_s, 1, 0, 0, u"A|1|1"_s}},
              {"blank and case variants first: the first exact match",
               {u"AB-1 |0,ab-1|0,AB-1|0,AB-1|0"_s,
                {},
                u"AB-1"_s,
                u"AB-7"_s,
                1,
                0,
                0,
                u"AB-1 |0|1,ab-1|0|2,AB-7|1|3,AB-1|0|4"_s}},
              {"letter case differs: not found",
               {u"AB-1|0"_s, {}, u"ab-1"_s, u"NEW"_s, 1, 1, 0, u"AB-1|0|1"_s, missing(u"ab-1"_s)}},
              {"trailing blank asked: not found",
               {u"AB-1|0"_s, {}, u"AB-1 "_s, u"NEW"_s, 1, 1, 0, u"AB-1|0|1"_s, missing(u"AB-1 "_s)}},
              {"NULL part number after the match: found",
               {u"AB-1|0,X|0"_s, nullSecond, u"AB-1"_s, u"AB-1"_s, 1, 0, 0, u"AB-1|1|1,NULL|0|2"_s}},
              {"NULL part number before the match: the walk stops there",
               {u"X|0,X|0,AB-1|0"_s, nullSecond, u"AB-1"_s, u"AB-1"_s, 1, 1, 0, u"X|0|1,NULL|0|2,AB-1|0|3"_s,
                missing(u"AB-1"_s)}},
              {"save refused", {u"A|0"_s, refused, u"A"_s, u"A"_s, 1, 1, 0, u"A|0|1"_s, missing(u"A"_s)}},
              {"unreadable snVALID: the rename is saved all the same",
               {u"A|0"_s, u"ALTER TABLE snPN MODIFY snVALID INT NOT NULL\nUPDATE snPN SET snVALID = 70000"_s,
                u"A"_s, u"B"_s, 1, 1, 0, u"B|70000|1"_s, missing(u"A"_s)}}});
    }
    void updatePN()
    {
        QFETCH(Case, c);
        Bench b;
        QVERIFY(b.ok(c));
        qint16 got = -1;
        b.call(&D::SQL_updatePN, c.pn, c.newPN, qint16(c.value), got);
        QCOMPARE(got, qint16(c.status));
        QCOMPARE(b.table(u"partNUM, snVALID, mapPORT"_s), c.after);
        QCOMPARE(test::errorRecords(b.tdb), b.records(c, u"SQL_updatePN"_s));
    }

    void writenewPN()
    {
        Bench b;
        // Defaults that the operation must override.
        QVERIFY(b.ok(
            {u"FULL"_s, u"ALTER TABLE snPN ALTER snVALID SET DEFAULT 1, ALTER snEXTENDER SET DEFAULT 5"_s}));
        qint16 iERROR = -1;
        // The same part number again: the callers check for duplicates, the operation does not.
        edited.writenewPN(b.call, u"X"_s, u"AB-1"_s, 12, iERROR);
        QCOMPARE(iERROR, qint16(0));
        // snVALID 0, snEXTENDER 0 whatever the caller passed, mapPORT the one given.
        QCOMPARE(test::tableTexts(b.tdb, u"snPN"_s).value(1),
                 u"2|AB-1|New name|0|12|0|0|1|0|ZZ-##|5|1|0.75|1|G-2|B-2"_s);
        QCOMPARE(test::errorRecords(b.tdb), QStringList());
    }

    // A (map 1), B (map 2), B (map 3); deletes refused when `setup` says so.
    void delPN_data()
    {
        const QString refused = test::refusal(u"snPN"_s, u"DELETE"_s);
        rows(
            {{"only the first of duplicates", {.pn = u"B"_s, .out = 2, .after = u"A|1,B|3"_s}},
             {"letter case: the server's collation matches", {.pn = u"b"_s, .out = 2, .after = u"A|1,B|3"_s}},
             {"no such part number: not a failure, but recorded",
              {.pn = u"Z"_s, .out = -1, .after = u"A|1,B|2,B|3"_s, .record = u"Part # not found Z IE = 1"_s}},
             {"delete refused: mapPORT read before it stays written",
              {.setup = refused,
               .pn = u"B"_s,
               .status = 1,
               .out = 2,
               .after = u"A|1,B|2,B|3"_s,
               .record = u"Part # not found B IE = 2"_s}}});
    }
    void delPN()
    {
        QFETCH(Case, c);
        Bench b;
        c.rows = u"A,B,B"_s;
        QVERIFY(b.ok(c));
        qint16 gotMap = -1, got = -1;
        b.call(&D::SQL_delPN, c.pn, gotMap, got);
        QCOMPARE(got, qint16(c.status));
        QCOMPARE(gotMap, qint16(c.out));
        QCOMPARE(b.table(u"partNUM, mapPORT"_s), c.after);
        QCOMPARE(test::errorRecords(b.tdb), b.records(c, u"SQL_delPN"_s));
    }
};

QTEST_GUILESS_MAIN(TestPartNumbers)
#include "tst_partnumbers.moc"
