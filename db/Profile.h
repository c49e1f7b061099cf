#pragma once

#include <QString>

#include <memory>

namespace zelmar {
class Waiter;
}

namespace zelmar::db {

// Where a database lives and who may use it: the driver clause of the program
// and the four account strings of every operation.
struct Profile
{
    QString driver; // DRIVER clause, already ending in ";"
    QString server; // "host" or "host:port"
    QString database;
    QString user;
    QString password;
    // A site's CA file. Named: TLS is required and the server's certificate must be
    // issued by it and name the server. Empty: TLS when offered, no check.
    QString caFile = {};

    bool operator==(const Profile&) const = default;
};

struct ServerAddress
{
    QString host;
    int port = 3306;
    bool valid = false;
};

// "host", "host:port", "[v6]" or "[v6]:port". A port outside 1..65535 is invalid.
ServerAddress parseServer(const QString& server);

class ActionBudget;

// Bounds of every wait on the server, in seconds, the operator action that all waits
// of the moment draw on (see ActionBudget), shared by every copy, and where each call
// that waits on a server runs (none: where it is made).
struct Timeouts
{
    int connect = 5;
    int read = 5;
    int write = 5;
    std::shared_ptr<ActionBudget> budget = nullptr;
    Waiter* waiter = nullptr;
};

} // namespace zelmar::db
