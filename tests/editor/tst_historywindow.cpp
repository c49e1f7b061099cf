// The change history on a database of the test server: what each action records, the window's
// rows, order and copying, and the status-bar note where there is nothing to show.
#include "../db/DbFixtures.h"
#include "EditorOnDb.h"
#include "FaultProxy.h"
#include "HistoryWindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTableView>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::EditorOnDb;

namespace {

// The lines of the table as shown: the cells of `columns` joined by tabs.
QStringList shown(const QTableView* table, const QList<int>& columns)
{
    const QAbstractItemModel* m = table->model();
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c : columns)
            cells << m->index(r, c).data().toString();
        out << cells.join(u'\t');
    }
    return out;
}

enum Action
{
    Edit,
    SaveDefault,
    Rename,
    CreateFromCurrent,
    Delete,
};

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each action on AA-1 (map 1, 41 the largest map) as the operator does it, read back from the
    // table: one row per stored value it changed. Where the sign-in found no table, no statement
    // names it.
    void recorded_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("UPDATE: a limit, a text, the default mark taken from another PN")
            << int(Edit) << true
            << QStringList{u"UPDATE|BB-2|0|pnDEFAULT|1|0"_s, u"UPDATE|AA-1|0|snNAME|first|edited"_s,
                           u"UPDATE|AA-1|0|pnDEFAULT|0|1"_s, u"UPDATE|AA-1|3|unitSCALE|1|2"_s,
                           u"UPDATE|AA-1|3|minSPEC|31|12.5"_s};
        QTest::newRow("UPDATE of the default PN without edits: its mark kept, none")
            << int(SaveDefault) << true << QStringList();
        QTest::newRow("rename: one partNUM row")
            << int(Rename) << true << QStringList{u"RENAME|AB-2|0|partNUM|AA-1|AB-2"_s};
        QTest::newRow("CREATE from the current PN: its name as the old value")
            << int(CreateFromCurrent) << true << QStringList{u"CREATE|NEW-1|0|NULL|AA-1|42"_s};
        QTest::newRow("DELETE: the map deleted")
            << int(Delete) << true << QStringList{u"DELETE|AA-1|0|NULL|1|NULL"_s};
        QTest::newRow("no table found at sign-in: nothing sent") << int(Edit) << false << QStringList();
    }
    void recorded()
    {
        QFETCH(int, action);
        QFETCH(bool, found);
        QFETCH(QStringList, rows);
        EditorOnDb e(8, {u"customer.sql"_s, u"history.sql"_s});
        e.database.history = {u"OP1"_s, u"AB"_s, u"Acme"_s,
                              found ? db::HistoryTable::Present : db::HistoryTable::Missing};
        QVERIFY2(e.seed() && e.load(action == SaveDefault ? u"BB-2"_s : u"AA-1"_s),
                 qPrintable(e.tdb.error()));
        test::FaultProxy proxy; // sees what the action sends
        QVERIFY(proxy.ok());
        FormMainTestMenu* w = e.w.get();
        w->account.ipPORT = proxy.serverValue();
        e.dialogs.inputAnswers = {u"NEW-1"_s};
        e.dialogs.yesNoAnswers = {true, true};
        if (action == Edit) {
            test::putText(w->txtsnNAME, u"edited"_s);
            w->chkpnDEFAULT->setChecked(true);
            w->lstPORT->setCurrentIndex(2);
            w->lstsCALE->setCurrentIndex(1);
            test::putText(w->txtMinSpec, u"12.5"_s);
        }
        if (action <= SaveDefault) {
            w->btnUPDATE_Click();
        } else if (action == Rename) {
            e.typeOverList(u"AB-2"_s);
            w->lsttestPN_LostFocus();
        } else if (action == Delete) {
            w->btnDELETE_Click();
        } else {
            w->btnADD_Click();
        }
        if (!found)
            QCOMPARE(proxy.sent().filter(u"zHISTORY"_s, Qt::CaseInsensitive), QStringList());
        QCOMPARE(test::lines(e.tdb,
                             u"SELECT CONCAT_WS('|', Operator_Code, Operator_Initials, Company), action, "
                             u"partNUM, mapNUM, field, oldVALUE, newVALUE FROM zHISTORY ORDER BY id"_s),
                 rows.replaceInStrings(QRegularExpression(u"^"_s), u"OP1|AB|Acme|"_s));
    }

    // Ctrl+H in a field: the loaded part number's newest 500, newest first by the order written
    // (changes of the same second included); Ctrl+C copies the selection.
    void showsTheLoadedPartNumber()
    {
        EditorOnDb e(8, {u"customer.sql"_s, u"history.sql"_s});
        QVERIFY2(e.seed() && e.load(u"AA-1"_s), qPrintable(e.tdb.error()));
        const QStringList older(
            498, u"('2025-01-01', 'OP2', 'CD', 'Acme', 'UPDATE', 'AA-1', 0, 'snBAD', 'a', 'b')"_s);
        QVERIFY(e.tdb.exec(
            u"INSERT INTO zHISTORY (changedAT, Operator_Code, Operator_Initials, Company, action, partNUM, "
            u"mapNUM, field, oldVALUE, newVALUE) VALUES "_s +
            older.join(u',') +
            u", ('2026-01-02 10:00:00', 'OP1', 'AB', 'Acme', 'UPDATE', 'AA-1', 0, 'snNAME', 'first', "
            u"'second'), "
            u"('2026-01-02 10:00:00', 'OP1', 'AB', 'Acme', 'UPDATE', 'AA-1', 12, 'minSPEC', '1.5', '2'), "
            u"('2026-01-01 09:00:00', 'OP1', 'AB', 'Acme', 'UPDATE', 'BB-2', 3, 'maxSPEC', '7', '8'), "
            u"('2026-01-02 10:00:00', 'OP1', 'AB', 'Acme', 'UPDATE', 'AA-1', 3, 'ssTOL', '0.05', '0.5'), "
            u"('2026-01-03 08:00:00', 'OP1', 'AB', 'Acme', 'CREATE', 'AA-1', 0, NULL, 'AB-0', '1')"_s));
        e.database.history.table = db::HistoryTable::Present;
        FormMainTestMenu* w = e.w.get();
        QVERIFY(test::showAndActivate(w));
        w->txtsnNAME->setFocus();
        QTest::keyClick(w->txtsnNAME, Qt::Key_H, Qt::ControlModifier);
        auto* window = w->findChild<HistoryWindow*>();
        QVERIFY(window && window->isVisible());
        QTableView* table = window->table();
        const QStringList all = shown(table, {0, 1, 2, 3, 4, 5});
        QCOMPARE(all.size(), 500);
        QCOMPARE(all.mid(0, 4), (QStringList{u"2026-01-03 08:00:00\tAB (OP1)\t\tCREATE\tAB-0\t1"_s,
                                             u"2026-01-02 10:00:00\tAB (OP1)\t3\tssTOL\t0.05\t0.5"_s,
                                             u"2026-01-02 10:00:00\tAB (OP1)\t12\tminSPEC\t1.5\t2"_s,
                                             u"2026-01-02 10:00:00\tAB (OP1)\t\tsnNAME\tfirst\tsecond"_s}));
        QTRY_VERIFY(table->hasFocus()); // once the window is active
        QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(table, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), shown(table, {0, 1}).mid(0, 2).join(u'\n'));
        // Oldest first by a click on the time: changes of the same second in the order written.
        QHeaderView* header = table->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(HistoryWindow::When) + 4, 4));
        QCOMPARE(shown(table, {HistoryWindow::Field}).mid(496),
                 (QStringList{u"snNAME"_s, u"minSPEC"_s, u"ssTOL"_s, u"CREATE"_s}));
    }

    // Nothing to show: a note on the status bar, no window, the editor given back as it was.
    void noteInstead_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<db::HistoryTable>("table");
        QTest::newRow("no part number loaded") << false << db::HistoryTable::Present;
        QTest::newRow("no history table") << true << db::HistoryTable::Missing;
    }
    void noteInstead()
    {
        QFETCH(bool, loaded);
        QFETCH(db::HistoryTable, table);
        EditorOnDb e(8, {u"customer.sql"_s});
        QVERIFY2(e.seed() && (!loaded || e.load(u"AA-1"_s)), qPrintable(e.tdb.error()));
        e.database.history.table = table;
        FormMainTestMenu* w = e.w.get();
        e.seen.clear();
        e.colours.clear();
        // Pressed again while the note is on: the editor is busy, nothing more happens.
        const auto record = e.pause.during;
        e.pause.during = [&](double seconds) {
            record(seconds);
            if (e.seen.size() == 1)
                w->showHISTORY();
        };
        w->showHISTORY();
        QCOMPARE(e.colours, QList<quint32>{colors::yellow});
        QCOMPARE(e.seen.size(), 1);
        QCOMPARE(e.selection(), e.loaded(loaded ? u"AA-1"_s : QString()));
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
