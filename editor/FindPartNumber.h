#pragma once

#include "PartNumberList.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace zelmar {

// Finds a part number among all of the table's, not only the 100 that the list shows: the
// operator types any part of it and sees up to 100 part numbers that contain the text, case
// counting, in list order. Enter or a double-click picks one (picked), Escape closes the
// dialog with nothing picked. Works on its own copy of the names: it sends nothing.
class FindPartNumber : public QDialog
{
    Q_OBJECT

public:
    static constexpr int shown = 100;

    explicit FindPartNumber(const db::PartNumberNames& names, QWidget* parent = nullptr);

    QLineEdit* txtFIND = nullptr;
    QListWidget* lstFOUND = nullptr;
    QLabel* lblFOUND = nullptr;

Q_SIGNALS:
    void picked(const QString& partNumber);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void filter();
    void pick();

    db::PartNumberNames m_names;
};

} // namespace zelmar
