// The change history window of the editor, on a database of the test server: opened with
// Ctrl+H or from the part-number list's menu, its rows, their order, sorting and copying;
// the status-bar note and no window where there is nothing to show.
#include "EditorOnDb.h"
#include "HistoryWindow.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::EditorOnDb;

namespace {

const QStringList schema{u"customer.sql"_s, u"history.sql"_s};

// Rows of the history table: "id|changedAT|partNUM|mapNUM|field|old|new", "-" for NULL.
bool addHistory(EditorOnDb& e, const QStringList& rows)
{
    for (const QString& row : rows) {
        QVariantList v;
        for (const QString& part : row.split(u'|'))
            v << (part == u"-"_s ? QVariant() : QVariant(part));
        if (!e.tdb.exec(
                u"INSERT INTO zHISTORY (id, changedAT, Operator_Code, Operator_Initials, Company, action, "
                u"partNUM, mapNUM, field, oldVALUE, newVALUE) VALUES (?, ?, 'OP1', 'AB', 'Acme', "
                u"IF(? IS NULL, 'CREATE', 'UPDATE'), ?, ?, ?, ?, ?)"_s,
                {v[0], v[1], v[4], v[2], v[3], v[4], v[5], v[6]}))
            return false;
    }
    return true;
}

// The lines of the table as shown, cells joined by "|".
QStringList shown(const QTableView* table)
{
    QStringList out;
    const QAbstractItemModel* m = table->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << m->index(r, c).data().toString();
        out << cells.join(u'|');
    }
    return out;
}

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Newest first by the order written (two changes of the same second included), only the
    // loaded part number's; ports sort as numbers; Ctrl+C copies the selection; Escape closes.
    void showsTheLoadedPartNumber_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("Ctrl+H in a field") << false;
        QTest::newRow("the list's menu") << true;
    }
    void showsTheLoadedPartNumber()
    {
        QFETCH(bool, fromMenu);
        EditorOnDb e(8, schema);
        QVERIFY2(e.seed() && e.load(u"AA-1"_s), qPrintable(e.tdb.error()));
        QVERIFY(addHistory(e, {u"1|2026-01-02 10:00:00|AA-1|0|snNAME|first|second"_s,
                               u"2|2026-01-02 10:00:00|AA-1|12|minSPEC|1.5|2"_s,
                               u"3|2026-01-01 09:00:00|BB-2|3|maxSPEC|7|8"_s,
                               u"4|2026-01-02 10:00:00|AA-1|3|ssTOL|0.05|0.5"_s,
                               u"5|2026-01-03 08:00:00|AA-1|0|-|AB-0|1"_s}));
        e.database.history.table = db::HistoryTable::Present;
        FormMainTestMenu* w = e.w.get();
        QVERIFY(test::showAndActivate(w));
        if (fromMenu) {
            std::unique_ptr<QMenu> menu(w->pnListMenu());
            const QList<QAction*> actions = menu->actions();
            const auto entry = std::find_if(actions.begin(), actions.end(), [](const QAction* a) {
                return a->text() == u"Change history..."_s;
            });
            QVERIFY(entry != actions.end());
            (*entry)->trigger();
        } else {
            w->txtsnNAME->setFocus();
            QTest::keyClick(w->txtsnNAME, Qt::Key_H, Qt::ControlModifier);
            QCOMPARE(w->txtsnNAME->text(), u"first"_s); // the field took nothing
        }
        auto* window = w->findChild<HistoryWindow*>();
        QVERIFY(window && window->isVisible());
        QVERIFY(window->windowTitle().endsWith(u" - AA-1"_s));
        QTableView* table = window->table();
        QCOMPARE(shown(table), (QStringList{u"2026-01-03 08:00:00|AB (OP1)||CREATE|AB-0|1"_s,
                                            u"2026-01-02 10:00:00|AB (OP1)|3|ssTOL|0.05|0.5"_s,
                                            u"2026-01-02 10:00:00|AB (OP1)|12|minSPEC|1.5|2"_s,
                                            u"2026-01-02 10:00:00|AB (OP1)||snNAME|first|second"_s}));

        QHeaderView* header = table->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(HistoryWindow::Port) + 4, 4));
        QStringList ports;
        for (const QString& line : shown(table))
            ports << line.section(u'|', 2, 2);
        QVERIFY2(ports == (QStringList{u""_s, u""_s, u"3"_s, u"12"_s}), qPrintable(ports.join(u',')));

        QTRY_VERIFY(table->hasFocus()); // once the window is active
        QTest::keyClick(table, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(table, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        const QStringList first = shown(table).mid(0, 2);
        QCOMPARE(QGuiApplication::clipboard()->text(), first[0].section(u'|', 0, 1).replace(u'|', u'\t') +
                                                           u'\n' +
                                                           first[1].section(u'|', 0, 1).replace(u'|', u'\t'));
        // Back to the time, oldest first: changes of the same second in the order written.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(HistoryWindow::When) + 4, 4));
        QStringList fields;
        for (const QString& line : shown(table))
            fields << line.section(u'|', 3, 3);
        QCOMPARE(fields, (QStringList{u"snNAME"_s, u"minSPEC"_s, u"ssTOL"_s, u"CREATE"_s}));
        QTest::keyClick(table, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    // Nothing to show: a note on the status bar, no window, the editor given back as it was.
    void noteInstead_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<int>("table");
        QTest::addColumn<quint32>("color");
        const int present = int(db::HistoryTable::Present), missing = int(db::HistoryTable::Missing);
        QTest::newRow("no part number loaded") << false << present << colors::yellow;
        QTest::newRow("no history table") << true << missing << colors::yellow;
        QTest::newRow("a table that cannot be read") << true << int(db::HistoryTable::Unknown) << colors::red;
    }
    void noteInstead()
    {
        QFETCH(bool, loaded);
        QFETCH(int, table);
        QFETCH(quint32, color);
        EditorOnDb e(8, {u"customer.sql"_s});
        QVERIFY2(e.seed() && (!loaded || e.load(u"AA-1"_s)), qPrintable(e.tdb.error()));
        e.database.history.table = db::HistoryTable(table);
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
        QVERIFY(!w->findChild<HistoryWindow*>());
        QCOMPARE(e.colours, QList<quint32>{color});
        QCOMPARE(e.seen.size(), 1);
        QVERIFY(e.seen[0].startsWith(color == colors::red ? u"ERROR: "_s : u"RESULT: "_s));
        QCOMPARE(e.selection(), e.loaded(loaded ? u"AA-1"_s : QString()));
        QCOMPARE(w->txtStatus->text(), u"Waiting for User Input"_s);
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
