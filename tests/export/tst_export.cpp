// The summary sheet, its workbook read back by openpyxl, the desktop's association lookup, and
// EXPORT TO EXCEL in the editor window against a real database.
#include "../editor/EditorFakes.h"
#include "Database.h"
#include "ExportSupport.h"
#include "SummarySheet.h"
#include "WorkbookApplication.h"
#include "WorkbookSession.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTemporaryDir>

#include <cmath>

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
    {"auto time as entered", [](SummaryInput& p) { p.autoTIME = 0.1f; }, {{u"C9"_s, 0.1}}, {{u"C9"_s, u"0.00"_s}}},
    {"min 0.5", [](SummaryInput& p) { p.minSPEC[0] = 0.5f; }, {{u"G15"_s, 0.5}}, {{u"G15"_s, u"0.0000"_s}}},
    {"min 10", [](SummaryInput& p) { p.minSPEC[0] = 10; }, {}, {{u"G15"_s, u"0.000"_s}}},
    {"min 999.5", [](SummaryInput& p) { p.minSPEC[0] = 999.5f; }, {}, {{u"G15"_s, u"0.00"_s}}},
    {"min 2500", [](SummaryInput& p) { p.minSPEC[0] = 2500; }, {}, {{u"G15"_s, u"#,##0.0"_s}}},
    {"max 10000", [](SummaryInput& p) { p.maxSPEC[0] = 10000; }, {{u"H15"_s, 10000.0}}, {{u"H15"_s, u"###,###,##0"_s}}},
    {"scale 3, range 9, speed 0", [](SummaryInput& p) { p.unitSCALE[0] = 3; p.Range[0] = 9; p.mspeed[0] = 0; },
     {{u"C15"_s, u"kilo"_s}, {u"F15"_s, u"0-100M"_s}, {u"J15"_s, u"FAST"_s}}, {}},
    {"scale 0, range -1, speed 2", [](SummaryInput& p) { p.unitSCALE[0] = 0; p.Range[0] = -1; p.mspeed[0] = 2; },
     {{u"C15"_s, u"mega"_s}, {u"F15"_s, u"0-100M"_s}, {u"J15"_s, u"MEDIUM"_s}}, {}},
    {"other units, port off, no stability", [](SummaryInput& p) { p.UOM[0] = 2; p.acTIVE[0] = 0; p.ssON[0] = 0; p.ssREQD[0] = 1; },
     {{u"D15"_s, {}}, {u"E15"_s, u"InActive"_s}, {u"L15"_s, u"Disabled"_s}, {u"O15"_s, u"Enabled"_s}}, {}},
    {"tolerance in percent, averages, times", [](SummaryInput& p) { p.ssTOL[0] = 0.05f; p.numAVG[0] = 7; p.timeDELAY[0] = 2.5f; p.ssMAXT[0] = 0.1f; },
     {{u"M15"_s, 5.0}, {u"I15"_s, 7.0}, {u"K15"_s, 2.5}, {u"N15"_s, 0.1}, {u"A15"_s, 1.0}},
     {{u"M15"_s, u"0.00"_s}, {u"I15"_s, u"0"_s}, {u"K15"_s, u"0.00"_s}, {u"N15"_s, u"0.00"_s}, {u"A15"_s, QString()}}},
};
// clang-format on

// A cell as readxlsx.py shows it: [value, "font size [bold]|horizontal|vertical [wrap]|borders|format"].
QJsonArray shown(const Cell& cell)
{
    const CellStyle& s = cell.style;
    const QString align[] = {QString(), u"left"_s, u"center"_s};
    const QString style = (s.fontName.isEmpty() ? u"Calibri"_s : s.fontName) + u' ' +
                          QString::number(s.fontSize > 0 ? s.fontSize : 11) +
                          (s.bold ? u" bold"_s : QString()) + u'|' + align[int(s.horizontal)] + u'|' +
                          (s.vertical == VAlign::Center ? u"center"_s : QString()) +
                          (s.wrap ? u" wrap"_s : QString()) + u'|' + (s.border ? u"box"_s : QString()) +
                          u'|' + (s.numberFormat.isEmpty() ? u"General"_s : s.numberFormat);
    if (const auto* text = std::get_if<QString>(&cell.value))
        return {*text, style};
    if (const auto* number = std::get_if<double>(&cell.value))
        return {*number, style};
    return {QJsonValue::Null, style};
}

QString ref(int row, int col)
{
    return QChar(u'A' + col) + QString::number(row + 1);
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

    test::TestDatabase m_tdb;
    db::Database m_database;
    QTemporaryDir m_dir;
    test::ScriptedDialogs m_dialogs;
    test::RecordingPause m_pause;
    test::RecordingProgramEnd m_end;
    test::FakeViewer m_viewer;
    std::unique_ptr<QTemporaryDir> m_run; // where the session writes
    std::unique_ptr<WorkbookSession> m_session;
    std::unique_ptr<FormMainTestMenu> w;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_tdb.ok(), qPrintable(m_tdb.error()));
        QVERIFY(m_tdb.exec(u"INSERT INTO snPN (partNUM, snNAME, mapPORT, snEXTENDER) "
                           u"VALUES ('AB-100', 'FROM DATABASE', 1, 42)"_s));
    }

    void init()
    {
        m_dialogs = test::ScriptedDialogs();
        m_pause.waits.clear();
        m_viewer = test::FakeViewer();
        m_end.ends = 0;
        m_run = std::make_unique<QTemporaryDir>();
        m_session = std::make_unique<WorkbookSession>(&m_viewer, m_run->path());
        w = std::make_unique<FormMainTestMenu>(&m_dialogs, &m_pause, &m_end, &m_database);
        w->setExporter(m_session.get());
        const db::Profile p = m_tdb.profile();
        w->account.ipPORT = p.server;
        w->account.custDB = p.database;
        w->account.custUSER = p.user;
        w->account.custUSER_PW = p.password;
        w->account.snTABLE = u"snPN"_s;
        // A loaded PN whose description was edited but not saved, and its ports.
        w->cur.numPORTS = 2;
        w->cur.defPORT();
        w->cur.portNAME[0] = u"IN MEMORY"_s;
        w->cur.snNAME = u"EDITED"_s;
        w->cur.pnLOADED = 1;
        const QSignalBlocker blocker(w->lsttestPN);
        w->lsttestPN->addItems({u"AB-100"_s, u"CD-200"_s});
        w->lsttestPN->setCurrentIndex(0);
    }

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
            QVERIFY2(test::cellAt(sheet, ref).value == value, qPrintable(ref));
        for (const auto& [ref, format] : cases[index].formats)
            QCOMPARE(test::cellAt(sheet, ref).style.numberFormat, format);
    }

    void sheetNames_data()
    {
        QTest::addColumn<QString>("pn");
        QTest::addColumn<QStringList>("sheets");
        QTest::addColumn<QString>("name");
        const QString pn25 = u"ABCDEFGHIJKLMNOPQRSTUVWXY"_s;
        QTest::newRow("26 cut to 25") << pn25 + u'Z' << QStringList{u"XY"_s, pn25} << pn25 + u" R2"_s;
        QTest::newRow("case differs only") << u"pn"_s << QStringList{u"PN"_s} << u"pn R1"_s;
        QTest::newRow("result clashes again") << u"PN"_s << QStringList{u"PN R2"_s, u"PN"_s} << u"PN R2 R1"_s;
        QTest::newRow("characters a workbook refuses") << u"'A/B:C*'"_s << QStringList{} << u"_A_B_C__"_s;
        const QStringList three{pn25, pn25 + u" R1"_s, pn25 + u" R1 R2"_s};
        QTest::newRow("fourth export kept to 31") << pn25 << three << u"ABCDEFGHIJKLMNOPQRSTUVWXY R4"_s;
        QTest::newRow("free number taken") << pn25 << three + QStringList{u"abcdefghijklmnopqrstuvwxy r5"_s}
                                           << u"ABCDEFGHIJKLMNOPQRSTUVWXY R6"_s;
    }

    void sheetNames()
    {
        QFETCH(QString, pn);
        QFETCH(QStringList, sheets);
        QFETCH(QString, name);
        QCOMPARE(summarySheetName(pn, sheets), name);
    }

    // Each export writes the whole workbook into a file of its own, the new sheet on show
    // and written as built: every cell, merge, row height, column width and the page setup.
    void eachExportAFileOfItsOwn()
    {
        test::FakeViewer viewer;
        WorkbookSession session(&viewer, m_dir.path());
        QVERIFY2(session.exportSummary(test::samplePart(1, u"CD-200"_s)), qPrintable(session.errorString()));
        const QString first = session.filePath();
        const SummaryInput part = test::samplePart(2);
        QVERIFY2(session.exportSummary(part), qPrintable(session.errorString()));
        QCOMPARE(viewer.opened, (QStringList{first, session.filePath()}));
        QCOMPARE(QFile::permissions(session.filePath()) & 0x0077, QFile::Permissions()); // owner only
        QProcess reader;
        reader.start(QStringLiteral(ZELMAR_PYTHON), {QStringLiteral(ZELMAR_READXLSX), session.filePath()});
        QVERIFY(reader.waitForFinished(60000) && reader.exitCode() == 0);
        const QJsonObject book = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
        const QJsonArray sheets = book["sheets"_L1].toArray();
        QVERIFY(sheets.size() == 2 && sheets[0]["name"_L1] == u"CD-200"_s &&
                !sheets[0]["selected"_L1].toBool());
        QVERIFY(book["active"_L1] == part.curPN && sheets[1]["selected"_L1].toBool());
        const QJsonObject file = sheets[1].toObject();
        const SheetModel built = buildSummarySheet(part, part.curPN);
        QCOMPARE(test::cellAt(built, u"A16"_s).value, CellValue(2.0)); // the last port's row
        QCOMPARE(file["name"_L1].toString(), built.name);
        // Cells under a merge other than its first are not cells of their own in the file.
        QStringList merges, covered;
        for (const CellRange& m : built.merges) {
            merges << ref(m.firstRow, m.firstCol) + u':' + ref(m.lastRow, m.lastCol);
            for (int c = m.firstCol + 1; c <= m.lastCol; ++c)
                covered << ref(m.firstRow, c);
        }
        merges.sort();
        QCOMPARE(file["merges"_L1].toVariant().toStringList(), merges);
        const QJsonObject cells = file["cells"_L1].toObject();
        QCOMPARE(cells.size(), qsizetype(built.cells.size()) - covered.size());
        for (const auto& [at, cell] : built.cells)
            if (!covered.contains(ref(at.first, at.second)))
                QCOMPARE(cells[ref(at.first, at.second)].toArray(), shown(cell));
        QCOMPARE(file["heights"_L1].toObject().size(), qsizetype(built.rowHeights.size()));
        for (const auto& [row, height] : built.rowHeights)
            QCOMPARE(file["heights"_L1][QString::number(row + 1)].toDouble(), height);
        // Widths in whole pixels of the default font, as the application keeps them.
        for (const auto& [col, width] : built.columnWidths)
            QCOMPARE(std::lround(file["widths"_L1][ref(0, col).chopped(1)].toDouble() * 7) - 5,
                     std::lround(width * 7));
        const PageSetup& p = built.page;
        // clang-format off
        const QJsonArray page{p.header, p.footer, p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin,
                              p.headerMargin, p.footerMargin, p.centerHorizontally, p.centerVertically,
                              p.landscape ? u"landscape"_s : u"portrait"_s, p.paperSize, p.fitWide > 0,
                              p.fitWide, p.fitTall, QJsonValue::Null};
        // clang-format on
        QCOMPARE(file["page"_L1].toArray(), page);
    }

    // The desktop's own answer decides; a lookup that cannot answer decides nothing (-1).
    void desktopApplication_data()
    {
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<int>("has");
        QTest::newRow("an application") << QByteArray("echo calc.desktop") << 1;
        QTest::newRow("none") << QByteArray("echo") << 0;
        QTest::newRow("lookup fails") << QByteArray("exit 4") << -1;
    }

    void desktopApplication()
    {
        QFETCH(QByteArray, answers);
        QFETCH(int, has);
        QFile lookup(m_dir.filePath(u"xdg-mime"_s));
        QVERIFY(lookup.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lookup.write("#!/bin/sh\n[ \"$*\" = \"query default application/"
                     "vnd.openxmlformats-officedocument.spreadsheetml.sheet\" ] || exit 9\n" +
                     answers);
        lookup.close();
        QVERIFY(lookup.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const std::optional<bool> answer = desktopOpensWorkbooks(lookup.fileName());
        QCOMPARE(answer ? int(*answer) : -1, has);
    }

    void exportsOfARun()
    {
        // A new workbook: the PN block as stored, the ports as held.
        w->btnEXPORT_Click();
        QCOMPARE(m_pause.waits, QList<double>{1});
        const SheetModel& sheet = m_session->sheets().back();
        for (const auto& [ref, text] :
             {std::pair{"C2", "FROM DATABASE"}, {"C7", "AB-100 00000042"}, {"B15", "IN MEMORY"}})
            QCOMPARE(test::cellAt(sheet, QString::fromLatin1(ref)).value,
                     CellValue(QString::fromLatin1(text)));
        QVERIFY(w->btnEXPORT->isEnabled() && w->btnDELETE->isEnabled() && w->txtsnNAME->isEnabled());
        // The operator saved over the first file and removed the second: neither stops the
        // next export, and the saved file is left as it is.
        const QString first = m_session->filePath();
        QFile saved(first);
        QVERIFY(saved.open(QIODevice::WriteOnly) && saved.write("saved by the operator") > 0);
        saved.close();
        w->btnEXPORT_Click();
        QVERIFY(QFile::remove(m_session->filePath()));
        w->btnEXPORT_Click();
        QCOMPARE(m_session->sheetNames(), (QStringList{u"AB-100"_s, u"AB-100 R1"_s, u"AB-100 R1 R2"_s}));
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll() == "saved by the operator");
        QVERIFY(m_dialogs.shown.isEmpty() && m_viewer.opened.size() == 3);
        // A file that cannot be written: the failure, then a fresh workbook.
        QVERIFY(QDir(m_run->path()).removeRecursively());
        w->btnEXPORT_Click();
        QCOMPARE(m_dialogs.shown.size(), 1);
        QVERIFY(QDir().mkpath(m_run->path()));
        w->btnEXPORT_Click();
        QCOMPARE(m_session->sheetNames(), QStringList{u"AB-100"_s});
        // QUIT: the last workbook is on show already and is kept.
        const QString last = m_session->filePath();
        m_viewer.opened.clear();
        w->btnQUIT_Click();
        QVERIFY(m_viewer.opened.isEmpty() && QFile::exists(last) && m_end.ends == 1);
    }

    // Without an application for workbooks nothing is written; a file whose launcher failed
    // is shown once more at QUIT. Either way EXPORT stays off for the run.
    void firstExportNotShown_data()
    {
        QTest::addColumn<bool>("noApplication");
        QTest::addColumn<int>("files");
        QTest::newRow("no application for .xlsx") << true << 0;
        QTest::newRow("launcher failed") << false << 1;
    }

    void firstExportNotShown()
    {
        QFETCH(bool, noApplication);
        QFETCH(int, files);
        m_viewer.noApplication = noApplication;
        m_viewer.refuse = true;
        w->btnEXPORT_Click();
        QCOMPARE(m_dialogs.shown.size(), 1);
        QVERIFY(!w->btnEXPORT->isEnabled() && w->btnUPDATE->isEnabled());
        QCOMPARE(QDir(m_run->path()).count(), uint(files + 2)); // with . and ..
        m_viewer.opened.clear();
        w->btnQUIT_Click();
        QCOMPARE(m_viewer.opened.size(), files);
    }

    void programEndsDuringTheWait()
    {
        m_pause.during = [this](double) {
            m_end.end();
        };
        w->btnEXPORT_Click();
        QVERIFY(m_viewer.opened.isEmpty() && m_session->sheetNames().isEmpty());
        QVERIFY(!w->btnQUIT->isEnabled());
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
