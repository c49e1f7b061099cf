// The two timers of the main window: the status-bar blink and the one-hour limit.
#include "Colors.h"
#include "FormMainTestMenu.h"

#include <QLineEdit>

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
    quitTICKS = 0;
    // Exactly what the QUIT button runs; nothing the operator does resets the count.
    if (quitARMED == 1)
        btnQUIT_Click();
}

} // namespace zelmar
