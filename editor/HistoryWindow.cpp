#include "HistoryWindow.h"

#include "BusyCursor.h"
#include "Colors.h"
#include "Database.h"
#include "Flash.h"
#include "FormMainTestMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMap>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

constexpr int sortRole = Qt::UserRole;

QStandardItem* cell(const QString& text, const QVariant& sortKey)
{
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    item->setData(sortKey, sortRole);
    return item;
}

QStandardItem* cell(const QString& text)
{
    return cell(text, text);
}

// A note on the status bar while the window is held busy; then the window is given back.
void note(FormMainTestMenu& w, const QString& text, quint32 color)
{
    w.lockFIELDS();
    w.displayBTN(1);
    flash(w.pause, {w.txtStatus}, {{color, 3.0}}, colors::white, {w.txtStatus, text, true, false});
    if (w.ended())
        return;
    if (w.cur.pnLOADED == 1)
        w.unlockFIELDS();
    else
        w.lsttestPN->setEnabled(true);
    w.displayBTN(0);
    w.txtStatus->setText(u"Waiting for User Input"_s);
}

} // namespace

HistoryWindow::HistoryWindow(const QString& partNUM, const QList<db::HistoryEntry>& entries, QWidget* parent)
    : QDialog(parent)
    , m_table(new QTableView(this))
    , m_model(new QStandardItemModel(0, 6, this))
{
    setObjectName(u"HistoryWindow"_s);
    setWindowTitle(u"Change history - "_s + partNUM);
    m_model->setHorizontalHeaderLabels(
        {u"When"_s, u"Who"_s, u"Port"_s, u"Field"_s, u"Old value"_s, u"New value"_s});
    m_model->setSortRole(sortRole);
    const qsizetype n = entries.size();
    for (qsizetype i = 0; i < n; ++i) {
        const db::HistoryEntry& e = entries[i];
        const db::HistoryRow& c = e.change;
        // Read newest first: the position keeps that order also among changes of the same second.
        const QList<QStandardItem*> line{
            cell(e.changedAT, n - i),
            cell(e.Operator_Initials + u" ("_s + e.Operator_Code + u')'),
            cell(c.mapNUM > 0 ? QString::number(c.mapNUM) : QString(), c.mapNUM),
            // A creation or a deletion changes no single value: its action stands in.
            cell(c.field.isNull() ? c.action : c.field),
            cell(c.oldVALUE),
            cell(c.newVALUE),
        };
        line[Who]->setToolTip(e.Company);
        m_model->appendRow(line);
    }
    m_table->setObjectName(u"historyTable"_s);
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(When, Qt::DescendingOrder);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();
    m_table->installEventFilter(this);
    if (n > 0)
        m_table->setCurrentIndex(m_model->index(0, When));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    resize(780, 420);
    m_table->setFocus();
}

QString HistoryWindow::selectedText() const
{
    QMap<int, QMap<int, QString>> cells;
    for (const QModelIndex& index : m_table->selectionModel()->selectedIndexes())
        cells[index.row()][index.column()] = index.data().toString();
    QStringList lines;
    for (const QMap<int, QString>& row : std::as_const(cells))
        lines.append(QStringList(row.values()).join(u'\t'));
    return lines.join(u'\n');
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The table's own copy takes only the current cell.
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(selectedText());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void showChangeHistory(FormMainTestMenu& w)
{
    db::Database* database = w.database;
    if (w.cur.pnLOADED != 1) {
        note(w, u"RESULT: No part number loaded - no change history to show"_s, colors::yellow);
        return;
    }
    const db::AccountValues& a = w.account;
    if (!database || database->history.table == db::HistoryTable::Missing) {
        note(w, u"RESULT: No change history kept in "_s + a.custDB + u" (no table zHISTORY)"_s,
             colors::yellow);
        return;
    }
    const QString pn = w.cur.curPN;
    QList<db::HistoryEntry> entries;
    bool read = false;
    {
        const BusyCursor wait;
        read = db::readHistory(database->profile(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW),
                               database->timeouts(), pn, entries);
    }
    if (!read) {
        note(w, u"ERROR: Unable to read the change history of ["_s + pn + u']', colors::red);
        return;
    }
    auto* window = new HistoryWindow(pn, entries, &w);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
}

} // namespace zelmar
