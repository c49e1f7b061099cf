// The five port configuration operations against the real server,
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

const QString portTable = u"portCONFIG"_s;

const QString connectText = u"Error: Unable to Connect to the Tarvik Port Config DB."_s;
const QString connectTitle = u"Error Code 1005. Program will be using DEFAULT configuration values"_s;
const QString rowsText =
    u"Error: Error reading in Tarvik Port Config DB. Please check and correct configuration."_s;
const QString rowsTitle = u"Error Code 1006. Program will be using DEFAULT configuration values"_s;

// The fifteen per-port arrays of the editor.
struct Ports
{
    db::PortArray<qint16> mapNUM;
    db::PortArray<QString> portNAME;
    db::PortArray<qint16> UOM;
    db::PortArray<qint16> unitSCALE;
    db::PortArray<qint16> acTIVE;
    db::PortArray<float> minSPEC;
    db::PortArray<float> maxSPEC;
    db::PortArray<float> timeDELAY;
    db::PortArray<qint16> numAVG;
    db::PortArray<qint16> mspeed;
    db::PortArray<qint16> Range;
    db::PortArray<qint16> ssON;
    db::PortArray<float> ssTOL;
    db::PortArray<float> ssMAXT;
    db::PortArray<qint16> ssREQD;
};

// The values of one port, all derived from one number so that every column differs.
struct PortValues
{
    QString portNAME;
    qint16 UOM, unitSCALE, acTIVE, Range;
    float minSPEC, maxSPEC;
    qint16 numAVG, mspeed;
    float timeDELAY;
    qint16 ssON;
    float ssTOL, ssMAXT;
    qint16 ssREQD;
};

PortValues valuesOf(int seed)
{
    const auto s = qint16(seed);
    return {u"Port "_s + QString::number(seed),
            qint16(s % 5),
            qint16(1 + s % 4),
            qint16(s % 2),
            qint16(s % 7),
            float(seed) * 0.5f,
            float(seed) * 10.25f,
            qint16(1 + s % 9),
            qint16(1 + s % 3),
            float(seed) * 0.125f,
            qint16((s + 1) % 2),
            0.05f,
            float(seed) + 0.75f,
            qint16((s / 2) % 2)};
}

// Values that no row holds, to tell written slots from untouched ones.
Ports sentinelPorts()
{
    Ports p;
    p.mapNUM.fill(-1);
    p.portNAME.fill(u"unset"_s);
    p.UOM.fill(-2);
    p.unitSCALE.fill(-3);
    p.acTIVE.fill(-4);
    p.minSPEC.fill(-5.5f);
    p.maxSPEC.fill(-6.5f);
    p.timeDELAY.fill(-7.5f);
    p.numAVG.fill(-8);
    p.mspeed.fill(-9);
    p.Range.fill(-10);
    p.ssON.fill(-11);
    p.ssTOL.fill(-12.5f);
    p.ssMAXT.fill(-13.5f);
    p.ssREQD.fill(-14);
    return p;
}

void setSlot(Ports& p, size_t i, const PortValues& v)
{
    p.portNAME[i] = v.portNAME;
    p.UOM[i] = v.UOM;
    p.unitSCALE[i] = v.unitSCALE;
    p.acTIVE[i] = v.acTIVE;
    p.Range[i] = v.Range;
    p.minSPEC[i] = v.minSPEC;
    p.maxSPEC[i] = v.maxSPEC;
    p.numAVG[i] = v.numAVG;
    p.mspeed[i] = v.mspeed;
    p.timeDELAY[i] = v.timeDELAY;
    p.ssON[i] = v.ssON;
    p.ssTOL[i] = v.ssTOL;
    p.ssMAXT[i] = v.ssMAXT;
    p.ssREQD[i] = v.ssREQD;
}

// The editor's arrays for ports 1..n, port k with the values of seed + k.
Ports portsFor(int n, int seed)
{
    Ports p = sentinelPorts();
    for (int k = 1; k <= n; ++k) {
        p.mapNUM[size_t(k - 1)] = qint16(k);
        setSlot(p, size_t(k - 1), valuesOf(seed + k));
    }
    return p;
}

// Nine significant digits tell every float apart.
QString floatText(float value)
{
    return QString::number(double(value), 'g', 9);
}

// The fourteen values of slot i as text, in the column order of the table.
QStringList slotTexts(const Ports& p, size_t i)
{
    return {p.portNAME[i],
            QString::number(p.UOM[i]),
            QString::number(p.unitSCALE[i]),
            QString::number(p.acTIVE[i]),
            QString::number(p.Range[i]),
            floatText(p.minSPEC[i]),
            floatText(p.maxSPEC[i]),
            QString::number(p.numAVG[i]),
            QString::number(p.mspeed[i]),
            floatText(p.timeDELAY[i]),
            QString::number(p.ssON[i]),
            floatText(p.ssTOL[i]),
            floatText(p.ssMAXT[i]),
            QString::number(p.ssREQD[i])};
}

QStringList valueTexts(const PortValues& v)
{
    Ports p;
    setSlot(p, 0, v);
    return slotTexts(p, 0);
}

bool insertPort(test::TestDatabase& tdb, int mapPORT, int mapNUM, int seed)
{
    const PortValues v = valuesOf(seed);
    return tdb.exec(u"INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, "
                    u"minSPEC, maxSPEC, numAVG, mspeed, timeDELAY, ssON, ssTOL, ssMAXT, ssREQD) "
                    u"VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                    {mapPORT, mapNUM, v.portNAME, int(v.UOM), int(v.unitSCALE), int(v.acTIVE), int(v.Range),
                     double(v.minSPEC), double(v.maxSPEC), int(v.numAVG), int(v.mspeed), double(v.timeDELAY),
                     int(v.ssON), double(v.ssTOL), double(v.ssMAXT), int(v.ssREQD)});
}

// mapNUM followed by the fourteen values, of every row of a map in id order.
QList<QStringList> mapRows(test::TestDatabase& tdb, int mapPORT)
{
    QList<QStringList> out;
    const QList<QVariantList> rows = tdb.rows(
        u"SELECT mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, CAST(minSPEC AS DOUBLE), "
        u"CAST(maxSPEC AS DOUBLE), numAVG, mspeed, CAST(timeDELAY AS DOUBLE), ssON, CAST(ssTOL AS DOUBLE), "
        u"CAST(ssMAXT AS DOUBLE), ssREQD FROM portCONFIG WHERE mapPORT = ? ORDER BY id"_s,
        {mapPORT});
    for (const QVariantList& row : rows) {
        QStringList texts;
        for (int i = 0; i < row.size(); ++i) {
            const QVariant& v = row[i];
            // FLOAT columns as the float they hold, printed like the arrays print them.
            const bool isFloat = i == 6 || i == 7 || i == 10 || i == 12 || i == 13;
            texts.append(isFloat ? floatText(float(v.toDouble())) : v.toString());
        }
        out.append(texts);
    }
    return out;
}

QStringList rowOf(int mapNUM, const QStringList& values)
{
    return QStringList{QString::number(mapNUM)} + values;
}

// Makes the rows of a map come back in id order (the order they were inserted),
// not in the order of the (mapPORT, mapNUM) index.
bool insertionOrder(test::TestDatabase& tdb)
{
    return tdb.exec(u"ALTER TABLE portCONFIG DROP KEY by_map"_s);
}

struct PortOps
{
    explicit PortOps(const Target& target, Dialogs* dialogs, const QString& tableName = portTable)
        : database(dialogs)
        , t(target)
        , table(tableName)
    {}

    db::Database database;
    Target t;
    QString table;

    void read(qint16 map, qint16& numPORTS, Ports& p)
    {
        database.SQL_readPORTinfo(t.server, t.database, t.user, t.password, table, map, numPORTS, p.mapNUM,
                                  p.portNAME, p.UOM, p.unitSCALE, p.acTIVE, p.minSPEC, p.maxSPEC, p.timeDELAY,
                                  p.numAVG, p.mspeed, p.Range, p.ssON, p.ssTOL, p.ssMAXT, p.ssREQD);
    }
    void write(qint16 map, qint16 numPORTS, const Ports& p, qint16& iERROR)
    {
        database.SQL_writePORTinfo(t.server, t.database, t.user, t.password, table, map, numPORTS, p.mapNUM,
                                   p.portNAME, p.UOM, p.unitSCALE, p.acTIVE, p.minSPEC, p.maxSPEC,
                                   p.timeDELAY, p.numAVG, p.mspeed, p.Range, p.ssON, p.ssTOL, p.ssMAXT,
                                   p.ssREQD, iERROR);
    }
    void writeNew(qint16 map, qint16 numPORTS, const Ports& p, qint16& iERROR)
    {
        database.SQL_writenewPORTS(t.server, t.database, t.user, t.password, table, map, numPORTS, p.mapNUM,
                                   p.portNAME, p.UOM, p.unitSCALE, p.acTIVE, p.minSPEC, p.maxSPEC,
                                   p.timeDELAY, p.numAVG, p.mspeed, p.Range, p.ssON, p.ssTOL, p.ssMAXT,
                                   p.ssREQD, iERROR);
    }
    void readNewMap(qint16& newMAP, qint16& iERROR)
    {
        database.SQL_readnewMAP(t.server, t.database, t.user, t.password, table, newMAP, iERROR);
    }
    void del(qint16 map, qint16& iERROR)
    {
        database.SQL_delPORTS(t.server, t.database, t.user, t.password, table, map, iERROR);
    }
};

using Shown = QList<QPair<QString, QString>>;

Shown shownOf(const test::ScriptedDialogs& dialogs)
{
    Shown out;
    for (const auto& s : dialogs.shown)
        out.append({s.text, s.title});
    return out;
}

const Shown pathA = {{connectText, connectTitle}};
const Shown pathB = {{rowsText, rowsTitle}};

} // namespace

class TestPortConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // SQL_readPORTinfo
    void readPORTinfo_fewerRowsThanPorts();
    void readPORTinfo_moreRowsThanPorts();
    void readPORTinfo_rowsInAnyOrder();
    void readPORTinfo_sameMapNumLaterRowWins();
    void readPORTinfo_negativeMapNumber();
    void readPORTinfo_mapNumOutsideSlots_data();
    void readPORTinfo_mapNumOutsideSlots();
    void readPORTinfo_badValueMidRow_data();
    void readPORTinfo_badValueMidRow();
    void readPORTinfo_mapWithoutRows();
    void readPORTinfo_cannotConnect();

    // SQL_writePORTinfo
    void writePORTinfo_rewritesExistingRows();
    void writePORTinfo_mapWithoutRows();
    void writePORTinfo_mapNumOutsideSlots();
    void writePORTinfo_saveFailsMidway_data();
    void writePORTinfo_saveFailsMidway();
    void writePORTinfo_cannotConnect();

    // SQL_writenewPORTS
    void writenewPORTS_appendsRows();
    void writenewPORTS_noPorts();
    void writenewPORTS_failureLeavesNoHalfMap_data();
    void writenewPORTS_failureLeavesNoHalfMap();
    void writenewPORTS_moreThan49Ports();
    void writenewPORTS_cannotConnect();

    // SQL_readnewMAP
    void readnewMAP_largestPlusOne();
    void readnewMAP_emptyTable();
    void readnewMAP_onlyZeroOrNegative();
    void readnewMAP_largestInteger();
    void readnewMAP_unreadable();

    // SQL_delPORTS
    void delPORTS_deletesEveryRowOfTheMap();
    void delPORTS_mapWithoutRows();
    void delPORTS_deleteFailsMidway();
    void delPORTS_cannotConnect();

    // Round trips
    void statementsPerOperation();
};

// ---- SQL_readPORTinfo -----------------------------------------------------

void TestPortConfig::readPORTinfo_fewerRowsThanPorts()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    for (int k = 1; k <= 4; ++k)
        QVERIFY(insertPort(tdb, 5, k, 100 + k));
    for (int k = 1; k <= 8; ++k)
        QVERIFY(insertPort(tdb, 6, k, 200 + k)); // another map
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    Ports p = sentinelPorts();
    qint16 numPORTS = 8;
    ops.read(5, numPORTS, p);
    QCOMPARE(numPORTS, qint16(4));
    const Ports untouched = sentinelPorts();
    for (size_t i = 0; i < db::portSlots; ++i) {
        if (i < 4) {
            QCOMPARE(p.mapNUM[i], qint16(i + 1));
            QCOMPARE(slotTexts(p, i), valueTexts(valuesOf(101 + int(i))));
        } else {
            QCOMPARE(p.mapNUM[i], qint16(-1));
            QCOMPARE(slotTexts(p, i), slotTexts(untouched, i));
        }
    }
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::readPORTinfo_moreRowsThanPorts()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    for (int k = 1; k <= 10; ++k)
        QVERIFY(insertPort(tdb, 5, k, k));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    Ports p = sentinelPorts();
    qint16 numPORTS = 8;
    ops.read(5, numPORTS, p);
    QCOMPARE(numPORTS, qint16(8)); // never raised
    for (size_t i = 0; i < 10; ++i)
        QCOMPARE(slotTexts(p, i), valueTexts(valuesOf(int(i) + 1)));
    QCOMPARE(p.mapNUM[9], qint16(10));
    QCOMPARE(p.mapNUM[10], qint16(-1));
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::readPORTinfo_rowsInAnyOrder()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertionOrder(tdb));
    QVERIFY(insertPort(tdb, 5, 3, 33));
    QVERIFY(insertPort(tdb, 5, 1, 11));
    QVERIFY(insertPort(tdb, 5, 2, 22));
    // The server really returns them in the order 3, 1, 2.
    QCOMPARE(tdb.rows(u"SELECT mapNUM FROM portCONFIG WHERE mapPORT = '5'"_s).value(0).value(0).toInt(), 3);
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    Ports p = sentinelPorts();
    qint16 numPORTS = 3;
    ops.read(5, numPORTS, p);
    QCOMPARE(numPORTS, qint16(3));
    QCOMPARE(slotTexts(p, 0), valueTexts(valuesOf(11)));
    QCOMPARE(slotTexts(p, 1), valueTexts(valuesOf(22)));
    QCOMPARE(slotTexts(p, 2), valueTexts(valuesOf(33)));
    QCOMPARE((QList<qint16>{p.mapNUM[0], p.mapNUM[1], p.mapNUM[2]}), (QList<qint16>{1, 2, 3}));
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::readPORTinfo_sameMapNumLaterRowWins()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    QVERIFY(insertPort(tdb, 5, 2, 2));
    QVERIFY(insertPort(tdb, 5, 2, 99));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    Ports p = sentinelPorts();
    qint16 numPORTS = 8;
    ops.read(5, numPORTS, p);
    QCOMPARE(numPORTS, qint16(3)); // the number of rows, not of ports
    QCOMPARE(slotTexts(p, 1), valueTexts(valuesOf(99)));
    QCOMPARE(p.mapNUM[2], qint16(-1));
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::readPORTinfo_negativeMapNumber()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, -2, 1, 7));
    QVERIFY(insertPort(tdb, 2, 1, 8));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    Ports p = sentinelPorts();
    qint16 numPORTS = 1;
    ops.read(-2, numPORTS, p);
    QCOMPARE(slotTexts(p, 0), valueTexts(valuesOf(7)));
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::readPORTinfo_mapNumOutsideSlots_data()
{
    QTest::addColumn<int>("badMapNum");
    QTest::newRow("0") << 0;
    QTest::newRow("50") << 50;
    QTest::newRow("-1") << -1;
    QTest::newRow("32767") << 32767;
}

void TestPortConfig::readPORTinfo_mapNumOutsideSlots()
{
    QFETCH(int, badMapNum);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertionOrder(tdb));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    QVERIFY(insertPort(tdb, 5, badMapNum, 50));
    QVERIFY(insertPort(tdb, 5, 2, 2));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    Ports p = sentinelPorts();
    qint16 numPORTS = 8;
    ops.read(5, numPORTS, p);
    QCOMPARE(shownOf(dialogs), pathB);
    QCOMPARE(numPORTS, qint16(8));                      // not lowered after a failure
    QCOMPARE(slotTexts(p, 0), valueTexts(valuesOf(1))); // read before the bad row: stays
    QCOMPARE(slotTexts(p, 1), slotTexts(sentinelPorts(), 1));
    // Nothing was written anywhere for the bad row.
    const Ports untouched = sentinelPorts();
    for (size_t i = 1; i < db::portSlots; ++i) {
        QCOMPARE(p.mapNUM[i], qint16(-1));
        QCOMPARE(slotTexts(p, i), slotTexts(untouched, i));
    }
    QCOMPARE(test::errorRecords(tdb), (QList<QPair<QString, QString>>()));
}

void TestPortConfig::readPORTinfo_badValueMidRow_data()
{
    QTest::addColumn<QString>("alter");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("badValue");
    QTest::addColumn<int>("valuesRead"); // of the fourteen, in the read order
    QTest::newRow("mapNUM NULL") << u"MODIFY mapNUM SMALLINT NULL"_s << u"mapNUM"_s << u"NULL"_s << -1;
    QTest::newRow("portNAME NULL") << u"MODIFY portNAME VARCHAR(15) NULL"_s << u"portNAME"_s << u"NULL"_s
                                   << 0;
    QTest::newRow("UOM 40000") << u"MODIFY UOM INT NOT NULL"_s << u"UOM"_s << u"40000"_s << 1;
    QTest::newRow("minSPEC NULL") << u"MODIFY minSPEC FLOAT NULL"_s << u"minSPEC"_s << u"NULL"_s << 5;
    QTest::newRow("timeDELAY text") << u"MODIFY timeDELAY VARCHAR(10) NOT NULL"_s << u"timeDELAY"_s
                                    << u"'later'"_s << 9;
    QTest::newRow("ssREQD NULL") << u"MODIFY ssREQD SMALLINT NULL"_s << u"ssREQD"_s << u"NULL"_s << 13;
}

void TestPortConfig::readPORTinfo_badValueMidRow()
{
    QFETCH(QString, alter);
    QFETCH(QString, column);
    QFETCH(QString, badValue);
    QFETCH(int, valuesRead);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"ALTER TABLE portCONFIG "_s + alter));
    QVERIFY(insertionOrder(tdb));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    QVERIFY(insertPort(tdb, 5, 2, 2));
    QVERIFY(insertPort(tdb, 5, 3, 3));
    QVERIFY(tdb.exec(u"UPDATE portCONFIG SET `"_s + column + u"` = "_s + badValue + u" WHERE id = 2"_s));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    Ports p = sentinelPorts();
    qint16 numPORTS = 8;
    ops.read(5, numPORTS, p);
    QCOMPARE(shownOf(dialogs), pathB);
    QCOMPARE(numPORTS, qint16(8));
    QCOMPARE(slotTexts(p, 0), valueTexts(valuesOf(1)));
    QCOMPARE(p.mapNUM[1], valuesRead < 0 ? qint16(-1) : qint16(2));
    // The read order: portNAME, UOM, unitSCALE, acTIVE, Range, minSPEC, maxSPEC, numAVG, mspeed,
    // timeDELAY, ssON, ssTOL, ssMAXT, ssREQD. Those before the bad one are written.
    const QStringList readOrder = {u"portNAME"_s, u"UOM"_s,     u"unitSCALE"_s, u"acTIVE"_s, u"Range"_s,
                                   u"minSPEC"_s,  u"maxSPEC"_s, u"numAVG"_s,    u"mspeed"_s, u"timeDELAY"_s,
                                   u"ssON"_s,     u"ssTOL"_s,   u"ssMAXT"_s,    u"ssREQD"_s};
    // slotTexts lists the same fourteen in this very order.
    const QStringList got = slotTexts(p, 1);
    const QStringList read = valueTexts(valuesOf(2));
    const QStringList before = slotTexts(sentinelPorts(), 1);
    for (int i = 0; i < readOrder.size(); ++i)
        QVERIFY2(got[i] == (i < valuesRead ? read[i] : before[i]), qPrintable(readOrder[i]));
    QCOMPARE(slotTexts(p, 2), slotTexts(sentinelPorts(), 2)); // the row after it is not read
}

void TestPortConfig::readPORTinfo_mapWithoutRows()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    Ports p = sentinelPorts();
    qint16 numPORTS = 8;
    ops.read(6, numPORTS, p);
    QCOMPARE(shownOf(dialogs), pathB);
    QCOMPARE(numPORTS, qint16(8));
    QCOMPARE(slotTexts(p, 0), slotTexts(sentinelPorts(), 0));
    QCOMPARE(p.mapNUM[0], qint16(-1));
}

void TestPortConfig::readPORTinfo_cannotConnect()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    // A dead server, and a table that cannot be opened: both path A.
    for (const bool dead : {true, false}) {
        test::ScriptedDialogs dialogs;
        PortOps ops(dead ? test::deadTarget(tdb) : test::targetOf(tdb), &dialogs,
                    dead ? portTable : u"noSuchTable"_s);
        Ports p = sentinelPorts();
        qint16 numPORTS = 8;
        ops.read(5, numPORTS, p);
        QCOMPARE(shownOf(dialogs), pathA);
        QCOMPARE(numPORTS, qint16(8));
        QCOMPARE(slotTexts(p, 0), slotTexts(sentinelPorts(), 0));
    }
    // Without a dialog interface the failure is silent.
    PortOps quiet(test::deadTarget(tdb), nullptr);
    Ports p = sentinelPorts();
    qint16 numPORTS = 8;
    quiet.read(5, numPORTS, p);
    QCOMPARE(numPORTS, qint16(8));
    QCOMPARE(test::errorRecords(tdb), (QList<QPair<QString, QString>>()));
}

// ---- SQL_writePORTinfo ----------------------------------------------------

void TestPortConfig::writePORTinfo_rewritesExistingRows()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertionOrder(tdb));
    QVERIFY(insertPort(tdb, 5, 3, 3));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    QVERIFY(insertPort(tdb, 6, 1, 61));
    QVERIFY(insertPort(tdb, 5, 2, 2));
    const QList<QStringList> otherMap = mapRows(tdb, 6);
    // Ports 1..5 in the arrays, but the map has rows for 1..3 only.
    Ports p = portsFor(5, 500);
    Ports passed = p;
    passed.mapNUM.fill(9); // not used: each row is placed by its own mapNUM
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.write(5, 1, passed, iERROR); // numPORTS not used either
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(shownOf(dialogs), Shown());
    const QList<QStringList> rows = mapRows(tdb, 5);
    QCOMPARE(rows.size(), 3); // no row appended for ports 4 and 5
    QCOMPARE(rows[0], rowOf(3, slotTexts(p, 2)));
    QCOMPARE(rows[1], rowOf(1, slotTexts(p, 0)));
    QCOMPARE(rows[2], rowOf(2, slotTexts(p, 1)));
    QCOMPARE(mapRows(tdb, 6), otherMap);
    // What is written reads back the same.
    Ports back = sentinelPorts();
    qint16 numPORTS = 5;
    ops.read(5, numPORTS, back);
    QCOMPARE(numPORTS, qint16(3));
    for (size_t i = 0; i < 3; ++i)
        QCOMPARE(slotTexts(back, i), slotTexts(p, i));
}

void TestPortConfig::writePORTinfo_mapWithoutRows()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.write(6, 3, portsFor(3, 0), iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(shownOf(dialogs), pathB);
    QCOMPARE(tdb.count(u"portCONFIG"_s), 1);
    QCOMPARE(test::errorRecords(tdb), (QList<QPair<QString, QString>>()));
}

void TestPortConfig::writePORTinfo_mapNumOutsideSlots()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertionOrder(tdb));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    QVERIFY(insertPort(tdb, 5, 50, 50));
    QVERIFY(insertPort(tdb, 5, 2, 2));
    const Ports p = portsFor(3, 700);
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.write(5, 3, p, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(shownOf(dialogs), pathB);
    const QList<QStringList> rows = mapRows(tdb, 5);
    QCOMPARE(rows[0], rowOf(1, slotTexts(p, 0)));           // saved before the failure: stays
    QCOMPARE(rows[1], rowOf(50, valueTexts(valuesOf(50)))); // the bad row
    QCOMPARE(rows[2], rowOf(2, valueTexts(valuesOf(2))));   // not reached
}

void TestPortConfig::writePORTinfo_saveFailsMidway_data()
{
    QTest::addColumn<bool>("byTrigger");
    QTest::newRow("save refused by the server") << true;
    QTest::newRow("port name longer than the column (strict mode)") << false;
}

void TestPortConfig::writePORTinfo_saveFailsMidway()
{
    QFETCH(bool, byTrigger);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    QVERIFY(insertPort(tdb, 5, 2, 2));
    QVERIFY(insertPort(tdb, 5, 3, 3));
    Ports p = portsFor(3, 800);
    if (byTrigger) {
        QVERIFY(test::failingTrigger(tdb, u"portCONFIG"_s, u"UPDATE"_s, u"OLD.mapNUM = 2"_s));
    } else {
        QVERIFY(tdb.scalar(u"SELECT @@GLOBAL.sql_mode"_s).toString().contains(u"STRICT_TRANS_TABLES"_s));
        p.portNAME[1] = u"a name far longer than fifteen"_s;
    }
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.write(5, 3, p, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(shownOf(dialogs), pathB);
    const QList<QStringList> rows = mapRows(tdb, 5);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], rowOf(1, slotTexts(p, 0))); // row by row: the first row stays saved
    QCOMPARE(rows[1], rowOf(2, valueTexts(valuesOf(2))));
    QCOMPARE(rows[2], rowOf(3, valueTexts(valuesOf(3))));
}

void TestPortConfig::writePORTinfo_cannotConnect()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    const QList<QStringList> before = mapRows(tdb, 5);
    test::ScriptedDialogs dialogs;
    PortOps ops(test::deadTarget(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.write(5, 1, portsFor(1, 900), iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(shownOf(dialogs), pathA);
    QCOMPARE(mapRows(tdb, 5), before);
    QCOMPARE(test::errorRecords(tdb), (QList<QPair<QString, QString>>()));
}

// ---- SQL_writenewPORTS ----------------------------------------------------

void TestPortConfig::writenewPORTS_appendsRows()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 1, 1, 1));
    Ports p = portsFor(4, 300);
    // Whatever the mapNUM array holds is written.
    p.mapNUM[0] = 3;
    p.mapNUM[1] = 1;
    p.mapNUM[2] = 2;
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.writeNew(9, 3, p, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(shownOf(dialogs), Shown());
    const QList<QStringList> rows = mapRows(tdb, 9);
    QCOMPARE(rows.size(), 3); // numPORTS rows, not four
    QCOMPARE(rows[0], rowOf(3, slotTexts(p, 0)));
    QCOMPARE(rows[1], rowOf(1, slotTexts(p, 1)));
    QCOMPARE(rows[2], rowOf(2, slotTexts(p, 2)));
    QCOMPARE(tdb.count(u"portCONFIG"_s), 4);
}

void TestPortConfig::writenewPORTS_noPorts()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.writeNew(9, 0, portsFor(3, 0), iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(shownOf(dialogs), Shown());
    QCOMPARE(tdb.count(u"portCONFIG"_s), 0);
}

void TestPortConfig::writenewPORTS_failureLeavesNoHalfMap_data()
{
    QTest::addColumn<bool>("byTrigger");
    QTest::newRow("third row refused by the server") << true;
    QTest::newRow("third port name longer than the column (strict mode)") << false;
}

void TestPortConfig::writenewPORTS_failureLeavesNoHalfMap()
{
    QFETCH(bool, byTrigger);
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 1, 1, 1));
    Ports p = portsFor(4, 400);
    if (byTrigger) {
        QVERIFY(test::failingTrigger(tdb, u"portCONFIG"_s, u"INSERT"_s, u"NEW.mapNUM = 3"_s));
    } else {
        QVERIFY(tdb.scalar(u"SELECT @@GLOBAL.sql_mode"_s).toString().contains(u"STRICT_TRANS_TABLES"_s));
        p.portNAME[2] = u"a name far longer than fifteen"_s;
    }
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    // The caller's convention: a failed call is made once more with the same arguments.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        qint16 iERROR = -1;
        ops.writeNew(9, 4, p, iERROR);
        QCOMPARE(iERROR, qint16(1));
        QCOMPARE(mapRows(tdb, 9).size(), 0); // no half map, and nothing doubles
    }
    QCOMPARE(shownOf(dialogs), pathB + pathB);
    QCOMPARE(tdb.count(u"portCONFIG"_s), 1);
    // Once the cause is gone the whole map goes in, exactly once.
    if (byTrigger)
        QVERIFY(tdb.exec(u"DROP TRIGGER fail_insert"_s));
    else
        p.portNAME[2] = u"short"_s;
    qint16 iERROR = -1;
    ops.writeNew(9, 4, p, iERROR);
    QCOMPARE(iERROR, qint16(0));
    const QList<QStringList> rows = mapRows(tdb, 9);
    QCOMPARE(rows.size(), 4);
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(rows[k - 1], rowOf(k, slotTexts(p, size_t(k - 1))));
    QCOMPARE(test::errorRecords(tdb), (QList<QPair<QString, QString>>()));
}

void TestPortConfig::writenewPORTS_moreThan49Ports()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.writeNew(9, 50, portsFor(49, 0), iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(shownOf(dialogs), pathB);
    QCOMPARE(tdb.count(u"portCONFIG"_s), 0);
    // 49 is the most the arrays hold, and fits.
    dialogs.shown.clear();
    ops.writeNew(9, 49, portsFor(49, 0), iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(shownOf(dialogs), Shown());
    QCOMPARE(tdb.count(u"portCONFIG"_s), 49);
}

void TestPortConfig::writenewPORTS_cannotConnect()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::deadTarget(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.writeNew(9, 3, portsFor(3, 0), iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(shownOf(dialogs), pathA);
    QCOMPARE(tdb.count(u"portCONFIG"_s), 0);
    QCOMPARE(test::errorRecords(tdb), (QList<QPair<QString, QString>>()));
}

// ---- SQL_readnewMAP -------------------------------------------------------

void TestPortConfig::readnewMAP_largestPlusOne()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertionOrder(tdb));
    QVERIFY(insertPort(tdb, 2, 1, 1));
    QVERIFY(insertPort(tdb, 7, 1, 1));
    QVERIFY(insertPort(tdb, 1, 1, 1));
    QVERIFY(insertPort(tdb, 7, 2, 1));
    QVERIFY(insertPort(tdb, 2, 2, 1));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 newMAP = -1;
    qint16 iERROR = -1;
    ops.readNewMap(newMAP, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(newMAP, qint16(8));
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::readnewMAP_emptyTable()
{
    // Failing here would make the first PN of a new station impossible.
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 newMAP = -1;
    qint16 iERROR = -1;
    ops.readNewMap(newMAP, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(newMAP, qint16(1));
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::readnewMAP_onlyZeroOrNegative()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 0, 1, 1));
    QVERIFY(insertPort(tdb, -5, 1, 1));
    PortOps ops(test::targetOf(tdb), nullptr);
    qint16 newMAP = -1;
    qint16 iERROR = -1;
    ops.readNewMap(newMAP, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(newMAP, qint16(1));
}

void TestPortConfig::readnewMAP_largestInteger()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 32766, 1, 1));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 newMAP = -1;
    qint16 iERROR = -1;
    ops.readNewMap(newMAP, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(newMAP, qint16(32767));
    QVERIFY(insertPort(tdb, 32767, 1, 1));
    newMAP = -1;
    ops.readNewMap(newMAP, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(newMAP, qint16(-1)); // keeps its value
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::readnewMAP_unreadable()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"ALTER TABLE portCONFIG MODIFY mapPORT SMALLINT NULL"_s));
    QVERIFY(insertPort(tdb, 3, 1, 1));
    QVERIFY(tdb.exec(u"INSERT INTO portCONFIG (mapPORT, mapNUM) VALUES (NULL, 1)"_s));
    test::ScriptedDialogs dialogs;
    {
        // A NULL map number, a dead server, a missing table: status 1, the argument unchanged, no message.
        PortOps ops(test::targetOf(tdb), &dialogs);
        qint16 newMAP = -1;
        qint16 iERROR = -1;
        ops.readNewMap(newMAP, iERROR);
        QCOMPARE(iERROR, qint16(1));
        QCOMPARE(newMAP, qint16(-1));
    }
    for (const bool dead : {true, false}) {
        PortOps ops(dead ? test::deadTarget(tdb) : test::targetOf(tdb), &dialogs,
                    dead ? portTable : u"noSuchTable"_s);
        qint16 newMAP = -1;
        qint16 iERROR = -1;
        ops.readNewMap(newMAP, iERROR);
        QCOMPARE(iERROR, qint16(1));
        QCOMPARE(newMAP, qint16(-1));
    }
    QCOMPARE(shownOf(dialogs), Shown());
    QCOMPARE(test::errorRecords(tdb), (QList<QPair<QString, QString>>()));
}

// ---- SQL_delPORTS ---------------------------------------------------------

void TestPortConfig::delPORTS_deletesEveryRowOfTheMap()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    for (int k = 1; k <= 3; ++k)
        QVERIFY(insertPort(tdb, 5, k, k));
    QVERIFY(insertPort(tdb, 5, 2, 9)); // a double: goes too
    QVERIFY(insertPort(tdb, 6, 1, 1));
    QVERIFY(insertPort(tdb, 6, 2, 2));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.del(5, iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(mapRows(tdb, 5).size(), 0);
    QCOMPARE(mapRows(tdb, 6).size(), 2);
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::delPORTS_mapWithoutRows()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.del(6, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(tdb.count(u"portCONFIG"_s), 1);
    QCOMPARE(shownOf(dialogs), Shown()); // silent
    QCOMPARE(test::errorRecords(tdb), (QList<QPair<QString, QString>>()));
}

void TestPortConfig::delPORTS_deleteFailsMidway()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    for (int k = 1; k <= 3; ++k)
        QVERIFY(insertPort(tdb, 5, k, k));
    QVERIFY(test::failingTrigger(tdb, u"portCONFIG"_s, u"DELETE"_s, u"OLD.mapNUM = 2"_s));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::targetOf(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.del(5, iERROR);
    QCOMPARE(iERROR, qint16(1));
    const QList<QStringList> rows = mapRows(tdb, 5);
    QCOMPARE(rows.size(), 2); // port 1 deleted before the failure stays deleted
    QCOMPARE(rows[0].value(0), u"2"_s);
    QCOMPARE(rows[1].value(0), u"3"_s);
    QCOMPARE(shownOf(dialogs), Shown());
}

void TestPortConfig::delPORTS_cannotConnect()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(insertPort(tdb, 5, 1, 1));
    test::ScriptedDialogs dialogs;
    PortOps ops(test::deadTarget(tdb), &dialogs);
    qint16 iERROR = -1;
    ops.del(5, iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(tdb.count(u"portCONFIG"_s), 1);
    QCOMPARE(shownOf(dialogs), Shown());
}

// ---- Round trips ----------------------------------------------------------

// The statements one call sends, counted by the server for an account of its own.
void TestPortConfig::statementsPerOperation()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    test::CountedAccount account(tdb);
    QVERIFY2(account.ok(), qPrintable(tdb.error()));
    for (int map = 1; map <= 20; ++map)
        for (int k = 1; k <= 8; ++k)
            QVERIFY(insertPort(tdb, map, k, k));
    PortOps ops(account.target(), nullptr);
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
    Ports p = portsFor(8, 10);
    qint16 numPORTS = 8;
    qint16 iERROR = -1;
    measure("SQL_readPORTinfo, 8 rows", [&] { ops.read(3, numPORTS, p); });
    const auto write = measure("SQL_writePORTinfo, 8 rows", [&] { ops.write(3, 8, p, iERROR); });
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(write[1], qint64(8)); // one save per row
    const auto append = measure("SQL_writenewPORTS, 8 rows", [&] { ops.writeNew(21, 8, p, iERROR); });
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(append[1], qint64(8)); // one insert per row, in one transaction
    qint16 newMAP = 0;
    measure("SQL_readnewMAP, 168 rows", [&] { ops.readNewMap(newMAP, iERROR); });
    QCOMPARE(newMAP, qint16(22));
    const auto del = measure("SQL_delPORTS, 8 rows", [&] { ops.del(21, iERROR); });
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(del[1], qint64(8)); // one delete per row
}

QTEST_GUILESS_MAIN(TestPortConfig)
#include "tst_portconfig.moc"
