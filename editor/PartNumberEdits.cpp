// Creating a part number (from the window's values or from defaults, with a port map of
// its own) and deleting the loaded one with its port rows.
#include "PartNumberEdits.h"

#include "BusyCursor.h"
#include "Colors.h"
#include "Database.h"
#include "Flash.h"
#include "FormMainTestMenu.h"
#include "TwoAttempts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <limits>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {
const QString waiting = u"Waiting for User Input"_s;
const QString checkConnection = u"Check Internet connection and try again"_s;
} // namespace

bool PartNumberEdits::tell(const QString& text, quint32 color)
{
    flash(w.pause, {w.txtStatus}, {{color, 3.0}}, colors::white,
          {.box = w.txtStatus, .text = text, .repaint = true});
    return !w.ended();
}

void PartNumberEdits::giveBack()
{
    if (w.cur.pnLOADED == 1)
        w.unlockFIELDS();
    else
        w.lsttestPN->setEnabled(true);
    w.displayBTN(0);
    w.txtStatus->setText(waiting);
}

void PartNumberEdits::terminate()
{
    if (tell(u"Create New Part Number process terminated"_s, colors::yellow))
        giveBack();
}

void PartNumberEdits::mapsUnreadable()
{
    w.dialogs->message(u"ERROR reading MySQL PN Database - Unable to create new PN"_s,
                       u"Check connection and try again"_s);
    if (!w.ended())
        giveBack();
}

bool PartNumberEdits::freeMap(qint16& map)
{
    const db::AccountValues& a = w.account;
    const auto users = [&](const QString& table) {
        qint16 count = -1;
        qint16 status = 1;
        const bool on = twoAttempts(w, status, [&] {
            w.database->SQL_checkMAP(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, table, map, count);
            status = count < 0 ? 1 : 0;
        });
        return on ? count : qint16(-1);
    };
    for (;;) {
        qint16 taken = users(a.snTABLE);
        if (taken == 0)
            taken = users(a.configTABLE);
        if (taken < 0)
            return false;
        if (taken == 0)
            return true;
        if (map == std::numeric_limits<qint16>::max())
            return false;
        ++map;
    }
}

void PartNumberEdits::create()
{
    CurrentParams& cur = w.cur;
    const db::AccountValues& a = w.account;
    db::Database* database = w.database;

    w.lockFIELDS();
    w.displayBTN(1);
    w.txtStatus->setText(u"Create New Part Number process"_s);
    w.txtStatus->repaint();

    const QString answer = w.dialogs->input(u"Enter New Part Number:"_s,
                                            u"Click the CANCEL button to terminate process"_s, cur.curPN);
    if (w.ended())
        return;
    if (answer.isEmpty()) {
        terminate();
        return;
    }

    // The loaded PN's own name: no query needed.
    if (answer == cur.curPN) {
        if (!tell(u"New Part Number already exists"_s, colors::red))
            return;
        w.txtStatus->setText(waiting);
        giveBack();
        return;
    }

    QString strPN = answer;
    qint16 pnCHECK = 0;
    qint16 iSKIP = 1;
    w.checkPN(strPN, pnCHECK, iSKIP, u"btnADD"_s);
    if (w.ended())
        return;
    if (pnCHECK == 0) {
        giveBack();
        return;
    }

    // A map number of its own.
    qint16 newMAP = 0;
    qint16 status = 1;
    if (!twoAttempts(w, status, [&] {
            database->SQL_readnewMAP(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.configTABLE, newMAP,
                                     status);
        }))
        return;
    if (status != 0) {
        mapsUnreadable();
        return;
    }

    // The window's values, or the defaults.
    // A creation that fails gives the PN on show back as it was, so that the next UPDATE
    // saves that PN and nothing of the new one.
    const CurrentParams shown = cur;
    const bool shownDefault = w.chkpnDEFAULT->isChecked();
    bool useCurrent = false;
    if (w.lsttestPN->currentIndex() != -1) {
        useCurrent = w.dialogs->askYesNo(u"Do you want to use the current PN parameters?"_s,
                                         u"Create New PN: Select Yes to confirm"_s);
        if (w.ended())
            return;
    } else {
        cur.curPN.clear();
    }
    if (useCurrent) {
        qint16 iERROR = 1;
        w.readcurPARAM(iERROR);
        if (w.ended())
            return;
        if (iERROR == 1) {
            giveBack();
            return;
        }
    } else {
        const bool defaults =
            w.dialogs->askYesNo(u"Do you want to use default parameters?"_s, u"Select Yes to confirm"_s);
        if (w.ended())
            return;
        if (!defaults) {
            terminate();
            return;
        }
        // A new PN from defaults gets every port of the station, whatever map was read last.
        cur.numPORTS = w.stationPorts();
        cur.defPN();
        cur.defPORT();
    }
    const auto putBack = [&] {
        if (useCurrent) {
            // The gather took the window's values as they are; only the new PN's marks go.
            cur.pnDEFAULT = shown.pnDEFAULT;
            cur.snEXTENDER = shown.snEXTENDER;
        } else {
            static_cast<db::PnValues&>(cur) = shown;
            static_cast<db::PortTable&>(cur) = shown;
        }
        w.chkpnDEFAULT->setChecked(shownDefault);
    };

    // Another operator may have taken the map since it was read: a map is never shared.
    if (!freeMap(newMAP)) {
        if (w.ended())
            return;
        putBack();
        mapsUnreadable();
        return;
    }

    // The record; a new PN is never the default PN.
    w.chkpnDEFAULT->setChecked(false);
    cur.pnDEFAULT = 0;
    cur.snEXTENDER = 0;
    database->beginSave(answer, useCurrent ? shown.curPN : QString());
    if (!twoAttempts(w, status, [&] {
            database->SQL_writenewPN(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, answer, answer,
                                     cur.snNAME, cur.pnDEFAULT, cur.snACTIVE, cur.snBARCODE, cur.snEXTENDER,
                                     cur.snFORMAT, cur.snLENGTH, cur.autoMEASURE, cur.autoTIME, cur.reqRANDR,
                                     cur.snGOOD, cur.snBAD, newMAP, status);
        }))
        return;
    if (status != 0) {
        putBack();
        if (tell(u"Unable to save new PN ["_s + answer + u"] in MySQL"_s, colors::red))
            giveBack();
        return;
    }

    // Its port rows.
    if (!twoAttempts(w, status, [&] {
            database->SQL_writenewPORTS(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.configTABLE, newMAP,
                                        cur.numPORTS, cur.mapNUM, cur.portNAME, cur.UOM, cur.unitSCALE,
                                        cur.acTIVE, cur.minSPEC, cur.maxSPEC, cur.timeDELAY, cur.numAVG,
                                        cur.mspeed, cur.Range, cur.ssON, cur.ssTOL, cur.ssMAXT, cur.ssREQD,
                                        status);
        }))
        return;
    if (status != 0) {
        // The record exists without port rows; the prior PN comes back when it is listed.
        int found = -1;
        const int listed = std::clamp<int>(cur.numPN, 0, db::pnListSlots);
        for (int k = 1; k <= listed; ++k) {
            if (cur.pnLIST[std::size_t(k)] == cur.curPN)
                found = k - 1;
        }
        if (found >= 0 && found < w.lsttestPN->count()) {
            // Selected afresh, so that the prior PN is read again even when it is still selected.
            w.selectWithoutLoad(-1);
            w.lsttestPN->setCurrentIndex(found);
            if (w.ended())
                return;
            w.txtStatus->setText(waiting);
            w.unlockFIELDS();
            w.displayBTN(0);
            w.dialogs->message(u"Error loading new PN. Loaded prior PN [ "_s + cur.curPN + u"]."_s,
                               checkConnection);
        } else {
            w.selectWithoutLoad(-1);
            w.txtStatus->setText(waiting);
            w.lockFIELDS();
            w.lsttestPN->setEnabled(true);
            w.displayBTN(0);
            w.dialogs->message(u"Error loading new Part Number"_s, checkConnection);
        }
        return;
    }

    // Complete; its status is not examined.
    if (!twoAttempts(w, status, [&] {
            database->SQL_updatePN(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, answer, answer,
                                   1, status);
        }))
        return;

    // 10, 11. The list again, and the new PN loaded from it.
    cur.forgetSelection();
    const int found = w.rereadPNlist(answer);
    if (w.ended())
        return;
    if (found >= 0) {
        w.lsttestPN->setCurrentIndex(found);
        if (w.ended())
            return;
    } else {
        // Not among the listed part numbers (the list is full): say where it went.
        w.showNoPN();
        w.txtStatus->setText(u"RESULT: PN ["_s + answer +
                             u"] was created; it is not among the listed part numbers"_s);
        setBackColor(w.txtStatus, colors::yellow);
        w.displayBTN(0);
        return;
    }
    giveBack();
}

void PartNumberEdits::remove()
{
    CurrentParams& cur = w.cur;
    const db::AccountValues& a = w.account;
    db::Database* database = w.database;

    w.lockFIELDS();
    w.displayBTN(1);

    if (cur.pnLOADED == 0) {
        if (!tell(u"No part number was loaded - process terminated"_s, colors::yellow))
            return;
        w.displayBTN(0);
        w.lsttestPN->setEnabled(true);
        w.txtStatus->setText(waiting);
        return;
    }

    // 3, 4.
    w.txtStatus->setText(u"Deleting Part Number ["_s + cur.curPN + u']');
    w.txtStatus->repaint();
    const bool yes = w.dialogs->askYesNo(u"DELETE the current PN ["_s + cur.curPN + u"] from the dB?"_s,
                                         u"Select Yes to confirm"_s);
    if (w.ended())
        return;
    if (!yes) {
        if (!tell(u"Delete Part Number process was cancelled"_s, colors::yellow))
            return;
        w.unlockFIELDS();
        w.displayBTN(0);
        w.txtStatus->setText(waiting);
        return;
    }

    // The record, then the port rows of the map it held. Only a record that was really
    // deleted gives a map: a missing or undeletable record leaves every port row alone.
    const QString deleted = cur.curPN;
    constexpr qint16 noMap = std::numeric_limits<qint16>::min();
    qint16 mapPORT = noMap;
    qint16 status = 1;
    qint16 portStatus = 1;
    if (!twoAttempts(w, status, [&] {
            database->SQL_delPN(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, deleted, mapPORT,
                                status);
        }))
        return;
    if (status == 0 && mapPORT != noMap && !twoAttempts(w, portStatus, [&] {
            database->SQL_delPORTS(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.configTABLE, mapPORT,
                                   portStatus);
        }))
        return;

    // 6, 7. The list again where the PN stood, nothing selected, the fields blank.
    cur.forgetSelection();
    w.rereadPNlist(deleted);
    if (w.ended())
        return;
    w.blankFIELDS();
    w.unlockFIELDS();
    w.displayBTN(0);

    bool told = true;
    if (status != 0)
        told = tell(u"ERROR: Part number ["_s + deleted + u"] could not be deleted - "_s + checkConnection,
                    colors::red);
    else if (mapPORT == noMap)
        told = tell(u"ERROR: Part number ["_s + deleted + u"] was not found - nothing was deleted"_s,
                    colors::red);
    else if (portStatus != 0)
        told = tell(u"ERROR: Part number ["_s + deleted + u"] was deleted, its port rows were not - "_s +
                        checkConnection,
                    colors::red);
    else
        told = tell(u"Part number ["_s + deleted + u"] was deleted"_s, colors::green);
    if (told)
        w.txtStatus->setText(waiting);
}

} // namespace zelmar
