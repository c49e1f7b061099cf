#include "FindPartNumber.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zelmar {

FindPartNumber::FindPartNumber(const db::PartNumberNames& names, QWidget* parent)
    : QDialog(parent)
    , m_names(names)
{
    setObjectName(u"FindPartNumber"_s);
    setWindowTitle(u"Find Part Number"_s);
    auto* prompt = new QLabel(u"Any part of the part number (case counts):"_s, this);
    txtFIND = new QLineEdit(this);
    txtFIND->setObjectName(u"txtFIND"_s);
    prompt->setBuddy(txtFIND);
    lstFOUND = new QListWidget(this);
    lstFOUND->setObjectName(u"lstFOUND"_s);
    lstFOUND->setAccessibleName(u"Part numbers found"_s);
    lblFOUND = new QLabel(this);
    lblFOUND->setObjectName(u"lblFOUND"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(txtFIND);
    layout->addWidget(lstFOUND);
    layout->addWidget(lblFOUND);
    resize(320, 380);

    // The names are in memory: each key narrows the matches at once, with nothing to send.
    connect(txtFIND, &QLineEdit::textChanged, this, &FindPartNumber::filter);
    connect(txtFIND, &QLineEdit::returnPressed, this, &FindPartNumber::pick);
    connect(lstFOUND, &QListWidget::itemActivated, this, &FindPartNumber::pick);
    txtFIND->installEventFilter(this);
    filter();
}

bool FindPartNumber::eventFilter(QObject* watched, QEvent* event)
{
    // The arrow and page keys go through the matches while the typing goes on.
    if (watched == txtFIND && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(lstFOUND, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindPartNumber::filter()
{
    qsizetype total = 0;
    const QList<qsizetype> found = m_names.find(txtFIND->text(), shown, total);
    lstFOUND->clear();
    for (const qsizetype i : found)
        lstFOUND->addItem(m_names.at(i));
    lstFOUND->setCurrentRow(found.isEmpty() ? -1 : 0);
    if (total == 0)
        lblFOUND->setText(u"No part number contains this text"_s);
    else if (total > found.size())
        lblFOUND->setText(u"The first %1 of %2 found: type more to narrow"_s.arg(found.size()).arg(total));
    else
        lblFOUND->setText(u"%1 found"_s.arg(total));
}

void FindPartNumber::pick()
{
    const QListWidgetItem* item = lstFOUND->currentItem();
    if (!item)
        return;
    const QString partNumber = item->text();
    accept();
    Q_EMIT picked(partNumber);
}

} // namespace zelmar
