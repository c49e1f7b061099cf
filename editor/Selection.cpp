// Picking a part number and a port, renaming the loaded part number, and gathering the
// window's values.
#include "Selection.h"

#include "BusyCursor.h"
#include "Colors.h"
#include "Database.h"
#include "Flash.h"
#include "FormMainTestMenu.h"
#include "Numbers.h"
#include "PortPass.h"
#include "PortStorage.h"
#include "SerialNumberRules.h"
#include "TwoAttempts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScopeGuard>
#include <QSignalBlocker>

#include <cmath>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

const QString waiting = u"Waiting for User Input"_s;

void showStatus(QLineEdit* status, const QString& text, bool repaint = true)
{
    status->setText(text);
    if (repaint)
        status->repaint();
}

// An option field of a loaded PN: enabled and white, or disabled in the menu-bar colour.
void showOption(QWidget* field, bool on)
{
    field->setEnabled(on);
    field->setVisible(true);
    setBackColor(field, on ? colors::white : colors::menuBar);
}

} // namespace

bool Selection::ended() const
{
    return w.ended();
}

void Selection::selectWithoutLoad(int index)
{
    // The flag is cleared again whether or not the selection changed, so that it can
    // never swallow a later pick of the operator.
    w.cur.skipCLICK = 1;
    w.lsttestPN->setCurrentIndex(index);
    w.cur.skipCLICK = 0;
}

void Selection::showNoPN()
{
    CurrentParams& cur = w.cur;
    cur.curPNidx = -1;
    cur.pnLOADED = 0;
    if (w.lsttestPN->currentIndex() != -1)
        selectWithoutLoad(-1);
    w.lsttestPN->setEditText(QString());
    w.lockFIELDS();
    w.lsttestPN->setEnabled(true);
    w.displayBTN(0);
    w.blankFIELDS();
    showStatus(w.txtStatus, waiting);
}

// ---- Loading ----

void Selection::load()
{
    CurrentParams& cur = w.cur;
    // A selection made by the program itself.
    if (cur.skipCLICK != 0) {
        cur.skipCLICK = 0;
        return;
    }
    // Another pick while a load is still on show: the list goes back to the PN being loaded.
    if (m_loading) {
        const QSignalBlocker blocker(w.lsttestPN);
        w.lsttestPN->setCurrentIndex(cur.curPNidx);
        return;
    }
    // Nothing selected.
    if (w.lsttestPN->currentIndex() == -1) {
        showNoPN();
        return;
    }
    m_loading = true;
    const auto done = qScopeGuard([this] { m_loading = false; });
    const BusyCursor busy;

    w.displayBTN(1);
    cur.curPN = w.lsttestPN->currentText();
    cur.curPNidx = qint16(w.lsttestPN->currentIndex());
    showStatus(w.txtStatus, u"Loading parameters for PN "_s + cur.curPN);

    // The record.
    const db::AccountValues& a = w.account;
    qint16 mapPORT = 0;
    qint16 iERROR = 1;
    if (w.database)
        w.database->SQL_readPNinfo(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, cur.curPN,
                                   cur.snNAME, cur.pnDEFAULT, mapPORT, cur.snACTIVE, cur.snBARCODE,
                                   cur.snEXTENDER, cur.snFORMAT, cur.snLENGTH, cur.autoMEASURE, cur.autoTIME,
                                   cur.reqRANDR, cur.snGOOD, cur.snBAD, iERROR);
    if (ended())
        return;
    if (iERROR != 0) {
        loadFailed();
        return;
    }

    cur.pnLOADED = 1;
    w.txtsnNAME->setText(cur.snNAME);
    w.chkpnDEFAULT->setChecked(cur.pnDEFAULT == 1);
    w.chksnACTIVE->setChecked(cur.snACTIVE == 1);

    // Serial-number scanning, or the PN with its counter.
    if (cur.snBARCODE == 1) {
        w.chksnBARCODE->setChecked(true);
        showOption(w.txtsnFORMAT, true);
        w.txtsnFORMAT->setText(cur.snFORMAT);
        w.lblsnLEN->setText(QString::number(cur.snLENGTH));
    } else {
        w.chksnBARCODE->setChecked(false);
        w.txtsnFORMAT->setEnabled(false);
        w.txtsnFORMAT->setVisible(true);
        if (cur.snEXTENDER >= 0 && cur.snEXTENDER <= 99999999)
            w.txtsnFORMAT->setText(cur.curPN + u' ' + u"%1"_s.arg(cur.snEXTENDER, 8, 10, QChar(u'0')));
        setBackColor(w.txtsnFORMAT, colors::menuBar);
        w.lblsnLEN->setText(QString::number(w.txtsnFORMAT->text().size()));
    }
    m_formatShown = w.txtsnFORMAT->text();
    m_lengthShown = w.lblsnLEN->text();

    // Automatic measurement.
    w.chkautoMEASURE->setChecked(cur.autoMEASURE == 1);
    showOption(w.txtautoTIME, cur.autoMEASURE == 1);
    w.txtautoTIME->setText(QLocale().toString(double(cur.autoTIME), 'f', 0));

    if (cur.snBARCODE == 1)
        w.ConvertSerialNumber(cur.snFORMAT);

    // R and R serial numbers.
    w.chkRANDR->setChecked(cur.reqRANDR == 1);
    if (ended()) // its click may have refused the tick with a pause
        return;
    w.txtGOODSN->setText(cur.snGOOD);
    w.txtBADSN->setText(cur.snBAD);
    showOption(w.txtGOODSN, cur.reqRANDR == 1);
    showOption(w.txtBADSN, cur.reqRANDR == 1);
    w.lblGOODSN->setVisible(true);
    w.lblBADSN->setVisible(true);

    // The ports. Each load starts from the station's port count, so that a short
    // map read earlier does not hide ports of this one.
    qint16 ports = w.stationPorts();
    using PortRead = db::Database::PortRead;
    const PortRead portsRead =
        !w.database ? PortRead::Failed
                    : w.database->SQL_readPORTinfo(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW,
                                                   a.configTABLE, mapPORT, ports, cur.mapNUM, cur.portNAME,
                                                   cur.UOM, cur.unitSCALE, cur.acTIVE, cur.minSPEC,
                                                   cur.maxSPEC, cur.timeDELAY, cur.numAVG, cur.mspeed,
                                                   cur.Range, cur.ssON, cur.ssTOL, cur.ssMAXT, cur.ssREQD);
    if (ended())
        return;
    if (portsRead == PortRead::Failed) {
        // The port slots now mix this PN's rows with another PN's values: shown, the next
        // UPDATE would write them into this PN's rows. The PN stays unloaded instead.
        loadFailed();
        return;
    }
    cur.numPORTS = qint16(usablePorts(ports));
    // A record without port rows (a creation that failed half-way) shows the defaults, as
    // the box has said: nothing of another PN, and the operator can still delete it.
    if (portsRead == PortRead::NoRows)
        cur.defPORT();
    cur.curPORT = -1;
    w.setupPORTS(0, 0, u"lsttestPN_Click"_s);

    flash(w.pause, {w.txtStatus}, {{colors::green, 2.5}}, colors::white,
          {.box = w.txtStatus, .text = u"Part Number ["_s + cur.curPN + u"] was loaded"_s});
    if (ended())
        return;
    showStatus(w.txtStatus, waiting);
    w.unlockFIELDS();
    w.displayBTN(0);
}

void Selection::loadFailed()
{
    // Back to the no-PN state, then say so.
    const QString pn = w.cur.curPN;
    showNoPN();
    w.dialogs->message(u"ERROR: Unable to read reqd parameters for PN ["_s + pn + u']',
                       u"Note: Please try again and/or correct PN data in DB"_s);
}

// ---- Renaming ----

void Selection::putOldNameBack()
{
    CurrentParams& cur = w.cur;
    w.lsttestPN->setItemText(cur.curPNidx, cur.curPN);
    selectWithoutLoad(cur.curPNidx);
}

void Selection::endStep()
{
    showStatus(w.txtStatus, waiting);
    w.cur.renameSTEP = 0;
}

void Selection::leaveList()
{
    CurrentParams& cur = w.cur;
    // A rename is under way, its question included.
    if (cur.renameSTEP != 0)
        return;
    // A name typed while a load is on show is not taken: the rename's reload would be refused
    // as a second pick, leaving a renamed record and a dead window. The list shows the PN
    // being loaded again.
    if (m_loading) {
        if (cur.curPNidx >= 0 && cur.curPNidx < w.lsttestPN->count())
            putOldNameBack();
        return;
    }
    const QString t = w.lsttestPN->currentText();
    // An entry is selected: nothing was typed over it.
    if (w.lsttestPN->currentIndex() != -1) {
        endStep();
        return;
    }
    const bool loaded = cur.pnLOADED == 1 && cur.curPNidx != -1 && cur.curPNidx < w.lsttestPN->count();

    // A new name typed over the loaded PN.
    if (!t.isEmpty() && loaded && t != cur.curPN) {
        cur.renameSTEP = -1;
        showStatus(w.txtStatus, u"Updating from ["_s + cur.curPN + u"] to ["_s + t + u']');
        const bool yes = w.dialogs->askYesNo(u"Update PN from ["_s + cur.curPN + u"] to ["_s + t + u"]?"_s,
                                             u"Verify Change in Part Number"_s);
        if (ended())
            return;
        if (!yes) {
            cur.renameSTEP = 0;
            // The old name is selected again before the pause: an UPDATE clicked meanwhile
            // would save the record under the text in the list.
            putOldNameBack();
            flash(w.pause, {w.txtStatus}, {{colors::yellow, 3.5}}, colors::white,
                  {.box = w.txtStatus, .text = u"RESULT: PN restored to ["_s + cur.curPN + u']'});
            if (ended())
                return;
            endStep();
            return;
        }

        // 3.4 The new name's rules, and that it is not a PN already.
        cur.renameSTEP = 1;
        w.lockFIELDS();
        w.displayBTN(1);
        QString strPN = t;
        qint16 pnCHECK = 0;
        qint16 iSKIP = 1;
        w.checkPN(strPN, pnCHECK, iSKIP, u"lsttestPN"_s);
        if (ended())
            return;
        const auto giveBack = [&] {
            putOldNameBack();
            showStatus(w.txtStatus, waiting);
            w.unlockFIELDS();
            w.displayBTN(0);
            cur.renameSTEP = 0;
        };
        if (pnCHECK == 0) {
            giveBack();
            return;
        }

        // 3.5 Two attempts.
        cur.renameSTEP = 2;
        const db::AccountValues& a = w.account;
        qint16 iERROR = 1;
        if (!twoAttempts(w, iERROR, [&] {
                w.database->SQL_updatePN(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, cur.curPN,
                                         t, 1, iERROR);
            }))
            return;
        if (iERROR != 0) {
            w.dialogs->message(u"ERROR: Unable to update PN string in DB. Reverting to prior PN"_s,
                               u"Check Internet connection and try again"_s);
            if (ended())
                return;
            giveBack();
            return;
        }

        cur.renameSTEP = 3;
        flash(
            w.pause, {w.txtStatus}, {{colors::green, 1.5}}, colors::white,
            {.box = w.txtStatus, .text = u"PN string updated from ["_s + cur.curPN + u"] to ["_s + t + u']'});
        if (ended())
            return;

        cur.renameSTEP = 4;
        cur.forgetSelection();
        cur.curPN = t;

        // 3.8, 3.9 The list again, with the new name in it.
        const int found = w.rereadPNlist(t);
        cur.renameSTEP = 7;
        if (ended())
            return;
        if (found >= 0) {
            // 3.10 Loads the PN under its new name.
            w.lsttestPN->setCurrentIndex(found);
            if (ended())
                return;
            endStep();
            return;
        }
        // The new name is not among the listed part numbers (the list is full): the
        // editor goes back to the no-PN state and says where the PN went.
        showNoPN();
        w.txtStatus->setText(u"RESULT: PN renamed to ["_s + t +
                             u"]; it is not among the listed part numbers"_s);
        setBackColor(w.txtStatus, colors::yellow);
        cur.renameSTEP = 0;
        return;
    }

    // The text erased over a loaded PN: the PN stays loaded.
    if (t.isEmpty() && loaded) {
        if (!cur.curPN.isEmpty())
            putOldNameBack();
        else
            selectWithoutLoad(-1);
        cur.renameSTEP = 0;
        endStep();
        return;
    }

    // No PN loaded, or its own name typed again.
    if (t == cur.curPN && loaded)
        putOldNameBack();
    else
        selectWithoutLoad(-1);
    cur.renameSTEP = 0;
    endStep();
}

// ---- Ports and scale ----

void Selection::switchPort()
{
    CurrentParams& cur = w.cur;
    cur.newPORT = qint16(w.lstPORT->currentIndex());
    if (cur.newPORT == cur.curPORT)
        return;
    if (cur.curPORT == -1) {
        cur.curPORT = cur.newPORT;
        return;
    }
    // The port left keeps its fields; the chosen one is shown.
    storePort(w, cur.curPORT);
    w.setupPORTS(cur.newPORT, 1, u"lstPORT_click"_s);
}

void Selection::changeScale()
{
    CurrentParams& cur = w.cur;
    const int s = w.lstsCALE->currentIndex();
    if (cur.curSCALE == -1 || s == -1) {
        // Nothing is expressed yet, or the list was emptied: nothing to re-express.
        cur.curSCALE = qint16(s);
        return;
    }
    if (cur.curSCALE == s)
        return;
    const auto reexpress = [&](QLineEdit* field, NumericField kind) {
        float value = rescale(shownNumber(field, kind), cur.curSCALE, s);
        if (!std::isfinite(value))
            value = float(shownNumber(nullptr, kind));
        field->setText(formatSpec(double(value)));
    };
    reexpress(w.txtMinSpec, NumericField::txtMinSpec);
    reexpress(w.txtMaxSpec, NumericField::txtMaxSpec);
    cur.curSCALE = qint16(s);
}

// ---- Gathering ----

void Selection::readcurPARAM(qint16& iERROR)
{
    CurrentParams& cur = w.cur;
    iERROR = 1;
    bool Cancel = false;

    if (w.chksnBARCODE->isChecked()) {
        w.txtsnFORMAT_Validate(Cancel);
        if (ended())
            return;
        if (w.txtsnNAME->text().isEmpty())
            return;
        w.ConvertSerialNumber(w.txtsnFORMAT->text());
    }

    if (w.chkRANDR->isChecked()) {
        const auto refuse = [&](std::initializer_list<QWidget*> fields, const QString& message) {
            w.txtStatus->setText(message);
            flash(w.pause, fields, {{colors::red, 4.0}}, colors::white);
        };
        if (!serialNumberMatches(w.txtGOODSN->text(), cur.snPATTERN)) {
            refuse({w.txtGOODSN}, u"ERROR: Good R&R SN is an incorrect format"_s);
            return;
        }
        if (!serialNumberMatches(w.txtBADSN->text(), cur.snPATTERN)) {
            refuse({w.txtBADSN}, u"ERROR: Bad R&R SN is an incorrect format"_s);
            return;
        }
        if (w.txtGOODSN->text() == w.txtBADSN->text()) {
            refuse({w.txtBADSN, w.txtGOODSN}, u"ERR: Good and Bad R&R SN are the same"_s);
            return;
        }
    }

    if (w.chkautoMEASURE->isChecked()) {
        w.txtautoTIME_Validate(Cancel);
        if (ended())
            return;
    }

    // Every port passes through the fields and their checks.
    if (!checkEveryPort(w, u"readcurPARAM"_s, [&](int k) {
            w.txtStatus->setText(u"ERROR PORT ("_s + QString::number(k) +
                                 u") Config: Max Spec <= Min Spec"_s);
            flash(w.pause, {w.txtMinSpec, w.txtMaxSpec}, {{colors::red, 4.0}}, colors::white);
        }))
        return;

    // The PN values.
    gatherPnValues();
    cur.pnDEFAULT = 0;
    cur.snEXTENDER = 0;

    iERROR = 0;
}

void Selection::gatherPnValues()
{
    CurrentParams& cur = w.cur;
    cur.snNAME = w.txtsnNAME->text();
    cur.snACTIVE = w.chksnACTIVE->isChecked() ? 1 : 0;
    cur.pnDEFAULT = w.chkpnDEFAULT->isChecked() ? 1 : 0;
    cur.snBARCODE = w.chksnBARCODE->isChecked() ? 1 : 0;
    if (w.chksnBARCODE->isChecked() || w.txtsnFORMAT->text() != m_formatShown ||
        w.lblsnLEN->text() != m_lengthShown) {
        cur.snFORMAT = w.txtsnFORMAT->text();
        bool whole = false;
        const int length = w.lblsnLEN->text().toInt(&whole);
        cur.snLENGTH = whole && length >= 0 && length <= 32767 ? qint16(length) : qint16(cur.snFORMAT.size());
    }
    cur.autoMEASURE = w.chkautoMEASURE->isChecked() ? 1 : 0;
    // Shown without decimals: 20.5 s shows 21, which is no edit.
    const double autoTIME = shownNumber(w.txtautoTIME, NumericField::txtautoTIME);
    if (!stillShows(autoTIME, QLocale().toString(double(cur.autoTIME), 'f', 0)))
        cur.autoTIME = float(autoTIME);
    cur.reqRANDR = w.chkRANDR->isChecked() ? 1 : 0;
    cur.snGOOD = w.txtGOODSN->text();
    cur.snBAD = w.txtBADSN->text();
}

} // namespace zelmar
