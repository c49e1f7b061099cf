// Tab follows the editor's reading order, worked out here from where the
// controls stand.
#include "EventLoopPause.h"
#include "FormMainTestMenu.h"
#include "TestServer.h"

#include <QPushButton>
#include <QTest>

#include <algorithm>

using namespace zelmar;

class TestTabOrder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabFollowsTheReadingOrder();
};

void TestTabOrder::tabFollowsTheReadingOrder()
{
    test::ScriptedDialogs dialogs;
    test::RecordingProgramEnd end;
    EventLoopPause pause(0);
    FormMainTestMenu w(&dialogs, &pause, &end, nullptr);

    QList<QWidget*> tabbable;
    for (QWidget* c : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if ((c->focusPolicy() & Qt::TabFocus) && c->isVisibleTo(&w))
            tabbable << c;

    // Reading order: the fields left of the command column (and the rows above
    // it) row by row, a row being controls whose middles lie within half a
    // field's height; then the command column from top to bottom.
    const QRect column = w.btnREVIEW->geometry();
    QList<QWidget*> fields;
    QList<QWidget*> commands;
    for (QWidget* c : tabbable)
        (c->x() >= column.x() && c->y() >= column.y() ? commands : fields) << c;
    std::sort(fields.begin(), fields.end(),
              [](QWidget* a, QWidget* b) { return a->geometry().center().y() < b->geometry().center().y(); });
    QList<QWidget*> expected;
    for (qsizetype i = 0; i < fields.size();) {
        qsizetype j = i;
        const int middle = fields[i]->geometry().center().y();
        while (j < fields.size() && fields[j]->geometry().center().y() - middle <= 11)
            ++j;
        QList<QWidget*> row = fields.mid(i, j - i);
        std::sort(row.begin(), row.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
        expected << row;
        i = j;
    }
    std::sort(commands.begin(), commands.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    expected << commands;
    QCOMPARE(expected.size(), 32);

    // The chain that Tab walks, from the part-number list round to it again.
    QStringList walked;
    QWidget* at = w.lsttestPN;
    do {
        if (tabbable.contains(at))
            walked << at->objectName();
        at = at->nextInFocusChain();
    } while (at != w.lsttestPN && walked.size() <= tabbable.size());
    QStringList reading;
    for (QWidget* c : expected)
        reading << c->objectName();
    QCOMPARE(walked, reading);
}

QTEST_MAIN(TestTabOrder)
#include "tst_taborder.moc"
