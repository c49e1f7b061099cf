// The account lookup and the sign-in record against a real central database.
#include "Account.h"
#include "Database.h"
#include "SigninFixtures.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using signin::AccountValues;
using test::AccountRow;

namespace {

// Values that a lookup must either overwrite all or leave all.
AccountValues sentinel()
{
    return {u"keep-oi"_s,
            u"keep-co"_s,
            -11,
            -12,
            u"keep-ip"_s,
            -13,
            u"keep-db"_s,
            u"keep-user"_s,
            u"keep-pw"_s,
            u"keep-config"_s,
            u"keep-sn"_s,
            u"keep-out"_s,
            u"keep-overall"_s,
            u"keep-image"_s,
            -1.5f};
}

} // namespace

class TestAccount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void foundReadsEveryColumnInOrder();
    void codesAreValues_data();
    void codesAreValues();
    void failuresEndWithTheirCode_data();
    void failuresEndWithTheirCode();
    void auditRecordHoldsItsSevenColumns();
    void auditFailuresAreSilent();

private:
    std::unique_ptr<test::TestDatabase> m_db;
    test::ScriptedDialogs m_dialogs;
    test::RecordingProgramEnd m_end;
    test::FakeInternet m_internet;
    std::unique_ptr<db::Database> m_database;
    std::unique_ptr<signin::CentralAccounts> m_accounts;

    void lookup(const QString& code, AccountValues& values, qint16& result,
                const QString& table = u"Customers"_s, const QString& server = QString(),
                const QString& password = QString())
    {
        const test::ServerInfo& s = m_db->server();
        m_accounts->SQL_readCUSTinfo(code, values, server.isEmpty() ? s.serverValue() : server, m_db->name(),
                                     table, s.user, password.isEmpty() ? s.password : password, result);
    }
    void writeLogin(qint16 login, const QString& code, const QString& macList, qint16& result,
                    const QString& table = u"CustLogin"_s, const QString& server = QString())
    {
        const test::ServerInfo& s = m_db->server();
        m_accounts->SQL_writeLOGIN(server.isEmpty() ? s.serverValue() : server, m_db->name(), table, s.user,
                                   s.password, login, code, u"OpName"_s, u"Co Name"_s, macList,
                                   u"V1.2.0 Op System = Windows XP"_s, result);
    }
};

void TestAccount::init()
{
    m_db = std::make_unique<test::TestDatabase>(QStringList{u"central.sql"_s});
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    m_dialogs = {};
    m_end = {};
    m_internet = {};
    m_database = std::make_unique<db::Database>(&m_dialogs);
    m_database->odbcDRIVER = u"DRIVER={MySQL ODBC 5.1 Driver};"_s;
    m_accounts = std::make_unique<signin::CentralAccounts>(*m_database, m_dialogs, m_end, m_internet);
}

void TestAccount::foundReadsEveryColumnInOrder()
{
    // Every column distinct, so that a value read into the wrong place shows.
    test::addAccount(*m_db, {u"X1"_s, u"AB"_s, u"Acme Test, Inc."_s, 1, 24, u"192.168.7.9:3307"_s, 3,
                             u"acme_db"_s, u"acme_user"_s, u"p;w d"_s, u"acmeCONFIG"_s, u"acmeSN"_s,
                             u"acmeOUT"_s, u"acmeOVERALL"_s, u"acmeIMG"_s, 1.3});
    AccountValues values = sentinel();
    qint16 result = 9;
    lookup(u"X1"_s, values, result);
    QCOMPARE(result, qint16(0));
    const AccountValues expected{u"AB"_s,
                                 u"Acme Test, Inc."_s,
                                 1,
                                 24,
                                 u"192.168.7.9:3307"_s,
                                 3,
                                 u"acme_db"_s,
                                 u"acme_user"_s,
                                 u"p;w d"_s,
                                 u"acmeCONFIG"_s,
                                 u"acmeSN"_s,
                                 u"acmeOUT"_s,
                                 u"acmeOVERALL"_s,
                                 u"acmeIMG"_s,
                                 1.3f};
    QVERIFY(values == expected);
    QVERIFY(m_dialogs.shown.isEmpty());
    QCOMPARE(m_end.ends, 0);
    QCOMPARE(m_internet.calls, 0);
}

void TestAccount::codesAreValues_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("initials"); // empty: not found
    QTest::newRow("duplicate codes give the first row") << u"DUP"_s << u"F1"_s;
    QTest::newRow("a quote in a code is matched as typed") << u"O'Brien"_s << u"OB"_s;
    QTest::newRow("the empty code is the empty text") << QString() << u"EM"_s;
    QTest::newRow("unknown code leaves every value") << u"NOPE"_s << QString();
    QTest::newRow("injection: or true") << u"' OR '1'='1"_s << QString();
    QTest::newRow("injection: comment") << u"x' OR 1=1 -- "_s << QString();
    QTest::newRow("injection: backslash quote") << u"\\' OR 1=1 #"_s << QString();
    QTest::newRow("injection: stacked drop") << u"'; DROP TABLE Customers; --"_s << QString();
    QTest::newRow("injection: stacked update") << u"'; UPDATE Customers SET tARV=0; --"_s << QString();
    QTest::newRow("injection: union") << u"' UNION SELECT * FROM Customers -- "_s << QString();
}

void TestAccount::codesAreValues()
{
    QFETCH(QString, code);
    QFETCH(QString, initials);
    for (const auto& [c, oi] : {std::pair{u"DUP"_s, u"F1"_s}, std::pair{u"DUP"_s, u"S2"_s},
                                std::pair{u"O'Brien"_s, u"OB"_s}, std::pair{QString(), u"EM"_s}})
        test::addAccount(*m_db, AccountRow{.code = c, .initials = oi});
    const QString snapshot =
        u"SELECT id, Operator_Code, Operator_Initials, tARV FROM Customers ORDER BY id"_s;
    const QList<QVariantList> before = m_db->rows(snapshot);

    AccountValues values = sentinel();
    qint16 result = initials.isEmpty() ? 0 : 9;
    lookup(code, values, result);
    QCOMPARE(result, qint16(initials.isEmpty() ? 1 : 0));
    if (initials.isEmpty())
        QVERIFY(values == sentinel());
    else
        QCOMPARE(values.Operator_Initials, initials);
    QVERIFY(m_dialogs.shown.isEmpty());
    QCOMPARE(m_end.ends, 0);
    QCOMPARE(m_db->rows(snapshot), before);

    // The sign-in record holds the code as a value too (as typed: at most 16 characters).
    qint16 audit = 9;
    writeLogin(0, code.left(16), QString(), audit);
    QCOMPARE(audit, qint16(0));
    QCOMPARE(m_db->scalar(u"SELECT User_Code FROM CustLogin"_s).toString(), code.left(16));
    QCOMPARE(m_db->rows(snapshot), before);
}

void TestAccount::failuresEndWithTheirCode_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("deadPort");
    QTest::addColumn<bool>("wrongPassword");
    QTest::addColumn<int>("internet");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("code"); // the status is 10 + the error code

    const QString code00 = u"Error Code 00: See Tarvik™ User's Guide"_s;
    const QString code01 = u"Error Code 01: See Tarvik™ User's Guide"_s;
    const QString code02 = u"Error Code 02: See Tarvik™ User's Guide"_s;
    const QString code03 = u"Error Code 03: See Tarvik™ User's Guide"_s;
    const QString text00 = u"Error: Your computer is NOT connected to Internet. Please correct!"_s;
    const QString text01 = u"Error: MySQL ODBC driver not installed or Network Port 3306 Blocked"_s;
    const QString text02 = u"Error: Unable to Access User Verification Database. Ensure your computer is "
                           u"connected to Internet."_s;
    const QString text03 = u"Error: Issues with Reading User Verification Database. Ensure your computer is "
                           u"connected to Internet."_s;
    const QString customers = u"Customers"_s;
    const auto nullable = [](const QString& column, const QString& type) {
        return QStringList{u"ALTER TABLE Customers MODIFY "_s + column + u' ' + type + u" NULL"_s,
                           u"UPDATE Customers SET "_s + column + u" = NULL"_s};
    };

    QTest::newRow("NULL Company is code 03") << nullable(u"Company"_s, u"VARCHAR(64)"_s) << customers << false
                                             << false << 1 << text03 << code03 << 3;
    QTest::newRow("NULL tARV is code 03")
        << nullable(u"tARV"_s, u"SMALLINT"_s) << customers << false << false << 1 << text03 << code03 << 3;
    QTest::newRow("NULL ver_min2 is code 03")
        << nullable(u"ver_min2"_s, u"FLOAT"_s) << customers << false << false << 1 << text03 << code03 << 3;
    QTest::newRow("numPORTS beyond 16 bits is code 03")
        << QStringList{u"ALTER TABLE Customers MODIFY numPORTS INT NOT NULL"_s,
                       u"UPDATE Customers SET numPORTS = 40000"_s}
        << customers << false << false << 1 << text03 << code03 << 3;
    QTest::newRow("missing table is code 02")
        << QStringList() << u"NoSuchCustomers"_s << false << false << 1 << text02 << code02 << 2;
    QTest::newRow("dead port without Internet is code 00")
        << QStringList() << customers << true << false << 0 << text00 << code00 << 0;
    QTest::newRow("dead port with Internet is code 01")
        << QStringList() << customers << true << false << 1 << text01 << code01 << 1;
    QTest::newRow("refused login is a connection failure")
        << QStringList() << customers << false << true << 1 << text01 << code01 << 1;
}

void TestAccount::failuresEndWithTheirCode()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, table);
    QFETCH(bool, deadPort);
    QFETCH(bool, wrongPassword);
    QFETCH(int, internet);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(int, code);
    test::addAccount(*m_db, AccountRow{.code = u"N1"_s, .initials = u"NN"_s});
    for (const QString& sql : setup)
        QVERIFY2(m_db->exec(sql), qPrintable(sql));
    m_internet.answer = qint16(internet);

    AccountValues values = sentinel();
    qint16 result = 7;
    lookup(u"N1"_s, values, result, table,
           deadPort ? u"127.0.0.1:"_s + QString::number(test::deadPort()) : QString(),
           wrongPassword ? m_db->server().password + u"-wrong"_s : QString());
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].kind, u"message"_s);
    QCOMPARE(m_dialogs.shown[0].text, text);
    QCOMPARE(m_dialogs.shown[0].title, title);
    QCOMPARE(m_end.ends, 1);
    QCOMPARE(int(m_end.exitStatus()), 10 + code);
    // The probe explains connection failures only.
    QCOMPARE(m_internet.calls, (deadPort || wrongPassword) ? 1 : 0);
    QCOMPARE(result, qint16(7));
    if (setup.isEmpty())
        QVERIFY(values == sentinel());
}

void TestAccount::auditRecordHoldsItsSevenColumns()
{
    const QString listing = u"2 Adapter(s):\r\n\r\n[0] eth0\r\n\t00-1A-2B-0A-4D-5E\r\n"_s;
    qint16 result = 9;
    writeLogin(1, u"  X1 "_s, listing, result);
    QCOMPARE(result, qint16(0));
    // A failed adapter query gives an empty listing, stored empty (not NULL).
    writeLogin(0, u"NOPE"_s, QString(), result);
    QCOMPARE(result, qint16(0));
    QVERIFY(m_dialogs.shown.isEmpty());
    const QString version = u"V1.2.0 Op System = Windows XP"_s;
    QCOMPARE(test::loginRecords(*m_db),
             (QList<QVariantList>{{1, u"  X1 "_s, u"Co Name"_s, u"Zelmar"_s, u"OpName"_s, listing, version},
                                  {0, u"NOPE"_s, u"Co Name"_s, u"Zelmar"_s, u"OpName"_s, u""_s, version}}));
    QVERIFY(!m_db->scalar(u"SELECT MAC_ID FROM CustLogin WHERE Login = 0"_s).isNull());
}

void TestAccount::auditFailuresAreSilent()
{
    qint16 result = 0;
    writeLogin(1, u"X1"_s, QString(), result, u"NoSuchLogin"_s);
    QCOMPARE(result, qint16(1));
    result = 0;
    writeLogin(1, u"X1"_s, QString(), result, u"CustLogin"_s,
               u"127.0.0.1:"_s + QString::number(test::deadPort()));
    QCOMPARE(result, qint16(1));
    // A value the column cannot hold fails the store.
    result = 0;
    writeLogin(1, u"X1"_s, QString(201, u'm'), result);
    QCOMPARE(result, qint16(1));

    QVERIFY(m_dialogs.shown.isEmpty());
    QCOMPARE(m_end.ends, 0);
    QCOMPARE(m_internet.calls, 0);
    QCOMPARE(m_db->count(u"CustLogin"_s), 0);
}

QTEST_GUILESS_MAIN(TestAccount)
#include "tst_account.moc"
