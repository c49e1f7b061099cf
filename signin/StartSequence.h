#pragma once

#include "Account.h"
#include "Interaction.h"
#include "SigninValues.h"

#include <QObject>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace zelmar {
class FormMainTestMenu;
class RunningCopyListener;
namespace db {
class Database;
}
} // namespace zelmar

namespace zelmar::signin {

class frmSplash;

// Where the operator accounts and the sign-in records live. The program's own
// values are built in (builtInCentralServer); tests point it elsewhere.
struct CentralServer
{
    QString server;       // "host" or "host:port"
    QString database;     // tARV
    QString accountTable; // Customers
    QString auditTable;   // CustLogin
    QString user;
    QString password;
};

// The central server of this build: its address is a build setting, the rest are constants.
CentralServer builtInCentralServer();

// The load of the main window: the sign-in loop on the central database, the
// version gate, the sign-in record, the part-number list and the editor's
// first state. It drives the editor window and the sign-in window; it never
// shows the editor before a sign-in has succeeded.
class StartSequence : public QObject
{
    Q_OBJECT

public:
    // Nothing is owned; everything must outlive the sequence. `listener`, when
    // given, starts listening for later copies once the editor is shown.
    StartSequence(FormMainTestMenu& window, frmSplash& splash, ProgramValues& values, db::Database& database,
                  CentralAccounts& accounts, Dialogs& dialogs, ProgramEnd& programEnd,
                  const CentralServer& central = builtInCentralServer(),
                  RunningCopyListener* listener = nullptr);

    // The load sequence. Leaves the editor ready but not shown,
    // or the program ended (see ProgramEnd::hasEnded).
    void Form_Load();

    // Runs once per program: Form_Load, then the editor shows, its close button
    // runs QUIT and the running-copy listener starts. Later calls do nothing.
    void start();
    bool started() const { return m_started; }

    // The sign-in window's Enter hook (frmSplash::setShowMainWindow): start()
    // runs as soon as the sign-in window's key handling is over.
    std::function<void()> showMainWindowHook();

    // Values of the run.
    float progVERSION = 0.0f; // major.minor as a decimal number
    QString progVER;          // version and system text of the sign-in record
    QString macLIST;          // adapter listing of the sign-in record
    qint16 loginOK = 0;       // Login of the last sign-in record

    // Where the adapter listing comes from; GetMACadr in the program.
    std::function<QString()> adapterListing;

    // ---- The texts and numbers of the sequence ----
    // The decimal number written major & "." & minor: minor 10 of major 1 is 1.1.
    static float versionNumber(int major, int minor);
    // "V1.2.0 Op System = " & osNAME, cut to its first 50 characters when longer.
    static QString progVERtext(const QString& osNAME);
    // The listing, cut to its first 150 characters when it is longer than 200.
    static QString macLISTtext(const QString& listing);
    // The three-line upgrade message of the version gate.
    static QString upgradeText(float progVERSION, float ver_min2);
    static QString upgradeTitle();
    static QString notFoundText(const QString& UserCode);
    static QString notAuthorisedText(const QString& UserCode, const QString& Operator_Initials);
    static QString reenterTitle();
    static QString unsupportedText();
    static QString unsupportedTitle(const QString& osNAME);
    static QString goodbyeText();
    static QString goodbyeTitle();
    // The status-bar notice for a part-number table longer than the list, of `all` part numbers.
    static QString unlistedNotice(qsizetype all);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool signIn();
    bool askForNewCode();
    void writeLogin(qint16 Login, const QString& operatorName, const QString& companyName);
    void endProgram(ExitStatus status = ExitStatus::Normal);

    FormMainTestMenu& m_window;
    frmSplash& m_splash;
    ProgramValues& m_values;
    db::Database& m_database;
    CentralAccounts& m_accounts;
    Dialogs& m_dialogs;
    ProgramEnd& m_programEnd;
    CentralServer m_central;
    RunningCopyListener* m_listener;
    bool m_started = false;
};

} // namespace zelmar::signin
