#pragma once

#include "TestServer.h"

#include <QString>

#include <memory>

namespace zelmar::test {

// A TCP proxy on the loopback interface between the program and a real test
// server, which breaks the traffic the way a network or a server does. It runs
// in a thread of its own (the program's calls block the test's thread), reads
// the MySQL protocol only as far as packet frames and command bytes, and hides
// the server's TLS offer so that the commands stay readable. Every wait it has is
// bounded and it closes itself after `lifetimeSeconds`.
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
    };

    explicit FaultProxy(const ServerInfo& upstream = tlsServer(), int lifetimeSeconds = 300);
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    // Takes effect for the traffic that follows; restarts the statement count. A Stall or Cut
    // happens once; a connection already stalled stays so until either side closes it.
    void setPlan(const Plan& plan);

    bool ok() const;
    // "127.0.0.1:port", as the account's server field names it.
    QString serverValue() const;
    // Statements seen since the plan was set, the one that met the fault included.
    int statements() const;
    // Whether the Stall or Cut of the plan has happened.
    bool triggered() const;
    // Connections accepted since the plan was set.
    int connections() const;

    struct Worker;

private:
    std::unique_ptr<Worker> m_worker;
};

} // namespace zelmar::test
