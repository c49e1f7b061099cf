// The summary sheet: what each value becomes and the sheet names, without files; the
// workbook file as written, read back by openpyxl, against the layout; one printed page.
#include "ExportSupport.h"
#include "SummarySheet.h"
#include "WorkbookSession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;
using namespace zelmar;

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
    {"scanning", [](SummaryInput& p) { p.snBARCODE = 1; }, {{u"C5"_s, u"Enabled"_s}, {u"C6"_s, u"AB-####"_s}, {u"C7"_s, u"N/A"_s}}, {}},
    {"counter of 9 digits shown whole", [](SummaryInput& p) { p.snEXTENDER = 123456789; }, {{u"C7"_s, u"AB-100 123456789"_s}}, {}},
    {"R and R off", [](SummaryInput& p) { p.snGOOD = u"G1"_s; }, {{u"C10"_s, u"Disabled"_s}, {u"C11"_s, u"N/A"_s}, {u"C12"_s, u"N/A"_s}}, {}},
    {"R and R on", [](SummaryInput& p) { p.reqRANDR = 1; p.snGOOD = u"G1"_s; p.snBAD = u"B1"_s; },
     {{u"C10"_s, u"Enabled"_s}, {u"C11"_s, u"G1"_s}, {u"C12"_s, u"B1"_s}}, {}},
    {"PN inactive, not default", [](SummaryInput& p) { p.snACTIVE = 0; p.pnDEFAULT = 0; }, {{u"C3"_s, u"Disabled"_s}, {u"C4"_s, u"Inactive"_s}}, {}},
    {"auto time as entered", [](SummaryInput& p) { p.autoTIME = 0.1f; }, {{u"C9"_s, 0.1}}, {{u"C9"_s, u"0.00"_s}}},
    {"min 0.5", [](SummaryInput& p) { p.minSPEC[0] = 0.5f; }, {{u"G15"_s, 0.5}}, {{u"G15"_s, u"0.0000"_s}}},
    {"min 10", [](SummaryInput& p) { p.minSPEC[0] = 10; }, {}, {{u"G15"_s, u"0.000"_s}}},
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

QJsonObject readBack(const QString& path, int sheet = 0)
{
    QProcess reader;
    reader.start(QStringLiteral(ZELMAR_PYTHON), {QStringLiteral(ZELMAR_READXLSX), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        qWarning("reader: %s %s", qPrintable(reader.errorString()),
                 reader.readAllStandardError().constData());
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array().at(sheet).toObject();
}

QString letter(int c)
{
    return QString(QChar(u'A' + c));
}

} // namespace

class TestSummary : public QObject
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
        for (const auto& [ref, value] : cases[index].values)
            QVERIFY2(test::cellAt(sheet, ref)->value == value, qPrintable(ref));
        for (const auto& [ref, format] : cases[index].formats)
            QCOMPARE(test::cellAt(sheet, ref)->style.numberFormat, format);
    }

    void sheetNames_data()
    {
        QTest::addColumn<QString>("pn");
        QTest::addColumn<QStringList>("sheets");
        QTest::addColumn<QString>("name");
        const QString pn25 = u"ABCDEFGHIJKLMNOPQRSTUVWXY"_s;
        // clang-format off
        QTest::newRow("second export")        << u"PN"_s << QStringList{u"PN"_s} << u"PN R1"_s;
        QTest::newRow("third export")         << u"PN"_s << QStringList{u"PN"_s, u"PN R1"_s} << u"PN R1 R2"_s;
        QTest::newRow("26 cut to 25")         << pn25 + u'Z' << QStringList{u"XY"_s, pn25} << pn25 + u" R2"_s;
        QTest::newRow("case differs only")    << u"pn"_s << QStringList{u"PN"_s} << u"pn R1"_s;
        QTest::newRow("result clashes again") << u"PN"_s << QStringList{u"PN R2"_s, u"PN"_s} << u"PN R2 R1"_s;
        QTest::newRow("characters a workbook refuses") << u"'A/B:C*'"_s << QStringList{} << u"_A_B_C__"_s;
        // clang-format on
    }

    void sheetNames()
    {
        QFETCH(QString, pn);
        QFETCH(QStringList, sheets);
        QFETCH(QString, name);
        QCOMPARE(summarySheetName(pn, sheets), name);
    }

    void writtenLayout_data()
    {
        QTest::addColumn<int>("ports");
        QTest::newRow("2 ports") << 2;
        QTest::newRow("0 ports: headings only") << 0;
    }

    void writtenLayout()
    {
        QFETCH(int, ports);
        QTemporaryDir dir;
        test::FakeViewer viewer;
        WorkbookSession session(&viewer, dir.path());
        QVERIFY2(session.exportSummary(test::samplePart(ports)), qPrintable(session.errorString()));
        const QJsonObject sheet = readBack(session.filePath());
        const QJsonObject cells = sheet["cells"_L1].toObject(), heights = sheet["heights"_L1].toObject();
        // clang-format off
        const auto value = [&](const QString& ref) { return cells[ref][0].toVariant(); };
        const auto style = [&](const QString& ref) { return cells[ref][1].toString(); };
        // clang-format on
        QCOMPARE(sheet["name"_L1].toString(), u"AB-100"_s);

        // clang-format off
        const QStringList labels = u"Part Number|Description|Default PN|PN Active|Scan Bar Code|SN Format|SN Extender|"
                                   u"Auto Measure|Auto Time (seconds)|R & R Configured|Good SN|Bad SN"_s.split(u'|');
        const QStringList headings = u"Port #|Description|Unit Scale|UOM|Port Active|Range|Min Spec|Max Spec|Number of "
                                     u"Averages|Measurement Speed|Time Delay (sec)|Stability Algorithm|SS Tol (%)|SS Max "
                                     u"Wait (sec)|Stability Required"_s.split(u'|');
        const QStringList formats = u"General General General General General General 0.0000 0.0000 0 General 0.00 "
                                    u"General 0.00 0.00 General"_s.split(u' '); // of port 1 of the sample
        const double widths[] = {5, 25, 10, 10, 8, 10, 10.25, 10.25, 10.5, 15, 12, 11, 10, 10, 12};
        // clang-format on
        QStringList merges;
        for (int r = 1; r <= 12; ++r) {
            const QString row = QString::number(r);
            merges << u"A"_s + row + u":B"_s + row << u"C"_s + row + u":E"_s + row;
            QCOMPARE(value(u"A"_s + row).toString(), labels[r - 1]);
            QCOMPARE(style(u"A"_s + row), u"Calibri 12 bold||center||General"_s);
            QCOMPARE(style(u"C"_s + row),
                     r == 9 ? u"Calibri 11|left|center||0.00"_s : u"Calibri 11||center||General"_s);
            QCOMPARE(heights[row].toDouble(), 28.0);
        }
        QCOMPARE(value(u"C1"_s).toString(), u"AB-100"_s);
        QCOMPARE(value(u"C9"_s).toDouble(), 20.0);
        merges.sort();
        QCOMPARE(sheet["merges"_L1].toVariant().toStringList(), merges);

        for (int c = 0; c < 15; ++c) {
            // Widths in whole pixels of the default font, as the application keeps them.
            const double stored = sheet["widths"_L1][letter(c)].toDouble();
            QCOMPARE(std::lround(stored * 7) - 5, std::lround(widths[c] * 7));
            QCOMPARE(value(letter(c) + u"14"_s).toString(), headings[c]);
            QCOMPARE(style(letter(c) + u"14"_s), u"Calibri 12 bold|center|center wrap|box|General"_s);
            for (int k = 1; k <= ports; ++k)
                QVERIFY(style(letter(c) + QString::number(14 + k))
                            .startsWith(u"Calibri 12|center|center|box|"_s));
            if (ports)
                QCOMPARE(style(letter(c) + u"15"_s).section(u'|', 4), formats[c]);
            // Below the table only the vertical centring of rows 1 to 100 remains.
            QCOMPARE(style(letter(c) + QString::number(15 + ports)), u"Calibri 11||center||General"_s);
            QCOMPARE(style(letter(c) + u"100"_s), u"Calibri 11||center||General"_s);
            QVERIFY(!cells.contains(letter(c) + u"101"_s));
        }
        QCOMPARE(QList({heights["13"_L1], heights["14"_L1], heights["15"_L1],
                        heights[QString::number(15 + ports)]}),
                 QList<QJsonValue>({40.0, 34.0, ports ? 24.0 : QJsonValue(QJsonValue::Undefined),
                                    QJsonValue(QJsonValue::Undefined)}));
        QCOMPARE(sheet["page"_L1].toVariant().toStringList(),
                 QStringList({u"header -,Bold 12 NOTE: Tarvik\u00AE Part Number Parameter Summary"_s,
                              u"header None None None"_s, u"header -,Bold 12 printed on &D at &T"_s,
                              u"footer None None None"_s, u"margins 0.75 0.75 1 1 header 0.5 footer 0.5"_s,
                              u"centred True False"_s, u"landscape paper 1 fit True 1x1 scale None"_s}));
    }

    void printsOnOneLandscapeLetterPage()
    {
        const QString office = QStandardPaths::findExecutable(u"soffice"_s);
        if (office.isEmpty())
            QSKIP("LibreOffice is not installed (scripts/setup installs it)");
        QTemporaryDir dir;
        test::FakeViewer viewer;
        WorkbookSession session(&viewer, dir.path());
        QVERIFY(session.exportSummary(test::samplePart(49)));
        QProcess convert;
        convert.start(office,
                      {u"-env:UserInstallation=file://"_s + dir.filePath(u"profile"_s), u"--headless"_s,
                       u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, dir.path(), session.filePath()});
        QVERIFY(convert.waitForFinished(120000) && convert.exitCode() == 0);
        QFile pdf(session.filePath().replace(u".xlsx"_s, u".pdf"_s));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(pdf.readAll());
        QCOMPARE(text.count(QRegularExpression(u"/Type\\s*/Page(?!s)"_s)), 1);
        QVERIFY(text.contains(QRegularExpression(u"/MediaBox\\s*\\[\\s*0 0 792 612\\s*\\]"_s)));
    }
};

QTEST_GUILESS_MAIN(TestSummary)
#include "tst_summary.moc"
