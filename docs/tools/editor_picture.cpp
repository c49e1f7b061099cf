// Draws the editor with a sample part number loaded into a PNG, for the README: the
// window as the program shows it, on the offscreen platform; with a second file, its change
// history window too. Run by scripts/editor-picture.
#include "EditorOnDb.h"
#include "HistoryWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <QTableView>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: editor_picture OUT.png [HISTORY.png]\n");
        return 2;
    }
    zelmar::test::EditorOnDb e(8, {u"customer.sql"_s, u"sample-customer.sql"_s, u"history.sql"_s});
    if (!e.ok()) {
        std::fprintf(stderr, "no test server: %s\n", qPrintable(e.tdb.error()));
        return 1;
    }
    e.list();
    if (!e.load(u"RB-7000-X"_s)) {
        std::fprintf(stderr, "the sample part number did not load\n");
        return 1;
    }
    zelmar::FormMainTestMenu* w = e.w.get();
    w->lstPORT->setCurrentIndex(2);
    w->txtStatus->setText(u"Part Number [RB-7000-X] was loaded"_s);
    w->show();
    QCoreApplication::processEvents();
    if (!w->grab().save(QString::fromLocal8Bit(argv[1])))
        return 1;
    if (argc < 3)
        return 0;

    // A few months of changes to the sample part number, by two operators.
    const QStringList changes{
        u"2026-03-02 08:14:05|DEMO1|JD|CREATE|0|-|RB-6000|3"_s,
        u"2026-03-02 08:20:41|DEMO1|JD|UPDATE|0|snNAME|Relay board 6000|Relay board 7000"_s,
        u"2026-03-02 08:20:41|DEMO1|JD|UPDATE|0|snFORMAT|RB-###$|RB-####$"_s,
        u"2026-04-17 13:02:10|QA2|KM|UPDATE|3|minSPEC|4650|4500"_s,
        u"2026-04-17 13:02:10|QA2|KM|UPDATE|3|maxSPEC|7200|7500"_s,
        u"2026-05-06 09:45:33|DEMO1|JD|UPDATE|6|timeDELAY|0.25|0.5"_s,
        u"2026-05-06 09:45:33|DEMO1|JD|UPDATE|6|ssTOL|0.1|0.05"_s,
    };
    for (const QString& change : changes) {
        QVariantList values;
        for (const QString& part : change.split(u'|'))
            values << (part == u"-"_s ? QVariant() : QVariant(part));
        if (!e.tdb.exec(
                u"INSERT INTO zHISTORY (changedAT, Operator_Code, Operator_Initials, Company, action, "
                u"partNUM, mapNUM, field, oldVALUE, newVALUE) "
                u"VALUES (?, ?, ?, 'Northfield', ?, 'RB-7000-X', ?, ?, ?, ?)"_s,
                values)) {
            std::fprintf(stderr, "the sample history was not stored: %s\n", qPrintable(e.tdb.error()));
            return 1;
        }
    }
    e.database.history.table = zelmar::db::HistoryTable::Present;
    w->showHISTORY();
    auto* history = w->findChild<zelmar::HistoryWindow*>();
    if (!history)
        return 1;
    history->table()->selectRow(1);
    QCoreApplication::processEvents();
    return history->grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
