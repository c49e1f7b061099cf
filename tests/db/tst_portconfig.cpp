// The port configuration operations against the real server, one table per operation; the
// failure paths shared by every operation are in tst_faults.

#include "DbFixtures.h"

using namespace Qt::StringLiterals;
using namespace zelmar;
using D = db::Database;
using test::Ports;

namespace {

const QString rowsBox = u"Error Code 1006. Program will be using DEFAULT configuration values"_s;
const QString tooLong = u"a name far longer than fifteen"_s;

// The fourteen values a row of the given seed holds, as Ports::of gives them.
QStringList seedTexts(int seed)
{
    return Ports::of(1, seed - 1).slot(0);
}

// Rows for ports first..last of a map, port k with seed base + k.
QStringList mapSpec(int map, int first, int last, int base)
{
    QStringList out;
    for (int k = first; k <= last; ++k)
        out.append(u"%1:%2:%3"_s.arg(map).arg(k).arg(base + k));
    return out;
}

// mapNUM and the fourteen values of every row of a map, in id order.
QStringList mapRows(test::TestDatabase& tdb, int mapPORT)
{
    return test::lines(
        tdb,
        u"SELECT mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, minSPEC + 0E0, maxSPEC + 0E0, "
        u"numAVG, mspeed, timeDELAY + 0E0, ssON, ssTOL + 0E0, ssMAXT + 0E0, ssREQD "
        u"FROM portCONFIG WHERE mapPORT = ? ORDER BY id"_s,
        {mapPORT});
}

QString rowOf(int mapNUM, const QStringList& values)
{
    return (QStringList{QString::number(mapNUM)} + values).join(u'|');
}

// A database whose port table holds "map:num:seed" rows in this order (a map's rows come back
// in it), then what `setup` does.
struct Bench
{
    test::TestDatabase tdb;
    test::ScriptedDialogs dialogs;
    test::Caller call{db::Database(&dialogs), tdb.profile(), u"portCONFIG"_s};
    bool ok(const QStringList& rows, const QStringList& setup = {})
    {
        bool done = tdb.ok() && tdb.exec(u"ALTER TABLE portCONFIG DROP KEY by_map"_s);
        for (const QString& row : rows) {
            const QStringList v = row.split(u':');
            QVariantList values{v[0].toInt(), v[1].toInt()};
            for (const QString& text : seedTexts(v[2].toInt()))
                values.append(text);
            done = done &&
                   tdb.exec(u"INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, UOM, unitSCALE, acTIVE, "
                            u"`Range`, minSPEC, maxSPEC, numAVG, mspeed, timeDELAY, ssON, ssTOL, ssMAXT, "
                            u"ssREQD) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                            values);
        }
        return done && test::execAll(tdb, setup);
    }
    QStringList boxes() const
    {
        QStringList out;
        for (const auto& s : dialogs.shown)
            out.append(s.title);
        return out;
    }
};

} // namespace

class TestPortConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readPORTinfo_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<int>("map");
        QTest::addColumn<int>("numIn");
        QTest::addColumn<int>("numOut");
        QTest::addColumn<QList<int>>("seeds"); // the seed read into each slot; 0 or past the end: untouched
        QTest::addColumn<int>("partial");      // values of port 2 read before a failure in its row; -1: none
        QTest::addColumn<bool>("fails");
        QList<int> port49(db::portSlots);
        port49.first() = 1;
        port49.last() = 7;
        QTest::newRow("fewer rows than ports: numPORTS lowered")
            << mapSpec(5, 1, 4, 100) + mapSpec(6, 1, 8, 200) << QStringList() << 5 << 8 << 4
            << QList<int>{101, 102, 103, 104} << -1 << false;
        QTest::newRow("more rows than ports: all stored, numPORTS kept")
            << mapSpec(5, 1, 10, 0) << QStringList() << 5 << 8 << 8
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << -1 << false;
        QTest::newRow("rows 3, 1, 2 land by their mapNUM")
            << QStringList{u"5:3:33"_s, u"5:1:11"_s, u"5:2:22"_s} << QStringList() << 5 << 3 << 3
            << QList<int>{11, 22, 33} << -1 << false;
        QTest::newRow("port 49 lands in the last slot")
            << QStringList{u"5:49:7"_s, u"5:1:1"_s} << QStringList() << 5 << 2 << 2 << port49 << -1 << false;
        QTest::newRow("same mapNUM twice: the later row wins, numPORTS counts rows")
            << QStringList{u"5:1:1"_s, u"5:2:2"_s, u"5:2:99"_s} << QStringList() << 5 << 8 << 3
            << QList<int>{1, 99} << -1 << false;
        QTest::newRow("negative map number") << QStringList{u"-2:1:7"_s, u"2:1:8"_s} << QStringList() << -2
                                             << 1 << 1 << QList<int>{7} << -1 << false;
        // Map 5 holds ports 1, 2 and 3 and its second row is spoilt: port 1 stays read, numPORTS stays.
        const QList<std::tuple<const char*, QString, QString, QString, int>> bad = {
            {"mapNUM 0", u"mapNUM"_s, u"0"_s, QString(), -1},
            {"mapNUM 50", u"mapNUM"_s, u"50"_s, QString(), -1},
            {"mapNUM NULL", u"mapNUM"_s, u"NULL"_s, u"SMALLINT NULL"_s, -1},
            {"portNAME NULL", u"portNAME"_s, u"NULL"_s, u"VARCHAR(15) NULL"_s, 0},
            {"UOM 40000", u"UOM"_s, u"40000"_s, u"INT NOT NULL"_s, 1},
            {"minSPEC NULL", u"minSPEC"_s, u"NULL"_s, u"FLOAT NULL"_s, 5},
            {"ssREQD NULL", u"ssREQD"_s, u"NULL"_s, u"SMALLINT NULL"_s, 13}};
        for (const auto& [name, column, value, type, partial] : bad)
            QTest::newRow(name) << mapSpec(5, 1, 3, 0) << test::spoil(u"portCONFIG"_s, column, value, type)
                                << 5 << 8 << 8 << QList<int>{1} << partial << true;
        QTest::newRow("map without rows")
            << mapSpec(5, 1, 3, 0) << QStringList() << 6 << 8 << 8 << QList<int>() << -1 << true;
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
        Bench b;
        QVERIFY(b.ok(rows, setup));
        const Ports untouched = Ports::of(0, 0);
        Ports p = untouched;
        auto numPORTS = qint16(numIn);
        p.read(b.call, qint16(map), numPORTS);
        QCOMPARE(b.boxes(), fails ? QStringList{rowsBox} : QStringList());
        QCOMPARE(numPORTS, qint16(numOut));
        // Slots read hold their row, a slot read in part what came before the bad value; no other is touched.
        for (size_t i = 0; i < db::portSlots; ++i) {
            const int seed = seeds.value(qsizetype(i));
            const bool inPart = partial >= 0 && i == size_t(seeds.size());
            QStringList want = seed ? seedTexts(seed) : untouched.slot(i);
            for (int v = 0; inPart && v < partial; ++v)
                want[v] = seedTexts(int(i) + 1)[v];
            QCOMPARE(p.mapNUM[i], seed || inPart ? qint16(i + 1) : qint16(-1));
            QCOMPARE(p.slot(i), want);
        }
        QCOMPARE(test::errorRecords(b.tdb), QStringList());
    }

    // Map 5 holds ports 3, 1, 2 in this row order, map 6 port 1; the arrays hold all 49 ports.
    void writePORTinfo_data()
    {
        QTest::addColumn<int>("map");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("saved"); // rows rewritten before the end or a failure
        QTest::newRow("every row by its own mapNUM; none appended") << 5 << QString() << 3;
        QTest::newRow("port 49 by its own mapNUM")
            << 5 << u"UPDATE portCONFIG SET mapNUM = 49 WHERE id = 1"_s << 3;
        QTest::newRow("mapNUM 50 in the second row")
            << 5 << u"UPDATE portCONFIG SET mapNUM = 50 WHERE id = 2"_s << 1;
        QTest::newRow("second save refused by the server")
            << 5 << test::refusal(u"portCONFIG"_s, u"UPDATE"_s, u"OLD.mapNUM = 1"_s) << 1;
        QTest::newRow("second port name longer than the column") << 5 << u"long"_s << 1;
        QTest::newRow("map without rows: none appended") << 7 << QString() << 0;
    }
    void writePORTinfo()
    {
        QFETCH(int, map);
        QFETCH(QString, setup);
        QFETCH(int, saved);
        Bench b;
        const bool longName = setup == u"long"_s;
        QVERIFY(b.ok({u"5:3:3"_s, u"5:1:1"_s, u"6:1:61"_s, u"5:2:2"_s},
                     setup.isEmpty() || longName ? QStringList() : QStringList{setup}));
        Ports p = Ports::of(db::portSlots, 500);
        if (longName)
            p.portNAME[0] = tooLong;
        const QStringList otherMap = mapRows(b.tdb, 6);
        QStringList want = mapRows(b.tdb, 5);
        for (int i = 0; i < saved; ++i) {
            const int k = want[i].section(u'|', 0, 0).toInt();
            want[i] = rowOf(k, p.slot(size_t(k - 1))); // row by row: saved rows stay saved
        }
        p.mapNUM.fill(9); // not used: each row is placed by its own mapNUM; numPORTS not used either
        qint16 iERROR = -1;
        p.write(b.call, &D::SQL_writePORTinfo, qint16(map), 1, iERROR);
        QCOMPARE(iERROR, qint16(saved < 3 ? 1 : 0));
        QCOMPARE(b.boxes(), saved < 3 ? QStringList{rowsBox} : QStringList());
        QCOMPARE(mapRows(b.tdb, 5), want);
        QCOMPARE(mapRows(b.tdb, 6), otherMap);
        QCOMPARE(b.tdb.count(u"portCONFIG"_s), 4);
    }

    void writenewPORTS_data()
    {
        QTest::addColumn<int>("numPORTS");
        QTest::addColumn<QString>(
            "fault");                     // "refused": the third insert is refused; "long": port 3's name is
        QTest::addColumn<bool>("myisam"); // a table that keeps no transactions
        QTest::newRow("3 ports: 3 rows, mapNUM as the array holds it") << 3 << QString() << false;
        QTest::newRow("no ports: nothing") << 0 << QString() << false;
        QTest::newRow("49 ports: the most the arrays hold") << 49 << QString() << false;
        QTest::newRow("50 ports: beyond the arrays, nothing sent") << 50 << u"beyond"_s << false;
        for (bool myisam : {false, true}) {
            const char* engine = myisam ? "MyISAM" : "InnoDB";
            QTest::addRow("%s: third row refused: no half map", engine) << 4 << u"refused"_s << myisam;
            QTest::addRow("%s: third port name too long: no half map", engine) << 4 << u"long"_s << myisam;
        }
        QTest::newRow("MyISAM: 3 ports") << 3 << QString() << true;
    }
    void writenewPORTS()
    {
        QFETCH(int, numPORTS);
        QFETCH(QString, fault);
        QFETCH(bool, myisam);
        Bench b;
        QStringList setup{myisam ? u"ALTER TABLE portCONFIG ENGINE=MyISAM"_s : u"DO 0"_s};
        if (fault == u"refused"_s)
            setup.append(test::refusal(u"portCONFIG"_s, u"INSERT"_s, u"NEW.mapNUM = 2"_s));
        QVERIFY(b.ok({u"1:1:1"_s}, setup));
        Ports p = Ports::of(49, 300);
        p.mapNUM[0] = 3; // whatever the array holds is written
        p.mapNUM[1] = 1;
        p.mapNUM[2] = 2;
        if (fault == u"long"_s)
            p.portNAME[2] = tooLong;
        QStringList want;
        for (size_t i = 0; fault.isEmpty() && i < size_t(numPORTS); ++i)
            want.append(rowOf(p.mapNUM[i], p.slot(i)));
        // A failed call is made once more with the same arguments (the callers' convention): it must
        // leave no half map behind, nor double one.
        for (int attempt = 1; attempt <= (fault.isEmpty() ? 1 : 2); ++attempt) {
            qint16 iERROR = -1;
            p.write(b.call, &D::SQL_writenewPORTS, 9, qint16(numPORTS), iERROR);
            QCOMPARE(iERROR, qint16(fault.isEmpty() ? 0 : 1));
            QCOMPARE(mapRows(b.tdb, 9), want);
        }
        QCOMPARE(b.boxes(), QStringList(fault.isEmpty() ? 0 : 2, rowsBox));
        QCOMPARE(b.tdb.count(u"portCONFIG"_s), 1 + int(want.size()));
    }

    void readnewMAP_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("newMAP"); // -1: none, iERROR 1
        QTest::newRow("maps 2, 7, 1: 8") << QStringList{u"2:1:1"_s, u"7:1:1"_s, u"1:1:1"_s, u"7:2:1"_s} << 8;
        QTest::newRow("empty table: 1") << QStringList() << 1;
        QTest::newRow("only maps 0 and -5: 1") << QStringList{u"0:1:1"_s, u"-5:1:1"_s} << 1;
        QTest::newRow("32766: 32767") << QStringList{u"32766:1:1"_s} << 32767;
        QTest::newRow("32767: no next map") << QStringList{u"32766:1:1"_s, u"32767:1:1"_s} << -1;
        QTest::newRow("NULL map: unreadable") << QStringList{u"3:1:1"_s, u"0:1:1"_s} << -1; // map 0 at id 2
    }
    void readnewMAP()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, newMAP);
        Bench b;
        const QStringList nullMap{u"ALTER TABLE portCONFIG MODIFY mapPORT SMALLINT NULL"_s,
                                  u"UPDATE portCONFIG SET mapPORT = NULL WHERE mapPORT = 0 AND id = 2"_s};
        QVERIFY(b.ok(rows, nullMap));
        qint16 got = -1, iERROR = -1;
        b.call(&D::SQL_readnewMAP, got, iERROR);
        QCOMPARE(iERROR, qint16(newMAP < 0 ? 1 : 0));
        QCOMPARE(got, qint16(newMAP));
        QCOMPARE(b.boxes(), QStringList());
    }

    // Map 5 holds ports 1, 2, 3 and 2 again; map 6 ports 1 and 2.
    void delPORTS_data()
    {
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
        Bench b;
        QVERIFY(b.ok(mapSpec(5, 1, 3, 0) + QStringList{u"5:2:9"_s} + mapSpec(6, 1, 2, 0),
                     refuse.isEmpty() ? QStringList()
                                      : QStringList{test::refusal(u"portCONFIG"_s, u"DELETE"_s, refuse)}));
        qint16 got = -1;
        b.call(&D::SQL_delPORTS, qint16(map), got);
        QCOMPARE(got, qint16(iERROR));
        QCOMPARE(test::tableTexts(b.tdb, u"portCONFIG"_s, u"mapPORT, mapNUM"_s).join(u','), left);
        QCOMPARE(b.boxes(), QStringList()); // silent
    }
};

QTEST_GUILESS_MAIN(TestPortConfig)
#include "tst_portconfig.moc"
