// EXPORT TO EXCEL in the editor window: the record re-read from a real database, the ports
// from memory, the status texts and the wait, the states of the run's workbook, its
// failures and the hand-over at QUIT.
#include "../editor/EditorFakes.h"
#include "Database.h"
#include "ExportSupport.h"
#include "WorkbookSession.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {
const QString idle = u"Waiting for User Input"_s;
const QPair<QString, QString> closedByUser{u"Export Failed: Excel was open but closed by User"_s,
                                           u"Please try exporting to Excel again"_s};
const QPair<QString, QString> unableToOpen{u"Unable to Open MS Excel - Function Disabled"_s,
                                           u"Zelmar\u00AE was unable to open Excel"_s};
} // namespace

class TestExportAction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_tdb.ok(), qPrintable(m_tdb.error()));
        QVERIFY(m_tdb.exec(u"INSERT INTO snPN (partNUM, snNAME, mapPORT, snEXTENDER) "
                           u"VALUES ('AB-100', 'FROM DATABASE', 1, 42)"_s));
    }

    void init()
    {
        m_dialogs = test::FakeDialogs();
        m_pause.waits.clear();
        m_seen.clear();
        m_viewer = test::FakeViewer();
        m_end.ends = 0;
        m_session = std::make_unique<WorkbookSession>(&m_viewer, m_dir.path());
        w = std::make_unique<FormMainTestMenu>(&m_dialogs, &m_pause, &m_end, &m_database);
        w->setExporter(m_session.get());
        m_pause.during = [this](double) {
            m_seen << w->txtStatus->text();
        };
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

    void noPartNumberLoaded()
    {
        w->cur.pnLOADED = 0;
        w->btnEXPORT_Click();
        QCOMPARE(m_pause.waits, QList<double>{3});
        QCOMPARE(m_seen, QStringList{u"No part number loaded - process terminated"_s});
        QCOMPARE(buttons(), (QList<bool>{false, false, false, false, true, true}));
        QVERIFY(w->lsttestPN->isEnabled() && !w->txtsnNAME->isEnabled());
        QCOMPARE(w->txtStatus->text(), idle);
        QVERIFY(m_viewer.opened.isEmpty() && m_dialogs.messages.isEmpty());
    }

    void exportsOfARun()
    {
        // A new workbook: the PN block as stored, the ports as held.
        w->btnEXPORT_Click();
        QCOMPARE(m_pause.waits, QList<double>{1});
        QCOMPARE(m_seen, QStringList{u"Opening MicroSoft Excel"_s});
        QCOMPARE(state(), (QList<int>{1, 1}));
        const SheetModel& sheet = m_session->sheets().back();
        for (const auto& [ref, text] :
             {std::pair{"C2", "FROM DATABASE"}, {"C7", "AB-100 00000042"}, {"B15", "IN MEMORY"}})
            QCOMPARE(std::get<QString>(test::cellAt(sheet, QString::fromLatin1(ref))->value),
                     QString::fromLatin1(text));
        QCOMPARE(buttons(), QList<bool>(6, true));
        QVERIFY(w->txtsnNAME->isEnabled());
        QCOMPARE(w->txtStatus->text(), idle);
        // One more sheet in the same file.
        w->btnEXPORT_Click();
        const QString first = m_session->filePath();
        QCOMPARE(m_session->sheetNames(), (QStringList{u"AB-100"_s, u"AB-100 R1"_s}));
        QCOMPARE(m_viewer.opened, (QStringList{first, first}));
        // The operator removed the file: the failure, then a fresh workbook.
        QVERIFY(QFile::remove(first));
        w->btnEXPORT_Click();
        QCOMPARE(m_dialogs.messages, QList{closedByUser});
        QCOMPARE(state(), (QList<int>{0, 0}));
        w->btnEXPORT_Click();
        QCOMPARE(state(), (QList<int>{1, 1}));
        QCOMPARE(m_session->sheetNames(), QStringList{u"AB-100"_s});
        QVERIFY(m_session->filePath() != first && m_dialogs.messages.size() == 1);
        // QUIT shows the last workbook again and keeps it.
        const QString last = m_session->filePath();
        m_viewer.opened.clear();
        w->btnQUIT_Click();
        QCOMPARE(m_viewer.opened, QStringList{last});
        QVERIFY(QFile::exists(last) && m_end.ends == 1);
    }

    void firstExportFails_data()
    {
        QTest::addColumn<bool>("unwritable");
        QTest::newRow("folder cannot be written") << true;
        QTest::newRow("no application opens it") << false;
    }

    void firstExportFails()
    {
        QFETCH(bool, unwritable);
        // A regular file in place of the folder: unwritable even for root.
        QFile blocker(m_dir.filePath(u"not-a-folder"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        WorkbookSession session(&m_viewer, unwritable ? blocker.fileName() : m_dir.path());
        m_viewer.refuse = !unwritable;
        w->setExporter(&session);
        w->btnEXPORT_Click();
        QCOMPARE(m_dialogs.messages, QList{unableToOpen});
        QCOMPARE(w->cur.xlSTATUS, qint16(2));
        QCOMPARE(buttons(), (QList<bool>{true, true, true, false, true, true}));
        QCOMPARE(w->txtStatus->text(), idle);
    }

    void programEndsDuringTheWait()
    {
        m_pause.during = [this](double) {
            m_end.end();
        };
        w->btnEXPORT_Click();
        QVERIFY(m_viewer.opened.isEmpty() && m_session->sheetNames().isEmpty());
        QCOMPARE(state(), (QList<int>{0, 0}));
        QVERIFY(!w->btnQUIT->isEnabled());
    }

private:
    QList<bool> buttons() const
    {
        QList<bool> on;
        for (QPushButton* b : {w->btnREVIEW, w->btnUPDATE, w->btnDELETE, w->btnEXPORT, w->btnADD, w->btnQUIT})
            on << b->isEnabled();
        return on;
    }
    QList<int> state() const { return {w->cur.xlOPEN, w->cur.xlSTATUS}; }

    test::TestDatabase m_tdb;
    db::Database m_database;
    QTemporaryDir m_dir;
    test::FakeDialogs m_dialogs;
    test::RecordingPause m_pause;
    test::RecordingProgramEnd m_end;
    test::FakeViewer m_viewer;
    std::unique_ptr<WorkbookSession> m_session;
    std::unique_ptr<FormMainTestMenu> w;
    QStringList m_seen;
};

QTEST_MAIN(TestExportAction)
#include "tst_exportaction.moc"
