#include "Database.h"

#include "ActionBudget.h"

using namespace Qt::StringLiterals;

namespace zelmar::db {

Database::Database(Dialogs* dialogs, const Timeouts& timeouts)
    : m_dialogs(dialogs)
    , m_timeouts(timeouts)
{
    if (!m_timeouts.budget)
        m_timeouts.budget = std::make_shared<ActionBudget>();
}

Profile Database::profile(const QString& server, const QString& database, const QString& user,
                          const QString& password) const
{
    return Profile{odbcDRIVER, server, database, user, password, caFile};
}

Session::Session(const Profile& profile, const Timeouts& timeouts)
    : m_budget(timeouts.budget)
    , m_connection(profile, timeouts)
    , m_rows(m_connection)
{}

bool Session::connect()
{
    if (m_connection.open())
        return true;
    m_error = m_connection.errorText();
    return false;
}

bool Session::opened(bool rowsOpen)
{
    if (!rowsOpen)
        m_error = m_rows.errorText();
    return rowsOpen;
}

bool Session::open(const Query& query)
{
    return connect() && opened(m_rows.open(query));
}

bool Session::openAfterLostAnswer(const Query& query)
{
    const unsigned long lost = m_budget ? m_budget->lastThread() : 0;
    if (!connect())
        return false;
    // Not learnt in time: the rows are read all the same, as they stand.
    if (lost != 0)
        m_connection.awaitIdle(lost);
    return opened(m_rows.open(query));
}

bool Session::openStream(const Query& query)
{
    return connect() && opened(m_rows.openStream(query));
}

QString Session::errorText() const
{
    return m_error.isEmpty() ? m_rows.errorText() : m_error;
}

bool Session::transaction()
{
    if (!m_connection.transaction()) {
        m_error = m_connection.errorText();
        return false;
    }
    return true;
}

bool Session::commit()
{
    if (!m_connection.commit()) {
        m_error = m_connection.errorText();
        return false;
    }
    return true;
}

void Session::rollback()
{
    m_connection.rollback();
}

void Database::SQL_writeERROR(const QString& server, const QString& database, const QString& user,
                              const QString& password, const QString& table, const QString& routine,
                              const QString& summary)
{
    // A server that has just not answered at all would only cost the same wait again,
    // and with the action's time spent there is none left to wait.
    if (m_timeouts.budget->serverSilent() || m_timeouts.budget->exhausted())
        return;
    Session session(profile(server, database, user, password), m_timeouts);
    if (!session.open(appendOnly(table)))
        return;
    Recordset& rs = session.rows();
    rs.addNew();
    if (!rs.setField(u"Routine"_s, routine) || !rs.setField(u"Summary"_s, summary))
        return;
    rs.update();
}

} // namespace zelmar::db
