// The two timers of the main window: the status-bar blink and the one-hour limit.
#include "Colors.h"
#include "Database.h"
#include "FormMainTestMenu.h"

#include <QLineEdit>
#include <QTimer>

namespace zelmar {

void FormMainTestMenu::Timer1_Timer()
{
    // Only the neutral colours blink; a result's green or red stays until
    // something sets white or yellow again.
    const quint32 color = backColor(txtStatus);
    if (color == colors::white)
        setBackColor(txtStatus, colors::yellow);
    else if (color == colors::yellow)
        setBackColor(txtStatus, colors::white);
}

void FormMainTestMenu::Timer6_Timer()
{
    ++quitTICKS;
    if (quitTICKS < quitLIMIT)
        return;
    // A database call under way lets timers in while it waits, in the middle of a handler that
    // goes on when it returns: the end comes as soon as the call has returned.
    if (quitARMED == 1 && database && database->timeouts().waiter && database->timeouts().waiter->waiting()) {
        quitTICKS = qint16(quitLIMIT - 1);
        QTimer::singleShot(100, this, &FormMainTestMenu::Timer6_Timer);
        return;
    }
    quitTICKS = 0;
    // Exactly what the QUIT button runs; nothing the operator does resets the count.
    if (quitARMED == 1)
        btnQUIT_Click();
}

} // namespace zelmar
