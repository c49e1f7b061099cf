#include "InternetProbe.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {
// A web server on 127.0.0.1 that answers with a fixed reply, or stays silent.
class LocalWebServer : public QTcpServer
{
public:
    explicit LocalWebServer(QByteArray reply)
        : m_reply(std::move(reply))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    socket->readAll();
                    if (!m_reply.isEmpty()) {
                        socket->write(m_reply);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
    }
    QUrl url() const { return QUrl(u"http://127.0.0.1:"_s + QString::number(serverPort()) + u'/'); }

private:
    QByteArray m_reply;
};
} // namespace

class TestInternetProbe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void anyHttpAnswerIsReachable_data();
    void anyHttpAnswerIsReachable();
    void silentServerIsNotReachableWithinBound();
    void nothingListeningIsNotReachable();
};

void TestInternetProbe::initTestCase()
{
    // Only loopback is used here: no proxy of the environment may take the requests elsewhere.
    for (const char* name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(name);
}

void TestInternetProbe::anyHttpAnswerIsReachable_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("200") << QByteArray(
        "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello");
    QTest::newRow("500 is still an answer")
        << QByteArray("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
}

void TestInternetProbe::anyHttpAnswerIsReachable()
{
    QFETCH(QByteArray, reply);
    LocalWebServer server(reply);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    qint16 connected = 0;
    HttpInternetProbe(server.url(), 2000).checkINTERNET(connected);
    QCOMPARE(connected, qint16(1));
}

void TestInternetProbe::silentServerIsNotReachableWithinBound()
{
    LocalWebServer server{QByteArray()};
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    qint16 connected = 1;
    QElapsedTimer clock;
    clock.start();
    HttpInternetProbe(server.url(), 400).checkINTERNET(connected);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(connected, qint16(0));
    QVERIFY2(elapsed >= 300, "the probe waited for an answer");
    QVERIFY2(elapsed < 3000, "the probe is bounded");
}

void TestInternetProbe::nothingListeningIsNotReachable()
{
    QTcpServer probePort;
    QVERIFY(probePort.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probePort.serverPort();
    probePort.close();
    qint16 connected = 1;
    HttpInternetProbe(QUrl(u"http://127.0.0.1:"_s + QString::number(port) + u'/'), 2000)
        .checkINTERNET(connected);
    QCOMPARE(connected, qint16(0));
}

QTEST_GUILESS_MAIN(TestInternetProbe)
#include "tst_internetprobe.moc"
