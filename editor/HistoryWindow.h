#pragma once

#include "History.h"

#include <QDialog>
#include <QList>
#include <QString>

class QStandardItemModel;
class QTableView;

namespace zelmar {

class FormMainTestMenu;

// The change history of one part number, read only: one line per recorded change, newest
// first. Headers sort; Ctrl+C copies the selected cells as tab-separated lines; Escape closes.
class HistoryWindow : public QDialog
{
    Q_OBJECT

public:
    enum Column
    {
        When,
        Who,
        Port,
        Field,
        OldValue,
        NewValue,
    };

    // `entries` newest first, as read.
    HistoryWindow(const QString& partNUM, const QList<db::HistoryEntry>& entries, QWidget* parent = nullptr);

    QTableView* table() const { return m_table; }
    // The selected cells, row by row as shown, cells of a row joined by tabs.
    QString selectedText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* m_table;
    QStandardItemModel* m_model;
};

// Ctrl+H and the part-number list's menu: the loaded part number's history in its window. No
// part number loaded, no history table or an unreadable one: a status-bar note, nothing opens.
void showChangeHistory(FormMainTestMenu& w);

} // namespace zelmar
