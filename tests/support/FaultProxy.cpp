#include "FaultProxy.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <memory>

namespace zelmar::test {

namespace {
constexpr quint8 comQuery = 0x03;
constexpr quint8 comStmtExecute = 0x17;
constexpr quint16 clientSsl = 0x0800;
} // namespace

// Lives in the proxy's thread; the shared counters and the plan are read under the mutex.
struct FaultProxy::Worker
{
    struct Link
    {
        QPointer<QTcpSocket> client;
        QPointer<QTcpSocket> server;
        QByteArray fromClient; // bytes not yet forming a whole packet
        QByteArray fromServer; // the greeting, until it is whole
        bool greetingSeen = false;
        bool stalled = false;
    };

    ServerInfo upstream;
    QThread thread;
    QObject* home = nullptr; // parent of everything in the thread
    QTcpServer* listener = nullptr;
    int port = 0;

    mutable QMutex mutex;
    Plan plan;
    int statements = 0;
    int connections = 0;
    bool triggered = false;

    void close(Link& link)
    {
        if (link.client)
            link.client->abort();
        if (link.server)
            link.server->abort();
    }

    void send(Link& link, bool toServer, const QByteArray& data)
    {
        QTcpSocket* to = toServer ? link.server : link.client;
        if (to && !data.isEmpty() && !link.stalled)
            to->write(data);
    }

    void fromClient(Link& link)
    {
        link.fromClient += link.client->readAll();
        if (link.stalled) {
            link.fromClient.clear();
            return;
        }
        while (link.fromClient.size() >= 4) {
            const auto* b = reinterpret_cast<const quint8*>(link.fromClient.constData());
            const qsizetype length = b[0] | b[1] << 8 | b[2] << 16;
            if (link.fromClient.size() < 4 + length)
                return;
            const QByteArray packet = link.fromClient.left(4 + length);
            link.fromClient.remove(0, 4 + length);
            // A command starts with sequence number 0; the handshake's packets have higher ones.
            const bool statement = b[3] == 0 && length >= 1 && (b[4] == comQuery || b[4] == comStmtExecute);
            Fault fault = Fault::None;
            bool delivered = true;
            if (statement) {
                QMutexLocker lock(&mutex);
                ++statements;
                if ((plan.fault == Fault::Stall || plan.fault == Fault::Cut) && !triggered &&
                    statements == plan.statement) {
                    triggered = true;
                    fault = plan.fault;
                    delivered = plan.delivered;
                }
            }
            if (fault == Fault::None || delivered)
                send(link, true, packet);
            if (fault == Fault::Stall) {
                if (link.server)
                    link.server->flush();
                link.stalled = true;
                link.fromClient.clear();
                return;
            }
            if (fault == Fault::Cut) {
                if (link.server)
                    link.server->flush();
                close(link);
                return;
            }
        }
    }

    void fromServer(Link& link)
    {
        QByteArray data = link.server->readAll();
        if (link.stalled)
            return;
        if (!link.greetingSeen) {
            link.fromServer += data;
            const auto* b = reinterpret_cast<const quint8*>(link.fromServer.constData());
            if (link.fromServer.size() < 4)
                return;
            const qsizetype length = b[0] | b[1] << 8 | b[2] << 16;
            if (link.fromServer.size() < 4 + length)
                return;
            link.greetingSeen = true;
            data = link.fromServer;
            link.fromServer.clear();
            // Protocol 10 greeting: version text, NUL, thread id (4), scramble (8), filler (1),
            // then the low capability bytes, where the TLS offer is cleared.
            if (length > 0 && b[4] == 10) {
                const qsizetype nul = data.indexOf('\0', 5);
                const qsizetype caps = nul + 1 + 4 + 8 + 1;
                if (nul > 0 && caps + 1 < 4 + length) {
                    quint16 flags = quint16(quint8(data[caps]) | quint8(data[caps + 1]) << 8);
                    flags &= quint16(~clientSsl);
                    data[caps] = char(flags & 0xff);
                    data[caps + 1] = char(flags >> 8);
                }
            }
        }
        send(link, false, data);
    }

    void accept()
    {
        while (QTcpSocket* client = listener->nextPendingConnection()) {
            // Sockets live until the proxy ends, which deletes them with `home`.
            client->setParent(home);
            QMutexLocker lock(&mutex);
            ++connections;
            if (plan.fault == Fault::Blackhole) {
                // Swallows what comes and never answers.
                QObject::connect(client, &QTcpSocket::readyRead, client, [client] { client->readAll(); });
                continue;
            }
            lock.unlock();
            auto shared = std::make_shared<Link>();
            auto* server = new QTcpSocket(home);
            shared->client = client;
            shared->server = server;
            QObject::connect(client, &QTcpSocket::readyRead, client, [this, shared] { fromClient(*shared); });
            QObject::connect(server, &QTcpSocket::readyRead, server, [this, shared] { fromServer(*shared); });
            QObject::connect(client, &QTcpSocket::disconnected, client, [shared] {
                if (shared->server)
                    shared->server->disconnectFromHost();
            });
            QObject::connect(server, &QTcpSocket::disconnected, server, [shared] {
                if (shared->client && !shared->stalled)
                    shared->client->disconnectFromHost();
            });
            QObject::connect(server, &QTcpSocket::errorOccurred, server, [shared] {
                if (shared->client)
                    shared->client->abort();
            });
            server->connectToHost(upstream.host, quint16(upstream.port));
        }
    }

    void shutdown()
    {
        delete home;
        home = nullptr;
        listener = nullptr;
    }
};

FaultProxy::FaultProxy(const ServerInfo& upstream, int lifetimeSeconds)
    : m_worker(std::make_unique<Worker>())
{
    Worker* w = m_worker.get();
    w->upstream = upstream;
    w->thread.start();
    QObject* home = new QObject;
    home->moveToThread(&w->thread);
    w->home = home;
    QMetaObject::invokeMethod(
        home,
        [w, lifetimeSeconds] {
            w->listener = new QTcpServer(w->home);
            QObject::connect(w->listener, &QTcpServer::newConnection, w->listener, [w] { w->accept(); });
            w->listener->listen(QHostAddress::LocalHost);
            w->port = w->listener->serverPort();
            // Bounded in time whatever the test does.
            QTimer::singleShot(lifetimeSeconds * 1000, w->home, [w] { w->shutdown(); });
        },
        Qt::BlockingQueuedConnection);
}

FaultProxy::~FaultProxy()
{
    Worker* w = m_worker.get();
    if (w->home)
        QMetaObject::invokeMethod(
            w->home, [w] { w->shutdown(); }, Qt::BlockingQueuedConnection);
    w->thread.quit();
    w->thread.wait(QDeadlineTimer(10000));
}

void FaultProxy::setPlan(const Plan& plan)
{
    QMutexLocker lock(&m_worker->mutex);
    m_worker->plan = plan;
    m_worker->statements = 0;
    m_worker->connections = 0;
    m_worker->triggered = false;
}

bool FaultProxy::ok() const
{
    return m_worker->port > 0 && m_worker->upstream.valid();
}

QString FaultProxy::serverValue() const
{
    return QStringLiteral("127.0.0.1:") + QString::number(m_worker->port);
}

int FaultProxy::statements() const
{
    QMutexLocker lock(&m_worker->mutex);
    return m_worker->statements;
}

bool FaultProxy::triggered() const
{
    QMutexLocker lock(&m_worker->mutex);
    return m_worker->triggered;
}

int FaultProxy::connections() const
{
    QMutexLocker lock(&m_worker->mutex);
    return m_worker->connections;
}

} // namespace zelmar::test
