#pragma once

#include "Colors.h"
#include "Database.h"
#include "EditorFakes.h"
#include "FormMainTestMenu.h"
#include "TestServer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace zelmar::test {

using namespace Qt::StringLiterals;

// Ends the program through the one-hour limit, as the timer does.
inline void hourIsUp(FormMainTestMenu* w)
{
    w->quitARMED = 1;
    w->quitTICKS = qint16(w->quitLIMIT - 1);
    w->Timer6_Timer();
}

// The editor window signed in to a database of its own on the test server; pauses take no
// time, and the status text and colour at the start of each are kept.
struct EditorOnDb
{
    explicit EditorOnDb(int ports = 8, const QStringList& schema = {u"customer.sql"_s})
        : tdb(schema)
    {
        w = std::make_unique<FormMainTestMenu>(&dialogs, &pause, &end, &database);
        const db::Profile p = tdb.profile();
        w->account.ipPORT = p.server;
        w->account.custDB = p.database;
        w->account.custUSER = p.user;
        w->account.custUSER_PW = p.password;
        w->account.snTABLE = u"snPN"_s;
        w->account.configTABLE = u"portCONFIG"_s;
        w->account.numPORTS = qint16(ports);
        w->setnumPORTS(ports);
        w->blankFIELDS();
        w->lockFIELDS();
        w->lsttestPN->setEnabled(true);
        w->displayBTN(0);
        pause.during = [this](double) {
            seen << w->txtStatus->text();
            colours << backColor(w->txtStatus);
        };
    }

    bool ok() const { return tdb.ok(); }

    // `columns`: more "name = value" pairs of the record.
    bool addPN(const QString& pn, int map, const QString& columns = {})
    {
        const QString more = columns.isEmpty() ? QString() : u", "_s + columns;
        return tdb.exec(u"INSERT INTO snPN SET partNUM = ?, mapPORT = ?"_s + more, {pn, map});
    }

    // Ports named "M<map> P<port>", every value depending on map and port so that any mix-up shows.
    bool addPorts(int map, int count)
    {
        for (int k = 1; k <= count; ++k) {
            const int m = k + map;
            if (!tdb.exec(u"INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, unitSCALE, acTIVE, `Range`, "
                          u"minSPEC, maxSPEC, numAVG, mspeed, timeDELAY, ssON, ssTOL, ssMAXT, ssREQD) "
                          u"VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"_s,
                          {map, k, u"M%1 P%2"_s.arg(map).arg(k), 1 + m % 4, k % 2, m % 8, 10.0 * k + map,
                           1000.0 * k + map, 1 + m % 25, 1 + m % 3, 0.25 * (m % 5), m % 2,
                           0.01 * (1 + m % 20), 2.0 + m % 9, (m + 1) % 2}))
                return false;
        }
        return true;
    }

    // Listed: AA-1 (map 1, 4 ports, "first"), BB-2 (map 2, 3 ports, the default PN), CC-3 (map 41, 2 ports).
    bool seed()
    {
        const bool done = ok() && addPN(u"AA-1"_s, 1, u"snNAME = 'first'"_s) &&
                          addPN(u"BB-2"_s, 2, u"pnDEFAULT = 1, snVALID = 1"_s) && addPN(u"CC-3"_s, 41) &&
                          addPorts(1, 4) && addPorts(2, 3) && addPorts(41, 2);
        list();
        return done;
    }

    void list() { w->rereadPNlist(QString()); }

    // Picks `pn` in the list as the operator does: the load runs.
    bool load(const QString& pn)
    {
        const int at = w->lsttestPN->findText(pn, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (at >= 0)
            w->lsttestPN->setCurrentIndex(at);
        return at >= 0 && w->cur.pnLOADED == 1 && w->cur.curPN == pn;
    }

    // Types `text` (none: erases) over the list's text; nothing is selected after it.
    void typeOverList(const QString& text)
    {
        w->lsttestPN->lineEdit()->selectAll();
        QTest::keyClick(w->lsttestPN, Qt::Key_Backspace);
        QTest::keyClicks(w->lsttestPN, text);
    }

    // The PN held (empty: none), the list's selected entry and its text, whether the fields
    // and UPDATE are usable; loaded(pn) is what a usable window with `pn` loaded shows.
    QVariantList selection() const
    {
        const QComboBox* l = w->lsttestPN;
        return {w->cur.pnLOADED == 1 ? w->cur.curPN : QString(), l->itemText(l->currentIndex()),
                l->currentText(), w->txtsnNAME->isEnabled(), w->btnUPDATE->isEnabled()};
    }
    static QVariantList loaded(const QString& pn) { return {pn, pn, pn, !pn.isEmpty(), !pn.isEmpty()}; }

    QList<QVariantList> rows(const QString& table)
    {
        return tdb.rows(u"SELECT * FROM "_s + table + u" ORDER BY id"_s);
    }
    QList<QVariantList> snapshot() { return rows(u"snPN"_s) + rows(u"portCONFIG"_s); }

    TestDatabase tdb;
    ScriptedDialogs dialogs;
    RecordingPause pause;
    RecordingProgramEnd end;
    db::Database database{&dialogs};
    std::unique_ptr<FormMainTestMenu> w;
    QStringList seen;
    QList<quint32> colours;
};

} // namespace zelmar::test
