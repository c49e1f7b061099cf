#include "RunningCopy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace zelmar;

// Two copies in one process: a listener (the first copy with its main window
// shown) and a checker (the second start). Each test uses a scope of its own,
// so no name meets a real copy or a parallel test.
class TestRunningCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void noListeningCopyGivesZero();
    void foundCopyComesForwardOncePerStart();
    void silentPeerIsDroppedWithoutComingForward();
    void staleSocketOfADeadCopyIsReplaced();

private:
    QString m_scope;
    const QString m_title = u"Zelmar™: V1.2.0"_s;
    qint16 check(const QString& title, const QString& scope)
    {
        qint16 found = 7;
        RunningCopies(scope).check(title, found);
        return found;
    }
};

void TestRunningCopy::init()
{
    m_scope = u"test-"_s + QString::number(QCoreApplication::applicationPid()) + u'-' +
              QString::number(QRandomGenerator::global()->generate());
}

void TestRunningCopy::noListeningCopyGivesZero()
{
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(check(m_title, m_scope), qint16(0));
    QVERIFY2(clock.elapsed() < 1000, "an absent copy is told at once");

    int calls = 0;
    {
        RunningCopyListener first(m_scope);
        QVERIFY(first.listen(m_title, [&] { ++calls; }));
        // Neither another title nor another scope (another user) finds it.
        QCOMPARE(check(u"Zelmar™: Direct Database Access Program for Tarvik© Test Program"_s, m_scope),
                 qint16(0));
        QCOMPARE(check(m_title, m_scope + u"-other"_s), qint16(0));
        first.close();
        QCOMPARE(check(m_title, m_scope), qint16(0));
    }
    QTest::qWait(50);
    QCOMPARE(calls, 0);
}

void TestRunningCopy::foundCopyComesForwardOncePerStart()
{
    // A title with path separators and quotes still makes a usable name.
    const QString title = m_title + u"/../'\"\\ :"_s;
    int calls = 0;
    int secondCalls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(title, [&] { ++calls; }));
    RunningCopyListener second(m_scope);
    QVERIFY2(!second.listen(title, [&] { ++secondCalls; }), "a live copy keeps its name");

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(check(title, m_scope), qint16(1));
    QVERIFY2(clock.elapsed() < 1500, "every wait of the check is bounded");
    QCOMPARE(check(title, m_scope), qint16(1));
    QTRY_COMPARE_WITH_TIMEOUT(calls, 2, 3000);
    QTest::qWait(100);
    QCOMPARE(calls, 2);
    QCOMPARE(secondCalls, 0);
}

void TestRunningCopy::silentPeerIsDroppedWithoutComingForward()
{
    int calls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(m_title, [&] { ++calls; }));
    QLocalSocket silent;
    silent.connectToServer(first.socketName());
    QVERIFY(silent.waitForConnected(1000));
    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 3000);
    QCOMPARE(calls, 0);
    // And the next start is still served.
    QCOMPARE(check(m_title, m_scope), qint16(1));
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 2000);
}

void TestRunningCopy::staleSocketOfADeadCopyIsReplaced()
{
#ifndef Q_OS_UNIX
    QSKIP("Socket files are a Unix matter");
#else
    // A copy that died leaves its socket file behind: bound, nobody listening.
    const QByteArray path =
        QFile::encodeName(QDir::tempPath() + u'/' + runningCopySocketName(m_title, m_scope));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QVERIFY(size_t(path.size()) < sizeof(address.sun_path));
    memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    QVERIFY(QFile::exists(QFile::decodeName(path)));

    QCOMPARE(check(m_title, m_scope), qint16(0));
    int calls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(m_title, [&] { ++calls; }));
    QCOMPARE(check(m_title, m_scope), qint16(1));
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 2000);
#endif
}

QTEST_GUILESS_MAIN(TestRunningCopy)
#include "tst_runningcopy.moc"
