#pragma once

#include "TestServer.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QThread>

namespace zelmar::test {

// A TCP proxy on the loopback interface between the program and a real test server, which breaks
// the traffic the way a network or a server does. It runs in a thread of its own (the program's
// calls block the test's thread), reads the MySQL protocol only as far as packet frames and command
// bytes, and hides the server's TLS offer so that the commands stay readable. Every wait it has is
// bounded.
class FaultProxy
{
public:
    enum class Fault
    {
        None,
        Blackhole, // connections are accepted and never answered
        Stall,     // at statement K the connection goes silent both ways
        Cut,       // at statement K the connection is dropped
    };
    struct Plan
    {
        Fault fault = Fault::None;
        // Stall and Cut: the K-th statement (COM_QUERY or COM_STMT_EXECUTE) counted over every
        // connection since the plan was set, 1-based; `delivered`: it reaches the server and only
        // its reply is lost, otherwise it is lost itself.
        int statement = 1;
        bool delivered = true;
        // Every packet, either way, is held this long: half a round trip of a slow link.
        int delayMs = 0;
    };

    explicit FaultProxy(const ServerInfo& upstream = tlsServer());
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    // Takes effect for the traffic that follows; restarts the counts. A Stall or Cut happens once;
    // a connection already stalled stays so until either side closes it.
    void setPlan(const Plan& plan);

    bool ok() const { return m_port > 0 && m_upstream.valid(); }
    // "127.0.0.1:port", as the account's server field names it.
    QString serverValue() const { return QStringLiteral("127.0.0.1:") + QString::number(m_port); }
    // Since the plan was set: statements seen (the one that met the fault included), whether the
    // Stall or Cut has happened, connections accepted, and the text of every statement sent
    // (COM_QUERY and COM_STMT_PREPARE).
    int statements() const { return locked(m_statements); }
    bool triggered() const { return locked(m_triggered); }
    int connections() const { return locked(m_connections); }
    QStringList sent() const { return locked(m_sent); }
    // Round trips since the plan was set: each time the server answers what the client sent, and
    // each connection's greeting (the client waits for it as for an answer).
    int exchanges() const { return locked(m_exchanges); }

    struct Link;

private:
    template<typename T>
    T locked(const T& value) const
    {
        QMutexLocker lock(&m_mutex);
        return value;
    }
    void fromClient(Link& link);
    void fromServer(Link& link);
    void accept(QTcpServer* listener);
    void pass(const QPointer<QTcpSocket>& to, const QByteArray& data);
    void shutdown();

    ServerInfo m_upstream;
    QThread m_thread;
    QObject* m_home = nullptr; // parent of everything in the thread; deleted there
    int m_port = 0;
    mutable QMutex m_mutex; // guards what follows
    Plan m_plan;
    int m_statements = 0;
    int m_connections = 0;
    int m_exchanges = 0;
    bool m_triggered = false;
    QStringList m_sent;
};

} // namespace zelmar::test
