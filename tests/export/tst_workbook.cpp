// The workbook file as written, read back by an independent reader (openpyxl), against
// the sheet's layout; the run's workbook across exports; one printed page.
#include "ExportSupport.h"
#include "WorkbookSession.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::FakeViewer;

namespace {

QJsonArray readBack(const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral(ZELMAR_PYTHON), {QStringLiteral(ZELMAR_READXLSX), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        qWarning("reader: %s %s", qPrintable(reader.errorString()),
                 reader.readAllStandardError().constData());
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
}

QJsonArray list(std::initializer_list<QJsonValue> values)
{
    return QJsonArray(values);
}

} // namespace

class TestWorkbook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_viewer = FakeViewer();
    }

    void writtenSheetFollowsTheLayout()
    {
        WorkbookSession session(&m_viewer, m_dir.path());
        QVERIFY2(session.exportSummary(test::samplePart(2)), qPrintable(session.errorString()));
        const QJsonArray book = readBack(session.filePath());
        QCOMPARE(book.size(), 1);
        const QJsonObject sheet = book[0].toObject();
        const QJsonObject cells = sheet["cells"_L1].toObject();
        const auto cell = [&](const QString& ref) {
            return cells[ref].toObject();
        };
        QCOMPARE(sheet["name"_L1].toString(), u"AB-100"_s);

        const QStringList labels = {u"Part Number"_s,      u"Description"_s,   u"Default PN"_s,
                                    u"PN Active"_s,        u"Scan Bar Code"_s, u"SN Format"_s,
                                    u"SN Extender"_s,      u"Auto Measure"_s,  u"Auto Time (seconds)"_s,
                                    u"R & R Configured"_s, u"Good SN"_s,       u"Bad SN"_s};
        QStringList merges;
        for (int r = 1; r <= 12; ++r) {
            const QString row = QString::number(r);
            merges << u"A"_s + row + u":B"_s + row << u"C"_s + row + u":E"_s + row;
            QCOMPARE(cell(u"A"_s + row)["value"_L1].toString(), labels[r - 1]);
            QCOMPARE(cell(u"A"_s + row)["font"_L1].toArray(), list({u"Calibri"_s, true, 12.0}));
            QCOMPARE(cell(u"C"_s + row)["font"_L1].toArray(),
                     list({u"Calibri"_s, false, 11.0})); // the default
            QCOMPARE(sheet["heights"_L1][row].toDouble(), 28.0);
        }
        merges.sort();
        QStringList written;
        for (const QJsonValue& m : sheet["merges"_L1].toArray())
            written << m.toString();
        QCOMPARE(written, merges);
        QCOMPARE(cell(u"C1"_s)["value"_L1].toString(), u"AB-100"_s);
        QCOMPARE(cell(u"C9"_s)["value"_L1].toDouble(), 20.0);
        QCOMPARE(cell(u"C9"_s)["format"_L1].toString(), u"0.00"_s);
        QCOMPARE(cell(u"C9"_s)["h"_L1].toString(), u"left"_s);

        // Heights of rows 13 to 17; widths in whole pixels as the application keeps them.
        const QJsonObject heights = sheet["heights"_L1].toObject();
        QCOMPARE(
            list({heights["13"_L1], heights["14"_L1], heights["15"_L1], heights["16"_L1], heights["17"_L1]}),
            list({40.0, 34.0, 24.0, 24.0, QJsonValue::Undefined}));
        const double widths[] = {5, 25, 10, 10, 8, 10, 10.25, 10.25, 10.5, 15, 12, 11, 10, 10, 12};
        for (int c = 0; c < 15; ++c) {
            const double stored = sheet["widths"_L1][QString(QChar(u'A' + c))].toDouble();
            QCOMPARE(std::lround(stored * 7) - 5, std::lround(widths[c] * 7));
        }

        const QStringList headings = {u"Port #"_s,
                                      u"Description"_s,
                                      u"Unit Scale"_s,
                                      u"UOM"_s,
                                      u"Port Active"_s,
                                      u"Range"_s,
                                      u"Min Spec"_s,
                                      u"Max Spec"_s,
                                      u"Number of Averages"_s,
                                      u"Measurement Speed"_s,
                                      u"Time Delay (sec)"_s,
                                      u"Stability Algorithm"_s,
                                      u"SS Tol (%)"_s,
                                      u"SS Max Wait (sec)"_s,
                                      u"Stability Required"_s};
        const QJsonArray thin = list({u"thin"_s, u"thin"_s, u"thin"_s, u"thin"_s});
        const QJsonArray none = list({u""_s, u""_s, u""_s, u""_s});
        for (int c = 0; c < 15; ++c) {
            const QString col(QChar(u'A' + c));
            const QJsonObject h = cell(col + u"14"_s);
            QCOMPARE(h["value"_L1].toString(), headings[c]);
            QCOMPARE(list({h["font"_L1], h["h"_L1], h["v"_L1], h["wrap"_L1], h["border"_L1]}),
                     list({list({u"Calibri"_s, true, 12.0}), u"center"_s, u"center"_s, true, thin}));
            for (const QString& row : {u"15"_s, u"16"_s}) {
                const QJsonObject p = cell(col + row);
                QCOMPARE(list({p["font"_L1], p["h"_L1], p["v"_L1], p["wrap"_L1], p["border"_L1]}),
                         list({list({u"Calibri"_s, false, 12.0}), u"center"_s, u"center"_s, false, thin}));
            }
            // Below the table only the vertical centring of rows 1 to 100 remains.
            for (const QString& row : {u"17"_s, u"100"_s})
                QCOMPARE(list({cell(col + row)["v"_L1], cell(col + row)["border"_L1]}),
                         list({u"center"_s, none}));
            QVERIFY(!cells.contains(col + u"101"_s));
        }
        QCOMPARE(list({cell(u"G15"_s)["value"_L1], cell(u"G15"_s)["format"_L1], cell(u"H16"_s)["format"_L1]}),
                 list({0.5, u"0.0000"_s, u"0.000"_s}));

        const QJsonObject page = sheet["page"_L1].toObject();
        QCOMPARE(page["header"_L1].toArray(),
                 list({list({u"-,Bold"_s, 12.0, u"NOTE: Tarvik\u00AE Part Number Parameter Summary"_s}),
                       list({QJsonValue::Null, QJsonValue::Null, QJsonValue::Null}),
                       list({u"-,Bold"_s, 12.0, u"printed on &D at &T"_s})}));
        QCOMPARE(page["footer"_L1].toArray(), list({QJsonValue::Null, QJsonValue::Null, QJsonValue::Null}));
        QCOMPARE(page["margins"_L1].toArray(), list({0.75, 0.75, 1.0, 1.0, 0.5, 0.5}));
        QCOMPARE(page["centred"_L1].toArray(), list({true, false}));
        QCOMPARE(list({page["orientation"_L1], page["paper"_L1], page["scale"_L1]}),
                 list({u"landscape"_s, 1, QJsonValue::Null}));
        // Fit to page; pages wide and tall left out of the file mean 1 each.
        QCOMPARE(page["fit"_L1].toArray()[0], QJsonValue(true));
        for (int i : {1, 2})
            QVERIFY(page["fit"_L1].toArray()[i].isNull() || page["fit"_L1].toArray()[i] == 1);
    }

    void workbookOfARun()
    {
        WorkbookSession session(&m_viewer, m_dir.path());
        const SummaryInput pn = test::samplePart(1, u"PN"_s);
        QVERIFY(session.exportSummary(pn) && session.exportSummary(pn));
        const QString path = session.filePath();
        QCOMPARE(QFileInfo(path).absolutePath(), m_dir.path());
        QCOMPARE(QFile::permissions(path) & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
        QCOMPARE(m_viewer.opened, QStringList({path, path}));
        const QJsonArray book = readBack(path);
        QCOMPARE(list({book[0]["name"_L1], book[1]["name"_L1]}), list({u"PN"_s, u"PN R1"_s}));

        // The file removed: the export fails; a new workbook gets a file of its own.
        QVERIFY(QFile::remove(path));
        QVERIFY(!session.exportSummary(pn));
        QVERIFY(session.errorString().contains(u"gone"_s));
        session.newWorkbook();
        QVERIFY(session.exportSummary(pn));
        QVERIFY(session.filePath() != path);
        QCOMPARE(readBack(session.filePath()).size(), 1);

        // A file that cannot be replaced any more.
        const QString second = session.filePath();
        QVERIFY(QFile::remove(second) && QDir().mkpath(second + u"/held"_s));
        QVERIFY(!session.exportSummary(pn));
        QVERIFY(session.errorString().contains(u"can no longer be replaced"_s));

        // The end of the run: the last file is shown again and stays.
        session.newWorkbook();
        QVERIFY(session.exportSummary(pn));
        const QString last = session.filePath();
        m_viewer.opened.clear();
        session.handOver();
        QCOMPARE(m_viewer.opened, QStringList{last});
        QVERIFY(QFile::exists(last) && session.filePath().isEmpty());
    }

    void firstExportFails_data()
    {
        QTest::addColumn<bool>("unwritable");
        QTest::addColumn<bool>("refuse");
        QTest::newRow("folder cannot be written") << true << false;
        QTest::newRow("no application opens it") << false << true;
    }

    void firstExportFails()
    {
        QFETCH(bool, unwritable);
        QFETCH(bool, refuse);
        // A regular file in place of the folder: unwritable even for root.
        QFile blocker(m_dir.filePath(u"not-a-folder"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        m_viewer.refuse = refuse;
        WorkbookSession session(&m_viewer, unwritable ? blocker.fileName() : m_dir.path());
        QVERIFY(!session.exportSummary(test::samplePart(1)));
        QVERIFY(!session.errorString().isEmpty());
        QCOMPARE(m_viewer.opened.size(), refuse ? 1 : 0);
    }

    void printsOnOneLandscapeLetterPage()
    {
        const QString office = QStandardPaths::findExecutable(u"soffice"_s);
        if (office.isEmpty())
            QSKIP("LibreOffice is not installed (scripts/setup installs it)");
        WorkbookSession session(&m_viewer, m_dir.path());
        QVERIFY(session.exportSummary(test::samplePart(49)));
        QProcess convert;
        convert.start(office,
                      {u"-env:UserInstallation=file://"_s + m_dir.filePath(u"profile"_s), u"--headless"_s,
                       u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, m_dir.path(), session.filePath()});
        QVERIFY(convert.waitForFinished(120000) && convert.exitCode() == 0);
        QFile pdf(session.filePath().replace(u".xlsx"_s, u".pdf"_s));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(pdf.readAll());
        QCOMPARE(text.count(QRegularExpression(u"/Type\\s*/Page(?!s)"_s)), 1);
        QVERIFY(text.contains(QRegularExpression(u"/MediaBox\\s*\\[\\s*0 0 792 612\\s*\\]"_s)));
    }

private:
    QTemporaryDir m_dir;
    FakeViewer m_viewer;
};

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
