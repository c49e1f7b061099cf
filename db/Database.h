#pragma once

#include "Connection.h"
#include "Interaction.h"
#include "Profile.h"
#include "Recordset.h"

#include <QString>

namespace zelmar::db {

// The program's database procedures. Each call opens its own connection,
// does its work on one fetched result, closes everything and reports through
// its by-reference arguments; nothing is thrown and nothing survives a call.
class Database
{
public:
    explicit Database(Dialogs* dialogs = nullptr, const Timeouts& timeouts = {});

    // The DRIVER clause that heads every connection string, set once at start.
    QString odbcDRIVER;

    Profile profile(const QString& server, const QString& database, const QString& user,
                    const QString& password) const;

    // Appends one error record; silent on its own failure.
    void SQL_writeERROR(const QString& server, const QString& database, const QString& user,
                        const QString& password, const QString& table, const QString& routine,
                        const QString& summary);

    Dialogs* dialogs() const { return m_dialogs; }
    const Timeouts& timeouts() const { return m_timeouts; }

private:
    Dialogs* m_dialogs;
    Timeouts m_timeouts;
};

// The fixed name of the error table.
inline const QString errorTable = QStringLiteral("zSQL");

// Opens a connection and one query over it: the first failure stage of every operation.
// The second stage is the row work on `rows`.
class Session
{
public:
    Session(const Profile& profile, const Timeouts& timeouts);
    bool open(const Query& query);
    Recordset& rows() { return m_rows; }
    QString errorText() const;

private:
    Connection m_connection;
    Recordset m_rows;
    QString m_error;
};

} // namespace zelmar::db
