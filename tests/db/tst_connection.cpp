#include "Connection.h"
#include "Database.h"
#include "Profile.h"
#include "Recordset.h"
#include "TestServer.h"

#include <mysql.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;

class TestConnection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectionStringIsTheSevenPieces_data();
    void connectionStringIsTheSevenPieces();
    void serverValues_data();
    void serverValues();
    void passwordWithSeparatorsConnects();
    void foundRowsOptionTook();
    void tlsWhenOfferedPlainOtherwise();
    void siteCaIsVerified_data();
    void siteCaIsVerified();
    void silentServerIsBounded();
    void slowQueryIsBounded();
    void deadPortFailsAtOnce();
};

void TestConnection::connectionStringIsTheSevenPieces_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("expected");
    QTest::newRow("windows 7 driver")
        << u"DRIVER={MySQL ODBC 5.1 Driver};"_s << u"kqz4093175862"_s
        << u"DRIVER={MySQL ODBC 5.1 "
           u"Driver};SERVER=10.1.2.3;DATABASE=tARV;UID=admin_tarv;PASSWORD=kqz4093175862;"
           u"SslMode=Preferred;OPTION=3;"_s;
    QTest::newRow("xp driver, value inserted as it is")
        << u"DRIVER={MySQL ODBC 3.51 Driver};"_s << u"a;b c"_s
        << u"DRIVER={MySQL ODBC 3.51 Driver};SERVER=10.1.2.3;DATABASE=tARV;UID=admin_tarv;PASSWORD=a;b c;"
           u"SslMode=Preferred;OPTION=3;"_s;
    QTest::newRow("no driver clause")
        << QString() << u"p"_s
        << u"SERVER=10.1.2.3;DATABASE=tARV;UID=admin_tarv;PASSWORD=p;SslMode=Preferred;OPTION=3;"_s;
}

void TestConnection::connectionStringIsTheSevenPieces()
{
    QFETCH(QString, driver);
    QFETCH(QString, password);
    QFETCH(QString, expected);
    const db::Profile profile{driver, u"10.1.2.3"_s, u"tARV"_s, u"admin_tarv"_s, password};
    QCOMPARE(profile.connectionString(), expected);
}

void TestConnection::serverValues_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("host only") << u"192.168.1.20"_s << true << u"192.168.1.20"_s << 3306;
    QTest::newRow("host and port") << u"127.0.0.1:3307"_s << true << u"127.0.0.1"_s << 3307;
    QTest::newRow("name and port") << u"db.example:4000"_s << true << u"db.example"_s << 4000;
    QTest::newRow("ipv6 bracketed") << u"[::1]:3310"_s << true << u"::1"_s << 3310;
    QTest::newRow("port zero") << u"host:0"_s << false << QString() << 0;
    QTest::newRow("port too large") << u"host:70000"_s << false << QString() << 0;
    QTest::newRow("port not a number") << u"host:abc"_s << false << QString() << 0;
    QTest::newRow("empty") << QString() << false << QString() << 0;
}

void TestConnection::serverValues()
{
    QFETCH(QString, server);
    QFETCH(bool, valid);
    QFETCH(QString, host);
    QFETCH(int, port);
    const db::ServerAddress address = db::parseServer(server);
    QCOMPARE(address.valid, valid);
    if (valid) {
        QCOMPARE(address.host, host);
        QCOMPARE(address.port, port);
    }
}

void TestConnection::passwordWithSeparatorsConnects()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    const QString user = u"u_"_s + tdb.name().right(12);
    const QString password = u"p;w=1'\"`;OPTION=0;"_s;
    QString literal = password;
    literal.replace(u"'"_s, u"''"_s);
    QVERIFY(tdb.exec(u"CREATE USER '"_s + user + u"'@'127.0.0.1' IDENTIFIED BY '"_s + literal + u"'"_s));
    QVERIFY(tdb.exec(u"GRANT SELECT ON `"_s + tdb.name() + u"`.* TO '"_s + user + u"'@'127.0.0.1'"_s));
    db::Profile profile = tdb.profile();
    profile.user = user;
    profile.password = password;
    {
        db::Connection connection(profile);
        QVERIFY2(connection.open(), qPrintable(connection.errorText()));
        db::Recordset rs(connection);
        QVERIFY(rs.open(db::wholeTable(u"snPN"_s)));
        QCOMPARE(rs.recordCount(), 0);
    }
    profile.password = u"p"_s;
    db::Connection wrong(profile);
    QVERIFY(!wrong.open());
    tdb.exec(u"DROP USER '"_s + user + u"'@'127.0.0.1'"_s);
}

void TestConnection::foundRowsOptionTook()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES ('AB-1', 1)"_s));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    // A save that changes nothing still finds its row: the server reports the rows it matched.
    db::Recordset rs(connection);
    QVERIFY(rs.open(db::onePartNumber(u"snPN"_s, u"AB-1"_s)));
    QVERIFY(rs.moveFirst());
    QVERIFY(rs.setField(u"mapPORT"_s, 1));
    QVERIFY2(rs.update(), qPrintable(rs.errorText()));
}

void TestConnection::tlsWhenOfferedPlainOtherwise()
{
    const auto cipherOf = [](const test::ServerInfo& server) -> QString {
        db::Profile profile{QString(), server.serverValue(), QString(), server.user, server.password};
        db::Connection connection(profile);
        if (!connection.open())
            return u"<no connection: "_s + connection.errorText() + u'>';
        // The session's own word, not the client's.
        MYSQL* mysql = connection.handle();
        if (mysql_query(mysql, "SHOW SESSION STATUS LIKE 'Ssl_cipher'") != 0)
            return u"<no status>"_s;
        MYSQL_RES* result = mysql_store_result(mysql);
        MYSQL_ROW row = result ? mysql_fetch_row(result) : nullptr;
        const QString cipher = row && row[1] ? QString::fromUtf8(row[1]) : u"<no row>"_s;
        if (result)
            mysql_free_result(result);
        return cipher;
    };
    QVERIFY(test::tlsServer().valid());
    QVERIFY(test::plainServer().valid());
    const QString withTls = cipherOf(test::tlsServer());
    QVERIFY2(!withTls.isEmpty() && !withTls.startsWith(u'<'), qPrintable(withTls));
    QCOMPARE(cipherOf(test::plainServer()), QString());
}

void TestConnection::siteCaIsVerified_data()
{
    QTest::addColumn<QString>("ca"); // "server": the TLS server's own certificate
    QTest::addColumn<bool>("tlsServer");
    QTest::addColumn<bool>("connects");
    QTest::newRow("the server's CA: verified, encrypted") << u"server"_s << true << true;
    QTest::newRow("the server's CA, server without TLS: refused") << u"server"_s << false << false;
    QTest::newRow("another CA: refused") << u"other"_s << true << false;
    QTest::newRow("a CA file that is not there: refused") << u"missing"_s << true << false;
}

void TestConnection::siteCaIsVerified()
{
    QFETCH(QString, ca);
    QFETCH(bool, tlsServer);
    QFETCH(bool, connects);
    const QString serverCa = qEnvironmentVariable("ZELMAR_TEST_CA");
    QVERIFY2(QFile::exists(serverCa), "ZELMAR_TEST_CA: run the tests through scripts/test");
    QTemporaryDir dir;
    QString file = serverCa;
    if (ca == u"other"_s) {
        file = dir.filePath(u"other.pem"_s);
        const int made = QProcess::execute(
            u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-days"_s, u"1"_s,
                          u"-subj"_s, u"/CN=other"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s,
                          u"-keyout"_s, dir.filePath(u"other.key"_s), u"-out"_s, file});
        QCOMPARE(made, 0);
    } else if (ca == u"missing"_s) {
        file = dir.filePath(u"none.pem"_s);
    }
    const test::ServerInfo server = tlsServer ? test::tlsServer() : test::plainServer();
    db::Profile profile{QString(), server.serverValue(), QString(), server.user, server.password, file};
    db::Connection connection(profile);
    QCOMPARE(connection.open(), connects);
    if (!connects)
        return;
    MYSQL* mysql = connection.handle();
    QCOMPARE(mysql_query(mysql, "SHOW SESSION STATUS LIKE 'Ssl_cipher'"), 0);
    MYSQL_RES* result = mysql_store_result(mysql);
    MYSQL_ROW row = result ? mysql_fetch_row(result) : nullptr;
    const QString cipher = row && row[1] ? QString::fromUtf8(row[1]) : QString();
    if (result)
        mysql_free_result(result);
    QVERIFY(!cipher.isEmpty());
}

void TestConnection::silentServerIsBounded()
{
    // Accepts TCP connections (the kernel completes them) but never says a word.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    db::Profile profile{QString(), u"127.0.0.1:"_s + QString::number(silent.serverPort()), u"x"_s, u"u"_s,
                        u"p"_s};
    QElapsedTimer clock;
    clock.start();
    db::Connection connection(profile);
    QVERIFY(!connection.open());
    const qint64 elapsed = clock.elapsed();
    qInfo("silent server gave up after %lld ms", elapsed);
    QVERIFY2(elapsed < 11000, qPrintable(QString::number(elapsed)));
}

void TestConnection::slowQueryIsBounded()
{
    test::TestDatabase tdb;
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()));
    QVERIFY(tdb.exec(u"INSERT INTO snPN (partNUM, mapPORT) VALUES ('AB-1', 1)"_s));
    db::Connection connection(tdb.profile());
    QVERIFY(connection.open());
    db::Recordset rs(connection);
    // A server that takes a query and never answers it.
    const db::Query slow{u"snPN"_s, u" WHERE SLEEP(30) = 0"_s, {}};
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!rs.open(slow));
    const qint64 elapsed = clock.elapsed();
    qInfo("unanswered query gave up after %lld ms", elapsed);
    QVERIFY2(elapsed < 11000, qPrintable(QString::number(elapsed)));
}

void TestConnection::deadPortFailsAtOnce()
{
    db::Profile profile{QString(), u"127.0.0.1:"_s + QString::number(test::deadPort()), u"x"_s, u"u"_s,
                        u"p"_s};
    QElapsedTimer clock;
    clock.start();
    db::Connection connection(profile);
    QVERIFY(!connection.open());
    QVERIFY(!connection.errorText().isEmpty());
    QVERIFY(clock.elapsed() < 3000);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
