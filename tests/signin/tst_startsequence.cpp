// The start of a run: sign-in window, sign-in loop, version gate, sign-in
// records and the editor's first state, on real central and customer databases.
#include "Account.h"
#include "BuildInfo.h"
#include "Captions.h"
#include "Colors.h"
#include "Database.h"
#include "EventLoopPause.h"
#include "FormMainTestMenu.h"
#include "RunningCopy.h"
#include "StartSequence.h"
#include "TestServer.h"
#include "frmSplash.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zelmar;
using signin::StartSequence;

namespace {

class FakeHost : public HostSystem
{
public:
    SystemFacts facts() const override { return value; }
    SystemFacts value;
};

SystemFacts windowsFacts(quint32 platform, quint32 major, quint32 minor)
{
    SystemFacts f;
    f.kind = SystemFacts::Kind::Windows;
    f.windows = {platform, major, minor};
    return f;
}

SystemFacts namedSystem(const QString& name)
{
    SystemFacts f;
    f.kind = SystemFacts::Kind::OtherSystem;
    f.prettyName = name;
    return f;
}

class FakeInternet : public InternetProbe
{
public:
    void checkINTERNET(qint16& connected) override { connected = answer; }
    qint16 answer = 1;
};

// The editor with the PN list's click handler watched.
class WatchedWindow : public FormMainTestMenu
{
public:
    using FormMainTestMenu::FormMainTestMenu;
    int pnClicks = 0;
    int shows = 0;
    void lsttestPN_Click() override
    {
        ++pnClicks;
        FormMainTestMenu::lsttestPN_Click();
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        ++shows;
        FormMainTestMenu::showEvent(event);
    }
};

// What the operator does each time the sign-in window comes back during the
// loop: type the next code and press Enter, or close the window. Before each
// answer it lets the test look at the state of that moment.
class SigninScript : public QObject
{
public:
    SigninScript(signin::frmSplash& splash, StartSequence& sequence)
        : m_splash(splash)
        , m_sequence(sequence)
    {
        m_splash.installEventFilter(this);
    }
    static QString closeWindow() { return u"<close>"_s; }

    QStringList answers;            // taken from the front; the window is closed when none is left
    std::function<void()> onReturn; // runs each time the window is back, before the answer
    int returns = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_splash && event->type() == QEvent::Show && m_sequence.started())
            QTimer::singleShot(0, this, [this] { answer(); });
        return QObject::eventFilter(watched, event);
    }

private:
    void answer()
    {
        ++returns;
        if (onReturn)
            onReturn();
        const QString next = answers.isEmpty() ? closeWindow() : answers.takeFirst();
        if (next == closeWindow()) {
            m_splash.close();
            return;
        }
        QTest::keyClicks(m_splash.txtUserCode, next);
        QTest::keyClick(m_splash.txtUserCode, Qt::Key_Return);
    }
    signin::frmSplash& m_splash;
    StartSequence& m_sequence;
};

struct Account
{
    Account(const QString& code, const QString& initials, const QString& company, int tARV = 1,
            int numPORTS = 8, double ver_min2 = 1.0)
        : code(code)
        , initials(initials)
        , company(company)
        , tARV(tARV)
        , numPORTS(numPORTS)
        , ver_min2(ver_min2)
    {}
    QString code;
    QString initials;
    QString company;
    int tARV;
    int numPORTS;
    double ver_min2;
    QString custDB; // empty: the customer test database
    QString snTABLE = u"snPN"_s;
};

const QString versionText = u"Please upgrade your Zelmar™ Software\r\nYour version was V1.2\r\n"
                            u"Required minimum version is V"_s;
const QString listing = u"1 Adapter(s):\r\n\r\n[0] eth0\r\n\t00-1A-2B-3C-4D-5E\r\n"_s;

} // namespace

class TestStartSequence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void wholeStart();
    void systemClass_data();
    void systemClass();
    void retriesKeepValuesOnlyWhenNothingIsFound();
    void refusedAccounts_data();
    void refusedAccounts();
    void emptyCode_data();
    void emptyCode();
    void versionNumberIsDecimal_data();
    void versionNumberIsDecimal();
    void versionGate_data();
    void versionGate();
    void recordCuts_data();
    void recordCuts();
    void statusAfterStart_data();
    void statusAfterStart();
    void blink_data();
    void blink();
    void oneHourQuit();
    void unloadedWindowNeverQuitsByItself();
    void closingTheEditorQuitsOnce_data();
    void closingTheEditorQuitsOnce();

private:
    std::unique_ptr<test::TestDatabase> m_central;
    std::unique_ptr<test::TestDatabase> m_customer;

    std::unique_ptr<test::ScriptedDialogs> m_dialogs;
    std::unique_ptr<test::RecordingProgramEnd> m_end;
    std::unique_ptr<FakeInternet> m_internet;
    std::unique_ptr<EventLoopPause> m_pause;
    std::unique_ptr<db::Database> m_database;
    std::unique_ptr<signin::CentralAccounts> m_accounts;
    FakeHost m_host;
    signin::ProgramValues m_values;
    QString m_scope;
    std::unique_ptr<RunningCopies> m_copies;
    std::unique_ptr<RunningCopyListener> m_listener;
    std::unique_ptr<WatchedWindow> m_window;
    std::unique_ptr<signin::frmSplash> m_splash;
    std::unique_ptr<StartSequence> m_sequence;
    std::unique_ptr<SigninScript> m_script;

    signin::CentralServer central(const QString& server) const
    {
        return {server,         m_central->name(),        u"Customers"_s,
                u"CustLogin"_s, m_central->server().user, m_central->server().password};
    }
    void build(const QString& centralServer = QString());
    void addAccount(const Account& a);
    void addPartNumbers(const QStringList& names);
    // Shows the sign-in window, types the code, presses Enter and waits until
    // the editor is shown or the program has ended.
    void enterCode(const QString& code);
    QList<QVariantList> records()
    {
        return m_central->rows(u"SELECT Login, User_Code, Company_Name, proGRAM, Operator_Name, MAC_ID, "
                               u"progVER FROM CustLogin ORDER BY id"_s);
    }
    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < m_window->lsttestPN->count(); ++i)
            entries << m_window->lsttestPN->itemText(i);
        return entries;
    }
    void expectReady();
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
    m_host.value = windowsFacts(2, 5, 1); // Windows XP
    m_values = {};
}

void TestStartSequence::build(const QString& centralServer)
{
    m_dialogs = std::make_unique<test::ScriptedDialogs>();
    m_end = std::make_unique<test::RecordingProgramEnd>();
    m_internet = std::make_unique<FakeInternet>();
    m_pause = std::make_unique<EventLoopPause>(0);
    m_database = std::make_unique<db::Database>(m_dialogs.get());
    m_accounts = std::make_unique<signin::CentralAccounts>(*m_database, *m_dialogs, *m_end, *m_internet);
    // A scope of its own, so that a real copy or a parallel test is never found.
    m_scope = u"start-test-"_s + QString::number(QCoreApplication::applicationPid()) + u'-' +
              QString::number(QRandomGenerator::global()->generate());
    m_copies = std::make_unique<RunningCopies>(m_scope);
    m_listener = std::make_unique<RunningCopyListener>(m_scope);
    m_window = std::make_unique<WatchedWindow>(m_dialogs.get(), m_pause.get(), m_end.get(), m_database.get());
    m_splash = std::make_unique<signin::frmSplash>(m_values, m_host, *m_copies, *m_end);
    m_sequence = std::make_unique<StartSequence>(
        *m_window, *m_splash, m_values, *m_database, *m_accounts, *m_dialogs, *m_end,
        central(centralServer.isEmpty() ? m_central->server().serverValue() : centralServer),
        m_listener.get());
    m_sequence->adapterListing = [] {
        return listing;
    };
    m_splash->setShowMainWindow(m_sequence->showMainWindowHook());
    m_script = std::make_unique<SigninScript>(*m_splash, *m_sequence);
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

void TestStartSequence::addAccount(const Account& a)
{
    // An empty text goes to the server as '', never as NULL.
    const auto text = [](const QString& value) {
        return value.isNull() ? QString::fromLatin1("", 0) : value;
    };
    QVERIFY(m_central->exec(
        u"INSERT INTO Customers (Operator_Code, Operator_Initials, Company, tARV, numPORTS, ipPORT, runMODE, "
        u"custDB, custUSER, custUSER_PW, configTABLE, snTABLE, outputTABLE, overallTABLE, imageTABLE, "
        u"ver_min2) "
        u"VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"_s,
        {text(a.code), text(a.initials), a.company, a.tARV, a.numPORTS, m_customer->server().serverValue(), 3,
         a.custDB.isEmpty() ? m_customer->name() : a.custDB, m_customer->server().user,
         m_customer->server().password, u"portCONFIG"_s, a.snTABLE, QString(u"out_"_s + a.code),
         QString(u"overall_"_s + a.code), QString(u"img_"_s + a.code), a.ver_min2}));
}

void TestStartSequence::addPartNumbers(const QStringList& names)
{
    if (names.isEmpty())
        return;
    QStringList rows;
    QVariantList values;
    for (int i = 0; i < names.size(); ++i) {
        rows << u"(?, ?)"_s;
        values << names[i] << i + 1;
    }
    QVERIFY(m_customer->exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES "_s + rows.join(u", "_s), values));
}

void TestStartSequence::enterCode(const QString& code)
{
    m_splash->Form_Load();
    QCOMPARE(m_end->ends, 0);
    m_splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_splash.get()));
    QTest::keyClicks(m_splash->txtUserCode, code);
    QTest::keyClick(m_splash->txtUserCode, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(m_sequence->started() && (m_window->isVisible() || m_end->hasEnded()), 60000);
}

// The editor as a successful start leaves it.
void TestStartSequence::expectReady()
{
    FormMainTestMenu& w = *m_window;
    QVERIFY(w.isVisible());
    QVERIFY(!m_splash->isVisible());
    QCOMPARE(w.windowTitle(), u"Zelmar™: V1.2.0"_s);

    // Nothing selected, no PN loaded, no handler of the list ran.
    QCOMPARE(w.lsttestPN->currentIndex(), -1);
    QCOMPARE(w.lsttestPN->currentText(), QString());
    QCOMPARE(m_window->pnClicks, 0);
    QCOMPARE(w.cur.curPNidx, qint16(-1));
    QCOMPARE(w.cur.curPORT, qint16(-1));
    QCOMPARE(w.cur.curSCALE, qint16(-1));
    QCOMPARE(w.cur.pnLOADED, qint16(0));
    QCOMPARE(w.cur.skipCLICK, qint16(0));
    QCOMPARE(w.cur.renameSTEP, qint16(0));
    QCOMPARE(w.cur.xlOPEN, qint16(0));
    QCOMPARE(w.cur.xlSTATUS, qint16(0));

    // The neutral texts of the no-PN state.
    QCOMPARE(w.txtsnNAME->text(), u"Part Number Description"_s);
    QCOMPARE(w.txtMinSpec->text(), u"0.0"_s);
    QCOMPARE(w.txtMaxSpec->text(), u"100.0"_s);
    QCOMPARE(w.txtautoTIME->text(), u"20.0"_s);
    QCOMPARE(w.lblsnLEN->text(), u"0"_s);
    QVERIFY(!w.chksnBARCODE->isChecked());

    // Only the list, CREATE NEW PN and QUIT can be used.
    QVERIFY(w.lsttestPN->isEnabled());
    for (QWidget* field : std::initializer_list<QWidget*>{
             w.txtsnNAME,   w.txtsnFORMAT, w.chksnACTIVE, w.chkpnDEFAULT, w.chksnBARCODE, w.chkautoMEASURE,
             w.txtautoTIME, w.txtGOODSN,   w.txtBADSN,    w.chkRANDR,     w.lstPORT,      w.chkACTIVE,
             w.txtPort,     w.txtMinSpec,  w.txtMaxSpec,  w.lstsCALE,     w.lstuNITS,     w.lstSPEED,
             w.txtAVG,      w.lstRANGE,    w.txtTDLY,     w.chkssON,      w.txtssTOL,     w.txtssMAXT,
             w.chkssREQD,   w.btnREVIEW,   w.btnUPDATE,   w.btnDELETE,    w.btnEXPORT})
        QVERIFY2(!field->isEnabled(), qPrintable(field->objectName()));
    QVERIFY(w.btnADD->isEnabled());
    QVERIFY(w.btnQUIT->isEnabled());

    // The option-dependent fields show the switched-off colour.
    for (QWidget* field :
         std::initializer_list<QWidget*>{w.txtsnFORMAT, w.chkRANDR, w.txtGOODSN, w.txtBADSN, w.txtssTOL,
                                         w.txtssMAXT, w.chkssREQD, w.txtautoTIME}) {
        QVERIFY2(field->isVisible(), qPrintable(field->objectName()));
        QCOMPARE(backColor(field), colors::menuBar);
    }

    // The blink and the hour run.
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 2500);
    QVERIFY(w.Timer6->isActive());
    QCOMPARE(w.Timer6->interval(), 10000);
    QCOMPARE(w.quitTICKS, qint16(0));
    QCOMPARE(w.quitLIMIT, qint16(360));
    QCOMPARE(w.quitARMED, qint16(1));

    // Centred on its screen.
    const QRect area = w.screen()->geometry();
    QCOMPARE(w.x(), area.x() + area.width() / 2 - w.width() / 2);
    QCOMPARE(w.y(), area.y() + area.height() / 2 - w.height() / 2);
}

void TestStartSequence::wholeStart()
{
    addAccount(Account{u"DEMO1"_s, u"JD"_s, u"Northfield Harness Works"_s, 1, 8, 1.0});
    // Stored out of order; sorted by character code: upper case before lower case, digits before letters.
    addPartNumbers({u"b"_s, u"HN-2040"_s, u"a2"_s, u"B"_s, u"a10"_s, u"9X"_s});
    build();
    enterCode(u"DEMO1"_s);
    if (QTest::currentTestFailed())
        return;

    QVERIFY(m_dialogs->shown.isEmpty());
    QCOMPARE(m_end->ends, 0);
    QCOMPARE(m_script->returns, 0);
    expectReady();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(listEntries(), (QStringList{u"9X"_s, u"B"_s, u"HN-2040"_s, u"a10"_s, u"a2"_s, u"b"_s}));
    QCOMPARE(m_window->cur.numPN, qint16(6));
    QCOMPARE(m_window->txtStatus->text(), u"Waiting for User Input"_s);
    QCOMPARE(backColor(m_window->txtStatus), colors::white);
    QCOMPARE(m_window->cur.numPORTS, qint16(8));

    // The account is held by the editor.
    const db::AccountValues& a = m_window->account;
    QCOMPARE(a.Operator_Initials, u"JD"_s);
    QCOMPARE(a.Company, u"Northfield Harness Works"_s);
    QCOMPARE(a.ipPORT, m_customer->server().serverValue());
    QCOMPARE(a.custDB, m_customer->name());
    QCOMPARE(a.runMODE, qint16(3));
    QCOMPARE(a.outputTABLE, u"out_DEMO1"_s);

    // One record of the success.
    const QList<QVariantList> rows = records();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0], (QVariantList{1, u"DEMO1"_s, u"Northfield Harness Works"_s, u"Zelmar"_s, u"JD"_s,
                                    listing, u"V1.2.0 Op System = Windows XP"_s}));
    QCOMPARE(m_sequence->loginOK, qint16(1));
    QCOMPARE(m_sequence->progVERSION, 1.2f);

    // A second start now finds this copy.
    qint16 found = 0;
    m_copies->check(signin::mainWindowCaption(), found);
    QCOMPARE(found, qint16(1));

    // Entering a code again (the sign-in window's hook) starts nothing new.
    m_sequence->showMainWindowHook()();
    QTest::qWait(20);
    QCOMPARE(records().size(), 1);
    QVERIFY(m_dialogs->shown.isEmpty());
}

void TestStartSequence::systemClass_data()
{
    QTest::addColumn<SystemFacts>("facts");
    QTest::addColumn<QString>("driver"); // empty: refused
    QTest::addColumn<QString>("osNAME");

    QTest::newRow("xp-runs-with-3.51")
        << windowsFacts(2, 5, 1) << u"DRIVER={MySQL ODBC 3.51 Driver};"_s << u"Windows XP"_s;
    QTest::newRow("win7-runs-with-5.1")
        << windowsFacts(2, 6, 1) << u"DRIVER={MySQL ODBC 5.1 Driver};"_s << u"Windows 7/Server 2008 R2"_s;
    QTest::newRow("win8-runs-with-5.1")
        << windowsFacts(2, 6, 2) << u"DRIVER={MySQL ODBC 5.1 Driver};"_s << u"Windows 8/Server 20XX"_s;
    QTest::newRow("named-system-runs-with-5.1")
        << namedSystem(u"Debian GNU/Linux 12 (bookworm)"_s) << u"DRIVER={MySQL ODBC 5.1 Driver};"_s
        << u"Debian GNU/Linux 12 (bookworm)"_s;
    QTest::newRow("win2000-refused") << windowsFacts(2, 5, 0) << QString() << u"Windows 2000"_s;
    QTest::newRow("vista-refused") << windowsFacts(2, 6, 0) << QString() << u"Windows Vista/Server 2008"_s;
    SystemFacts failed;
    failed.kind = SystemFacts::Kind::WindowsCallFailed;
    QTest::newRow("unknown-refused") << failed << QString() << u"Unable to Identify Windows Op Version"_s;
}

void TestStartSequence::systemClass()
{
    QFETCH(SystemFacts, facts);
    QFETCH(QString, driver);
    QFETCH(QString, osNAME);
    addAccount(Account{u"DEMO1"_s, u"JD"_s, u"Co"_s});
    m_host.value = facts;
    build();
    m_database->odbcDRIVER = u"left over"_s;
    enterCode(u"DEMO1"_s);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(m_database->odbcDRIVER, driver);
    if (!driver.isEmpty()) {
        QVERIFY(m_dialogs->shown.isEmpty());
        expectReady();
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(records().value(0).value(6).toString(), u"V1.2.0 Op System = "_s + osNAME);
        return;
    }
    // Refused before any lookup: no record, the editor never shows.
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].text, u"Zelmar™ only runs on Windows XP/Windows 7/Windows 8"_s);
    QCOMPARE(m_dialogs->shown[0].title, u"Running "_s + osNAME);
    QCOMPARE(m_end->ends, 1);
    QCOMPARE(m_window->shows, 0);
    QVERIFY(records().isEmpty());
}

void TestStartSequence::retriesKeepValuesOnlyWhenNothingIsFound()
{
    Account guest{u"GUEST1"_s, u"GU"_s, u"Guest Co"_s, 0, 4};
    guest.custDB = u"guestdb"_s;
    guest.snTABLE = u"guestSN"_s;
    addAccount(guest);
    addAccount(Account{u"DEMO1"_s, u"JD"_s, u"Northfield"_s, 1, 8, 1.2});
    addPartNumbers({u"P2"_s, u"P1"_s});
    build();

    QList<db::AccountValues> atReturn;
    QList<int> recordsAtReturn;
    QList<QString> fieldAtReturn;
    QList<int> showsAtReturn;
    m_script->answers = {u"NOPE"_s, u"DEMO1"_s};
    m_script->onReturn = [&] {
        atReturn << m_window->account;
        recordsAtReturn << records().size();
        fieldAtReturn << m_splash->txtUserCode->text();
        showsAtReturn << m_window->shows;
    };
    enterCode(u"GUEST1"_s);
    if (QTest::currentTestFailed())
        return;

    // The sign-in window came back twice, empty, with the editor never shown.
    QCOMPARE(m_script->returns, 2);
    QCOMPARE(fieldAtReturn, (QList<QString>{QString(), QString()}));
    QCOMPARE(showsAtReturn, (QList<int>{0, 0}));
    QCOMPARE(recordsAtReturn, (QList<int>{1, 2}));

    // After the unauthorised account: its values, initials emptied for the loop.
    QCOMPARE(atReturn[0].Company, u"Guest Co"_s);
    QCOMPARE(atReturn[0].custDB, u"guestdb"_s);
    QCOMPARE(atReturn[0].snTABLE, u"guestSN"_s);
    QCOMPARE(atReturn[0].numPORTS, qint16(4));
    QCOMPARE(atReturn[0].Operator_Initials, QString());
    // A code that finds nothing leaves every value as it was.
    QCOMPARE(atReturn[1], atReturn[0]);

    // The account that signs in replaces them all.
    const db::AccountValues& a = m_window->account;
    QCOMPARE(a.Operator_Initials, u"JD"_s);
    QCOMPARE(a.Company, u"Northfield"_s);
    QCOMPARE(a.custDB, m_customer->name());
    QCOMPARE(a.snTABLE, u"snPN"_s);
    QCOMPARE(a.tARV, qint16(1));
    QCOMPARE(a.ver_min2, 1.2f);
    expectReady();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(listEntries(), (QStringList{u"P1"_s, u"P2"_s}));
    QCOMPARE(m_values.UserCode, u"DEMO1"_s);

    QCOMPARE(m_dialogs->shown.size(), 2);
    QCOMPARE(m_dialogs->shown[0].text, u"The User entered (GUEST1/GU) is not an authorized Operator."_s);
    QCOMPARE(m_dialogs->shown[0].title, u"Please reenter your User Code."_s);
    QCOMPARE(m_dialogs->shown[1].text, u"The User Code entered (NOPE) was not found."_s);
    QCOMPARE(m_dialogs->shown[1].title, u"Please reenter your User Code."_s);

    const QString progVER = u"V1.2.0 Op System = Windows XP"_s;
    const QList<QVariantList> rows = records();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], (QVariantList{0, u"GUEST1"_s, u"N/A"_s, u"Zelmar"_s, u"N/A"_s, listing, progVER}));
    QCOMPARE(rows[1], (QVariantList{0, u"NOPE"_s, u"N/A"_s, u"Zelmar"_s, u"N/A"_s, listing, progVER}));
    QCOMPARE(rows[2], (QVariantList{1, u"DEMO1"_s, u"Northfield"_s, u"Zelmar"_s, u"JD"_s, listing, progVER}));
}

void TestStartSequence::refusedAccounts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("initials");
    QTest::addColumn<int>("tARV");
    QTest::addColumn<QString>("message");

    QTest::newRow("not-authorised") << u"X1"_s << u"AB"_s << 0
                                    << u"The User entered (X1/AB) is not an authorized Operator."_s;
    QTest::newRow("authorised-without-initials-is-not-authorised")
        << u"X2"_s << QString() << 1 << u"The User entered (X2/) is not an authorized Operator."_s;
    QTest::newRow("not-found") << u"ZZ9"_s << QString() << -1
                               << u"The User Code entered (ZZ9) was not found."_s;
    QTest::newRow("code-as-typed-with-blanks")
        << u" X1 "_s << QString() << -1 << u"The User Code entered ( X1 ) was not found."_s;
}

void TestStartSequence::refusedAccounts()
{
    QFETCH(QString, code);
    QFETCH(QString, initials);
    QFETCH(int, tARV);
    QFETCH(QString, message);
    if (tARV >= 0)
        addAccount(Account{code, initials, u"Acme"_s, tARV});
    // A code is taken as typed: blanks around an existing code find nothing.
    if (code == u" X1 "_s)
        addAccount(Account{u"X1"_s, u"AB"_s, u"Acme"_s, 1});
    build();
    // The operator gives up: closes the sign-in window when it comes back.
    m_script->answers = {SigninScript::closeWindow()};
    enterCode(code);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(m_script->returns, 1);
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].text, message);
    QCOMPARE(m_dialogs->shown[0].title, u"Please reenter your User Code."_s);
    // Closing the sign-in window ends the run, with no further record and no goodbye.
    QCOMPARE(m_end->ends, 1);
    QCOMPARE(m_window->shows, 0);
    const QList<QVariantList> rows = records();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0], (QVariantList{0, code, u"N/A"_s, u"Zelmar"_s, u"N/A"_s, listing,
                                    u"V1.2.0 Op System = Windows XP"_s}));
    QCOMPARE(m_sequence->loginOK, qint16(0));
}

void TestStartSequence::emptyCode_data()
{
    QTest::addColumn<bool>("centralReachable");
    QTest::addColumn<bool>("accountWithEmptyCode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");

    QTest::newRow("goodbye") << true << false << u"Thank you for using the Zelmar™ program."_s
                             << u"Quarrix Technologies, LLC"_s;
    QTest::newRow("goodbye-even-when-an-account-has-the-empty-code")
        << true << true << u"Thank you for using the Zelmar™ program."_s << u"Quarrix Technologies, LLC"_s;
    // The lookup runs first: its connection failure is what the operator sees.
    QTest::newRow("lookup-failure-comes-first")
        << false << false << u"Error: MySQL ODBC driver not installed or Network Port 3306 Blocked"_s
        << u"Error Code 01: See Tarvik™ User's Guide"_s;
}

void TestStartSequence::emptyCode()
{
    QFETCH(bool, centralReachable);
    QFETCH(bool, accountWithEmptyCode);
    QFETCH(QString, text);
    QFETCH(QString, title);
    if (accountWithEmptyCode)
        addAccount(Account{QString(), u"EE"_s, u"Empty Co"_s, 1});
    build(centralReachable ? QString() : u"127.0.0.1:"_s + QString::number(test::deadPort()));
    enterCode(QString());
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(m_values.UserCode, QString());
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].text, text);
    QCOMPARE(m_dialogs->shown[0].title, title);
    QCOMPARE(m_end->ends, 1);
    QCOMPARE(m_window->shows, 0);
    QCOMPARE(m_script->returns, 0);
    QVERIFY(records().isEmpty());
}

void TestStartSequence::versionNumberIsDecimal_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<float>("number");
    QTest::newRow("1.2") << 1 << 2 << 1.2f;
    QTest::newRow("minor-10-reads-1.1") << 1 << 10 << 1.1f;
    QTest::newRow("minor-25-reads-1.25") << 1 << 25 << 1.25f;
    QTest::newRow("2.0") << 2 << 0 << 2.0f;
}

void TestStartSequence::versionNumberIsDecimal()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(float, number);
    QCOMPARE(StartSequence::versionNumber(major, minor), number);
    // 1.10 is lower than 1.2.
    QVERIFY(StartSequence::versionNumber(1, 10) < StartSequence::versionNumber(1, 2));
}

void TestStartSequence::versionGate_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<QString>("required"); // empty: passes

    QTest::newRow("equal-passes") << 1.2 << QString();
    QTest::newRow("lower-passes") << 1.1 << QString();
    QTest::newRow("1.19-passes") << 1.19 << QString();
    QTest::newRow("1.3-fails") << 1.3 << u"1.3"_s;
    QTest::newRow("1.21-fails-shown-with-one-decimal") << 1.21 << u"1.2"_s;
    QTest::newRow("2-fails") << 2.0 << u"2.0"_s;
}

void TestStartSequence::versionGate()
{
    QFETCH(double, minimum);
    QFETCH(QString, required);
    addAccount(Account{u"V1"_s, u"VV"_s, u"Co"_s, 1, 8, minimum});
    build();
    enterCode(u"V1"_s);
    if (QTest::currentTestFailed())
        return;

    if (required.isEmpty()) {
        QVERIFY(m_dialogs->shown.isEmpty());
        expectReady();
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(records().size(), 1);
        return;
    }
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].text, versionText + required);
    QCOMPARE(m_dialogs->shown[0].title, u"Obtain the Update at "_s + QString::fromUtf8(build::makerUrl));
    QCOMPARE(m_end->ends, 1);
    QCOMPARE(m_window->shows, 0);
    QVERIFY(records().isEmpty());
}

void TestStartSequence::recordCuts_data()
{
    QTest::addColumn<int>("osNameLength");
    QTest::addColumn<int>("listingLength");
    QTest::addColumn<int>("storedProgVer");
    QTest::addColumn<int>("storedListing");
    QTest::addColumn<bool>("signInFails");

    // "V1.2.0 Op System = " is 19 characters.
    QTest::newRow("progVER-50-whole") << 31 << 10 << 50 << 10 << false;
    QTest::newRow("progVER-51-cut-to-50") << 32 << 10 << 50 << 10 << false;
    QTest::newRow("listing-200-whole") << 5 << 200 << 24 << 200 << false;
    QTest::newRow("listing-201-cut-to-150") << 5 << 201 << 24 << 150 << false;
    QTest::newRow("failed-sign-in-cut-alike") << 40 << 300 << 50 << 150 << true;
}

void TestStartSequence::recordCuts()
{
    QFETCH(int, osNameLength);
    QFETCH(int, listingLength);
    QFETCH(int, storedProgVer);
    QFETCH(int, storedListing);
    QFETCH(bool, signInFails);
    addAccount(Account{u"C1"_s, u"CC"_s, u"Co"_s, signInFails ? 0 : 1});
    QString name;
    for (int i = 0; i < osNameLength; ++i)
        name += QChar(u'a' + i % 26);
    m_host.value = namedSystem(name);
    QString adapters;
    for (int i = 0; i < listingLength; ++i)
        adapters += QChar(u'0' + i % 10);
    build();
    m_sequence->adapterListing = [adapters] {
        return adapters;
    };
    enterCode(u"C1"_s);
    if (QTest::currentTestFailed())
        return;

    const QList<QVariantList> rows = records();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toInt(), signInFails ? 0 : 1);
    QCOMPARE(rows[0][5].toString(), adapters.left(storedListing));
    QCOMPARE(rows[0][6].toString(), QString(u"V1.2.0 Op System = "_s + name).left(storedProgVer));
    QCOMPARE(m_sequence->macLIST.size(), storedListing);
    QCOMPARE(m_sequence->progVER.size(), storedProgVer);
}

void TestStartSequence::statusAfterStart_data()
{
    QTest::addColumn<int>("partNumbers");
    QTest::addColumn<int>("ports");
    QTest::addColumn<bool>("customerReachable");
    QTest::addColumn<QString>("status");
    QTest::addColumn<quint32>("color");
    QTest::addColumn<int>("listed");

    const QString waiting = u"Waiting for User Input"_s;
    QTest::newRow("none") << 0 << 8 << true << waiting << colors::white << 0;
    QTest::newRow("exactly-100-all-listed") << 100 << 8 << true << waiting << colors::white << 100;
    QTest::newRow("105-notice-of-5-unlisted")
        << 105 << 8 << true << u"RESULT: 5 of 105 part numbers not listed (the list holds 100)"_s
        << colors::yellow << 100;
    QTest::newRow("60-ports-capped-at-49")
        << 3 << 60 << true << u"RESULT: Station has 60 ports; only the first 49 can be edited"_s
        << colors::yellow << 3;
    QTest::newRow("both-notices")
        << 101 << 60 << true
        << u"RESULT: Station has 60 ports; only the first 49 can be edited; 1 of 101 part numbers not listed "
           u"(the list holds 100)"_s
        << colors::yellow << 100;
    QTest::newRow("customer-database-unreachable")
        << 3 << 8 << false << u"ERROR: Unable to read the part number list of no_such_db"_s << colors::red
        << 0;
}

void TestStartSequence::statusAfterStart()
{
    QFETCH(int, partNumbers);
    QFETCH(int, ports);
    QFETCH(bool, customerReachable);
    QFETCH(QString, status);
    QFETCH(quint32, color);
    QFETCH(int, listed);
    Account account{u"S1"_s, u"SS"_s, u"Co"_s, 1, ports};
    if (!customerReachable)
        account.custDB = u"no_such_db"_s;
    addAccount(account);
    // Stored in descending order: the first 100 read are the highest names.
    QStringList names;
    for (int i = partNumbers; i >= 1; --i)
        names << u"PN-%1"_s.arg(i, 3, 10, QChar(u'0'));
    addPartNumbers(names);
    build();
    enterCode(u"S1"_s);
    if (QTest::currentTestFailed())
        return;

    QVERIFY(m_dialogs->shown.isEmpty());
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->txtStatus->text(), status);
    QCOMPARE(backColor(m_window->txtStatus), color);
    QCOMPARE(m_window->lsttestPN->count(), listed);
    QCOMPARE(m_window->cur.numPORTS, qint16(qMin(ports, 49)));
    if (listed > 0) {
        // The first 100 read, sorted.
        QStringList expected = names.mid(0, listed);
        std::sort(expected.begin(), expected.end());
        QCOMPARE(listEntries(), expected);
    }
    QVERIFY(m_window->lsttestPN->isEnabled());
}

void TestStartSequence::blink_data()
{
    QTest::addColumn<quint32>("before");
    QTest::addColumn<quint32>("after");
    QTest::newRow("white-to-yellow") << colors::white << colors::yellow;
    QTest::newRow("yellow-to-white") << colors::yellow << colors::white;
    QTest::newRow("green-stays") << colors::green << colors::green;
    QTest::newRow("red-stays") << colors::red << colors::red;
    QTest::newRow("menu-bar-stays") << colors::menuBar << colors::menuBar;
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
    // Two ticks bring a blinking bar back; a coloured one has stayed all along.
    QCOMPARE(backColor(m_window->txtStatus), before);
    QCOMPARE(m_window->txtStatus->text(), u"some text"_s);
}

void TestStartSequence::oneHourQuit()
{
    addAccount(Account{u"DEMO1"_s, u"JD"_s, u"Co"_s});
    build();
    // Ticks before the load do not count towards the hour.
    m_window->quitTICKS = 300;
    enterCode(u"DEMO1"_s);
    if (QTest::currentTestFailed())
        return;
    expectReady();
    if (QTest::currentTestFailed())
        return;

    for (int i = 1; i < 360; ++i)
        m_window->Timer6_Timer();
    QCOMPARE(m_window->quitTICKS, qint16(359));
    QVERIFY(m_dialogs->shown.isEmpty());
    QCOMPARE(m_end->ends, 0);
    QVERIFY(m_window->isVisible());

    // The 360th tick runs QUIT as the button does.
    m_window->Timer6_Timer();
    QCOMPARE(m_window->quitTICKS, qint16(0));
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].text, u"Thank you for using Zelmar™"_s);
    QCOMPARE(m_dialogs->shown[0].title, u"Quarrix Technologies, LLC"_s);
    QCOMPARE(m_end->ends, 1);
    QVERIFY(!m_window->isVisible());
    QVERIFY(!m_window->Timer1->isActive());
    QVERIFY(!m_window->Timer6->isActive());

    // The count goes on modulo the limit; the program ended once.
    for (int i = 0; i < 360; ++i)
        m_window->Timer6_Timer();
    QCOMPARE(m_window->quitTICKS, qint16(0));
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_end->ends, 1);
}

void TestStartSequence::unloadedWindowNeverQuitsByItself()
{
    build();
    for (int i = 0; i < 720; ++i)
        m_window->Timer6_Timer();
    QCOMPARE(m_window->quitTICKS, qint16(0));
    QVERIFY(m_dialogs->shown.isEmpty());
    QCOMPARE(m_end->ends, 0);
}

void TestStartSequence::closingTheEditorQuitsOnce_data()
{
    QTest::addColumn<bool>("byQuitButton");
    QTest::newRow("window-close-runs-quit") << false;
    QTest::newRow("quit-button-says-goodbye-once") << true;
}

void TestStartSequence::closingTheEditorQuitsOnce()
{
    QFETCH(bool, byQuitButton);
    addAccount(Account{u"DEMO1"_s, u"JD"_s, u"Co"_s});
    build();
    enterCode(u"DEMO1"_s);
    if (QTest::currentTestFailed())
        return;
    expectReady();
    if (QTest::currentTestFailed())
        return;

    if (byQuitButton)
        QTest::mouseClick(m_window->btnQUIT, Qt::LeftButton);
    else
        m_window->close();
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].text, u"Thank you for using Zelmar™"_s);
    QCOMPARE(m_end->ends, 1);
    QVERIFY(!m_window->isVisible());
    QVERIFY(!m_window->Timer6->isActive());
}

QTEST_MAIN(TestStartSequence)
#include "tst_startsequence.moc"
