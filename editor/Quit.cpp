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

    // Steps 1 to 3; any failure jumps straight to step 4.
    try {
        // 1. Hand an open spreadsheet application over to the operator.
        if (cur.xlOPEN == 1 && spreadsheetHandOver)
            spreadsheetHandOver();
        // 2. The timers stop.
        Timer1->stop();
        Timer6->stop();
        // 3. The editor window goes.
        close();
    } catch (...) {
    }

    // 4. The goodbye box, then 5. the end of the program.
    try {
        if (dialogs)
            dialogs->message(u"Thank you for using Zelmar\u2122"_s, u"Quarrix Technologies, LLC"_s);
    } catch (...) {
    }
    if (programEnd)
        programEnd->end();
}

} // namespace zelmar
