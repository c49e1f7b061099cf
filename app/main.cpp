// The program: the sign-in window, then the part-number editor.
#include "Account.h"
#include "Database.h"
#include "DesktopViewer.h"
#include "EventLoopPause.h"
#include "FormMainTestMenu.h"
#include "HostSystem.h"
#include "InternetProbe.h"
#include "Logo.h"
#include "RunningCopy.h"
#include "SigninValues.h"
#include "SiteSettings.h"
#include "StartSequence.h"
#include "ThreadWaiter.h"
#include "WidgetDialogs.h"
#include "WorkbookSession.h"
#include "frmSplash.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

using namespace zelmar;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry; the installed icon, or
    // the same mark drawn here when the program runs from its build folder.
    QGuiApplication::setDesktopFileName(QStringLiteral("zelmar"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zelmar"), QIcon(makerLogo(64, QFont()))));
    // The run ends only through ProgramEnd (QUIT, the start's refusals, a
    // closed sign-in window), never because no window happens to be visible
    // between the sign-in window and the editor.
    QApplication::setQuitOnLastWindowClosed(false);

    WidgetDialogs dialogs;
    ApplicationEnd programEnd;
    EventLoopPause pause(1.0);
    HttpInternetProbe internet;
    db::Database database(&dialogs);
    // Every call that waits on a server runs off the window's thread: the windows keep painting.
    ThreadWaiter waiter(db::clientThreadStarted, db::clientThreadEnding);
    database.setWaiter(&waiter);

    signin::ProgramValues values;
    QtHostSystem host;
    RunningCopies runningCopies;
    RunningCopyListener listener;
    signin::CentralAccounts accounts(database, dialogs, programEnd, internet);

    // The central server: built in, or the site's own from its settings file.
    const signin::SiteCentralServer site = signin::siteCentralServer();

    // The exports of the run go into one workbook, shown by the desktop's spreadsheet application.
    DesktopViewer viewer;
    WorkbookSession workbook(&viewer);
    FormMainTestMenu window(&dialogs, &pause, &programEnd, &database);
    window.setExporter(&workbook);
    signin::frmSplash splash(values, host, runningCopies, programEnd);
    signin::StartSequence sequence(window, splash, values, database, accounts, dialogs, programEnd,
                                   site.central, &listener);
    // Enter on the sign-in window: the editor's load runs.
    splash.setShowMainWindow(sequence.showMainWindowHook());

    // The host checks; a running copy has been brought forward and this one ends.
    splash.Form_Load();
    if (programEnd.hasEnded())
        return int(programEnd.exitStatus());

    // An unusable site setting: said, and no server is used at all.
    const signin::SiteCaFile ca = signin::siteCaFile();
    if (!site.problem.isEmpty() || !ca.problem.isEmpty()) {
        const QString text = site.problem.isEmpty() ? signin::siteCaText(ca) : signin::siteSettingText(site);
        std::fprintf(stderr, "zelmar: %s\n", qPrintable(text));
        dialogs.message(text, signin::siteSettingTitle());
        programEnd.endWithError(ExitStatus::SiteSetting);
        return int(programEnd.exitStatus());
    }
    // With a site CA, every connection is encrypted and its server's certificate checked.
    database.caFile = ca.path;

    splash.show();
    return app.exec();
}
