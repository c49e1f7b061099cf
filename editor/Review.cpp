// REVIEW checks the part number on show; UPDATE MySQL checks it and saves it: the default
// marks, the record, the port rows and, last, the completion mark.
#include "Review.h"

#include "Colors.h"
#include "Database.h"
#include "Flash.h"
#include "FormMainTestMenu.h"
#include "PortPass.h"
#include "SerialNumberRules.h"
#include "TwoAttempts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {
const QString waiting = u"Waiting for User Input"_s;
} // namespace

void Review::restore()
{
    w.txtStatus->setText(waiting);
    w.unlockFIELDS();
    w.displayBTN(0);
}

bool Review::passes(Kind kind, QString& strPN)
{
    CurrentParams& cur = w.cur;
    const bool update = kind == Kind::Update;
    const QString wFROM = update ? u"btnUPDATE"_s : u"btnREVIEW"_s;
    bool Cancel = false;

    // Opening.
    if (!update) {
        w.txtStatus->setText(u"Reviewing PN parameters for validity"_s);
        w.txtStatus->repaint();
    }
    w.lockFIELDS();
    w.displayBTN(1);

    if (cur.pnLOADED == 0) {
        w.txtStatus->setText(u"ERROR: No part number is loaded"_s);
        flash(w.pause, {w.txtGOODSN}, {{colors::yellow, 3.0}}, colors::white);
        if (w.ended())
            return false;
        w.txtStatus->setText(waiting);
        w.lsttestPN->setEnabled(true);
        w.displayBTN(0);
        return false;
    }
    if (update) {
        w.txtStatus->setText(u"Reviewing Test PN params for validity"_s);
        w.txtStatus->repaint();
    }

    // The part-number text. A new name is also looked up, so that a rename
    // through the save can never give two records the same part number.
    strPN = w.lsttestPN->currentText();
    qint16 pnCHECK = 0;
    qint16 iSKIP = 1;
    w.checkPN(strPN, pnCHECK, iSKIP, wFROM);
    if (w.ended())
        return false;
    if (pnCHECK == 0) {
        if (update)
            w.txtStatus->setText(waiting);
        w.unlockFIELDS();
        w.displayBTN(0);
        return false;
    }

    // The serial-number format.
    if (w.chksnBARCODE->isChecked()) {
        w.txtsnFORMAT_Validate(Cancel);
        if (w.ended())
            return false;
        if (w.txtsnNAME->text().isEmpty()) {
            restore();
            return false;
        }
        w.ConvertSerialNumber(w.txtsnFORMAT->text());
    }

    // The R and R serial numbers.
    if (w.chkRANDR->isChecked()) {
        const auto refuse = [&](std::initializer_list<QWidget*> fields, const QString& message) {
            w.txtStatus->setText(message);
            flash(w.pause, fields, {{colors::red, 3.0}}, colors::white);
            if (!w.ended())
                restore();
            return false;
        };
        if (!serialNumberMatches(w.txtGOODSN->text(), cur.snPATTERN))
            return refuse({w.txtGOODSN}, u"ERROR: Good R&R SN is an incorrect format"_s);
        if (!serialNumberMatches(w.txtBADSN->text(), cur.snPATTERN))
            return refuse({w.txtBADSN}, u"ERROR: Bad R&R SN is an incorrect format"_s);
        if (w.txtGOODSN->text() == w.txtBADSN->text())
            return refuse({w.txtBADSN, w.txtGOODSN}, u"ERR: Good and Bad R&R SN are the same"_s);
    }

    if (w.chkautoMEASURE->isChecked()) {
        w.txtautoTIME_Validate(Cancel);
        if (w.ended())
            return false;
    }

    // A port must be on show.
    if (w.lstPORT->currentIndex() == -1 && cur.numPORTS > 0) {
        w.txtStatus->setText(u"ERR: Use the Create New PN"_s);
        flash(w.pause, {w.lsttestPN}, {{colors::red, 3.0}}, colors::white);
        if (w.ended())
            return false;
        w.txtStatus->setText(u"Wait for User Input"_s);
        w.unlockFIELDS();
        w.displayBTN(0);
        return false;
    }

    // Every port passes through the fields and their checks.
    if (!checkEveryPort(w, wFROM, [&](int port) {
            const QString i = QString::number(port);
            if (update) {
                w.txtStatus->setText(u"ERROR PORT ["_s + i + u"] Config: Max Spec < Min Spec"_s);
                flash(w.pause, {w.txtMinSpec, w.txtMaxSpec}, {{colors::red, 1.5}, {colors::yellow, 1.5}},
                      colors::white);
            } else {
                w.txtStatus->setText(u"ERROR PORT ("_s + i + u") Config: Max Spec <= Min Spec"_s);
                flash(w.pause, {w.txtMinSpec, w.txtMaxSpec}, {{colors::red, 3.0}}, colors::white);
            }
        })) {
        if (!w.ended())
            restore();
        return false;
    }

    // An active PN needs a port.
    if (w.chksnACTIVE->isChecked() && cur.numPORTS < 1) {
        w.txtStatus->setText(u"ERROR: No ACTIVE ports in the Port Config"_s);
        flash(w.pause, {w.chkACTIVE}, {{colors::red, 1.0}, {colors::yellow, 1.0}, {colors::white, 1.0}},
              colors::buttonFace);
        if (!w.ended())
            restore();
        return false;
    }
    return true;
}

void Review::review()
{
    QString strPN;
    if (!passes(Kind::Review, strPN))
        return;
    flash(w.pause, {w.txtStatus}, {{colors::green, 2.5}}, colors::white,
          {.box = w.txtStatus, .text = u"SUCCESS: Current PN Configuration is VALID"_s});
    if (w.ended())
        return;
    restore();
}

void Review::writeFailure()
{
    w.txtStatus->setText(waiting);
    w.dialogs->message(u"Error encountered when update PN parameters"_s,
                       u"Check Internet connection and try again"_s);
    if (w.ended())
        return;
    w.unlockFIELDS();
    w.displayBTN(0);
}

void Review::update()
{
    QString strPN;
    if (!passes(Kind::Update, strPN))
        return;
    writeAll(strPN);
}

void Review::writeAll(const QString& checkedPN)
{
    CurrentParams& cur = w.cur;
    const db::AccountValues& a = w.account;
    db::Database* database = w.database;

    // The window into the PN values (snEXTENDER keeps the value loaded); the ports
    // are already in the arrays.
    w.gatherPnValues();

    QString strPN = checkedPN;
    qint16 mapPORT = 0;
    qint16 status = 0;
    database->beginSave(cur.curPN);
    // 2, 3. The default marks of every PN go first, when this one takes the mark.
    if (cur.pnDEFAULT == 1 && !twoAttempts(w, status, [&] {
            database->SQL_writePNdef(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, status);
        }))
        return;
    // The record; snVALID becomes 0 until the last write.
    if (status == 0 && !twoAttempts(w, status, [&] {
            database->SQL_writeinfo(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, cur.curPN,
                                    strPN, cur.snNAME, cur.pnDEFAULT, cur.snACTIVE, cur.snBARCODE,
                                    cur.snEXTENDER, cur.snFORMAT, cur.snLENGTH, cur.autoMEASURE, cur.autoTIME,
                                    cur.reqRANDR, cur.snGOOD, cur.snBAD, mapPORT, status);
        }))
        return;
    // A rename through the save: the record holds the new name from here on, so the PN and its
    // list entry follow it at once; a later save then finds it even when a write below fails.
    if (status == 0 && cur.curPN != strPN) {
        cur.curPN = strPN;
        if (cur.curPNidx >= 0 && cur.curPNidx < w.lsttestPN->count()) {
            w.lsttestPN->setItemText(cur.curPNidx, strPN);
            w.selectWithoutLoad(cur.curPNidx);
        }
    }
    // The port rows of its map.
    if (status == 0 && !twoAttempts(w, status, [&] {
            database->SQL_writePORTinfo(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.configTABLE, mapPORT,
                                        cur.numPORTS, cur.mapNUM, cur.portNAME, cur.UOM, cur.unitSCALE,
                                        cur.acTIVE, cur.minSPEC, cur.maxSPEC, cur.timeDELAY, cur.numAVG,
                                        cur.mspeed, cur.Range, cur.ssON, cur.ssTOL, cur.ssMAXT, cur.ssREQD,
                                        status);
        }))
        return;
    if (status != 0) {
        writeFailure();
        return;
    }

    // The completion mark.
    if (!twoAttempts(w, status, [&] {
            database->SQL_updatePN(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, cur.curPN,
                                   cur.curPN, 1, status);
        }))
        return;

    if (status != 0) {
        flash(w.pause, {w.txtStatus}, {{colors::red, 3.0}}, colors::white,
              {.box = w.txtStatus,
               .text = u"ERROR: PN update failed - Check Internet connection and try again"_s});
    } else {
        flash(w.pause, {w.txtStatus}, {{colors::green, 3.0}}, colors::white,
              {.box = w.txtStatus, .text = u"SUCCESS: PN Configuration was updated"_s});
    }
    if (w.ended())
        return;
    restore();
}

} // namespace zelmar
