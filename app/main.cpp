// The program: the sign-in window, then the part-number editor.
#include "Account.h"
#include "Database.h"
#include "DesktopViewer.h"
#include "EventLoopPause.h"
#include "FormMainTestMenu.h"
#include "HostSystem.h"
#include "InternetProbe.h"
#include "RunningCopy.h"
#include "SigninValues.h"
#include "StartSequence.h"
#include "WidgetDialogs.h"
#include "WorkbookSession.h"
#include "frmSplash.h"

#include <QApplication>

using namespace zelmar;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The run ends only through ProgramEnd (QUIT, the start's refusals, a
    // closed sign-in window), never because no window happens to be visible
    // between the sign-in window and the editor.
    QApplication::setQuitOnLastWindowClosed(false);

    WidgetDialogs dialogs;
    ApplicationEnd programEnd;
    EventLoopPause pause(1.0);
    HttpInternetProbe internet;
    db::Database database(&dialogs);

    signin::ProgramValues values;
    QtHostSystem host;
    RunningCopies runningCopies;
    RunningCopyListener listener;
    signin::CentralAccounts accounts(database, dialogs, programEnd, internet);

    // The exports of the run go into one workbook, shown by the desktop's spreadsheet application.
    DesktopViewer viewer;
    WorkbookSession workbook(&viewer);
    FormMainTestMenu window(&dialogs, &pause, &programEnd, &database);
    window.setExporter(&workbook);
    signin::frmSplash splash(values, host, runningCopies, programEnd);
    signin::StartSequence sequence(window, splash, values, database, accounts, dialogs, programEnd,
                                   signin::builtInCentralServer(), &listener);
    // Enter on the sign-in window: it closes, then the editor's load runs.
    splash.setShowMainWindow(sequence.showMainWindowHook());

    // The host checks; a running copy has been brought forward and this one ends.
    splash.Form_Load();
    if (programEnd.hasEnded())
        return 0;
    splash.show();
    return app.exec();
}
