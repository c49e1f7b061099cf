#include "FaultProxy.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <utility>

namespace zelmar::test {

namespace {
constexpr char comQuery = 0x03, comStmtPrepare = 0x16, comStmtExecute = 0x17;
constexpr quint16 clientSsl = 0x0800;

qsizetype frameLength(const QByteArray& data)
{
    const auto* b = reinterpret_cast<const quint8*>(data.constData());
    return data.size() < 4 ? -1 : b[0] | b[1] << 8 | b[2] << 16;
}
} // namespace

struct FaultProxy::Link
{
    QPointer<QTcpSocket> client;
    QPointer<QTcpSocket> server;
    QByteArray fromClient; // bytes not yet forming a whole packet
    QByteArray fromServer; // the greeting, until it is whole
    bool greetingSeen = false;
    bool stalled = false;
    bool answered = false; // the server has spoken since the client last did
};

void FaultProxy::pass(const QPointer<QTcpSocket>& to, const QByteArray& data)
{
    const int delay = locked(m_plan.delayMs);
    if (delay <= 0) {
        if (to)
            to->write(data);
        return;
    }
    // Timers of one length fire in the order they were started, so the bytes keep their order.
    QTimer::singleShot(delay, Qt::PreciseTimer, m_home, [to, data] {
        if (to)
            to->write(data);
    });
}

void FaultProxy::fromClient(Link& link)
{
    link.fromClient += link.client->readAll();
    link.answered = false;
    for (qsizetype length = frameLength(link.fromClient);
         !link.stalled && length >= 0 && link.fromClient.size() >= 4 + length;
         length = frameLength(link.fromClient)) {
        const QByteArray packet = link.fromClient.left(4 + length);
        link.fromClient.remove(0, 4 + length);
        // A command starts with sequence number 0; the handshake's packets have higher ones.
        const char command = packet[3] == 0 && length >= 1 ? packet[4] : 0;
        Fault fault = Fault::None;
        bool delivered = true;
        {
            QMutexLocker lock(&m_mutex);
            if (command == comQuery || command == comStmtPrepare)
                m_sent.append(QString::fromUtf8(packet.mid(5)));
            if ((command == comQuery || command == comStmtExecute) && ++m_statements == m_plan.statement &&
                (m_plan.fault == Fault::Stall || m_plan.fault == Fault::Cut) && !m_triggered) {
                m_triggered = true;
                fault = m_plan.fault;
                delivered = m_plan.delivered;
            }
        }
        if (link.server && (fault == Fault::None || delivered))
            pass(link.server, packet);
        if (fault != Fault::None && link.server)
            link.server->flush();
        if (fault == Fault::Stall)
            link.stalled = true;
        if (fault == Fault::Cut) {
            link.client->abort();
            if (link.server)
                link.server->abort();
            return;
        }
    }
    if (link.stalled)
        link.fromClient.clear();
}

void FaultProxy::fromServer(Link& link)
{
    QByteArray data = link.server->readAll();
    if (link.stalled)
        return;
    if (!std::exchange(link.answered, true)) {
        QMutexLocker lock(&m_mutex);
        ++m_exchanges;
    }
    if (!link.greetingSeen) {
        link.fromServer += data;
        const qsizetype length = frameLength(link.fromServer);
        if (length < 0 || link.fromServer.size() < 4 + length)
            return;
        link.greetingSeen = true;
        data = std::exchange(link.fromServer, {});
        // Protocol 10 greeting: version text, NUL, thread id (4), scramble (8), filler (1), then
        // the low capability bytes, where the TLS offer is cleared.
        const qsizetype caps = data.indexOf('\0', 5) + 1 + 4 + 8 + 1;
        if (length > 0 && data[4] == 10 && caps > 14 && caps + 1 < 4 + length)
            data[caps + 1] = char(quint8(data[caps + 1]) & ~(clientSsl >> 8));
    }
    pass(link.client, data);
}

void FaultProxy::accept(QTcpServer* listener)
{
    while (QTcpSocket* client = listener->nextPendingConnection()) {
        // Sockets live until the proxy ends, which deletes them with `m_home`.
        client->setParent(m_home);
        // Every packet goes on at once, as the client's own socket sends it (no Nagle wait).
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QMutexLocker lock(&m_mutex);
        ++m_connections;
        if (m_plan.fault == Fault::Blackhole) {
            // Swallows what comes and never answers.
            QObject::connect(client, &QTcpSocket::readyRead, client, [client] { client->readAll(); });
            continue;
        }
        lock.unlock();
        auto link = std::make_shared<Link>();
        auto* server = new QTcpSocket(m_home);
        link->client = client;
        link->server = server;
        QObject::connect(client, &QTcpSocket::readyRead, client, [this, link] { fromClient(*link); });
        QObject::connect(server, &QTcpSocket::readyRead, server, [this, link] { fromServer(*link); });
        QObject::connect(client, &QTcpSocket::disconnected, server, &QTcpSocket::disconnectFromHost);
        QObject::connect(server, &QTcpSocket::disconnected, client, [link] {
            if (link->client && !link->stalled)
                link->client->disconnectFromHost();
        });
        QObject::connect(server, &QTcpSocket::errorOccurred, client, &QTcpSocket::abort);
        QObject::connect(server, &QTcpSocket::connected, server,
                         [server] { server->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
        server->connectToHost(m_upstream.host, quint16(m_upstream.port));
    }
}

void FaultProxy::shutdown()
{
    // Silenced first: a socket going down would otherwise make its link touch the other
    // socket while that one is already half destroyed.
    if (m_home)
        for (QObject* child : m_home->children())
            child->blockSignals(true);
    delete std::exchange(m_home, nullptr);
}

FaultProxy::FaultProxy(const ServerInfo& upstream)
    : m_upstream(upstream)
{
    m_thread.start();
    m_home = new QObject;
    m_home->moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        m_home,
        [this] {
            auto* listener = new QTcpServer(m_home);
            QObject::connect(listener, &QTcpServer::newConnection, listener,
                             [this, listener] { accept(listener); });
            listener->listen(QHostAddress::LocalHost);
            m_port = listener->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

FaultProxy::~FaultProxy()
{
    if (m_home)
        QMetaObject::invokeMethod(
            m_home, [this] { shutdown(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait(QDeadlineTimer(10000));
}

void FaultProxy::setPlan(const Plan& plan)
{
    QMutexLocker lock(&m_mutex);
    m_plan = plan;
    m_statements = m_connections = m_exchanges = 0;
    m_triggered = false;
    m_sent.clear();
}

} // namespace zelmar::test
