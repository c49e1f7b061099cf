#pragma once

#include "Database.h"
#include "EditorFakes.h"
#include "FormMainTestMenu.h"
#include "TestServer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <memory>

namespace zelmar::test {

// Sets a field's text as the program does, without the field's entry rules.
inline void putText(QLineEdit* field, const QString& text)
{
    const QSignalBlocker blocker(field);
    field->setText(text);
}

// Ends the program through the one-hour limit, as the timer does.
inline void hourIsUp(FormMainTestMenu* w)
{
    w->quitARMED = 1;
    w->quitTICKS = qint16(w->quitLIMIT - 1);
    w->Timer6_Timer();
}

// The editor window signed in to a database of its own on the test server, with the
// part-number and port tables of the schema; pauses take no time and are recorded.
struct EditorOnDb
{
    explicit EditorOnDb(int ports = 8, const QStringList& schema = {QStringLiteral("customer.sql")})
        : tdb(schema)
    {
        w = std::make_unique<FormMainTestMenu>(&dialogs, &pause, &end, &database);
        const db::Profile p = tdb.profile();
        w->account.ipPORT = p.server;
        w->account.custDB = p.database;
        w->account.custUSER = p.user;
        w->account.custUSER_PW = p.password;
        w->account.snTABLE = QStringLiteral("snPN");
        w->account.configTABLE = QStringLiteral("portCONFIG");
        w->account.numPORTS = qint16(ports);
        w->setnumPORTS(ports);
        w->blankFIELDS();
        w->lockFIELDS();
        w->lsttestPN->setEnabled(true);
        w->displayBTN(0);
    }

    bool ok() const { return tdb.ok(); }

    // A part number with map `map`; `columns` are more "name = value" pairs of its record.
    bool addPN(const QString& pn, int map, const QString& columns = {})
    {
        QString sql = QStringLiteral("INSERT INTO snPN SET partNUM = ?, mapPORT = ?");
        if (!columns.isEmpty())
            sql += QStringLiteral(", ") + columns;
        return tdb.exec(sql, {pn, map});
    }

    // `count` ports of map `map`, every value depending on map and port so that any mix-up shows.
    bool addPorts(int map, int count)
    {
        for (int k = 1; k <= count; ++k) {
            if (!tdb.exec(
                    QStringLiteral("INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, unitSCALE, acTIVE, "
                                   "`Range`, minSPEC, maxSPEC, numAVG, mspeed, timeDELAY, ssON, ssTOL, "
                                   "ssMAXT, ssREQD) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                    {map, k, QStringLiteral("M%1 P%2").arg(map).arg(k), 1 + (k + map) % 4, k % 2,
                     (k + map) % 8, 10.0 * k + map, 1000.0 * k + map, 1 + (k + map) % 25, 1 + (k + map) % 3,
                     0.25 * ((k + map) % 5), (k + map) % 2, 0.01 * (1 + (k + map) % 20), 2.0 + (k + map) % 9,
                     (k + map + 1) % 2}))
                return false;
        }
        return true;
    }

    // Reads the list as the start does.
    void list() { w->rereadPNlist(QString()); }

    // Picks `pn` in the list as the operator does: the load runs.
    bool load(const QString& pn)
    {
        const int at = w->lsttestPN->findText(pn, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (at < 0)
            return false;
        w->lsttestPN->setCurrentIndex(at);
        return w->cur.pnLOADED == 1 && w->cur.curPN == pn;
    }

    // Types `text` over the list's text as the operator does; nothing is selected after it.
    void typeOverList(const QString& text)
    {
        w->lsttestPN->lineEdit()->selectAll();
        QTest::keyClicks(w->lsttestPN, text);
    }

    QList<QVariantList> rows(const QString& table)
    {
        return tdb.rows(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY id"));
    }

    TestDatabase tdb;
    ScriptedDialogs dialogs;
    RecordingPause pause;
    RecordingProgramEnd end;
    db::Database database{&dialogs};
    std::unique_ptr<FormMainTestMenu> w;
};

} // namespace zelmar::test
