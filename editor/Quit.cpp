// Quitting.
#include "FormMainTestMenu.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace zelmar {

void FormMainTestMenu::btnQUIT_Click()
{
    // The program ends once: a second call (the one-hour timer firing while the
    // goodbye box is up, a second click) does nothing.
    if (m_quitStarted)
        return;
    m_quitStarted = true;

    // Whatever fails while letting go of the spreadsheet, the timers or the window, the goodbye
    // and the end still follow.
    try {
        // An open spreadsheet application stays with the operator.
        if (cur.xlOPEN == 1 && spreadsheetHandOver)
            spreadsheetHandOver();
        Timer1->stop();
        Timer6->stop();
        close();
    } catch (...) {
    }

    // The goodbye box, then the end of the program.
    try {
        if (dialogs)
            dialogs->message(u"Thank you for using Zelmar\u2122"_s, u"Quarrix Technologies, LLC"_s);
    } catch (...) {
    }
    if (programEnd)
        programEnd->end();
}

} // namespace zelmar
