// The option check boxes: each switches the fields of its option between the active
// look (enabled, white) and the inactive one (disabled, menu-bar colour).
#include "Colors.h"
#include "Flash.h"
#include "FormMainTestMenu.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace zelmar {

void FormMainTestMenu::showOptionLook(std::initializer_list<QWidget*> fields, bool active)
{
    for (QWidget* field : fields) {
        field->setVisible(true);
        field->setEnabled(active);
        setBackColor(field, active ? colors::white : colors::menuBar);
    }
}

void FormMainTestMenu::chkautoMEASURE_Click()
{
    showOptionLook({txtautoTIME}, chkautoMEASURE->isChecked());
}

void FormMainTestMenu::chkssON_Click()
{
    showOptionLook({txtssTOL, txtssMAXT, chkssREQD}, chkssON->isChecked());
}

void FormMainTestMenu::chksnBARCODE_Click()
{
    if (chksnBARCODE->isChecked()) {
        showOptionLook({txtsnFORMAT, chkRANDR}, true);
        showOptionLook({txtGOODSN, txtBADSN}, chkRANDR->isChecked());
    } else {
        // The R and R box keeps its value; it only looks switched off.
        showOptionLook({txtsnFORMAT, chkRANDR, txtGOODSN, txtBADSN}, false);
    }
}

void FormMainTestMenu::chkRANDR_Click()
{
    // R and R serial numbers need serial-number scanning.
    if (!chksnBARCODE->isChecked() && chkRANDR->isChecked()) {
        flash(pause, {chkRANDR}, {{colors::red, 4.0}}, colors::menuBar,
              {.box = txtStatus, .text = u"ERROR: SN Scanning must be enabled first"_s, .restore = true});
        if (ended())
            return;
        // Runs this handler again, which only sets the look.
        chkRANDR->setChecked(false);
    }
    showOptionLook({txtGOODSN, txtBADSN}, chkRANDR->isChecked());
}

} // namespace zelmar
