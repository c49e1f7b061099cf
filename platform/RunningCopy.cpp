#include "RunningCopy.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

// Who runs this program: the numeric user on Unix, the user name elsewhere.
QString userIdentity()
{
    QString name = qEnvironmentVariable("USERNAME");
    if (name.isEmpty())
        name = qEnvironmentVariable("USER");
#ifdef Q_OS_UNIX
    name += u'#' + QString::number(::getuid());
#endif
    return name;
}

constexpr int connectionLifetimeMs = 1000;

} // namespace

QString runningCopySocketName(const QString& title, const QString& scope)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(userIdentity().toUtf8());
    hash.addData(QByteArrayView("\n"));
    hash.addData(scope.toUtf8());
    hash.addData(QByteArrayView("\n"));
    hash.addData(title.toUtf8());
    // Short enough for every platform's socket path limit, safe in any file name.
    return u"zelmar-"_s + QString::fromLatin1(hash.result().toHex().left(32));
}

RunningCopies::RunningCopies(const QString& scope, int waitMs)
    : m_scope(scope)
    , m_waitMs(waitMs)
{}

void RunningCopies::check(const QString& title, qint16& found) const
{
    found = 0;
    QLocalSocket socket;
    socket.connectToServer(runningCopySocketName(title, m_scope));
    if (!socket.waitForConnected(m_waitMs)) {
        socket.abort();
        return;
    }
    found = 1;
    socket.write(RunningCopyListener::request());
    socket.flush();
    socket.waitForBytesWritten(m_waitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(m_waitMs);
}

RunningCopyListener::RunningCopyListener(const QString& scope, QObject* parent)
    : QObject(parent)
    , m_scope(scope)
{}

RunningCopyListener::~RunningCopyListener()
{
    close();
}

QByteArray RunningCopyListener::request()
{
    return QByteArrayLiteral("zelmar:come-forward\n");
}

bool RunningCopyListener::listen(const QString& title, std::function<void()> bringForward)
{
    close();
    m_bringForward = std::move(bringForward);
    const QString name = runningCopySocketName(title, m_scope);
    // A live copy keeps its name. (Listening with access options replaces an
    // existing socket file, so ask first.)
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(300)) {
            probe.abort();
            return false;
        }
    }
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        // What is left is the leftover of a copy that died: clear it and try once more.
        QLocalServer::removeServer(name);
        if (!server->listen(name)) {
            delete server;
            return false;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &RunningCopyListener::acceptConnections);
    return true;
}

void RunningCopyListener::acceptConnections()
{
    while (m_server && m_server->hasPendingConnections()) {
        QLocalSocket* socket = m_server->nextPendingConnection();
        auto served = std::make_shared<bool>(false);
        QPointer<QLocalSocket> guard(socket);
        const auto serve = [this, guard, served] {
            if (!guard || *served)
                return;
            if (!guard->peek(request().size()).startsWith(request()))
                return;
            *served = true;
            guard->readAll();
            if (m_bringForward)
                m_bringForward();
            guard->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, serve);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A peer that never sends its request is dropped after a while.
        QTimer::singleShot(connectionLifetimeMs, socket, [guard] {
            if (guard)
                guard->abort();
        });
        // The request may already be there.
        serve();
    }
}

void RunningCopyListener::close()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

} // namespace zelmar
