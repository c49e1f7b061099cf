#include "RunningCopy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
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
    void namesAreSafeAndDistinct();
    void noCopyGivesZeroQuickly();
    void listeningCopyIsFoundAndComesForward();
    void otherTitleIsNotFound();
    void copyThatStoppedListeningIsNotFound();
    void secondListenerUnderSameTitleIsRefused();
    void listenerServesManyStarts();
    void silentPeerIsDropped();
    void leftoverSocketOfDeadCopyIsReplaced();

private:
    QString m_scope;
    const QString m_title = u"Zelmar™: V1.2.0"_s;
};

void TestRunningCopy::init()
{
    m_scope = u"test-"_s + QString::number(QCoreApplication::applicationPid()) + u'-' +
              QString::number(QRandomGenerator::global()->generate());
}

void TestRunningCopy::namesAreSafeAndDistinct()
{
    const QString a = runningCopySocketName(m_title, m_scope);
    QVERIFY(QRegularExpression(u"^zelmar-[0-9a-f]{32}$"_s).match(a).hasMatch());
    QCOMPARE(runningCopySocketName(m_title, m_scope), a);
    QVERIFY(runningCopySocketName(u"Zelmar™: V1.2.1"_s, m_scope) != a);
    QVERIFY(runningCopySocketName(m_title, m_scope + u'x') != a);
    QVERIFY(runningCopySocketName(m_title) != a);
    // Titles with path separators and quotes still give plain names.
    QVERIFY(QRegularExpression(u"^zelmar-[0-9a-f]{32}$"_s)
                .match(runningCopySocketName(u"../x/'\"\\ :"_s, m_scope))
                .hasMatch());
}

void TestRunningCopy::noCopyGivesZeroQuickly()
{
    QElapsedTimer clock;
    clock.start();
    qint16 found = 7;
    RunningCopies(m_scope).check(m_title, found);
    QCOMPARE(found, qint16(0));
    QVERIFY2(clock.elapsed() < 1000, "an absent copy is told at once");
}

void TestRunningCopy::listeningCopyIsFoundAndComesForward()
{
    int calls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(m_title, [&] { ++calls; }));
    QVERIFY(first.isListening());

    qint16 found = 0;
    QElapsedTimer clock;
    clock.start();
    RunningCopies(m_scope).check(m_title, found);
    QVERIFY2(clock.elapsed() < 1500, "every wait of the check is bounded");
    QCOMPARE(found, qint16(1));
    // The first copy comes forward once its event loop runs.
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 2000);
    QTest::qWait(100);
    QCOMPARE(calls, 1);
}

void TestRunningCopy::otherTitleIsNotFound()
{
    int calls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(m_title, [&] { ++calls; }));
    qint16 found = 1;
    RunningCopies(m_scope).check(u"Zelmar™: Direct Database Access Program for Tarvik© Test Program"_s,
                                 found);
    QCOMPARE(found, qint16(0));
    // Nor under another scope (another user, or the program beside a test).
    RunningCopies(m_scope + u"-other"_s).check(m_title, found);
    QCOMPARE(found, qint16(0));
    QTest::qWait(50);
    QCOMPARE(calls, 0);
}

void TestRunningCopy::copyThatStoppedListeningIsNotFound()
{
    {
        RunningCopyListener first(m_scope);
        QVERIFY(first.listen(m_title, [] {}));
    }
    qint16 found = 1;
    RunningCopies(m_scope).check(m_title, found);
    QCOMPARE(found, qint16(0));

    RunningCopyListener again(m_scope);
    QVERIFY(again.listen(m_title, [] {}));
    again.close();
    QVERIFY(!again.isListening());
    RunningCopies(m_scope).check(m_title, found);
    QCOMPARE(found, qint16(0));
}

void TestRunningCopy::secondListenerUnderSameTitleIsRefused()
{
    int firstCalls = 0;
    int secondCalls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(m_title, [&] { ++firstCalls; }));
    RunningCopyListener second(m_scope);
    QVERIFY(!second.listen(m_title, [&] { ++secondCalls; }));
    qint16 found = 0;
    RunningCopies(m_scope).check(m_title, found);
    QCOMPARE(found, qint16(1));
    QTRY_COMPARE_WITH_TIMEOUT(firstCalls, 1, 2000);
    QCOMPARE(secondCalls, 0);
}

void TestRunningCopy::listenerServesManyStarts()
{
    int calls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(m_title, [&] { ++calls; }));
    for (int i = 0; i < 3; ++i) {
        qint16 found = 0;
        RunningCopies(m_scope).check(m_title, found);
        QCOMPARE(found, qint16(1));
    }
    QTRY_COMPARE_WITH_TIMEOUT(calls, 3, 3000);
}

void TestRunningCopy::silentPeerIsDropped()
{
    int calls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(m_title, [&] { ++calls; }));
    QLocalSocket silent;
    silent.connectToServer(first.socketName());
    QVERIFY(silent.waitForConnected(1000));
    // The listener drops a peer that never asks, without coming forward.
    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 3000);
    QCOMPARE(calls, 0);
    // And still serves the next start.
    qint16 found = 0;
    RunningCopies(m_scope).check(m_title, found);
    QCOMPARE(found, qint16(1));
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 2000);
}

void TestRunningCopy::leftoverSocketOfDeadCopyIsReplaced()
{
#ifndef Q_OS_UNIX
    QSKIP("Socket files are a Unix matter");
#else
    // A copy that died leaves its socket file behind: bound, nobody listening.
    const QString path = QDir::tempPath() + u'/' + runningCopySocketName(m_title, m_scope);
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QVERIFY(size_t(encoded.size()) < sizeof(address.sun_path));
    memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    QVERIFY(QFile::exists(path));

    qint16 found = 1;
    RunningCopies(m_scope).check(m_title, found);
    QCOMPARE(found, qint16(0));

    int calls = 0;
    RunningCopyListener first(m_scope);
    QVERIFY(first.listen(m_title, [&] { ++calls; }));
    RunningCopies(m_scope).check(m_title, found);
    QCOMPARE(found, qint16(1));
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 2000);
#endif
}

QTEST_GUILESS_MAIN(TestRunningCopy)
#include "tst_runningcopy.moc"
