#include "TabOrder.h"

#include "FormMainTestMenu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace zelmar {

void setReadingTabOrder(FormMainTestMenu& w)
{
    // The status bar only shows: it takes the focus by a click, not by Tab.
    const std::initializer_list<QWidget*> order{
        // Part-number area
        w.lsttestPN, w.txtsnNAME, w.chksnACTIVE, w.chkpnDEFAULT, w.chksnBARCODE, w.chkRANDR, w.txtsnFORMAT,
        w.chkautoMEASURE, w.txtautoTIME, w.txtGOODSN, w.txtBADSN,
        // Port area
        w.lstPORT, w.chkACTIVE, w.txtPort, w.txtMinSpec, w.txtMaxSpec, w.lstsCALE, w.lstuNITS, w.lstSPEED,
        w.txtAVG, w.lstRANGE, w.txtTDLY, w.chkssON, w.txtssTOL, w.txtssMAXT, w.chkssREQD,
        // Command buttons
        w.btnREVIEW, w.btnUPDATE, w.btnDELETE, w.btnEXPORT, w.btnADD, w.btnQUIT};
    QWidget* previous = nullptr;
    for (QWidget* control : order) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

} // namespace zelmar
