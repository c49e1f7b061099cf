#include "PortPass.h"

#include "FormMainTestMenu.h"
#include "PortStorage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace zelmar {

void storePort(FormMainTestMenu& w, int slot)
{
    CurrentParams& cur = w.cur;
    if (slot < 0 || slot >= db::portSlots)
        return;
    const auto k = std::size_t(slot);
    cur.acTIVE[k] = w.chkACTIVE->isChecked() ? 1 : 0;
    cur.portNAME[k] = w.txtPort->text();
    cur.curSCALE = qint16(w.lstsCALE->currentIndex());
    cur.unitSCALE[k] = qint16(cur.curSCALE + 1);
    storeLimit(shownNumber(w.txtMinSpec, NumericField::txtMinSpec), cur.unitSCALE[k], cur.minSPEC[k]);
    storeLimit(shownNumber(w.txtMaxSpec, NumericField::txtMaxSpec), cur.unitSCALE[k], cur.maxSPEC[k]);
    cur.numAVG[k] = storedAverages(shownNumber(w.txtAVG, NumericField::txtAVG));
    cur.mspeed[k] = qint16(w.lstSPEED->currentIndex() + 1);
    cur.Range[k] = qint16(w.lstRANGE->currentIndex());
    cur.timeDELAY[k] = storedDelay(shownNumber(w.txtTDLY, NumericField::txtTDLY));
    cur.ssON[k] = storedSwitch(w.chkssON->isChecked(), cur.ssON[k]);
    // The tolerance shows as a rounded percentage: left as shown, it keeps the value held.
    const bool toleranceHeld = w.shownPort.port == slot && w.txtssTOL->text() == w.shownPort.tolerance &&
                               cur.ssTOL[k] >= 0.01f && cur.ssTOL[k] <= 1.0f;
    if (!toleranceHeld)
        cur.ssTOL[k] = storedTolerance(shownNumber(w.txtssTOL, NumericField::txtssTOL));
    cur.ssMAXT[k] = storedMaxWait(shownNumber(w.txtssMAXT, NumericField::txtssMAXT));
    cur.ssREQD[k] = storedSwitch(w.chkssREQD->isChecked(), cur.ssREQD[k]);
}

namespace {

// Runs the checks of one port's fields; false when the program ended during one of them.
bool runChecks(FormMainTestMenu& w, std::initializer_list<void (FormMainTestMenu::*)(bool&)> checks)
{
    bool Cancel = false;
    for (const auto check : checks) {
        (w.*check)(Cancel);
        if (w.ended())
            return false;
    }
    return true;
}

} // namespace

bool checkEveryPort(FormMainTestMenu& w, const QString& wFROM, const std::function<void(int)>& refuseRange)
{
    CurrentParams& cur = w.cur;
    const int saved = w.lstPORT->currentIndex();
    // Kept before anything shows another port: a station of one port never switches.
    storePort(w, cur.curPORT);
    for (int k = 1; k <= cur.numPORTS; ++k) {
        // A change of selection runs the port switch, which keeps the port left and shows port k.
        w.lstPORT->setCurrentIndex(k - 1);
        if (!w.chksnACTIVE->isChecked())
            continue;
        w.txtMinSpec_LostFocus();
        if (w.ended())
            return false;
        w.txtMaxSpec_LostFocus();
        if (w.ended())
            return false;
        // Compared as the single floats they are stored as.
        const auto minimum = float(shownNumber(w.txtMinSpec, NumericField::txtMinSpec));
        const auto maximum = float(shownNumber(w.txtMaxSpec, NumericField::txtMaxSpec));
        if (!(maximum > minimum)) {
            refuseRange(k);
            return false;
        }
        if (!runChecks(w, {&FormMainTestMenu::txtAVG_Validate, &FormMainTestMenu::txtTDLY_Validate}))
            return false;
        if (w.chkssON->isChecked() &&
            !runChecks(w, {&FormMainTestMenu::txtssTOL_Validate, &FormMainTestMenu::txtssMAXT_Validate}))
            return false;
        // Kept with what the checks corrected, also when no other port is shown after it.
        storePort(w, cur.curPORT);
    }
    w.lstPORT->setCurrentIndex(saved);
    w.setupPORTS(saved, 1, wFROM);
    return true;
}

} // namespace zelmar
