#include "StartSequence.h"

#include "Adapters.h"
#include "BuildInfo.h"
#include "BusyCursor.h"
#include "Captions.h"
#include "Colors.h"
#include "ComeForward.h"
#include "Database.h"
#include "FormMainTestMenu.h"
#include "RunningCopy.h"
#include "frmSplash.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;

namespace zelmar::signin {

CentralServer builtInCentralServer()
{
    return {QString::fromUtf8(build::centralServer),
            u"tARV"_s,
            u"Customers"_s,
            u"CustLogin"_s,
            u"admin_tarv"_s,
            u"kqz4093175862"_s};
}

StartSequence::StartSequence(FormMainTestMenu& window, frmSplash& splash, ProgramValues& values,
                             db::Database& database, CentralAccounts& accounts, Dialogs& dialogs,
                             ProgramEnd& programEnd, const CentralServer& central,
                             RunningCopyListener* listener)
    : m_window(window)
    , m_splash(splash)
    , m_values(values)
    , m_database(database)
    , m_accounts(accounts)
    , m_dialogs(dialogs)
    , m_programEnd(programEnd)
    , m_central(central)
    , m_listener(listener)
{
    adapterListing = [] {
        return GetMACadr();
    };
    // The sign-in window closed by the operator (it has no Cancel): the run
    // ends, without a sign-in record.
    connect(&m_splash, &QDialog::rejected, this, [this] {
        if (!m_programEnd.hasEnded())
            m_programEnd.end();
    });
}

// ---- Texts and numbers ----

float StartSequence::versionNumber(int major, int minor)
{
    // The text "1.10" reads as 1.1: the comparison is decimal, as the version
    // always was.
    const QString text = QString::number(major) + u'.' + QString::number(minor);
    return text.toFloat();
}

QString StartSequence::progVERtext(const QString& osNAME)
{
    const QString text = versionTag() + u" Op System = "_s + osNAME;
    return text.size() > 50 ? text.left(50) : text;
}

QString StartSequence::macLISTtext(const QString& listing)
{
    return listing.size() > 200 ? listing.left(150) : listing;
}

QString StartSequence::upgradeText(float progVERSION, float ver_min2)
{
    return u"Please upgrade your Zelmar™ Software"_s + u"\r\n"_s + u"Your version was V"_s +
           QString::number(double(progVERSION), 'f', 1) + u"\r\n"_s + u"Required minimum version is V"_s +
           QString::number(double(ver_min2), 'f', 1);
}

QString StartSequence::upgradeTitle()
{
    return u"Obtain the Update at "_s + QString::fromUtf8(build::makerUrl);
}

QString StartSequence::notFoundText(const QString& UserCode)
{
    return u"The User Code entered ("_s + UserCode + u") was not found."_s;
}

QString StartSequence::notAuthorisedText(const QString& UserCode, const QString& Operator_Initials)
{
    return u"The User entered ("_s + UserCode + u'/' + Operator_Initials +
           u") is not an authorized Operator."_s;
}

QString StartSequence::reenterTitle()
{
    return u"Please reenter your User Code."_s;
}

QString StartSequence::unsupportedText()
{
    return u"Zelmar™ only runs on Windows XP/Windows 7/Windows 8"_s;
}

QString StartSequence::unsupportedTitle(const QString& osNAME)
{
    return u"Running "_s + osNAME;
}

QString StartSequence::goodbyeText()
{
    return u"Thank you for using the Zelmar™ program."_s;
}

QString StartSequence::goodbyeTitle()
{
    return u"Quarrix Technologies, LLC"_s;
}

QString StartSequence::unlistedNotice(qsizetype all)
{
    return u"RESULT: %1 of %2 part numbers not listed - Ctrl+F finds any part number"_s
        .arg(all - db::pnListSlots)
        .arg(all);
}

// ---- The sequence ----

void StartSequence::endProgram(ExitStatus status)
{
    // The editor goes first; it was never shown before a sign-in succeeded.
    m_window.hide();
    m_splash.hide();
    if (status == ExitStatus::Normal) {
        if (!m_programEnd.hasEnded())
            m_programEnd.end();
    } else {
        m_programEnd.endWithError(status);
    }
}

void StartSequence::writeLogin(qint16 Login, const QString& operatorName, const QString& companyName)
{
    // One attempt; its outcome changes nothing in the start.
    const BusyCursor busy;
    qint16 result = 0;
    m_accounts.SQL_writeLOGIN(m_central.server, m_central.database, m_central.auditTable, m_central.user,
                              m_central.password, Login, m_values.UserCode, operatorName, companyName,
                              macLIST, progVER, result);
}

bool StartSequence::askForNewCode()
{
    // The editor stays hidden; the sign-in window asks again with an empty field.
    m_window.hide();
    const bool entered = m_splash.waitForCode();
    if (m_programEnd.hasEnded())
        return false;
    if (!entered) {
        endProgram();
        return false;
    }
    return true;
}

bool StartSequence::signIn()
{
    db::AccountValues& account = m_window.account;
    account.Operator_Initials.clear();
    while (account.Operator_Initials.isEmpty()) {
        // 3.1 The lookup; its own failures end the program there.
        // The sign-in window stays up in its signing-in state meanwhile.
        qint16 notFound = 1;
        {
            m_splash.setSigningIn(true);
            const BusyCursor busy;
            m_accounts.SQL_readCUSTinfo(m_values.UserCode, account, m_central.server, m_central.database,
                                        m_central.accountTable, m_central.user, m_central.password, notFound);
        }
        if (m_programEnd.hasEnded()) {
            m_splash.hide();
            return false;
        }

        progVERSION = versionNumber(build::versionMajor, build::versionMinor);

        // 3.3 An empty code is how the operator leaves: no sign-in record.
        if (m_values.UserCode.isEmpty()) {
            m_dialogs.message(goodbyeText(), goodbyeTitle());
            endProgram();
            return false;
        }

        // 3.4 Not found, or not authorised. An authorised account without
        // initials would repeat the lookup for ever: it is refused the same way.
        const bool found = notFound == 0;
        if (!found || account.tARV == 0 || account.Operator_Initials.isEmpty()) {
            progVER = progVERtext(m_values.osNAME);
            macLIST = macLISTtext(adapterListing ? adapterListing() : QString());
            loginOK = 0;
            writeLogin(loginOK, u"N/A"_s, u"N/A"_s);
            if (!found)
                m_dialogs.message(notFoundText(m_values.UserCode), reenterTitle());
            else
                m_dialogs.message(notAuthorisedText(m_values.UserCode, account.Operator_Initials),
                                  reenterTitle());
            if (m_programEnd.hasEnded())
                return false;
            account.Operator_Initials.clear();
            if (!askForNewCode())
                return false;
        }
    }
    return true;
}

void StartSequence::Form_Load()
{
    CurrentParams& cur = m_window.cur;
    db::AccountValues& account = m_window.account;

    // Start values. The hour of the run counts from the editor's first showing (the
    // status blink starts it), not while the sign-in window may be shown again.
    cur.curPORT = -1;
    cur.curSCALE = -1;
    cur.curPNidx = -1;
    cur.pnLOADED = 0;
    cur.skipCLICK = 0;
    cur.renameSTEP = 0;
    cur.xlOPEN = 0;
    cur.xlSTATUS = 0;
    m_window.quitTICKS = 0;
    m_window.quitLIMIT = 360;
    m_window.quitARMED = 0;
    m_window.Timer6->stop();

    // The driver clause by the system's class.
    switch (m_values.osSUPPORT) {
    case 1:
        m_database.odbcDRIVER = u"DRIVER={MySQL ODBC 3.51 Driver};"_s;
        break;
    case 2:
        m_database.odbcDRIVER = u"DRIVER={MySQL ODBC 5.1 Driver};"_s;
        break;
    default:
        m_database.odbcDRIVER = QString();
        m_dialogs.message(unsupportedText(), unsupportedTitle(m_values.osNAME));
        endProgram(ExitStatus::UnsupportedSystem);
        return;
    }

    // Sign-in loop.
    if (!signIn())
        return;

    // Minimum version; equal passes.
    if (account.ver_min2 > progVERSION) {
        m_dialogs.message(upgradeText(progVERSION, account.ver_min2), upgradeTitle());
        endProgram(ExitStatus::UpgradeRequired);
        return;
    }

    m_window.setWindowTitle(mainWindowCaption());

    // The sign-in record and the list read talk to both servers; the sign-in window stays up meanwhile.
    std::optional<BusyCursor> busy(std::in_place);

    // The sign-in record of the success.
    progVER = progVERtext(m_values.osNAME);
    macLIST = macLISTtext(adapterListing ? adapterListing() : QString());
    loginOK = 1;
    writeLogin(loginOK, account.Operator_Initials, account.Company);

    // Every part number, sorted; the list shows the first 100. The question for the history
    // table goes over the same connection.
    std::optional<db::ActionBudget::Scope> reads(std::in_place, m_database.budget());
    qint16 listStatus = 1;
    m_database.SQL_readPNnames(account.ipPORT, account.custDB, account.custUSER, account.custUSER_PW,
                               account.snTABLE, cur.pnNAMES, listStatus);
    const bool listUnread = listStatus != 0;
    // Whether the database keeps a change history: asked once per sign-in, and not of a
    // database that could not even give its list (the saves then try, and stay silent
    // if the table is missing).
    m_database.history = {
        m_values.UserCode, account.Operator_Initials, account.Company,
        listUnread ? db::HistoryTable::Unknown
                   : db::findHistoryTable(m_database.profile(account.ipPORT, account.custDB, account.custUSER,
                                                             account.custUSER_PW),
                                          m_database.timeouts())};
    reads.reset();
    m_window.showPNwindow(QString());
    busy.reset();

    // Centred on the screen.
    if (const QScreen* screen = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        m_window.move(area.x() + area.width() / 2 - m_window.width() / 2,
                      area.y() + area.height() / 2 - m_window.height() / 2);
    }

    // The fields show the neutral texts of the no-PN state. All boxes are
    // unchecked and no port is selected yet, so no handler runs here.
    m_window.blankFIELDS();

    // The option-dependent fields look switched off.
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_window.txtsnFORMAT, m_window.chkRANDR, m_window.txtGOODSN, m_window.txtBADSN,
             m_window.txtssTOL, m_window.txtssMAXT, m_window.chkssREQD, m_window.txtautoTIME}) {
        control->setVisible(true);
        setBackColor(control, colors::menuBar);
    }

    // Fields locked, the list open, CREATE NEW PN and QUIT only.
    m_window.lockFIELDS();
    m_window.lsttestPN->setEnabled(true);
    m_window.displayBTN(0);

    m_window.txtStatus->setText(u"Waiting for User Input"_s);
    setBackColor(m_window.txtStatus, colors::white);

    // The station's port count; a count beyond the port table is capped with a notice.
    const bool portsTaken = m_window.setnumPORTS(account.numPORTS);
    if (listUnread) {
        // The error first; the port notice, when there is one, is not lost.
        const QString prefix = u"RESULT: "_s;
        const QString shown = m_window.txtStatus->text();
        const QString notice =
            !portsTaken && shown.startsWith(prefix) ? u"; "_s + shown.mid(prefix.size()) : QString();
        m_window.txtStatus->setText(u"ERROR: Unable to read the part number list of "_s + account.custDB +
                                    notice);
        setBackColor(m_window.txtStatus, colors::red);
    } else if (cur.pnNAMES.size() > db::pnListSlots) {
        const QString shown = m_window.txtStatus->text();
        const QString notice = unlistedNotice(cur.pnNAMES.size());
        const QString prefix = u"RESULT: "_s;
        m_window.txtStatus->setText(shown.startsWith(prefix) ? shown + u"; "_s + notice.mid(prefix.size())
                                                             : notice);
        setBackColor(m_window.txtStatus, colors::yellow);
    }

    // The status blink, and the hour of the run.
    m_window.Timer1->setInterval(2500);
    m_window.Timer1->start();
    m_window.quitTICKS = 0;
    m_window.quitARMED = 1;
    m_window.Timer6->start();
}

void StartSequence::start()
{
    if (m_started)
        return;
    m_started = true;
    Form_Load();
    if (m_programEnd.hasEnded())
        return;
    // The window's close button quits as QUIT does. The sign-in window goes
    // once the editor is up, so that the screen is never blank between them.
    m_window.installEventFilter(this);
    m_window.show();
    m_splash.hide();
    m_window.raise();
    m_window.activateWindow();
    if (m_listener)
        m_listener->listen(mainWindowCaption(), comeForwardCallback(&m_window));
}

std::function<void()> StartSequence::showMainWindowHook()
{
    return [this] {
        QTimer::singleShot(0, this, &StartSequence::start);
    };
}

bool StartSequence::eventFilter(QObject* watched, QEvent* event)
{
    // QUIT runs once: the close that QUIT itself makes passes through here and
    // finds QUIT already under way.
    if (watched == &m_window && event->type() == QEvent::Close && m_window.isVisible())
        m_window.btnQUIT_Click();
    return QObject::eventFilter(watched, event);
}

} // namespace zelmar::signin
