#include "Connection.h"
#include "DbFixtures.h"

#include <mysql.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace zelmar;

class TestConnection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void serverValues_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("address"); // "host port", empty: refused
        QTest::newRow("name and port") << u"db.example:4000"_s << u"db.example 4000"_s;
        QTest::newRow("ipv6 bracketed") << u"[::1]:3310"_s << u"::1 3310"_s;
        for (const QString& bad : {u"host:0"_s, u"host:70000"_s, u"host:abc"_s, QString()})
            QTest::addRow("refused: %s", qPrintable(bad)) << bad << QString();
    }
    void serverValues()
    {
        QFETCH(QString, server);
        QFETCH(QString, address);
        const db::ServerAddress a = db::parseServer(server);
        QCOMPARE(a.valid ? a.host + u' ' + QString::number(a.port) : QString(), address);
    }

    // TLS whenever the server offers it; with a site CA, only to a server that proves itself by it.
    void tls_data()
    {
        QTest::addColumn<QString>("ca"); // "server": the TLS server's own certificate
        QTest::addColumn<bool>("tlsServer");
        QTest::addColumn<bool>("encrypted"); // else: no connection, or a plain one when no CA is given
        QTest::newRow("no CA, server with TLS: encrypted") << QString() << true << true;
        QTest::newRow("no CA, server without TLS: plain") << QString() << false << false;
        QTest::newRow("the server's CA: verified, encrypted") << u"server"_s << true << true;
        QTest::newRow("the server's CA, server without TLS: refused") << u"server"_s << false << false;
        QTest::newRow("another CA: refused") << u"other"_s << true << false;
    }
    void tls()
    {
        QFETCH(QString, ca);
        QFETCH(bool, tlsServer);
        QFETCH(bool, encrypted);
        QTemporaryDir dir;
        QString file = ca.isEmpty() ? QString() : qEnvironmentVariable("ZELMAR_TEST_CA");
        QVERIFY2(ca.isEmpty() || QFile::exists(file), "ZELMAR_TEST_CA: run the tests through scripts/test");
        if (ca == u"other"_s) {
            file = dir.filePath(u"other.pem"_s);
            QCOMPARE(
                QProcess::execute(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s,
                                                 u"-nodes"_s, u"-days"_s, u"1"_s, u"-subj"_s, u"/CN=other"_s,
                                                 u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s, u"-keyout"_s,
                                                 dir.filePath(u"other.key"_s), u"-out"_s, file}),
                0);
        }
        const test::ServerInfo server = tlsServer ? test::tlsServer() : test::plainServer();
        QVERIFY(server.valid());
        db::Connection connection(
            {QString(), server.serverValue(), QString(), server.user, server.password, file});
        const bool open = connection.open();
        QCOMPARE(open, encrypted || ca.isEmpty());
        QCOMPARE(open && mysql_get_ssl_cipher(connection.handle()) != nullptr, encrypted);
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
