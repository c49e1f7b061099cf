// Signing in: site settings, account lookup, sign-in records, the sign-in window and the start
// of a run, on real central and customer databases.
#include "Account.h"
#include "BusyCursor.h"
#include "Captions.h"
#include "Colors.h"
#include "Database.h"
#include "EventLoopPause.h"
#include "FormMainTestMenu.h"
#include "HostSystem.h"
#include "InternetProbe.h"
#include "SiteSettings.h"
#include "StartSequence.h"
#include "TestServer.h"
#include "frmSplash.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {

struct FakeHost : HostSystem
{
    SystemFacts facts() const override { return value; }
    SystemFacts value;
};

SystemFacts windowsFacts(quint32 platform, quint32 major, quint32 minor)
{
    return {SystemFacts::Kind::Windows, {platform, major, minor}, {}};
}

struct FakeInternet : InternetProbe
{
    void checkINTERNET(qint16& connected) override { connected = answer; }
    qint16 answer = 1;
};

// One row of the central Customers table; its customer database is the customer test
// database unless named.
struct AccountRow
{
    QString code;
    QString initials;
    QString company = u"Acme"_s;
    int tARV = 1;
    int numPORTS = 8;
    QString custDB = {};
    double ver_min2 = 1.0;
};

// The seven columns of every sign-in record, oldest first.
QList<QVariantList> loginRecords(test::TestDatabase& central)
{
    return central.rows(u"SELECT Login, User_Code, Company_Name, proGRAM, Operator_Name, MAC_ID, progVER "
                        u"FROM CustLogin ORDER BY id"_s);
}

using signin::AccountValues;
using signin::StartSequence;

const QString listing = u"1 Adapter(s):\r\n\r\n[0] eth0\r\n\t00-1A-2B-3C-4D-5E\r\n"_s;
const QString xpVersion = u"V1.2.0 Op System = Windows XP"_s;
// Values that a lookup must either overwrite all or leave all.
const AccountValues sentinel{u"k"_s, u"k"_s, -11,    -12,    u"k"_s, -13,    u"k"_s, u"k"_s,
                             u"k"_s, u"k"_s, u"k"_s, u"k"_s, u"k"_s, u"k"_s, -1.5f};

QVariantList record(int login, const QString& code, const QString& company = u"N/A"_s,
                    const QString& initials = u"N/A"_s, const QString& macList = listing)
{
    return {login, code, company, u"Zelmar"_s, initials, macList, xpVersion};
}

} // namespace

class TestSignin : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TestDatabase> m_central, m_customer;
    test::ScriptedDialogs m_dialogs;
    test::RecordingProgramEnd m_end;
    FakeInternet m_internet;
    EventLoopPause m_pause{0};
    FakeHost m_host;
    signin::ProgramValues m_values;
    QString m_scope;
    std::unique_ptr<db::Database> m_database;
    std::unique_ptr<signin::CentralAccounts> m_accounts;
    std::unique_ptr<RunningCopies> m_copies;
    std::unique_ptr<RunningCopyListener> m_listener;
    std::unique_ptr<FormMainTestMenu> m_window;
    std::unique_ptr<signin::frmSplash> m_splash;
    std::unique_ptr<StartSequence> m_sequence;
    // What the operator types each time the sign-in window asks again (none left: closes
    // it), and what the test looks at before each answer.
    QStringList m_answers;
    std::function<void()> m_onReturn;

    QString deadServer() const { return u"127.0.0.1:"_s + QString::number(test::deadPort()); }
    void addAccount(const AccountRow& a, const QString& table = u"Customers"_s)
    {
        // An empty text goes to the server as '', never as NULL.
        const auto text = [](const QString& value) {
            return value.isNull() ? u""_s : value;
        };
        const test::ServerInfo& c = m_customer->server();
        QVERIFY(m_central->exec(
            u"INSERT INTO "_s + table +
                u" (Operator_Code, Operator_Initials, Company, tARV, numPORTS, ipPORT, custDB, custUSER, "
                u"custUSER_PW, ver_min2) VALUES (?,?,?,?,?,?,?,?,?,?)"_s,
            {text(a.code), text(a.initials), a.company, a.tARV, a.numPORTS, c.serverValue(),
             a.custDB.isEmpty() ? m_customer->name() : a.custDB, c.user, c.password, a.ver_min2}));
    }
    void addPartNumbers(const QStringList& names)
    {
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(
                m_customer->exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES (?, ?)"_s, {names[i], i + 1}));
    }
    qint16 lookup(const QString& code, AccountValues& values, const QString& table = u"Customers"_s,
                  const QString& server = QString())
    {
        const test::ServerInfo& s = m_central->server();
        qint16 result = 7;
        m_accounts->SQL_readCUSTinfo(code, values, server.isEmpty() ? s.serverValue() : server,
                                     m_central->name(), table, s.user, s.password, result);
        return result;
    }
    qint16 writeLogin(qint16 login, const QString& code, const QString& macList,
                      const QString& table = u"CustLogin"_s, const QString& server = QString())
    {
        const test::ServerInfo& s = m_central->server();
        qint16 result = 7;
        m_accounts->SQL_writeLOGIN(server.isEmpty() ? s.serverValue() : server, m_central->name(), table,
                                   s.user, s.password, login, code, u"JD"_s, u"Acme"_s, macList, xpVersion,
                                   result);
        return result;
    }
    // Types the code, and waits until the editor is shown or the program has ended.
    bool enterCode(const QString& code)
    {
        m_splash->Form_Load();
        m_splash->show();
        if (!QTest::qWaitForWindowExposed(m_splash.get()))
            return false;
        QTest::keyClicks(m_splash->txtUserCode, code);
        QTest::keyClick(m_splash->txtUserCode, Qt::Key_Return);
        return QTest::qWaitFor(
            [this] { return m_sequence->started() && (m_window->isVisible() || m_end.hasEnded()); }, 60000);
    }
    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < m_window->lsttestPN->count(); ++i)
            entries << m_window->lsttestPN->itemText(i);
        return entries;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_central = std::make_unique<test::TestDatabase>(QStringList{u"central.sql"_s});
        QVERIFY2(m_central->ok(), qPrintable(m_central->error()));
        m_customer = std::make_unique<test::TestDatabase>(QStringList{u"customer.sql"_s});
        QVERIFY2(m_customer->ok(), qPrintable(m_customer->error()));
    }

    void init()
    {
        for (const QString& table : {u"Customers"_s, u"CustLogin"_s})
            QVERIFY(m_central->exec(u"DELETE FROM "_s + table));
        QVERIFY(m_customer->exec(u"DELETE FROM snPN"_s));
        m_host.value = windowsFacts(2, 5, 1); // Windows XP
        m_values = {};
        m_dialogs = {};
        m_end = {};
        m_internet = {};
        // A running-copy scope of its own: a real copy or a parallel test is never found.
        m_scope = u"test-%1-%2"_s.arg(QCoreApplication::applicationPid())
                      .arg(QRandomGenerator::global()->generate());
        m_answers.clear();
        m_onReturn = nullptr;
        m_database = std::make_unique<db::Database>(&m_dialogs);
        m_accounts = std::make_unique<signin::CentralAccounts>(*m_database, m_dialogs, m_end, m_internet);
        m_copies = std::make_unique<RunningCopies>(m_scope);
        m_listener = std::make_unique<RunningCopyListener>(m_scope);
        m_window = std::make_unique<FormMainTestMenu>(&m_dialogs, &m_pause, &m_end, m_database.get());
        m_splash = std::make_unique<signin::frmSplash>(m_values, m_host, *m_copies, m_end);
        const test::ServerInfo& s = m_central->server();
        m_sequence = std::make_unique<StartSequence>(
            *m_window, *m_splash, m_values, *m_database, *m_accounts, m_dialogs, m_end,
            signin::CentralServer{s.serverValue(), m_central->name(), u"Customers"_s, u"CustLogin"_s, s.user,
                                  s.password},
            m_listener.get());
        m_sequence->adapterListing = [] {
            return listing;
        };
        m_splash->setShowMainWindow(m_sequence->showMainWindowHook());
        connect(m_splash.get(), &signin::frmSplash::codeRequested, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (m_onReturn)
                    m_onReturn();
                if (m_answers.isEmpty())
                    return void(m_splash->close());
                QTest::keyClicks(m_splash->txtUserCode, m_answers.takeFirst());
                QTest::keyClick(m_splash->txtUserCode, Qt::Key_Return);
            });
        });
    }

    void cleanup()
    {
        m_sequence.reset();
        m_splash.reset();
        m_window.reset();
    }

    void siteSettingsFile_data()
    {
        // The site file's text; "<dir>" is the test's folder, which holds a readable ca.pem.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("server"); // empty: refused
        QTest::addColumn<int>("ca");         // 0 none, 1 usable, -1 refused
        const QString builtIn = u"built-in:3306"_s;
        QTest::newRow("server taken") << u"[central]\nserver = 10.9.8.7:3307"_s << u"10.9.8.7:3307"_s << 0;
        QTest::newRow("port 65536") << u"[central]\nserver=10.0.0.5:65536"_s << QString() << 0;
        QTest::newRow("a list (comma in the file)")
            << u"[central]\nserver=10.0.0.5, 10.0.0.6"_s << QString() << 0;
        QTest::newRow("malformed") << u"[central\nserver=10.0.0.5"_s << QString() << 0;
        QTest::newRow("CA readable") << u"[tls]\nca_file=<dir>/ca.pem"_s << builtIn << 1;
        QTest::newRow("CA relative, the file there") << u"[tls]\nca_file=<rel>"_s << builtIn << -1;
    }

    void siteSettingsFile()
    {
        QFETCH(QString, text);
        QFETCH(QString, server);
        QFETCH(int, ca);
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath(u"ca.pem"_s)).open(QIODevice::WriteOnly));
        text.replace(u"<rel>"_s, QDir::current().relativeFilePath(dir.filePath(u"ca.pem"_s)));
        QFile file(dir.filePath(u"Quarrix/Zelmar.conf"_s));
        QVERIFY(QDir(dir.path()).mkpath(u"Quarrix"_s) && file.open(QIODevice::WriteOnly));
        file.write(text.replace(u"<dir>"_s, dir.path()).toUtf8());
        file.close();
        qputenv("XDG_CONFIG_DIRS", dir.path().toLocal8Bit());
        const signin::SiteCentralServer site =
            signin::siteCentralServer({u"built-in:3306"_s, u"tARV"_s, {}, {}, {}, {}});
        const signin::SiteCaFile caFile = signin::siteCaFile();
        qunsetenv("XDG_CONFIG_DIRS");
        QCOMPARE(site.central.server, server.isEmpty() ? u"built-in:3306"_s : server);
        QCOMPARE(site.fromSite, server != u"built-in:3306"_s && !server.isEmpty());
        // A refusal names the file.
        QVERIFY(!server.isEmpty() || signin::siteSettingText(site).contains(file.fileName()));
        QCOMPARE(caFile.problem.isEmpty(), ca >= 0);
        QCOMPARE(caFile.file, ca == 0 ? QString() : file.fileName());
        QVERIFY(ca >= 0 || signin::siteCaText(caFile).contains(file.fileName()));
    }

    void lookupTakesTheCodeAsAValue()
    {
        // Every column distinct, so that a value read into the wrong place shows.
        QVERIFY(m_central->exec(
            u"INSERT INTO Customers VALUES (1, 'X1', 'AB', 'Acme, Inc.', 2, 24, '1.2.3.4:5', 3, "
            u"'db', 'user', 'p;w d', 'cfg', 'sn', 'out', 'all', 'img', 1.3)"_s));
        addAccount({.code = u"O'Brien"_s, .initials = u"OB"_s});
        AccountValues got = sentinel;
        QCOMPARE(lookup(u"X1"_s, got), qint16(0));
        QVERIFY(got == (AccountValues{u"AB"_s, u"Acme, Inc."_s, 2, 24, u"1.2.3.4:5"_s, 3, u"db"_s, u"user"_s,
                                      u"p;w d"_s, u"cfg"_s, u"sn"_s, u"out"_s, u"all"_s, u"img"_s, 1.3f}));
        QCOMPARE(lookup(u"O'Brien"_s, got), qint16(0));
        QCOMPARE(got.Operator_Initials, u"OB"_s);
        // A code that would find every row if pasted into the statement finds nothing, and
        // leaves every value.
        got = sentinel;
        QCOMPARE(lookup(u"' OR '1'='1"_s, got), qint16(1));
        QVERIFY(got == sentinel && m_dialogs.shown.isEmpty() && m_end.ends == 0);
    }

    void lookupFailuresEndWithTheirCode_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("code"); // Error Code 00 to 03; 00: the server is dead
        QTest::addColumn<QString>("text");
        const QString ensure = u" Ensure your computer is connected to Internet."_s;
        QTest::newRow("numPORTS beyond 16 bits is code 03")
            << u"Wide"_s << 3 << u"Error: Issues with Reading User Verification Database."_s + ensure;
        QTest::newRow("missing table is code 02")
            << u"NoSuchCustomers"_s << 2 << u"Error: Unable to Access User Verification Database."_s + ensure;
        QTest::newRow("dead port without Internet is code 00")
            << u"Customers"_s << 0 << u"Error: Your computer is NOT connected to Internet. Please correct!"_s;
    }

    void lookupFailuresEndWithTheirCode()
    {
        QFETCH(QString, table);
        QFETCH(int, code);
        QVERIFY(m_central->exec(u"CREATE TABLE IF NOT EXISTS Wide LIKE Customers"_s));
        QVERIFY(m_central->exec(u"ALTER TABLE Wide MODIFY numPORTS INT NOT NULL"_s));
        addAccount({.code = u"N1"_s, .initials = u"NN"_s});
        addAccount({.code = u"N1"_s, .initials = u"NN"_s, .numPORTS = 40000}, u"Wide"_s);
        m_internet.answer = 0;
        AccountValues values;
        QCOMPARE(lookup(u"N1"_s, values, table, code == 0 ? deadServer() : QString()), qint16(7));
        QCOMPARE(m_dialogs.shown.size(), 1);
        QTEST(m_dialogs.shown[0].text, "text");
        QCOMPARE(m_dialogs.shown[0].title, u"Error Code 0%1: See Tarvik™ User's Guide"_s.arg(code));
        QCOMPARE(int(m_end.exitStatus()), 10 + code);
        QCOMPARE(m_end.ends, 1);
    }

    void signInRecords()
    {
        QCOMPARE(writeLogin(1, u"  X1 "_s, listing), qint16(0));
        // A failed adapter query gives an empty listing, stored empty (not NULL).
        QCOMPARE(writeLogin(0, u"NOPE"_s, QString()), qint16(0));
        // Failures are silent.
        QCOMPARE(writeLogin(1, u"X1"_s, QString(), u"NoSuchLogin"_s), qint16(1));
        QCOMPARE(writeLogin(1, u"X1"_s, QString(), u"CustLogin"_s, deadServer()), qint16(1));
        QVERIFY(m_dialogs.shown.isEmpty() && m_end.ends == 0);
        QCOMPARE(loginRecords(*m_central),
                 (QList<QVariantList>{record(1, u"  X1 "_s, u"Acme"_s, u"JD"_s),
                                      record(0, u"NOPE"_s, u"Acme"_s, u"JD"_s, u""_s)}));
    }

    void splashEndsSilentlyBeforeARunningCopy()
    {
        int broughtForward = 0;
        QVERIFY(m_listener->listen(signin::mainWindowCaption(), [&] { ++broughtForward; }));
        m_splash->show();
        QVERIFY(m_end.hasEnded() && m_dialogs.shown.isEmpty() && !m_window->isVisible());
        QTRY_VERIFY(!m_splash->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(broughtForward, 1, 2000);
    }

    void wholeStart()
    {
        addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s, .company = u"Northfield"_s});
        // Stored out of order; sorted by character code: digits, upper case, lower case.
        addPartNumbers({u"b"_s, u"HN-2040"_s, u"a2"_s, u"B"_s, u"a10"_s, u"9X"_s});
        // While the servers answer: the sign-in window busy, no editor, and no copy to find.
        bool signingIn = false;
        qint16 found = 7;
        m_sequence->adapterListing = [&] {
            signingIn = m_splash->isVisible() && !m_splash->txtUserCode->isEnabled() && busyCursorShown() &&
                        !m_window->isVisible();
            m_copies->check(signin::mainWindowCaption(), found);
            return listing;
        };
        QVERIFY(enterCode(u"DEMO1"_s));
        QVERIFY(signingIn && found == 0);
        QVERIFY(m_dialogs.shown.isEmpty() && m_end.ends == 0);
        QCOMPARE(listEntries(), (QStringList{u"9X"_s, u"B"_s, u"HN-2040"_s, u"a10"_s, u"a2"_s, u"b"_s}));
        QCOMPARE(loginRecords(*m_central),
                 QList<QVariantList>{record(1, u"DEMO1"_s, u"Northfield"_s, u"JD"_s)});
        // The change history is signed by this account.
        const db::HistoryAuthor& history = m_database->history;
        QCOMPARE(QStringList({history.Operator_Code, history.Operator_Initials, history.Company}),
                 QStringList({u"DEMO1"_s, u"JD"_s, u"Northfield"_s}));
        QVERIFY(!m_splash->isVisible() && !QGuiApplication::overrideCursor());
        QCOMPARE(m_window->lsttestPN->currentIndex(), -1);
        // A second start now finds this copy.
        m_copies->check(signin::mainWindowCaption(), found);
        QCOMPARE(found, qint16(1));
        // Closing the window runs QUIT, once.
        m_window->close();
        QVERIFY(m_dialogs.shown.size() == 1 && m_end.ends == 1 && !m_window->isVisible());
    }

    void starts_data()
    {
        QTest::addColumn<SystemFacts>("facts");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("status");       // -1: the editor shows
        QTest::addColumn<QString>("expected"); // the message when the start ends
        const SystemFacts xp = windowsFacts(2, 5, 1);
        QTest::newRow("named system runs")
            << SystemFacts{SystemFacts::Kind::OtherSystem, {}, u"Debian"_s} << u"DEMO1"_s << -1 << QString();
        QTest::newRow("minimum version equal passes") << xp << u"NEED12"_s << -1 << QString();
        QTest::newRow("minimum 1.21 refused, shown with one decimal")
            << xp << u"NEED121"_s << int(ExitStatus::UpgradeRequired)
            << u"Please upgrade your Zelmar™ Software\r\nYour version was V1.2\r\nRequired minimum version is V1.2"_s;
        QTest::newRow("class 0 refused")
            << windowsFacts(2, 5, 0) << u"DEMO1"_s << int(ExitStatus::UnsupportedSystem)
            << u"Zelmar™ only runs on Windows XP/Windows 7/Windows 8"_s;
        // An account with the empty code exists: the empty code still says goodbye.
        QTest::newRow("empty code says goodbye")
            << xp << QString() << int(ExitStatus::Normal) << u"Thank you for using the Zelmar™ program."_s;
    }

    void starts()
    {
        QFETCH(SystemFacts, facts);
        QFETCH(QString, code);
        QFETCH(int, status);
        QFETCH(QString, expected);
        addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s});
        addAccount({.code = QString(), .initials = u"EE"_s});
        addAccount({.code = u"NEED12"_s, .initials = u"N2"_s, .ver_min2 = 1.2});
        addAccount({.code = u"NEED121"_s, .initials = u"N3"_s, .ver_min2 = 1.21});
        m_host.value = facts;
        QVERIFY(enterCode(code));
        QVERIFY(!m_splash->isVisible() && !QGuiApplication::overrideCursor());
        QCOMPARE(m_window->isVisible(), status < 0);
        QCOMPARE(m_dialogs.shown.size(), status < 0 ? 0 : 1);
        if (status < 0)
            return;
        QCOMPARE(m_dialogs.shown[0].text, expected);
        QCOMPARE(int(m_end.exitStatus()), status);
        QCOMPARE(m_end.ends, 1);
        QVERIFY(!m_window->isVisible() && loginRecords(*m_central).isEmpty());
    }

    void refusedCodesAskAgain_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::newRow("then signs in") << QStringList{u"NOINI"_s, u"NOPE"_s, u"DEMO1"_s};
        QTest::newRow("the operator gives up: a closed window ends the run") << QStringList();
    }

    void refusedCodesAskAgain()
    {
        QFETCH(QStringList, answers);
        addAccount({.code = u"GUEST1"_s, .initials = u"GU"_s, .company = u"Guest Co"_s, .tARV = 0});
        addAccount({.code = u"NOINI"_s, .initials = QString()}); // authorised, no initials
        addAccount({.code = u"DEMO1"_s, .initials = u"JD"_s, .company = u"Northfield"_s});
        // The hour of the run counts neither before the first load nor while the sign-in
        // window is shown again.
        const auto tick = [this](int n) {
            for (int i = 0; i < n; ++i)
                m_window->Timer6_Timer();
        };
        tick(720);
        m_answers = answers;
        m_onReturn = [&] {
            tick(400);
            QVERIFY(m_splash->txtUserCode->text().isEmpty() && !m_window->isVisible());
        };
        QVERIFY(enterCode(u"GUEST1"_s));
        QStringList messages;
        for (const auto& shown : m_dialogs.shown)
            messages << shown.text;
        const qsizetype asked = answers.size() + 1;
        QCOMPARE(messages, QStringList({u"The User entered (GUEST1/GU) is not an authorized Operator."_s,
                                        u"The User entered (NOINI/) is not an authorized Operator."_s,
                                        u"The User Code entered (NOPE) was not found."_s})
                               .mid(0, asked));
        QCOMPARE(loginRecords(*m_central),
                 QList<QVariantList>({record(0, u"GUEST1"_s), record(0, u"NOINI"_s), record(0, u"NOPE"_s),
                                      record(1, u"DEMO1"_s, u"Northfield"_s, u"JD"_s)})
                     .mid(0, asked));
        // A closed window ends the run.
        QCOMPARE(m_window->isVisible(), !answers.isEmpty());
        QCOMPARE(m_end.ends, answers.isEmpty() ? 1 : 0);
        if (answers.isEmpty())
            return;
        // The 360th tick of 10 s runs QUIT, whose own close does not run it again.
        m_dialogs.shown.clear();
        tick(359);
        QVERIFY(m_dialogs.shown.isEmpty() && m_end.ends == 0 && m_window->isVisible());
        tick(1);
        QVERIFY(m_dialogs.shown.size() == 1 && m_end.ends == 1 && !m_window->isVisible());
        tick(360);
        QVERIFY(m_dialogs.shown.size() == 1 && m_end.ends == 1);
    }

    void recordCuts()
    {
        // "V1.2.0 Op System = " is 19 characters: the text is cut to 50; the listing is cut to
        // 150 when longer than 200.
        for (const int length : {31, 32})
            QCOMPARE(StartSequence::progVERtext(QString(length, u'o')),
                     QString(u"V1.2.0 Op System = "_s + QString(length, u'o')).left(50));
        for (const auto& [length, stored] : {std::pair{200, 200}, {201, 150}})
            QCOMPARE(StartSequence::macLISTtext(QString(length, u'm')), QString(stored, u'm'));
    }

    void statusAfterStart_data()
    {
        QTest::addColumn<int>("partNumbers");
        QTest::addColumn<bool>("customerReachable");
        QTest::addColumn<int>("ports");
        QTest::addColumn<QString>("status");
        QTest::addColumn<quint32>("color");
        const QString unread = u"ERROR: Unable to read the part number list of no_such_db"_s;
        QTest::newRow("exactly 100: all listed")
            << 100 << true << 8 << u"Waiting for User Input"_s << colors::white;
        QTest::newRow("105: notice of 5 unlisted")
            << 105 << true << 8
            << u"RESULT: 5 of 105 part numbers not listed - Ctrl+F finds any part number"_s << colors::yellow;
        QTest::newRow("unreachable, 60 ports: the port notice is kept")
            << 3 << false << 60 << unread + u"; Station has 60 ports; only the first 49 can be edited"_s
            << colors::red;
    }

    void statusAfterStart()
    {
        QFETCH(int, partNumbers);
        QFETCH(bool, customerReachable);
        QFETCH(int, ports);
        QFETCH(QString, status);
        QFETCH(quint32, color);
        addAccount({.code = u"S1"_s,
                    .initials = u"SS"_s,
                    .numPORTS = ports,
                    .custDB = customerReachable ? QString() : u"no_such_db"_s});
        // Stored in descending order: the list shows the lowest 100 of all, not the first 100 read.
        QStringList names;
        for (int i = partNumbers; i >= 1; --i)
            names << u"PN-%1"_s.arg(i, 3, 10, QChar(u'0'));
        addPartNumbers(names);
        QVERIFY(enterCode(u"S1"_s));
        QVERIFY(m_dialogs.shown.isEmpty() && m_window->isVisible());
        QCOMPARE(m_window->txtStatus->text(), status);
        QCOMPARE(backColor(m_window->txtStatus), color);
        QStringList expected = customerReachable ? names : QStringList();
        std::sort(expected.begin(), expected.end());
        QCOMPARE(listEntries(), expected.mid(0, 100));
    }
};

QTEST_MAIN(TestSignin)
#include "tst_signin.moc"
