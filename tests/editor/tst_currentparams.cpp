// The current-parameter set alone, without the window; and the number texts that
// the editor shows.
#include "CurrentParams.h"
#include "Numbers.h"

#include <QLocale>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace zelmar;

class TestCurrentParams : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void startValues()
    {
        const CurrentParams p;
        QCOMPARE(p.curPORT, qint16(-1));
        QCOMPARE(p.curSCALE, qint16(-1));
        QCOMPARE(p.curPNidx, qint16(-1));
        QCOMPARE(p.newPORT, qint16(-1));
        QCOMPARE(p.pnLOADED + p.skipCLICK + p.renameSTEP + p.xlOPEN + p.xlSTATUS, 0);
        QCOMPARE(int(p.pnLIST.size()), 101);
        QCOMPARE(int(p.minSPEC.size()), 49);
    }

    void defPORT()
    {
        CurrentParams p;
        p.numPORTS = 12;
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
        QCOMPARE(p.portNAME[11], u"PORT 12"_s);
        QCOMPARE(p.mapNUM[11], qint16(12));
        // Port 13 is beyond numPORTS: untouched.
        QVERIFY(p.portNAME[12].isEmpty());
        QCOMPARE(p.maxSPEC[12], 0.0f);

        // A count beyond the 49 slots fills the slots and no more; a negative one fills none.
        p.numPORTS = 200;
        p.defPORT();
        QCOMPARE(p.portNAME[48], u"PORT 49"_s);
        p.numPORTS = -3;
        p.portNAME[0] = u"kept"_s;
        p.defPORT();
        QCOMPARE(p.portNAME[0], u"kept"_s);
    }

    void defPN()
    {
        CurrentParams p;
        p.curPN = u"AB-100"_s;
        p.snPATTERN = u"AB*"_s;
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
        QCOMPARE(p.snLENGTH, qint16(16)); // "AB-100 " is 7, plus 9
        QCOMPARE(p.autoMEASURE, qint16(0));
        QCOMPARE(p.autoTIME, 20.0f);
        QCOMPARE(p.reqRANDR, qint16(0));
        QCOMPARE(p.snGOOD, QString());
        QCOMPARE(p.snBAD, QString());
        QCOMPARE(p.curPN, u"AB-100"_s);
        QCOMPARE(p.snPATTERN, u"AB*"_s);
    }

    void bSORT_data()
    {
        QTest::addColumn<QString>("input"); // comma-separated
        QTest::addColumn<QString>("expected");
        QTest::newRow("by code: b, B, a10, a2") << u"b,B,a10,a2"_s << u"B,a10,a2,b"_s;
        QTest::newRow("digits before letters") << u"Z,9,A-1,0"_s << u"0,9,A-1,Z"_s;
        QTest::newRow("blank, dash, digit, underscore") << u"AB_1,AB-1,AB 1,AB1"_s << u"AB 1,AB-1,AB1,AB_1"_s;
        QTest::newRow("prefix first") << u"ABC,AB"_s << u"AB,ABC"_s;
        QTest::newRow("reverse, every pass needed") << u"e,d,c,b,a"_s << u"a,b,c,d,e"_s;
        QTest::newRow("one") << u"x"_s << u"x"_s;
    }

    void bSORT()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const QStringList in = input.split(u',');
        db::PnList list{};
        std::copy(in.begin(), in.end(), list.begin() + 1);
        zelmar::bSORT(list, int(in.size()));
        QCOMPARE(QStringList(list.begin() + 1, list.begin() + 1 + in.size()).join(u','), expected);
    }

    void bSORTStaysInItsSlots()
    {
        // Slot 0 and the slots beyond numPN are not sorted in.
        db::PnList list{};
        list[0] = u"zzz"_s;
        list[1] = u"c"_s;
        list[2] = u"b"_s;
        list[3] = u"a"_s;
        zelmar::bSORT(list, 2);
        QCOMPARE(QStringList(list.begin(), list.begin() + 4),
                 (QStringList{u"zzz"_s, u"b"_s, u"c"_s, u"a"_s}));
        // A count above what the list holds sorts the 100 slots.
        for (int i = 1; i <= 100; ++i)
            list[i] = u"PN%1"_s.arg(200 - i, 3, 10, QLatin1Char('0'));
        zelmar::bSORT(list, 250);
        QCOMPARE(list[1], u"PN100"_s);
        QCOMPARE(list[100], u"PN199"_s);
    }

    void numberTexts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("minMax"); // formatSpec, else shortestSingle
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("min/max below 10: 4 places")            << u"en_US"_s << true << 9.99994 << u"9.9999"_s;
        QTest::newRow("min/max below 10000: 1 place, grouped") << u"en_US"_s << true << 1500.0 << u"1,500.0"_s;
        QTest::newRow("min/max 10000: no places")              << u"en_US"_s << true << 10000.0 << u"10,000"_s;
        QTest::newRow("min/max negative: 4 places")            << u"en_US"_s << true << -250.0 << u"-250.0000"_s;
        QTest::newRow("min/max German separators")             << u"de_DE"_s << true << 1500.0 << u"1.500,0"_s;
        QTest::newRow("single 0.25")                        << u"en_US"_s << false << 0.25 << u"0.25"_s;
        QTest::newRow("single 1 without point")             << u"en_US"_s << false << 1.0 << u"1"_s;
        QTest::newRow("single 0.1, not 0.100000001")        << u"en_US"_s << false << 0.1 << u"0.1"_s;
        QTest::newRow("single small, no exponent")          << u"en_US"_s << false << 0.0001 << u"0.0001"_s;
        QTest::newRow("single German decimal comma")        << u"de_DE"_s << false << 2.5 << u"2,5"_s;
        // clang-format on
    }

    void numberTexts()
    {
        QFETCH(QString, locale);
        QFETCH(bool, minMax);
        QFETCH(double, value);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        const QString shown = minMax ? formatSpec(value) : shortestSingle(float(value));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(shown, text);
    }
};

QTEST_GUILESS_MAIN(TestCurrentParams)
#include "tst_currentparams.moc"
