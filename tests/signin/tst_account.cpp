#include "Account.h"
#include "Database.h"
#include "TestServer.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using signin::AccountValues;
using signin::CentralAccounts;

namespace {

class FakeInternet : public InternetProbe
{
public:
    explicit FakeInternet(qint16 answer = 1)
        : answer(answer)
    {}
    void checkINTERNET(qint16& connected) override
    {
        ++calls;
        connected = answer;
    }
    qint16 answer;
    int calls = 0;
};

// Values that a lookup must either overwrite all or leave all.
AccountValues sentinel()
{
    AccountValues a;
    a.Operator_Initials = u"keep-oi"_s;
    a.Company = u"keep-co"_s;
    a.tARV = -11;
    a.numPORTS = -12;
    a.ipPORT = u"keep-ip"_s;
    a.runMODE = -13;
    a.custDB = u"keep-db"_s;
    a.custUSER = u"keep-user"_s;
    a.custUSER_PW = u"keep-pw"_s;
    a.configTABLE = u"keep-config"_s;
    a.snTABLE = u"keep-sn"_s;
    a.outputTABLE = u"keep-out"_s;
    a.overallTABLE = u"keep-overall"_s;
    a.imageTABLE = u"keep-image"_s;
    a.ver_min2 = -1.5f;
    return a;
}

const QString insertAccount =
    u"INSERT INTO Customers (Operator_Code, Operator_Initials, Company, tARV, numPORTS, ipPORT, runMODE, "
    u"custDB, custUSER, custUSER_PW, configTABLE, snTABLE, outputTABLE, overallTABLE, imageTABLE, ver_min2) "
    u"VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"_s;

QVariantList accountRow(const QString& code, const QString& initials, const QString& company)
{
    return {code,
            initials,
            company,
            1,
            8,
            u"10.0.0.5:3306"_s,
            2,
            u"custdb"_s,
            u"custuser"_s,
            u"custpw"_s,
            u"portCONFIG"_s,
            u"snPN"_s,
            u"outT"_s,
            u"overT"_s,
            u"imgT"_s,
            1.2};
}

} // namespace

class TestAccount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void queryBindsTheCode();
    void errorTexts();

    void foundReadsEveryColumnInOrder();
    void partOrderSignatureFillsEachArgument();
    void notFoundKeepsValues();
    void laterMissKeepsEarlierFind();
    void twoRowsSameCodeTakesFirst();
    void codeWithQuoteIsAValue();
    void emptyCodeLooksUp();
    void nullColumnIsCode03_data();
    void nullColumnIsCode03();
    void numPortsOutOfRangeIsCode03();
    void missingTableIsCode02();
    void deadPortIsCode00Or01_data();
    void deadPortIsCode00Or01();
    void wrongPasswordIsAConnectionFailure();
    void injectionCodesFindNothingAndChangeNothing_data();
    void injectionCodesFindNothingAndChangeNothing();

    void auditRecordOfASuccess();
    void auditRecordOfAFailure();
    void auditKeepsCodeAndListingAsTheyAre();
    void auditFailuresAreSilent();

private:
    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<test::ScriptedDialogs> m_dialogs;
    std::unique_ptr<test::RecordingProgramEnd> m_end;
    std::unique_ptr<FakeInternet> m_internet;
    std::unique_ptr<db::Database> m_database;
    std::unique_ptr<CentralAccounts> m_accounts;

    QString server() const { return m_db->server().serverValue(); }
    QString user() const { return m_db->server().user; }
    QString password() const { return m_db->server().password; }
    void lookup(const QString& code, AccountValues& values, qint16& result,
                const QString& table = u"Customers"_s)
    {
        m_accounts->SQL_readCUSTinfo(code, values, server(), m_db->name(), table, user(), password(), result);
    }
    void expectEnded(int code)
    {
        QCOMPARE(m_dialogs->shown.size(), 1);
        const signin::LookupError expected = signin::lookupError(code);
        QCOMPARE(m_dialogs->shown.first().kind, u"message"_s);
        QCOMPARE(m_dialogs->shown.first().text, expected.text);
        QCOMPARE(m_dialogs->shown.first().title, expected.title);
        QCOMPARE(m_end->ends, 1);
    }
    void expectQuiet()
    {
        QVERIFY(m_dialogs->shown.isEmpty());
        QCOMPARE(m_end->ends, 0);
    }
};

void TestAccount::init()
{
    m_db = std::make_unique<test::TestDatabase>(QStringList{u"central.sql"_s});
    if (!m_db->ok())
        QFAIL(qPrintable(m_db->error()));
    m_dialogs = std::make_unique<test::ScriptedDialogs>();
    m_end = std::make_unique<test::RecordingProgramEnd>();
    m_internet = std::make_unique<FakeInternet>();
    m_database = std::make_unique<db::Database>(m_dialogs.get());
    m_database->odbcDRIVER = u"DRIVER={MySQL ODBC 5.1 Driver};"_s;
    m_accounts = std::make_unique<CentralAccounts>(*m_database, *m_dialogs, *m_end, *m_internet);
}

void TestAccount::cleanup()
{
    m_accounts.reset();
    m_database.reset();
    m_db.reset();
}

void TestAccount::queryBindsTheCode()
{
    const db::Query q = signin::operatorCodeQuery(u"Customers"_s, u"a' OR '1'='1"_s);
    QCOMPARE(q.table, u"Customers"_s);
    QCOMPARE(q.condition, u" WHERE Operator_Code=?"_s);
    QCOMPARE(q.values, QVariantList{u"a' OR '1'='1"_s});
    QVERIFY(!q.appendOnly);
}

void TestAccount::errorTexts()
{
    QCOMPARE(signin::lookupError(0).text,
             u"Error: Your computer is NOT connected to Internet. Please correct!"_s);
    QCOMPARE(signin::lookupError(0).title, u"Error Code 00: See Tarvik™ User's Guide"_s);
    QCOMPARE(signin::lookupError(1).text,
             u"Error: MySQL ODBC driver not installed or Network Port 3306 Blocked"_s);
    QCOMPARE(signin::lookupError(1).title, u"Error Code 01: See Tarvik™ User's Guide"_s);
    QCOMPARE(signin::lookupError(2).text, u"Error: Unable to Access User Verification Database. Ensure your "
                                          u"computer is connected to Internet."_s);
    QCOMPARE(signin::lookupError(2).title, u"Error Code 02: See Tarvik™ User's Guide"_s);
    QCOMPARE(signin::lookupError(3).text,
             u"Error: Issues with Reading User Verification Database. Ensure your "
             u"computer is connected to Internet."_s);
    QCOMPARE(signin::lookupError(3).title, u"Error Code 03: See Tarvik™ User's Guide"_s);
}

void TestAccount::foundReadsEveryColumnInOrder()
{
    QVERIFY(m_db->exec(insertAccount, {u"X1"_s, u"AB"_s, u"Acme Test, Inc."_s, 1, 24, u"192.168.7.9:3307"_s,
                                       3, u"acme_db"_s, u"acme_user"_s, u"p;w d"_s, u"acmeCONFIG"_s,
                                       u"acmeSN"_s, u"acmeOUT"_s, u"acmeOVERALL"_s, u"acmeIMG"_s, 1.3}));
    AccountValues values = sentinel();
    qint16 result = 9;
    lookup(u"X1"_s, values, result);
    expectQuiet();
    QCOMPARE(result, qint16(0));
    QCOMPARE(values.Operator_Initials, u"AB"_s);
    QCOMPARE(values.Company, u"Acme Test, Inc."_s);
    QCOMPARE(values.tARV, qint16(1));
    QCOMPARE(values.numPORTS, qint16(24));
    QCOMPARE(values.ipPORT, u"192.168.7.9:3307"_s);
    QCOMPARE(values.runMODE, qint16(3));
    QCOMPARE(values.custDB, u"acme_db"_s);
    QCOMPARE(values.custUSER, u"acme_user"_s);
    QCOMPARE(values.custUSER_PW, u"p;w d"_s);
    QCOMPARE(values.configTABLE, u"acmeCONFIG"_s);
    QCOMPARE(values.snTABLE, u"acmeSN"_s);
    QCOMPARE(values.outputTABLE, u"acmeOUT"_s);
    QCOMPARE(values.overallTABLE, u"acmeOVERALL"_s);
    QCOMPARE(values.imageTABLE, u"acmeIMG"_s);
    QCOMPARE(values.ver_min2, 1.3f);
    QCOMPARE(m_internet->calls, 0);
}

void TestAccount::partOrderSignatureFillsEachArgument()
{
    QVERIFY(m_db->exec(insertAccount, {u"C7"_s, u"CD"_s, u"Co"_s, 0, -5, u"ip"_s, 32767, u"d"_s, u"u"_s,
                                       u"pw"_s, u"cfg"_s, u"sn"_s, u"o"_s, u"ov"_s, u"im"_s, 0.5}));
    QString oi, co, ip, db, us, pw, cfg, sn, out, ov, im;
    qint16 tarv = 1, ports = 0, mode = 0, result = 5;
    float ver = 0;
    m_accounts->SQL_readCUSTinfo(u"C7"_s, oi, co, tarv, ports, server(), m_db->name(), u"Customers"_s, user(),
                                 password(), ip, mode, db, us, pw, cfg, sn, out, ov, im, ver, result);
    expectQuiet();
    QCOMPARE(result, qint16(0));
    const QStringList texts{oi, co, ip, db, us, pw, cfg, sn, out, ov, im};
    QCOMPARE(texts, (QStringList{u"CD"_s, u"Co"_s, u"ip"_s, u"d"_s, u"u"_s, u"pw"_s, u"cfg"_s, u"sn"_s,
                                 u"o"_s, u"ov"_s, u"im"_s}));
    QCOMPARE(tarv, qint16(0));
    QCOMPARE(ports, qint16(-5));
    QCOMPARE(mode, qint16(32767));
    QCOMPARE(ver, 0.5f);
}

void TestAccount::notFoundKeepsValues()
{
    QVERIFY(m_db->exec(insertAccount, accountRow(u"X1"_s, u"AB"_s, u"Acme"_s)));
    AccountValues values = sentinel();
    qint16 result = 0;
    lookup(u"NOPE"_s, values, result);
    expectQuiet();
    QCOMPARE(result, qint16(1));
    QVERIFY(values == sentinel());
}

void TestAccount::laterMissKeepsEarlierFind()
{
    QVERIFY(m_db->exec(insertAccount, accountRow(u"X1"_s, u"AB"_s, u"Acme"_s)));
    AccountValues values;
    qint16 result = 9;
    lookup(u"X1"_s, values, result);
    QCOMPARE(result, qint16(0));
    const AccountValues found = values;
    lookup(u"Y2"_s, values, result);
    QCOMPARE(result, qint16(1));
    QVERIFY(values == found);
    expectQuiet();
}

void TestAccount::twoRowsSameCodeTakesFirst()
{
    QVERIFY(m_db->exec(insertAccount, accountRow(u"DUP"_s, u"F1"_s, u"First Co"_s)));
    QVERIFY(m_db->exec(insertAccount, accountRow(u"DUP"_s, u"S2"_s, u"Second Co"_s)));
    AccountValues values;
    qint16 result = 9;
    lookup(u"DUP"_s, values, result);
    expectQuiet();
    QCOMPARE(result, qint16(0));
    QCOMPARE(values.Operator_Initials, u"F1"_s);
    QCOMPARE(values.Company, u"First Co"_s);
}

void TestAccount::codeWithQuoteIsAValue()
{
    QVERIFY(m_db->exec(insertAccount, accountRow(u"O'Brien"_s, u"OB"_s, u"Quote Co"_s)));
    AccountValues values;
    qint16 result = 9;
    lookup(u"O'Brien"_s, values, result);
    expectQuiet();
    QCOMPARE(result, qint16(0));
    QCOMPARE(values.Operator_Initials, u"OB"_s);
}

void TestAccount::emptyCodeLooksUp()
{
    QVERIFY(m_db->exec(insertAccount, accountRow(u"X1"_s, u"AB"_s, u"Acme"_s)));
    AccountValues values = sentinel();
    qint16 result = 0;
    lookup(QString(), values, result);
    expectQuiet();
    QCOMPARE(result, qint16(1));
    QVERIFY(values == sentinel());

    // The empty code is compared as the empty text, as Operator_Code='' would be.
    QVERIFY(m_db->exec(insertAccount, accountRow(u""_s, u"EM"_s, u"Empty Co"_s)));
    lookup(QString(), values, result);
    expectQuiet();
    QCOMPARE(result, qint16(0));
    QCOMPARE(values.Operator_Initials, u"EM"_s);
}

void TestAccount::nullColumnIsCode03_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("type");
    QTest::newRow("Company") << u"Company"_s << u"VARCHAR(64)"_s;
    QTest::newRow("tARV") << u"tARV"_s << u"SMALLINT"_s;
    QTest::newRow("ipPORT") << u"ipPORT"_s << u"VARCHAR(64)"_s;
    QTest::newRow("imageTABLE") << u"imageTABLE"_s << u"VARCHAR(64)"_s;
    QTest::newRow("ver_min2") << u"ver_min2"_s << u"FLOAT"_s;
}

void TestAccount::nullColumnIsCode03()
{
    QFETCH(QString, column);
    QFETCH(QString, type);
    QVERIFY(m_db->exec(u"ALTER TABLE Customers MODIFY "_s + column + u' ' + type + u" NULL"_s));
    QVERIFY(m_db->exec(insertAccount, accountRow(u"N1"_s, u"NN"_s, u"Null Co"_s)));
    QVERIFY(m_db->exec(u"UPDATE Customers SET "_s + column + u" = NULL"_s));
    AccountValues values;
    qint16 result = 7;
    lookup(u"N1"_s, values, result);
    expectEnded(3);
    QCOMPARE(result, qint16(7));
    QCOMPARE(m_internet->calls, 0);
}

void TestAccount::numPortsOutOfRangeIsCode03()
{
    QVERIFY(m_db->exec(u"ALTER TABLE Customers MODIFY numPORTS INT NOT NULL"_s));
    QVERIFY(m_db->exec(insertAccount, accountRow(u"BIG"_s, u"BG"_s, u"Big Co"_s)));
    QVERIFY(m_db->exec(u"UPDATE Customers SET numPORTS = 40000"_s));
    AccountValues values;
    qint16 result = 7;
    lookup(u"BIG"_s, values, result);
    expectEnded(3);
    QCOMPARE(result, qint16(7));
}

void TestAccount::missingTableIsCode02()
{
    AccountValues values = sentinel();
    qint16 result = 7;
    lookup(u"X1"_s, values, result, u"NoSuchCustomers"_s);
    expectEnded(2);
    QCOMPARE(result, qint16(7));
    QVERIFY(values == sentinel());
    QCOMPARE(m_internet->calls, 0);
}

void TestAccount::deadPortIsCode00Or01_data()
{
    QTest::addColumn<int>("internet");
    QTest::addColumn<int>("code");
    QTest::newRow("no Internet") << 0 << 0;
    QTest::newRow("Internet but port closed") << 1 << 1;
}

void TestAccount::deadPortIsCode00Or01()
{
    QFETCH(int, internet);
    QFETCH(int, code);
    m_internet->answer = qint16(internet);
    AccountValues values = sentinel();
    qint16 result = 7;
    m_accounts->SQL_readCUSTinfo(u"X1"_s, values, u"127.0.0.1:"_s + QString::number(test::deadPort()),
                                 m_db->name(), u"Customers"_s, user(), password(), result);
    expectEnded(code);
    QCOMPARE(m_internet->calls, 1);
    QCOMPARE(result, qint16(7));
    QVERIFY(values == sentinel());
}

void TestAccount::wrongPasswordIsAConnectionFailure()
{
    m_internet->answer = 1;
    AccountValues values;
    qint16 result = 7;
    m_accounts->SQL_readCUSTinfo(u"X1"_s, values, server(), m_db->name(), u"Customers"_s, user(),
                                 password() + u"-wrong"_s, result);
    expectEnded(1);
    QCOMPARE(m_internet->calls, 1);
}

void TestAccount::injectionCodesFindNothingAndChangeNothing_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("or true") << u"' OR '1'='1"_s;
    QTest::newRow("or true comment") << u"x' OR 1=1 -- "_s;
    QTest::newRow("hash comment") << u"x' OR 1=1 #"_s;
    QTest::newRow("backslash quote") << u"\\' OR 1=1 #"_s;
    QTest::newRow("stacked drop") << u"'; DROP TABLE Customers; --"_s;
    QTest::newRow("stacked update") << u"'; UPDATE Customers SET tARV=0; --"_s;
    QTest::newRow("union") << u"' UNION SELECT * FROM Customers -- "_s;
}

void TestAccount::injectionCodesFindNothingAndChangeNothing()
{
    QFETCH(QString, code);
    QVERIFY(m_db->exec(insertAccount, accountRow(u"X1"_s, u"AB"_s, u"Acme"_s)));
    QVERIFY(m_db->exec(insertAccount, accountRow(u"Y2"_s, u"CD"_s, u"Beta"_s)));
    const QString snapshot =
        u"SELECT id, Operator_Code, Operator_Initials, Company, tARV FROM Customers ORDER BY id"_s;
    const QList<QVariantList> before = m_db->rows(snapshot);
    QCOMPARE(before.size(), 2);

    AccountValues values = sentinel();
    qint16 result = 0;
    lookup(code, values, result);
    expectQuiet();
    QCOMPARE(result, qint16(1));
    QVERIFY(values == sentinel());
    QCOMPARE(m_db->rows(snapshot), before);
    QCOMPARE(m_db->count(u"CustLogin"_s), 0);

    // The audit record holds the code as a value too (as typed: at most 16 characters).
    qint16 audit = 9;
    m_accounts->SQL_writeLOGIN(server(), m_db->name(), u"CustLogin"_s, user(), password(), 0, code.left(16),
                               u"N/A"_s, u"N/A"_s, QString(), u"V1.2.0"_s, audit);
    QCOMPARE(audit, qint16(0));
    QCOMPARE(m_db->scalar(u"SELECT User_Code FROM CustLogin"_s).toString(), code.left(16));
    QCOMPARE(m_db->rows(snapshot), before);
}

void TestAccount::auditRecordOfASuccess()
{
    qint16 result = 9;
    m_accounts->SQL_writeLOGIN(server(), m_db->name(), u"CustLogin"_s, user(), password(), 1, u"X1"_s,
                               u"AB"_s, u"Acme Test, Inc."_s, u"1 Adapter(s):\r\n"_s,
                               u"V1.2.0 Op System = Windows XP"_s, result);
    QCOMPARE(result, qint16(0));
    expectQuiet();
    const QList<QVariantList> rows = m_db->rows(
        u"SELECT Login, User_Code, Company_Name, proGRAM, Operator_Name, MAC_ID, progVER FROM CustLogin"_s);
    QCOMPARE(rows.size(), 1);
    const QVariantList& r = rows.first();
    QCOMPARE(r.at(0).toInt(), 1);
    QCOMPARE(r.at(1).toString(), u"X1"_s);
    QCOMPARE(r.at(2).toString(), u"Acme Test, Inc."_s);
    QCOMPARE(r.at(3).toString(), u"Zelmar"_s);
    QCOMPARE(r.at(4).toString(), u"AB"_s);
    QCOMPARE(r.at(5).toString(), u"1 Adapter(s):\r\n"_s);
    QCOMPARE(r.at(6).toString(), u"V1.2.0 Op System = Windows XP"_s);
    // The program sets no other column: the table's own default stamped the time.
    QVERIFY(!m_db->scalar(u"SELECT logged_at FROM CustLogin"_s).isNull());
}

void TestAccount::auditRecordOfAFailure()
{
    const QString listing = u"2 Adapter(s):\r\n\r\n[0] eth0\r\n\t00-1A-2B-0A-4D-5E\r\n"_s;
    const QString version = u"V1.2.0 Op System = Debian GNU/Linux 12 (bookworm)"_s;
    qint16 result = 9;
    m_accounts->SQL_writeLOGIN(server(), m_db->name(), u"CustLogin"_s, user(), password(), 0, u"NOPE"_s,
                               u"N/A"_s, u"N/A"_s, listing, version, result);
    QCOMPARE(result, qint16(0));
    m_accounts->SQL_writeLOGIN(server(), m_db->name(), u"CustLogin"_s, user(), password(), 1, u"X1"_s,
                               u"AB"_s, u"Acme"_s, listing, version, result);
    QCOMPARE(result, qint16(0));
    expectQuiet();
    const QList<QVariantList> rows =
        m_db->rows(u"SELECT Login, User_Code, Company_Name, proGRAM, Operator_Name, "
                   u"MAC_ID, progVER FROM CustLogin ORDER BY id"_s);
    QCOMPARE(rows.size(), 2);
    const QVariantList& failed = rows.at(0);
    QCOMPARE(failed.at(0).toInt(), 0);
    QCOMPARE(failed.at(1).toString(), u"NOPE"_s);
    QCOMPARE(failed.at(2).toString(), u"N/A"_s);
    QCOMPARE(failed.at(3).toString(), u"Zelmar"_s);
    QCOMPARE(failed.at(4).toString(), u"N/A"_s);
    // The same program, listing and version as a success.
    const QVariantList& ok = rows.at(1);
    QCOMPARE(failed.at(3), ok.at(3));
    QCOMPARE(failed.at(5), ok.at(5));
    QCOMPARE(failed.at(6), ok.at(6));
    QCOMPARE(failed.at(5).toString(), listing);
    QCOMPARE(failed.at(6).toString(), version);
}

void TestAccount::auditKeepsCodeAndListingAsTheyAre()
{
    const QString code = u"  spaced  "_s;
    const QString listing = QString(150, u'x');
    qint16 result = 9;
    m_accounts->SQL_writeLOGIN(server(), m_db->name(), u"CustLogin"_s, user(), password(), 0, code, u"N/A"_s,
                               u"N/A"_s, listing, QString(50, u'v'), result);
    QCOMPARE(result, qint16(0));
    QCOMPARE(m_db->scalar(u"SELECT User_Code FROM CustLogin"_s).toString(), code);
    QCOMPARE(m_db->scalar(u"SELECT MAC_ID FROM CustLogin"_s).toString(), listing);
    QCOMPARE(m_db->scalar(u"SELECT progVER FROM CustLogin"_s).toString(), QString(50, u'v'));

    // A failed adapter query gives an empty listing, stored as it is (empty, not NULL); so is an empty code.
    QVERIFY(m_db->exec(u"DELETE FROM CustLogin"_s));
    m_accounts->SQL_writeLOGIN(server(), m_db->name(), u"CustLogin"_s, user(), password(), 0, QString(),
                               u"N/A"_s, u"N/A"_s, QString(), u"V1.2.0"_s, result);
    QCOMPARE(result, qint16(0));
    const QList<QVariantList> rows = m_db->rows(u"SELECT User_Code, MAC_ID FROM CustLogin"_s);
    QCOMPARE(rows.size(), 1);
    QVERIFY(!rows.first().at(0).isNull());
    QCOMPARE(rows.first().at(0).toString(), QString());
    QVERIFY(!rows.first().at(1).isNull());
    QCOMPARE(rows.first().at(1).toString(), QString());
}

void TestAccount::auditFailuresAreSilent()
{
    qint16 result = 0;
    m_accounts->SQL_writeLOGIN(server(), m_db->name(), u"NoSuchLogin"_s, user(), password(), 1, u"X1"_s,
                               u"AB"_s, u"Acme"_s, QString(), QString(), result);
    QCOMPARE(result, qint16(1));

    result = 0;
    m_accounts->SQL_writeLOGIN(u"127.0.0.1:"_s + QString::number(test::deadPort()), m_db->name(),
                               u"CustLogin"_s, user(), password(), 1, u"X1"_s, u"AB"_s, u"Acme"_s, QString(),
                               QString(), result);
    QCOMPARE(result, qint16(1));

    // A value the column cannot hold fails the store.
    result = 0;
    m_accounts->SQL_writeLOGIN(server(), m_db->name(), u"CustLogin"_s, user(), password(), 1, u"X1"_s,
                               u"AB"_s, u"Acme"_s, QString(201, u'm'), QString(), result);
    QCOMPARE(result, qint16(1));

    expectQuiet();
    QCOMPARE(m_internet->calls, 0);
    QCOMPARE(m_db->count(u"CustLogin"_s), 0);
}

QTEST_GUILESS_MAIN(TestAccount)
#include "tst_account.moc"
