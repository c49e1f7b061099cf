// The host's facts, the adapter listing, the running-copy check, the Internet probe and
// the event-loop pause.
#include "Adapters.h"
#include "EventLoopPause.h"
#include "HostSystem.h"
#include "InternetProbe.h"
#include "RunningCopy.h"

#include <QDir>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {
struct FakeHost : HostSystem
{
    SystemFacts value;
    SystemFacts facts() const override { return value; }
};
} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

    // Each test has a running-copy scope of its own, so no name meets a real copy.
    QString m_scope;
    const QString m_title = u"Zelmar™: V1.2.0"_s;
    int m_calls = 0;
    qint16 check(const QString& title)
    {
        qint16 found = 7;
        RunningCopies(m_scope).check(title, found);
        return found;
    }
    bool listen(RunningCopyListener& listener, const QString& title)
    {
        return listener.listen(title, [this] { ++m_calls; });
    }

private Q_SLOTS:
    void init()
    {
        m_scope = u"test-%1-%2"_s.arg(QCoreApplication::applicationPid())
                      .arg(QRandomGenerator::global()->generate());
        m_calls = 0;
    }

    void getWindows_data()
    {
        QTest::addColumn<SystemFacts>("facts");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("support");
        const auto row = [](const char* name, quint32 platform, quint32 major, quint32 minor, int support) {
            QTest::newRow(name) << SystemFacts{SystemFacts::Kind::Windows, {platform, major, minor}, {}}
                                << QString::fromUtf8(name) << support;
        };
        row("Windows 2000", 2, 5, 0, 0);
        row("Windows XP", 2, 5, 1, 1);
        row("Windows 7/Server 2008 R2", 2, 6, 1, 2);
        row("Windows 8/Server 20XX", 2, 6, 2, 2);
        row("Windows NT", 2, 6, 3, 0);
        row("before", 7, 5, 1, 7); // a platform outside the table keeps both values
        QTest::newRow("call fails") << SystemFacts{SystemFacts::Kind::WindowsCallFailed, {}, {}}
                                    << u"Unable to Identify Windows Op Version"_s << 0;
        QTest::newRow("other system names itself, class 2")
            << SystemFacts{SystemFacts::Kind::OtherSystem, {}, u"Debian 12"_s} << u"Debian 12"_s << 2;
    }

    void getWindows()
    {
        QFETCH(SystemFacts, facts);
        QFETCH(QString, name);
        QFETCH(int, support);
        FakeHost host;
        host.value = facts;
        QString gotName = u"before"_s;
        qint16 gotSupport = 7;
        GetWindows(host, gotName, gotSupport);
        QCOMPARE(gotName, name);
        QCOMPARE(int(gotSupport), support);
    }

    void adapterListing_data()
    {
        QTest::addColumn<QList<AdapterRecord>>("records");
        QTest::addColumn<QString>("expected");
        QTest::newRow("others count in the index; bytes as two upper-case digits, six of them")
            << QList<AdapterRecord>{{u"wlan0"_s, QByteArray::fromHex("112233445566"), false},
                                    {u"eth0"_s, QByteArray::fromHex("0a1b2c0d4e5f6677"), true},
                                    {u"eth1"_s + QChar(0) + u"junk"_s, QByteArray::fromHex("0A"), true}}
            << u"3 Adapter(s):\r\n\r\n[1] eth0\r\n\t0A-1B-2C-0D-4E-5F\r\n\r\n[2] eth1\r\n\t0A-00-00-00-00-00\r\n"_s;
        QTest::newRow("no Ethernet: header only")
            << QList<AdapterRecord>{{u"tun0"_s, QByteArray(), false}} << u"1 Adapter(s):\r\n"_s;
        QTest::newRow("no adapters: empty") << QList<AdapterRecord>{} << QString();
    }

    void adapterListing()
    {
        QFETCH(QList<AdapterRecord>, records);
        QFETCH(QString, expected);
        QCOMPARE(zelmar::adapterListing(records), expected);
    }

    void runningCopyFoundOncePerStart()
    {
        // A title with path separators and quotes still makes a usable name.
        const QString title = m_title + u"/../'\"\\ :"_s;
        // A copy that died leaves its socket file behind: bound, nobody listening.
        const QByteArray path =
            QFile::encodeName(QDir::tempPath() + u'/' + runningCopySocketName(title, m_scope));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
        QCOMPARE(check(title), qint16(0));
        RunningCopyListener first(m_scope), second(m_scope);
        QVERIFY(listen(first, title));
        QVERIFY2(!listen(second, title), "a live copy keeps its name");
        // A peer that asks nothing is sent away and brings nothing forward.
        QLocalSocket silent;
        silent.connectToServer(runningCopySocketName(title, m_scope));
        QVERIFY(silent.waitForConnected(1000));
        QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 3000);
        QCOMPARE(check(m_title), qint16(0));
        QCOMPARE(check(title), qint16(1));
        QCOMPARE(check(title), qint16(1));
        QTRY_COMPARE_WITH_TIMEOUT(m_calls, 2, 3000);
        QTest::qWait(100);
        QCOMPARE(m_calls, 2);
    }

    void internetProbe()
    {
        // Only loopback is used: no proxy of the environment may take the requests elsewhere.
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            qunsetenv(name);
        // A 500 is still an answer; a silent server is not reachable.
        for (const auto& [reply, connected] :
             {std::pair{QByteArray("HTTP/1.1 500 Oops\r\nContent-Length: 0\r\n\r\n"), 1},
              {QByteArray(), 0}}) {
            QTcpServer server;
            QVERIFY(server.listen(QHostAddress::LocalHost, 0));
            connect(&server, &QTcpServer::newConnection, this, [&] {
                QTcpSocket* socket = server.nextPendingConnection();
                connect(socket, &QTcpSocket::readyRead, socket, [socket, &reply] { socket->write(reply); });
            });
            qint16 got = 7;
            HttpInternetProbe(QUrl(u"http://127.0.0.1:%1/"_s.arg(server.serverPort())), 400)
                .checkINTERNET(got);
            QCOMPARE(got, qint16(connected));
        }
    }

    void nonWaitsStillRunPendingEvents_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("seconds");
        QTest::newRow("scale 0 of 4 s") << 0.0 << 4.0;
        QTest::newRow("not a number") << 1.0 << std::nan("");
        QTest::newRow("infinite seconds do not hang") << 1.0 << std::numeric_limits<double>::infinity();
    }

    void nonWaitsStillRunPendingEvents()
    {
        QFETCH(double, scale);
        QFETCH(double, seconds);
        bool ran = false;
        QTimer::singleShot(0, this, [&ran] { ran = true; });
        EventLoopPause(scale).wait(seconds);
        QVERIFY(ran);
    }

    // Last: it quits the application's loop. A pause that kept waiting would outlast the
    // test's time limit.
    void quittingTheApplicationEndsThePause()
    {
        EventLoopPause pause;
        bool returned = false;
        QTimer::singleShot(0, this, [&] {
            pause.wait(3600);
            returned = true;
        });
        QTimer::singleShot(10, this, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        QVERIFY(returned);
        // Loops work again once the application loop has returned.
        bool ran = false;
        QTimer::singleShot(10, this, [&ran] { ran = true; });
        pause.wait(0.05);
        QVERIFY(ran);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
