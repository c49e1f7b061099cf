// The start of a run: sign-in window, sign-in loop, version gate, sign-in
// records and the editor's first state, on real central and customer databases.
#include "Account.h"
#include "BuildInfo.h"
#include "BusyCursor.h"
#include "Captions.h"
#include "Colors.h"
#include "Database.h"
#include "EventLoopPause.h"
#include "FormMainTestMenu.h"
#include "RunningCopy.h"
#include "SigninFixtures.h"
#include "StartSequence.h"
#include "frmSplash.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zelmar;
using signin::StartSequence;
using test::AccountRow;

namespace {

// The editor with its shows counted.
class WatchedWindow : public FormMainTestMenu
{
public:
    using FormMainTestMenu::FormMainTestMenu;
    int shows = 0;

protected:
    void showEvent(QShowEvent* event) override
    {
        ++shows;
        FormMainTestMenu::showEvent(event);
    }
};

// What the operator does each time the sign-in window asks again during the
// loop: type the next code and press Enter, or close the window when no code
// is left. Before each answer the test may look at the state of that moment.
class SigninScript : public QObject
{
public:
    explicit SigninScript(signin::frmSplash& splash)
        : m_splash(splash)
    {
        connect(&m_splash, &signin::frmSplash::codeRequested, this,
                [this] { QTimer::singleShot(0, this, [this] { answer(); }); });
    }
    QStringList answers;
    std::function<void()> onReturn;
    int returns = 0;

private:
    void answer()
    {
        ++returns;
        if (onReturn)
            onReturn();
        if (answers.isEmpty()) {
            m_splash.close();
            return;
        }
        QTest::keyClicks(m_splash.txtUserCode, answers.takeFirst());
        QTest::keyClick(m_splash.txtUserCode, Qt::Key_Return);
    }
    signin::frmSplash& m_splash;
};

// Stops the test when the start did not come to an end.
#define ENTER_CODE(code, ...)                                                                                \
    do {                                                                                                     \
        enterCode(code __VA_OPT__(, ) __VA_ARGS__);                                                          \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)

const QString listing = u"1 Adapter(s):\r\n\r\n[0] eth0\r\n\t00-1A-2B-3C-4D-5E\r\n"_s;
const QString xpVersion = u"V1.2.0 Op System = Windows XP"_s;
const QString reenter = u"Please reenter your User Code."_s;
const QString goodbye = u"Thank you for using Zelmar™"_s;

QVariantList failedRecord(const QString& code)
{
    return {0, code, u"N/A"_s, u"Zelmar"_s, u"N/A"_s, listing, xpVersion};
}

} // namespace

class TestStartSequence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void wholeStart();
    void passingStarts_data();
    void passingStarts();
    void startsEndingBeforeTheEditor_data();
    void startsEndingBeforeTheEditor();
    void retriesKeepValuesOnlyWhenNothingIsFound();
    void refusedAccounts_data();
    void refusedAccounts();
    void recordCuts_data();
    void recordCuts();
    void statusAfterStart_data();
    void statusAfterStart();
    void blink_data();
    void blink();
    void oneHourQuit();
    void closingTheEditorQuitsOnce_data();
    void closingTheEditorQuitsOnce();

private:
    std::unique_ptr<test::TestDatabase> m_central;
    std::unique_ptr<test::TestDatabase> m_customer;
    test::ScriptedDialogs m_dialogs;
    test::RecordingProgramEnd m_end;
    test::FakeInternet m_internet;
    EventLoopPause m_pause{0};
    test::FakeHost m_host;
    signin::ProgramValues m_values;
    std::unique_ptr<db::Database> m_database;
    std::unique_ptr<signin::CentralAccounts> m_accounts;
    std::unique_ptr<RunningCopies> m_copies;
    std::unique_ptr<RunningCopyListener> m_listener;
    std::unique_ptr<WatchedWindow> m_window;
    std::unique_ptr<signin::frmSplash> m_splash;
    std::unique_ptr<StartSequence> m_sequence;
    std::unique_ptr<SigninScript> m_script;

    void build(const QString& centralServer = QString());
    // An account whose customer database is the customer test database.
    void addAccount(AccountRow a);
    void addPartNumbers(const QStringList& names);
    // Loads and shows the sign-in window, types the code, presses Enter and
    // waits until the editor is shown or the program has ended.
    void enterCode(const QString& code, Qt::Key key = Qt::Key_Return);
    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < m_window->lsttestPN->count(); ++i)
            entries << m_window->lsttestPN->itemText(i);
        return entries;
    }
    void expectReady();
    void expectEndedWith(const QString& text, const QString& title);
};

void TestStartSequence::initTestCase()
{
    m_central = std::make_unique<test::TestDatabase>(QStringList{u"central.sql"_s});
    QVERIFY2(m_central->ok(), qPrintable(m_central->error()));
    m_customer = std::make_unique<test::TestDatabase>(QStringList{u"customer.sql"_s});
    QVERIFY2(m_customer->ok(), qPrintable(m_customer->error()));
}

void TestStartSequence::init()
{
    QVERIFY(m_central->exec(u"DELETE FROM Customers"_s));
    QVERIFY(m_central->exec(u"DELETE FROM CustLogin"_s));
    QVERIFY(m_customer->exec(u"DELETE FROM snPN"_s));
    m_host.value = test::windowsFacts(2, 5, 1); // Windows XP
    m_values = {};
    m_dialogs = {};
    m_end = {};
    m_internet = {};
}

void TestStartSequence::build(const QString& centralServer)
{
    m_database = std::make_unique<db::Database>(&m_dialogs);
    m_accounts = std::make_unique<signin::CentralAccounts>(*m_database, m_dialogs, m_end, m_internet);
    const QString scope = test::privateScope();
    m_copies = std::make_unique<RunningCopies>(scope);
    m_listener = std::make_unique<RunningCopyListener>(scope);
    m_window = std::make_unique<WatchedWindow>(&m_dialogs, &m_pause, &m_end, m_database.get());
    m_splash = std::make_unique<signin::frmSplash>(m_values, m_host, *m_copies, m_end);
    const test::ServerInfo& s = m_central->server();
    m_sequence = std::make_unique<StartSequence>(
        *m_window, *m_splash, m_values, *m_database, *m_accounts, m_dialogs, m_end,
        signin::CentralServer{centralServer.isEmpty() ? s.serverValue() : centralServer, m_central->name(),
                              u"Customers"_s, u"CustLogin"_s, s.user, s.password},
        m_listener.get());
    m_sequence->adapterListing = [] {
        return listing;
    };
    m_splash->setShowMainWindow(m_sequence->showMainWindowHook());
    m_script = std::make_unique<SigninScript>(*m_splash);
}

void TestStartSequence::cleanup()
{
    m_script.reset();
    m_sequence.reset();
    m_splash.reset();
    m_window.reset();
    m_listener.reset();
    m_copies.reset();
    m_accounts.reset();
    m_database.reset();
}

void TestStartSequence::addAccount(AccountRow a)
{
    a.ipPORT = m_customer->server().serverValue();
    if (a.custDB.isEmpty() || a.custDB == AccountRow().custDB)
        a.custDB = m_customer->name();
    a.custUSER = m_customer->server().user;
    a.custUSER_PW = m_customer->server().password;
    test::addAccount(*m_central, a);
}

void TestStartSequence::addPartNumbers(const QStringList& names)
{
    for (int i = 0; i < names.size(); ++i)
        QVERIFY(m_customer->exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES (?, ?)"_s, {names[i], i + 1}));
}

void TestStartSequence::enterCode(const QString& code, Qt::Key key)
{
    m_splash->Form_Load();
    QCOMPARE(m_end.ends, 0);
    m_splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_splash.get()));
    QTest::keyClicks(m_splash->txtUserCode, code);
    QTest::keyClick(m_splash->txtUserCode, key);
    QTRY_VERIFY_WITH_TIMEOUT(m_sequence->started() && (m_window->isVisible() || m_end.hasEnded()), 60000);
}

void TestStartSequence::expectEndedWith(const QString& text, const QString& title)
{
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, text);
    QCOMPARE(m_dialogs.shown[0].title, title);
    QCOMPARE(m_end.ends, 1);
    QCOMPARE(m_window->shows, 0);
    QVERIFY(!m_splash->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
}

// The editor as a successful start leaves it.
void TestStartSequence::expectReady()
{
    FormMainTestMenu& w = *m_window;
    QVERIFY(w.isVisible());
    QVERIFY(!m_splash->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(w.windowTitle(), u"Zelmar™: V1.2.0"_s);

    // Nothing selected, no PN loaded, no handler of the list ran.
    QCOMPARE(w.lsttestPN->currentIndex(), -1);
    QCOMPARE(w.cur.curPNidx, qint16(-1));
    QCOMPARE(w.cur.curPORT, qint16(-1));
    QCOMPARE(w.cur.pnLOADED, qint16(0));
    QCOMPARE(w.txtsnNAME->text(), u"Part Number Description"_s);

    // Only the list, CREATE NEW PN and QUIT can be used; the status bar only shows.
    QStringList usable;
    for (QWidget* c : w.findChildren<QWidget*>())
        if (c->isEnabled() && c->parentWidget() != w.lsttestPN &&
            (qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c)))
            usable << c->objectName();
    usable.sort();
    QCOMPARE(usable, (QStringList{u"btnADD"_s, u"btnQUIT"_s, u"lsttestPN"_s, u"txtStatus"_s}));

    // The option-dependent fields show the switched-off colour.
    for (QWidget* field :
         std::initializer_list<QWidget*>{w.txtsnFORMAT, w.chkRANDR, w.txtGOODSN, w.txtBADSN, w.txtssTOL,
                                         w.txtssMAXT, w.chkssREQD, w.txtautoTIME})
        QCOMPARE(backColor(field), colors::menuBar);

    // The blink and the hour run; the window is centred on its screen.
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 2500);
    QVERIFY(w.Timer6->isActive());
    QCOMPARE(w.quitTICKS, qint16(0));
    const QRect area = w.screen()->geometry();
    QCOMPARE(w.pos(), QPoint(area.x() + area.width() / 2 - w.width() / 2,
                             area.y() + area.height() / 2 - w.height() / 2));
}

void TestStartSequence::wholeStart()
{
    addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s, .company = u"Northfield Harness Works"_s});
    // Stored out of order; sorted by character code: digits, upper case, lower case.
    addPartNumbers({u"b"_s, u"HN-2040"_s, u"a2"_s, u"B"_s, u"a10"_s, u"9X"_s});
    build();
    // While the servers answer: the sign-in window in its signing-in state, the busy cursor, no editor yet.
    QList<bool> whileSigningIn;
    m_sequence->adapterListing = [&] {
        whileSigningIn = {m_splash->isVisible(), !m_splash->txtUserCode->isEnabled(), busyCursorShown(),
                          !m_window->isVisible()};
        return listing;
    };
    ENTER_CODE(u"DEMO1"_s);
    QCOMPARE(whileSigningIn, (QList<bool>{true, true, true, true}));
    QCOMPARE(m_end.exitStatus(), ExitStatus::Normal);
    QVERIFY(m_dialogs.shown.isEmpty());
    QCOMPARE(m_script->returns, 0);
    expectReady();
    QCOMPARE(listEntries(), (QStringList{u"9X"_s, u"B"_s, u"HN-2040"_s, u"a10"_s, u"a2"_s, u"b"_s}));
    QCOMPARE(m_window->txtStatus->text(), u"Waiting for User Input"_s);
    QCOMPARE(backColor(m_window->txtStatus), colors::white);
    QCOMPARE(m_window->account.custDB, m_customer->name());
    QCOMPARE(test::loginRecords(*m_central),
             (QList<QVariantList>{
                 {1, u"DEMO1"_s, u"Northfield Harness Works"_s, u"Zelmar"_s, u"JD"_s, listing, xpVersion}}));

    // A second start now finds this copy.
    qint16 found = 0;
    m_copies->check(signin::mainWindowCaption(), found);
    QCOMPARE(found, qint16(1));
    // Entering a code again (the sign-in window's hook) starts nothing new.
    m_sequence->showMainWindowHook()();
    QTest::qWait(20);
    QCOMPARE(test::loginRecords(*m_central).size(), 1);
}

void TestStartSequence::passingStarts_data()
{
    QTest::addColumn<SystemFacts>("facts");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("osNAME");
    const SystemFacts xp = test::windowsFacts(2, 5, 1);
    const QString driver351 = u"DRIVER={MySQL ODBC 3.51 Driver};"_s;
    const QString driver51 = u"DRIVER={MySQL ODBC 5.1 Driver};"_s;
    QTest::newRow("xp runs with 3.51") << xp << 1.0 << driver351 << u"Windows XP"_s;
    QTest::newRow("win7 runs with 5.1")
        << test::windowsFacts(2, 6, 1) << 1.0 << driver51 << u"Windows 7/Server 2008 R2"_s;
    QTest::newRow("named system runs with 5.1") << test::namedSystem(u"Debian GNU/Linux 12 (bookworm)"_s)
                                                << 1.0 << driver51 << u"Debian GNU/Linux 12 (bookworm)"_s;
    QTest::newRow("minimum version equal passes") << xp << 1.2 << driver351 << u"Windows XP"_s;
    QTest::newRow("minimum version 1.19 passes") << xp << 1.19 << driver351 << u"Windows XP"_s;
}

void TestStartSequence::passingStarts()
{
    QFETCH(SystemFacts, facts);
    QFETCH(double, minimum);
    QFETCH(QString, driver);
    QFETCH(QString, osNAME);
    // The version is the decimal major.minor: minor 10 reads as 1.1, below 1.2.
    QCOMPARE(StartSequence::versionNumber(1, 10), 1.1f);
    QCOMPARE(StartSequence::versionNumber(1, 2), 1.2f);
    addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s, .ver_min2 = minimum});
    m_host.value = facts;
    build();
    ENTER_CODE(u"DEMO1"_s);
    QCOMPARE(m_database->odbcDRIVER, driver);
    QVERIFY(m_dialogs.shown.isEmpty());
    QVERIFY(m_window->isVisible());
    QCOMPARE(test::loginRecords(*m_central).value(0).value(6).toString(), u"V1.2.0 Op System = "_s + osNAME);
}

void TestStartSequence::startsEndingBeforeTheEditor_data()
{
    QTest::addColumn<SystemFacts>("facts");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("centralReachable");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<ExitStatus>("status");
    QTest::addColumn<Qt::Key>("key");
    const SystemFacts xp = test::windowsFacts(2, 5, 1);
    const Qt::Key enter = Qt::Key_Return;
    const QString unsupported = u"Zelmar™ only runs on Windows XP/Windows 7/Windows 8"_s;
    const QString thanks = u"Thank you for using the Zelmar™ program."_s;
    const QString maker = u"Quarrix Technologies, LLC"_s;
    const QString upgrade = u"Please upgrade your Zelmar™ Software\r\nYour version was V1.2\r\n"
                            u"Required minimum version is V"_s;
    const QString update = u"Obtain the Update at "_s + QString::fromUtf8(build::makerUrl);
    QTest::newRow("class 0 refused") << test::windowsFacts(2, 5, 0) << u"DEMO1"_s << true << unsupported
                                     << u"Running Windows 2000"_s << ExitStatus::UnsupportedSystem << enter;
    QTest::newRow("unknown system refused")
        << SystemFacts{SystemFacts::Kind::WindowsCallFailed, {}, {}} << u"DEMO1"_s << true << unsupported
        << u"Running Unable to Identify Windows Op Version"_s << ExitStatus::UnsupportedSystem << enter;
    // An account with the empty code exists: the empty code still says goodbye.
    QTest::newRow("empty code says goodbye")
        << xp << QString() << true << thanks << maker << ExitStatus::Normal << enter;
    QTest::newRow("Escape is the empty code, whatever was typed")
        << xp << u"DEMO1"_s << true << thanks << maker << ExitStatus::Normal << Qt::Key_Escape;
    // The lookup runs first: its connection failure is what the operator sees.
    QTest::newRow("empty code: lookup failure comes first")
        << xp << QString() << false
        << u"Error: MySQL ODBC driver not installed or Network Port 3306 Blocked"_s
        << u"Error Code 01: See Tarvik™ User's Guide"_s << ExitStatus::ErrorCode01 << enter;
    QTest::newRow("minimum version 1.3 fails")
        << xp << u"NEED13"_s << true << upgrade + u"1.3"_s << update << ExitStatus::UpgradeRequired << enter;
    QTest::newRow("minimum 1.21 fails, shown with one decimal")
        << xp << u"NEED121"_s << true << upgrade + u"1.2"_s << update << ExitStatus::UpgradeRequired << enter;
}

void TestStartSequence::startsEndingBeforeTheEditor()
{
    QFETCH(SystemFacts, facts);
    QFETCH(QString, code);
    QFETCH(bool, centralReachable);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(ExitStatus, status);
    QFETCH(Qt::Key, key);
    addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s});
    addAccount({.code = QString(), .initials = u"EE"_s});
    addAccount({.code = u"NEED13"_s, .initials = u"N3"_s, .ver_min2 = 1.3});
    addAccount({.code = u"NEED121"_s, .initials = u"N2"_s, .ver_min2 = 1.21});
    m_host.value = facts;
    build(centralReachable ? QString() : u"127.0.0.1:"_s + QString::number(test::deadPort()));
    // The failing connection: the sign-in window is still up, busy, and says so.
    QList<bool> whileFailing;
    m_internet.during = [&] {
        whileFailing = {m_splash->isVisible(),
                        m_splash->lblWarning->text() != signin::frmSplash::warningText(), busyCursorShown()};
    };
    ENTER_CODE(code, key);
    QCOMPARE(m_script->returns, 0);
    expectEndedWith(text, title);
    QCOMPARE(m_end.exitStatus(), status);
    QCOMPARE(m_values.UserCode, key == Qt::Key_Escape ? QString() : code);
    if (!centralReachable)
        QCOMPARE(whileFailing, (QList<bool>{true, true, true}));
    QVERIFY(test::loginRecords(*m_central).isEmpty());
}

void TestStartSequence::retriesKeepValuesOnlyWhenNothingIsFound()
{
    addAccount({.code = u"GUEST1"_s,
                .initials = u"GU"_s,
                .company = u"Guest Co"_s,
                .tARV = 0,
                .numPORTS = 4,
                .custDB = u"guestdb"_s,
                .snTABLE = u"guestSN"_s});
    addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s, .company = u"Northfield"_s, .ver_min2 = 1.2});
    addPartNumbers({u"P2"_s, u"P1"_s});
    build();
    QList<db::AccountValues> atReturn;
    QList<int> recordsAtReturn;
    QStringList fieldAtReturn;
    QList<int> showsAtReturn;
    m_script->answers = {u"NOPE"_s, u"DEMO1"_s};
    m_script->onReturn = [&] {
        atReturn << m_window->account;
        recordsAtReturn << test::loginRecords(*m_central).size();
        fieldAtReturn << m_splash->txtUserCode->text();
        showsAtReturn << m_window->shows;
    };
    ENTER_CODE(u"GUEST1"_s);

    // The sign-in window came back twice, empty, with the editor never shown.
    QCOMPARE(m_script->returns, 2);
    QCOMPARE(fieldAtReturn, (QStringList{QString(), QString()}));
    QCOMPARE(showsAtReturn, (QList<int>{0, 0}));
    QCOMPARE(recordsAtReturn, (QList<int>{1, 2}));
    // After the unauthorised account: its values, initials emptied for the loop;
    // a code that finds nothing then leaves every value as it was.
    QCOMPARE(atReturn[0].Company, u"Guest Co"_s);
    QCOMPARE(atReturn[0].snTABLE, u"guestSN"_s);
    QCOMPARE(atReturn[0].Operator_Initials, QString());
    QVERIFY(atReturn[1] == atReturn[0]);

    // The account that signs in replaces them all.
    const db::AccountValues& a = m_window->account;
    QCOMPARE(a.Operator_Initials, u"JD"_s);
    QCOMPARE(a.Company, u"Northfield"_s);
    QCOMPARE(a.custDB, m_customer->name());
    QCOMPARE(a.snTABLE, u"snPN"_s);
    QCOMPARE(a.ver_min2, 1.2f);
    expectReady();
    QCOMPARE(listEntries(), (QStringList{u"P1"_s, u"P2"_s}));

    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown[0].text, u"The User entered (GUEST1/GU) is not an authorized Operator."_s);
    QCOMPARE(m_dialogs.shown[1].text, u"The User Code entered (NOPE) was not found."_s);
    QCOMPARE(m_dialogs.shown[1].title, reenter);
    QCOMPARE(
        test::loginRecords(*m_central),
        (QList<QVariantList>{failedRecord(u"GUEST1"_s),
                             failedRecord(u"NOPE"_s),
                             {1, u"DEMO1"_s, u"Northfield"_s, u"Zelmar"_s, u"JD"_s, listing, xpVersion}}));
}

void TestStartSequence::refusedAccounts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("initials");
    QTest::addColumn<int>("tARV"); // -1: no such account
    QTest::addColumn<QString>("message");
    QTest::newRow("not authorised") << u"X1"_s << u"AB"_s << 0
                                    << u"The User entered (X1/AB) is not an authorized Operator."_s;
    QTest::newRow("authorised without initials is not authorised")
        << u"X2"_s << QString() << 1 << u"The User entered (X2/) is not an authorized Operator."_s;
    QTest::newRow("not found") << u"ZZ9"_s << QString() << -1
                               << u"The User Code entered (ZZ9) was not found."_s;
    QTest::newRow("code taken as typed, blanks and all")
        << u" X1 "_s << QString() << -1 << u"The User Code entered ( X1 ) was not found."_s;
}

void TestStartSequence::refusedAccounts()
{
    QFETCH(QString, code);
    QFETCH(QString, initials);
    QFETCH(int, tARV);
    QFETCH(QString, message);
    if (tARV >= 0)
        addAccount({.code = code, .initials = initials, .tARV = tARV});
    if (code == u" X1 "_s)
        addAccount({.code = u"X1"_s, .initials = u"AB"_s});
    build();
    // The operator gives up: closes the sign-in window when it comes back,
    // which ends the run with no further record and no goodbye.
    ENTER_CODE(code);
    QCOMPARE(m_script->returns, 1);
    expectEndedWith(message, reenter);
    QCOMPARE(test::loginRecords(*m_central), (QList<QVariantList>{failedRecord(code)}));
    QCOMPARE(m_sequence->loginOK, qint16(0));
    QCOMPARE(m_end.exitStatus(), ExitStatus::Normal);
}

void TestStartSequence::recordCuts_data()
{
    QTest::addColumn<int>("osNameLength");
    QTest::addColumn<int>("listingLength");
    QTest::addColumn<int>("storedProgVer");
    QTest::addColumn<int>("storedListing");
    QTest::addColumn<bool>("signInFails");
    // "V1.2.0 Op System = " is 19 characters.
    QTest::newRow("progVER 50 whole") << 31 << 10 << 50 << 10 << false;
    QTest::newRow("progVER 51 cut to 50") << 32 << 10 << 50 << 10 << false;
    QTest::newRow("listing 200 whole") << 5 << 200 << 24 << 200 << false;
    QTest::newRow("listing 201 cut to 150") << 5 << 201 << 24 << 150 << false;
    QTest::newRow("failed sign-in cut alike") << 40 << 300 << 50 << 150 << true;
}

void TestStartSequence::recordCuts()
{
    QFETCH(int, osNameLength);
    QFETCH(int, listingLength);
    QFETCH(int, storedProgVer);
    QFETCH(int, storedListing);
    QFETCH(bool, signInFails);
    addAccount({.code = u"C1"_s, .initials = u"CC"_s, .tARV = signInFails ? 0 : 1});
    QString name;
    for (int i = 0; i < osNameLength; ++i)
        name += QChar(u'a' + i % 26);
    QString adapters;
    for (int i = 0; i < listingLength; ++i)
        adapters += QChar(u'0' + i % 10);
    m_host.value = test::namedSystem(name);
    build();
    m_sequence->adapterListing = [adapters] {
        return adapters;
    };
    ENTER_CODE(u"C1"_s);
    const QList<QVariantList> rows = test::loginRecords(*m_central);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toInt(), signInFails ? 0 : 1);
    QCOMPARE(rows[0][5].toString(), adapters.left(storedListing));
    QCOMPARE(rows[0][6].toString(), QString(u"V1.2.0 Op System = "_s + name).left(storedProgVer));
}

void TestStartSequence::statusAfterStart_data()
{
    QTest::addColumn<int>("partNumbers");
    QTest::addColumn<bool>("customerReachable");
    QTest::addColumn<QString>("status");
    QTest::addColumn<quint32>("color");
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("ports");
    QTest::newRow("exactly 100: all listed")
        << 100 << true << u"Waiting for User Input"_s << colors::white << 100 << 8;
    QTest::newRow("105: notice of 5 unlisted")
        << 105 << true << u"RESULT: 5 of 105 part numbers not listed (the list holds 100)"_s << colors::yellow
        << 100 << 8;
    QTest::newRow("customer database unreachable")
        << 3 << false << u"ERROR: Unable to read the part number list of no_such_db"_s << colors::red << 0
        << 8;
    QTest::newRow("unreachable, 60 ports: the port notice is kept")
        << 3 << false
        << u"ERROR: Unable to read the part number list of no_such_db; Station has 60 ports; only the first "
           u"49 "
           u"can be edited"_s
        << colors::red << 0 << 60;
}

void TestStartSequence::statusAfterStart()
{
    QFETCH(int, partNumbers);
    QFETCH(bool, customerReachable);
    QFETCH(QString, status);
    QFETCH(quint32, color);
    QFETCH(int, listed);
    QFETCH(int, ports);
    addAccount({.code = u"S1"_s,
                .initials = u"SS"_s,
                .numPORTS = ports,
                .custDB = customerReachable ? QString() : u"no_such_db"_s});
    // Stored in descending order: the first 100 read are the highest names.
    QStringList names;
    for (int i = partNumbers; i >= 1; --i)
        names << u"PN-%1"_s.arg(i, 3, 10, QChar(u'0'));
    addPartNumbers(names);
    build();
    ENTER_CODE(u"S1"_s);
    QVERIFY(m_dialogs.shown.isEmpty());
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->txtStatus->text(), status);
    QCOMPARE(backColor(m_window->txtStatus), color);
    QStringList expected = names.mid(0, listed);
    std::sort(expected.begin(), expected.end());
    QCOMPARE(listEntries(), expected);
}

void TestStartSequence::blink_data()
{
    QTest::addColumn<quint32>("before");
    QTest::addColumn<quint32>("after");
    QTest::newRow("white to yellow") << colors::white << colors::yellow;
    QTest::newRow("yellow to white") << colors::yellow << colors::white;
    QTest::newRow("green stays") << colors::green << colors::green;
    QTest::newRow("red stays") << colors::red << colors::red;
    QTest::newRow("menu bar stays") << colors::menuBar << colors::menuBar;
}

void TestStartSequence::blink()
{
    QFETCH(quint32, before);
    QFETCH(quint32, after);
    build();
    setBackColor(m_window->txtStatus, before);
    m_window->txtStatus->setText(u"some text"_s);
    m_window->Timer1_Timer();
    QCOMPARE(backColor(m_window->txtStatus), after);
    m_window->Timer1_Timer();
    QCOMPARE(backColor(m_window->txtStatus), before);
    QCOMPARE(m_window->txtStatus->text(), u"some text"_s);
}

void TestStartSequence::oneHourQuit()
{
    addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s});
    addAccount({.code = u"GUEST1"_s, .initials = u"GU"_s, .tARV = 0});
    build();
    // A window that was never loaded does not quit by itself; its ticks do not count.
    for (int i = 0; i < 720; ++i)
        m_window->Timer6_Timer();
    QVERIFY(m_dialogs.shown.isEmpty());
    // Nor do the ticks while the sign-in window is shown again after a refusal.
    m_script->answers = {u"DEMO1"_s};
    m_script->onReturn = [this] {
        for (int i = 0; i < 400; ++i)
            m_window->Timer6_Timer();
    };
    ENTER_CODE(u"GUEST1"_s);
    m_dialogs.shown.clear();
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->Timer6->interval(), 10000);

    for (int i = 1; i < 360; ++i)
        m_window->Timer6_Timer();
    QVERIFY(m_dialogs.shown.isEmpty());
    QCOMPARE(m_end.ends, 0);
    QVERIFY(m_window->isVisible());
    // The 360th tick runs QUIT as the button does, once.
    m_window->Timer6_Timer();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, goodbye);
    QCOMPARE(m_dialogs.shown[0].title, u"Quarrix Technologies, LLC"_s);
    QCOMPARE(m_end.ends, 1);
    QVERIFY(!m_window->isVisible());
    QVERIFY(!m_window->Timer6->isActive());
    for (int i = 0; i < 360; ++i)
        m_window->Timer6_Timer();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_end.ends, 1);
}

void TestStartSequence::closingTheEditorQuitsOnce_data()
{
    QTest::addColumn<bool>("byQuitButton");
    QTest::newRow("window close runs QUIT") << false;
    QTest::newRow("QUIT's own close does not run it again") << true;
}

void TestStartSequence::closingTheEditorQuitsOnce()
{
    QFETCH(bool, byQuitButton);
    addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s});
    build();
    ENTER_CODE(u"DEMO1"_s);
    QVERIFY(m_window->isVisible());
    if (byQuitButton)
        QTest::mouseClick(m_window->btnQUIT, Qt::LeftButton);
    else
        m_window->close();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, goodbye);
    QCOMPARE(m_end.ends, 1);
    QCOMPARE(m_end.exitStatus(), ExitStatus::Normal);
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestStartSequence)
#include "tst_startsequence.moc"
