#pragma once

#include "Profile.h"

#include <QSqlDatabase>
#include <QString>

namespace zelmar::db {

// One named connection, opened from the profile's values and removed again
// when the object goes. Every operation owns one for the length of its work.
class Connection
{
public:
    explicit Connection(const Profile& profile, const Timeouts& timeouts = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connects with the structured values, never by re-parsing the connection string.
    bool open();
    bool isOpen() const;
    QSqlDatabase database() const;
    QString errorText() const { return m_error; }

    // An explicit transaction on this connection (the rest of the program saves
    // row by row in autocommit). Rolled back by the server when the connection
    // is lost; needs a transactional table engine (InnoDB) to mean anything.
    bool transaction();
    bool commit();
    void rollback();

    // The option string handed to the driver, for tests of what the connection asks for.
    static QString driverOptions(const Timeouts& timeouts);

private:
    QString m_name;
    Profile m_profile;
    Timeouts m_timeouts;
    QString m_error;
    int m_watchTicket = 0;
};

// Quotes a table or column name so that no name can change a query.
QString quoteIdentifier(const QString& name);

} // namespace zelmar::db
