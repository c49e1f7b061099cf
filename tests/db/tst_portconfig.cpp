// The five port configuration operations against the real server, grouped by operation.

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

const QString portTable = u"portCONFIG"_s;

const Records pathA = {{u"Error: Unable to Connect to the Tarvik Port Config DB."_s,
                        u"Error Code 1005. Program will be using DEFAULT configuration values"_s}};
const Records pathB = {
    {u"Error: Error reading in Tarvik Port Config DB. Please check and correct configuration."_s,
     u"Error Code 1006. Program will be using DEFAULT configuration values"_s}};

// The fifteen per-port arrays of the editor.
struct Ports
{
    db::PortArray<qint16> mapNUM;
    db::PortArray<QString> portNAME;
    db::PortArray<qint16> UOM, unitSCALE, acTIVE;
    db::PortArray<float> minSPEC, maxSPEC, timeDELAY;
    db::PortArray<qint16> numAVG, mspeed, Range, ssON;
    db::PortArray<float> ssTOL, ssMAXT;
    db::PortArray<qint16> ssREQD;
};

// The fourteen values of slot i, derived from one seed so that two seeds differ in every column.
// The floats are short binary fractions: they print alike as float and as the double the table gives back.
void setSlot(Ports& p, size_t i, int seed)
{
    const auto whole = [seed](int column) {
        return qint16(seed * 10 + column);
    };
    p.portNAME[i] = u"Port "_s + QString::number(seed);
    p.UOM[i] = whole(1);
    p.unitSCALE[i] = whole(2);
    p.acTIVE[i] = whole(3);
    p.Range[i] = whole(4);
    p.minSPEC[i] = float(seed) * 0.5f;
    p.maxSPEC[i] = float(seed) * 10.25f;
    p.numAVG[i] = whole(5);
    p.mspeed[i] = whole(6);
    p.timeDELAY[i] = float(seed) * 0.125f;
    p.ssON[i] = whole(7);
    p.ssTOL[i] = float(seed) / 64;
    p.ssMAXT[i] = float(seed) + 0.75f;
    p.ssREQD[i] = whole(8);
}

// The editor's arrays: port k of 1..n with the values of seed + k, every other slot with values
// (negative seeds) that no row holds, to tell written slots from untouched ones.
Ports portsFor(int n, int seed)
{
    Ports p;
    for (int k = 1; k <= db::portSlots; ++k) {
        p.mapNUM[size_t(k - 1)] = qint16(k <= n ? k : -1);
        setSlot(p, size_t(k - 1), k <= n ? seed + k : -k);
    }
    return p;
}

// The fourteen values of slot i as text, in the read order (the column order of the table).
QStringList slotTexts(const Ports& p, size_t i)
{
    return test::texts({p.portNAME[i], p.UOM[i], p.unitSCALE[i], p.acTIVE[i], p.Range[i], p.minSPEC[i],
                        p.maxSPEC[i], p.numAVG[i], p.mspeed[i], p.timeDELAY[i], p.ssON[i], p.ssTOL[i],
                        p.ssMAXT[i], p.ssREQD[i]});
}

QStringList seedTexts(int seed)
{
    Ports p;
    setSlot(p, 0, seed);
    return slotTexts(p, 0);
}

// "map:num:seed" rows, inserted in this order; the rows of a map come back in it.
bool insertPorts(test::TestDatabase& tdb, const QStringList& rows)
{
    if (!tdb.exec(u"ALTER TABLE portCONFIG DROP KEY by_map"_s))
        return false;
    for (const QString& row : rows) {
        const QStringList v = row.split(u':');
        QVariantList values{v[0].toInt(), v[1].toInt()};
        for (const QString& text : seedTexts(v[2].toInt()))
            values.append(text);
        if (!tdb.exec(u"INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, "
                      u"minSPEC, maxSPEC, numAVG, mspeed, timeDELAY, ssON, ssTOL, ssMAXT, ssREQD) "
                      u"VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                      values))
            return false;
    }
    return true;
}

// Rows for ports first..last of a map, port k with seed base + k.
QStringList mapSpec(int map, int first, int last, int base)
{
    QStringList out;
    for (int k = first; k <= last; ++k)
        out.append(u"%1:%2:%3"_s.arg(map).arg(k).arg(base + k));
    return out;
}

// mapNUM followed by the fourteen values, of every row of a map in id order.
QList<QStringList> mapRows(test::TestDatabase& tdb, int mapPORT)
{
    QList<QStringList> out;
    for (const QVariantList& row :
         tdb.rows(u"SELECT mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, minSPEC + 0E0, "
                  u"maxSPEC + 0E0, numAVG, mspeed, timeDELAY + 0E0, ssON, "
                  u"ssTOL + 0E0, ssMAXT + 0E0, ssREQD FROM portCONFIG WHERE mapPORT = ? "
                  u"ORDER BY id"_s,
                  {mapPORT}))
        out.append(test::texts(row));
    return out;
}

QStringList rowOf(int mapNUM, const QStringList& values)
{
    return QStringList{QString::number(mapNUM)} + values;
}

// Calls on the port table; the three that carry the arrays take them as one Ports.
struct PortOps : test::Caller
{
    PortOps(const db::Profile& profile, Dialogs* dialogs, const QString& table = portTable)
        : Caller(profile, table, dialogs)
    {}
    void read(qint16 map, qint16& numPORTS, Ports& p)
    {
        (*this)(&D::SQL_readPORTinfo, map, numPORTS, p.mapNUM, p.portNAME, p.UOM, p.unitSCALE, p.acTIVE,
                p.minSPEC, p.maxSPEC, p.timeDELAY, p.numAVG, p.mspeed, p.Range, p.ssON, p.ssTOL, p.ssMAXT,
                p.ssREQD);
    }
    // SQL_writePORTinfo and SQL_writenewPORTS take the same arguments.
    template<typename Op>
    void write(Op op, qint16 map, qint16 numPORTS, const Ports& p, qint16& iERROR)
    {
        (*this)(op, map, numPORTS, p.mapNUM, p.portNAME, p.UOM, p.unitSCALE, p.acTIVE, p.minSPEC, p.maxSPEC,
                p.timeDELAY, p.numAVG, p.mspeed, p.Range, p.ssON, p.ssTOL, p.ssMAXT, p.ssREQD, iERROR);
    }
};

} // namespace

class TestPortConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // ---- SQL_readPORTinfo -------------------------------------------------

    void readPORTinfo_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("setup"); // run once the rows are in
        QTest::addColumn<int>("map");
        QTest::addColumn<int>("numIn");
        QTest::addColumn<int>("numOut");
        QTest::addColumn<QList<int>>("seeds"); // the seed read into each slot; 0 or past the end: untouched
        QTest::addColumn<int>("partial");      // values of port 2 read before a failure in its row; -1: none
        QTest::addColumn<bool>("fails");
        const QStringList none;
        QTest::newRow("fewer rows than ports: numPORTS lowered")
            << mapSpec(5, 1, 4, 100) + mapSpec(6, 1, 8, 200) << none << 5 << 8 << 4
            << QList<int>{101, 102, 103, 104} << -1 << false;
        QTest::newRow("more rows than ports: all stored, numPORTS kept")
            << mapSpec(5, 1, 10, 0) << none << 5 << 8 << 8 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << -1
            << false;
        QTest::newRow("rows 3, 1, 2 land by their mapNUM")
            << QStringList{u"5:3:33"_s, u"5:1:11"_s, u"5:2:22"_s} << none << 5 << 3 << 3
            << QList<int>{11, 22, 33} << -1 << false;
        QTest::newRow("same mapNUM twice: the later row wins, numPORTS counts rows")
            << QStringList{u"5:1:1"_s, u"5:2:2"_s, u"5:2:99"_s} << none << 5 << 8 << 3 << QList<int>{1, 99}
            << -1 << false;
        QTest::newRow("negative map number")
            << QStringList{u"-2:1:7"_s, u"2:1:8"_s} << none << -2 << 1 << 1 << QList<int>{7} << -1 << false;
        // Map 5 holds ports 1, 2 and 3 and its second row is spoilt: port 1 stays read, numPORTS stays.
        const QStringList three = mapSpec(5, 1, 3, 0);
        const QList<std::tuple<const char*, QString, QString, QString, int>> bad = {
            {"mapNUM 0", u"mapNUM"_s, u"0"_s, QString(), -1},
            {"mapNUM 50", u"mapNUM"_s, u"50"_s, QString(), -1},
            {"mapNUM -1", u"mapNUM"_s, u"-1"_s, QString(), -1},
            {"mapNUM 32767", u"mapNUM"_s, u"32767"_s, QString(), -1},
            {"mapNUM NULL", u"mapNUM"_s, u"NULL"_s, u"SMALLINT NULL"_s, -1},
            {"portNAME NULL", u"portNAME"_s, u"NULL"_s, u"VARCHAR(15) NULL"_s, 0},
            {"UOM 40000", u"UOM"_s, u"40000"_s, u"INT NOT NULL"_s, 1},
            {"minSPEC NULL", u"minSPEC"_s, u"NULL"_s, u"FLOAT NULL"_s, 5},
            {"timeDELAY text", u"timeDELAY"_s, u"'later'"_s, u"VARCHAR(10) NOT NULL"_s, 9},
            {"ssREQD NULL", u"ssREQD"_s, u"NULL"_s, u"SMALLINT NULL"_s, 13}};
        for (const auto& [name, column, value, type, partial] : bad)
            QTest::newRow(name) << three << test::spoil(portTable, column, value, type) << 5 << 8 << 8
                                << QList<int>{1} << partial << true;
        QTest::newRow("map without rows") << three << none << 6 << 8 << 8 << QList<int>() << -1 << true;
    }

    void readPORTinfo()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, setup);
        QFETCH(int, map);
        QFETCH(int, numIn);
        QFETCH(int, numOut);
        QFETCH(QList<int>, seeds);
        QFETCH(int, partial);
        QFETCH(bool, fails);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(insertPorts(tdb, rows));
        QVERIFY(test::execAll(tdb, setup));
        test::ScriptedDialogs dialogs;
        const Ports untouched = portsFor(0, 0);
        Ports p = untouched;
        auto numPORTS = qint16(numIn);
        PortOps(tdb.profile(), &dialogs).read(qint16(map), numPORTS, p);
        QCOMPARE(test::shownOf(dialogs), fails ? pathB : Records());
        QCOMPARE(numPORTS, qint16(numOut));
        // Slots read hold their row, a slot read in part what came before the bad value; no other is touched.
        for (size_t i = 0; i < db::portSlots; ++i) {
            const int seed = seeds.value(qsizetype(i));
            const bool inPart = partial >= 0 && i == size_t(seeds.size());
            QStringList want = seed ? seedTexts(seed) : slotTexts(untouched, i);
            for (int v = 0; inPart && v < partial; ++v)
                want[v] = seedTexts(int(i) + 1)[v];
            QCOMPARE(p.mapNUM[i], seed || inPart ? qint16(i + 1) : qint16(-1));
            QCOMPARE(slotTexts(p, i), want);
        }
        QCOMPARE(test::errorRecords(tdb), Records());
    }

    // ---- SQL_writePORTinfo ------------------------------------------------

    void writePORTinfo_data()
    {
        // Map 5 holds ports 3, 1, 2 in this row order, map 6 port 1.
        QTest::addColumn<int>("map");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("longName"); // of port 1, longer than the column (strict mode)
        QTest::addColumn<int>("saved");     // rows rewritten before the end or a failure
        QTest::newRow("every row by its own mapNUM; none appended") << 5 << QString() << false << 3;
        QTest::newRow("mapNUM 50 in the second row")
            << 5 << u"UPDATE portCONFIG SET mapNUM = 50 WHERE id = 2"_s << false << 1;
        QTest::newRow("second save refused by the server")
            << 5 << test::refusal(portTable, u"UPDATE"_s, u"OLD.mapNUM = 1"_s) << false << 1;
        QTest::newRow("second port name longer than the column") << 5 << QString() << true << 1;
        QTest::newRow("map without rows: none appended") << 7 << QString() << false << 0;
    }

    void writePORTinfo()
    {
        QFETCH(int, map);
        QFETCH(QString, setup);
        QFETCH(bool, longName);
        QFETCH(int, saved);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(insertPorts(tdb, {u"5:3:3"_s, u"5:1:1"_s, u"6:1:61"_s, u"5:2:2"_s}));
        if (!setup.isEmpty())
            QVERIFY(tdb.exec(setup));
        // Ports 1..5 in the arrays, more than the map has rows for.
        Ports p = portsFor(5, 500);
        if (longName) {
            QVERIFY(tdb.scalar(u"SELECT @@GLOBAL.sql_mode"_s).toString().contains(u"STRICT_TRANS_TABLES"_s));
            p.portNAME[0] = u"a name far longer than fifteen"_s;
        }
        Ports passed = p;
        passed.mapNUM.fill(9); // not used: each row is placed by its own mapNUM
        const QList<QStringList> otherMap = mapRows(tdb, 6);
        QList<QStringList> want = mapRows(tdb, 5);
        for (int i = 0; i < saved; ++i) {
            const int k = want[i][0].toInt();
            want[i] = rowOf(k, slotTexts(p, size_t(k - 1))); // row by row: saved rows stay saved
        }
        test::ScriptedDialogs dialogs;
        qint16 iERROR = -1;
        PortOps(tdb.profile(), &dialogs)
            .write(&D::SQL_writePORTinfo, qint16(map), 1, passed, iERROR); // numPORTS not used either
        const bool fails = saved < 3;
        QCOMPARE(iERROR, qint16(fails ? 1 : 0));
        QCOMPARE(test::shownOf(dialogs), fails ? pathB : Records());
        QCOMPARE(mapRows(tdb, 5), want);
        QCOMPARE(mapRows(tdb, 6), otherMap);
        QCOMPARE(tdb.count(portTable), 4);
    }

    // ---- SQL_writenewPORTS ------------------------------------------------

    void writenewPORTS_data()
    {
        QTest::addColumn<int>("numPORTS");
        QTest::addColumn<QString>("refuse"); // condition under which an insert is refused
        QTest::addColumn<bool>("longName");  // of port 3, longer than the column (strict mode)
        QTest::addColumn<int>("iERROR");
        QTest::addColumn<bool>("myisam"); // a table that keeps no transactions
        QTest::newRow("3 ports: 3 rows, mapNUM as the array holds it")
            << 3 << QString() << false << 0 << false;
        QTest::newRow("no ports: nothing") << 0 << QString() << false << 0 << false;
        QTest::newRow("49 ports: the most the arrays hold") << 49 << QString() << false << 0 << false;
        QTest::newRow("50 ports: beyond the arrays, nothing sent") << 50 << QString() << false << 1 << false;
        for (bool myisam : {false, true}) {
            const char* engine = myisam ? "MyISAM" : "InnoDB";
            QTest::addRow("%s: third row refused: no half map", engine)
                << 4 << u"NEW.mapNUM = 2"_s << false << 1 << myisam;
            QTest::addRow("%s: third port name too long: no half map", engine)
                << 4 << QString() << true << 1 << myisam;
        }
        QTest::newRow("MyISAM: 3 ports") << 3 << QString() << false << 0 << true;
    }

    void writenewPORTS()
    {
        QFETCH(int, numPORTS);
        QFETCH(QString, refuse);
        QFETCH(bool, longName);
        QFETCH(int, iERROR);
        QFETCH(bool, myisam);
        ZELMAR_TEST_DB(tdb);
        if (myisam)
            QVERIFY(tdb.exec(u"ALTER TABLE portCONFIG ENGINE=MyISAM"_s));
        QVERIFY(insertPorts(tdb, {u"1:1:1"_s}));
        if (!refuse.isEmpty())
            QVERIFY(tdb.exec(test::refusal(portTable, u"INSERT"_s, refuse)));
        Ports p = portsFor(49, 300);
        p.mapNUM[0] = 3; // whatever the array holds is written
        p.mapNUM[1] = 1;
        p.mapNUM[2] = 2;
        if (longName) {
            QVERIFY(tdb.scalar(u"SELECT @@GLOBAL.sql_mode"_s).toString().contains(u"STRICT_TRANS_TABLES"_s));
            p.portNAME[2] = u"a name far longer than fifteen"_s;
        }
        QList<QStringList> want;
        for (size_t i = 0; !iERROR && i < size_t(numPORTS); ++i)
            want.append(rowOf(p.mapNUM[i], slotTexts(p, i)));
        test::ScriptedDialogs dialogs;
        PortOps ops(tdb.profile(), &dialogs);
        // A failed call is made once more with the same arguments (the callers' convention): it must not
        // leave a half map behind, nor double one.
        for (int attempt = 1; attempt <= (iERROR ? 2 : 1); ++attempt) {
            qint16 got = -1;
            ops.write(&D::SQL_writenewPORTS, 9, qint16(numPORTS), p, got);
            QCOMPARE(got, qint16(iERROR));
            QCOMPARE(mapRows(tdb, 9), want);
        }
        QCOMPARE(test::shownOf(dialogs), iERROR ? pathB + pathB : Records());
        QCOMPARE(tdb.count(portTable), 1 + int(want.size()));
    }

    // ---- SQL_readnewMAP ---------------------------------------------------

    void readnewMAP_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("iERROR");
        QTest::addColumn<int>("newMAP"); // -1: kept
        QTest::newRow("maps 2, 7, 1: 8")
            << QStringList{u"2:1:1"_s, u"7:1:1"_s, u"1:1:1"_s, u"7:2:1"_s, u"2:2:1"_s} << QString() << 0 << 8;
        QTest::newRow("empty table: 1") << QStringList() << QString() << 0 << 1;
        QTest::newRow("only maps 0 and -5: 1") << QStringList{u"0:1:1"_s, u"-5:1:1"_s} << QString() << 0 << 1;
        QTest::newRow("32766: 32767") << QStringList{u"32766:1:1"_s} << QString() << 0 << 32767;
        QTest::newRow("32767: no next map")
            << QStringList{u"32766:1:1"_s, u"32767:1:1"_s} << QString() << 1 << -1;
        QTest::newRow("NULL map: unreadable")
            << QStringList{u"3:1:1"_s} << u"INSERT INTO portCONFIG (mapPORT, mapNUM) VALUES (NULL, 1)"_s << 1
            << -1;
    }

    void readnewMAP()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, setup);
        QFETCH(int, iERROR);
        QFETCH(int, newMAP);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(tdb.exec(u"ALTER TABLE portCONFIG MODIFY mapPORT SMALLINT NULL"_s));
        QVERIFY(insertPorts(tdb, rows));
        if (!setup.isEmpty())
            QVERIFY(tdb.exec(setup));
        test::ScriptedDialogs dialogs;
        qint16 gotMap = -1;
        qint16 got = -1;
        PortOps(tdb.profile(), &dialogs)(&D::SQL_readnewMAP, gotMap, got);
        QCOMPARE(got, qint16(iERROR));
        QCOMPARE(gotMap, qint16(newMAP));
        QCOMPARE(test::shownOf(dialogs), Records());
    }

    // ---- SQL_delPORTS -----------------------------------------------------

    void delPORTS_data()
    {
        // Map 5 holds ports 1, 2, 3 and 2 again; map 6 ports 1 and 2.
        QTest::addColumn<int>("map");
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<int>("iERROR");
        QTest::addColumn<QString>("left"); // mapPORT|mapNUM in id order
        QTest::newRow("every row of the map, doubles too") << 5 << QString() << 0 << u"6|1,6|2"_s;
        QTest::newRow("map without rows: fails") << 7 << QString() << 1 << u"5|1,5|2,5|3,5|2,6|1,6|2"_s;
        QTest::newRow("delete refused part-way: the earlier delete stays")
            << 5 << u"OLD.mapNUM = 2"_s << 1 << u"5|2,5|3,5|2,6|1,6|2"_s;
    }

    void delPORTS()
    {
        QFETCH(int, map);
        QFETCH(QString, refuse);
        QFETCH(int, iERROR);
        QFETCH(QString, left);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(insertPorts(tdb, mapSpec(5, 1, 3, 0) + QStringList{u"5:2:9"_s} + mapSpec(6, 1, 2, 0)));
        if (!refuse.isEmpty())
            QVERIFY(tdb.exec(test::refusal(portTable, u"DELETE"_s, refuse)));
        test::ScriptedDialogs dialogs;
        qint16 got = -1;
        PortOps(tdb.profile(), &dialogs)(&D::SQL_delPORTS, qint16(map), got);
        QCOMPARE(got, qint16(iERROR));
        QCOMPARE(test::tableTexts(tdb, portTable, u"mapPORT, mapNUM"_s).join(u','), left);
        QCOMPARE(test::shownOf(dialogs), Records()); // silent
    }

    // ---- Failure before any row: dead server, missing table ----------------

    void failures_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<bool>("dead");
        QTest::addColumn<Records>("shown");
        for (const bool dead : {true, false}) {
            const char* how = dead ? "dead server" : "missing table";
            QTest::addRow("SQL_readPORTinfo, %s", how) << u"SQL_readPORTinfo"_s << dead << pathA;
            QTest::addRow("SQL_writePORTinfo, %s", how) << u"SQL_writePORTinfo"_s << dead << pathA;
            // The append first reads what the map already holds: a missing table shows there.
            QTest::addRow("SQL_writenewPORTS, %s", how) << u"SQL_writenewPORTS"_s << dead << pathA;
            QTest::addRow("SQL_readnewMAP, %s", how) << u"SQL_readnewMAP"_s << dead << Records();
            QTest::addRow("SQL_delPORTS, %s", how) << u"SQL_delPORTS"_s << dead << Records();
        }
    }

    void failures()
    {
        QFETCH(QString, op);
        QFETCH(bool, dead);
        QFETCH(Records, shown);
        ZELMAR_TEST_DB(tdb);
        QVERIFY(insertPorts(tdb, mapSpec(5, 1, 3, 0)));
        const QStringList table = test::tableTexts(tdb, portTable);
        // Every by-reference result as the caller had it; none may change.
        Ports p = portsFor(3, 900);
        qint16 numPORTS = 8;
        qint16 newMAP = -1;
        const auto results = [&] {
            QStringList out{QString::number(numPORTS), QString::number(newMAP)};
            for (size_t i = 0; i < db::portSlots; ++i)
                out << QString::number(p.mapNUM[i]) << slotTexts(p, i);
            return out;
        };
        const QStringList before = results();
        const auto call = [&](Dialogs* dialogs) {
            PortOps ops(dead ? test::deadProfile(tdb) : tdb.profile(), dialogs,
                        dead ? portTable : u"noSuch"_s);
            qint16 iERROR = -1;
            if (op == u"SQL_readPORTinfo"_s)
                ops.read(5, numPORTS, p);
            else if (op == u"SQL_writePORTinfo"_s)
                ops.write(&D::SQL_writePORTinfo, 5, 3, p, iERROR);
            else if (op == u"SQL_writenewPORTS"_s)
                ops.write(&D::SQL_writenewPORTS, 9, 3, p, iERROR);
            else if (op == u"SQL_readnewMAP"_s)
                ops(&D::SQL_readnewMAP, newMAP, iERROR);
            else
                ops(&D::SQL_delPORTS, qint16(5), iERROR);
            return iERROR;
        };
        const qint16 status = op == u"SQL_readPORTinfo"_s ? -1 : 1; // the read has none
        test::ScriptedDialogs dialogs;
        QCOMPARE(call(&dialogs), status);
        QCOMPARE(test::shownOf(dialogs), shown);
        QCOMPARE(call(nullptr), status); // without a dialog interface: silent
        QCOMPARE(results(), before);
        QCOMPARE(test::tableTexts(tdb, portTable), table);
        QCOMPARE(test::errorRecords(tdb), Records());
    }

    // ---- Round trips ------------------------------------------------------

    void statementsPerOperation()
    {
        ZELMAR_TEST_DB(tdb);
        test::CountedAccount account(tdb);
        QVERIFY2(account.ok(), qPrintable(tdb.error()));
        QStringList rows;
        for (int map = 1; map <= 20; ++map)
            rows += mapSpec(map, 1, 8, 0);
        QVERIFY(insertPorts(tdb, rows));
        PortOps ops(account.profile(), nullptr);
        const Ports p = portsFor(8, 10);
        qint16 iERROR = -1;
        const auto write = account.measure("SQL_writePORTinfo, 8 rows",
                                           [&] { ops.write(&D::SQL_writePORTinfo, 3, 8, p, iERROR); });
        QCOMPARE(iERROR, qint16(0));
        QCOMPARE(write.update, qint64(8)); // one save per row
        const auto append = account.measure("SQL_writenewPORTS, 8 rows",
                                            [&] { ops.write(&D::SQL_writenewPORTS, 21, 8, p, iERROR); });
        QCOMPARE(iERROR, qint16(0));
        QCOMPARE(append.update, qint64(8)); // one insert per row, in one transaction
        qint16 newMAP = 0;
        account.measure("SQL_readnewMAP, 168 rows", [&] { ops(&D::SQL_readnewMAP, newMAP, iERROR); });
        QCOMPARE(newMAP, qint16(22));
        const auto del =
            account.measure("SQL_delPORTS, 8 rows", [&] { ops(&D::SQL_delPORTS, qint16(21), iERROR); });
        QCOMPARE(iERROR, qint16(0));
        QCOMPARE(del.update, qint64(8)); // one delete per row
    }
};

QTEST_GUILESS_MAIN(TestPortConfig)
#include "tst_portconfig.moc"
