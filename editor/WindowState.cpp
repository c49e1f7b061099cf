// The procedures that move the editor window between its states.
#include "FormMainTestMenu.h"

#include "Numbers.h"
#include "PortStorage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace zelmar {

void FormMainTestMenu::setupPORTS(int iPORT, int iLISTS, const QString& wFROM)
{
    Q_UNUSED(wFROM);
    const int k = iPORT;

    // The port list.
    if (iLISTS == 0) {
        QStringList ports;
        for (int p = 1; p <= usablePorts(cur.numPORTS); ++p)
            ports << QString::number(p);
        refillList(lstPORT, ports);
    }
    // Select port k; a change of selection runs lstPORT_Click.
    lstPORT->setCurrentIndex(k);
    cur.curPORT = qint16(lstPORT->currentIndex());
    if (k == -1)
        return;
    // A port that the list does not hold, or that lies beyond the 49 slots, is
    // not shown: nothing beyond slot 48 is ever read or written.
    if (k < 0 || k >= db::portSlots || k >= lstPORT->count())
        return;

    // Description.
    txtPort->setText(cur.portNAME[k]);

    // Units: the only unit is ohms.
    if (iLISTS == 0)
        refillList(lstuNITS, unitsEntries());
    lstuNITS->setCurrentIndex(0);
    if (cur.UOM[k] != 1)
        cur.UOM[k] = 1;

    // Scale; a change of selection runs lstsCALE_Click.
    if (iLISTS == 0)
        refillList(lstsCALE, scaleEntries());
    if (cur.unitSCALE[k] < 1 || cur.unitSCALE[k] > 4) {
        lstsCALE->setCurrentIndex(1);
        cur.unitSCALE[k] = 2;
    } else {
        lstsCALE->setCurrentIndex(cur.unitSCALE[k] - 1);
    }
    cur.curSCALE = qint16(lstsCALE->currentIndex());

    // Port active.
    chkACTIVE->setChecked(cur.acTIVE[k] == 1);

    // 7, 8. Min and max in the chosen scale, decimals by size, regional format.
    txtMinSpec->setText(formatSpec(double(toScale(cur.minSPEC[k], cur.unitSCALE[k] - 1))));
    txtMaxSpec->setText(formatSpec(double(toScale(cur.maxSPEC[k], cur.unitSCALE[k] - 1))));

    // Averages.
    if (cur.numAVG[k] < 1 || cur.numAVG[k] > 25) {
        txtAVG->setText(u"1"_s);
        cur.numAVG[k] = 1;
    } else {
        txtAVG->setText(QString::number(cur.numAVG[k]));
    }

    // Speed.
    if (iLISTS == 0)
        refillList(lstSPEED, speedEntries());
    if (cur.mspeed[k] < 1 || cur.mspeed[k] > 3) {
        lstSPEED->setCurrentIndex(1);
        cur.mspeed[k] = 2;
    } else {
        lstSPEED->setCurrentIndex(cur.mspeed[k] - 1);
    }

    // Delay (a value that is not a number counts as out of range).
    if (!(cur.timeDELAY[k] >= 0.0f && cur.timeDELAY[k] <= 60.0f)) {
        txtTDLY->setText(u"0.25"_s);
        cur.timeDELAY[k] = 0.25f;
    } else {
        txtTDLY->setText(shortestSingle(cur.timeDELAY[k]));
    }

    // Range.
    if (iLISTS == 0)
        refillList(lstRANGE, rangeEntries());
    if (cur.Range[k] < 0 || cur.Range[k] > 7)
        cur.Range[k] = 0;
    lstRANGE->setCurrentIndex(cur.Range[k]);

    // Steady state; chkssON's change runs chkssON_Click.
    chkssON->setChecked(switchShown(cur.ssON[k]));
    txtssTOL->setText(QLocale().toString(double(cur.ssTOL[k] * 100.0f), 'f', 1));
    txtssMAXT->setText(shortestSingle(cur.ssMAXT[k]));
    chkssREQD->setChecked(switchShown(cur.ssREQD[k]));

    shownPort = {k, txtssTOL->text()};
}

void FormMainTestMenu::lockFIELDS()
{
    if (QWidget* focus = focusWidget(); focus && focus->parentWidget() == this && focus->isEnabled())
        m_focusLocked = m_focusLocked || !qobject_cast<QPushButton*>(focus);
    for (QWidget* control : std::initializer_list<QWidget*>{
             lsttestPN,   txtsnNAME,  txtsnFORMAT, chksnACTIVE, chkpnDEFAULT, chksnBARCODE, chkautoMEASURE,
             txtautoTIME, txtGOODSN,  txtBADSN,    chkRANDR,    lstPORT,      chkACTIVE,    txtPort,
             txtMinSpec,  txtMaxSpec, lstsCALE,    lstuNITS,    lstSPEED,     txtAVG,       lstRANGE,
             txtTDLY,     chkssON,    txtssTOL,    txtssMAXT,   chkssREQD})
        control->setEnabled(false);
}

void FormMainTestMenu::unlockFIELDS()
{
    lsttestPN->setEnabled(true);
    // A keyboard user goes on from the part-number list when locking took the focus away.
    const QWidget* focus = focusWidget();
    if (m_focusLocked || !focus || !focus->isEnabled()) {
        m_focusLocked = false;
        if (isVisible())
            lsttestPN->setFocus(Qt::OtherFocusReason);
    }
    if (lsttestPN->currentIndex() == -1)
        return;
    for (QWidget* control : std::initializer_list<QWidget*>{chksnACTIVE, chkpnDEFAULT, chksnBARCODE,
                                                            chkautoMEASURE, chkRANDR, chkACTIVE, txtsnNAME})
        control->setEnabled(true);
    txtsnFORMAT->setEnabled(chksnBARCODE->isChecked());
    txtautoTIME->setEnabled(chkautoMEASURE->isChecked());
    txtGOODSN->setEnabled(chkRANDR->isChecked());
    txtBADSN->setEnabled(chkRANDR->isChecked());
    for (QWidget* control :
         std::initializer_list<QWidget*>{lstPORT, txtPort, txtMinSpec, txtMaxSpec, lstsCALE, lstuNITS,
                                         lstSPEED, txtAVG, lstRANGE, txtTDLY, chkssON})
        control->setEnabled(true);
    const bool steady = chkssON->isChecked();
    txtssTOL->setEnabled(steady);
    txtssMAXT->setEnabled(steady);
    chkssREQD->setEnabled(steady);
}

void FormMainTestMenu::blankFIELDS()
{
    // Unchecking a box runs its click handler, which greys its dependent
    // fields; a box already unchecked runs nothing. Clearing a
    // list's selection runs its handler the same way.
    txtsnNAME->setText(u"Part Number Description"_s);
    chksnACTIVE->setChecked(false);
    chkpnDEFAULT->setChecked(false);
    chksnBARCODE->setChecked(false);
    txtsnFORMAT->setText(QString());
    lblsnLEN->setText(QString::number(txtsnFORMAT->text().size()));
    chkautoMEASURE->setChecked(false);
    txtautoTIME->setText(u"20.0"_s);
    chkRANDR->setChecked(false);
    txtGOODSN->setText(QString());
    txtBADSN->setText(QString());
    lstPORT->setCurrentIndex(-1);
    chkACTIVE->setChecked(false);
    // Longer than the 15 characters that can be typed into txtPort: shown whole.
    txtPort->setText(u"Port Description"_s);
    txtMinSpec->setText(u"0.0"_s);
    txtMaxSpec->setText(u"100.0"_s);
    lstsCALE->setCurrentIndex(-1);
    lstuNITS->setCurrentIndex(-1);
    lstSPEED->setCurrentIndex(-1);
    txtAVG->setText(u"2"_s);
    lstRANGE->setCurrentIndex(-1);
    txtTDLY->setText(u"0.25"_s);
    chkssON->setChecked(false);
    txtssTOL->setText(u"5.0"_s);
    txtssMAXT->setText(u"5.0"_s);
    chkssREQD->setChecked(false);
}

void FormMainTestMenu::displayBTN(int iPROC)
{
    bool review = false, update = false, del = false, exportOn = false, add = false, quit = false;
    if (iPROC == 1) {
        // A process is running: all six off.
    } else if (cur.pnLOADED != 0) {
        review = update = del = add = quit = true;
        exportOn = cur.xlSTATUS != 2;
    } else {
        add = quit = true;
    }
    btnREVIEW->setEnabled(review);
    btnUPDATE->setEnabled(update);
    btnDELETE->setEnabled(del);
    btnEXPORT->setEnabled(exportOn);
    btnADD->setEnabled(add);
    btnQUIT->setEnabled(quit);
}

} // namespace zelmar
