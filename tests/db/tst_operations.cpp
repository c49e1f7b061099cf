// The part-number and port operations on rows of the real server, one table for all: what
// each hands back, what it leaves in the tables, and the error record or message box it
// gives. The failure paths that every operation shares are in tst_faults.

#include "DbFixtures.h"

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::Ports;

namespace {

struct Case
{
    QByteArray op;
    // Rows: "partNUM|snVALID|pnDEFAULT" (pnDEFAULT an SQL literal, mapPORT counting from 1), "FULL" for
    // AB-1 with every field set, and "map:num:seed" port rows with the values of Ports::of.
    QString rows = {};
    QString setup = {}; // statements, one a line
    test::Call call = {};
    QString out = {};   // what the call hands back, as said()
    QString after = {}; // the tables afterwards, as state(); empty: as before
    QString told = {};  // the summary of its error record, or the code of its message box
};

// The fourteen values a port row of the given seed holds.
QStringList seedTexts(int seed)
{
    return Ports::of(1, seed - 1).slot(0);
}

// Part numbers "partNUM|snVALID|pnDEFAULT|mapPORT|snNAME", the name "edited" where the row holds
// every value the editor writes (snEXTENDER is the caller's and never written); port rows
// "map:num:seed", with a "?" where a value differs from the seed's.
QString state(test::TestDatabase& tdb)
{
    const QString pns =
        test::lines(tdb, u"SELECT partNUM, snVALID, pnDEFAULT, mapPORT, IF(snNAME = 'New name' AND "
                         u"snACTIVE = 0 AND snBARCODE = 1 AND snEXTENDER IN (0, 99999999) AND "
                         u"snFORMAT = 'ZZ-##' AND snLENGTH = 5 AND autoMEASURE = 1 AND autoTIME = "
                         u"0.75 AND reqRANDR = 1 AND snGOOD = 'G-2' AND snBAD = 'B-2', 'edited', "
                         u"snNAME) FROM snPN ORDER BY id"_s)
            .join(u',');
    QStringList ports;
    for (const QVariantList& values : tdb.rows(
             u"SELECT mapPORT, mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, minSPEC + 0E0, maxSPEC + "
             u"0E0, numAVG, mspeed, timeDELAY + 0E0, ssON, ssTOL + 0E0, ssMAXT + 0E0, ssREQD FROM portCONFIG "
             u"ORDER BY id"_s)) {
        const QStringList row = test::texts(values);
        const int seed = row[2].mid(5).toInt();
        ports << row[0] + u':' + row[1] + u':' + QString::number(seed) +
                     (row.mid(2) == seedTexts(seed) ? u""_s : u"?"_s);
    }
    QStringList parts{pns, ports.join(u',')};
    parts.removeAll(QString());
    return parts.join(u" / "_s);
}

// What a call handed back, as far as the operation hands anything back.
QString said(const QByteArray& op, const test::Outputs& o)
{
    const QString e = QString::number(o.iERROR);
    if (op == "readPNlist") {
        const qsizetype filled =
            std::count_if(o.list.begin(), o.list.end(), [](const QString& s) { return !s.isEmpty(); });
        return u"%1|%2|%3"_s.arg(o.num).arg(filled).arg(o.list[size_t(filled)]);
    }
    if (op == "readPNinfo") // the caller drops the fields of a failed read
        return e + u'|' + (o.iERROR == 0 ? o.fields.texts().join(u',') : QString());
    if (op == "checkPN")
        return QString::number(o.count);
    if (op == "writeinfo")
        return e + u'|' + QString::number(o.map) + u'|' + o.newPN;
    if (op == "delPN" || op == "readnewMAP")
        return e + u'|' + QString::number(o.map);
    if (op != "readPORTinfo")
        return e;
    // The slots read: "k:seed" for a whole row, "k:?" for one read in part (the caller drops a failed read).
    QStringList slots{QString::number(o.num)};
    const Ports untouched = Ports::of(0, 0);
    for (size_t i = 0; i < db::portSlots; ++i) {
        const QStringList got = o.ports.slot(i);
        const int k = int(i) + 1, seed = got[0].mid(5).toInt();
        if (o.ports.mapNUM[i] != -1 || got != untouched.slot(i))
            slots << u"%1:%2"_s.arg(o.ports.mapNUM[i] == k ? k : -k)
                         .arg(got == seedTexts(seed) ? QString::number(seed) : u"?"_s);
    }
    return slots.join(u',');
}

void row(const char* name, const char* op, const QString& rows, const QString& setup, const test::Call& call,
         const QString& out, const QString& after = {}, const QString& told = {})
{
    QTest::newRow(name) << Case{op, rows, setup, call, out, after, told};
}

} // namespace

Q_DECLARE_METATYPE(Case)

class TestOperations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void operations_data()
    {
        QTest::addColumn<Case>("c");
        const auto missing = [](const QString& pn) -> QString {
            return u"Part # not found "_s + pn + u" IE = 2"_s;
        };
        const QString three = u"OTHER,FULL,AB-1"_s;
        const QString refused = test::refusal(u"snPN"_s, u"UPDATE"_s),
                      marks = u"ALTER TABLE snPN MODIFY pnDEFAULT "_s;
        QStringList list;
        for (int i = 1; i <= 102; ++i)
            list << u"PN-%1"_s.arg(i, 3, 10, QChar(u'0'));
        row("readPNlist: 101 records, all counted, 100 stored", "readPNlist", list.mid(0, 101).join(u','), {},
            {}, u"101|100|PN-100"_s);
        row("readPNlist: NULL mid-list stops there, counting it", "readPNlist", list.mid(0, 4).join(u','),
            u"ALTER TABLE snPN MODIFY partNUM VARCHAR(25) NULL\nUPDATE snPN SET partNUM = NULL WHERE id = 3"_s,
            {}, u"3|2|PN-002"_s);
        row("readPNinfo: reqRANDR 2 read as 0", "readPNinfo", three,
            u"UPDATE snPN SET reqRANDR = 2 WHERE id = 2"_s, {u"AB-1"_s},
            u"0|Widget,1,7,1,1,99999999,AB-####,7,1,2.5,0,G-1,B-1"_s);
        row("readPNinfo: no such part number", "readPNinfo", three, {}, {u"AB-2"_s}, u"1|"_s, {},
            u"Part # not found AB-2 IE = 1"_s);
        // A value the read cannot take stops it there, the fields before it read.
        row("readPNinfo: snBAD NULL", "readPNinfo", three,
            u"ALTER TABLE snPN MODIFY snBAD VARCHAR(35) NULL\nUPDATE snPN SET snBAD = NULL WHERE id = 2"_s,
            {u"AB-1"_s}, u"1|"_s, {}, missing(u"AB-1"_s));
        row("checkPN: the server's collation counts", "checkPN", three, {}, {u"ab-1"_s}, u"2"_s);
        const QString others = u",AB-1|1|1|7|Widget,CD-2|0|0|3|"_s, info = u"FULL,FULL,CD-2"_s;
        row("writeinfo: an empty new pn is kept and handed back", "writeinfo", info, {}, {u"AB-1"_s},
            u"0|7|AB-1"_s, u"AB-1|0|0|7|edited"_s + others);
        row("writeinfo: rename, snVALID reset", "writeinfo", info, {}, {u"AB-1"_s, u"AB-9"_s}, u"0|7|AB-9"_s,
            u"AB-9|0|0|7|edited"_s + others);
        row("writeinfo: no such part number", "writeinfo", info, {}, {u"AB-2"_s, u"AB-9"_s}, u"1|-1|AB-9"_s,
            {}, missing(u"AB-2"_s));
        row("writeinfo: save refused, mapPORT read before stays written", "writeinfo", info, refused,
            {u"AB-1"_s, u"AB-9"_s}, u"1|7|AB-9"_s, {}, missing(u"AB-1"_s));
        row("writePNdef: every mark cleared, no other row saved", "writePNdef", u"A||1,B||0,C||1,D||2"_s,
            test::refusal(u"snPN"_s, u"UPDATE"_s, u"OLD.pnDEFAULT <> 1"_s), {}, u"0"_s,
            u"A|0|0|1|,B|0|0|2|,C|0|0|3|,D|0|2|4|"_s);
        row("writePNdef: a save refused part-way, the earlier save stays", "writePNdef", u"A||1,B||1,C||1"_s,
            test::refusal(u"snPN"_s, u"UPDATE"_s, u"OLD.id = 2"_s), {}, u"1"_s,
            u"A|0|0|1|,B|0|1|2|,C|0|1|3|"_s, u"Error encountered"_s);
        // A text that is no number stops the walk even where the server's own conversion calls it 0.
        row("writePNdef: text marks, '0x' stops the walk", "writePNdef", u"A||'1',B||'0',C||'0x',D||'1'"_s,
            marks + u"VARCHAR(5)"_s, {}, u"1"_s, u"A|0|0|1|,B|0|0|2|,C|0|0x|3|,D|0|1|4|"_s,
            u"Error encountered"_s);
        row("writePNdef: text marks, ' 1' and '1 ' are marks", "writePNdef", u"A||' 1',B||'0',C||'1 '"_s,
            marks + u"VARCHAR(5)"_s, {}, u"0"_s, u"A|0|0|1|,B|0|0|2|,C|0|0|3|"_s);
        row("writePNdef: float marks round to the nearest", "writePNdef", u"A||0.4,B||0.6,C||1,D||0"_s,
            marks + u"FLOAT"_s, {}, u"0"_s, u"A|0|0.4|1|,B|0|0|2|,C|0|0|3|,D|0|0|4|"_s);
        // The rename walk matches exactly: letter case and blanks count, unlike the server's collation.
        row("updatePN: rename to another letter case only", "updatePN", u"AB-2|1"_s, {},
            {u"AB-2"_s, u"ab-2"_s, 1}, u"0"_s, u"ab-2|1|0|1|"_s);
        row("updatePN: empty new pn, no rename", "updatePN", u"A|0"_s, {}, {u"A"_s, {}, 1}, u"0"_s,
            u"A|1|0|1|"_s);
        row("updatePN: nothing differs, no save sent", "updatePN", u"A|1"_s, refused, {u"A"_s, u"A"_s, 1},
            u"0"_s);
        row("updatePN: blank and case variants first, the first exact match", "updatePN",
            u"AB-1 |0,ab-1|0,AB-1|0,AB-1|0"_s, {}, {u"AB-1"_s, u"AB-7"_s, 1}, u"0"_s,
            u"AB-1 |0|0|1|,ab-1|0|0|2|,AB-7|1|0|3|,AB-1|0|0|4|"_s);
        row("updatePN: save refused", "updatePN", u"A|0"_s, refused, {u"A"_s, u"A"_s, 1}, u"1"_s, {},
            missing(u"A"_s));
        row("updatePN: unreadable snVALID, the rename is saved all the same", "updatePN", u"A|0"_s,
            u"ALTER TABLE snPN MODIFY snVALID INT NOT NULL\nUPDATE snPN SET snVALID = 70000"_s,
            {u"A"_s, u"B"_s, 1}, u"1"_s, u"B|70000|0|1|"_s, missing(u"A"_s));
        // The same part number again: the callers check for duplicates, the operation does not.
        row("writenewPN: snVALID and snEXTENDER 0 whatever the defaults", "writenewPN", u"FULL"_s,
            u"ALTER TABLE snPN ALTER snVALID SET DEFAULT 1, ALTER snEXTENDER SET DEFAULT 5"_s,
            {u"AB-1"_s, u"X"_s, 12}, u"0"_s, u"AB-1|1|1|7|Widget,AB-1|0|0|12|edited"_s);
        row("delPN: only the first of duplicates", "delPN", u"A,B,B"_s, {}, {u"B"_s}, u"0|2"_s,
            u"A|0|0|1|,B|0|0|3|"_s);
        row("delPN: no such part number, not a failure, but recorded", "delPN", u"A,B,B"_s, {}, {u"Z"_s},
            u"0|-1"_s, {}, u"Part # not found Z IE = 1"_s);
        row("delPN: delete refused, mapPORT read before stays written", "delPN", u"A,B,B"_s,
            test::refusal(u"snPN"_s, u"DELETE"_s), {u"B"_s}, u"1|2"_s, {}, missing(u"B"_s));

        const auto map5 = [](int n, int base) {
            QStringList out;
            for (int k = 1; k <= n; ++k)
                out << u"5:%1:%2"_s.arg(k).arg(base + k);
            return out.join(u',');
        };
        const auto read = [](int map, int num) {
            return test::Call{.value = qint16(map), .num = qint16(num)};
        };
        Ports every = Ports::of(db::portSlots, 500);
        every.mapNUM.fill(9); // not used: each row is placed by its own mapNUM; numPORTS not used either
        const test::Call write{.value = 5, .num = 1, .ports = every};
        test::Call longName = write;
        longName.ports.portNAME[0] = u"a name far longer than fifteen"_s;
        test::Call append{.value = 9, .num = 3, .ports = Ports::of(49, 300)};
        append.ports.mapNUM[0] = 3; // whatever the array holds is written
        append.ports.mapNUM[1] = 1;
        append.ports.mapNUM[2] = 2;
        const auto appendN = [&](int n) {
            test::Call c = append;
            c.num = qint16(n);
            return c;
        };
        test::Call tooLong = appendN(4);
        tooLong.ports.portNAME[2] = longName.ports.portNAME[0];
        QString all49 = u"1:1:1,9:3:301,9:1:302,9:2:303"_s;
        for (int k = 4; k <= db::portSlots; ++k)
            all49 += u",9:%1:%2"_s.arg(k).arg(300 + k);
        const QString mapped = u"5:3:3,5:1:1,6:1:61,5:2:2"_s,
                      myisam = u"ALTER TABLE portCONFIG ENGINE=MyISAM\n"_s;
        const QString refuse3 = test::refusal(u"portCONFIG"_s, u"INSERT"_s, u"NEW.mapNUM = 2"_s);
        row("readPORTinfo: fewer rows than ports, numPORTS lowered", "readPORTinfo",
            map5(4, 100) + u",6:1:201"_s, {}, read(5, 8), u"4,1:101,2:102,3:103,4:104"_s);
        row("readPORTinfo: more rows than ports, all stored, numPORTS kept", "readPORTinfo", map5(10, 0), {},
            read(5, 8), u"8,1:1,2:2,3:3,4:4,5:5,6:6,7:7,8:8,9:9,10:10"_s);
        row("readPORTinfo: rows land by their mapNUM, port 49 in the last slot", "readPORTinfo",
            u"5:3:33,5:49:7,5:1:11,5:2:22"_s, {}, read(5, 4), u"4,1:11,2:22,3:33,49:7"_s);
        row("readPORTinfo: the same mapNUM twice, the later row wins", "readPORTinfo",
            u"5:1:1,5:2:2,5:2:99"_s, {}, read(5, 8), u"3,1:1,2:99"_s);
        // Map 5 holds ports 1, 2 and 3, its second row outside the slots: the read stops there.
        for (const QString& at : {u"0"_s, u"50"_s})
            row(qPrintable(u"readPORTinfo: mapNUM "_s + at), "readPORTinfo", map5(3, 0),
                u"UPDATE portCONFIG SET mapNUM = "_s + at + u" WHERE id = 2"_s, read(5, 8), u"8,1:1"_s, {},
                u"1006"_s);
        row("readPORTinfo: map without rows", "readPORTinfo", map5(3, 0), {}, read(6, 8), u"8"_s, {},
            u"1006"_s);
        row("writePORTinfo: every row by its own mapNUM, port 49 too, none appended", "writePORTinfo", mapped,
            u"UPDATE portCONFIG SET mapNUM = 49 WHERE id = 1"_s, write, u"0"_s,
            u"5:49:549,5:1:501,6:1:61,5:2:502"_s);
        // The rows of one save are stored together or, on a table with transactions, not at all.
        row("writePORTinfo: the second save refused, nothing saved", "writePORTinfo", mapped,
            test::refusal(u"portCONFIG"_s, u"UPDATE"_s, u"OLD.mapNUM = 1"_s), write, u"1"_s, {}, u"1006"_s);
        row("writePORTinfo: MyISAM, the second port name longer than the column, the first saved",
            "writePORTinfo", mapped, myisam, longName, u"1"_s, u"5:3:503,5:1:1,6:1:61,5:2:2"_s, u"1006"_s);
        row("writePORTinfo: only the rows that differ are written", "writePORTinfo", u"5:1:501,5:2:2"_s,
            test::refusal(u"portCONFIG"_s, u"UPDATE"_s, u"OLD.mapNUM = 1"_s), write, u"0"_s,
            u"5:1:501,5:2:502"_s);
        row("writePORTinfo: map without rows, none appended", "writePORTinfo", mapped, {}, read(7, 1), u"1"_s,
            {}, u"1006"_s);
        row("writenewPORTS: 49 ports, the most the arrays hold, mapNUM as the array holds it",
            "writenewPORTS", u"1:1:1"_s, {}, appendN(49), u"0"_s, all49);
        row("writenewPORTS: no ports, nothing", "writenewPORTS", u"1:1:1"_s, {}, appendN(0), u"0"_s);
        row("writenewPORTS: 50 ports, beyond the arrays, nothing sent", "writenewPORTS", u"1:1:1"_s, {},
            appendN(50), u"1"_s, {}, u"1006"_s);
        // Without transactions the rows already appended are taken away again.
        row("writenewPORTS: MyISAM, the third row refused, no half map", "writenewPORTS", u"1:1:1"_s,
            myisam + refuse3, appendN(4), u"1"_s, {}, u"1006"_s);
        row("writenewPORTS: MyISAM, the third name too long, no half map", "writenewPORTS", u"1:1:1"_s,
            myisam, tooLong, u"1"_s, {}, u"1006"_s);
        row("readnewMAP: maps 2, 7, 1: 8", "readnewMAP", u"2:1:1,7:1:1,1:1:1,7:2:1"_s, {}, {}, u"0|8"_s);
        row("readnewMAP: empty table: 1", "readnewMAP", {}, {}, {}, u"0|1"_s);
        row("readnewMAP: 32766: 32767", "readnewMAP", u"32766:1:1"_s, {}, {}, u"0|32767"_s);
        row("readnewMAP: 32767: no next map", "readnewMAP", u"32766:1:1,32767:1:1"_s, {}, {}, u"1|-1"_s);
        row("delPORTS: every row of the map, doubles too", "delPORTS", map5(3, 0) + u",5:2:9,6:1:1,6:2:2"_s,
            {}, read(5, 0), u"0"_s, u"6:1:1,6:2:2"_s);
        row("delPORTS: map without rows fails", "delPORTS", map5(3, 0) + u",6:1:1"_s, {}, read(7, 0), u"1"_s);
        row("delPORTS: delete refused part-way, nothing deleted", "delPORTS", map5(3, 0) + u",6:1:1"_s,
            test::refusal(u"portCONFIG"_s, u"DELETE"_s, u"OLD.mapNUM = 2"_s), read(5, 0), u"1"_s);
    }
    void operations()
    {
        QFETCH(Case, c);
        test::TestDatabase tdb;
        QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
        // Changes of the tables go before the rows, so that the rows can hold what the new types allow,
        // unless the setup also changes rows, which spoils a value the rows already hold.
        QStringList later = c.setup.split(u'\n', Qt::SkipEmptyParts), first;
        if (!c.setup.contains(u"UPDATE "_s))
            std::swap(first, later);
        QVERIFY(tdb.exec(u"ALTER TABLE portCONFIG DROP KEY by_map"_s) && test::execAll(tdb, first));
        const QStringList rows = c.rows.split(u',', Qt::SkipEmptyParts);
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList v = rows[i].split(rows[i].contains(u':') ? u':' : u'|');
            if (rows[i].contains(u':')) {
                QVariantList values{v[0].toInt(), v[1].toInt()};
                for (const QString& text : seedTexts(v[2].toInt()))
                    values << text;
                QVERIFY(tdb.exec(
                    u"INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, minSPEC, maxSPEC, numAVG, mspeed, timeDELAY, ssON, ssTOL, ssMAXT, ssREQD) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                    values));
            } else if (v[0] == u"FULL"_s) {
                QVERIFY(tdb.exec(
                    u"INSERT INTO snPN (partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, snEXTENDER, snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD) VALUES ('AB-1', 'Widget', 1, 7, 1, 1, 1, 99999999, 'AB-####', 7, 1, 2.5, 1, 'G-1', 'B-1')"_s));
            } else {
                QVERIFY(tdb.exec(
                    u"INSERT INTO snPN (partNUM, mapPORT, snVALID, pnDEFAULT) VALUES (?, ?, ?, %1)"_s.arg(
                        v.value(2, u"0"_s)),
                    {v[0], i + 1, v.value(1).toInt()}));
            }
        }
        QVERIFY(test::execAll(tdb, later));
        const QString before = state(tdb);
        test::ScriptedDialogs dialogs;
        test::Caller caller{db::Database(&dialogs), tdb.profile(),
                            c.op.endsWith("PORTinfo") || c.op.endsWith("PORTS") || c.op.endsWith("MAP")
                                ? u"portCONFIG"_s
                                : u"snPN"_s};
        // A failed append is made once more with the same arguments (the callers' convention): it must
        // leave no half map behind, nor double one.
        const int attempts = c.op == "writenewPORTS" && c.out == u"1"_s ? 2 : 1;
        for (int attempt = 1; attempt <= attempts; ++attempt) {
            QCOMPARE(said(c.op, test::call(c.op, caller, c.call)), c.out);
            QCOMPARE(state(tdb), c.after.isEmpty() ? before : c.after);
        }
        QStringList told = test::errorRecords(tdb);
        for (const auto& box : dialogs.shown)
            told << box.title.mid(11, 4);
        const QString want =
            c.told.size() == 4 ? c.told : u"SQL_"_s + QString::fromLatin1(c.op) + u'|' + c.told;
        QCOMPARE(told, QStringList(c.told.isEmpty() ? 0 : attempts, want));
    }
};

QTEST_GUILESS_MAIN(TestOperations)
#include "tst_operations.moc"
