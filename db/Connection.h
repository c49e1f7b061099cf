#pragma once

#include "Profile.h"

#include <QString>

#include <functional>

struct st_mysql;

namespace zelmar::db {

// One connection of MariaDB Connector/C, opened from the profile's values and
// closed again when the object goes. Every operation owns one for the length of
// its work. The client library is used directly: Qt's driver adds two round
// trips to every connect (a character-set statement and a prepare probe) and
// reads FLOAT columns through six-digit text.
class Connection
{
public:
    explicit Connection(const Profile& profile, const Timeouts& timeouts = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connects with the structured values, never by re-parsing the connection string.
    bool open();
    bool isOpen() const { return m_mysql != nullptr; }
    void close();
    const Profile& profile() const { return m_profile; }
    // The client library's handle while open, for the recordset (and tests of the session).
    st_mysql* handle() const { return m_mysql; }
    QString errorText() const { return m_error; }

    // An explicit transaction on this connection (the rest of the program saves
    // row by row in autocommit). Rolled back by the server when the connection
    // is lost; needs a transactional table engine (InnoDB) to mean anything.
    bool transaction();
    bool commit();
    void rollback();

    // Waits, within the read timeout, until the server's thread `thread` runs no statement
    // (it sleeps or is gone). A statement whose answer was lost may still be running there;
    // what it did is only known once it has finished. False when that cannot be learnt.
    bool awaitIdle(unsigned long thread);

    // One exchange with the server, on the action's clock (see ActionBudget): `call` returns 0,
    // or the client library's error number. An error that the server sends is an answer; a
    // client-side one (2000 and up: no answer in time, a lost link) is not.
    unsigned exchange(const std::function<unsigned()>& call);
    // Whether an exchange since the connection was opened ended without an answer: what the
    // server did or holds for this connection is then unknown, and it is not used again.
    bool linkLost() const { return m_linkLost; }

private:
    bool fail();
    Profile m_profile;
    Timeouts m_timeouts;
    st_mysql* m_mysql = nullptr;
    QString m_error;
    int m_watchTicket = 0;
    bool m_linkLost = false;
};

// The client library's set-up and tear-down of a thread other than the first that calls it
// (a Waiter's worker).
void clientThreadStarted();
void clientThreadEnding();

// Quotes a table or column name so that no name can change a query.
QString quoteIdentifier(const QString& name);

} // namespace zelmar::db
