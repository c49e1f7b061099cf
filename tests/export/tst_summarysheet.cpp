// The summary sheet as built from a part number, without any file: what each value
// becomes, the number formats by size, the port table's extent and the sheet names.
#include "ExportSupport.h"
#include "SummarySheet.h"

#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::cellAt;

namespace {

struct Case
{
    const char* name;
    std::function<void(SummaryInput&)> set; // on a one-port AB-100
    QList<std::pair<QString, CellValue>> values;
    QList<std::pair<QString, QString>> formats;
};

// clang-format off
const Case cases[] = {
    {"no scanning, counter 42", [](SummaryInput& p) { p.snBARCODE = 0; p.snEXTENDER = 42; },
     {{u"C5"_s, u"Disabled"_s}, {u"C6"_s, u"N/A"_s}, {u"C7"_s, u"AB-100 00000042"_s}}, {}},
    {"scanning", [](SummaryInput& p) { p.snBARCODE = 1; },
     {{u"C5"_s, u"Enabled"_s}, {u"C6"_s, u"AB-####"_s}, {u"C7"_s, u"N/A"_s}}, {}},
    {"counter of 9 digits shown whole", [](SummaryInput& p) { p.snEXTENDER = 123456789; },
     {{u"C7"_s, u"AB-100 123456789"_s}}, {}},
    {"R and R off", [](SummaryInput& p) { p.reqRANDR = 0; p.snGOOD = u"G1"_s; },
     {{u"C10"_s, u"Disabled"_s}, {u"C11"_s, u"N/A"_s}, {u"C12"_s, u"N/A"_s}}, {}},
    {"R and R on", [](SummaryInput& p) { p.reqRANDR = 1; p.snGOOD = u"G1"_s; p.snBAD = u"B1"_s; },
     {{u"C10"_s, u"Enabled"_s}, {u"C11"_s, u"G1"_s}, {u"C12"_s, u"B1"_s}}, {}},
    {"PN inactive, not default, no auto measure", [](SummaryInput& p) { p.snACTIVE = 0; p.pnDEFAULT = 0; p.autoMEASURE = 0; },
     {{u"C3"_s, u"Disabled"_s}, {u"C4"_s, u"Inactive"_s}, {u"C8"_s, u"Disabled"_s}}, {}},
    {"auto time as entered", [](SummaryInput& p) { p.autoTIME = 0.1f; }, {{u"C9"_s, 0.1}}, {{u"C9"_s, u"0.00"_s}}},
    {"min 0.5", [](SummaryInput& p) { p.minSPEC[0] = 0.5f; }, {{u"G15"_s, 0.5}}, {{u"G15"_s, u"0.0000"_s}}},
    {"min 10", [](SummaryInput& p) { p.minSPEC[0] = 10; }, {{u"G15"_s, 10.0}}, {{u"G15"_s, u"0.000"_s}}},
    {"min 999.5", [](SummaryInput& p) { p.minSPEC[0] = 999.5f; }, {}, {{u"G15"_s, u"0.00"_s}}},
    {"min 2500", [](SummaryInput& p) { p.minSPEC[0] = 2500; }, {}, {{u"G15"_s, u"#,##0.0"_s}}},
    {"max 10000", [](SummaryInput& p) { p.maxSPEC[0] = 10000; }, {{u"H15"_s, 10000.0}}, {{u"H15"_s, u"###,###,##0"_s}}},
    {"max negative", [](SummaryInput& p) { p.maxSPEC[0] = -50000; }, {}, {{u"H15"_s, u"0.0000"_s}}},
    {"scale 3, range 9, speed 0", [](SummaryInput& p) { p.unitSCALE[0] = 3; p.Range[0] = 9; p.mspeed[0] = 0; },
     {{u"C15"_s, u"kilo"_s}, {u"F15"_s, u"0-100M"_s}, {u"J15"_s, u"FAST"_s}}, {}},
    {"scale 4, range 0, speed 1", [](SummaryInput& p) { p.unitSCALE[0] = 4; p.Range[0] = 0; p.mspeed[0] = 1; },
     {{u"C15"_s, u"mega"_s}, {u"F15"_s, u"Autorange"_s}, {u"J15"_s, u"SLOW"_s}}, {}},
    {"scale 0, range -1, speed 2", [](SummaryInput& p) { p.unitSCALE[0] = 0; p.Range[0] = -1; p.mspeed[0] = 2; },
     {{u"C15"_s, u"mega"_s}, {u"F15"_s, u"0-100M"_s}, {u"J15"_s, u"MEDIUM"_s}}, {}},
    {"other units, port off, no stability", [](SummaryInput& p) { p.UOM[0] = 2; p.acTIVE[0] = 0; p.ssON[0] = 0; p.ssREQD[0] = 1; },
     {{u"D15"_s, {}}, {u"E15"_s, u"InActive"_s}, {u"L15"_s, u"Disabled"_s}, {u"O15"_s, u"Enabled"_s}}, {}},
    {"tolerance in percent, averages, times", [](SummaryInput& p) { p.ssTOL[0] = 0.05f; p.numAVG[0] = 7; p.timeDELAY[0] = 2.5f; p.ssMAXT[0] = 0.1f; },
     {{u"M15"_s, 5.0}, {u"I15"_s, 7.0}, {u"K15"_s, 2.5}, {u"N15"_s, 0.1}, {u"A15"_s, 1.0}},
     {{u"M15"_s, u"0.00"_s}, {u"I15"_s, u"0"_s}, {u"K15"_s, u"0.00"_s}, {u"N15"_s, u"0.00"_s}, {u"A15"_s, QString()}}},
};
// clang-format on

} // namespace

class TestSummarySheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void values_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(cases)); ++i)
            QTest::newRow(cases[i].name) << i;
    }

    void values()
    {
        QFETCH(int, index);
        SummaryInput in = test::samplePart(1);
        cases[index].set(in);
        const SheetModel sheet = buildSummarySheet(in, in.curPN);
        for (const auto& [ref, value] : cases[index].values) {
            const Cell* cell = cellAt(sheet, ref);
            QVERIFY2(cell && cell->value == value, qPrintable(ref));
        }
        for (const auto& [ref, format] : cases[index].formats)
            QCOMPARE(cellAt(sheet, ref)->style.numberFormat, format);
    }

    void portRowsFollowTheCount_data()
    {
        QTest::addColumn<int>("ports");
        QTest::addColumn<int>("lastRow"); // the last bordered row, 1-based
        QTest::newRow("0 ports: the headings only") << 0 << 14;
        QTest::newRow("49 ports") << 49 << 63;
        QTest::newRow("an account's 60 held to 49") << 60 << 63;
    }

    void portRowsFollowTheCount()
    {
        QFETCH(int, ports);
        QFETCH(int, lastRow);
        SummaryInput in = test::samplePart(49);
        in.numPORTS = qint16(ports);
        const SheetModel sheet = buildSummarySheet(in, in.curPN);
        for (int c = 0; c < 15; ++c) {
            QVERIFY(sheet.find(13, c)->style.border);
            QVERIFY(sheet.find(lastRow - 1, c)->style.border);
            const Cell* below = sheet.find(lastRow, c);
            QVERIFY(!below->style.border && below->value.index() == 0);
        }
        QCOMPARE(sheet.rowHeights.count(lastRow - 1), size_t(1));
        QCOMPARE(sheet.rowHeights.count(lastRow), size_t(0));
    }

    void sheetNames_data()
    {
        QTest::addColumn<QString>("pn");
        QTest::addColumn<QStringList>("sheets");
        QTest::addColumn<QString>("name");
        const QString pn25 = u"ABCDEFGHIJKLMNOPQRSTUVWXY"_s;
        // clang-format off
        QTest::newRow("first sheet")           << u"PN"_s << QStringList{} << u"PN"_s;
        QTest::newRow("second export")        << u"PN"_s << QStringList{u"PN"_s} << u"PN R1"_s;
        QTest::newRow("third export")         << u"PN"_s << QStringList{u"PN"_s, u"PN R1"_s} << u"PN R1 R2"_s;
        QTest::newRow("after another PN")     << u"PN"_s << QStringList{u"XY"_s, u"PN"_s} << u"PN R2"_s;
        QTest::newRow("24 characters kept")   << pn25.left(24) << QStringList{} << pn25.left(24);
        QTest::newRow("26 cut to 25")         << pn25 + u'Z' << QStringList{pn25} << pn25 + u" R1"_s;
        QTest::newRow("case differs only")    << u"pn"_s << QStringList{u"PN"_s} << u"pn R1"_s;
        QTest::newRow("result clashes again") << u"PN"_s << QStringList{u"PN R2"_s, u"PN"_s} << u"PN R2 R1"_s;
        QTest::newRow("characters a workbook refuses") << u"'A/B:C*'"_s << QStringList{} << u"_A_B_C__"_s;
        QTest::newRow("empty")                << QString() << QStringList{} << u"Sheet"_s;
        // clang-format on
    }

    void sheetNames()
    {
        QFETCH(QString, pn);
        QFETCH(QStringList, sheets);
        QFETCH(QString, name);
        QCOMPARE(summarySheetName(pn, sheets), name);
    }
};

QTEST_GUILESS_MAIN(TestSummarySheet)
#include "tst_summarysheet.moc"
