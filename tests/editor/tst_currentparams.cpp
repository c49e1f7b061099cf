// The current-parameter set alone, without the window; and the
// number texts that the editor shows.
#include "CurrentParams.h"
#include "Numbers.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;

class TestCurrentParams : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void startValues();
    void defPORTPort1();
    void defPORTAllPortsAndNoMore();
    void defPORTNeverBeyondSlot48();
    void defPN();
    void defPNLeavesCurPNAndPattern();
    void bSORT_data();
    void bSORT();
    void bSORTLeavesSlot0AndTail();
    void bSORTCountAbove100();
    void usablePorts();
    void specDecimals_data();
    void specDecimals();
    void shortestSingle_data();
    void shortestSingle();
    void shortestSingleFollowsLocale();
};

void TestCurrentParams::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestCurrentParams::startValues()
{
    const CurrentParams p;
    QCOMPARE(p.curPORT, qint16(-1));
    QCOMPARE(p.curSCALE, qint16(-1));
    QCOMPARE(p.curPNidx, qint16(-1));
    QCOMPARE(p.pnLOADED, qint16(0));
    QCOMPARE(p.skipCLICK, qint16(0));
    QCOMPARE(p.renameSTEP, qint16(0));
    QCOMPARE(p.xlOPEN, qint16(0));
    QCOMPARE(p.xlSTATUS, qint16(0));
    QCOMPARE(p.numPN, qint16(0));
    QCOMPARE(p.numPORTS, qint16(0));
    QCOMPARE(int(p.pnLIST.size()), 101);
    QCOMPARE(int(p.minSPEC.size()), 49);
    // The types.
    static_assert(std::is_same_v<decltype(CurrentParams::numPORTS), qint16>);
    static_assert(std::is_same_v<decltype(CurrentParams::snEXTENDER), qint32>);
    static_assert(std::is_same_v<decltype(CurrentParams::autoTIME), float>);
    static_assert(std::is_same_v<decltype(p.minSPEC)::value_type, float>);
    static_assert(std::is_same_v<decltype(p.timeDELAY)::value_type, float>);
    static_assert(std::is_same_v<decltype(p.ssTOL)::value_type, float>);
    static_assert(std::is_same_v<decltype(p.Range)::value_type, qint16>);
    static_assert(std::is_same_v<decltype(p.portNAME)::value_type, QString>);
}

void TestCurrentParams::defPORTPort1()
{
    CurrentParams p;
    p.numPORTS = 8;
    p.defPORT();
    QCOMPARE(p.mapNUM[0], qint16(1));
    QCOMPARE(p.portNAME[0], u"PORT 1"_s);
    QCOMPARE(p.UOM[0], qint16(1));
    QCOMPARE(p.unitSCALE[0], qint16(2));
    QCOMPARE(p.acTIVE[0], qint16(1));
    QCOMPARE(p.minSPEC[0], 1.0f);
    QCOMPARE(p.maxSPEC[0], 1000.0f);
    QCOMPARE(p.timeDELAY[0], 0.25f);
    QCOMPARE(p.Range[0], qint16(0));
    QCOMPARE(p.numAVG[0], qint16(2));
    QCOMPARE(p.mspeed[0], qint16(2));
    QCOMPARE(p.ssON[0], qint16(1));
    QCOMPARE(p.ssTOL[0], 0.05f);
    QCOMPARE(p.ssMAXT[0], 2.0f);
    QCOMPARE(p.ssREQD[0], qint16(0));
}

void TestCurrentParams::defPORTAllPortsAndNoMore()
{
    CurrentParams p;
    p.numPORTS = 12;
    p.defPORT();
    QCOMPARE(p.portNAME[11], u"PORT 12"_s);
    QCOMPARE(p.mapNUM[11], qint16(12));
    QCOMPARE(p.portNAME[9], u"PORT 10"_s);
    // Slot 12 (port 13) is beyond numPORTS: untouched.
    QVERIFY(p.portNAME[12].isEmpty());
    QCOMPARE(p.mapNUM[12], qint16(0));
    QCOMPARE(p.maxSPEC[12], 0.0f);
}

void TestCurrentParams::defPORTNeverBeyondSlot48()
{
    CurrentParams p;
    p.numPORTS = 200; // only the window's setter caps it; defPORT stays in the slots anyway
    p.defPORT();
    QCOMPARE(p.portNAME[48], u"PORT 49"_s);
    p.numPORTS = -3;
    p.portNAME[0] = u"kept"_s;
    p.defPORT();
    QCOMPARE(p.portNAME[0], u"kept"_s);
}

void TestCurrentParams::defPN()
{
    CurrentParams p;
    p.curPN = u"AB-100"_s;
    p.snNAME = u"x"_s;
    p.pnDEFAULT = 1;
    p.snACTIVE = 0;
    p.snBARCODE = 1;
    p.snEXTENDER = 42;
    p.snFORMAT = u"AB-###"_s;
    p.autoMEASURE = 1;
    p.autoTIME = 7.0f;
    p.reqRANDR = 1;
    p.snGOOD = u"G"_s;
    p.snBAD = u"B"_s;
    p.defPN();
    QCOMPARE(p.snNAME, u"PN DESCRIPTION"_s);
    QCOMPARE(p.pnDEFAULT, qint16(0));
    QCOMPARE(p.snACTIVE, qint16(1));
    QCOMPARE(p.snBARCODE, qint16(0));
    QCOMPARE(p.snEXTENDER, qint32(0));
    QCOMPARE(p.snFORMAT, QString());
    QCOMPARE(p.snLENGTH, qint16(16));
    QCOMPARE(p.autoMEASURE, qint16(0));
    QCOMPARE(p.autoTIME, 20.0f);
    QCOMPARE(p.reqRANDR, qint16(0));
    QCOMPARE(p.snGOOD, QString());
    QCOMPARE(p.snBAD, QString());
}

void TestCurrentParams::defPNLeavesCurPNAndPattern()
{
    CurrentParams p;
    p.curPN = u"X"_s;
    p.snPATTERN = u"^X$"_s;
    p.defPN();
    QCOMPARE(p.curPN, u"X"_s);
    QCOMPARE(p.snPATTERN, u"^X$"_s);
    QCOMPARE(p.snLENGTH, qint16(11)); // "X " is 2, plus 9
    p.curPN.clear();
    p.defPN();
    QCOMPARE(p.snLENGTH, qint16(10));
}

void TestCurrentParams::bSORT_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the worked example")
        << QStringList{u"b"_s, u"B"_s, u"a10"_s, u"a2"_s} << QStringList{u"B"_s, u"a10"_s, u"a2"_s, u"b"_s};
    QTest::newRow("digits before letters")
        << QStringList{u"Z"_s, u"9"_s, u"A-1"_s, u"0"_s} << QStringList{u"0"_s, u"9"_s, u"A-1"_s, u"Z"_s};
    QTest::newRow("dash and blank by code") << QStringList{u"AB_1"_s, u"AB-1"_s, u"AB 1"_s, u"AB1"_s}
                                            << QStringList{u"AB 1"_s, u"AB-1"_s, u"AB1"_s, u"AB_1"_s};
    QTest::newRow("prefix first") << QStringList{u"ABC"_s, u"AB"_s} << QStringList{u"AB"_s, u"ABC"_s};
    QTest::newRow("equal strings stay")
        << QStringList{u"A"_s, u"A"_s, u"B"_s} << QStringList{u"A"_s, u"A"_s, u"B"_s};
    QTest::newRow("reverse") << QStringList{u"e"_s, u"d"_s, u"c"_s, u"b"_s, u"a"_s}
                             << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
    QTest::newRow("one") << QStringList{u"x"_s} << QStringList{u"x"_s};
    QTest::newRow("none") << QStringList{} << QStringList{};
}

void TestCurrentParams::bSORT()
{
    QFETCH(QStringList, input);
    QFETCH(QStringList, expected);
    db::PnList list{};
    for (int i = 0; i < input.size(); ++i)
        list[i + 1] = input[i];
    zelmar::bSORT(list, int(input.size()));
    QStringList got;
    for (int i = 0; i < input.size(); ++i)
        got << list[i + 1];
    QCOMPARE(got, expected);
}

void TestCurrentParams::bSORTLeavesSlot0AndTail()
{
    db::PnList list{};
    list[0] = u"zzz"_s;
    list[1] = u"c"_s;
    list[2] = u"b"_s;
    list[3] = u"a"_s; // beyond numPN
    zelmar::bSORT(list, 2);
    QCOMPARE(list[0], u"zzz"_s);
    QCOMPARE(list[1], u"b"_s);
    QCOMPARE(list[2], u"c"_s);
    QCOMPARE(list[3], u"a"_s);
}

void TestCurrentParams::bSORTCountAbove100()
{
    db::PnList list{};
    for (int i = 1; i <= 100; ++i)
        list[i] = u"PN%1"_s.arg(200 - i, 3, 10, QLatin1Char('0'));
    zelmar::bSORT(list, 250); // a count from the table that the list cannot hold
    QCOMPARE(list[1], u"PN100"_s);
    QCOMPARE(list[100], u"PN199"_s);
    for (int i = 1; i < 100; ++i)
        QVERIFY(list[i] < list[i + 1]);
}

void TestCurrentParams::usablePorts()
{
    QCOMPARE(zelmar::usablePorts(8), 8);
    QCOMPARE(zelmar::usablePorts(49), 49);
    QCOMPARE(zelmar::usablePorts(50), 49);
    QCOMPARE(zelmar::usablePorts(-1), 0);
}

void TestCurrentParams::specDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.5") << 1.5 << u"1.5000"_s;
    QTest::newRow("9.99994") << 9.99994 << u"9.9999"_s;
    QTest::newRow("12") << 12.0 << u"12.000"_s;
    QTest::newRow("123.456") << 123.456 << u"123.46"_s;
    QTest::newRow("1500") << 1500.0 << u"1,500.0"_s;
    QTest::newRow("10000") << 10000.0 << u"10,000"_s;
    QTest::newRow("12 million") << 12000000.0 << u"12,000,000"_s;
    QTest::newRow("negative") << -250.0 << u"-250.0000"_s;
    QTest::newRow("zero") << 0.0 << u"0.0000"_s;
}

void TestCurrentParams::specDecimals()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatSpec(value), text);
}

void TestCurrentParams::shortestSingle_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.25") << 0.25f << u"0.25"_s;
    QTest::newRow("1") << 1.0f << u"1"_s;
    QTest::newRow("2.5") << 2.5f << u"2.5"_s;
    QTest::newRow("0.1 as single") << 0.1f << u"0.1"_s;
    QTest::newRow("60") << 60.0f << u"60"_s;
    QTest::newRow("0") << 0.0f << u"0"_s;
    QTest::newRow("small, no exponent") << 0.0001f << u"0.0001"_s;
}

void TestCurrentParams::shortestSingle()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(zelmar::shortestSingle(value), text);
}

void TestCurrentParams::shortestSingleFollowsLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(zelmar::shortestSingle(2.5f), u"2,5"_s);
    QCOMPARE(formatSpec(1500.0), u"1.500,0"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

QTEST_GUILESS_MAIN(TestCurrentParams)
#include "tst_currentparams.moc"
